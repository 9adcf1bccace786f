#include "platform/ui/start_screen_view.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

int CentreX(Rect r) { return (r.left + r.right) / 2; }
int CentreY(Rect r) { return (r.top + r.bottom) / 2; }

std::vector<StartEntry> Games(int count) {
  std::vector<StartEntry> games;
  for (int i = 0; i < count; ++i) games.push_back({"Game " + std::to_string(i), "/games/" + std::to_string(i)});
  return games;
}

// Only the games that fit are items; the keyboard stops at both ends and the pointer moves the
// focus only when it is over an item.
TEST(StartScreenView, FocusWalksTheShownGamesAndTheButton) {
  StartScreenView view;
  view.SetEntries(Games(StartScreenView::kMaxShown + 3));
  EXPECT_EQ(view.Focused(), (StartItem{StartItem::Kind::Recent, 0}));
  view.MoveFocus(-1);
  EXPECT_EQ(view.Focused(), (StartItem{StartItem::Kind::Recent, 0}));
  view.MoveFocus(100);
  EXPECT_EQ(view.Focused(), (StartItem{StartItem::Kind::OpenFolder, -1}));
  view.MoveFocus(-1);
  EXPECT_EQ(view.Focused(), (StartItem{StartItem::Kind::Recent, StartScreenView::kMaxShown - 1}));

  const Rect third = view.EntryRect(2);
  view.PointAt(CentreX(third), CentreY(third));
  EXPECT_EQ(view.Focused(), (StartItem{StartItem::Kind::Recent, 2}));
  view.PointAt(2, 2);  // the margin: no item, the focus stays
  EXPECT_EQ(view.Focused(), (StartItem{StartItem::Kind::Recent, 2}));
  const Rect button = view.ButtonRect();
  EXPECT_EQ(view.ItemAt(CentreX(button), CentreY(button)).kind, StartItem::Kind::OpenFolder);

  StartScreenView empty;
  empty.SetEntries({});
  EXPECT_EQ(empty.Focused().kind, StartItem::Kind::OpenFolder);
  EXPECT_EQ(empty.ItemAt(CentreX(third), CentreY(third)).kind, StartItem::Kind::None);
}

// The focused item is the one drawn highlighted, and every shown item lies on the screen.
TEST(StartScreenView, DrawsTheFocusWhereTheItemIs) {
  FontRenderer fonts;
  StartScreenView view;
  view.SetEntries(Games(StartScreenView::kMaxShown));
  view.SetProblem("This folder does not exist:\n/a/very/long/path/" + std::string(300, 'x'));
  view.MoveFocus(1);
  const Image image = view.Render(fonts);
  ASSERT_EQ(image.width(), StartScreenView::kWidth);
  ASSERT_EQ(image.height(), StartScreenView::kHeight);
  const Rect first = view.EntryRect(0), second = view.EntryRect(1);
  // A point inside each entry clear of its text: the right end.
  EXPECT_EQ(image.Pixel(second.right - 5, CentreY(second)), ui::kHighlight);
  EXPECT_EQ(image.Pixel(first.right - 5, CentreY(first)), ui::kFace);
  EXPECT_LE(view.ButtonRect().bottom, StartScreenView::kHeight - 30) << "room for the problem's two lines";
  EXPECT_LE(view.EntryRect(StartScreenView::kMaxShown - 1).bottom, view.ButtonRect().top);
}

}  // namespace
}  // namespace orv
