#include "app/screenshots.h"

#include <cstdio>
#include <system_error>

#include "platform/image_files.h"
#include "platform/os.h"
#include "platform/user_folders.h"

namespace orv {

namespace fs = std::filesystem;

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

std::optional<fs::path> Screenshots::Fail(const std::string& why) {
  host_.ShowCaptionNote("スクリーンショットを保存できませんでした: " + why);
  diagnostics_.Note("the screenshot could not be saved: " + why);
  return std::nullopt;
}

std::optional<fs::path> Screenshots::Take(const Image& picture) {
  std::optional<fs::path> folder = folder_;
  if (!folder) {
    if (auto pictures = UserPicturesFolder()) folder = *pictures / "orvane";
  }
  if (!folder) return Fail("no pictures folder (HOME is not set)");
  std::error_code ec;
  fs::create_directories(*folder, ec);
  if (ec) return Fail(folder->string() + ": " + ec.message());
  std::optional<Bytes> png = EncodePng(picture);
  if (!png) return Fail("the picture could not be encoded");
  const fs::path file = FreeShotName(*folder, GameName(game_) + "_" + TimeForFileName(clock_.LocalNow()));
  if (Result<void> written = WriteFileAtomically(file, *png); !written)
    return Fail(file.string() + ": " + written.error().message);
  host_.ShowCaptionNote("スクリーンショット: " + file.string());
  return file;
}

}  // namespace orv
