#include "ui/PixelCanvas.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace kordane {

PixelCanvas::PixelCanvas(std::uint32_t* pixels, int width, int height, int stride, PlotPoint origin)
    : pixels_(pixels),
      width_(std::max(0, width)),
      height_(std::max(0, height)),
      stride_(static_cast<std::size_t>(std::max(0, stride))),
      origin_(origin) {}

void PixelCanvas::Line(PlotPoint from, PlotPoint to, std::uint32_t colour, int penWidth) {
  from = {from.x + origin_.x, from.y + origin_.y};
  to = {to.x + origin_.x, to.y + origin_.y};
  if (penWidth <= 1) {
    ThinLine(from, to, colour);
    return;
  }
  // Wider pens: lines side by side across the line's minor direction.
  const bool alongX = std::abs(static_cast<std::int64_t>(to.x) - from.x) >=
                      std::abs(static_cast<std::int64_t>(to.y) - from.y);
  for (int k = 0; k < penWidth; ++k) {
    const int shift = k - (penWidth - 1) / 2;
    const PlotPoint by = alongX ? PlotPoint{0, shift} : PlotPoint{shift, 0};
    ThinLine({from.x + by.x, from.y + by.y}, {to.x + by.x, to.y + by.y}, colour);
  }
}

namespace {

constexpr std::int64_t kLongest = std::int64_t{1} << 28;

// Of a line n steps long whose minor coordinate moves minor in all, the offset across after step
// i: the exact one rounded, halves up.
std::int64_t AcrossAt(std::int64_t i, std::int64_t minor, std::int64_t n) {
  return (2 * i * minor + n) / (2 * n);
}

// The first step whose offset across is at least q (q > 0, minor > 0).
std::int64_t FirstStepAcross(std::int64_t q, std::int64_t minor, std::int64_t n) {
  const std::int64_t numerator = 2 * n * q - n;  // 2 i minor >= numerator
  return (numerator + 2 * minor - 1) / (2 * minor);
}

// Colours steps pixels from pixels[at] on, a majorStep each, and a minorStep more whenever the
// remainder rest, growing by twiceMinor a step, reaches twiceN. The picture spends most of its
// time here, so there is no branch but the loop's: where the processor is emulated, as under
// Wine on other processors, each branch costs more than the arithmetic that replaces it (filling
// runs of pixels between the steps across was slower for it).
void Walk(std::uint32_t* pixels, std::ptrdiff_t at, std::int32_t steps, std::int32_t rest,
          std::int32_t twiceN, std::int32_t twiceMinor, std::ptrdiff_t majorStep,
          std::ptrdiff_t minorStep, std::uint32_t colour) {
  // The pixel's address as a number, which may step past the pixels after the last one without
  // forming a pointer there; one register fewer than an index and its base.
  std::uintptr_t address = reinterpret_cast<std::uintptr_t>(pixels + at);
  const auto majorBytes = static_cast<std::uintptr_t>(majorStep) * sizeof(std::uint32_t);
  const auto minorBytes = static_cast<std::uintptr_t>(minorStep) * sizeof(std::uint32_t);
#pragma GCC unroll 4
  for (; steps > 0; --steps) {
    *reinterpret_cast<std::uint32_t*>(address) = colour;
    rest += twiceMinor;
    const std::int32_t carry = ~((rest - twiceN) >> 31);  // all ones when rest >= twiceN
    rest -= twiceN & carry;
    address += majorBytes + (minorBytes & static_cast<std::uintptr_t>(carry));
  }
}

}  // namespace

void PixelCanvas::ThinLine(PlotPoint from, PlotPoint to, std::uint32_t colour) {
  const auto inside = [this](PlotPoint point) {
    return static_cast<unsigned>(point.x) < static_cast<unsigned>(width_) &&
           static_cast<unsigned>(point.y) < static_cast<unsigned>(height_);
  };
  if (inside(from) && inside(to)) {
    // Most lines: nothing to clip, and small enough for plain ints.
    const int dx = to.x - from.x;
    const int dy = to.y - from.y;
    const bool alongX = std::abs(dx) >= std::abs(dy);
    const int n = alongX ? std::abs(dx) : std::abs(dy);
    if (n == 0) return;
    const int minor = alongX ? std::abs(dy) : std::abs(dx);
    const auto stride = static_cast<std::ptrdiff_t>(stride_);
    const std::ptrdiff_t stepX = dx > 0 ? 1 : -1;
    const std::ptrdiff_t stepY = dy > 0 ? stride : -stride;
    Walk(pixels_, static_cast<std::ptrdiff_t>(from.y) * stride + from.x, n, n, 2 * n, 2 * minor,
         alongX ? stepX : stepY, alongX ? stepY : stepX, colour);
    return;
  }
  // Step along the major direction; only the steps that land inside the pixels are walked, with
  // the offset across kept as a remainder, as the midpoint rule does.
  const std::int64_t dx = static_cast<std::int64_t>(to.x) - from.x;
  const std::int64_t dy = static_cast<std::int64_t>(to.y) - from.y;
  const bool alongX = std::abs(dx) >= std::abs(dy);
  const std::int64_t n = alongX ? std::abs(dx) : std::abs(dy);
  if (n == 0) return;
  if (n > kLongest) {
    // Lines this long come in halves, which keeps the arithmetic below within its integers.
    const PlotPoint middle{static_cast<int>(from.x + dx / 2), static_cast<int>(from.y + dy / 2)};
    ThinLine(from, middle, colour);
    ThinLine(middle, to, colour);
    return;
  }
  const std::int64_t minor = alongX ? std::abs(dy) : std::abs(dx);
  const bool majorUp = (alongX ? dx : dy) > 0;
  const bool minorUp = (alongX ? dy : dx) > 0;
  const std::int64_t majorStart = alongX ? from.x : from.y;
  const std::int64_t minorStart = alongX ? from.y : from.x;
  const std::int64_t majorSize = alongX ? width_ : height_;
  const std::int64_t minorSize = alongX ? height_ : width_;
  // Steps whose major coordinate lies in [0, majorSize)...
  std::int64_t first =
      std::max<std::int64_t>(0, majorUp ? -majorStart : majorStart - majorSize + 1);
  std::int64_t last = std::min(n - 1, majorUp ? majorSize - 1 - majorStart : majorStart);
  // ...and whose offset across keeps the minor coordinate in [0, minorSize).
  const std::int64_t lowest = minorUp ? -minorStart : minorStart - minorSize + 1;
  const std::int64_t highest = minorUp ? minorSize - 1 - minorStart : minorStart;
  if (highest < 0 || lowest > highest) return;
  if (minor == 0) {
    if (lowest > 0) return;
  } else {
    // Divisions only for lines that leave the pixels across.
    if (lowest > 0) first = std::max(first, FirstStepAcross(lowest, minor, n));
    if (minor > highest) last = std::min(last, FirstStepAcross(highest + 1, minor, n) - 1);
  }
  if (first > last) return;
  const std::int64_t across = first == 0 ? 0 : AcrossAt(first, minor, n);
  const std::int64_t x =
      alongX ? majorStart + (majorUp ? first : -first) : minorStart + (minorUp ? across : -across);
  const std::int64_t y =
      alongX ? minorStart + (minorUp ? across : -across) : majorStart + (majorUp ? first : -first);
  const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(stride_);
  const std::ptrdiff_t majorStep = (alongX ? 1 : stride) * (majorUp ? 1 : -1);
  const std::ptrdiff_t minorStep = (alongX ? stride : 1) * (minorUp ? 1 : -1);
  // Below 2^30: lines are at most kLongest steps long.
  const auto twiceN = static_cast<std::int32_t>(2 * n);
  const auto twiceMinor = static_cast<std::int32_t>(2 * minor);
  const auto rest = static_cast<std::int32_t>(first == 0 ? n : (2 * first * minor + n) % (2 * n));
  Walk(pixels_, static_cast<std::ptrdiff_t>(y) * stride + static_cast<std::ptrdiff_t>(x),
       static_cast<std::int32_t>(last - first + 1), rest, twiceN, twiceMinor, majorStep, minorStep,
       colour);
}

namespace {

// Points as offsets from the first, the shape that copies share.
std::vector<PlotPoint> ShapeOf(const PlotPoint* points, std::size_t count) {
  std::vector<PlotPoint> shape;
  for (std::size_t k = 0; k < count; ++k) {
    shape.push_back({points[k].x - points[0].x, points[k].y - points[0].y});
  }
  return shape;
}

bool SameShape(const std::vector<PlotPoint>& shape, const PlotPoint* points, std::size_t count) {
  return count == shape.size() &&
         std::equal(points, points + count, shape.begin(), [&](PlotPoint a, PlotPoint b) {
           return a.x - points[0].x == b.x && a.y - points[0].y == b.y;
         });
}

std::int64_t Cross(PlotPoint a, PlotPoint b, std::int64_t x, std::int64_t y) {
  return (static_cast<std::int64_t>(b.x) - a.x) * (y - a.y) -
         (static_cast<std::int64_t>(b.y) - a.y) * (x - a.x);
}

}  // namespace

void PixelCanvas::FillConvex(const PlotPoint* corners, std::size_t count, std::uint32_t colour) {
  if (count == 0) return;
  const PlotPoint first{corners[0].x + origin_.x, corners[0].y + origin_.y};
  if (!SameShape(stampCorners_, corners, count)) {
    // The shape's rows, from its first corner, worked out once for every copy of it.
    stampCorners_ = ShapeOf(corners, count);
    std::int64_t twiceArea = 0;
    int left = 0, right = 0, top = 0, bottom = 0;
    for (std::size_t k = 0; k < count; ++k) {
      const PlotPoint a = stampCorners_[k];
      const PlotPoint b = stampCorners_[(k + 1) % count];
      twiceArea += static_cast<std::int64_t>(a.x) * b.y - static_cast<std::int64_t>(b.x) * a.y;
      left = std::min(left, a.x);
      right = std::max(right, a.x);
      top = std::min(top, a.y);
      bottom = std::max(bottom, a.y);
    }
    const int turn = twiceArea > 0 ? 1 : twiceArea < 0 ? -1 : 0;
    stamp_.clear();
    if (turn == 0 || right - left > 256 || bottom - top > 256) {
      // No area, or larger than any mark: its edges.
      stampCorners_.clear();
      for (std::size_t k = 0; k < count; ++k) {
        const PlotPoint a = corners[k];
        const PlotPoint b = corners[(k + 1) % count];
        ThinLine({a.x + origin_.x, a.y + origin_.y}, {b.x + origin_.x, b.y + origin_.y}, colour);
        Put(a.x + origin_.x, a.y + origin_.y, colour);
      }
      return;
    }
    for (int y = top; y <= bottom; ++y) {
      int from = right + 1, to = left - 1;
      for (int x = left; x <= right; ++x) {
        bool inside = true;
        for (std::size_t k = 0; k < count && inside; ++k) {
          inside = Cross(stampCorners_[k], stampCorners_[(k + 1) % count], x, y) * turn >= 0;
        }
        if (inside) {
          from = std::min(from, x);
          to = std::max(to, x);
        }
      }
      if (from <= to) stamp_.push_back({y, from, to});
    }
  }
  for (const Span& span : stamp_) {
    const std::int64_t y = static_cast<std::int64_t>(first.y) + span.dy;
    if (y < 0 || y >= height_) continue;
    const auto from = std::max<std::int64_t>(0, static_cast<std::int64_t>(first.x) + span.left);
    const auto to =
        std::min<std::int64_t>(width_ - 1, static_cast<std::int64_t>(first.x) + span.right);
    if (from > to) continue;
    std::uint32_t* row = pixels_ + static_cast<std::size_t>(y) * stride_;
    std::fill(row + from, row + to + 1, colour);
  }
}

bool PixelCanvas::KeepRing(const PlotPoint* points, std::size_t count, int penWidth) {
  if (penWidth == ringPen_ && SameShape(ringShape_, points, count)) return true;
  constexpr int kLargest = 32;  // larger polylines are drawn as they come
  for (std::size_t k = 1; k < count; ++k) {
    if (std::abs(points[k].x - points[0].x) > kLargest ||
        std::abs(points[k].y - points[0].y) > kLargest) {
      return false;
    }
  }
  // Drawn once into pixels of its own, about its first point, and read back.
  ringShape_ = ShapeOf(points, count);
  ringPen_ = penWidth;
  const int reach = kLargest + penWidth;
  const int side = 2 * reach + 1;
  std::vector<std::uint32_t> scratch(static_cast<std::size_t>(side) *
                                     static_cast<std::size_t>(side));
  PixelCanvas drawn(scratch.data(), side, side, side, {reach, reach});
  for (std::size_t k = 0; k + 1 < count; ++k) {
    drawn.Line(ringShape_[k], ringShape_[k + 1], 1, penWidth);
  }
  ringPixels_.clear();
  ringBox_ = {side, side, -side, -side};
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      if (scratch[static_cast<std::size_t>(y * side + x)] == 0) continue;
      const PlotPoint at{x - reach, y - reach};
      ringPixels_.push_back(at);
      ringBox_ = {std::min(ringBox_.left, at.x), std::min(ringBox_.top, at.y),
                  std::max(ringBox_.right, at.x), std::max(ringBox_.bottom, at.y)};
    }
  }
  return true;
}

void PixelCanvas::Polyline(const PlotPoint* points, std::size_t count, std::uint32_t colour,
                           int penWidth) {
  if (count < 2) return;
  // A ring is many short lines, copied; a tick or a head is two lines, a shaft one.
  if (count < 4 || !KeepRing(points, count, penWidth)) {
    for (std::size_t k = 0; k + 1 < count; ++k) Line(points[k], points[k + 1], colour, penWidth);
    return;
  }
  const int x = points[0].x + origin_.x;
  const int y = points[0].y + origin_.y;
  if (x + ringBox_.left >= 0 && x + ringBox_.right < width_ && y + ringBox_.top >= 0 &&
      y + ringBox_.bottom < height_) {
    std::uint32_t* at =
        pixels_ + static_cast<std::size_t>(y) * stride_ + static_cast<std::size_t>(x);
    const auto stride = static_cast<std::ptrdiff_t>(stride_);
    for (const PlotPoint pixel : ringPixels_) at[pixel.y * stride + pixel.x] = colour;
  } else {
    for (const PlotPoint pixel : ringPixels_) Put(x + pixel.x, y + pixel.y, colour);
  }
}

void PixelCanvas::DrawGroup(const TPictureShapes::Group& group, std::uint32_t colour,
                            int penWidth) {
  std::size_t at = 0;
  for (const std::uint32_t length : group.lineLengths) {
    Polyline(group.lines.data() + at, length, colour, penWidth);
    at += length;
  }
  at = 0;
  for (const int corners : group.markCorners) {
    FillConvex(group.marks.data() + at, static_cast<std::size_t>(corners), colour);
    at += static_cast<std::size_t>(corners);
  }
}

}  // namespace kordane
