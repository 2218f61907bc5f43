// The board view's mapping between board and client, its zoom, pan and fit, and its grid.
#include <gtest/gtest.h>

#include "ViewTransform.h"

namespace standin::boardview {
namespace {

void ExpectNear(Point actual, Point expected, const char* what) {
  EXPECT_NEAR(actual.x, expected.x, 1e-6 * (1 + std::abs(expected.x))) << what;
  EXPECT_NEAR(actual.y, expected.y, 1e-6 * (1 + std::abs(expected.y))) << what;
}

TEST(ViewTransform, FitCentresTheBoxWithYUp) {
  ViewTransform view;
  Box box = Box::Spanning({0, 0}, {40000, 20000});
  view.Fit(box, 500, 300, 50);
  // 400 x 200 free pixels: the width limits, 0.01 pixels per unit.
  EXPECT_DOUBLE_EQ(view.Scale(), 0.01);
  ExpectNear(view.ToClient({0, 0}), {50, 250}, "bottom left");
  ExpectNear(view.ToClient({40000, 20000}), {450, 50}, "top right");
  ExpectNear(view.ToBoard({250, 150}), {20000, 10000}, "centre");
}

TEST(ViewTransform, FitOfAPointOrNothingShowsASquareInch) {
  ViewTransform view;
  view.Fit(Box{}, 300, 200, 0);
  EXPECT_DOUBLE_EQ(view.Scale(), 200.0 / 2540000);
  ExpectNear(view.ToClient({0, 0}), {150, 100}, "origin centred");
  Box point;
  point.Add(Point{1000, 2000});
  view.Fit(point, 300, 200, 0);
  ExpectNear(view.ToClient({1000, 2000}), {150, 100}, "point centred");
  // A row of parts has no height: only its width counts.
  view.Fit(Box::Spanning({0, 0}, {1000000, 0}), 300, 200, 50);
  EXPECT_DOUBLE_EQ(view.Scale(), 0.0002);
}

TEST(ViewTransform, ZoomKeepsTheBoardPointUnderThePointer) {
  ViewTransform view;
  view.Fit(Box::Spanning({0, 0}, {40000, 20000}), 500, 300, 50);
  const Point pointer{123, 45};
  const Point under = view.ToBoard(pointer);
  view.ZoomAt(pointer, 1.25);
  EXPECT_DOUBLE_EQ(view.Scale(), 0.0125);
  ExpectNear(view.ToBoard(pointer), under, "zoomed in");
  view.ZoomAt(pointer, 1 / 1.25 / 1.25);
  ExpectNear(view.ToBoard(pointer), under, "zoomed out");
}

TEST(ViewTransform, ZoomStopsAtItsLimitsAndStillKeepsThePoint) {
  ViewTransform view;
  const Point pointer{10, 20};
  const Point under = view.ToBoard(pointer);
  view.ZoomAt(pointer, 1e9);
  EXPECT_DOUBLE_EQ(view.Scale(), ViewTransform::kMaxScale);
  ExpectNear(view.ToBoard(pointer), under, "at the largest");
  view.ZoomAt(pointer, 1e-12);
  EXPECT_DOUBLE_EQ(view.Scale(), ViewTransform::kMinScale);
  ExpectNear(view.ToBoard(pointer), under, "at the smallest");
}

TEST(ViewTransform, PanMovesTheBoardWithThePointer) {
  ViewTransform view;
  view.Fit(Box::Spanning({0, 0}, {40000, 20000}), 500, 300, 50);
  const Point before = view.ToClient({1000, 1000});
  view.PanBy(30, -20);
  ExpectNear(view.ToClient({1000, 1000}), {before.x + 30, before.y - 20}, "dragged");
}

struct GridRow {
  std::int32_t units;
  double pixelsPerUnit;  // of the board's unit
  double stepUnits;
};

TEST(GridStep, IsOneTwoOrFiveTimesAPowerOfTenOfTheBoardUnit) {
  const GridRow rows[] = {
      {kUnitsMils, 1.0, 20}, {kUnitsMils, 0.4, 50}, {kUnitsMils, 0.2, 100}, {kUnitsMils, 0.19, 200},
      {kUnitsMils, 20, 1},   {kUnitsMils, 40, 0.5}, {kUnitsMm, 20, 1},      {kUnitsMm, 100, 0.2},
      {kUnitsMm, 2, 10},     {kUnitsMm, 1.5, 20},
  };
  for (const GridRow& row : rows) {
    const double unit = UnitLength(row.units);
    EXPECT_NEAR(GridStep(row.units, row.pixelsPerUnit / unit, 20), row.stepUnits * unit,
                1e-9 * unit)
        << UnitName(row.units) << " at " << row.pixelsPerUnit;
  }
}

TEST(LengthText, InTheBoardsUnit) {
  EXPECT_EQ(LengthText(2540 * 1250.5, kUnitsMils), "1250.5");
  EXPECT_EQ(LengthText(-2540 * 0.01, kUnitsMils), "0.0");
  EXPECT_EQ(LengthText(317500, kUnitsMm), "3.175");
  EXPECT_EQ(LengthText(-100000, kUnitsMm), "-1.000");
}

}  // namespace
}  // namespace standin::boardview
