#include "ui/PixelCanvas.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace kordane {
namespace {

constexpr int kWidth = 40;
constexpr int kHeight = 30;

struct Pixels {
  std::vector<std::uint32_t> bits = std::vector<std::uint32_t>(kWidth * kHeight, 0);
  PixelCanvas Canvas(PlotPoint origin = {}) {
    return PixelCanvas(bits.data(), kWidth, kHeight, kWidth, origin);
  }
  std::uint32_t& At(std::int64_t x, std::int64_t y) {
    return bits[static_cast<std::size_t>(y * kWidth + x)];
  }
  void Set(std::int64_t x, std::int64_t y) {
    if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) At(x, y) = 1;
  }
};

// The pixels of a line by its rule, one step at a time: the minor coordinate after i of n steps
// is the exact one rounded, halves up; the last pixel is left out.
Pixels ByTheRule(PlotPoint from, PlotPoint to) {
  Pixels expected;
  const std::int64_t dx = std::int64_t{to.x} - from.x;
  const std::int64_t dy = std::int64_t{to.y} - from.y;
  const bool alongX = std::abs(dx) >= std::abs(dy);
  const std::int64_t n = alongX ? std::abs(dx) : std::abs(dy);
  const std::int64_t minor = alongX ? std::abs(dy) : std::abs(dx);
  for (std::int64_t i = 0; i < n; ++i) {
    const std::int64_t across = (2 * i * minor + n) / (2 * n);
    const std::int64_t along = i;
    const std::int64_t stepX = alongX ? along : across;
    const std::int64_t stepY = alongX ? across : along;
    expected.Set(from.x + (dx < 0 ? -stepX : stepX), from.y + (dy < 0 ? -stepY : stepY));
  }
  return expected;
}

std::string Describe(PlotPoint from, PlotPoint to) {
  std::ostringstream text;
  text << "(" << from.x << ", " << from.y << ") to (" << to.x << ", " << to.y << ")";
  return text.str();
}

// Lines inside, leaving, crossing and passing by the pixels, short and long, in every direction:
// whether drawn pixel by pixel, in runs or from the first step inside, the same pixels.
TEST(PixelCanvasTest, LinesColourThePixelsTheirRulePicks) {
  std::vector<std::pair<PlotPoint, PlotPoint>> lines = {
      {{0, 0}, {39, 0}},      {{39, 29}, {39, 0}},
      {{5, 5}, {5, 5}},       {{0, 0}, {29, 29}},
      {{-500, 3}, {500, 17}}, {{20, -300}, {25, 900}},
      {{-70, -70}, {90, 60}}, {{-1 << 26, 14}, {1 << 26, 15}},
      {{50, 0}, {60, 29}},    {{-10, 40}, {50, -20}},
  };
  std::mt19937 random(7u);
  std::uniform_int_distribution<int> near(-60, 100);
  for (int k = 0; k < 400; ++k) {
    lines.push_back({{near(random), near(random)}, {near(random), near(random)}});
  }
  for (const auto& [from, to] : lines) {
    Pixels drawn;
    drawn.Canvas().Line(from, to, 1);
    EXPECT_EQ(drawn.bits, ByTheRule(from, to).bits) << Describe(from, to);
  }
}

TEST(PixelCanvasTest, ShiftsByTheOriginAndDrawsWidePensSideBySide) {
  Pixels shifted;
  shifted.Canvas({10, 20}).Line({-5, -5}, {5, -5}, 1);
  EXPECT_EQ(shifted.bits, ByTheRule({5, 15}, {15, 15}).bits);

  Pixels wide;
  wide.Canvas().Line({2, 10}, {30, 12}, 1, 2);
  Pixels expected = ByTheRule({2, 11}, {30, 13});
  for (std::size_t i = 0; i < expected.bits.size(); ++i) {
    expected.bits[i] |= ByTheRule({2, 10}, {30, 12}).bits[i];
  }
  EXPECT_EQ(wide.bits, expected.bits);

  // Too long for the stepping's integers: drawn in halves.
  Pixels far;
  far.Canvas().Line({-(1 << 30), 7}, {1 << 30, 7}, 1);
  EXPECT_EQ(far.bits, ByTheRule({0, 7}, {kWidth, 7}).bits);
}

// A mark is every pixel whose centre is inside or on it; copies of one shape are filled from the
// first one's rows, also where they are cut by the edge.
TEST(PixelCanvasTest, FillsConvexMarksAndTheirCopies) {
  struct Row {
    std::vector<PlotPoint> corners;
    int pixels;
  };
  const Row rows[] = {
      {{{10, 10}, {16, 10}, {16, 16}, {10, 16}}, 49},  // a square, its edges included
      {{{10, 10}, {10, 16}, {16, 16}, {16, 10}}, 49},  // the other way round
      {{{13, 9}, {17, 13}, {13, 17}, {9, 13}}, 41},    // a diamond
      {{{13, 9}, {17, 15}, {9, 15}}, 31},              // a triangle
      {{{5, 5}, {9, 5}}, 5},                           // no area: its edge
  };
  for (const Row& row : rows) {
    Pixels filled;
    PixelCanvas canvas = filled.Canvas();
    canvas.FillConvex(row.corners.data(), row.corners.size(), 1);
    EXPECT_EQ(std::count(filled.bits.begin(), filled.bits.end(), 1u), row.pixels)
        << row.corners.size() << " corners from " << row.corners[0].x;

    // The same shape again, cut by the left edge, after the first: the pixels left of the edge
    // are all that is missing.
    std::vector<PlotPoint> moved = row.corners;
    for (PlotPoint& corner : moved) corner.x -= 12;
    Pixels copy;
    PixelCanvas again = copy.Canvas({0, 0});
    again.FillConvex(row.corners.data(), row.corners.size(), 2);
    again.FillConvex(moved.data(), moved.size(), 1);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x + 12 < kWidth; ++x) {
        EXPECT_EQ(copy.At(x, y) == 1, filled.At(x + 12, y) == 1) << x << ", " << y;
      }
    }
  }
}

// A group's rings are copied from the first one drawn: the same pixels as line by line.
TEST(PixelCanvasTest, GroupsDrawTheirRingsAsTheirLinesWouldBe) {
  TPictureShapes::Group group;
  const auto ring = [&group](int x, int y) {
    const PlotPoint corners[] = {{x - 1, y - 3}, {x + 1, y - 3}, {x + 3, y - 1},
                                 {x + 3, y + 1}, {x + 1, y + 3}, {x - 1, y + 3},
                                 {x - 3, y + 1}, {x - 3, y - 1}, {x - 1, y - 3}};
    group.lines.insert(group.lines.end(), std::begin(corners), std::end(corners));
    group.lineLengths.push_back(9);
  };
  ring(10, 10);
  ring(20, 15);
  ring(1, 28);  // cut by two edges
  group.lines.insert(group.lines.end(), {{3, 4}, {35, 20}});
  group.lineLengths.push_back(2);
  Pixels grouped;
  grouped.Canvas().DrawGroup(group, 1, 1);
  Pixels lineByLine;
  PixelCanvas canvas = lineByLine.Canvas();
  std::size_t at = 0;
  for (const std::uint32_t length : group.lineLengths) {
    for (std::size_t k = at; k + 1 < at + length; ++k) {
      canvas.Line(group.lines[k], group.lines[k + 1], 1);
    }
    at += length;
  }
  EXPECT_EQ(grouped.bits, lineByLine.bits);
}

}  // namespace
}  // namespace kordane
