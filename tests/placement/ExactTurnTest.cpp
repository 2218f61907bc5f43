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
  };
  for (const Row& row : rows) {
    const TPoint64 turned = TExactTurn(row.tenths).Turned(row.dx, row.dy);
    EXPECT_EQ(turned.x, row.x) << row.dx << "," << row.dy << " by " << row.tenths;
    EXPECT_EQ(turned.y, row.y) << row.dx << "," << row.dy << " by " << row.tenths;
  }
}

}  // namespace
}  // namespace kordane
