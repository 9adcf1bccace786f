// SELECT: captions listed in the message box, pointed at with the mouse or moved through
// with the keys, taken by a click or Enter.
#include "choice/choice_steps.h"
#include "choice/choice_target.h"
#include "choice/choices.h"

namespace orv {

namespace {

// Captions use the message font; a size of 0 (no FONTSIZE yet) draws at the window font's
// default size, as message text does.
FontSpec CaptionFont(const SceneState& scene, ColorRef color) {
  const int size = scene.fontSize > 0 ? scene.fontSize : 12;
  return FontSpec{scene.fontName.str(), size, RgbFromColorRef(color)};
}

void DrawCaption(ChoiceContext& c, Image& target, const ChoicePosition& at, std::string_view caption,
                 const FontSpec& font) {
  if (WithinDrawingRange(at.x, at.y)) c.fonts.Draw(target, at.x, at.y, caption, font);
}

}  // namespace

bool Choices::ShowChoice(ChoiceContext& c, CaptionTyping typing) {
  list_.Reset(c.scene.textX, c.textCursorY);
  do {
    if (!FetchBlockLine(c)) return false;  // no "{" before the end: the game is ending
  } while (!LineBegins(c, '{'));

  const FontSpec font = CaptionFont(c.scene, c.scene.choiceColor);
  for (;;) {
    if (!FetchBlockLine(c)) return false;  // no "}" before the end: the game is ending
    if (LineBegins(c, '}')) break;
    std::optional<ChoiceEntryLine> entry = ReadChoiceEntry(c.reader);
    if (!entry) continue;
    if (list_.Full()) {
      NoteExtraEntry(c, "SELECT");
      continue;
    }
    const size_t i = size_t(list_.count);
    const int slot = SlotCaptionNumber(entry->caption);
    list_.captions[i].Set(slot >= 0 ? c.story.LoadMenuCaption(slot) : entry->caption);
    const int32_t height = c.fonts.CellHeight(font);
    list_.positions[i + 1].y = WrappingAdd(WrappingAdd(list_.positions[i].y, height), c.scene.lineSpacing);
    ++list_.count;
    list_.targets[i].Set(entry->target);
  }

  DrawCaptions(c, typing);
  choiceActive_ = true;
  // Each choice starts from its first entry, and only a movement over this choice's captions
  // lets a click take one.
  hoveredChoice_ = 0;
  pointerOnChoice_ = false;
  return false;
}

void Choices::DrawCaptions(ChoiceContext& c, CaptionTyping typing) {
  const FontSpec font = CaptionFont(c.scene, c.scene.choiceColor);
  for (int i = 0; i < kMaxChoices && list_.positions[size_t(i)].y != -1; ++i) {
    const std::string caption = list_.captions[size_t(i)].str();
    ChoicePosition at = list_.positions[size_t(i)];
    if (!typing.typed) {
      DrawCaption(c, c.windowSurface, at, caption, font);
      continue;
    }
    const std::string_view text = caption;
    for (size_t next = 0; next < text.size();) {
      // Holding the button cuts the typing short; the rest shows at the next redraw.
      if (c.clock.ButtonHeld()) break;
      const std::string_view character = text.substr(next, CharacterLength(text.substr(next)));
      if (!WithinDrawingRange(at.x, at.y)) break;
      at.x += c.fonts.Draw(c.windowSurface, at.x, at.y, character, font);
      c.story.PresentWindow();
      if (typing.delayMs > 0) c.story.Pause(typing.delayMs);
      next += character.size();
    }
  }
  if (!typing.typed) c.story.PresentWindow();
}

bool Choices::HoverChoice(ChoiceContext& c, int entry, int x, int y) {
  if (entry < 0 || entry >= kMaxChoices) return false;
  const ChoicePosition at = list_.positions[size_t(entry)];
  if (at.y == -1) return false;
  const std::string caption = list_.captions[size_t(entry)].str();
  FontSpec font = CaptionFont(c.scene, c.scene.choiceColor);
  const int64_t width = c.fonts.Measure(caption, font), height = c.fonts.CellHeight(font);
  const bool hit = at.x < x && x < at.x + width && at.y < y && y < at.y + height;
  if (hit) font.color = RgbFromColorRef(c.scene.choiceHoverColor);
  DrawCaption(c, c.screenImage, at, caption, font);
  if (hit) hoveredChoice_ = entry;
  return hit;
}

void Choices::RedrawCaptions(ChoiceContext& c) {
  for (int i = 0; i < kMaxChoices && list_.positions[size_t(i)].y != -1; ++i) {
    const ColorRef color = i == hoveredChoice_ ? c.scene.choiceHoverColor : c.scene.choiceColor;
    DrawCaption(c, c.screenImage, list_.positions[size_t(i)], list_.captions[size_t(i)].str(),
                CaptionFont(c.scene, color));
  }
  c.story.ShowScreen();
}

std::optional<ChoiceOutcome> Choices::ChoiceKey(ChoiceContext& c, KeyCode key) {
  switch (key) {
    case KeyCode::Down:
      hoveredChoice_ = hoveredChoice_ + 1 >= list_.count ? 0 : hoveredChoice_ + 1;
      RedrawCaptions(c);
      break;
    case KeyCode::Up:
      // A choice without entries has no last entry to wrap to: it stays on entry 0.
      hoveredChoice_ = hoveredChoice_ - 1 < 0 ? std::max(list_.count - 1, 0) : hoveredChoice_ - 1;
      RedrawCaptions(c);
      break;
    case KeyCode::Enter: return TakeChoice(c);
    default: break;
  }
  return std::nullopt;
}

std::optional<ChoiceOutcome> Choices::TakeChoice(ChoiceContext& c) {
  if (hoveredChoice_ < 0 || hoveredChoice_ >= kMaxChoices) return std::nullopt;
  return Take(list_.targets[size_t(hoveredChoice_)]);
}

void Choices::CloseChoice(ChoiceContext& c) {
  const Rect box{c.scene.boxLeft, c.scene.boxTop, c.scene.boxRight, c.scene.boxBottom};
  CopySameRect(c.screenImage, c.tintImage, ClipRect(box, c.screenImage));
  c.textImage.Clear();
  c.story.ShowScreen();
}

}  // namespace orv
