#include "platform/sjis.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace orv {
namespace {

TEST(Sjis, ConvertsJapaneseBothWays) {
  EXPECT_EQ(Utf8ToCp932("山田"), "\x8E\x52\x93\x63");
  EXPECT_EQ(Cp932ToUtf8("\x8E\x52\x93\x63"), "山田");
  EXPECT_EQ(DecodeCp932("A\x82\xA0~\\"), U"Aあ~\\");
  EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932("最後まで読みこみました。")), "最後まで読みこみました。");
  EXPECT_EQ(Utf8ToCp932(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Sjis, EachBrokenOrForeignSequenceBecomesOneReplacement) {
  // UTF-8 to the code page: one "?" for the whole sequence the lead byte announces.
  EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80" "b"), "a?b");  // an emoji has no code page form
  EXPECT_EQ(Utf8ToCp932("\xE3\x81" "ab"), "?b");           // a cut sequence takes its length
  EXPECT_EQ(Utf8ToCp932("x\x80y"), "x?y");                 // a stray continuation byte
  EXPECT_EQ(Utf8ToCp932("\xE3\x81\x82\xE3"), "\x82\xA0?");   // cut at the very end
  // The code page to UTF-8: one U+FFFD per byte that does not decode.
  EXPECT_EQ(Cp932ToUtf8("\x82\xA0\x80z\x82"), "あ\uFFFDz\uFFFD");
  EXPECT_EQ(DecodeCp932("\x82\xA0\x80z\x82"), U"あ\uFFFDz\uFFFD");
}

TEST(Sjis, ThreadsConvertAtTheSameTime) {
  // Each thread converts with descriptors of its own; shared ones would mix their states.
  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (size_t t = 0; t < wrong.size(); ++t) {
    threads.emplace_back([&wrong, t] {
      for (int i = 0; i < 300; ++i) {
        if (Utf8ToCp932("あ山" + std::to_string(i)) != "\x82\xA0\x8E\x52" + std::to_string(i)) ++wrong[t];
        if (Cp932ToUtf8("\x8E\x52\x80" + std::to_string(i)) != "山\uFFFD" + std::to_string(i)) ++wrong[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int count : wrong) EXPECT_EQ(count, 0);
}

}  // namespace
}  // namespace orv
