#pragma once
// The start screen of a headless run (no game folder given, and the current folder is no
// game): the event lines drive it as they drive a game, until a game is picked.
//
//   click [X Y], move X Y, key NAME   as in a game (Enter, Space, Up, Down, O)
//   folder DIR / folder-cancel        the folder chooser's answer, right after what opens it;
//                                     without one the chooser is missing and the path field
//                                     asks (answered by `input TEXT` / `input-cancel`)
//   dump FILE, shot FILE              dump key `startScreen`; relative to the current folder
//   wait MS                           nothing happens on this screen
#include <cstdio>
#include <filesystem>
#include <optional>

#include "app/command_line.h"
#include "platform/headless/event_script.h"

namespace orv {

struct HeadlessStart {
  std::optional<std::filesystem::path> game;  // the game picked; nothing when the events ran out
  int exitCode = 0;                           // 2 for a bad event line
};

HeadlessStart RunHeadlessStartScreen(const CommandLine& options, std::FILE* out, std::FILE* err, EventScript* events);

}  // namespace orv
