// The mapping between board coordinates (database units, Y up) and the window's client pixels
// (Y down), and what moves it: zoom about a pixel, pan by pixels, fit a box (the arithmetic of
// Kordane's own picture, within the board view's limits). Also the grid: a
// step of 1, 2 or 5 times a power of ten of the board's unit, chosen from the zoom.
#pragma once

#include <cstdint>
#include <string>

#include "BoardScene.h"
#include "ui/PlotView.h"

namespace standin::boardview {

class ViewTransform {
 public:
  // Pixels per database unit, kept within these limits: at the largest a mil spans 127 pixels,
  // at the smallest a pixel spans about 400 mils.
  static constexpr double kMinScale = 1e-6;
  static constexpr double kMaxScale = 0.05;

  Point ToClient(Point board) const;
  Point ToBoard(Point client) const;
  double Scale() const { return view_.Scale(); }
  // Database units a length of pixels spans.
  double BoardLength(double pixels) const { return pixels / view_.Scale(); }

  // Scales by factor about a client pixel: the board point under it stays under it.
  void ZoomAt(Point client, double factor) { view_.ZoomAt({client.x, client.y}, factor); }
  void PanBy(double dxPixels, double dyPixels) { view_.PanBy(dxPixels, dyPixels); }
  // Shows the whole box, centred, with margin pixels free on every side; an empty box or one of
  // no extent is shown as a square inch around its place.
  void Fit(const Box& box, double clientWidth, double clientHeight, double margin);

  friend bool operator==(const ViewTransform&, const ViewTransform&) = default;

 private:
  kordane::ZoomView view_ = Initial();
  static kordane::ZoomView Initial();
};

// Database units of a board unit: mils or millimetres.
double UnitLength(std::int32_t units);
const char* UnitName(std::int32_t units);

// The grid step in database units: the smallest 1, 2 or 5 x 10^k board units that is at least
// minPixels wide at the given scale.
double GridStep(std::int32_t units, double scale, double minPixels);

// A length in the board's units as the status bar shows it, e.g. "1250.5" mils or "3.175" mm:
// one decimal for mils, three for millimetres, no "-0".
std::string LengthText(double dbUnits, std::int32_t units);

}  // namespace standin::boardview
