#include "ui/PreviewPlot.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <numbers>
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
}

namespace {

// Halves away from zero, as lround, without a library call: the picture rounds this for every
// point it draws.
int Rounded(double value) {
  return static_cast<int>(value < 0 ? value - 0.5 : value + 0.5);
}

}  // namespace

PlotPoint PlotTransform::ToScreen(std::int32_t x, std::int32_t y) const {
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
  shapes.lines.insert(shapes.lines.end(), points);
  shapes.lineLengths.push_back(static_cast<std::uint32_t>(points.size()));
}

void AddPolygon(TPictureShapes::Group& shapes, std::initializer_list<PlotPoint> corners) {
  shapes.marks.insert(shapes.marks.end(), corners);
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
  const std::array<PlotPoint, 9> corners = Octagon(at, r);
  shapes.lines.insert(shapes.lines.end(), corners.begin(), corners.end());
  shapes.lineLengths.push_back(static_cast<std::uint32_t>(corners.size()));
}

void AddArrow(TPictureShapes::Group& shapes, PlotPoint from, PlotPoint to, double head) {
  AddLine(shapes, {from, to});
  const double dx = static_cast<double>(to.x) - from.x;
  const double dy = static_cast<double>(to.y) - from.y;
  const double length = std::sqrt(dx * dx + dy * dy);
  if (length < 1) return;
  // Each side turned 0.45 radians off the shaft, by its cosine and sine.
  constexpr double kCos = 0.90044710235267692;
  constexpr double kSin = 0.43496553411123023;
  const double ux = dx / length;
  const double uy = dy / length;
  const auto wing = [&](double side) {
    return PlotPoint{Rounded(to.x - head * (ux * kCos - side * uy * kSin)),
                     Rounded(to.y - head * (uy * kCos + side * ux * kSin))};
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
      shapes.marks.insert(shapes.marks.end(), corners.begin(), corners.end() - 1);
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
  const auto whole = [](double value) {
    return static_cast<std::int64_t>(std::clamp(value, -4e9, 4e9));
  };
  const std::int64_t left = whole(std::floor(topLeft.x));
  const std::int64_t right = whole(std::ceil(bottomRight.x));
  const std::int64_t bottom = whole(std::floor(bottomRight.y));
  const std::int64_t top = whole(std::ceil(topLeft.y));
  const auto inside = [&](std::int32_t x, std::int32_t y) {
    return x >= left && x <= right && y >= bottom && y <= top;
  };
  std::vector<PlotPoint> targets;
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
    const PlotPoint to = plot.ToScreen(part.toX, part.toY);
    shapes.shown.push_back(i);
    targets.push_back(to);
    TPictureShapes::Group& group = shapes.groups[part.group];
    if (part.moves) {
      const PlotPoint from = plot.ToScreen(part.x, part.y);
      AddRing(group, from, sizes.ring);
      AddArrow(group, from, to, sizes.head);
    }
    AddMark(group, to, sizes.ring, GroupStyle(part.group, preview.groups.size()).mark);
    AddLine(group, {to, TickEnd(to, sizes.tick, part.toRotation)});
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
  LabelSpace space(width, height);
  for (std::size_t k = 0; k < shapes.shown.size(); ++k) {
    const std::size_t i = shapes.shown[k];
    const TPreviewPart& part = preview.parts[i];
    const PlotPoint to = targets[k];
    const int labelLeft = to.x + sizes.labelGap;
    if (labelLeft >= width) continue;
    std::string text = part.refDes + " " + angleText(part.toRotation);
    if (part.unplaced) text += " (out of range)";
    int textWidth = 0;
    for (const char c : text) textWidth += charWidths[static_cast<unsigned char>(c)];
    const int level = i < levels.size() ? levels[i] : 0;
    for (const int side : {level, 1 - level}) {
      const int labelTop = side == 0 ? to.y + sizes.ring : to.y - sizes.ring - 1 - sizes.lineHeight;
      if (space.Claim({labelLeft, labelTop, labelLeft + textWidth, labelTop + sizes.lineHeight})) {
        shapes.labels.push_back({i, {labelLeft, labelTop}, std::move(text)});
        break;
      }
    }
  }
  return shapes;
}

}  // namespace kordane
