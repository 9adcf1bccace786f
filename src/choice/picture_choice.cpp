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
  c.story.StopWaitIndicator();
  pictureList.Reset();
  reportedPictures_.clear();
  if (!FetchBlockLine(c)) return false;  // the opening line, whatever it holds
  for (;;) {
    if (!FetchBlockLine(c)) return false;  // no "}" before the end: the game is ending
    if (LineBegins(c, '}')) break;
    if (pictureList.Full()) {
      NoteExtraEntry(c, "SELECTCG");
      continue;
    }
    const PictureChoiceEntryLine entry = ReadPictureChoiceEntry(c.reader);
    const int i = pictureList.count;
    const size_t e = size_t(i);
    pictureList.normalPicture[e].Set(entry.normalPicture);
    pictureList.hoverPicture[e].Set(entry.hoverPicture);
    pictureList.pressedPicture[e].Set(entry.pressedPicture);
    pictureList.left[e] = entry.left;
    pictureList.top[e] = entry.top;
    pictureList.transparent[e] = entry.transparent;
    pictureList.targets[e].Set(entry.target);
    LoadEntryPicture(c, i, pictureList.normalPicture[e].str());
    pictureList.right[e] = WrappingAdd(entry.left, pictureList.ImageWidth(i));
    pictureList.bottom[e] = WrappingAdd(entry.top, pictureList.ImageHeight(i));
    ++pictureList.count;
  }

  c.pictureChoiceActive = true;
  c.skipMode = false;
  CopyImage(pictureList.backdrop, c.windowSurface);
  for (int i = 0; i < kMaxChoices; ++i) HoverPictureChoice(c, i, 0, 0);
  // Only a movement over this choice's pictures lets a click take one.
  c.pointerOnChoice = false;
  return false;
}

void Choices::LoadEntryPicture(ChoiceContext& c, int entry, std::string_view name) {
  PictureLoad load = c.story.LoadPicture(name);
  if (load && *load) {
    pictureList.images[size_t(entry)] = std::move(*load);
    return;
  }
  // The holder keeps what it showed. The player hears of a broken picture once per choice,
  // not at every movement over it.
  if (!load && std::find(reportedPictures_.begin(), reportedPictures_.end(), name) == reportedPictures_.end()) {
    reportedPictures_.emplace_back(name);
    c.story.ShowMessage(load.error().message);
  }
}

void Choices::RestoreFromBackdrop(ChoiceContext& c, int entry) {
  const size_t e = size_t(entry);
  const int32_t left = pictureList.left[e], top = pictureList.top[e];
  if (!WithinDrawingRange(left, top)) return;
  const Rect shown{left, top, left + pictureList.ImageWidth(entry), top + pictureList.ImageHeight(entry)};
  CopySameRect(c.screenImage, pictureList.backdrop, ClipRect(shown, c.screenImage));
}

void Choices::DrawPictureEntry(ChoiceContext& c, int entry) {
  const size_t e = size_t(entry);
  const std::shared_ptr<const Image>& picture = pictureList.images[e];
  const int32_t left = pictureList.left[e], top = pictureList.top[e];
  if (picture && !picture->empty() && WithinDrawingRange(left, top)) {
    // See-through pictures leave out their bottom-left pixel's colour.
    if (pictureList.transparent[e] != 0)
      DrawTransparent(c.screenImage, left, top, *picture, picture->Pixel(0, picture->height() - 1));
    else
      CopyRect(c.screenImage, left, top, *picture, picture->bounds());
  }
  c.story.RepaintScreen();
}

bool Choices::HoverPictureChoice(ChoiceContext& c, int entry, int x, int y) {
  if (entry < 0 || entry >= kMaxChoices || pictureList.Free(entry)) return false;
  const size_t e = size_t(entry);
  const bool hit =
      pictureList.left[e] < x && x < pictureList.right[e] && pictureList.top[e] < y && y < pictureList.bottom[e];
  if (hit == (pictureList.shownHover[e] == 1)) return hit;
  RestoreFromBackdrop(c, entry);
  pictureList.shownHover[e] = hit ? 1 : 0;
  LoadEntryPicture(c, entry, hit ? pictureList.hoverPicture[e].str() : pictureList.normalPicture[e].str());
  if (hit) c.hoveredChoice = entry;
  DrawPictureEntry(c, entry);
  return hit;
}

std::optional<ChoiceOutcome> Choices::TakePictureChoice(ChoiceContext& c) {
  const int entry = c.hoveredChoice;
  if (entry < 0 || entry >= kMaxChoices || pictureList.Free(entry)) return std::nullopt;
  const size_t e = size_t(entry);
  LoadEntryPicture(c, entry, pictureList.pressedPicture[e].str());
  DrawPictureEntry(c, entry);
  c.story.WaitMs(kPressedPictureMs);
  LoadEntryPicture(c, entry, pictureList.normalPicture[e].str());
  DrawPictureEntry(c, entry);
  return Take(pictureList.targets[e]);
}

void Choices::ClosePictureChoice(ChoiceContext& c) {
  CopyImage(c.screenImage, pictureList.backdrop);
  c.textImage.Clear();
  c.story.RepaintScreen();
}

}  // namespace orv
