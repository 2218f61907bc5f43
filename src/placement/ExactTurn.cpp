#include "placement/ExactTurn.h"

#include <cmath>
#include <numbers>

namespace kordane {

namespace {
constexpr long double kHalfRootThree = std::numbers::sqrt3_v<long double> / 2;
}  // namespace

TExactTurn::TExactTurn(std::int64_t tenths) : angle_(NormalisedTenths(tenths)) {
  switch (angle_) {
    // Quarter turns are done in integers (Turned).
    case 0:
    case 900:
    case 1800:
    case 2700:
      break;
    case 300:
      cos_ = kHalfRootThree, sin_ = 0.5L;
      break;
    case 600:
      cos_ = 0.5L, sin_ = kHalfRootThree;
      break;
    case 1200:
      cos_ = -0.5L, sin_ = kHalfRootThree;
      break;
    case 1500:
      cos_ = -kHalfRootThree, sin_ = 0.5L;
      break;
    case 2100:
      cos_ = -kHalfRootThree, sin_ = -0.5L;
      break;
    case 2400:
      cos_ = -0.5L, sin_ = -kHalfRootThree;
      break;
    case 3000:
      cos_ = 0.5L, sin_ = -kHalfRootThree;
      break;
    case 3300:
      cos_ = kHalfRootThree, sin_ = -0.5L;
      break;
    default: {
      const long double radians = angle_ * std::numbers::pi_v<long double> / 1800;
      cos_ = std::cos(radians);
      sin_ = std::sin(radians);
    }
  }
}

TPoint64 TExactTurn::Turned(std::int64_t dx, std::int64_t dy) const {
  switch (angle_) {
    case 0:
      return {dx, dy};
    case 900:
      return {-dy, dx};
    case 1800:
      return {-dx, -dy};
    case 2700:
      return {dy, -dx};
    default:
      break;
  }
  // Offsets stay below 2^34: with a 64-bit mantissa a product by 1/2 is exact, and an irrational
  // one is never within the rounding's reach of a half.
  const auto x = static_cast<long double>(dx);
  const auto y = static_cast<long double>(dy);
  return {static_cast<std::int64_t>(std::llround(x * cos_ - y * sin_)),
          static_cast<std::int64_t>(std::llround(x * sin_ + y * cos_))};
}

}  // namespace kordane
