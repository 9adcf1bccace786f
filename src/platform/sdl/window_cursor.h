#pragma once
// The game's own mouse cursor over the stage, scaled with the stage's whole factor; the
// system's arrow over the bar and the boxes, and wherever the game set none.
#include <SDL.h>

#include <filesystem>
#include <optional>

#include "platform/ui/cursor_file.h"

namespace orv {

class WindowCursor {
 public:
  WindowCursor() = default;
  ~WindowCursor();
  WindowCursor(const WindowCursor&) = delete;
  WindowCursor& operator=(const WindowCursor&) = delete;

  // False, keeping the cursor shown before, when the file is not a cursor or the window
  // system refuses it.
  bool SetFromFile(const std::filesystem::path& file, int stageScale);
  void Reset();
  // The stage changed its whole factor: the cursor is made again at the new size.
  void Rescale(int stageScale);
  // The pointer is over the player's own pieces (the arrow) or over the stage.
  void ShowOverUi(bool overUi);

 private:
  std::optional<CursorImage> image_;
  SDL_Cursor* cursor_ = nullptr;
  int scale_ = 0;
  bool overUi_ = false;
};

}  // namespace orv
