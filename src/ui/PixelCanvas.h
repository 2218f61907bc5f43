// Drawing straight into the pixels of a picture: the run's picture draws thousands of short lines
// and small marks a redraw, which the system's drawing calls take far too long over. Pixels are 32
// bits (0x00RRGGBB, as a 32-bit device-independent bitmap holds them), rows top down.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/PlotView.h"
#include "ui/PreviewPlot.h"

namespace kordane {

class PixelCanvas {
 public:
  // Pixels of width x height, stride pixels from one row to the next; whatever is drawn is
  // shifted by origin and kept within the pixels.
  PixelCanvas(std::uint32_t* pixels, int width, int height, int stride, PlotPoint origin = {});

  // From one point towards the next, the last pixel left out (the next line starts there), as
  // the midpoint rule picks them, however far outside the pixels the ends lie; penWidth lines
  // side by side.
  void Line(PlotPoint from, PlotPoint to, std::uint32_t colour, int penWidth = 1);
  // Each pixel whose centre lies inside or on a convex polygon, its corners in either turn.
  void FillConvex(const PlotPoint* corners, std::size_t count, std::uint32_t colour);

  // Line from each point to the next, as Line draws them.
  void Polyline(const PlotPoint* points, std::size_t count, std::uint32_t colour, int penWidth);
  // A group's polylines and marks (TPictureShapes), marks filled over the lines.
  void DrawGroup(const TPictureShapes::Group& group, std::uint32_t colour, int penWidth);

 private:
  void Put(int x, int y, std::uint32_t colour) {
    if (x >= 0 && x < width_ && y >= 0 && y < height_) {
      pixels_[static_cast<std::size_t>(y) * stride_ + static_cast<std::size_t>(x)] = colour;
    }
  }
  void ThinLine(PlotPoint from, PlotPoint to, std::uint32_t colour);

  std::uint32_t* pixels_;
  int width_;
  int height_;
  std::size_t stride_;
  PlotPoint origin_;
  // The rows of the last mark filled, from its first corner: marks of one group are copies of
  // one shape, filled by copying its rows.
  struct Span {
    int dy, left, right;
  };
  std::vector<PlotPoint> stampCorners_;
  std::vector<Span> stamp_;
  // The last ring drawn (a polyline of many short lines; a group's rings are copies of one
  // shape): its points and its pixels, from its first point, right and bottom of box included.
  std::vector<PlotPoint> ringShape_;
  int ringPen_ = 0;
  PixelRect ringBox_;
  std::vector<PlotPoint> ringPixels_;
  // False when the polyline is too large to keep.
  bool KeepRing(const PlotPoint* points, std::size_t count, int penWidth);
};

}  // namespace kordane
