// Scenarios as the script layers see them: the interpreter with the variable, expression,
// condition, jump and string commands, run for a few advances over a script that is the
// input. Whatever the script says, each advance ends, and nothing reads or writes outside
// its buffers.
//
// The stage and the sound are left out (their commands only skip their line here), which is
// what makes this fast: the whole player, which starts a game and clears its 640 x 480
// layers for every input, is fuzz_scenario's work, at about a third of this target's speed.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <utility>

#include "logic/command_context.h"
#include "logic/inline_forms.h"
#include "logic/logic_commands.h"
#include "persist/scene_state.h"
#include "platform/game_folder.h"
#include "script/interpreter.h"

namespace {
namespace fs = std::filesystem;

// An advance that reads this many lines without waiting for the player counts as an endless
// loop and ends the run. Looping inputs are most of what a campaign keeps, and a line costs
// microseconds here, so the limit is short; scripts that wait now and then never meet it.
constexpr int64_t kMaxStepLines = 250;
constexpr int kSteps = 8;
constexpr size_t kMaxScenarioBytes = 4096;

// The game folder, made once: the scenario is rewritten for every input, and whatever a
// script wrote is removed before the next.
struct Folder {
  Folder() {
    std::error_code ec;
    const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    path = base / ("orvane-fuzz-script-" + std::to_string(getpid()));
    fs::create_directories(path);
  }
  ~Folder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  void WriteScenario(const uint8_t* data, size_t size) {
    for (const auto& entry : fs::directory_iterator(path)) fs::remove_all(entry.path());
    std::ofstream(path / "story.txt", std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
  }
  fs::path path;
};

// The window as far as the script layers ask about it: dialogs answer as the headless window
// does without events (yes, the default text), text advances by a fixed width, time stands.
class ScriptHost final : public orv::StepHost, public orv::PlayerControl {
 public:
  orv::SceneState* scene = nullptr;

  // Dialogs
  void ShowMessage(std::string_view) override {}
  bool AskYesNo(std::string_view, std::string_view) override { return true; }
  std::optional<std::string> AskText(std::string_view, std::string_view, std::string_view defaultText) override {
    return std::string(defaultText);
  }
  // StepHost
  int TypeText(std::string_view text, int, int) override { return int(text.size()) * 8; }
  void RepaintScreen() override {}
  bool PageMode() const override { return pageMode_; }
  void WaitMs(int32_t) override {}
  int LineAdvance() const override { return scene->lineSpacing + scene->fontSize; }
  int32_t TextWaitMs() const override { return scene->textWaitMs; }
  int32_t TextOriginX() const override { return scene->textX; }
  void KeepAlive() override {}
  void Close() override { closed_ = true; }
  bool WindowClosed() const override { return closed_; }
  // PlayerControl
  void EndGame() override { closed_ = true; }
  bool PageModeOn() const override { return pageMode_; }
  bool SkipMode() const override { return skipMode_; }
  void StopSkipping() override { skipMode_ = false; }
  void SetMessageSpeed(int) override {}
  void SetCaption(std::string_view) override {}
  void ClearWaitIndicator() override {}
  void SetWaitIndicatorTimer(bool) override {}
  void SetWaitIndicatorInterval(uint32_t) override {}
  void OpenExternally(const std::string&) override {}
  bool SetCursorFromFile(const fs::path&) override { return true; }
  void Note(std::string_view) override {}

  void Reset(bool pageMode, bool skipMode) {
    closed_ = false;
    pageMode_ = pageMode;
    skipMode_ = skipMode;
  }

 private:
  bool closed_ = false;
  bool pageMode_ = false;
  bool skipMode_ = false;
};

void BindCommands(orv::CommandTable& table, const orv::CommandContext& ctx) {
  table.FillCommandTable();
  table.BindInlineForms([&ctx](char form) { return orv::RunInlineForm(ctx, form); });
  for (int slot = 0; slot < orv::kCommandCount; ++slot) table.Bind(table.slot(slot).keyword, [] { return true; });
  using Handler = bool (*)(const orv::CommandContext&);
  const std::pair<std::string_view, Handler> logic[] = {
      {"MATH", orv::CmdMath},       {"IF", orv::CmdIf},           {"GOTO", orv::CmdGoto},
      {"RANDOM", orv::CmdRandom},   {"SIN", orv::CmdSin},         {"COS", orv::CmdCos},
      {"EXIT", orv::CmdExit},       {"WAIT", orv::CmdWait},       {"NVMODE", orv::CmdNvmode},
      {"SETSPEED", orv::CmdSetspeed}, {"RUN", orv::CmdRun},       {"SETCURSOR", orv::CmdSetcursor},
      {"DEBUG", orv::CmdDebug},     {"INPUTBOX", orv::CmdInputbox}, {"STRCAT", orv::CmdStrcat},
      {"STRCMP", orv::CmdStrcmp},   {"STRLEN", orv::CmdStrlen},   {"INTTOSTR", orv::CmdInttostr},
      {"STRTOINT", orv::CmdStrtoint}};
  for (const auto& entry : logic) {
    const Handler handler = entry.second;
    table.Bind(entry.first, [&ctx, handler] { return handler(ctx); });
  }
}

// The parts live for the whole process and are put back to their starting state for every
// input: the interpreter's message history alone is 65,536 strings, whose making and unmaking
// would cost more than most scripts take to run.
struct Session {
  Session() : game(folder.path), interpreter(std::make_unique<orv::Interpreter>(game, host)) {
    host.scene = &scene;
    BindCommands(interpreter->commands(), context);
  }

  // What a player's start-up leaves: no text, no variables, the scene's defaults, the story
  // at the top of the scenario (loaded afresh by the caller).
  void Reset(size_t inputSize) {
    host.Reset(inputSize & 1, inputSize & 2);
    vars.Clear();
    scene = orv::SceneState{};
    randomState = 1;
    interpreter->Reset();
    interpreter->SetMessageDelay(50);
    interpreter->LimitStepLines(kMaxStepLines);
  }

  Folder folder;
  const orv::GameFolder game;
  ScriptHost host;
  std::unique_ptr<orv::Interpreter> interpreter;
  orv::VariableStore vars;
  orv::SceneState scene;
  uint32_t randomState = 1;
  orv::CommandContext context{interpreter->reader(), vars, scene, host, *interpreter, host, game, randomState};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxScenarioBytes) return 0;
  static Session session;
  session.folder.WriteScenario(data, size);
  // The length sets the menus' page and skip modes, which change how text flows.
  session.Reset(size);

  orv::Interpreter& interpreter = *session.interpreter;
  std::string name;
  if (!interpreter.LoadFirstScenario("story.txt", name)) return 0;
  for (int step = 0; step < kSteps && !session.host.WindowClosed(); ++step) {
    if (interpreter.pageEnded()) {
      interpreter.TurnPage(session.scene.textX, session.scene.textY);
    }
    interpreter.InterpretStep();
  }
  return 0;
}
