// The layout editor's selection rules and the left button's gesture.
#include <gtest/gtest.h>

#include "Selection.h"

namespace standin::boardview {
namespace {

Selection Flags(const char* text) {
  Selection flags;
  for (const char* c = text; *c != '\0'; ++c) {
    flags.push_back(*c == '1');
  }
  return flags;
}

struct ClickRow {
  const char* name;
  const char* before;
  std::optional<std::size_t> hit;
  bool control;
  const char* after;
};

TEST(Selection, ClickSelectsOneAndControlClickTogglesOne) {
  const ClickRow rows[] = {
      {"click selects that one alone", "1101", 2, false, "0010"},
      {"click on a selected one keeps it alone", "1101", 1, false, "0100"},
      {"click on nothing clears", "1101", std::nullopt, false, "0000"},
      {"control click adds", "1001", 2, true, "1011"},
      {"control click removes", "1001", 3, true, "1000"},
      {"control click on nothing keeps all", "1001", std::nullopt, true, "1001"},
      {"a hit past the items counts as nothing", "11", 5, false, "00"},
  };
  for (const ClickRow& row : rows) {
    EXPECT_EQ(Click(Flags(row.before), row.hit, row.control), Flags(row.after)) << row.name;
  }
}

TEST(Selection, AllAndNone) {
  EXPECT_EQ(SelectAll(Flags("0100")), Flags("1111"));
  EXPECT_EQ(SelectNone(Flags("0110")), Flags("0000"));
  EXPECT_EQ(CountSelected(Flags("01101")), 3u);
}

TEST(Selection, RectangleSelectsWhatItEnclosesAloneOrAddedWithControl) {
  std::vector<Item> items = {Item::Component("R1", 0, 0, 0), Item::Component("R2", 1000, 0, 0),
                             Item::Component("R3", 2000, 0, 0)};
  for (Item& item : items) {
    item.body = BodySize{200, 100};
  }
  const std::vector<Shape> scene = BuildScene(items);
  const Box firstTwo = Box::Spanning({-100, -50}, {1100, 50});
  EXPECT_EQ(SelectRectangle(Flags("001"), scene, firstTwo, false), Flags("110"));
  EXPECT_EQ(SelectRectangle(Flags("001"), scene, firstTwo, true), Flags("111"));
  EXPECT_EQ(SelectRectangle(Flags("101"), scene, Box::Spanning({5000, 0}, {6000, 1}), false),
            Flags("000"));
  EXPECT_EQ(SelectRectangle(Flags("101"), scene, Box::Spanning({-99, -50}, {1100, 50}), true),
            Flags("111"))
      << "R1 sticks out: added only R2, kept the rest";
}

TEST(PointerGesture, SmallMovementIsAClickAtThePress) {
  PointerGesture gesture;
  gesture.Press({10, 10}, {100, 200}, true);
  EXPECT_FALSE(gesture.Move({13, 12}, {130, 180}));
  EXPECT_FALSE(gesture.Rubber());
  const auto outcome = gesture.Release({12, 13}, {120, 170});
  ASSERT_TRUE(outcome);
  EXPECT_EQ(outcome->kind, PointerGesture::Outcome::Kind::Click);
  EXPECT_EQ(outcome->at, (Point{100, 200}));
  EXPECT_TRUE(outcome->control);
  EXPECT_FALSE(gesture.Active());
}

TEST(PointerGesture, DragIsARectangleFromThePressToTheRelease) {
  PointerGesture gesture;
  gesture.Press({10, 10}, {100, 200}, false);
  EXPECT_TRUE(gesture.Move({30, 40}, {300, -100}));
  ASSERT_TRUE(gesture.Rubber());
  EXPECT_EQ(gesture.Rubber()->left, 100);
  EXPECT_EQ(gesture.Rubber()->bottom, -100);
  // Back near the press, it stays a rectangle.
  EXPECT_TRUE(gesture.Move({11, 11}, {110, 190}));
  const auto outcome = gesture.Release({12, 12}, {120, 180});
  ASSERT_TRUE(outcome);
  EXPECT_EQ(outcome->kind, PointerGesture::Outcome::Kind::Rectangle);
  EXPECT_EQ(outcome->box.left, 100);
  EXPECT_EQ(outcome->box.right, 120);
  EXPECT_EQ(outcome->box.bottom, 180);
  EXPECT_EQ(outcome->box.top, 200);
  EXPECT_FALSE(outcome->control);
}

TEST(PointerGesture, ReleaseWithoutPressOrAfterCancelIsNothing) {
  PointerGesture gesture;
  EXPECT_FALSE(gesture.Release({0, 0}, {0, 0}));
  gesture.Press({0, 0}, {0, 0}, false);
  gesture.Move({50, 50}, {500, 500});
  gesture.Cancel();
  EXPECT_FALSE(gesture.Rubber());
  EXPECT_FALSE(gesture.Release({50, 50}, {500, 500}));
}

}  // namespace
}  // namespace standin::boardview
