#include "ui/PreviewPlot.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <numbers>
#include <string_view>
#include <utility>

#include "host/Conversions.h"
#include "host/DbxUtils.h"

namespace kordane {

PlotTransform::PlotTransform(const TPreview& preview, int left, int top, int width, int height,
                             int margin)
    : left_(left), top_(top) {
  PictureView fitted;
  fitted.Resize(width, height, margin);
  fitted.Show(preview, true);
  view_ = fitted.View();
  SetUpFixed();
}

PlotTransform::PlotTransform(const ZoomView& view, int left, int top)
    : view_(view), left_(left), top_(top) {
  SetUpFixed();
}

namespace {

constexpr double kFixedOne = 4398046511104.0;  // 2^42
constexpr std::int64_t kFixedHalf = std::int64_t{1} << 41;
// Within this many pixels of pixel 0, products stay below 2^62.
constexpr double kFixedReachPixels = 1 << 19;

}  // namespace

void PlotTransform::SetUpFixed() {
  const double scale = view_.Scale();
  fixedX_.reach = fixedY_.reach = -1;
  if (!(scale > 0 && scale <= 1)) return;
  const ViewPoint corner = view_.ToBoard({0, 0});  // the board point at the client's pixel 0
  if (!(std::abs(corner.x) < 1e15 && std::abs(corner.y) < 1e15)) return;
  const auto setUp = [&](FixedAxis& axis, double board, double sign, int shift) {
    axis.base = static_cast<std::int64_t>(std::llround(board));
    const double offset = shift + sign * (static_cast<double>(axis.base) - board) * scale;
    axis.scale = static_cast<std::int64_t>(std::llround(sign * scale * kFixedOne));
    axis.offset = static_cast<std::int64_t>(std::llround(offset * kFixedOne));
    // Within 2^33 units too, so that the rounding of the scale moves no point by more than a
    // thousandth of a pixel.
    axis.reach = std::abs(offset) < kFixedReachPixels / 2
                     ? static_cast<std::int64_t>(std::min(kFixedReachPixels / 2 / scale, 0x1p33))
                     : -1;
  };
  setUp(fixedX_, corner.x, 1, left_);
  setUp(fixedY_, corner.y, -1, top_);
}

bool PlotTransform::FixedAxis::Map(std::int32_t value, int& pixel) const {
  const std::int64_t away = value - base;
  if (away > reach || away < -reach) return false;
  const std::int64_t fixed = away * scale + offset;
  pixel = static_cast<int>(fixed >= 0 ? (fixed + kFixedHalf) >> 42 : -((kFixedHalf - fixed) >> 42));
  return true;
}

namespace {

// Halves away from zero, as lround, without a library call: the picture rounds this for every
// point it draws.
int Rounded(double value) {
  return static_cast<int>(value < 0 ? value - 0.5 : value + 0.5);
}

}  // namespace

PlotPoint PlotTransform::ToScreen(std::int32_t x, std::int32_t y) const {
  PlotPoint fixed;
  if (fixedX_.Map(x, fixed.x) && fixedY_.Map(y, fixed.y)) return fixed;
  const ViewPoint at = view_.ToClient({static_cast<double>(x), static_cast<double>(y)});
  constexpr double kFar = 1 << 26;  // within what GDI draws
  return {Rounded(std::clamp(left_ + at.x, -kFar, kFar)),
          Rounded(std::clamp(top_ + at.y, -kFar, kFar))};
}

namespace {

// Strong enough on white, told apart from each other.
constexpr TGroupStyle kPalette[] = {
    {0, 92, 197},  {208, 56, 0},  {0, 140, 60}, {150, 40, 170},
    {190, 140, 0}, {0, 150, 160}, {200, 0, 90}, {100, 100, 100},
};
constexpr std::size_t kMarks = 4;

}  // namespace

TGroupStyle GroupStyle(std::size_t group, std::size_t groups) {
  constexpr std::size_t kColours = std::size(kPalette);
  if (groups <= kColours * kMarks) {
    TGroupStyle style = kPalette[group % kColours];
    style.mark = static_cast<TGroupMark>(group / kColours % kMarks);
    return style;
  }
  // Fully saturated hues, evenly spaced, every other one darker; with marks in turn, groups of
  // the same mark lie at least four steps apart on the wheel.
  const double sector = 6.0 * static_cast<double>(group % groups) / static_cast<double>(groups);
  const auto whole = static_cast<int>(sector);
  const double value = group % 2 == 0 ? 200.0 : 130.0;
  const auto level = [value](double share) {
    return static_cast<std::uint8_t>(std::lround(value * share));
  };
  const std::uint8_t rising = level(sector - whole);
  const std::uint8_t falling = level(1 - (sector - whole));
  const std::uint8_t full = level(1);
  // Each sixth of the wheel: which channel is full, rising, falling or off.
  const std::uint8_t sixths[6][3] = {{full, rising, 0},  {falling, full, 0}, {0, full, rising},
                                     {0, falling, full}, {rising, 0, full},  {full, 0, falling}};
  const std::uint8_t* rgb = sixths[std::min(whole, 5)];
  return {rgb[0], rgb[1], rgb[2], static_cast<TGroupMark>(group % kMarks)};
}

ScaleBar ChooseScaleBar(double dbPerPixel, std::int32_t units, int maxPixels) {
  const double dbPerUnit = units == kUnitsMils ? kDbPerMil : units == kUnitsMm ? kDbPerMm : 1.0;
  const double maxLength = maxPixels * dbPerPixel / dbPerUnit;  // in the design's units
  ScaleBar bar;
  if (!(maxLength > 0) || !std::isfinite(maxLength)) return bar;
  double power = std::pow(10.0, std::floor(std::log10(maxLength)));
  double length = power;
  for (const double step : {5.0, 2.0, 1.0}) {
    if (step * power <= maxLength * (1 + 1e-12)) {
      length = step * power;
      break;
    }
  }
  bar.pixels = static_cast<int>(std::lround(length * dbPerUnit / dbPerPixel));
  bar.text = FloatToText(length) + " " + UnitsName(units);
  return bar;
}

namespace {

void AddLine(TPictureShapes::Group& shapes, std::initializer_list<PlotPoint> points) {
  for (const PlotPoint point : points) shapes.lines.push_back(point);
  shapes.lineLengths.push_back(static_cast<std::uint32_t>(points.size()));
}

void AddPolygon(TPictureShapes::Group& shapes, std::initializer_list<PlotPoint> corners) {
  for (const PlotPoint corner : corners) shapes.marks.push_back(corner);
  shapes.markCorners.push_back(static_cast<int>(corners.size()));
}

// An octagon of radius r about at: at these sizes it reads as a circle.
// Its first corner twice, closed as a line.
std::array<PlotPoint, 9> Octagon(PlotPoint at, int r) {
  const int side = r * 5 / 12;  // r tan(22.5°)
  return {{{at.x - side, at.y - r},
           {at.x + side, at.y - r},
           {at.x + r, at.y - side},
           {at.x + r, at.y + side},
           {at.x + side, at.y + r},
           {at.x - side, at.y + r},
           {at.x - r, at.y + side},
           {at.x - r, at.y - side},
           {at.x - side, at.y - r}}};
}

void AddRing(TPictureShapes::Group& shapes, PlotPoint at, int r) {
  for (const PlotPoint corner : Octagon(at, r)) shapes.lines.push_back(corner);
  shapes.lineLengths.push_back(9u);
}

// The integer nearest numerator / denominator (denominator > 0), halves away from zero.
int RoundedQuotient(int numerator, int denominator) {
  return numerator >= 0 ? (numerator + denominator / 2) / denominator
                        : -((denominator / 2 - numerator) / denominator);
}

void AddArrow(TPictureShapes::Group& shapes, PlotPoint from, PlotPoint to, int head) {
  AddLine(shapes, {from, to});
  // In whole numbers: thousands of arrows a redraw, and floating point is slow where emulated.
  // The shaft's direction to one part in 2^12 (2^10 for heads at high DPI) is ample for a head a
  // few pixels long, and keeps every product below 2^31.
  if (head > 64) return;
  const std::int64_t limit = head <= 16 ? 4096 : 1024;
  std::int64_t dx = static_cast<std::int64_t>(to.x) - from.x;
  std::int64_t dy = static_cast<std::int64_t>(to.y) - from.y;
  if (dx == 0 && dy == 0) return;
  while (std::max(std::abs(dx), std::abs(dy)) >= limit) {
    dx /= 2;
    dy /= 2;
  }
  const int x = static_cast<int>(dx);
  const int y = static_cast<int>(dy);
  // The shaft's length: from an estimate within 4%, one step of Newton's method.
  const int squared = x * x + y * y;
  const int larger = std::max(std::abs(x), std::abs(y));
  const int smaller = std::min(std::abs(x), std::abs(y));
  int length = std::max(1, (983 * larger + 407 * smaller) >> 10);
  length = std::max(1, (length + squared / length) / 2);
  // Each side turned 0.45 radians off the shaft: its cosine and sine times 4096.
  constexpr int kCos = 3688;
  constexpr int kSin = 1782;
  const int scale = length * 4096;
  const auto wing = [&](int side) {
    return PlotPoint{to.x - RoundedQuotient(head * (x * kCos - side * y * kSin), scale),
                     to.y - RoundedQuotient(head * (y * kCos + side * x * kSin), scale)};
  };
  AddLine(shapes, {wing(1), to, wing(-1)});
}

// Whether the segment from (x0, y0) to (x1, y1) meets the box: the part of it within each side's
// half-plane, narrowed side by side (Liang and Barsky).
bool SegmentMeetsBox(double x0, double y0, double x1, double y1, double left, double bottom,
                     double right, double top) {
  double enters = 0;
  double leaves = 1;
  // Where p t <= q holds along the segment.
  const auto within = [&](double p, double q) {
    if (p == 0) return q >= 0;
    const double t = q / p;
    if (p < 0) {
      enters = std::max(enters, t);
    } else {
      leaves = std::min(leaves, t);
    }
    return enters <= leaves;
  };
  const double dx = x1 - x0;
  const double dy = y1 - y0;
  return within(-dx, x0 - left) && within(dx, right - x0) && within(-dy, y0 - bottom) &&
         within(dy, top - y0);
}

// The end of a tick of the given length from at towards an angle in tenths of a degree; exact at
// quarter turns.
PlotPoint TickEnd(PlotPoint at, int length, std::int32_t tenths) {
  switch (tenths) {
    case 0:
      return {at.x + length, at.y};
    case 900:
      return {at.x, at.y - length};
    case 1800:
      return {at.x - length, at.y};
    case 2700:
      return {at.x, at.y + length};
    default: {
      const double radians = tenths / 10.0 * std::numbers::pi / 180.0;
      return {Rounded(at.x + length * std::cos(radians)),
              Rounded(at.y - length * std::sin(radians))};
    }
  }
}

void AddMark(TPictureShapes::Group& shapes, PlotPoint at, int size, TGroupMark mark) {
  const int x = at.x;
  const int y = at.y;
  switch (mark) {
    case TGroupMark::Square:
      AddPolygon(
          shapes,
          {{x - size, y - size}, {x + size, y - size}, {x + size, y + size}, {x - size, y + size}});
      return;
    case TGroupMark::Circle: {
      const std::array<PlotPoint, 9> corners = Octagon(at, size + 1);
      for (std::size_t k = 0; k + 1 < corners.size(); ++k) shapes.marks.push_back(corners[k]);
      shapes.markCorners.push_back(8);
      return;
    }
    case TGroupMark::Triangle:
      AddPolygon(shapes, {{x, y - size - 1}, {x + size + 1, y + size}, {x - size - 1, y + size}});
      return;
    case TGroupMark::Diamond:
      AddPolygon(shapes,
                 {{x, y - size - 1}, {x + size + 1, y}, {x, y + size + 1}, {x - size - 1, y}});
      return;
  }
}

}  // namespace

TPictureShapes LayOutPicture(const TPreview& preview, const std::vector<int>& levels,
                             const PlotTransform& plot, int width, int height,
                             const TPictureSizes& sizes, const std::array<int, 256>& charWidths) {
  TPictureShapes shapes;
  shapes.groups.resize(preview.groups.size());
  // What is in view, in whole database units, so that parts outside it are passed over by
  // comparisons of integers.
  const ViewPoint topLeft = plot.ToBoard(-sizes.reach, -sizes.reach);
  const ViewPoint bottomRight = plot.ToBoard(width + sizes.reach, height + sizes.reach);
  // Held within the coordinates' own range, which keeps the comparisons in 32 bits.
  const auto whole = [](double value) {
    return static_cast<std::int32_t>(
        std::clamp(value, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)));
  };
  const std::int32_t left = whole(std::floor(topLeft.x));
  const std::int32_t right = whole(std::ceil(bottomRight.x));
  const std::int32_t bottom = whole(std::floor(bottomRight.y));
  const std::int32_t top = whole(std::ceil(topLeft.y));
  const auto inside = [&](std::int32_t x, std::int32_t y) {
    return x >= left && x <= right && y >= bottom && y <= top;
  };
  // First which parts reach the view, so that each group's shapes are given their room at once.
  std::vector<std::size_t> members(shapes.groups.size(), 0);
  for (std::size_t i = 0; i < preview.parts.size(); ++i) {
    const TPreviewPart& part = preview.parts[i];
    if (std::max(part.x, part.toX) < left || std::min(part.x, part.toX) > right ||
        std::max(part.y, part.toY) < bottom || std::min(part.y, part.toY) > top ||
        part.group >= shapes.groups.size()) {
      continue;
    }
    // A long arrow whose box meets the view may still pass it by.
    if (!inside(part.x, part.y) && !inside(part.toX, part.toY) &&
        !SegmentMeetsBox(part.x, part.y, part.toX, part.toY, static_cast<double>(left),
                         static_cast<double>(bottom), static_cast<double>(right),
                         static_cast<double>(top))) {
      continue;
    }
    shapes.shown.push_back(i);
    ++members[part.group];
  }
  // Fewer than 8 x 8 pixels to a part: rings, heads and ticks would only cover each other.
  const bool crowded = static_cast<std::int64_t>(shapes.shown.size()) * 64 >
                       static_cast<std::int64_t>(width) * height;
  std::vector<TGroupMark> marks(shapes.groups.size());
  for (std::size_t group = 0; group < shapes.groups.size(); ++group) {
    marks[group] = GroupStyle(group, preview.groups.size()).mark;
    // A ring, an arrow and its head, a tick; a mark.
    shapes.groups[group].lines.reserve(members[group] * (9 + 2 + 3 + 2));
    shapes.groups[group].lineLengths.reserve(members[group] * 4);
    shapes.groups[group].marks.reserve(members[group] * 8);
    shapes.groups[group].markCorners.reserve(members[group]);
  }
  std::vector<PlotPoint> targets;
  targets.reserve(shapes.shown.size());
  for (const std::size_t i : shapes.shown) {
    const TPreviewPart& part = preview.parts[i];
    const PlotPoint to = plot.ToScreen(part.toX, part.toY);
    targets.push_back(to);
    TPictureShapes::Group& group = shapes.groups[part.group];
    if (part.moves) {
      const PlotPoint from = plot.ToScreen(part.x, part.y);
      if (crowded) {
        AddLine(group, {from, to});
      } else {
        AddRing(group, from, sizes.ring);
        AddArrow(group, from, to, sizes.head);
      }
    }
    AddMark(group, to, sizes.ring, marks[part.group]);
    if (!crowded) AddLine(group, {to, TickEnd(to, sizes.tick, part.toRotation)});
  }

  // Few angles recur: each one's text is made once.
  std::vector<std::pair<std::int32_t, std::string>> angles;
  const auto angleText = [&angles](std::int32_t tenths) -> const std::string& {
    for (const auto& [angle, text] : angles) {
      if (angle == tenths) return text;
    }
    if (angles.size() >= 16) angles.pop_back();
    angles.insert(angles.begin(), {tenths, DegreesText(tenths)});
    return angles.front().second;
  };
  const auto WidthOf = [&charWidths](std::string_view text) {
    int sum = 0;
    for (const char c : text) sum += charWidths[static_cast<unsigned char>(c)];
    return sum;
  };
  LabelSpace space(width, height);
  for (std::size_t k = 0; k < shapes.shown.size(); ++k) {
    const std::size_t i = shapes.shown[k];
    const TPreviewPart& part = preview.parts[i];
    const PlotPoint to = targets[k];
    const int labelLeft = to.x + sizes.labelGap;
    if (labelLeft >= width) continue;
    // Most labels find no room: the text is put together only for those that do.
    const std::string& angle = angleText(part.toRotation);
    constexpr std::string_view kUnplaced = " (out of range)";
    const int textWidth = WidthOf(part.refDes) + charWidths[' '] + WidthOf(angle) +
                          (part.unplaced ? WidthOf(kUnplaced) : 0);
    const int level = i < levels.size() ? levels[i] : 0;
    for (const int side : {level, 1 - level}) {
      const int labelTop = side == 0 ? to.y + sizes.ring : to.y - sizes.ring - 1 - sizes.lineHeight;
      if (space.Claim({labelLeft, labelTop, labelLeft + textWidth, labelTop + sizes.lineHeight})) {
        std::string text = part.refDes + " " + angle;
        if (part.unplaced) text += kUnplaced;
        shapes.labels.push_back({i, {labelLeft, labelTop}, std::move(text)});
        break;
      }
    }
  }
  return shapes;
}

}  // namespace kordane
