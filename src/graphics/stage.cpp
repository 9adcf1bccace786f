// The stage: the background buffer, the character slots drawn over it, the tinted message
// box, and the order in which a changed stage reaches the screen.
//
// Pictures come through the decoded-picture cache, so recomposing the stage (every change
// redraws every shown character) decodes nothing that has not changed. A picture the loader
// cannot read is reported to the player with the loader's message, naming the file; when
// that message ends the command, the operation says so by returning false and leaves the
// buffers it was building as they were, so the stage is always a complete picture.
#include <memory>

#include "app/form.h"
#include "graphics/blend.h"
#include "graphics/picture_cache.h"

namespace orv {

namespace {

struct StagePicture {
  std::shared_ptr<const Image> image;  // null when nothing was loaded
  bool endsCommand = false;
};

StagePicture FetchPicture(TForm1& form, std::string_view name) {
  PictureLoad load = form.pictures().Load(name);
  if (load.failed()) form.ShowMessage(load.message);
  return StagePicture{load.loaded() ? load.image : nullptr, load.failed() && load.endsCommand};
}

}  // namespace

PictureCache& TForm1::pictures() {
  if (!pictureCache) pictureCache = std::make_unique<PictureCache>(folder(), defs.picturePackageName);
  return *pictureCache;
}

bool TForm1::LoadBackground() {
  const StagePicture picture = FetchPicture(*this, scene.backgroundName.str());
  if (picture.endsCommand) return false;
  // A picture of another size sits at the top-left corner; whatever it leaves uncovered, or
  // all of the stage when nothing loaded, is black.
  backgroundPixels = Image(kStageWidth, kStageHeight);
  if (picture.image) CopyImage(backgroundPixels, *picture.image);
  return true;
}

bool TForm1::PasteCharacter(int slot, Image& buffer, int mode) {
  if (slot < 0 || slot >= kCharacterSlots) return true;
  const StagePicture picture = FetchPicture(*this, scene.charName[size_t(slot)].str());
  if (!picture.image) return !picture.endsCommand;
  const int x = scene.charX[size_t(slot)], y = scene.charY[size_t(slot)];
  if (mode == 1)
    PasteColorKeyed(buffer, *picture.image, x, y);
  else
    PasteOpaque(buffer, *picture.image, x, y);
  return true;
}

bool TForm1::BlendMaskedPicture(Image& buffer, std::string_view name, int x, int y) {
  const StagePicture picture = FetchPicture(*this, name);
  if (picture.image) PasteMasked(buffer, *picture.image, x, y);
  return !picture.endsCommand;
}

void TForm1::TintMessageBox(uint8_t opacity, uint8_t red, uint8_t green, uint8_t blue) {
  CopyImage(tintImage, screenImage);
  const Rect box = ClipRect(MessageBox(), tintImage);
  if (box.Empty()) return;
  const int target[3] = {blue, green, red};
  for (int y = box.top; y < box.bottom; ++y) {
    uint8_t* p = tintImage.row(y) + size_t(box.left) * 3;
    for (int x = box.left; x < box.right; ++x)
      for (int c = 0; c < 3; ++c, ++p) *p = uint8_t(((target[c] - *p) * int(opacity) + *p * 256) >> 8);
  }
  CopySameRect(screenImage, tintImage, box);
}

bool TForm1::ComposeStage(bool restoreBox) {
  if (restoreBox) {
    // The old box tint and text vanish before the transition starts.
    const Rect box = ClipRect(MessageBox(), windowSurface);
    if (!box.Empty()) {
      CopySameRect(windowSurface, stageImage, box);
      PresentWindow();
    }
  }
  Image work = backgroundPixels;
  for (int slot = 0; slot < kCharacterSlots; ++slot) {
    const size_t s = size_t(slot);
    if (!scene.charShown[s]) continue;
    const bool drawn = scene.charMode[s] == 2
                           ? BlendMaskedPicture(work, scene.charName[s].str(), scene.charX[s], scene.charY[s])
                           : PasteCharacter(slot, work, scene.charMode[s]);
    if (!drawn) return false;
  }
  stageImage = std::move(work);
  return true;
}

void TForm1::ComposeStageToWindow() {
  // Hiding the message window must always work: a picture that fails draws nothing here.
  Image work = backgroundPixels;
  for (int slot = 0; slot < kCharacterSlots; ++slot) {
    const size_t s = size_t(slot);
    if (!scene.charShown[s] || !scene.charModeC[s]) continue;
    if (scene.charMode[s] == 2)
      BlendMaskedPicture(work, scene.charName[s].str(), scene.charX[s], scene.charY[s]);
    else
      PasteCharacter(slot, work, scene.charMode[s]);
  }
  CopyImage(windowSurface, work);
  PresentWindow();
}

void TForm1::PresentStage() {
  CopyImage(screenImage, stageImage);
  TintMessageBox(scene.boxAlpha, scene.boxRed, scene.boxGreen, scene.boxBlue);
  textImage.DrawOver(screenImage);
  RepaintScreen();
}

}  // namespace orv
