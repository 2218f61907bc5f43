// Turning an offset about a pivot by an angle in tenths of a degree, counter-clockwise with +Y up,
// as Replicate and Transform both do. Each coordinate is worked out from the exact offset and
// rounded once, halves away from zero. At the multiples of 30° the sine and cosine are 0, ±1/2,
// ±1 or ±√3/2, and a coordinate is (a·√3 + b)/2 for whole a and b: it is rounded in integers,
// exactly, so that one landing on a half rounds as the rule says and one a hair beside a half is
// not taken for it, however long the offset. Other angles use an 80-bit floating-point sine.
#pragma once

#include <cstdint>

#include "placement/ArrangeGeometry.h"

namespace kordane {

class TExactTurn {
 public:
  explicit TExactTurn(std::int64_t tenths);

  // Offsets up to 2^60 in size.
  TPoint64 Turned(std::int64_t dx, std::int64_t dy) const;
  std::int32_t Tenths() const { return angle_; }

 private:
  std::int32_t angle_;  // in [0, 3600)
  // At a multiple of 30°: cos = (cosRoot·√3 + cosWhole)/2 and sin likewise.
  bool exact_ = false;
  std::int8_t cosRoot_ = 0, cosWhole_ = 2, sinRoot_ = 0, sinWhole_ = 0;
  long double cos_ = 1;
  long double sin_ = 0;
};

// (a·√3 + b)/2 rounded to the nearest whole number, halves away from zero; a and b up to 2^60.
std::int64_t RoundedHalfRootThree(std::int64_t a, std::int64_t b);

}  // namespace kordane
