// The text interpreter: walks the scenario line by line, types quoted text into the message
// box, acts on text controls, inline variable forms and commands, and stops where the script
// waits for the player.
#include "app/form.h"
#include "logic/inline_forms.h"

namespace orv {

namespace {
constexpr std::string_view kMessageTextDelimiters = "~,\",\\,!,\t,/,\n,&,%,w,',";
constexpr std::string_view kTextControlLetters = "n,N,r,R,p,P,w,W";
constexpr size_t kMaxLineBytes = 255;
}  // namespace

bool TForm1::FetchLine() {
  const std::string& text = scenario.ScenarioBuffer();
  size_t pos = scriptOffset < 0 ? text.size() : size_t(scriptOffset);
  if (pos >= text.size() || text[pos] == '\0') {
    ShowMessage(Sj("ファイルの最後まで読みこみました。終了します。"));
    Close();
    return false;
  }
  if (++linesThisStep > runawayLines) {
    // The kit's player froze here for good; say what happened and end cleanly instead.
    ShowMessage(Sj("スクリプトが終わらないくり返しに入ったため、終了します。"));
    Close();
    return false;
  }
  // A line longer than the reader's buffer is cut; the rest of it is skipped so that it
  // never turns into a line of its own.
  lineBuffer.clear();
  while (pos < text.size() && text[pos] != '\0') {
    if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') {
      pos += 2;
      break;
    }
    if (lineBuffer.size() < kMaxLineBytes) lineBuffer += text[pos];
    ++pos;
  }
  scriptOffset = int32_t(pos);
  return true;
}

void TForm1::TypeText(std::string_view text) {
  const FontSpec font = MessageFont();
  if (messageDelayMs > 0) {
    int x = textCursorX;
    for (size_t i = 0; i < text.size();) {
      size_t length = CharacterLength(text.substr(i));
      if (clock().ButtonHeld()) break;
      x += services.fonts.Draw(windowSurface, x, textCursorY, text.substr(i, length), font);
      PresentWindow();
      if (!pageMode()) WaitMs(messageDelayMs);
      i += length;
    }
  }
  services.fonts.Draw(screenImage, textCursorX, textCursorY, text, font);
  services.fonts.Draw(textImage, textCursorX, textCursorY, text, font);
  textCursorX += services.fonts.Measure(text, font);
}

void TForm1::TypeAndRecord(std::string_view text) {
  TypeText(text);
  history.Append(pageIndex, text);
}

// The letter after a backslash. Returns false when the step ends; sets nextLine when the
// interpreter goes on with the next scenario line.
bool TForm1::TextControl(bool& nextLine, char& last) {
  std::string skipped;
  reader.SetDelimiters(kTextControlLetters);
  const char letter = reader.ReadToken(skipped);
  const int lineAdvance = scene.lineSpacing + scene.fontSize;
  last = letter;
  switch (letter) {
    case 'n':
    case 'N':
      textCursorX = scene.textX;
      textCursorY += lineAdvance;
      history.NewLine(pageIndex);
      RepaintScreen();
      if (!pageMode()) return false;
      nextLine = true;
      return true;
    case 'r':
    case 'R':
      textCursorX = scene.textX;
      textCursorY += lineAdvance;
      WaitMs(100);
      history.NewLine(pageIndex);
      nextLine = true;
      return true;
    case 'p':
    case 'P':
      RepaintScreen();
      textCursorY += lineAdvance;
      pageEnded = true;
      ++pageIndex;
      history.Rotate(pageIndex);
      return false;
    case 'w':
    case 'W':
      WaitMs(scene.textWaitMs);
      return true;
    case ',':
      return true;
    default:  // no letter before the end of the line
      return false;
  }
}

bool TForm1::RunCommand(bool& nextLine, char& last) {
  std::string keyword;
  reader.SetDelimiters(" ,,,\n");
  const char keywordEnd = reader.ReadToken(keyword, 256, false);
  const int slot = commands.FindCommand(keyword);
  bool result = false;
  if (slot < 0) {
    ShowMessage(Sj("指定されたスクリプトは存在しません：　") + keyword);
  } else {
    result = commands.slot(slot).handler(*this);
  }
  if (result) {
    nextLine = true;
    return true;
  }
  last = keywordEnd;
  return keywordEnd != 0;
}

void TForm1::InterpretStep() {
  linesThisStep = 0;
  if (closed || !FetchLine()) return;
  reader.SetSource(lineBuffer);
  while (!closed) {
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
        if (!InlineNumericAssignment(*this)) {
          ShowMessage(Sj("変数の指定がありません。"));
          Close();
          return;
        }
        nextLine = true;
        break;
      case '&':
        InlineStringAssignment(*this);
        nextLine = true;
        break;
      case '%':
        ShowStringVariableInline(*this);
        break;
      case '\'':
        ShowNumericVariableInline(*this);
        break;
      case '~':
        goOn = RunCommand(nextLine, last);
        break;
      default:  // tab, comma, "w": separators
        break;
    }
    if (closed) return;
    if (nextLine) {
      if (!FetchLine()) return;
      reader.SetSource(lineBuffer);
      continue;
    }
    if (!goOn || last == 0) return;
  }
}

}  // namespace orv
