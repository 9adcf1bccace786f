#pragma once
// The scene record: everything a saved game brings back, 2064 bytes on disk. Fields are read
// and written one by one at their fixed offsets; reserved bytes are carried through unchanged
// so that a loaded and re-saved slot keeps them.
#include <array>
#include <cstdint>
#include <string_view>

#include "persist/fixed_text.h"
#include "platform/bytes.h"

namespace orv {

inline constexpr size_t kSceneStateBytes = 2064;
inline constexpr int kCharacterSlots = 10;

struct SceneState {
  FixedText<80> scenarioName;
  FixedText<80> backgroundName;
  std::array<int32_t, kCharacterSlots> charX{};
  std::array<int32_t, kCharacterSlots> charY{};
  std::array<FixedText<80>, kCharacterSlots> charName{};
  std::array<uint8_t, kCharacterSlots> charShown{};
  std::array<uint8_t, kCharacterSlots> charMode{};
  std::array<uint8_t, 10> charModeReserved{};
  std::array<uint8_t, kCharacterSlots> charModeB{};
  std::array<uint8_t, kCharacterSlots> charModeC{};
  std::array<uint8_t, 42> charModeCReserved{};
  FixedText<80> musicName;
  FixedText<80> waveName;
  int32_t backgroundShown = 0;
  int32_t musicMode = 0;
  int32_t waveMode = 0;
  std::array<uint8_t, 4> reserved1304{};
  int32_t cdMode = 0;
  int32_t cdTrack = 0;
  std::array<uint8_t, 4> reserved1316{};
  int32_t fontSize = 0;
  uint32_t textColorAtSavePoint = 0;
  int32_t textX = 0;
  int32_t textY = 0;
  int32_t lineSpacing = 0;
  std::array<uint8_t, 4> reserved1340{};
  uint8_t boxAlpha = 0;
  std::array<uint8_t, 3> reserved1345{};
  int32_t boxLeft = 0, boxTop = 0, boxRight = 0, boxBottom = 0;
  std::array<uint8_t, 16> reserved1364{};
  uint32_t choiceColor = 0;
  uint32_t choiceHoverColor = 0;
  std::array<uint8_t, 4> reserved1388{};
  FixedText<296> windowCaption;
  uint8_t boxRed = 0, boxGreen = 0, boxBlue = 0;
  FixedText<81> slotComment;
  int32_t numericCount = 0;
  int32_t stringCount = 0;
  int32_t textWaitMs = 0;
  uint8_t nvMode = 0, nvPlace = 0, nvInterval = 0;
  uint8_t messageSpeed = 0;
  uint32_t backgroundColor = 0;
  FixedText<64> fontName;
  FixedText<64> historyFontName;
  int32_t historyFontSize = 0;
  int32_t historyLeft = 0, historyTop = 0, historyRight = 0, historyBottom = 0;
  int32_t historyMode = 0;
  uint32_t historyTextColor = 0;
  int32_t historyLineSpacing = 0;
  int32_t historyTextX = 0, historyTextY = 0;
  FixedText<40> historyPictureName;
  int32_t historyPictureX = 0, historyPictureY = 0;
  int32_t historyScreenMode = 0;
  uint8_t historyTintRed = 0, historyTintGreen = 0, historyTintBlue = 0, historyTintStrength = 0;
  int32_t readPosition = 0;
  FixedText<40> cursorFile;
  int32_t customCursor = 0;

  friend bool operator==(const SceneState&, const SceneState&) = default;
};

// The record's layout, once: every field with its name and offset (reserved bytes have an
// empty name). Writing, reading and the state dump all walk this table, so they can never
// disagree.
template <typename State, typename Field>
void VisitSceneState(State& s, Field&& field) {
  field("scenarioName", 0, s.scenarioName);
  field("backgroundName", 80, s.backgroundName);
  field("charX", 160, s.charX);
  field("charY", 200, s.charY);
  field("charName", 240, s.charName);
  field("charShown", 1040, s.charShown);
  field("charMode", 1050, s.charMode);
  field("", 1060, s.charModeReserved);
  field("charModeB", 1070, s.charModeB);
  field("charModeC", 1080, s.charModeC);
  field("", 1090, s.charModeCReserved);
  field("musicName", 1132, s.musicName);
  field("waveName", 1212, s.waveName);
  field("backgroundShown", 1292, s.backgroundShown);
  field("musicMode", 1296, s.musicMode);
  field("waveMode", 1300, s.waveMode);
  field("", 1304, s.reserved1304);
  field("cdMode", 1308, s.cdMode);
  field("cdTrack", 1312, s.cdTrack);
  field("", 1316, s.reserved1316);
  field("fontSize", 1320, s.fontSize);
  field("textColorAtSavePoint", 1324, s.textColorAtSavePoint);
  field("textX", 1328, s.textX);
  field("textY", 1332, s.textY);
  field("lineSpacing", 1336, s.lineSpacing);
  field("", 1340, s.reserved1340);
  field("boxAlpha", 1344, s.boxAlpha);
  field("", 1345, s.reserved1345);
  field("boxLeft", 1348, s.boxLeft);
  field("boxTop", 1352, s.boxTop);
  field("boxRight", 1356, s.boxRight);
  field("boxBottom", 1360, s.boxBottom);
  field("", 1364, s.reserved1364);
  field("choiceColor", 1380, s.choiceColor);
  field("choiceHoverColor", 1384, s.choiceHoverColor);
  field("", 1388, s.reserved1388);
  field("windowCaption", 1392, s.windowCaption);
  field("boxRed", 1688, s.boxRed);
  field("boxGreen", 1689, s.boxGreen);
  field("boxBlue", 1690, s.boxBlue);
  field("slotComment", 1691, s.slotComment);
  field("numericCount", 1772, s.numericCount);
  field("stringCount", 1776, s.stringCount);
  field("textWaitMs", 1780, s.textWaitMs);
  field("nvMode", 1784, s.nvMode);
  field("nvPlace", 1785, s.nvPlace);
  field("nvInterval", 1786, s.nvInterval);
  field("messageSpeed", 1787, s.messageSpeed);
  field("backgroundColor", 1788, s.backgroundColor);
  field("fontName", 1792, s.fontName);
  field("historyFontName", 1856, s.historyFontName);
  field("historyFontSize", 1920, s.historyFontSize);
  field("historyLeft", 1924, s.historyLeft);
  field("historyTop", 1928, s.historyTop);
  field("historyRight", 1932, s.historyRight);
  field("historyBottom", 1936, s.historyBottom);
  field("historyMode", 1940, s.historyMode);
  field("historyTextColor", 1944, s.historyTextColor);
  field("historyLineSpacing", 1948, s.historyLineSpacing);
  field("historyTextX", 1952, s.historyTextX);
  field("historyTextY", 1956, s.historyTextY);
  field("historyPictureName", 1960, s.historyPictureName);
  field("historyPictureX", 2000, s.historyPictureX);
  field("historyPictureY", 2004, s.historyPictureY);
  field("historyScreenMode", 2008, s.historyScreenMode);
  field("historyTintRed", 2012, s.historyTintRed);
  field("historyTintGreen", 2013, s.historyTintGreen);
  field("historyTintBlue", 2014, s.historyTintBlue);
  field("historyTintStrength", 2015, s.historyTintStrength);
  field("readPosition", 2016, s.readPosition);
  field("cursorFile", 2020, s.cursorFile);
  field("customCursor", 2060, s.customCursor);
}

std::array<uint8_t, kSceneStateBytes> SerializeSceneState(const SceneState& s);
// Reads a record; a short span leaves the fields it does not reach as they are in `into`.
void DeserializeSceneState(ByteSpan bytes, SceneState& into);

}  // namespace orv
