#include "platform/sdl/window_cursor.h"

#include <algorithm>
#include <utility>

#include "platform/game_folder.h"

namespace orv {
namespace {

constexpr size_t kMaxCursorFileBytes = size_t(1) << 20;

}  // namespace

WindowCursor::~WindowCursor() {
  if (cursor_) SDL_FreeCursor(cursor_);
}

void WindowCursor::ShowOverUi(bool overUi) {
  overUi_ = overUi;
  SDL_Cursor* wanted = cursor_ && !overUi ? cursor_ : SDL_GetDefaultCursor();
  if (wanted && SDL_GetCursor() != wanted) SDL_SetCursor(wanted);
}

void WindowCursor::Rescale(int stageScale) {
  if (!image_) return;
  const int scale = std::max(1, stageScale);
  if (cursor_ && scale == scale_) return;
  const CursorImage scaled = ScaleCursor(*image_, scale);
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(scaled.argb.data()), scaled.width, scaled.height, 32,
                                         scaled.width * 4, SDL_PIXELFORMAT_ARGB8888);
  if (!surface) return;
  SDL_Cursor* created = SDL_CreateColorCursor(surface, scaled.hotX, scaled.hotY);
  SDL_FreeSurface(surface);
  if (!created) return;
  SDL_Cursor* old = std::exchange(cursor_, created);
  scale_ = scale;
  ShowOverUi(overUi_);
  if (old) SDL_FreeCursor(old);
}

bool WindowCursor::SetFromFile(const std::filesystem::path& file, int stageScale) {
  const auto bytes = ReadFileBytes(file, kMaxCursorFileBytes);
  if (!bytes) return false;
  auto image = ParseCursorFile(*bytes);
  if (!image) return false;
  const std::optional<CursorImage> previous = std::exchange(image_, std::move(*image));
  SDL_Cursor* before = cursor_;
  scale_ = 0;
  cursor_ = nullptr;
  Rescale(stageScale);
  if (!cursor_) {  // the window system refused it: keep what was there
    image_ = previous;
    cursor_ = before;
    return false;
  }
  if (before) SDL_FreeCursor(before);
  return true;
}

void WindowCursor::Reset() {
  image_.reset();
  SDL_Cursor* old = std::exchange(cursor_, nullptr);
  ShowOverUi(overUi_);
  if (old) SDL_FreeCursor(old);
}

}  // namespace orv
