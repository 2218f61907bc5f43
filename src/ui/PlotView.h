// What moves a picture of the board: a scale and a place (zoom about a pixel, pan by pixels, fit
// a box, each within limits), shared by the run's picture and the stand-in's board view; the
// picture's own view of a run, which keeps its zoom while the run is worked out again; and what
// the picture draws at a view: which labels fit beside those drawn before, which part is under the
// pointer and what its tooltip says.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "placement/Preview.h"

namespace kordane {

struct ViewPoint {
  double x = 0;
  double y = 0;
  friend bool operator==(const ViewPoint&, const ViewPoint&) = default;
};

// Board coordinates (database units, +Y up) to client pixels (+Y down). The scale, in pixels per
// database unit, stays within the limits whatever moves it.
class ZoomView {
 public:
  ZoomView(double minScale, double maxScale) : minScale_(minScale), maxScale_(maxScale) {}

  ViewPoint ToClient(ViewPoint board) const;
  ViewPoint ToBoard(ViewPoint client) const;
  double Scale() const { return scale_; }
  double MinScale() const { return minScale_; }
  double MaxScale() const { return maxScale_; }

  // Scales by factor about a client pixel: the board point under it stays under it.
  void ZoomAt(ViewPoint client, double factor);
  void PanBy(double dxPixels, double dyPixels);
  // Shows a box of the given size about its centre, with margin pixels free on every side of the
  // client; a side of no length does not count, and neither side: the largest scale.
  void Fit(ViewPoint centre, double boxWidth, double boxHeight, double clientWidth,
           double clientHeight, double margin);
  // New limits; the present scale is brought within them about the client pixel given.
  void SetLimits(double minScale, double maxScale, ViewPoint about);

  friend bool operator==(const ZoomView&, const ZoomView&) = default;

 private:
  double minScale_;
  double maxScale_;
  double scale_ = 1;
  ViewPoint topLeft_;  // the board point at client pixel (0, 0)
};

// For each part, whether its label goes below (0) or above (1) its target, whatever the view: in a
// group lined up in a row, neighbours alternate, so that labels wider than the pitch do not run
// into each other.
std::vector<int> LabelLevels(const TPreview& preview);

// How closely the picture lets a user look: a view this wide in database units (2 mm).
inline constexpr double kClosestViewWidth = 200000;

// The picture's view of a run in a plot of width x height pixels with a margin: fitted to every
// origin and target (and the pivot) until the user zooms or pans, then kept as the run is worked
// out again for other choices (a new reading of the selection fits again). It zooms from the whole
// selection down to a view kClosestViewWidth across, and never further in than a pixel per database
// unit.
class PictureView {
 public:
  PictureView() = default;
  // The run's parts and the plot's size; refit: fit whatever the user did.
  void Show(const TPreview& preview, bool refit);
  void Resize(int width, int height, int margin);

  void ZoomAt(ViewPoint client, double factor);
  void ZoomAtCentre(double factor);
  void PanBy(double dxPixels, double dyPixels);
  void Fit();

  const ZoomView& View() const { return view_; }
  bool Fitted() const { return fitted_; }
  // The run's LabelLevels, worked out once for every redraw.
  const std::vector<int>& Levels() const { return levels_; }

 private:
  void Limit();

  ZoomView view_{1, 1};
  ViewPoint centre_;  // of every origin and target
  double boxWidth_ = 0;
  double boxHeight_ = 0;
  int width_ = 1;
  int height_ = 1;
  int margin_ = 0;
  bool fitted_ = true;
  std::vector<int> levels_;
};

// Rectangles in pixels, right and bottom excluded.
struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// Where labels have been drawn in a plot of width x height pixels: a label is drawn only where it
// overlaps none drawn before it. Cells of a coarse grid keep each search short at any count.
class LabelSpace {
 public:
  LabelSpace(int width, int height);
  // Takes the rectangle and returns true when it overlaps no rectangle taken before and lies at
  // least partly inside the plot; otherwise returns false and takes nothing.
  bool Claim(const PixelRect& label);

 private:
  static constexpr int kCell = 64;
  int width_;
  int height_;
  int columns_;
  int rows_;
  std::vector<PixelRect> taken_;
  std::vector<std::vector<std::uint32_t>> cells_;  // indexes into taken_, per cell
};

// The part whose target or present origin lies nearest the pixel, within radius pixels in both
// directions; targets win ties, then the part drawn last (on top).
std::optional<std::size_t> PartAt(const TPreview& preview, const ZoomView& view, ViewPoint client,
                                  double radius);

// Tenths of a degree as the text a user reads ("90°", "-45°", "22.5°").
std::string DegreesText(std::int32_t tenths);

// A part's tooltip: its designator, then its place and angle now and after the run, in the
// design's units, on lines of their own ("R3", "now 100, 200 mils at 0°", "after ...").
std::string PartTip(const TPreviewPart& part, std::int32_t units);

}  // namespace kordane
