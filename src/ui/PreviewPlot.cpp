#include "ui/PreviewPlot.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <numbers>

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

PlotPoint PlotTransform::ToScreen(std::int32_t x, std::int32_t y) const {
  const ViewPoint at = view_.ToClient({static_cast<double>(x), static_cast<double>(y)});
  constexpr double kFar = 1 << 26;  // within what GDI draws
  return {static_cast<int>(std::lround(std::clamp(left_ + at.x, -kFar, kFar))),
          static_cast<int>(std::lround(std::clamp(top_ + at.y, -kFar, kFar)))};
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

// For each part, whether its label goes below (0) or above (1) its target: in a group lined up
// in a row, neighbours alternate, so that labels wider than the pitch do not run into each other.
std::vector<int> LabelLevels(const TPreview& preview, const PlotTransform& plot) {
  std::vector<int> levels(preview.parts.size(), 0);
  std::vector<std::vector<std::size_t>> members(preview.groups.size());
  for (std::size_t i = 0; i < preview.parts.size(); ++i) {
    if (preview.parts[i].group < members.size()) members[preview.parts[i].group].push_back(i);
  }
  for (std::vector<std::size_t>& group : members) {
    int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
    for (const std::size_t i : group) {
      const PlotPoint to = plot.ToScreen(preview.parts[i].toX, preview.parts[i].toY);
      minX = std::min(minX, to.x);
      maxX = std::max(maxX, to.x);
      minY = std::min(minY, to.y);
      maxY = std::max(maxY, to.y);
    }
    // A column, whose labels fit, or less than two parts
    if (group.size() < 2 ||
        static_cast<std::int64_t>(maxX) - minX <= static_cast<std::int64_t>(maxY) - minY) {
      continue;
    }
    std::stable_sort(group.begin(), group.end(), [&](std::size_t a, std::size_t b) {
      return preview.parts[a].toX < preview.parts[b].toX;
    });
    for (std::size_t rank = 0; rank < group.size(); ++rank) {
      levels[group[rank]] = static_cast<int>(rank % 2);
    }
  }
  return levels;
}

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
  if (std::hypot(dx, dy) < 1) return;
  constexpr double kSpread = 0.45;
  const double angle = std::atan2(dy, dx);
  const auto wing = [&](double side) {
    return PlotPoint{static_cast<int>(std::lround(to.x - head * std::cos(angle + side))),
                     static_cast<int>(std::lround(to.y - head * std::sin(angle + side)))};
  };
  AddLine(shapes, {wing(kSpread), to, wing(-kSpread)});
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

TPictureShapes LayOutPicture(const TPreview& preview, const PlotTransform& plot, int width,
                             int height, const TPictureSizes& sizes,
                             const std::array<int, 256>& charWidths) {
  TPictureShapes shapes;
  shapes.groups.resize(preview.groups.size());
  const auto inView = [&](PlotPoint from, PlotPoint to) {
    return std::max(from.x, to.x) + sizes.reach >= 0 &&
           std::min(from.x, to.x) - sizes.reach < width &&
           std::max(from.y, to.y) + sizes.reach >= 0 &&
           std::min(from.y, to.y) - sizes.reach < height;
  };
  for (std::size_t i = 0; i < preview.parts.size(); ++i) {
    const TPreviewPart& part = preview.parts[i];
    const PlotPoint from = plot.ToScreen(part.x, part.y);
    const PlotPoint to = plot.ToScreen(part.toX, part.toY);
    if (part.group >= shapes.groups.size() || !inView(from, to)) continue;
    shapes.shown.push_back(i);
    TPictureShapes::Group& group = shapes.groups[part.group];
    if (part.moves) {
      AddRing(group, from, sizes.ring);
      AddArrow(group, from, to, sizes.head);
    }
    AddMark(group, to, sizes.ring, GroupStyle(part.group, preview.groups.size()).mark);
    const double radians = part.toRotation / 10.0 * std::numbers::pi / 180.0;
    AddLine(group, {to,
                    {static_cast<int>(std::lround(to.x + sizes.tick * std::cos(radians))),
                     static_cast<int>(std::lround(to.y - sizes.tick * std::sin(radians)))}});
  }

  const std::vector<int> levels = LabelLevels(preview, plot);
  LabelSpace space(width, height);
  for (const std::size_t i : shapes.shown) {
    const TPreviewPart& part = preview.parts[i];
    const PlotPoint to = plot.ToScreen(part.toX, part.toY);
    std::string text = part.refDes + " " + DegreesText(part.toRotation);
    if (part.unplaced) text += " (out of range)";
    int textWidth = 0;
    for (const char c : text) textWidth += charWidths[static_cast<unsigned char>(c)];
    const int left = to.x + sizes.labelGap;
    for (const int level : {levels[i], 1 - levels[i]}) {
      const int top = level == 0 ? to.y + sizes.ring : to.y - sizes.ring - 1 - sizes.lineHeight;
      if (space.Claim({left, top, left + textWidth, top + sizes.lineHeight})) {
        shapes.labels.push_back({i, {left, top}, std::move(text)});
        break;
      }
    }
  }
  return shapes;
}

}  // namespace kordane
