#include <gtest/gtest.h>

#include "script/script_reader.h"

namespace orv {
namespace {

TEST(ScriptReader, TokensEndAtDelimitersAndDropBlanks) {
  ScriptReader r;
  std::string token;
  r.SetSource("a = 5");
  r.SetDelimiters("=,\n");
  EXPECT_EQ(r.ReadToken(token), '=');
  EXPECT_EQ(token, "a");
  EXPECT_EQ(r.ReadToken(token), 0);
  EXPECT_EQ(token, "5");
  // After the end every read gives 0 and an empty token until a new source.
  EXPECT_EQ(r.ReadToken(token), 0);
  EXPECT_EQ(token, "");

  r.SetSource("LOAD BG,x");
  r.SetDelimiters(",");
  EXPECT_EQ(r.ReadToken(token), ',');
  EXPECT_EQ(token, "LOADBG");

  // With blanks kept a leading space is the delimiter itself.
  r.SetSource(" LOADBG");
  r.SetDelimiters(" ,\n");
  EXPECT_EQ(r.ReadToken(token, 256, false), ' ');
  EXPECT_EQ(token, "");

  // With blanks dropped a space never ends a token, even when it is a delimiter.
  r.SetSource("a b,c");
  r.SetDelimiters(" ,");
  EXPECT_EQ(r.ReadToken(token), ',');
  EXPECT_EQ(token, "ab");
}

TEST(ScriptReader, EmptySetRunsToTheEndAndMaxBytesStopsEarly) {
  ScriptReader r;
  std::string token;
  r.SetSource("*label name");
  r.SetDelimiters("");
  EXPECT_EQ(r.ReadToken(token), 0);
  EXPECT_EQ(token, "*labelname");

  r.SetSource("12345678901");
  r.SetDelimiters(",");
  EXPECT_EQ(r.ReadToken(token, 8, true), 0);
  EXPECT_EQ(token, "12345678");
  EXPECT_FALSE(r.AtEnd());  // the cursor stays on the next unread byte
  EXPECT_EQ(r.ReadToken(token), 0);
  EXPECT_EQ(token, "901");
}

TEST(ScriptReader, FileNameArgument) {
  ScriptReader r;
  r.SetSource("~LOADBG \"bg 01.bmp\",0,0");
  EXPECT_EQ(r.ReadFileNameArgument(), "bg01.bmp");
  r.SetSource("\"only-open");
  EXPECT_EQ(r.ReadFileNameArgument(), "only-open");
  r.SetSource("no quotes at all");
  EXPECT_EQ(r.ReadFileNameArgument(), "");
}

TEST(ScriptReader, ShiftJisTrailByteEqualToBackslashEndsAnUnquotedToken) {
  // 0x95 0x5C is a Shift-JIS character whose second byte is the code of "\".
  ScriptReader r;
  std::string token;
  r.SetSource("\x95\x5Cn");
  r.SetDelimiters("\\");
  EXPECT_EQ(r.ReadToken(token), '\\');
  EXPECT_EQ(token, "\x95");
  // Inside quotes only the double quote ends the text.
  r.SetSource("\x95\x5C\"");
  r.SetDelimiters("\"");
  EXPECT_EQ(r.ReadToken(token), '"');
  EXPECT_EQ(token, "\x95\x5C");
}

TEST(ClassifyCharacter, KnownValues) {
  EXPECT_EQ(ClassifyCharacter("\x82\xA0"), 2);
  EXPECT_EQ(ClassifyCharacter("\xE0\xA1"), 10);
  EXPECT_EQ(ClassifyCharacter("\xB1\x41"), 1);
  EXPECT_EQ(ClassifyCharacter("\xB1\xB1"), 9);
  EXPECT_EQ(ClassifyCharacter("A"), 0);
  EXPECT_EQ(ClassifyCharacter("\x1B\x24\x42"), 16);
  EXPECT_EQ(ClassifyCharacter("\x1B\x28\x42"), 128);
  EXPECT_EQ(ClassifyCharacter("\x81\x7F"), 0);  // 0x7F is never a trail byte
  // A lead byte at the very end of a text is one character.
  EXPECT_EQ(CharacterLength("\x82"), 1u);
  EXPECT_EQ(CharacterLength("\xB1\x41"), 2u);  // half-width katakana takes the next byte
}

TEST(AtoiWrapping, BehavesLikeTheRuntime) {
  EXPECT_EQ(AtoiWrapping("  40"), 40);
  EXPECT_EQ(AtoiWrapping("-5"), -5);
  EXPECT_EQ(AtoiWrapping("+7x"), 7);
  EXPECT_EQ(AtoiWrapping("abc"), 0);
  EXPECT_EQ(AtoiWrapping(""), 0);
  EXPECT_EQ(AtoiWrapping("4294967296"), 0);  // wraps instead of overflowing
  EXPECT_EQ(AtoiWrapping("-2147483648"), INT32_MIN);
}

}  // namespace
}  // namespace orv
