#include "platform/ui/dialog_box.h"

#include <gtest/gtest.h>

#include "platform/sjis.h"

namespace orv {
namespace {

class DialogBoxTest : public ::testing::Test {
 protected:
  FontRenderer fonts;
};

TEST_F(DialogBoxTest, YesNoAnswersByKeysAndButtons) {
  {
    DialogBox box(fonts, DialogKind::YesNo, "入力確認", "よろしいですか？");
    box.Key(DialogKey::Enter);
    EXPECT_TRUE(box.Done());
    EXPECT_TRUE(box.Accepted());
  }
  {
    DialogBox box(fonts, DialogKind::YesNo, "t", "q");
    box.Key(DialogKey::Escape);
    EXPECT_TRUE(box.Done());
    EXPECT_FALSE(box.Accepted());
  }
  {
    DialogBox box(fonts, DialogKind::YesNo, "t", "q");
    box.Key(DialogKey::Right);  // focus on いいえ: Enter answers it
    box.Key(DialogKey::Enter);
    EXPECT_FALSE(box.Accepted());
  }
  {
    DialogBox box(fonts, DialogKind::YesNo, "t", "q");
    box.Place(Rect{0, 0, 640, 480}, 1);
    const Panel panel = box.Render();
    EXPECT_EQ(panel.where, box.where());
    // The second button sits right of centre on the bottom row; press and release on it.
    const int x = box.where().left + box.where().Width() / 2 + 47, y = box.where().bottom - 26;
    box.MouseDown(x, y);
    box.MouseUp(x + 300, y);  // released elsewhere: nothing
    EXPECT_FALSE(box.Done());
    box.MouseDown(x, y);
    box.MouseUp(x, y);
    EXPECT_TRUE(box.Done());
    EXPECT_FALSE(box.Accepted());
  }
}

TEST_F(DialogBoxTest, TextEntryEditsAndCapsItsShiftJisLength) {
  DialogBox box(fonts, DialogKind::Text, "名前", "全角128字(半角256字)まで", "太郎");
  EXPECT_EQ(box.Text(), "太郎");
  box.Key(DialogKey::End);  // the default text stays, the caret after it
  box.Key(DialogKey::Backspace);
  box.TextInput("花子");
  EXPECT_EQ(box.Text(), "太花子");
  // While the input method composes, Enter and Backspace are its own.
  box.Composition("やま");
  box.Key(DialogKey::Enter);
  box.Key(DialogKey::Backspace);
  EXPECT_FALSE(box.Done());
  EXPECT_EQ(box.Text(), "太花子");
  box.Composition("");
  box.TextInput("ｱ\n");  // half-width katakana is one byte; control characters are dropped
  EXPECT_EQ(Utf8ToCp932(box.Text()).size(), 7u);
  box.Key(DialogKey::Enter);
  EXPECT_TRUE(box.Done());
  EXPECT_TRUE(box.Accepted());

  DialogBox capped(fonts, DialogKind::Text, "t", "p", "", 5);
  capped.TextInput("あいう");  // 6 bytes: the third does not fit
  EXPECT_EQ(capped.Text(), "あい");
  capped.TextInput("a");
  EXPECT_EQ(capped.Text(), "あいa");
  capped.TextInput("b");
  EXPECT_EQ(capped.Text(), "あいa");
  capped.Key(DialogKey::Escape);
  EXPECT_FALSE(capped.Accepted());
}

TEST_F(DialogBoxTest, TheFieldEditsLikeADesktopField) {
  // Typing replaces the default text, which starts selected.
  DialogBox replaced(fonts, DialogKind::Text, "t", "p", "太郎");
  EXPECT_TRUE(replaced.AllSelected());
  replaced.TextInput("花");
  EXPECT_EQ(replaced.Text(), "花");
  EXPECT_FALSE(replaced.AllSelected());

  // The caret moves, and characters go in and out where it stands.
  DialogBox box(fonts, DialogKind::Text, "t", "p", "abcd");
  box.Key(DialogKey::Left);  // ends the selection at its start
  EXPECT_EQ(box.Caret(), 0u);
  box.Key(DialogKey::Right);
  box.Key(DialogKey::Delete);  // b
  box.TextInput("XY");
  EXPECT_EQ(box.Text(), "aXYcd");
  EXPECT_EQ(box.Caret(), 3u);
  box.Key(DialogKey::Home);
  box.Key(DialogKey::Backspace);  // nothing before the start
  box.Key(DialogKey::Delete);
  EXPECT_EQ(box.Text(), "XYcd");
  box.Key(DialogKey::End);
  box.Key(DialogKey::Delete);  // nothing after the end
  box.Key(DialogKey::Backspace);
  EXPECT_EQ(box.Text(), "XYc");
  box.Key(DialogKey::SelectAll);
  box.Key(DialogKey::Delete);
  EXPECT_EQ(box.Text(), "");
  box.Key(DialogKey::SelectAll);  // nothing to select
  box.TextInput("z");
  EXPECT_EQ(box.Text(), "z");
  box.Place(Rect{0, 0, 640, 480}, 1);
  EXPECT_FALSE(box.Render().pixels.empty());

  // Enter takes the focused button: Tab to キャンセル, and Enter cancels.
  DialogBox cancel(fonts, DialogKind::Text, "t", "p", "x");
  cancel.Key(DialogKey::Tab);
  cancel.Key(DialogKey::Enter);
  EXPECT_TRUE(cancel.Done());
  EXPECT_FALSE(cancel.Accepted());
  DialogBox back(fonts, DialogKind::Text, "t", "p", "x");
  back.Key(DialogKey::Tab);
  back.Key(DialogKey::BackTab);
  back.Key(DialogKey::Enter);
  EXPECT_TRUE(back.Accepted());
}

TEST_F(DialogBoxTest, LongMessagesWrapInsideTheArea) {
  std::string text;
  for (int i = 0; i < 80; ++i) text += "長";
  text += "\nsecond line";
  DialogBox box(fonts, DialogKind::Message, "t", text);
  box.Place(Rect{0, 0, 640, 480}, 1);
  EXPECT_GE(box.where().left, 0);
  EXPECT_LE(box.where().right, 640);
  EXPECT_GT(box.where().Height(), 4 * 16);  // more than one line of text
  box.Key(DialogKey::Escape);               // a message box's Escape is its OK
  EXPECT_TRUE(box.Accepted());
}

}  // namespace
}  // namespace orv
