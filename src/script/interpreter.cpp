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

Interpreter::Interpreter(const GameFolder& folder, StepHost& host) : scenario_(folder), host_(host) {}

void Interpreter::Reset() {
  scenario_.Reset();
  reader_ = ScriptReader();
  lineBuffer_.clear();
  scriptOffset_ = 0;
  pageIndex_ = 0;
  textCursorX_ = textCursorY_ = 0;
  pageEnded_ = false;
  history_.Clear();
  messageDelayMs_ = 0;
  textColor_ = 0;
  linesThisStep_ = 0;
  labels_ = LabelIndex();
  labelsIndexed_ = false;
  indexedText_ = nullptr;
  indexedSize_ = 0;
  linesSinceKeepAlive_ = 0;
}

bool Interpreter::FetchLine() {
  const std::string& text = scenario_.ScenarioBuffer();
  size_t pos = scriptOffset_ < 0 ? text.size() : size_t(scriptOffset_);
  if (pos >= text.size() || text[pos] == '\0') {
    host_.ShowMessage(Utf8ToCp932("ファイルの最後まで読みこみました。終了します。"));
    host_.Close();
    return false;
  }
  // Scripts may loop as long as they like; only a run that asks for a limit (fuzzing, tests)
  // ends a step that never waits.
  if (maxStepLines_ > 0 && ++linesThisStep_ > maxStepLines_) {
    host_.ShowMessage(Utf8ToCp932("スクリプトが終わらないくり返しに入ったため、終了します。"));
    host_.Close();
    return false;
  }
  if ((++linesSinceKeepAlive_ & kKeepAliveLines) == 0) host_.KeepAlive();
  if (host_.WindowClosed()) return false;
  scriptOffset_ = int32_t(ReadScenarioLine(text, pos, lineBuffer_));
  return true;
}

bool Interpreter::FetchLineForCommand() {
  const bool fetched = FetchLine();
  reader_.SetSource(fetched ? std::string_view(lineBuffer_) : std::string_view());
  return fetched;
}

void Interpreter::JumpToLabel(std::string_view label) {
  const std::string& text = scenario_.ScenarioBuffer();
  if (!labelsIndexed_ || indexedText_ != text.data() || indexedSize_ != text.size()) {
    labels_.Build(text);
    labelsIndexed_ = true;
    indexedText_ = text.data();
    indexedSize_ = text.size();
  }
  if (auto next = labels_.Find(label)) {
    // Where a scan from the top would stop: on the label's line, with the reader on it.
    scriptOffset_ = *next;
    lineBuffer_ = std::string(label);
    reader_.SetSource(lineBuffer_);
    return;
  }
  // A scan would reach the end of the text, which FetchLine reports before the window closes.
  scriptOffset_ = int32_t(text.size());
  FetchLineForCommand();
}

void Interpreter::ScenarioChanged() { labelsIndexed_ = false; }

bool Interpreter::LoadFirstScenario(std::string_view scenarioFileName, std::string& name) {
  Result<std::string> load = scenario_.LoadFirstScenario(scenarioFileName);
  ScenarioChanged();
  if (!load) return false;
  name = *load;
  return true;
}

Result<void> Interpreter::TrySwitchScenario(std::string_view name, std::string_view currentName) {
  Result<void> switched = scenario_.SwitchScenario(name, currentName);
  if (switched) ScenarioChanged();
  return switched;
}

bool Interpreter::SwitchScenario(std::string_view name, std::string_view currentName) {
  Result<void> switched = TrySwitchScenario(name, currentName);
  if (!switched) host_.ShowMessage(switched.error().message);
  return switched.ok();
}

Result<void> Interpreter::OpenScenarioAt(std::string_view name, int32_t readPosition) {
  std::string previous = scenario_.ScenarioBuffer();
  // The name's own type decides how its text is stored: no other scenario is being left.
  if (Result<void> switched = TrySwitchScenario(name, name); !switched) return switched;
  if (readPosition >= 0 && size_t(readPosition) <= scenario_.ScenarioBuffer().size()) return {};
  scenario_.SetBuffer(std::move(previous));
  ScenarioChanged();
  return Error{ErrorKind::Malformed, "the saved read position lies outside its scenario_"};
}

void Interpreter::TurnPage(int32_t x, int32_t y) {
  pageEnded_ = false;
  PlaceCursor(x, y);
}

void Interpreter::TurnPageAfterChoice(int32_t x, int32_t y) {
  TurnPage(x, y);
  history_.Rotate(pageIndex_);
}

void Interpreter::PlaceCursor(int32_t x, int32_t y) {
  textCursorX_ = x;
  textCursorY_ = y;
}

void Interpreter::UseScenarioText(std::string text) {
  scenario_.SetBuffer(std::move(text));
  ScenarioChanged();
  scriptOffset_ = 0;
}

void Interpreter::ResumeAt(int32_t readPosition, int32_t x, int32_t y, uint32_t color) {
  textColor_ = color;
  textCursorX_ = x;
  textCursorY_ = y;
  scriptOffset_ = readPosition;
}

StoryPlace Interpreter::Place() const {
  StoryPlace place{scriptOffset_, pageIndex_, textCursorX_, textCursorY_, pageEnded_, textColor_, messageDelayMs_,
                   {}, {}};
  auto linesOf = [this](int page, std::vector<std::string>& lines) {
    const MessageHistory::Page text = history_.page(page);
    for (int line = 0; line <= text.lineCount(); ++line) lines.push_back(text.line(line));
  };
  linesOf(pageIndex_, place.pageLines);
  if (pageIndex_ > 0) linesOf(pageIndex_ - 1, place.previousPageLines);
  return place;
}

void Interpreter::ReturnTo(const StoryPlace& place) {
  scriptOffset_ = place.scriptOffset;
  pageIndex_ = place.pageIndex;
  textCursorX_ = place.textCursorX;
  textCursorY_ = place.textCursorY;
  pageEnded_ = place.pageEnded;
  textColor_ = place.textColor;
  messageDelayMs_ = place.messageDelayMs;
  if (pageIndex_ > 0) history_.RewindTo(pageIndex_ - 1, place.previousPageLines);
  history_.RewindTo(pageIndex_, place.pageLines);
}

int Interpreter::CurrentLineNumber() const {
  const std::string& text = scenario_.ScenarioBuffer();
  const size_t end = std::min(text.size(), size_t(std::max(scriptOffset_, 0)));
  // The offset stands after the line being read.
  const auto ends = std::count(text.begin(), text.begin() + std::ptrdiff_t(end), '\n');
  return int(ends) + (end == 0 || text[end - 1] != '\n' ? 1 : 0);
}

void Interpreter::TypeAndRecord(std::string_view text) {
  textCursorX_ += host_.TypeText(text, textCursorX_, textCursorY_);
  history_.Append(pageIndex_, text);
}

// The letter after a backslash. Returns false when the step ends; sets nextLine when the
// interpreter goes on with the next scenario line.
bool Interpreter::TextControl(bool& nextLine, char& last) {
  std::string skipped;
  reader_.SetDelimiters(kTextControlLetters);
  const char letter = reader_.ReadToken(skipped);
  const int lineAdvance = host_.LineAdvance();
  last = letter;
  switch (letter) {
    case 'n':
    case 'N':
      textCursorX_ = host_.TextOriginX();
      textCursorY_ += lineAdvance;
      history_.NewLine(pageIndex_);
      host_.LineEnded();
      host_.RepaintScreen();
      if (!host_.PageMode()) return false;
      nextLine = true;
      return true;
    case 'r':
    case 'R':
      textCursorX_ = host_.TextOriginX();
      textCursorY_ += lineAdvance;
      host_.LineEnded();
      host_.WaitMs(100);
      history_.NewLine(pageIndex_);
      nextLine = true;
      return true;
    case 'p':
    case 'P':
      host_.LineEnded();
      host_.RepaintScreen();
      textCursorY_ += lineAdvance;
      pageEnded_ = true;
      ++pageIndex_;
      history_.Rotate(pageIndex_);
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
  reader_.SetDelimiters(" ,,,\n");
  const char keywordEnd = reader_.ReadToken(keyword, 256, false);
  const int slot = commands_.FindCommand(keyword);
  bool result = false;
  if (slot < 0) {
    host_.ShowMessage(Utf8ToCp932("指定されたスクリプトは存在しません：　") + keyword);
  } else if (commands_.slot(slot).handler) {
    result = commands_.slot(slot).handler();
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
  linesThisStep_ = 0;
  if (host_.WindowClosed() || !FetchLine()) return;
  reader_.SetSource(lineBuffer_);
  while (!host_.WindowClosed()) {
    std::string skipped;
    reader_.SetDelimiters(kMessageTextDelimiters);
    const char d = reader_.ReadToken(skipped);
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
        reader_.SetDelimiters("\"");
        last = reader_.ReadToken(text);
        TypeAndRecord(text);
        goOn = last != 0;
        break;
      }
      case '\\':
        goOn = TextControl(nextLine, last);
        break;
      case '!':
      case '&':
        if (!commands_.RunInlineForm(d)) return;
        nextLine = true;
        break;
      case '%':
      case '\'': commands_.RunInlineForm(d); break;
      case '~':
        goOn = RunCommand(nextLine, last);
        break;
      default:  // tab, comma, "w": separators
        break;
    }
    if (host_.WindowClosed() || host_.ChoiceWaiting()) return;
    if (nextLine) {
      if (!FetchLine()) return;
      reader_.SetSource(lineBuffer_);
      continue;
    }
    if (!goOn || last == 0) return;
  }
}

}  // namespace orv
