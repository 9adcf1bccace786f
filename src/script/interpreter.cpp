#include "script/interpreter.h"

#include <algorithm>

#include "platform/sjis.h"
#include "script/label_index.h"

namespace orv {

namespace {
constexpr std::string_view kMessageTextDelimiters = "~,\",\\,!,\t,/,\n,&,%,w,',";
constexpr std::string_view kTextControlLetters = "n,N,r,R,p,P,w,W";
// A step that reads this many lines without waiting lets the window breathe.
constexpr uint32_t kKeepAliveLines = 0x3FFF;
}  // namespace

Interpreter::Interpreter(const GameFolder& folder, StepHost& host) : scenario(folder), host_(host) {}

void Interpreter::Reset() {
  scenario.Reset();
  reader = ScriptReader();
  lineBuffer.clear();
  scriptOffset = 0;
  pageIndex = 0;
  textCursorX = textCursorY = 0;
  pageEnded = false;
  history.Clear();
  messageDelayMs = 0;
  textColor = 0;
  linesThisStep = 0;
  labels_ = LabelIndex();
  labelsIndexed_ = false;
  indexedText_ = nullptr;
  indexedSize_ = 0;
  linesSinceKeepAlive_ = 0;
}

bool Interpreter::FetchLine() {
  const std::string& text = scenario.ScenarioBuffer();
  size_t pos = scriptOffset < 0 ? text.size() : size_t(scriptOffset);
  if (pos >= text.size() || text[pos] == '\0') {
    host_.ShowMessage(Utf8ToCp932("ファイルの最後まで読みこみました。終了します。"));
    host_.Close();
    return false;
  }
  // Scripts may loop as long as they like; only a run that asks for a limit (fuzzing, tests)
  // ends a step that never waits.
  if (maxStepLines > 0 && ++linesThisStep > maxStepLines) {
    host_.ShowMessage(Utf8ToCp932("スクリプトが終わらないくり返しに入ったため、終了します。"));
    host_.Close();
    return false;
  }
  if ((++linesSinceKeepAlive_ & kKeepAliveLines) == 0) host_.KeepAlive();
  if (host_.Closed()) return false;
  scriptOffset = int32_t(ReadScenarioLine(text, pos, lineBuffer));
  return true;
}

bool Interpreter::FetchLineForCommand() {
  const bool fetched = FetchLine();
  reader.SetSource(fetched ? std::string_view(lineBuffer) : std::string_view());
  return fetched;
}

void Interpreter::JumpToLabel(std::string_view label) {
  const std::string& text = scenario.ScenarioBuffer();
  if (!labelsIndexed_ || indexedText_ != text.data() || indexedSize_ != text.size()) {
    labels_.Build(text);
    labelsIndexed_ = true;
    indexedText_ = text.data();
    indexedSize_ = text.size();
  }
  if (auto next = labels_.Find(label)) {
    // Where a scan from the top would stop: on the label's line, with the reader on it.
    scriptOffset = *next;
    lineBuffer = std::string(label);
    reader.SetSource(lineBuffer);
    return;
  }
  // A scan would reach the end of the text, which FetchLine reports before the window closes.
  scriptOffset = int32_t(text.size());
  FetchLineForCommand();
}

void Interpreter::ScenarioChanged() { labelsIndexed_ = false; }

bool Interpreter::LoadFirstScenario(std::string_view scenarioFileName, std::string& name) {
  Result<std::string> load = scenario.LoadFirstScenario(scenarioFileName);
  ScenarioChanged();
  if (!load) return false;
  name = *load;
  return true;
}

Result<void> Interpreter::TrySwitchScenario(std::string_view name, std::string_view currentName) {
  Result<void> switched = scenario.SwitchScenario(name, currentName);
  if (switched) ScenarioChanged();
  return switched;
}

bool Interpreter::SwitchScenario(std::string_view name, std::string_view currentName) {
  Result<void> switched = TrySwitchScenario(name, currentName);
  if (!switched) host_.ShowMessage(switched.error().message);
  return switched.ok();
}

Result<void> Interpreter::OpenScenarioAt(std::string_view name, int32_t readPosition) {
  std::string previous = scenario.ScenarioBuffer();
  // The name's own type decides how its text is stored: no other scenario is being left.
  if (Result<void> switched = TrySwitchScenario(name, name); !switched) return switched;
  if (readPosition >= 0 && size_t(readPosition) <= scenario.ScenarioBuffer().size()) return {};
  scenario.SetBuffer(std::move(previous));
  ScenarioChanged();
  return Error{ErrorKind::Malformed, "the saved read position lies outside its scenario"};
}

void Interpreter::ResumeAt(int32_t readPosition, int32_t x, int32_t y, uint32_t color) {
  textColor = color;
  textCursorX = x;
  textCursorY = y;
  scriptOffset = readPosition;
}

int Interpreter::CurrentLineNumber() const {
  const std::string& text = scenario.ScenarioBuffer();
  const size_t end = std::min(text.size(), size_t(std::max(scriptOffset, 0)));
  // The offset stands after the line being read.
  const auto ends = std::count(text.begin(), text.begin() + std::ptrdiff_t(end), '\n');
  return int(ends) + (end == 0 || text[end - 1] != '\n' ? 1 : 0);
}

void Interpreter::TypeAndRecord(std::string_view text) {
  textCursorX += host_.TypeText(text, textCursorX, textCursorY);
  history.Append(pageIndex, text);
}

// The letter after a backslash. Returns false when the step ends; sets nextLine when the
// interpreter goes on with the next scenario line.
bool Interpreter::TextControl(bool& nextLine, char& last) {
  std::string skipped;
  reader.SetDelimiters(kTextControlLetters);
  const char letter = reader.ReadToken(skipped);
  const int lineAdvance = host_.LineAdvance();
  last = letter;
  switch (letter) {
    case 'n':
    case 'N':
      textCursorX = host_.TextOriginX();
      textCursorY += lineAdvance;
      history.NewLine(pageIndex);
      host_.LineEnded();
      host_.RepaintScreen();
      if (!host_.PageMode()) return false;
      nextLine = true;
      return true;
    case 'r':
    case 'R':
      textCursorX = host_.TextOriginX();
      textCursorY += lineAdvance;
      host_.LineEnded();
      host_.WaitMs(100);
      history.NewLine(pageIndex);
      nextLine = true;
      return true;
    case 'p':
    case 'P':
      host_.LineEnded();
      host_.RepaintScreen();
      textCursorY += lineAdvance;
      pageEnded = true;
      ++pageIndex;
      history.Rotate(pageIndex);
      return false;
    case 'w':
    case 'W':
      host_.WaitMs(host_.TextWaitMs());
      return true;
    case ',':
      return true;
    default:  // no letter before the end of the line
      return false;
  }
}

bool Interpreter::RunCommand(bool& nextLine, char& last) {
  std::string keyword;
  reader.SetDelimiters(" ,,,\n");
  const char keywordEnd = reader.ReadToken(keyword, 256, false);
  const int slot = commands.FindCommand(keyword);
  bool result = false;
  if (slot < 0) {
    host_.ShowMessage(Utf8ToCp932("指定されたスクリプトは存在しません：　") + keyword);
  } else if (commands.slot(slot).handler) {
    result = commands.slot(slot).handler();
  }
  if (result) {
    nextLine = true;
    return true;
  }
  last = keywordEnd;
  return keywordEnd != 0;
}

void Interpreter::InterpretStep() {
  RunStep();
  host_.StepEnded();
}

void Interpreter::RunStep() {
  linesThisStep = 0;
  if (host_.Closed() || !FetchLine()) return;
  reader.SetSource(lineBuffer);
  while (!host_.Closed()) {
    std::string skipped;
    reader.SetDelimiters(kMessageTextDelimiters);
    const char d = reader.ReadToken(skipped);
    bool nextLine = false;
    char last = d;
    bool goOn = true;
    switch (d) {
      case '\0':
      case '\n':
      case '/':
        nextLine = true;
        break;
      case '"': {
        std::string text;
        reader.SetDelimiters("\"");
        last = reader.ReadToken(text);
        TypeAndRecord(text);
        goOn = last != 0;
        break;
      }
      case '\\':
        goOn = TextControl(nextLine, last);
        break;
      case '!':
      case '&':
        if (!commands.RunInlineForm(d)) return;
        nextLine = true;
        break;
      case '%':
      case '\'': commands.RunInlineForm(d); break;
      case '~':
        goOn = RunCommand(nextLine, last);
        break;
      default:  // tab, comma, "w": separators
        break;
    }
    if (host_.Closed() || host_.ChoiceWaiting()) return;
    if (nextLine) {
      if (!FetchLine()) return;
      reader.SetSource(lineBuffer);
      continue;
    }
    if (!goOn || last == 0) return;
  }
}

}  // namespace orv
