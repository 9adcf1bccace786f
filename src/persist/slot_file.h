#pragma once
// The save-slot file: a 256-byte caption header, the scene record of the last save point and
// the two variable tables, 19464 bytes with no magic or version. The variable tables travel
// as their byte images (the variable store makes and reads them).
#include <optional>
#include <string>
#include <string_view>

#include "persist/scene_state.h"
#include "platform/bytes.h"
#include "platform/clock.h"

namespace orv {

inline constexpr int kSlotCount = 10;
inline constexpr size_t kSlotHeaderBytes = 256;
inline constexpr size_t kSlotStringTableBytes = 11000;
inline constexpr size_t kSlotNumericTableBytes = 6144;
inline constexpr size_t kSlotSceneAt = kSlotHeaderBytes;                          // 256
inline constexpr size_t kSlotStringsAt = kSlotSceneAt + kSceneStateBytes;         // 2320
inline constexpr size_t kSlotNumericAt = kSlotStringsAt + kSlotStringTableBytes;  // 13320
inline constexpr size_t kSlotFileBytes = kSlotNumericAt + kSlotNumericTableBytes; // 19464

// The time in a caption, as strftime writes it; it ends in a full-width space.
inline constexpr const char* kSlotTimePattern = ": %Y %m/%d %H:%M:%S\x81\x40";

// Saving creates "Data_3.dat"; loading and the captions open "data_3.dat". Both name the same
// file: names are found whatever their letter case.
std::string SlotSaveName(int slot);
std::string SlotLoadName(int slot);
// The caption a slot without a file shows: "3: ---- --/-- --:--:--".
std::string EmptySlotCaption(int slot);
// The slot number, the time and the comment: "3: 2024 05/06 07:08:09　comment".
std::string SlotCaption(int slot, const LocalTime& time, std::string_view comment);

Bytes EncodeSlotFile(std::string_view caption, const SceneState& savePoint, ByteSpan stringTable,
                     ByteSpan numericTable);

// The parts of a slot file as far as the file holds them: a short file gives short or empty
// parts, bytes past the 19464 are not part of any.
struct SlotFileParts {
  ByteSpan header, scene, strings, numeric;
};
SlotFileParts SplitSlotFile(ByteSpan file);

// The caption a header holds: the text before its first zero byte (all of it without one).
std::string SlotFileCaption(ByteSpan header);

// Lays `prefix` over the first bytes of `image`: what a read that stopped early leaves.
Bytes OverlayPrefix(ByteSpan image, ByteSpan prefix);

// Reads a scene record that may be short: every byte the file holds replaces that byte of
// `into`, the rest stays as it was (as a reset left it, when loading).
void ReadSceneRecord(ByteSpan record, SceneState& into);

}  // namespace orv
