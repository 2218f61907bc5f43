// The preview's drawing geometry without Windows: board coordinates (+Y up) fitted into a pixel
// rectangle (+Y down) with a margin, and a scale bar of a round length in the design's units.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "placement/Preview.h"
#include "ui/PlotView.h"

namespace kordane {

struct PlotPoint {
  int x = 0;
  int y = 0;
};

class PlotTransform {
 public:
  // Fits every origin and target of the preview, and its pivot, into the rectangle (left, top,
  // width, height) with margin pixels on each side, keeping the board's proportions; one point,
  // or none, sits in the middle.
  PlotTransform(const TPreview& preview, int left, int top, int width, int height, int margin);
  // A view whose client pixel (0, 0) is at (left, top).
  PlotTransform(const ZoomView& view, int left, int top);

  // Far outside the rectangle, points are held some 67 million pixels out, where drawing works.
  PlotPoint ToScreen(std::int32_t x, std::int32_t y) const;
  // The board point at a pixel.
  ViewPoint ToBoard(double x, double y) const { return view_.ToBoard({x - left_, y - top_}); }
  // Database units per pixel.
  double Scale() const { return 1 / view_.Scale(); }

 private:
  // Points near the view are worked out in fixed point, pixels times 2^42, which is exact to a
  // thousandth of a pixel and far quicker than floating point where that is emulated.
  struct FixedAxis {
    std::int64_t base = 0;    // a whole board coordinate near the view's pixel 0
    std::int64_t scale = 0;   // pixels per database unit, times 2^42, signed as the axis runs
    std::int64_t offset = 0;  // the pixel of base, times 2^42
    std::int64_t reach = -1;  // how far from base a point may lie; -1: never in fixed point
    bool Map(std::int32_t value, int& pixel) const;
  };
  void SetUpFixed();

  ZoomView view_{1, 1};
  int left_ = 0;
  int top_ = 0;
  FixedAxis fixedX_;
  FixedAxis fixedY_;
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

// Sizes of the picture's shapes in pixels, at the picture's DPI.
struct TPictureSizes {
  int ring = 3;         // round a present origin, and half a mark
  int tick = 10;        // towards the angle a part will face
  int head = 7;         // an arrowhead's sides
  int reach = 16;       // how far outside the plot a part can still show
  int labelGap = 5;     // from a target to its label
  int lineHeight = 13;  // of a label
};

// What the picture draws of a run at a view, in the plot's pixels: per group, its lines (rings
// round the present origins as octagons, arrows, ticks) as polylines and its marks as polygons,
// each drawn with one call; the parts in view (in the order read), and the labels that overlap
// none placed before them, each below or above its target.
struct TPictureShapes {
  struct Group {
    std::vector<PlotPoint> lines;
    std::vector<std::uint32_t> lineLengths;
    std::vector<PlotPoint> marks;
    std::vector<int> markCorners;
  };
  struct Label {
    std::size_t part;
    PlotPoint at;  // the text's top left
    std::string text;
  };
  std::vector<Group> groups;
  std::vector<std::size_t> shown;
  std::vector<Label> labels;
};

// Lays out the parts of a run whose shapes reach into a plot of width x height at (0, 0); labels
// are as wide as the sum of their characters' widths and go at their levels (LabelLevels), or
// on the other side when there is no room there. Parts out of view cost a few comparisons each.
// Where the parts in view are crowded (fewer than 8 x 8 pixels of the plot to each), their rings,
// arrowheads and ticks are left out, which would only cover each other: each part is its arrow's
// shaft and its mark, until the user zooms in.
TPictureShapes LayOutPicture(const TPreview& preview, const std::vector<int>& levels,
                             const PlotTransform& plot, int width, int height,
                             const TPictureSizes& sizes, const std::array<int, 256>& charWidths);

// The longest round length (1, 2 or 5 times a power of ten, in the design's units: mils, mm,
// or database units when unknown) that is at most maxPixels long at this scale.
ScaleBar ChooseScaleBar(double dbPerPixel, std::int32_t units, int maxPixels);

}  // namespace kordane
