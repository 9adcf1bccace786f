#pragma once
// What the player says without stopping the game: notes over the top of the stage (a script
// running long, a passing notice, the skip tag) and a note after the game's caption in the
// window's title. Times are SDL's millisecond clock, handed in.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/ui_draw.h"

namespace orv {

class WindowNotes {
 public:
  explicit WindowNotes(FontRenderer& fonts) : fonts_(fonts) {}

  // Each returns true when what the stage shows changed.
  bool ShowBusy(bool shown);
  bool ShowSkipping(bool skipping);
  // A note that stays until `untilMs` or until Dismiss.
  void ShowNotice(std::string_view utf8Text, uint32_t untilMs);
  bool Dismiss();
  bool skipping() const { return skipping_; }

  // The game's caption (UTF-8) and the player's note after it, which stays until `untilMs`.
  void SetCaption(std::string utf8Caption) { caption_ = std::move(utf8Caption); }
  void ShowCaptionNote(std::string_view utf8Note, uint32_t untilMs);
  std::string Title() const;

  struct Expired {
    bool notice = false;
    bool captionNote = false;
  };
  // Takes away the notes whose time is over.
  Expired Expire(uint32_t nowMs);

  // Adds the notes over `area` (the stage, less a bar lying over it), top down.
  void Draw(Rect area, int ui, std::vector<Panel>& drawn) const;

 private:
  FontRenderer& fonts_;
  bool busy_ = false;
  bool skipping_ = false;
  std::string notice_;
  uint32_t noticeUntil_ = 0;
  std::string caption_;
  std::string captionNote_;
  uint32_t captionNoteUntil_ = 0;
};

}  // namespace orv
