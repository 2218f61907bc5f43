#include "placement/ExactTurn.h"

#include <cmath>
#include <numbers>

namespace kordane {

namespace {

// An unsigned 128-bit product, for comparing squares of 62-bit numbers without __int128, which
// 32-bit targets lack.
struct Wide {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
  friend auto operator<=>(const Wide&, const Wide&) = default;
};

Wide Product(std::uint64_t a, std::uint64_t b) {
  constexpr std::uint64_t kHalf = 0xFFFFFFFFu;
  const std::uint64_t aLow = a & kHalf, aHigh = a >> 32, bLow = b & kHalf, bHigh = b >> 32;
  const std::uint64_t lowLow = aLow * bLow;
  const std::uint64_t middle1 = aHigh * bLow + (lowLow >> 32);
  const std::uint64_t middle2 = aLow * bHigh + (middle1 & kHalf);
  return {aHigh * bHigh + (middle1 >> 32) + (middle2 >> 32), (middle2 << 32) | (lowLow & kHalf)};
}

Wide Tripled(Wide value) {
  const std::uint64_t low = value.low * 3;
  // The carry out of the low word: 3·low = low + 2·low, each sum's overflow counted.
  const std::uint64_t doubled = value.low << 1;
  const std::uint64_t carry = (value.low >> 63) + (doubled + value.low < doubled ? 1 : 0);
  return {value.high * 3 + carry, low};
}

// ⌊n·√3⌋ for 0 < n < 2^61: the one g with g² < 3n² < (g + 1)² (3n² is never a square).
std::uint64_t FloorRootThreeTimes(std::uint64_t n) {
  const Wide target = Tripled(Product(n, n));
  auto g =
      static_cast<std::uint64_t>(static_cast<long double>(n) * std::numbers::sqrt3_v<long double>);
  while (Product(g, g) > target) --g;
  while (Product(g + 1, g + 1) < target) ++g;
  return g;
}

// The multiples of 30° as halves: cos = (cosRoot·√3 + cosWhole)/2, sin = (sinRoot·√3 + sinWhole)/2.
struct Halves {
  std::int8_t cosRoot, cosWhole, sinRoot, sinWhole;
};
constexpr Halves kMultiplesOf30[12] = {
    {0, 2, 0, 0},  {1, 0, 0, 1},   {0, 1, 1, 0},   {0, 0, 0, 2},  {0, -1, 1, 0}, {-1, 0, 0, 1},
    {0, -2, 0, 0}, {-1, 0, 0, -1}, {0, -1, -1, 0}, {0, 0, 0, -2}, {0, 1, -1, 0}, {1, 0, 0, -1},
};

}  // namespace

std::int64_t RoundedHalfRootThree(std::int64_t a, std::int64_t b) {
  if (a == 0) return (b + (b < 0 ? -1 : 1)) / 2;  // an exact half goes away from zero
  // a·√3 is never whole, so (a·√3 + b)/2 is never a half: the nearest whole number is
  // ⌊(a·√3 + b + 1)/2⌋ = ⌊(⌊a·√3⌋ + b + 1)/2⌋.
  const std::uint64_t magnitude = FloorRootThreeTimes(a < 0 ? 0 - static_cast<std::uint64_t>(a)
                                                            : static_cast<std::uint64_t>(a));
  const std::int64_t floor =
      a > 0 ? static_cast<std::int64_t>(magnitude) : -static_cast<std::int64_t>(magnitude) - 1;
  return (floor + b + 1) >> 1;  // an arithmetic shift: the floor of the half
}

TExactTurn::TExactTurn(std::int64_t tenths) : angle_(NormalisedTenths(tenths)) {
  if (angle_ % 300 == 0) {
    const Halves& halves = kMultiplesOf30[angle_ / 300];
    exact_ = true;
    cosRoot_ = halves.cosRoot, cosWhole_ = halves.cosWhole;
    sinRoot_ = halves.sinRoot, sinWhole_ = halves.sinWhole;
    return;
  }
  const long double radians = angle_ * std::numbers::pi_v<long double> / 1800;
  cos_ = std::cos(radians);
  sin_ = std::sin(radians);
}

TPoint64 TExactTurn::Turned(std::int64_t dx, std::int64_t dy) const {
  if (exact_) {
    // x' = dx·cos − dy·sin and y' = dx·sin + dy·cos, each as (a·√3 + b)/2.
    return {RoundedHalfRootThree(dx * cosRoot_ - dy * sinRoot_, dx * cosWhole_ - dy * sinWhole_),
            RoundedHalfRootThree(dx * sinRoot_ + dy * cosRoot_, dx * sinWhole_ + dy * cosWhole_)};
  }
  const auto x = static_cast<long double>(dx);
  const auto y = static_cast<long double>(dy);
  return {static_cast<std::int64_t>(std::llround(x * cos_ - y * sin_)),
          static_cast<std::int64_t>(std::llround(x * sin_ + y * cos_))};
}

}  // namespace kordane
