// The preview's drawing geometry without Windows: board coordinates (+Y up) fitted into a pixel
// rectangle (+Y down) with a margin, and a scale bar of a round length in the design's units.
#pragma once

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
  // Fits every origin and target of the preview into the rectangle (left, top, width, height)
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

// The longest round length (1, 2 or 5 times a power of ten, in the design's units: mils, mm,
// or database units when unknown) that is at most maxPixels long at this scale.
ScaleBar ChooseScaleBar(double dbPerPixel, std::int32_t units, int maxPixels);

}  // namespace kordane
