// The preview's drawing geometry without Windows: board coordinates (+Y up) fitted into a pixel
// rectangle (+Y down) with a margin, and a scale bar of a round length in the design's units.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "placement/Preview.h"

namespace kordane {

struct PlotPoint {
  int x = 0;
  int y = 0;
};

class PlotTransform {
 public:
  // Fits every origin and target of the preview, and its pivot, into the rectangle (left, top,
  // width, height)
  // with margin pixels on each side, keeping the board's proportions; one point, or none, sits
  // in the middle.
  PlotTransform(const TPreview& preview, int left, int top, int width, int height, int margin);

  PlotPoint ToScreen(std::int32_t x, std::int32_t y) const;
  // Database units per pixel.
  double Scale() const { return dbPerPixel_; }

 private:
  double dbPerPixel_ = 1;
  double originX_ = 0;  // board coordinates at the rectangle's middle
  double originY_ = 0;
  double centreX_ = 0;  // the rectangle's middle in pixels
  double centreY_ = 0;
};

struct ScaleBar {
  int pixels = 0;    // length drawn
  std::string text;  // "200 mils"
};

// How a group's members are drawn: a colour and the mark at their targets. Every group of one
// picture gets a pair of its own: eight colours with squares, then the same eight with triangles,
// diamonds and circles; past 32 groups, colours spread round the colour wheel.
enum class TGroupMark { Square, Triangle, Diamond, Circle };
struct TGroupStyle {
  std::uint8_t red = 0, green = 0, blue = 0;
  TGroupMark mark = TGroupMark::Square;
};
TGroupStyle GroupStyle(std::size_t group, std::size_t groups);

// The longest round length (1, 2 or 5 times a power of ten, in the design's units: mils, mm,
// or database units when unknown) that is at most maxPixels long at this scale.
ScaleBar ChooseScaleBar(double dbPerPixel, std::int32_t units, int maxPixels);

}  // namespace kordane
