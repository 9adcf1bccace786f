#pragma once
// The game's text handed to the page it plays in, which shows it as selectable text beside the
// canvas: the browser's own translator and dictionary extensions read it there.
#include "platform/text_out.h"

namespace orv {

class PageText final : public TextOut {
 public:
  void Send(std::string_view utf8) override;
};

}  // namespace orv
