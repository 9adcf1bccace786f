// SELECTCG: picture buttons anywhere on the stage, with a normal, a hover and a pressed
// picture each, taken by a click (or Enter) while the pointer is over one.
#include <algorithm>

#include "choice/choice_steps.h"
#include "choice/choices.h"

namespace orv {

namespace {
constexpr int32_t kPressedPictureMs = 300;
}  // namespace

bool Choices::ShowPictureChoice(ChoiceContext& c) {
  pictureList_.Reset();
  reportedPictures_.clear();
  if (!FetchBlockLine(c)) return false;  // the opening line, whatever it holds
  for (;;) {
    if (!FetchBlockLine(c)) return false;  // no "}" before the end: the game is ending
    if (LineBegins(c, '}')) break;
    if (pictureList_.Full()) {
      NoteExtraEntry(c, "SELECTCG");
      continue;
    }
    const PictureChoiceEntryLine entry = ReadPictureChoiceEntry(c.reader);
    const int i = pictureList_.count;
    const size_t e = size_t(i);
    pictureList_.normalPicture[e].Set(entry.normalPicture);
    pictureList_.hoverPicture[e].Set(entry.hoverPicture);
    pictureList_.pressedPicture[e].Set(entry.pressedPicture);
    pictureList_.left[e] = entry.left;
    pictureList_.top[e] = entry.top;
    pictureList_.transparent[e] = entry.transparent;
    pictureList_.targets[e].Set(entry.target);
    LoadEntryPicture(c, i, pictureList_.normalPicture[e].str());
    pictureList_.right[e] = WrappingAdd(entry.left, pictureList_.ImageWidth(i));
    pictureList_.bottom[e] = WrappingAdd(entry.top, pictureList_.ImageHeight(i));
    ++pictureList_.count;
  }

  pictureChoiceActive_ = true;
  CopyImage(pictureList_.backdrop, c.windowSurface);
  for (int i = 0; i < kMaxChoices; ++i) HoverPictureChoice(c, i, 0, 0);
  // Only a movement over this choice's pictures lets a click take one.
  pointerOnChoice_ = false;
  return false;
}

void Choices::LoadEntryPicture(ChoiceContext& c, int entry, std::string_view name) {
  PictureLoad load = c.story.LoadPicture(name);
  if (load && *load) {
    pictureList_.images[size_t(entry)] = std::move(*load);
    return;
  }
  // The holder keeps what it showed. The player hears of a broken picture once per choice,
  // not at every movement over it.
  if (!load && std::find(reportedPictures_.begin(), reportedPictures_.end(), name) == reportedPictures_.end()) {
    reportedPictures_.emplace_back(name);
    c.story.Tell(load.error().message);
  }
}

void Choices::RestoreFromBackdrop(ChoiceContext& c, int entry) {
  const size_t e = size_t(entry);
  const int32_t left = pictureList_.left[e], top = pictureList_.top[e];
  if (!WithinDrawingRange(left, top)) return;
  const Rect shown{left, top, left + pictureList_.ImageWidth(entry), top + pictureList_.ImageHeight(entry)};
  CopySameRect(c.screenImage, pictureList_.backdrop, ClipRect(shown, c.screenImage));
}

void Choices::DrawPictureEntry(ChoiceContext& c, int entry) {
  const size_t e = size_t(entry);
  const std::shared_ptr<const Image>& picture = pictureList_.images[e];
  const int32_t left = pictureList_.left[e], top = pictureList_.top[e];
  if (picture && !picture->empty() && WithinDrawingRange(left, top)) {
    // See-through pictures leave out their bottom-left pixel's colour.
    if (pictureList_.transparent[e] != 0)
      DrawTransparent(c.screenImage, left, top, *picture, picture->Pixel(0, picture->height() - 1));
    else
      CopyRect(c.screenImage, left, top, *picture, picture->bounds());
  }
  c.story.ShowScreen();
}

bool Choices::HoverPictureChoice(ChoiceContext& c, int entry, int x, int y) {
  if (entry < 0 || entry >= kMaxChoices || pictureList_.Free(entry)) return false;
  const size_t e = size_t(entry);
  const bool hit =
      pictureList_.left[e] < x && x < pictureList_.right[e] && pictureList_.top[e] < y && y < pictureList_.bottom[e];
  if (hit == (pictureList_.shownHover[e] == 1)) return hit;
  RestoreFromBackdrop(c, entry);
  pictureList_.shownHover[e] = hit ? 1 : 0;
  LoadEntryPicture(c, entry, hit ? pictureList_.hoverPicture[e].str() : pictureList_.normalPicture[e].str());
  if (hit) hoveredChoice_ = entry;
  DrawPictureEntry(c, entry);
  return hit;
}

std::optional<ChoiceOutcome> Choices::TakePictureChoice(ChoiceContext& c) {
  const int entry = hoveredChoice_;
  if (entry < 0 || entry >= kMaxChoices || pictureList_.Free(entry)) return std::nullopt;
  const size_t e = size_t(entry);
  LoadEntryPicture(c, entry, pictureList_.pressedPicture[e].str());
  DrawPictureEntry(c, entry);
  c.story.Pause(kPressedPictureMs);
  LoadEntryPicture(c, entry, pictureList_.normalPicture[e].str());
  DrawPictureEntry(c, entry);
  return Take(pictureList_.targets[e]);
}

void Choices::ClosePictureChoice(ChoiceContext& c) {
  CopyImage(c.screenImage, pictureList_.backdrop);
  c.textImage.Clear();
  c.story.ShowScreen();
}

}  // namespace orv
