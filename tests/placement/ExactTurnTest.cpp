// The one rotation Replicate and Transform share: exact at quarter turns and, at the multiples of
// 30°, with the exact half, so that an offset landing on a half rounds away from zero.
#include <gtest/gtest.h>

#include <cstdint>

#include "placement/ExactTurn.h"

namespace kordane {
namespace {

TEST(ExactTurn, RoundsEachCoordinateOnceFromTheExactOffset) {
  struct Row {
    std::int64_t dx, dy, tenths, x, y;
  };
  const Row rows[] = {
      {3, -7, 900, 7, 3},           // quarter turns in integers
      {3, -7, -900, -7, -3},        // any sign of angle
      {1001, 0, 300, 867, 501},     // sin 30° is exactly 1/2: 500.5 → 501
      {-1001, 0, 300, -867, -501},  // halves away from zero below it too
      {1001, 0, 1200, -501, 867},   // cos 120° is exactly −1/2
      {0, 1001, 600, -867, 501},    // cos 60° likewise
      {1, 0, 2100, -1, -1},         // −0.866 and −0.5
      {1000, 0, 450, 707, 707},     // other angles from the sine
      {4'000'000'000, 0, 3300, 3'464'101'615, -2'000'000'000},
      // A hair inside a half, which an 80-bit product takes for the half itself.
      {-1'525'870'529, 2'629'855'327, 300, -2'636'370'304, 1'514'586'257},
      {4'168'755'811, 0, 300, 3'610'248'435, 2'084'377'906},  // a hair past a half
  };
  for (const Row& row : rows) {
    const TPoint64 turned = TExactTurn(row.tenths).Turned(row.dx, row.dy);
    EXPECT_EQ(turned.x, row.x) << row.dx << "," << row.dy << " by " << row.tenths;
    EXPECT_EQ(turned.y, row.y) << row.dx << "," << row.dy << " by " << row.tenths;
  }
}

}  // namespace
}  // namespace kordane
