#pragma once
// The text interpreter: walks the scenario line by line, types quoted text into the message
// box, acts on text controls, inline variable forms and commands, and stops where the script
// waits for the player. It owns where the story stands (the scenario, the read offset, the
// text cursor, the page and its history); what it draws, shows or runs goes through the
// StepHost the player gives it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/command_table.h"
#include "script/dialogs.h"
#include "script/label_index.h"
#include "script/message_history.h"
#include "script/scenario_source.h"
#include "script/script_reader.h"

namespace orv {

class GameFolder;

// What a step needs from the parts around the interpreter.
class StepHost : public Dialogs {
 public:
  // Draws text at the cursor (onto the window while typing, and onto the layers) and returns
  // its advance in pixels.
  virtual int TypeText(std::string_view text, int x, int y) = 0;
  virtual void RepaintScreen() = 0;
  virtual bool PageMode() const = 0;
  virtual void WaitMs(int32_t ms) = 0;
  // A line of message text is complete: a line end, with a wait or without, or a page end.
  virtual void LineEnded() {}
  // The line advance of message text (line spacing plus the font size number).
  virtual int LineAdvance() const = 0;
  // The time a \w pauses.
  virtual int32_t TextWaitMs() const = 0;
  virtual int32_t TextOriginX() const = 0;
  // Called now and then while a step reads many lines without waiting: the window stays
  // responsive, and a close request it takes ends the step.
  virtual void KeepAlive() = 0;
  // Closes the main window; nothing more of the current step runs.
  virtual void Close() = 0;
  virtual bool WindowClosed() const = 0;
  // A command has put up a choice: the step ends there, whatever follows the command in its
  // line.
  virtual bool ChoiceWaiting() const { return false; }
  // The step is over: the story waits for the player (or has closed).
  virtual void StepEnded() {}
};

// Where the story stands between two advances, for stepping back to it later: the reader's
// place in the open scenario, the text cursor and colour, the page, and the text of that page
// and of the one before it (which the page end that led here finished).
struct StoryPlace {
  int32_t scriptOffset = 0;
  int32_t pageIndex = 0;
  int32_t textCursorX = 0, textCursorY = 0;
  bool pageEnded = false;
  uint32_t textColor = 0;
  int32_t messageDelayMs = 0;
  std::vector<std::string> pageLines, previousPageLines;
};

class Interpreter {
 public:
  Interpreter(const GameFolder& folder, StepHost& host);

  // Back to where a new interpreter stands, with no scenario and an empty history; the
  // command table, the step limit and the history's storage stay.
  void Reset();

  // One advance's worth of script: runs until the script waits.
  void InterpretStep();
  // The next scenario line into the line buffer. False at the end of the text (the player is
  // told and the window closes) or when a step reads lines without end.
  bool FetchLine();
  // FetchLine for a command: the reader moves onto the new line (or an empty one).
  bool FetchLineForCommand();
  // Types text in the flow of the message and records it in the history.
  void TypeAndRecord(std::string_view text);

  // Jumps to the first line that is the label exactly; at the end of the text the window
  // closes as for any end.
  void JumpToLabel(std::string_view label);
  // Loads another scenario and reads it from its top. On failure the player is told, and the
  // story goes on where it stood. False when it did not switch.
  bool LoadFirstScenario(std::string_view scenarioFileName, std::string& name);
  bool SwitchScenario(std::string_view name, std::string_view currentName);
  // The same, leaving it to the caller to tell the player what went wrong.
  Result<void> TrySwitchScenario(std::string_view name, std::string_view currentName);

  // Opens the scenario a restored save point names, checking that `readPosition` lies in its
  // text, without moving the reader. On failure the story stands exactly where it stood.
  Result<void> OpenScenarioAt(std::string_view name, int32_t readPosition);
  // Reading goes on from `readPosition` of the open scenario, the text cursor at (x, y) and
  // message text in `color`, as the save point left them.
  void ResumeAt(int32_t readPosition, int32_t x, int32_t y, uint32_t color);

  StoryPlace Place() const;
  // Back to a place of the scenario open now (OpenScenarioAt opens the place's own first);
  // the pages after it are emptied, as they were then.
  void ReturnTo(const StoryPlace& place);

  // The scenario line the reader stands on, counted from 1, for diagnostics.
  int CurrentLineNumber() const;

  // --- verbs for the parts around the story ---
  // A new page: the page's end is behind, and text starts again at (x, y).
  void TurnPage(int32_t x, int32_t y);
  // The page a taken choice begins: as TurnPage, and the history's oldest page goes when it
  // is full.
  void TurnPageAfterChoice(int32_t x, int32_t y);
  // The next text goes at (x, y).
  void PlaceCursor(int32_t x, int32_t y);
  void SetTextColor(uint32_t color) { textColor_ = color; }
  void SetMessageDelay(int32_t ms) { messageDelayMs_ = ms; }
  // Reading goes on from the top of the scenario in the buffer.
  void ReadFromTop() { scriptOffset_ = 0; }
  // Lines one step may read before it counts as caught in an endless loop; 0 for no limit.
  void LimitStepLines(int64_t lines) { maxStepLines_ = lines; }
  // Scenario text taken as it is, read from its top (for tools and measurements that hold
  // the text already).
  void UseScenarioText(std::string text);

  // The shared tokenizer the commands read their arguments with, and the table they are
  // bound in: both live as long as the interpreter.
  ScriptReader& reader() { return reader_; }
  CommandTable& commands() { return commands_; }

  // --- where the story stands (read-only) ---
  const std::string& line() const { return lineBuffer_; }
  int32_t scriptOffset() const { return scriptOffset_; }
  int32_t pageIndex() const { return pageIndex_; }
  int32_t textCursorX() const { return textCursorX_; }
  int32_t textCursorY() const { return textCursorY_; }
  bool pageEnded() const { return pageEnded_; }
  const MessageHistory& history() const { return history_; }
  int32_t messageDelayMs() const { return messageDelayMs_; }
  uint32_t textColor() const { return textColor_; }  // FONTCOLOR's message colour, 0x00BBGGRR

 private:
  void RunStep();
  // The scenario text changed: labels are indexed anew at the next jump.
  void ScenarioChanged();
  bool TextControl(bool& nextLine, char& last);
  bool RunCommand(bool& nextLine, char& last);

  ScenarioSource scenario_;
  ScriptReader reader_;
  CommandTable commands_;
  std::string lineBuffer_;
  int32_t scriptOffset_ = 0;
  int32_t pageIndex_ = 0;
  int32_t textCursorX_ = 0, textCursorY_ = 0;
  bool pageEnded_ = false;
  MessageHistory history_;
  int32_t messageDelayMs_ = 0;
  uint32_t textColor_ = 0;
  // Lines fetched since the current step began, and the limit past which a step that never
  // waits for the player counts as a script caught in an endless loop (0: none).
  int64_t linesThisStep_ = 0;
  int64_t maxStepLines_ = 0;
  StepHost& host_;
  LabelIndex labels_;
  bool labelsIndexed_ = false;
  const char* indexedText_ = nullptr;
  size_t indexedSize_ = 0;
  uint32_t linesSinceKeepAlive_ = 0;
};

}  // namespace orv
