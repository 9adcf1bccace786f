#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "script/message_history.h"

namespace orv {
namespace {

// The history as it used to be kept: every end of page past 255 copied lines 0..254 of each
// page one page down. The ring must give exactly the same pages, quirks included.
struct CopyingHistory {
  std::vector<std::vector<std::string>> lines =
      std::vector<std::vector<std::string>>(kHistoryPages, std::vector<std::string>(kHistoryLines));
  std::vector<int> lineCount = std::vector<int>(kHistoryPages, 0);

  void Append(int page, const std::string& text) { lines[size_t(page)][size_t(lineCount[size_t(page)])] += text; }
  void NewLine(int page) {
    if (lineCount[size_t(page)] < kHistoryLines - 1) ++lineCount[size_t(page)];
  }
  void Rotate(int& pageIndex) {
    if (pageIndex < kHistoryPages - 1) return;
    pageIndex = kHistoryPages - 1;
    for (size_t i = 0; i + 1 < kHistoryPages; ++i) {
      for (size_t line = 0; line + 1 < kHistoryLines; ++line) lines[i][line] = lines[i + 1][line];
      lineCount[i] = lineCount[i + 1];
    }
    lineCount.back() = 0;
    for (size_t line = 0; line + 1 < kHistoryLines; ++line) lines.back()[line].clear();
  }
};

void ExpectSame(const MessageHistory& ring, const CopyingHistory& copying, int afterPage) {
  for (int p = 0; p < kHistoryPages; ++p) {
    const MessageHistory::Page page = ring.page(p);
    ASSERT_EQ(page.lineCount(), copying.lineCount[size_t(p)]) << "page " << p << " after " << afterPage;
    for (int l = 0; l < kHistoryLines; ++l)
      ASSERT_EQ(page.line(l), copying.lines[size_t(p)][size_t(l)]) << "page " << p << " line " << l << " after "
                                                                    << afterPage;
  }
}

TEST(MessageHistory, RingGivesTheCopyingRotationsPagesOver600Pages) {
  MessageHistory ring;
  CopyingHistory copying;
  int ringIndex = 0, copyingIndex = 0;
  std::mt19937 random(7);
  for (int page = 0; page < 600; ++page) {
    // Mostly short pages; now and then one that overflows its 256 lines, so the last line
    // slot (which stays with its page index) gets text too.
    const int lines = page % 37 == 5 ? 300 : int(random() % 6);
    for (int l = 0; l <= lines; ++l) {
      const std::string text = "p" + std::to_string(page) + "l" + std::to_string(l);
      ring.Append(ringIndex, text);
      copying.Append(copyingIndex, text);
      if (l < lines) {
        ring.NewLine(ringIndex);
        copying.NewLine(copyingIndex);
      }
    }
    ++ringIndex;
    ++copyingIndex;
    ring.Rotate(ringIndex);
    copying.Rotate(copyingIndex);
    ASSERT_EQ(ringIndex, copyingIndex);
    if (page % 50 == 0 || (page >= 250 && page % 5 == 0) || page == 599) ExpectSame(ring, copying, page);
  }
  // A clear leaves every line of every page empty, the ring turned or not, and pages with
  // lines but no text (only line ends) too.
  ring.Clear();
  ExpectSame(ring, CopyingHistory(), -1);
  for (int i = 0; i < 3; ++i) ring.NewLine(4);
  ring.Append(kHistoryPages - 1, "last");
  ring.Clear();
  ExpectSame(ring, CopyingHistory(), -1);
  // Indexes outside the history read as empty pages.
  EXPECT_EQ(ring.page(-1).lineCount(), 0);
  EXPECT_EQ(ring.page(kHistoryPages).line(0), "");
  EXPECT_EQ(ring.page(0).line(kHistoryLines), "");
}

}  // namespace
}  // namespace orv
