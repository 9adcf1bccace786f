#include "script/message_history.h"

#include <algorithm>

namespace orv {

namespace {
// A history line never grows without bound, however much text a script appends to it.
constexpr size_t kMaxHistoryLineBytes = 4096;
const std::string kNoLine;
const std::string kNoLines[kHistoryLines - 1];
}  // namespace

const std::string& MessageHistory::Page::line(int i) const {
  if (i < 0 || i >= kHistoryLines) return kNoLine;
  return i == kHistoryLines - 1 ? *lastLine_ : lines_[i];
}

MessageHistory::Page MessageHistory::page(int i) const {
  if (i < 0 || i >= kHistoryPages) return Page(0, kNoLines, &kNoLine);
  const Slot& slot = SlotOf(i);
  return Page(slot.lineCount, slot.lines.data(), &lastLines_[size_t(i)]);
}

std::string& MessageHistory::LineOf(int pageIndex, int line) {
  if (line == kHistoryLines - 1) {
    writtenLastLines_.set(size_t(pageIndex));
    return lastLines_[size_t(pageIndex)];
  }
  return SlotOf(pageIndex).lines[size_t(line)];
}

void MessageHistory::Clear() {
  // Only the slots written since the last clear hold anything, and, as in Rotate, only their
  // lines up to the page's lineCount: the other 65,000 lines are empty already.
  for (size_t s = 0; s < slots_.size(); ++s) {
    if (!writtenSlots_.test(s)) continue;
    Slot& slot = slots_[s];
    for (int line = 0; line <= slot.lineCount && line < kHistoryLines - 1; ++line)
      slot.lines[size_t(line)] = std::string();
    slot.lineCount = 0;
  }
  for (size_t p = 0; p < lastLines_.size(); ++p)
    if (writtenLastLines_.test(p)) lastLines_[p] = std::string();
  writtenSlots_.reset();
  writtenLastLines_.reset();
  first_ = 0;
}

void MessageHistory::Append(int pageIndex, std::string_view text) {
  if (pageIndex < 0 || pageIndex >= kHistoryPages) return;
  std::string& line = LineOf(pageIndex, SlotOf(pageIndex).lineCount);
  line.append(text.substr(0, kMaxHistoryLineBytes - std::min(kMaxHistoryLineBytes, line.size())));
}

void MessageHistory::NewLine(int pageIndex) {
  if (pageIndex < 0 || pageIndex >= kHistoryPages) return;
  Slot& slot = SlotOf(pageIndex);
  if (slot.lineCount < kHistoryLines - 1) ++slot.lineCount;
}

void MessageHistory::Rotate(int& pageIndex) {
  if (pageIndex < kHistoryPages - 1) return;
  pageIndex = kHistoryPages - 1;
  // Every page moves down one; the oldest page's slot comes round as the newest, emptied.
  // Text is only ever added at a page's lineCount, so no line past it needs clearing.
  Slot& dropped = slots_[first_];
  for (int line = 0; line <= dropped.lineCount && line < kHistoryLines - 1; ++line) dropped.lines[size_t(line)].clear();
  dropped.lineCount = 0;
  first_ = (first_ + 1) % kHistoryPages;
}

void MessageHistory::RewindTo(int pageIndex, std::span<const std::string> lines) {
  if (pageIndex < 0 || pageIndex >= kHistoryPages) return;
  for (int p = pageIndex; p < kHistoryPages; ++p) {
    const size_t s = (first_ + size_t(p)) % kHistoryPages;
    if (writtenSlots_.test(s)) {
      Slot& slot = slots_[s];
      for (int line = 0; line <= slot.lineCount && line < kHistoryLines - 1; ++line) slot.lines[size_t(line)].clear();
      slot.lineCount = 0;
    }
    if (writtenLastLines_.test(size_t(p))) lastLines_[size_t(p)].clear();
  }
  if (lines.empty()) return;
  const int lineCount = int(std::min(lines.size(), size_t(kHistoryLines))) - 1;
  for (int line = 0; line <= lineCount; ++line)
    LineOf(pageIndex, line).assign(lines[size_t(line)], 0, kMaxHistoryLineBytes);
  SlotOf(pageIndex).lineCount = lineCount;
}

}  // namespace orv
