#pragma once
// The text of the last 256 pages, 256 lines each, for the history screen.
#include <array>
#include <string>
#include <string_view>

namespace orv {

inline constexpr int kHistoryPages = 256;
inline constexpr int kHistoryLines = 256;

struct MessageHistory {
  struct Page {
    int lineCount = 0;  // index of the page's last line
    std::array<std::string, kHistoryLines> lines;
  };
  std::array<Page, kHistoryPages> pages;

  void Clear() { pages = {}; }
  void Append(int pageIndex, std::string_view text);
  // One more line on the page; a page keeps at most 256 lines (the last one collects the rest).
  void NewLine(int pageIndex);
  // After pageIndex was raised at an end of page: at 255 or more, drop the oldest page.
  void Rotate(int& pageIndex);
};

}  // namespace orv
