#include "app/start_screen.h"

#include <cctype>
#include <cstdlib>
#include <system_error>

#include "app/game_check.h"
#include "platform/sjis.h"

namespace orv {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kChooserTitle = "Open a game folder";

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// A typed path as a shell would take it: "~" is the home folder.
fs::path Expanded(const std::string& typed) {
  const char* home = std::getenv("HOME");
  if (home && *home && (typed == "~" || typed.starts_with("~/")))
    return fs::path(home) / typed.substr(typed.size() > 1 ? 2 : 1);
  return fs::path(typed);
}

// Game folders find their files whatever the letter case, so "INIT.DEF" names init.def too.
bool IsInitDef(const fs::path& path) {
  std::string name = path.filename().string();
  for (char& c : name) c = char(std::tolower(static_cast<unsigned char>(c)));
  std::error_code ec;
  return name == "init.def" && !fs::is_directory(path, ec);
}

}  // namespace

StartScreen::StartScreen(Host& host, FontRenderer& fonts, FolderChooser& chooser, std::vector<RecentGame> recent,
                         FolderChooser::KeepAlive keepAlive)
    : host_(host), fonts_(fonts), chooser_(chooser), keepAlive_(std::move(keepAlive)) {
  std::vector<StartEntry> entries;
  entries.reserve(recent.size());
  for (RecentGame& game : recent) entries.push_back(StartEntry{std::move(game.caption), std::move(game.folder)});
  view_.SetEntries(std::move(entries));
}

void StartScreen::Shown() {
  host_.SetCaption("Orvane");
  Refresh();
}

void StartScreen::Refresh() {
  surface_ = view_.Render(fonts_);
  host_.Present(surface_);
}

void StartScreen::MouseDown(MouseButton button, int x, int y) {
  if (button != MouseButton::Left) return;
  pointerX_ = x;
  pointerY_ = y;
  pressed_ = view_.ItemAt(x, y);
  view_.PointAt(x, y);
  Refresh();
}

void StartScreen::MouseMove(int x, int y) {
  const StartItem before = view_.Focused();
  view_.PointAt(x, y);
  if (!(view_.Focused() == before)) Refresh();
  pointerX_ = x;
  pointerY_ = y;
}

void StartScreen::Click() {
  // A press that began on one item and ended on another takes neither, as buttons do.
  const StartItem released = view_.ItemAt(pointerX_, pointerY_);
  const StartItem pressed = pressed_;
  pressed_ = StartItem{};
  if (pressed.kind != StartItem::Kind::None && pressed == released) Activate(pressed);
}

void StartScreen::KeyDown(KeyPress key) {
  switch (key.code) {
    case KeyCode::Up:
      view_.MoveFocus(-1);
      Refresh();
      break;
    case KeyCode::Down:
      view_.MoveFocus(1);
      Refresh();
      break;
    case KeyCode::Enter:
    case KeyCode::Space: Activate(view_.Focused()); break;
    case KeyCode::Letter:
      if (key.letter == 'O') OpenWithChooser();
      break;
    default: break;
  }
}

void StartScreen::Activate(StartItem item) {
  if (item.kind == StartItem::Kind::OpenFolder) OpenWithChooser();
  if (item.kind == StartItem::Kind::Recent && item.index >= 0 && size_t(item.index) < view_.entries().size())
    TryFolder(fs::path(view_.entries()[size_t(item.index)].folder));
}

void StartScreen::OpenWithChooser() {
  const FolderChoice choice = chooser_.ChooseFolder(kChooserTitle, keepAlive_);
  switch (choice.outcome) {
    case FolderChoice::Outcome::Chosen: TryFolder(choice.folder); break;
    case FolderChoice::Outcome::Cancelled: break;
    case FolderChoice::Outcome::Unavailable:
      chooserProblem_ = choice.why;
      AskForPath();
      break;
  }
}

void StartScreen::AskForPath() {
  const std::optional<std::string> typed = host_.AskText(
      "Orvane",
      Utf8ToCp932("ゲームのフォルダー（init.def のあるフォルダー）:\nThe game's folder (the one holding init.def):"),
      "");
  if (!typed) return;
  const std::string path = Trimmed(Cp932ToUtf8(*typed));
  if (!path.empty()) TryFolder(Expanded(path));
}

void StartScreen::TryFolder(const fs::path& given) {
  // A chooser or a typed path may name the game's init.def itself.
  const fs::path folder = IsInitDef(given) ? given.parent_path() : given;
  if (CheckGameFolder(folder)) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(folder, ec);
    chosen_ = ec ? folder : absolute.lexically_normal();
    return;
  }
  std::error_code ec;
  const std::string why = fs::is_directory(folder, ec) ? "This folder holds no init.def, so it is not a game:"
                                                       : "This folder does not exist:";
  view_.SetProblem(why + "\n" + folder.string());
  host_.ShowCaptionNote(why + " " + folder.string());
  Refresh();
}

nlohmann::json StartScreen::Dump() const {
  nlohmann::json recent = nlohmann::json::array();
  for (const StartEntry& entry : view_.entries())
    recent.push_back({{"caption", entry.caption}, {"folder", entry.folder}});
  const StartItem focused = view_.Focused();
  nlohmann::json focus =
      focused.kind == StartItem::Kind::OpenFolder ? nlohmann::json("open") : nlohmann::json(focused.index);
  return {{"recent", recent}, {"focus", focus}, {"problem", view_.problem()}};
}

FolderChoice ChooserInFront::ChooseFolder(std::string_view utf8Title, const KeepAlive& keepAlive) {
  if (onTop_) host_.SetStayOnTop(false);
  FolderChoice choice = chooser_.ChooseFolder(utf8Title, keepAlive);
  if (onTop_) host_.SetStayOnTop(true);
  return choice;
}

bool StartsOnStartScreen(bool gameFolderGiven) { return !gameFolderGiven && !CheckGameFolder("."); }

}  // namespace orv
