#pragma once
// The text of the last 256 pages, 256 lines each, for the history screen.
//
// The pages sit in a ring, so dropping the oldest page at an end of page moves no text. Each
// page's last line slot (line 255) stays with its page index rather than with the page's
// text: the history has always shifted only lines 0..254 down when it drops a page, and what
// games show from their history must not change.
#include <array>
#include <bitset>
#include <span>
#include <string>
#include <string_view>

namespace orv {

inline constexpr int kHistoryPages = 256;
inline constexpr int kHistoryLines = 256;

class MessageHistory {
 public:
  // One page as the history screen shows it.
  class Page {
   public:
    int lineCount() const { return lineCount_; }  // index of the page's last line
    const std::string& line(int i) const;         // empty outside 0..255

   private:
    friend class MessageHistory;
    Page(int lineCount, const std::string* lines, const std::string* lastLine)
        : lineCount_(lineCount), lines_(lines), lastLine_(lastLine) {}
    int lineCount_;
    const std::string* lines_;     // lines 0..254
    const std::string* lastLine_;  // line 255
  };

  // Page i (0 the oldest kept); an index outside 0..255 reads as an empty page.
  Page page(int i) const;

  void Clear();
  void Append(int pageIndex, std::string_view text);
  // One more line on the page; a page keeps at most 256 lines (the last one collects the rest).
  void NewLine(int pageIndex);
  // After pageIndex was raised at an end of page: at 255 or more, drop the oldest page.
  void Rotate(int& pageIndex);
  // Back to an earlier moment of the story: page `pageIndex` holds `lines` again (its lines 0 to
  // lines.size() - 1, the last one being the page's lineCount) and every later page is empty,
  // as they were then. Pages dropped by Rotate since then stay dropped.
  void RewindTo(int pageIndex, std::span<const std::string> lines);

 private:
  struct Slot {
    int lineCount = 0;
    std::array<std::string, kHistoryLines - 1> lines;
  };
  Slot& SlotOf(int pageIndex) {
    const size_t slot = (first_ + size_t(pageIndex)) % kHistoryPages;
    writtenSlots_.set(slot);
    return slots_[slot];
  }
  const Slot& SlotOf(int pageIndex) const { return slots_[(first_ + size_t(pageIndex)) % kHistoryPages]; }
  std::string& LineOf(int pageIndex, int line);

  std::array<Slot, kHistoryPages> slots_;                // the ring; page 0 is slots_[first_]
  std::array<std::string, kHistoryPages> lastLines_;     // line 255 of each page index
  size_t first_ = 0;
  // The slots and last lines written since the last Clear: the only ones it has to empty.
  std::bitset<kHistoryPages> writtenSlots_, writtenLastLines_;
};

}  // namespace orv
