#include "app/text_feed.h"

#include "platform/sjis.h"

namespace orv {

void TextFeed::Typed(std::string_view sjis) {
  if (active()) line_ += sjis;
}

void TextFeed::LineEnded() {
  Emit(line_);
  line_.clear();
}

void TextFeed::Send(std::string_view sjis) {
  LineEnded();
  Emit(sjis);
}

void TextFeed::Emit(std::string_view sjis) {
  if (!active() || sjis.empty()) return;
  const std::string utf8 = Cp932ToUtf8(sjis);
  const std::string_view text = TrimmedText(utf8);
  if (text.empty()) return;
  for (TextOut* out : outs_) out->Send(text);
}

}  // namespace orv
