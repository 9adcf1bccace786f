// Pictures come through the decoded-picture cache, so recomposing the stage (every change
// redraws every shown character) decodes nothing that has not changed. A picture the loader
// cannot read is reported to the player with the loader's message, naming the file; when
// that message ends the command, the operation says so by returning false and leaves the
// buffers it was building as they were, so the stage is always a complete picture.
#include "graphics/stage.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "graphics/blend.h"
#include "graphics/bmp_decoder.h"
#include "graphics/picture_cache.h"
#include "persist/scene_state.h"
#include "persist/stage_wipe.h"
#include "platform/clock.h"
#include "platform/game_folder.h"
#include "platform/host.h"
#include "script/dialogs.h"
#include "script/script_reader.h"

namespace orv {

namespace {

struct StagePicture {
  std::shared_ptr<const Image> image;  // null when nothing was loaded
  bool endsCommand = false;
};

StagePicture FetchPicture(PictureCache& pictures, Dialogs& dialogs, std::string_view name) {
  PictureLoad load = pictures.Load(name);
  if (!load) {
    dialogs.ShowMessage(load.error().message);
    return StagePicture{nullptr, PictureErrorEndsCommand(load.error())};
  }
  return StagePicture{*load, false};
}

// A present mostly rewrites rows that already hold what it would write: the stage is shown
// again with a new page of text, or a transition has just drawn it onto the window. Reading
// a row costs far less than writing one, so rows that already match are left alone.
void UpdateRow(uint8_t* dst, const uint8_t* src, size_t bytes) {
  if (std::memcmp(dst, src, bytes) != 0) std::memcpy(dst, src, bytes);
}

}  // namespace

Stage::Stage(Host& host, Clock& clock, FontRenderer& fonts, const GameFolder& folder, const SceneState& scene,
             Dialogs& dialogs)
    : host_(host),
      clock_(clock),
      fonts_(fonts),
      folder_(folder),
      scene_(scene),
      dialogs_(dialogs),
      screen_(kStageWidth, kStageHeight),
      stage_(kStageWidth, kStageHeight),
      tint_(kStageWidth, kStageHeight),
      savedScreen_(kStageWidth, kStageHeight),
      text_(kStageWidth, kStageHeight),
      window_(kStageWidth, kStageHeight),
      background_(kStageWidth, kStageHeight) {}

Stage::~Stage() = default;

void Stage::Reset() {
  lineWaitIcon_ = Image();
  pageWaitIcon_ = Image();
  picturePackage_.clear();
  pictureCache_.reset();
}

void Stage::LoadWaitIcons() {
  if (auto bytes = folder_.ReadAll("icon1.bmp")) lineWaitIcon_ = DecodeBmp(*bytes).value_or(Image());
  if (auto bytes = folder_.ReadAll("icon2.bmp")) pageWaitIcon_ = DecodeBmp(*bytes).value_or(Image());
}

void Stage::UsePicturePackage(std::string packageName) {
  picturePackage_ = std::move(packageName);
  pictureCache_ = std::make_unique<PictureCache>(folder_, picturePackage_);
}

PictureCache& Stage::pictures() {
  if (!pictureCache_) pictureCache_ = std::make_unique<PictureCache>(folder_, picturePackage_);
  return *pictureCache_;
}

void Stage::PresentWindow() { host_.Present(window_); }

void Stage::RepaintScreen() {
  CopyImage(window_, screen_);
  PresentWindow();
}

void Stage::Wait(int32_t ms) {
  // A negative pause is not a pause length: it waits nothing.
  if (ms > 0) clock_.WaitMs(uint32_t(ms));
}

bool Stage::ButtonHeld() { return clock_.ButtonHeld(); }

Rect Stage::MessageBox() const { return Rect{scene_.boxLeft, scene_.boxTop, scene_.boxRight, scene_.boxBottom}; }

void Stage::TintMessageBox(uint8_t opacity, uint8_t red, uint8_t green, uint8_t blue) {
  CopyImage(tint_, screen_);
  const Rect box = ClipRect(MessageBox(), tint_);
  if (box.Empty()) return;
  const BoxTint tint{opacity, blue, green, red};
  for (int y = box.top; y < box.bottom; ++y) {
    uint8_t* p = tint_.row(y) + size_t(box.left) * 3;
    TintPixels(p, p, box.Width(), tint);
  }
  CopySameRect(screen_, tint_, box);
}

int Stage::TypeText(std::string_view text, int x, int y, const FontSpec& font, int32_t delayMs, bool pageMode,
                    std::optional<uint32_t> goOnPressesSeen) {
  bool typedAll = true;
  if (delayMs > 0) {
    int at = x;
    for (size_t i = 0; i < text.size();) {
      const size_t length = CharacterLength(text.substr(i));
      if (clock_.ButtonHeld() || (goOnPressesSeen && clock_.GoOnPresses() != *goOnPressesSeen)) {
        typedAll = false;
        break;
      }
      at += fonts_.Draw(window_, at, y, text.substr(i, length), font);
      PresentWindow();
      if (!pageMode) Wait(delayMs);
      i += length;
    }
  } else {
    typedAll = text.empty();
  }
  const int advance = fonts_.Draw(screen_, x, y, text, font);
  fonts_.Draw(text_, x, y, text, font);
  if (!typedAll) {
    // Text that was not typed onto the window would stay unseen until the next repaint, and a
    // step that ends without one (a lone WAIT, EXIT) would leave it invisible.
    const Rect typed = ClipRect(Rect{x, y, x + advance, y + fonts_.CellHeight(font)}, window_);
    if (!typed.Empty()) {
      CopySameRect(window_, screen_, typed);
      PresentWindow();
    }
  }
  return advance;
}

void Stage::ClearLayers() {
  text_.Clear();
  tint_.Fill(Rgb{});
  screen_.Fill(Rgb{});
  stage_.Fill(Rgb{});
  savedScreen_.Fill(Rgb{});
}

void Stage::ClearMessageText() {
  CopySameRect(screen_, tint_, ClipRect(MessageBox(), screen_));
  text_.Clear();
  RepaintScreen();
}

void Stage::HideMessageWindow() {
  CopyImage(savedScreen_, window_);
  ComposeStageToWindow();
}

void Stage::ShowKeptWindow() {
  CopyImage(window_, savedScreen_);
  PresentWindow();
}

void Stage::ShowKeptScreen() {
  CopyImage(screen_, savedScreen_);
  RepaintScreen();
}

void Stage::DrawOnWindow(const Image& icon, Rect place) {
  if (icon.empty()) return;
  DrawTransparent(window_, place.left, place.top, icon, icon.Pixel(0, icon.height() - 1));
}

void Stage::EraseFromWindow(Rect place) { CopySameRect(window_, tint_, place); }

void Stage::EraseFromScreen(Rect place) { CopySameRect(screen_, tint_, place); }

void Stage::ForgetBackground() { background_.Fill(Rgb{}); }

void Stage::WipeIn(const Image& source) {
  StageWipe(screen_, source, [this] { RepaintScreen(); });
}

void Stage::Restore(ColorRef wipeFrom) {
  Image filled(kStageWidth, kStageHeight);
  filled.Fill(RgbFromColorRef(wipeFrom));
  WipeIn(filled);
  ClearLayers();
  LoadBackground();
  ComposeStage(false);
  WipeIn(stage_);
  TintMessageBox(scene_.boxAlpha, scene_.boxRed, scene_.boxGreen, scene_.boxBlue);
}

void Stage::CoverWithColor(Rgb color, bool animate, int32_t speed) {
  constexpr int kCrossFade = 9;
  // The background buffer, which nothing else reads meanwhile, serves as the colour layer the
  // window fades into and the other layers take.
  background_.Fill(color);
  if (animate) RunEffect(*this, kCrossFade, Rect{0, 0, kStageWidth, kStageHeight}, speed, background_);
  CopyImage(tint_, background_);
  CopyImage(screen_, background_);
  CopyImage(stage_, background_);
}

void Stage::RetintMessageBox(uint8_t opacity, uint8_t red, uint8_t green, uint8_t blue) {
  CopyImage(screen_, stage_);
  TintMessageBox(opacity, red, green, blue);
}

bool Stage::PutBackLayers(const Image& background, const Image& stage, const Image& tint, const Image& screen,
                          const Image& window, const TextLayer& text) {
  auto sameSize = [](const Image& a, const Image& b) { return a.width() == b.width() && a.height() == b.height(); };
  if (!sameSize(background, background_) || !sameSize(stage, stage_) || !sameSize(tint, tint_) ||
      !sameSize(screen, screen_) || !sameSize(window, window_) || text.width() != text_.width() ||
      text.height() != text_.height())
    return false;
  auto copyInto = [](const Image& from, Image& to) {
    if (&from != &to) std::copy(from.bytes().begin(), from.bytes().end(), to.bytes().begin());
  };
  copyInto(background, background_);
  copyInto(stage, stage_);
  copyInto(tint, tint_);
  copyInto(screen, screen_);
  copyInto(window, window_);
  return &text == &text_ || text_.Restore(text.colorBytes(), text.coverageBytes());
}

bool Stage::Flash(Rgb color, int32_t count, int32_t delayMs) {
  const Image saved = window_;
  auto pause = [&] {
    if (delayMs > 0)
      clock_.WaitMs(uint32_t(delayMs));
    else
      clock_.KeepAlive();
  };
  for (int32_t i = 0; i < count; ++i) {
    if (clock_.QuitRequested()) return false;
    window_.Fill(color);
    PresentWindow();
    pause();
    CopyImage(window_, saved);
    PresentWindow();
    pause();
  }
  return true;
}

bool Stage::LoadBackground() {
  const StagePicture picture = FetchPicture(pictures(), dialogs_, scene_.backgroundName.str());
  if (picture.endsCommand) return false;
  // A picture of another size sits at the top-left corner; whatever it leaves uncovered, or
  // all of the stage when nothing loaded, is black.
  background_.Fill(Rgb{});
  if (picture.image) CopyImage(background_, *picture.image);
  return true;
}

bool Stage::PasteCharacter(int slot, Image& buffer, int mode) {
  if (slot < 0 || slot >= kCharacterSlots) return true;
  const StagePicture picture = FetchPicture(pictures(), dialogs_, scene_.charName[size_t(slot)].str());
  if (!picture.image) return !picture.endsCommand;
  const int x = scene_.charX[size_t(slot)], y = scene_.charY[size_t(slot)];
  if (mode == 1)
    PasteColorKeyed(buffer, *picture.image, x, y);
  else
    PasteOpaque(buffer, *picture.image, x, y);
  return true;
}

bool Stage::BlendMaskedPicture(Image& buffer, std::string_view name, int x, int y) {
  const StagePicture picture = FetchPicture(pictures(), dialogs_, name);
  if (picture.image) PasteMasked(buffer, *picture.image, x, y);
  return !picture.endsCommand;
}

bool Stage::ComposeStage(bool restoreBox) {
  if (restoreBox) {
    // The old box tint and text vanish before the transition starts.
    const Rect box = ClipRect(MessageBox(), window_);
    if (!box.Empty()) {
      CopySameRect(window_, stage_, box);
      PresentWindow();
    }
  }
  // The stage is built in a buffer kept for the purpose (a fresh one each time would cost the
  // system's page mapping too) and swapped in whole when every picture has drawn.
  const PictureCache::OneMoment moment(pictures());
  Image& work = composeWork_;
  work = background_;
  for (int slot = 0; slot < kCharacterSlots; ++slot) {
    const size_t s = size_t(slot);
    if (!scene_.charShown[s]) continue;
    const bool drawn = scene_.charMode[s] == 2
                           ? BlendMaskedPicture(work, scene_.charName[s].str(), scene_.charX[s], scene_.charY[s])
                           : PasteCharacter(slot, work, scene_.charMode[s]);
    if (!drawn) return false;
  }
  std::swap(stage_, work);
  return true;
}

void Stage::ComposeStageToWindow() {
  // Hiding the message window must always work: a picture that fails draws nothing here.
  const PictureCache::OneMoment moment(pictures());
  Image& work = composeWork_;
  work = background_;
  for (int slot = 0; slot < kCharacterSlots; ++slot) {
    const size_t s = size_t(slot);
    if (!scene_.charShown[s] || !scene_.charModeC[s]) continue;
    if (scene_.charMode[s] == 2)
      BlendMaskedPicture(work, scene_.charName[s].str(), scene_.charX[s], scene_.charY[s]);
    else
      PasteCharacter(slot, work, scene_.charMode[s]);
  }
  CopyImage(window_, work);
  PresentWindow();
}

void Stage::PresentStage() {
  // Every frame the stage changes runs through here, so the layers are built row by row in
  // one pass while each row is still in the cache: stage_ with the box tinted into
  // tint_, that with the text into screen_, and that onto the window.
  const bool sameSizes = stage_.bounds() == tint_.bounds() && stage_.bounds() == screen_.bounds() &&
                         stage_.bounds() == window_.bounds();
  if (!sameSizes) {
    CopyImage(screen_, stage_);
    TintMessageBox(scene_.boxAlpha, scene_.boxRed, scene_.boxGreen, scene_.boxBlue);
    text_.DrawOver(screen_);
    RepaintScreen();
    return;
  }
  const Rect box = ClipRect(MessageBox(), stage_);
  const BoxTint tint{scene_.boxAlpha, scene_.boxBlue, scene_.boxGreen, scene_.boxRed};
  const size_t stride = stage_.stride();
  tintedRow_.resize(stride);
  screenRow_.resize(stride);
  for (int y = 0; y < stage_.height(); ++y) {
    const uint8_t* tinted = stage_.row(y);
    if (!box.Empty() && y >= box.top && y < box.bottom) {
      const size_t left = size_t(box.left) * 3, right = size_t(box.right) * 3;
      std::memcpy(tintedRow_.data(), tinted, left);
      TintPixels(tinted + left, tintedRow_.data() + left, box.Width(), tint);
      std::memcpy(tintedRow_.data() + right, tinted + right, stride - right);
      tinted = tintedRow_.data();
    }
    if (std::memcmp(tint_.row(y), tinted, stride) != 0) {
      // The stage changed here (skip mode shows a new one every frame): every layer's row
      // changes with it, so comparing them would only read what is about to be overwritten.
      std::memcpy(tint_.row(y), tinted, stride);
      uint8_t* screen = screen_.row(y);
      std::memcpy(screen, tinted, stride);
      text_.DrawRowOver(y, screen, stage_.width());
      std::memcpy(window_.row(y), screen, stride);
      continue;
    }
    const uint8_t* screen = tinted;
    if (text_.RowHasText(y)) {
      std::memcpy(screenRow_.data(), tinted, stride);
      text_.DrawRowOver(y, screenRow_.data(), stage_.width());
      screen = screenRow_.data();
    }
    UpdateRow(screen_.row(y), screen, stride);
    UpdateRow(window_.row(y), screen, stride);
  }
  PresentWindow();
}

}  // namespace orv
