#include "ViewTransform.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace standin::boardview {

namespace {
constexpr double kDbPerMil = 2540;
constexpr double kDbPerMm = 100000;
}  // namespace

kordane::ZoomView ViewTransform::Initial() {
  kordane::ZoomView view(kMinScale, kMaxScale);
  view.Fit({0, 0}, 0, 0, 0, 0, 0);
  view.ZoomAt({0, 0}, 1e-4 / kMaxScale);  // a pixel spans 10,000 units until the first fit
  return view;
}

Point ViewTransform::ToClient(Point board) const {
  const kordane::ViewPoint client = view_.ToClient({board.x, board.y});
  return {client.x, client.y};
}

Point ViewTransform::ToBoard(Point client) const {
  const kordane::ViewPoint board = view_.ToBoard({client.x, client.y});
  return {board.x, board.y};
}

void ViewTransform::Fit(const Box& box, double clientWidth, double clientHeight, double margin) {
  constexpr double kInch = 1000 * kDbPerMil;
  Box shown = box;
  if (shown.empty) {
    shown.Add(Point{0, 0});
  }
  const bool point = shown.Width() == 0 && shown.Height() == 0;
  view_.Fit({(shown.left + shown.right) / 2, (shown.bottom + shown.top) / 2},
            point ? kInch : shown.Width(), point ? kInch : shown.Height(), clientWidth,
            clientHeight, margin);
}

double UnitLength(std::int32_t units) {
  return units == kUnitsMm ? kDbPerMm : kDbPerMil;
}

const char* UnitName(std::int32_t units) {
  return units == kUnitsMm ? "mm" : "mils";
}

double GridStep(std::int32_t units, double scale, double minPixels) {
  const double unit = UnitLength(units);
  // Start from the power of ten just below the smallest step and climb 1, 2, 5, 10, ...
  const double least = minPixels / scale / unit;  // in board units
  double decade = std::pow(10.0, std::floor(std::log10(least)));
  for (;;) {
    for (const double multiple : {1.0, 2.0, 5.0}) {
      if (multiple * decade >= least * (1 - 1e-12)) {
        return multiple * decade * unit;
      }
    }
    decade *= 10;
  }
}

std::string LengthText(double dbUnits, std::int32_t units) {
  const bool mm = units == kUnitsMm;
  double value = dbUnits / UnitLength(units);
  char text[64];
  std::snprintf(text, sizeof text, mm ? "%.3f" : "%.1f", value);
  std::string result = text;
  if (result.find_first_not_of("-0.") == std::string::npos && result.front() == '-') {
    result.erase(0, 1);
  }
  return result;
}

}  // namespace standin::boardview
