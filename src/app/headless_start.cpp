#include "app/headless_start.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "app/recent_games.h"
#include "app/start_screen.h"
#include "platform/headless/event_folder_chooser.h"
#include "platform/headless/headless_clock.h"
#include "platform/headless/headless_host.h"
#include "platform/image_files.h"

namespace orv {

namespace {

std::optional<int> Coordinate(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || errno != 0 || value < -100000 || value > 100000) return std::nullopt;
  return int(value);
}

class StartScreenEvents {
 public:
  StartScreenEvents(StartScreen& screen, std::FILE* err) : screen_(screen), err_(err) {}

  // One event line; false for a line that cannot be carried out.
  bool Dispatch(const EventLine& e) {
    if (e.verb == "click" || e.verb == "move") {
      if (!e.args.empty() || e.verb == "move") {
        const std::optional<int> x = e.args.size() == 2 ? Coordinate(e.args[0]) : std::nullopt;
        const std::optional<int> y = e.args.size() == 2 ? Coordinate(e.args[1]) : std::nullopt;
        if (!x || !y) return Bad(e, e.verb + " takes X Y (whole numbers from -100000 to 100000)");
        x_ = *x;
        y_ = *y;
        screen_.MouseMove(x_, y_);
      }
      if (e.verb == "click") {
        screen_.MouseDown(MouseButton::Left, x_, y_);
        screen_.Click();
      }
    } else if (e.verb == "key") {
      const std::optional<KeyPress> key = e.args.size() == 1 ? KeyPressByName(e.args[0]) : std::nullopt;
      if (!key) return Bad(e, "key takes one key name");
      screen_.KeyDown(*key);
    } else if (e.verb == "dump" || e.verb == "shot") {
      if (e.rest.empty()) return Bad(e, e.verb + " takes a file name");
      if (!Write(e)) return Bad(e, "cannot write " + e.rest);
    } else if (e.verb == "wait" || e.verb == "wheel" || e.verb == "rclick") {
      // Nothing on this screen moves with time or answers the wheel or the right button.
    } else {
      std::fprintf(err_, "orvane: events line %d: %s does nothing on the start screen\n", e.lineNumber, e.verb.c_str());
    }
    return true;
  }

 private:
  bool Write(const EventLine& e) {
    if (e.verb == "shot") return WriteScreenshot(e.rest, screen_.surface());
    std::ofstream out(e.rest);
    out << nlohmann::json{{"startScreen", screen_.Dump()}}.dump(2) << '\n';
    return bool(out);
  }
  bool Bad(const EventLine& e, const std::string& why) {
    std::fprintf(err_, "orvane: events line %d: %s\n", e.lineNumber, why.c_str());
    return false;
  }

  StartScreen& screen_;
  std::FILE* err_;
  int x_ = 0, y_ = 0;
};

}  // namespace

HeadlessStart RunHeadlessStartScreen(const CommandLine& options, std::FILE* out, std::FILE* err, EventScript* events) {
  HeadlessClock clock;
  HeadlessHost host(out, events, clock);
  FontRenderer fonts;
  EventFolderChooser chooser(events);
  std::vector<RecentGame> recent;
  if (!options.configFile.empty()) recent = LoadRecentGames(options.configFile).games();
  StartScreen screen(host, fonts, chooser, std::move(recent));
  screen.Shown();
  StartScreenEvents dispatcher(screen, err);
  HeadlessStart result;
  while (!screen.Closed()) {
    const std::optional<EventLine> event = events ? events->Next() : std::nullopt;
    if (!event) break;
    if (!dispatcher.Dispatch(*event)) {
      result.exitCode = 2;
      return result;
    }
  }
  result.game = screen.chosen();
  return result;
}

}  // namespace orv
