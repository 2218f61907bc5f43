#include "ViewTransform.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace standin::boardview {

namespace {
constexpr double kDbPerMil = 2540;
constexpr double kDbPerMm = 100000;
}  // namespace

Point ViewTransform::ToClient(Point board) const {
  return {(board.x - topLeft_.x) * scale_, (topLeft_.y - board.y) * scale_};
}

Point ViewTransform::ToBoard(Point client) const {
  return {topLeft_.x + client.x / scale_, topLeft_.y - client.y / scale_};
}

void ViewTransform::ZoomAt(Point client, double factor) {
  const Point fixed = ToBoard(client);
  scale_ = std::clamp(scale_ * factor, kMinScale, kMaxScale);
  topLeft_ = {fixed.x - client.x / scale_, fixed.y + client.y / scale_};
}

void ViewTransform::PanBy(double dxPixels, double dyPixels) {
  topLeft_.x -= dxPixels / scale_;
  topLeft_.y += dyPixels / scale_;
}

void ViewTransform::Fit(const Box& box, double clientWidth, double clientHeight, double margin) {
  constexpr double kInch = 1000 * kDbPerMil;
  Box shown = box;
  if (shown.empty) {
    shown.Add(Point{0, 0});
  }
  Point centre{(shown.left + shown.right) / 2, (shown.bottom + shown.top) / 2};
  const bool point = shown.Width() == 0 && shown.Height() == 0;
  const double width = point ? kInch : shown.Width();
  const double height = point ? kInch : shown.Height();
  const double freeWidth = std::max(clientWidth - 2 * margin, 1.0);
  const double freeHeight = std::max(clientHeight - 2 * margin, 1.0);
  double scale = kMaxScale;
  if (width > 0) scale = std::min(scale, freeWidth / width);
  if (height > 0) scale = std::min(scale, freeHeight / height);
  scale_ = std::clamp(scale, kMinScale, kMaxScale);
  topLeft_ = {centre.x - clientWidth / 2 / scale_, centre.y + clientHeight / 2 / scale_};
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
