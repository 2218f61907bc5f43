// The shapes the board view draws and what a click or a rectangle finds among them.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "BoardScene.h"

namespace standin::boardview {
namespace {

constexpr double kMil = 2540;

Item Body(const char* refDes, std::int32_t x, std::int32_t y, std::int32_t rotation,
          std::int32_t width, std::int32_t height) {
  Item item = Item::Component(refDes, x, y, rotation);
  item.body = BodySize{width, height};
  return item;
}

std::optional<std::size_t> At(const std::vector<Shape>& scene, double x, double y,
                              double tolerance = 0) {
  return HitTest(scene, {x, y}, tolerance, 0);
}

struct TurnRow {
  const char* name;
  std::int32_t rotation;
  Point point;
  bool hit;
};

// A 1000 x 200 body at (5000, 7000): its long side lies along X at rotation 0.
TEST(HitTest, FindsTheBodyAsTurnedNotItsBoundingBox) {
  const TurnRow rows[] = {
      {"along the length, unturned", 0, {5450, 7000}, true},
      {"beside the length, unturned", 0, {5000, 7150}, false},
      {"along X, turned a quarter", 900, {5450, 7000}, false},
      {"along Y, turned a quarter", 900, {5000, 7450}, true},
      {"along Y, turned three quarters", 2700, {5000, 6550}, true},
      {"along Y, turned back a quarter", -900, {5000, 6550}, true},
      {"along Y, turned a quarter past a whole turn", 4500, {5000, 7450}, true},
      {"on the diagonal, turned 45 degrees", 450, {5300, 7300}, true},
      {"in the bounding box off the diagonal, turned 45 degrees", 450, {5300, 6800}, false},
      {"on the other diagonal, turned 135 degrees", 1350, {4700, 7300}, true},
      {"on the first diagonal, turned 135 degrees", 1350, {5300, 7300}, false},
      {"a corner, half turned", 1800, {5500, 7100}, true},
      {"past the end, half turned", 1800, {5501, 7000}, false},
  };
  for (const TurnRow& row : rows) {
    const std::vector<Shape> scene = BuildScene({Body("R1", 5000, 7000, row.rotation, 1000, 200)});
    EXPECT_EQ(At(scene, row.point.x, row.point.y).has_value(), row.hit) << row.name;
  }
}

TEST(HitTest, ToleranceWidensTheBodyOnEverySide) {
  const std::vector<Shape> scene = BuildScene({Body("R1", 0, 0, 900, 1000, 200)});
  EXPECT_FALSE(At(scene, 0, 510));
  EXPECT_EQ(At(scene, 0, 510, 10), 0u);
  EXPECT_EQ(At(scene, 110, 0, 10), 0u);
  EXPECT_FALSE(At(scene, 111, 0, 10));
}

TEST(HitTest, SmallPartOnALargeOneIsFoundFirst) {
  // The small part comes first in the file, yet is drawn over the large one and found first.
  const std::vector<Item> items = {Body("R1", 0, 0, 0, 100, 100), Body("U1", 0, 0, 0, 2000, 2000),
                                   Body("C1", 800, 0, 0, 100, 100),
                                   Body("C2", 800, 0, 0, 100, 100)};
  const std::vector<Shape> scene = BuildScene(items);
  EXPECT_EQ(scene.front().item, 1u) << "the largest body is drawn first";
  EXPECT_EQ(At(scene, 10, 10), 0u);
  EXPECT_EQ(At(scene, 500, 500), 1u);
  EXPECT_EQ(At(scene, 800, 0), 3u) << "of equal bodies, the later in the file is on top";
  EXPECT_FALSE(At(scene, 1001, 0));
}

TEST(HitTest, OtherItemsAreMarkersInARowBelowTheBoard) {
  const std::vector<Item> items = {Item::Other(4), Body("R1", 1000, 5000, 0, 200, 100),
                                   Item::Other(3, false)};
  const std::vector<Shape> scene = BuildScene(items);
  ASSERT_EQ(scene.size(), 3u);
  EXPECT_EQ(scene[1].label, "item 4");
  EXPECT_FALSE(scene[1].isComponent);
  EXPECT_EQ(scene[1].origin, (Point{900, 4950 - kMarkerPitch}));
  EXPECT_EQ(scene[2].origin, (Point{900 + kMarkerPitch, 4950 - kMarkerPitch}));
  EXPECT_EQ(HitTest(scene, {905, 4950 - kMarkerPitch}, 2, 5), 0u);
  EXPECT_FALSE(HitTest(scene, {908, 4950 - kMarkerPitch}, 2, 5));
  EXPECT_EQ(HitTest(scene, {900 + kMarkerPitch, 4946 - kMarkerPitch}, 2, 5), 2u);
}

TEST(HitTest, EmptyDesignatorIsLabelledAsTheFileWritesIt) {
  EXPECT_EQ(BuildScene({Item::Component("", 0, 0, 0)})[0].label, "\"\"");
}

TEST(Enclosed, OnlyWholeTurnedBodiesAreEnclosed) {
  // R1 turned a quarter stands 1000 high and 200 wide; R2 unturned lies 1000 wide.
  const std::vector<Shape> scene = BuildScene(
      {Body("R1", 0, 0, 900, 1000, 200), Body("R2", 3000, 0, 0, 1000, 200), Item::Other(4)});
  EXPECT_EQ(Enclosed(scene, Box::Spanning({-100, -500}, {100, 500})),
            (std::vector<std::size_t>{0}));
  EXPECT_TRUE(Enclosed(scene, Box::Spanning({-101, -499}, {101, 501})).empty());
  EXPECT_TRUE(Enclosed(scene, Box::Spanning({2501, -501}, {3600, 501})).empty())
      << "R2 sticks out at its left end";
  EXPECT_EQ(Enclosed(scene, Box::Spanning({4000, 5000}, {-1000, -5000})),
            (std::vector<std::size_t>{0, 1}));
  const Point marker = scene[2].origin;
  EXPECT_EQ(
      Enclosed(scene, Box::Spanning({marker.x - 1, marker.y - 1}, {marker.x + 1, marker.y + 1})),
      (std::vector<std::size_t>{2}));
}

struct PrefixRow {
  const char* refDes;
  double widthMils, heightMils;
};

TEST(DefaultBody, ComesFromTheLeadingLetters) {
  const PrefixRow rows[] = {
      {"R1", 126, 63},   {"r12", 126, 63},  {"C3", 80, 50},    {"D2", 140, 70},
      {"LED1", 140, 70}, {"U1A", 340, 155}, {"Q7", 116, 94},   {"TP3", 60, 60},
      {"17", 60, 60},    {"", 60, 60},      {"ZZ9", 100, 100}, {"RN1", 100, 100},
  };
  for (const PrefixRow& row : rows) {
    const BodySize body = DefaultBody(row.refDes);
    EXPECT_EQ(body.width, row.widthMils * kMil) << row.refDes;
    EXPECT_EQ(body.height, row.heightMils * kMil) << row.refDes;
  }
}

TEST(DefaultBody, GivenBodyWins) {
  const std::vector<Shape> given = BuildScene({Body("R1", 0, 0, 0, 10, 20)});
  EXPECT_EQ(given[0].halfWidth, 5);
  EXPECT_EQ(given[0].halfHeight, 10);
  const std::vector<Shape> fallback = BuildScene({Item::Component("R1", 0, 0, 0)});
  EXPECT_EQ(fallback[0].halfWidth, 63 * kMil);
}

}  // namespace
}  // namespace standin::boardview
