// What this player adds to the kit's window: auto mode and screenshots, on keys and in the
// player's own menu section. None of it changes what a game does or what it stores.
#include <cstdio>
#include <system_error>

#include "app/player.h"
#include "platform/image_files.h"
#include "platform/os.h"
#include "platform/user_folders.h"

namespace orv {

namespace fs = std::filesystem;

bool Player::PlayerKey(KeyPress key) {
  if (key.code == KeyCode::F12) {
    TakeScreenshot();
    return true;
  }
  if (key.code == KeyCode::Letter && key.letter == 'A') {
    SetAutoMode(!autoAdvance_.on());
    return true;
  }
  if (key.code == KeyCode::Letter && key.letter == 'V') {
    ToggleSpeech();
    return true;
  }
  return false;
}

bool Player::PlayerMenuClick(std::string_view name) {
  if (name == "AutoMode") {
    SetAutoMode(!autoAdvance_.on());
  } else if (name == "Speak") {
    ToggleSpeech();
  } else if (name == "Screenshot") {
    TakeScreenshot();
  } else if (name == "TextSocket") {
    SetTextSocket(!textSocket_.on(), textSocket_.port());
  } else {
    return false;
  }
  return true;
}

// --- the reading tools' socket ---

void Player::SetTextSocket(bool on, uint16_t port) {
  if (!on || port != textSocket_.port()) (void)textSocket_.SetOn(false);
  textSocket_.SetPort(port);
  if (Result<void> switched = textSocket_.SetOn(on); !switched)
    services_.diagnostics.Note("the text socket: " + switched.error().message);
  menus_.SetChecked("TextSocket", textSocket_.on());
}

// --- auto mode ---

void Player::SetAutoMode(bool on) {
  autoAdvance_.SetOn(on, services_.clock.NowMs());
  menus_.SetChecked("AutoMode", on);
}

void Player::StopAutoMode() {
  if (autoAdvance_.on()) SetAutoMode(false);
}

void Player::StepEnded() {
  if (closed_)
    autoAdvance_.Cancel();
  else
    autoAdvance_.StepEnded(services_.clock.NowMs());
}

// Only a story that waits for a click goes on by itself: a choice, the hidden message box and
// the history screen are the player's to leave.
bool Player::MayAdvanceByItself() const {
  return !closed_ && window_.enabled && input_.interactionState == kShown && !choices_.Waiting();
}

// An advance of auto mode is no action of the player's: what it brings is said after the line
// still being spoken instead of cutting it off.
void Player::AutoAdvanceTimer(uint32_t nowMs) {
  if (!autoAdvance_.Due(nowMs)) return;
  autoAdvance_.Cancel();
  if (MayAdvanceByItself()) NextClick();
}

// --- screenshots ---

namespace {

std::string TimeForFileName(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d_%02d-%02d-%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return text;
}

std::string GameName(const GameFolder& folder) {
  std::error_code ec;
  std::string name = fs::weakly_canonical(fs::absolute(folder.root(), ec), ec).filename().string();
  return name.empty() ? std::string("orvane") : name;
}

// "<game>_<time>.png", or with "-2", "-3"... when shots come faster than once a second.
fs::path FreeShotName(const fs::path& folder, const std::string& stem) {
  std::error_code ec;
  fs::path file = folder / (stem + ".png");
  for (int n = 2; fs::exists(file, ec) && n < 1000; ++n) file = folder / (stem + "-" + std::to_string(n) + ".png");
  return file;
}

}  // namespace

std::optional<fs::path> Player::TakeScreenshot() {
  std::optional<fs::path> folder = options_.screenshotDir;
  if (!folder) {
    if (auto pictures = UserPicturesFolder()) folder = *pictures / "orvane";
  }
  auto fail = [&](const std::string& why) -> std::optional<fs::path> {
    services_.host.ShowCaptionNote("スクリーンショットを保存できませんでした: " + why);
    services_.diagnostics.Note("the screenshot could not be saved: " + why);
    return std::nullopt;
  };
  if (!folder) return fail("no pictures folder (HOME is not set)");
  std::error_code ec;
  fs::create_directories(*folder, ec);
  if (ec) return fail(folder->string() + ": " + ec.message());
  std::optional<Bytes> png = EncodePng(stage_.WindowPicture());
  if (!png) return fail("the picture could not be encoded");
  const fs::path file =
      FreeShotName(*folder, GameName(services_.folder) + "_" + TimeForFileName(services_.clock.LocalNow()));
  if (Result<void> written = WriteFileAtomically(file, *png); !written)
    return fail(file.string() + ": " + written.error().message);
  services_.host.ShowCaptionNote("スクリーンショット: " + file.string());
  return file;
}

}  // namespace orv
