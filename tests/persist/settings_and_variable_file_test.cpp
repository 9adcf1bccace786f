// The settings file's five numbers and the variable file's lookups, whole and damaged.
#include <gtest/gtest.h>

#include "persist/settings_file.h"
#include "persist/variable_file.h"

namespace orv {
namespace {

TEST(SettingsFile, WritesTheFiveNumbersInTheirOrder) {
  const Bytes file = EncodeSettingsFile(PlayerSettings{true, true, 120, -40, 5});
  ASSERT_EQ(file.size(), 20u);
  EXPECT_EQ(GetI32LE(&file[0]), 1);
  EXPECT_EQ(GetI32LE(&file[4]), 1);
  EXPECT_EQ(GetI32LE(&file[8]), 120);  // top before left
  EXPECT_EQ(GetI32LE(&file[12]), -40);
  EXPECT_EQ(GetI32LE(&file[16]), 5);

  const SettingsToApply back = ReadSettingsFile(file);
  EXPECT_TRUE(back.fullScreen);
  EXPECT_TRUE(back.pageMode);
  EXPECT_EQ(back.windowTop, 120);
  EXPECT_EQ(back.windowLeft, -40);
  EXPECT_EQ(back.speedLevel, 5);

  const SettingsToApply defaults = ReadSettingsFile(EncodeSettingsFile(PlayerSettings{}));
  EXPECT_FALSE(defaults.fullScreen);
  EXPECT_FALSE(defaults.pageMode);
  EXPECT_EQ(defaults.speedLevel, std::nullopt);  // a speed never chosen changes nothing
}

TEST(SettingsFile, AShortFileAppliesOnlyItsWholeFields) {
  const Bytes full = EncodeSettingsFile(PlayerSettings{true, true, 10, 20, 3});
  const SettingsToApply none = ReadSettingsFile(ByteSpan(full.data(), 3));
  EXPECT_FALSE(none.fullScreen);
  EXPECT_FALSE(none.windowTop.has_value());

  const SettingsToApply two = ReadSettingsFile(ByteSpan(full.data(), 10));
  EXPECT_TRUE(two.fullScreen);
  EXPECT_TRUE(two.pageMode);
  EXPECT_FALSE(two.windowTop.has_value());  // half of it is there: not a value

  const SettingsToApply four = ReadSettingsFile(ByteSpan(full.data(), 19));
  EXPECT_EQ(four.windowTop, 10);
  EXPECT_EQ(four.windowLeft, 20);
  EXPECT_FALSE(four.speedLevel.has_value());

  Bytes longer = full;
  longer.resize(64, 0x7F);
  EXPECT_EQ(ReadSettingsFile(longer).speedLevel, 3);
}

TEST(SettingsFile, ValuesOutOfRangeChangeNothing) {
  for (int32_t flag : {0, 2, -1, 0x7FFFFFFF}) {
    Bytes file = EncodeSettingsFile(PlayerSettings{});
    PutI32LE(&file[0], flag);
    PutI32LE(&file[4], flag);
    const SettingsToApply b = ReadSettingsFile(file);
    EXPECT_FALSE(b.fullScreen) << flag;
    EXPECT_FALSE(b.pageMode) << flag;
  }
  for (int32_t speed : {0, 6, 9, -1, int32_t(0x80000000)})
    EXPECT_EQ(ReadSettingsFile(EncodeSettingsFile(PlayerSettings{false, false, 0, 0, speed})).speedLevel, std::nullopt)
        << speed;
  for (int32_t edge : {kFarthestWindowEdge + 1, -kFarthestWindowEdge - 1, int32_t(0x80000000), 0x7FFFFFFF}) {
    const SettingsToApply far = ReadSettingsFile(EncodeSettingsFile(PlayerSettings{false, false, edge, edge, 2}));
    EXPECT_FALSE(far.windowTop.has_value()) << edge;
    EXPECT_FALSE(far.windowLeft.has_value()) << edge;
    EXPECT_EQ(far.speedLevel, 2);
  }
  EXPECT_EQ(ReadSettingsFile(EncodeSettingsFile(PlayerSettings{false, false, -200, 3000, 1})).windowTop, -200);
}

Bytes StringRecord(std::string_view name, std::string_view value) {
  Bytes r(275, 0);
  std::copy(name.begin(), name.end(), r.begin());
  std::copy(value.begin(), value.end(), r.begin() + 20);
  return r;
}

Bytes NumericRecord(std::string_view name, int32_t value) {
  Bytes r(24, 0);
  std::copy(name.begin(), name.end(), r.begin());
  PutI32LE(&r[20], value);
  return r;
}

TEST(VariableFile, FindsTheFirstRecordOfAName) {
  Bytes strings, numeric;
  for (int i = 0; i < 40; ++i) {
    const Bytes r = i == 3 ? StringRecord("title", std::string(254, 'v')) : i == 7 ? StringRecord("title", "later")
                                                                              : StringRecord("", "");
    strings.insert(strings.end(), r.begin(), r.end());
  }
  for (int i = 0; i < 256; ++i) {
    const Bytes r = i == 0 ? NumericRecord("", 5) : i == 200 ? NumericRecord("flag", -9) : i == 255 ? NumericRecord("flag", 1)
                                                                                            : NumericRecord("", 0);
    numeric.insert(numeric.end(), r.begin(), r.end());
  }
  const Bytes file = EncodeVariableFile(strings, numeric);
  ASSERT_EQ(file.size(), 17144u);
  const VariableFile v(file);
  EXPECT_EQ(v.FindNumeric("flag"), -9);
  EXPECT_EQ(v.FindString("title"), std::string(254, 'v'));
  EXPECT_EQ(v.FindNumeric("title"), std::nullopt);
  EXPECT_EQ(v.FindNumeric(""), std::nullopt);  // the empty name names no variable
  // A name longer than its field compares in the form the field would hold it.
  Bytes longNames = file;
  const Bytes r = NumericRecord("abcdefghijklmnopqrs", 11);
  std::copy(r.begin(), r.end(), longNames.begin() + 11000 + 5 * 24);
  EXPECT_EQ(VariableFile(longNames).FindNumeric("abcdefghijklmnopqrstuvwxyz"), 11);

  // A short file: the records it holds whole or in part; a cut value reads its bytes so far.
  const Bytes cut(file.begin(), file.begin() + 11000 + 200 * 24 + 21);
  EXPECT_EQ(VariableFile(cut).FindNumeric("flag"), int32_t(uint8_t(-9)));
  EXPECT_EQ(VariableFile(Bytes(file.begin(), file.begin() + 3 * 275 + 25)).FindString("title"), std::string(5, 'v'));
  EXPECT_EQ(VariableFile(Bytes{}).FindNumeric("flag"), std::nullopt);

  // Bytes past the 17144 are not read.
  Bytes longer = file;
  const Bytes extra = NumericRecord("extra", 3);
  longer.insert(longer.end(), extra.begin(), extra.end());
  EXPECT_EQ(VariableFile(longer).FindNumeric("extra"), std::nullopt);

  // A value without its terminator reads all 255 bytes; a name without one matches nothing.
  Bytes unterminated = file;
  std::fill(unterminated.begin() + 3 * 275 + 20, unterminated.begin() + 4 * 275, 'w');
  EXPECT_EQ(VariableFile(unterminated).FindString("title"), std::string(255, 'w'));
  std::fill(unterminated.begin() + 11000 + 200 * 24, unterminated.begin() + 11000 + 200 * 24 + 20, 'f');
  EXPECT_EQ(VariableFile(unterminated).FindNumeric("flag"), 1);
}

}  // namespace
}  // namespace orv
