// The windows' layouts are written in pixels at 96 DPI (100 %), their fonts in points. This
// scales them to another DPI with the arithmetic of MulDiv: rounded to the nearest pixel, halves
// away from zero. Needs no <windows.h>, so the rounding is tested natively.
#pragma once

#include <cstdint>

namespace kordane {

inline constexpr int kDefaultDpi = 96;

// a * b / c rounded like MulDiv: to the nearest integer, halves away from zero. c is positive.
constexpr int MulDivRounded(int a, int b, int c) {
  const std::int64_t product = std::int64_t{a} * b;
  const std::int64_t half = c / 2;
  return static_cast<int>((product + (product < 0 ? -half : half)) / c);
}

// A length in pixels at 96 DPI, at dpi: MulDiv(value, dpi, 96). dpi is positive.
constexpr int ScaleToDpi(int value, int dpi) {
  return MulDivRounded(value, dpi, kDefaultDpi);
}

// The height in pixels of a font of the given size in points (1/72 inch) at dpi.
constexpr int PointsToPixels(int points, int dpi) {
  return MulDivRounded(points, dpi, 72);
}

// A control's place in its parent: left, top, width and height.
struct LayoutRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const LayoutRect&, const LayoutRect&) = default;
};

// The edges are scaled, not the size, so that controls that meet or line up at 96 DPI still do.
constexpr LayoutRect ScaleToDpi(const LayoutRect& rect, int dpi) {
  const int left = ScaleToDpi(rect.left, dpi);
  const int top = ScaleToDpi(rect.top, dpi);
  return {left, top, ScaleToDpi(rect.left + rect.width, dpi) - left,
          ScaleToDpi(rect.top + rect.height, dpi) - top};
}

}  // namespace kordane
