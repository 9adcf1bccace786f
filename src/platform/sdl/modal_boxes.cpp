#include "platform/sdl/modal_boxes.h"

#include "platform/sdl/sdl_keys.h"
#include "platform/sjis.h"

namespace orv {
namespace {

constexpr size_t kMaxSaveNameBytes = 255;
constexpr size_t kMaxInputBytes = 256;

SDL_Rect ToSdl(const Rect& r) { return SDL_Rect{r.left, r.top, r.Width(), r.Height()}; }

// The boxes take only the left button; false for the others, which change nothing.
template <typename Box>
bool PassLeftButton(DesktopWindow& window, Box& box, const SDL_Event& event) {
  if (event.button.button != SDL_BUTTON_LEFT) return false;
  int x = event.button.x, y = event.button.y;
  window.EventToPixels(x, y);
  if (event.type == SDL_MOUSEBUTTONDOWN)
    box.MouseDown(x, y);
  else
    box.MouseUp(x, y);
  return true;
}

}  // namespace

void ModalBoxes::Begin(DesktopWindow::ModalPanel panel) {
  input_.ForgetPress();
  window_.ShowModal(std::move(panel));
}

bool ModalBoxes::RunDialog(DialogBox& box) {
  Begin([&box](Rect stage, int ui) {
    box.Place(stage, ui);
    return box.Render();
  });
  const bool text = box.FieldRect().Width() > 0;
  if (text) {
    SDL_Rect field = ToSdl(box.FieldRect());
    SDL_SetTextInputRect(&field);
    SDL_StartTextInput();
  }
  window_.ShowCursorOverUi(true);
  // Keys and clicks made before the box was drawn were meant for what came before it: a
  // quick run of Enter taps must not accept a box nobody has seen.
  const uint32_t drawnMs = SDL_GetTicks();
  // A close request (the window's button, SIGINT, SIGTERM) ends the box as its default
  // answer would, and the game closes right after.
  while (!box.Done() && !window_.QuitRequested()) {
    SDL_Event event;
    if (!SDL_WaitEventTimeout(&event, 100)) continue;
    if (IsInputEvent(event) && !SDL_TICKS_PASSED(event.common.timestamp, drawnMs)) continue;
    HandleDialogEvent(box, event);
  }
  if (text) SDL_StopTextInput();
  window_.EndModal();
  return box.Done() && box.Accepted();
}

void ModalBoxes::HandleDialogEvent(DialogBox& box, const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT: window_.NoteQuit(); return;
    case SDL_WINDOWEVENT: window_.HandleWindowEvent(event); return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (!PassLeftButton(window_, box, event)) return;
      break;
    case SDL_KEYDOWN: {
      const SDL_Keycode key = event.key.keysym.sym;
      const Uint16 modifiers = event.key.keysym.mod;
      if ((modifiers & KMOD_CTRL) && key == SDLK_v) {
        if (char* clip = SDL_GetClipboardText()) {
          box.TextInput(clip);
          SDL_free(clip);
        }
      } else if ((modifiers & KMOD_CTRL) && key == SDLK_a) {
        box.Key(DialogKey::SelectAll);
      } else if (!(modifiers & (KMOD_CTRL | KMOD_ALT))) {
        box.Key(ToDialogKey(key, modifiers), KeyLetter(key));
      }
      break;
    }
    case SDL_TEXTINPUT: box.TextInput(event.text.text); break;
    case SDL_TEXTEDITING: box.Composition(event.edit.text); break;
    default: return;
  }
  window_.RepaintPanels();
}

void ModalBoxes::ShowVolumeDialog(VolumeControls& controls) {
  if (!window_.IsOpen()) return;
  VolumeBox box(fonts_, controls);
  Begin([&box](Rect stage, int ui) {
    box.Place(stage, ui);
    return box.Render();
  });
  window_.ShowCursorOverUi(true);
  while (!box.Done() && !window_.QuitRequested()) {
    SDL_Event event;
    if (!SDL_WaitEventTimeout(&event, 250)) continue;
    HandleVolumeEvent(box, event);
  }
  window_.EndModal();
}

void ModalBoxes::HandleVolumeEvent(VolumeBox& box, const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT: window_.NoteQuit(); return;
    case SDL_WINDOWEVENT: window_.HandleWindowEvent(event); return;
    case SDL_MOUSEMOTION: {
      int x = event.motion.x, y = event.motion.y;
      window_.EventToPixels(x, y);
      box.MouseMove(x, y);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (!PassLeftButton(window_, box, event)) return;
      break;
    case SDL_KEYDOWN: box.Key(ToVolumeKey(event.key.keysym.sym, event.key.keysym.mod)); break;
    default: return;
  }
  window_.RepaintPanels();
}

void ModalBoxes::ShowMessage(std::string_view text, std::string_view caption) {
  if (!window_.IsOpen() || window_.QuitRequested()) return;
  DialogBox box(fonts_, DialogKind::Message, Cp932ToUtf8(caption), Cp932ToUtf8(text));
  RunDialog(box);
}

bool ModalBoxes::AskYesNo(std::string_view text, std::string_view caption) {
  if (!window_.IsOpen() || window_.QuitRequested()) return true;
  DialogBox box(fonts_, DialogKind::YesNo, Cp932ToUtf8(caption), Cp932ToUtf8(text));
  const bool yes = RunDialog(box);
  return window_.QuitRequested() && !box.Done() ? true : yes;
}

std::optional<std::string> ModalBoxes::AskText(std::string_view caption, std::string_view prompt,
                                               std::string_view defaultText) {
  if (!window_.IsOpen() || window_.QuitRequested()) return std::string(defaultText);
  DialogBox box(fonts_, DialogKind::Text, Cp932ToUtf8(caption), Cp932ToUtf8(prompt), Cp932ToUtf8(defaultText),
                kMaxInputBytes);
  const bool accepted = RunDialog(box);
  if (window_.QuitRequested() && !box.Done()) return std::string(defaultText);
  if (!accepted) return std::nullopt;
  return Utf8ToCp932(box.Text());
}

std::optional<std::string> ModalBoxes::AskSaveFile(std::string_view title, std::string_view filter) {
  if (!window_.IsOpen() || window_.QuitRequested()) return std::nullopt;
  // The filter reads "description|pattern"; the description tells what kind of file to name.
  const std::string_view description = filter.substr(0, filter.find('|'));
  const std::string prompt = "ファイル名: " + Cp932ToUtf8(description);
  DialogBox box(fonts_, DialogKind::Text, Cp932ToUtf8(title), prompt, {}, kMaxSaveNameBytes);
  if (!RunDialog(box) || box.Text().empty()) return std::nullopt;
  return Utf8ToCp932(box.Text());
}

}  // namespace orv
