#pragma once
// Text choices (SELECT) and picture choices (SELECTCG): the two entry lists and the steps
// that show, point at and take a choice, and which choice waits for the player: the window's
// handlers read that and say when it ends.
//
// Text choice: the captions are listed under the text already in the message box, typed
// straight onto the window (page mode: drawn whole). Pointing at one or moving to it with the
// keys draws every caption again over itself in its colour, the pointed one in the hover
// colour. Taking it yields its target's outcome; closing it clears the message box.
//
// Picture choice: up to ten pictures anywhere on the stage. An entry is redrawn only when its
// hover state changes, its rectangle first restored from the window as it was when the
// choice appeared. Taking it flashes the pressed picture for 300 ms and yields the outcome;
// closing it brings the old screen back.
//
// The player carries the outcome out and, when the story goes on past the choice, closes it.
//
// Both are hit only strictly inside their rectangle. Neither takes entries past the tenth;
// those lines are passed over with a note naming the scenario and the line.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "choice/choice_context.h"
#include "choice/choice_list.h"
#include "choice/choice_target.h"
#include "choice/picture_choice_list.h"
#include "platform/game_events.h"

namespace orv {

// How SELECT puts its captions up: typed a character at a time at the message speed, or (in
// page mode) drawn whole at once.
struct CaptionTyping {
  bool typed = true;
  int32_t delayMs = 0;
};

class Choices {
 public:
  // The lists of the choice offered last, for the state dump and the spoken captions.
  const ChoiceList& list() const { return list_; }
  const PictureChoiceList& pictureList() const { return pictureList_; }

  // --- the choice that waits for the player ---
  bool choiceActive() const { return choiceActive_; }                // a text choice
  bool pictureChoiceActive() const { return pictureChoiceActive_; }  // a picture choice
  bool Waiting() const { return choiceActive_ || pictureChoiceActive_; }
  // The entry last pointed at (or moved to by the keys).
  int32_t hoveredChoice() const { return hoveredChoice_; }
  // The last pointer movement ended over an entry.
  bool pointerOnChoice() const { return pointerOnChoice_; }
  // The text choice (or the picture choice) no longer waits.
  void StopWaiting(bool pictureChoice) { (pictureChoice ? pictureChoiceActive_ : choiceActive_) = false; }
  // No choice waits and nothing is pointed at, as a reset scene has it.
  void ForgetWaiting();
  // The pointer moved: it is over no entry until a hover test finds one.
  void ForgetPointer() { pointerOnChoice_ = false; }

  // No choice and no entries, as new lists.
  void Reset();
  // A choice waiting again as it waited when these lists were taken from list() and
  // pictureList() (stepping back through the story); what it draws is the caller's to put back.
  void PutBack(const ChoiceList& list) { list_ = list; }
  void PutBack(PictureChoiceList pictures) { pictureList_ = std::move(pictures); }
  // Which choice waits and what was pointed at, as they stood when those lists were taken.
  void WaitAgain(bool text, bool picture, int32_t hovered, bool pointerOn) {
    choiceActive_ = text;
    pictureChoiceActive_ = picture;
    hoveredChoice_ = hovered;
    pointerOnChoice_ = pointerOn;
  }

  // SELECT: reads the block, lists the captions and waits. Returns false (the command
  // handler's result: the interpreter stops on this line).
  bool ShowChoice(ChoiceContext& c, CaptionTyping typing);
  // The hover test of one text entry for a pointer at (x, y): draws the caption in the colour
  // its state calls for and returns whether it is hit.
  bool HoverChoice(ChoiceContext& c, int entry, int x, int y);
  // Up, Down and Enter while a text choice waits; other keys do nothing. Enter takes the
  // entry moved to.
  std::optional<ChoiceOutcome> ChoiceKey(ChoiceContext& c, KeyCode key);
  // The outcome of the entry pointed at, or nothing when none is.
  std::optional<ChoiceOutcome> TakeChoice(ChoiceContext& c);
  // After the outcome, when the story goes on past the choice: the message box cleared.
  void CloseChoice(ChoiceContext& c);

  // SELECTCG, as ShowChoice.
  bool ShowPictureChoice(ChoiceContext& c);
  // The hover test of one picture entry: swaps its picture when its hover state changes and
  // returns whether it is hit.
  bool HoverPictureChoice(ChoiceContext& c, int entry, int x, int y);
  // Flashes the pressed picture of the entry pointed at and yields its outcome, or nothing
  // when no entry is pointed at.
  std::optional<ChoiceOutcome> TakePictureChoice(ChoiceContext& c);
  // After the outcome, when the story goes on past the choice: the stage as before it.
  void ClosePictureChoice(ChoiceContext& c);

  // A pointer movement in the shown state: the hover tests of the waiting choice, which set
  // pointerOnChoice.
  void PointerMoved(ChoiceContext& c, int x, int y);

 private:
  ChoiceList list_;
  PictureChoiceList pictureList_;
  bool choiceActive_ = false;
  bool pictureChoiceActive_ = false;
  int32_t hoveredChoice_ = 0;
  bool pointerOnChoice_ = false;

  void DrawCaptions(ChoiceContext& c, CaptionTyping typing);
  void RedrawCaptions(ChoiceContext& c);
  void DrawPictureEntry(ChoiceContext& c, int entry);
  void RestoreFromBackdrop(ChoiceContext& c, int entry);
  void LoadEntryPicture(ChoiceContext& c, int entry, std::string_view name);
  ChoiceOutcome Take(FixedText<255>& storedTarget);
  void NoteExtraEntry(ChoiceContext& c, std::string_view command);
  // Picture names that failed in this choice; each is reported once.
  std::vector<std::string> reportedPictures_;
};

}  // namespace orv
