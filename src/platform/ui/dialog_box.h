#pragma once
// The modal boxes the backend draws inside its window: a message with OK, a Yes/No question
// and a one-line text entry with OK and Cancel. Like the menu bar they know nothing of SDL:
// the host feeds them translated input in window pixels and shows their Panel.
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/ui_draw.h"

namespace orv {

enum class DialogKind { Message, YesNo, Text };

enum class DialogKey {
  Enter, Escape, Backspace, Delete, Tab, BackTab, Left, Right, Home, End, SelectAll, Letter, Other
};

class DialogBox {
 public:
  // Texts are UTF-8. A Text box starts with `initialText`, selected, so that typing replaces
  // it; it refuses input that would make its Shift-JIS form longer than maxSjisBytes. Enter
  // takes the button that has the focus (OK or Yes to begin with; Tab moves it).
  DialogBox(FontRenderer& fonts, DialogKind kind, std::string_view title, std::string_view message,
            std::string_view initialText = {}, size_t maxSjisBytes = 256);

  // Centres the box in `area` (window pixels) at the widget scale.
  void Place(Rect area, int scale);
  Rect where() const { return where_; }
  // Where the text field lies (for the input method's candidate window).
  Rect FieldRect() const;

  void MouseMove(int x, int y);
  void MouseDown(int x, int y);
  void MouseUp(int x, int y);
  void Key(DialogKey key, char letter = 0);
  // Committed text from the keyboard, a paste or the input method; it replaces the selection.
  void TextInput(std::string_view utf8);
  // The input method's composition in progress (empty when it ends).
  void Composition(std::string_view utf8);

  bool Done() const { return done_; }
  // OK or Yes.
  bool Accepted() const { return accepted_; }
  const std::string& Text() const { return text_; }  // UTF-8
  // The caret, in characters from the start, and whether the whole text is selected.
  size_t Caret() const { return caret_; }
  bool AllSelected() const { return allSelected_; }

  Panel Render() const;

 private:
  struct Button {
    std::string label;  // Shift-JIS caption with its accelerator
    bool accepts;
  };
  Rect ButtonRect(size_t index) const;  // relative to the box
  std::optional<size_t> ButtonAt(int x, int y) const;
  void Finish(bool accepted);
  // Removes the selected text; false when nothing was selected.
  bool DeleteSelection();
  void Edited();  // text_ follows chars_
  // The message broken into lines that fit the box.
  std::vector<std::u32string> WrapMessage(int maxWidth) const;

  FontRenderer& fonts_;
  DialogKind kind_;
  std::string title_, message_;
  std::u32string chars_;  // the field's text
  size_t caret_ = 0;      // in chars_
  bool allSelected_ = false;
  std::string text_, composition_;
  size_t maxSjisBytes_;
  std::vector<Button> buttons_;
  size_t focus_ = 0;
  std::optional<size_t> pressed_;

  int scale_ = 1;
  Rect where_;
  std::vector<std::u32string> lines_;
  bool done_ = false, accepted_ = false;
};

}  // namespace orv
