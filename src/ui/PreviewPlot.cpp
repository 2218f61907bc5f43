#include "ui/PreviewPlot.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

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
  constexpr double kFar = 1e9;
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

}  // namespace kordane
