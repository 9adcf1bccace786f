#pragma once
// The text interpreter: walks the scenario line by line, types quoted text into the message
// box, acts on text controls, inline variable forms and commands, and stops where the script
// waits for the player. It owns where the story stands (the scenario, the read offset, the
// text cursor, the page and its history); what it draws, shows or runs goes through the
// StepHost the player gives it.
#include <cstdint>
#include <string>
#include <string_view>

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
  virtual bool Closed() const = 0;
  // A command has put up a choice: the step ends there, whatever follows the command in its
  // line.
  virtual bool ChoiceWaiting() const { return false; }
  // The step is over: the story waits for the player (or has closed).
  virtual void StepEnded() {}
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

  // The scenario line the reader stands on, counted from 1, for diagnostics.
  int CurrentLineNumber() const;

  ScenarioSource scenario;
  ScriptReader reader;
  CommandTable commands;
  std::string lineBuffer;
  int32_t scriptOffset = 0;
  int32_t pageIndex = 0;
  int32_t textCursorX = 0, textCursorY = 0;
  bool pageEnded = false;
  MessageHistory history;
  int32_t messageDelayMs = 0;
  uint32_t textColor = 0;  // FONTCOLOR's message colour, 0x00BBGGRR
  // Lines fetched since the current step began. A run may set a limit (0: none) past which a
  // step that never waits for the player counts as a script caught in an endless loop.
  int64_t linesThisStep = 0;
  int64_t maxStepLines = 0;

 private:
  void RunStep();
  // The scenario text changed: labels are indexed anew at the next jump.
  void ScenarioChanged();
  bool TextControl(bool& nextLine, char& last);
  bool RunCommand(bool& nextLine, char& last);

  StepHost& host_;
  LabelIndex labels_;
  bool labelsIndexed_ = false;
  const char* indexedText_ = nullptr;
  size_t indexedSize_ = 0;
  uint32_t linesSinceKeepAlive_ = 0;
};

}  // namespace orv
