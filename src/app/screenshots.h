#pragma once
// Screenshots: the window's picture as a PNG in the screenshot folder, named after the game
// and the moment, never over an earlier shot. A shot that cannot be written is told to the
// player and noted; the game goes on either way.
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "platform/clock.h"
#include "platform/diagnostics.h"
#include "platform/game_folder.h"
#include "platform/host.h"
#include "platform/image.h"

namespace orv {

class Screenshots {
 public:
  // Shots go to `folder`, or without one to orvane/ in the desktop's pictures folder.
  Screenshots(Host& host, Diagnostics& diagnostics, Clock& clock, const GameFolder& game,
              std::optional<std::filesystem::path> folder)
      : host_(host), diagnostics_(diagnostics), clock_(clock), game_(game), folder_(std::move(folder)) {}

  // The file written, or nothing when it could not be (the player is told why).
  std::optional<std::filesystem::path> Take(const Image& picture);

 private:
  std::optional<std::filesystem::path> Fail(const std::string& why);

  Host& host_;
  Diagnostics& diagnostics_;
  Clock& clock_;
  const GameFolder& game_;
  std::optional<std::filesystem::path> folder_;
};

}  // namespace orv
