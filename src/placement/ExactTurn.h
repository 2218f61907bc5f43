// Turning an offset about a pivot by an angle in tenths of a degree, counter-clockwise with +Y up,
// as Replicate and Transform both do. Exact at quarter turns; at any other angle each coordinate
// is worked out from the exact offset and rounded once, halves away from zero. Where the sine or
// cosine is exactly 0, ±1/2 or ±1 (the multiples of 30°) the exact value is used, so that an
// offset that lands exactly on a half rounds as the rule says and not by what the floating-point
// sine made of it.
#pragma once

#include <cstdint>

#include "placement/ArrangeGeometry.h"

namespace kordane {

class TExactTurn {
 public:
  explicit TExactTurn(std::int64_t tenths);

  TPoint64 Turned(std::int64_t dx, std::int64_t dy) const;
  std::int32_t Tenths() const { return angle_; }

 private:
  std::int32_t angle_;  // in [0, 3600)
  long double cos_ = 1;
  long double sin_ = 0;
};

}  // namespace kordane
