#include "ui/PreviewPlot.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include "host/Conversions.h"
#include "host/DbxUtils.h"

namespace kordane {

PlotTransform::PlotTransform(const TPreview& preview, int left, int top, int width, int height,
                             int margin) {
  double minX = std::numeric_limits<double>::max();
  double minY = minX;
  double maxX = std::numeric_limits<double>::lowest();
  double maxY = maxX;
  for (const TPreviewPart& part : preview.parts) {
    for (const auto& [x, y] : {std::pair{part.x, part.y}, std::pair{part.toX, part.toY}}) {
      minX = std::min(minX, static_cast<double>(x));
      maxX = std::max(maxX, static_cast<double>(x));
      minY = std::min(minY, static_cast<double>(y));
      maxY = std::max(maxY, static_cast<double>(y));
    }
  }
  if (preview.parts.empty()) {
    minX = maxX = minY = maxY = 0;
  } else if (preview.pivot) {
    // The pivot is marked too, wherever it is.
    minX = std::min(minX, static_cast<double>(preview.pivot->x));
    maxX = std::max(maxX, static_cast<double>(preview.pivot->x));
    minY = std::min(minY, static_cast<double>(preview.pivot->y));
    maxY = std::max(maxY, static_cast<double>(preview.pivot->y));
  }
  const double usableWidth = std::max(1, width - 2 * margin);
  const double usableHeight = std::max(1, height - 2 * margin);
  const double spanX = maxX - minX;
  const double spanY = maxY - minY;
  dbPerPixel_ = std::max({spanX / usableWidth, spanY / usableHeight, 1.0});
  originX_ = minX + spanX / 2;
  originY_ = minY + spanY / 2;
  centreX_ = left + width / 2.0;
  centreY_ = top + height / 2.0;
}

PlotPoint PlotTransform::ToScreen(std::int32_t x, std::int32_t y) const {
  return {static_cast<int>(std::lround(centreX_ + (x - originX_) / dbPerPixel_)),
          static_cast<int>(std::lround(centreY_ - (y - originY_) / dbPerPixel_))};
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

}  // namespace kordane
