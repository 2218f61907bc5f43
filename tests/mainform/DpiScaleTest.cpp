#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/DpiScale.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace kordane {
namespace {

struct ScaleCase {
  int value;
  int dpi;
  int scaled;
};

// Halves go away from zero, as MulDiv rounds them; the dialog font is 8 point.
constexpr ScaleCase kScaleCases[] = {
    {214, 96, 214},
    {1, 144, 2},
    {-1, 144, -2},
    {5, 120, 6},
    {-5, 120, -6},
    {73, 144, 110},
    {2000000000, 96, 2000000000},
};

TEST(DpiScale, RoundsLikeMulDiv) {
  for (const ScaleCase& c : kScaleCases) {
    EXPECT_EQ(ScaleToDpi(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
  }
  EXPECT_EQ(PointsToPixels(8, 96), 11);
  EXPECT_EQ(PointsToPixels(8, 120), 13);
#if defined(_WIN32)
  for (const int dpi : {96, 120, 144, 168, 192, 288}) {
    for (int value = -400; value <= 400; ++value) {
      ASSERT_EQ(ScaleToDpi(value, dpi), MulDiv(value, dpi, 96)) << value << " at " << dpi;
    }
  }
#endif
}

// Controls that meet or line up at 96 DPI still do at any DPI: edges are scaled, not sizes.
TEST(DpiScale, RectanglesKeepSharedEdges) {
  constexpr LayoutRect mils{8, 44, 41, 21};
  constexpr LayoutRect mm{56, 44, 41, 21};
  constexpr LayoutRect below{8, 65, 89, 8};
  for (int dpi = 96; dpi <= 288; dpi += 12) {
    SCOPED_TRACE(dpi);
    const LayoutRect a = ScaleToDpi(mils, dpi);
    const LayoutRect b = ScaleToDpi(mm, dpi);
    const LayoutRect c = ScaleToDpi(below, dpi);
    EXPECT_EQ(a.top, b.top);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.top + a.height, c.top);
    EXPECT_EQ(b.left + b.width, c.left + c.width);
    EXPECT_LE(std::abs(a.width - ScaleToDpi(41, dpi)), 1);
  }
  EXPECT_EQ(ScaleToDpi(mils, 96), mils);
}

}  // namespace
}  // namespace kordane
