#include "script/message_history.h"

namespace orv {

namespace {
// A history line never grows without bound, however much text a script appends to it.
constexpr size_t kMaxHistoryLineBytes = 4096;
}

void MessageHistory::Append(int pageIndex, std::string_view text) {
  if (pageIndex < 0 || pageIndex >= kHistoryPages) return;
  Page& page = pages[size_t(pageIndex)];
  std::string& line = page.lines[size_t(page.lineCount)];
  line.append(text.substr(0, kMaxHistoryLineBytes - std::min(kMaxHistoryLineBytes, line.size())));
}

void MessageHistory::NewLine(int pageIndex) {
  if (pageIndex < 0 || pageIndex >= kHistoryPages) return;
  Page& page = pages[size_t(pageIndex)];
  if (page.lineCount < kHistoryLines - 1) ++page.lineCount;
}

void MessageHistory::Rotate(int& pageIndex) {
  if (pageIndex < kHistoryPages - 1) return;
  pageIndex = kHistoryPages - 1;
  for (int i = 0; i < kHistoryPages - 1; ++i) {
    Page& to = pages[size_t(i)];
    Page& from = pages[size_t(i + 1)];
    for (int line = 0; line < kHistoryLines - 1; ++line) to.lines[size_t(line)] = from.lines[size_t(line)];
    to.lineCount = from.lineCount;
  }
  Page& last = pages[kHistoryPages - 1];
  last.lineCount = 0;
  for (int line = 0; line < kHistoryLines - 1; ++line) last.lines[size_t(line)].clear();
}

}  // namespace orv
