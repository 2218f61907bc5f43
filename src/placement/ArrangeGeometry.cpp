#include "placement/ArrangeGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace kordane {

namespace {

constexpr std::int64_t kFullTurn = 3600;
constexpr std::int64_t kHalfTurn = 1800;

std::vector<std::size_t> Indices(std::size_t count) {
  std::vector<std::size_t> indices(count);
  std::iota(indices.begin(), indices.end(), std::size_t{0});
  return indices;
}

struct Bounds {
  std::int64_t minX = 0, maxX = 0, minY = 0, maxY = 0;
};

Bounds BoundsOf(std::span<const TMemberPlace> members) {
  Bounds bounds;
  if (members.empty()) return bounds;
  bounds.minX = bounds.maxX = members.front().x;
  bounds.minY = bounds.maxY = members.front().y;
  for (const TMemberPlace& member : members) {
    bounds.minX = std::min<std::int64_t>(bounds.minX, member.x);
    bounds.maxX = std::max<std::int64_t>(bounds.maxX, member.x);
    bounds.minY = std::min<std::int64_t>(bounds.minY, member.y);
    bounds.maxY = std::max<std::int64_t>(bounds.maxY, member.y);
  }
  return bounds;
}

// Halves rounded down, also below zero.
std::int64_t FloorHalf(std::int64_t sum) {
  return sum >= 0 ? sum / 2 : -((-sum + 1) / 2);
}

bool FromLeft(TGridCorner corner) {
  return corner == TGridCorner::TopLeft || corner == TGridCorner::BottomLeft;
}

bool FromTop(TGridCorner corner) {
  return corner == TGridCorner::TopLeft || corner == TGridCorner::TopRight;
}

// Where a member stays, turned when turning is on.
TMemberTarget Staying(const TMemberPlace& member, TTurnTo turn) {
  TMemberTarget target{member.x, member.y, false, std::nullopt};
  if (turn) target.rotation = NormalisedTenths(*turn);
  return target;
}

double Radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}

double Degrees(double radians) {
  return radians * 180.0 / std::numbers::pi;
}

// An angle in degrees brought into [0, 360).
double NormalisedDegrees(double degrees) {
  double result = std::fmod(degrees, 360.0);
  if (result < 0) result += 360.0;
  return result >= 360.0 ? 0.0 : result;
}

}  // namespace

std::int32_t NormalisedTenths(std::int64_t tenths) {
  std::int64_t result = tenths % kFullTurn;
  if (result < 0) result += kFullTurn;
  return static_cast<std::int32_t>(result);
}

std::int32_t DegreesToTenths(double degrees) {
  // The product rounds to the tenths typed (359.95 gives 3599.5), fmod is exact, and a remainder
  // below zero comes round before the half is rounded, so that -0.05 and 359.95 agree.
  double tenths = std::fmod(degrees * 10.0, static_cast<double>(kFullTurn));
  if (!std::isfinite(tenths)) return 0;
  if (tenths < 0) tenths += static_cast<double>(kFullTurn);
  const auto rounded = static_cast<std::int64_t>(std::floor(tenths + 0.5));
  return rounded >= kFullTurn ? 0 : static_cast<std::int32_t>(rounded);
}

std::vector<std::size_t> GridPositionOrder(std::span<const TMemberPlace> members,
                                           const TGridParams& params) {
  // Keys that grow in reading order from the corner.
  const std::int64_t xSign = FromLeft(params.start) ? 1 : -1;
  const std::int64_t ySign = FromTop(params.start) ? -1 : 1;
  std::vector<std::size_t> order = Indices(members.size());
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const std::int64_t ax = xSign * members[a].x, bx = xSign * members[b].x;
    const std::int64_t ay = ySign * members[a].y, by = ySign * members[b].y;
    if (params.columnsFirst) return ax != bx ? ax < bx : ay < by;
    return ay != by ? ay < by : ax < bx;
  });
  return order;
}

std::vector<std::size_t> AxisPositionOrder(std::span<const TMemberPlace> members,
                                           TArrangeAxis axis) {
  std::vector<std::size_t> order = Indices(members.size());
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return axis == TArrangeAxis::Horizontal ? members[a].x < members[b].x
                                            : members[a].y < members[b].y;
  });
  return order;
}

std::vector<std::size_t> CirclePositionOrder(std::span<const TMemberPlace> members,
                                             std::int64_t centreX, std::int64_t centreY,
                                             const TCircleParams& params) {
  std::vector<double> keys;
  keys.reserve(members.size());
  for (const TMemberPlace& member : members) {
    const double angle = Degrees(std::atan2(static_cast<double>(member.y - centreY),
                                            static_cast<double>(member.x - centreX)));
    const double fromStart =
        params.clockwise ? params.startDegrees - angle : angle - params.startDegrees;
    keys.push_back(NormalisedDegrees(fromStart));
  }
  std::vector<std::size_t> order = Indices(members.size());
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
  return order;
}

std::vector<TMemberTarget> GridTargets(std::span<const TMemberPlace> ordered,
                                       const TGridParams& params, TTurnTo turn) {
  std::vector<TMemberTarget> targets;
  const auto n = static_cast<std::int64_t>(ordered.size());
  if (n == 1) targets.push_back(Staying(ordered.front(), turn));
  if (n <= 1) return targets;

  const Bounds bounds = BoundsOf(ordered);
  const bool fromLeft = FromLeft(params.start);
  const bool fromTop = FromTop(params.start);
  const std::int64_t anchorX = fromLeft ? bounds.minX : bounds.maxX;
  const std::int64_t anchorY = fromTop ? bounds.maxY : bounds.minY;
  const std::int64_t stepX = fromLeft ? params.pitchX : -std::int64_t{params.pitchX};
  const std::int64_t stepY = fromTop ? -std::int64_t{params.pitchY} : params.pitchY;
  const std::int64_t columns = std::max<std::int64_t>(1, params.columns);
  const std::int64_t lineLength = params.columnsFirst ? (n + columns - 1) / columns : columns;

  targets.reserve(ordered.size());
  for (std::int64_t i = 0; i < n; ++i) {
    const std::int64_t line = i / lineLength;
    std::int64_t place = i % lineLength;
    if (params.snake && line % 2 == 1) place = lineLength - 1 - place;
    const std::int64_t column = params.columnsFirst ? line : place;
    const std::int64_t row = params.columnsFirst ? place : line;
    // Columns and pitches below 2^31 and members below 2^31 keep these products within 2^62.
    TMemberTarget target{anchorX + column * stepX, anchorY + row * stepY, true, std::nullopt};
    if (params.stagger && line % 2 == 1) {
      // Half a pitch the way the line grows from the corner, whichever way a snake runs it.
      if (params.columnsFirst) {
        target.y += stepY / 2;
      } else {
        target.x += stepX / 2;
      }
    }
    const TMemberPlace& member = ordered[static_cast<std::size_t>(i)];
    const bool odd = params.turnOddLines && line % 2 == 1;
    if (turn) {
      target.rotation = NormalisedTenths(*turn + (odd ? kHalfTurn : 0));
    } else if (odd) {
      target.rotation = NormalisedTenths(std::int64_t{member.rotation} + kHalfTurn);
    }
    targets.push_back(target);
  }
  if (params.keepFirst) {
    const std::int64_t dx = ordered.front().x - targets.front().x;
    const std::int64_t dy = ordered.front().y - targets.front().y;
    for (TMemberTarget& target : targets) {
      target.x += dx;
      target.y += dy;
    }
  }
  return targets;
}

std::vector<TMemberTarget> DistributeTargets(std::span<const TMemberPlace> ordered,
                                             std::size_t firstAtLow,
                                             const TDistributeParams& params, TTurnTo turn) {
  std::vector<TMemberTarget> targets;
  const auto n = static_cast<std::int64_t>(ordered.size());
  if (n == 1) targets.push_back(Staying(ordered.front(), turn));
  if (n <= 1) return targets;

  const bool horizontal = params.axis == TArrangeAxis::Horizontal;
  const Bounds bounds = BoundsOf(ordered);
  const std::int64_t lo = horizontal ? bounds.minX : bounds.minY;
  const std::int64_t span = (horizontal ? bounds.maxX : bounds.maxY) - lo;
  const TMemberPlace& lowEnd = ordered[std::min(firstAtLow, ordered.size() - 1)];
  targets.reserve(ordered.size());
  for (std::int64_t i = 0; i < n; ++i) {
    const TMemberPlace& member = ordered[static_cast<std::size_t>(i)];
    // lo + i × span / (n − 1), halves rounded up; span < 2^32 and i < 2^31 keep this in range.
    const std::int64_t along = lo + (2 * i * span + (n - 1)) / (2 * (n - 1));
    const std::int64_t across =
        horizontal ? (params.lineUp ? lowEnd.y : member.y) : (params.lineUp ? lowEnd.x : member.x);
    TMemberTarget target{horizontal ? along : across, horizontal ? across : along, true,
                         std::nullopt};
    if (turn) target.rotation = NormalisedTenths(*turn);
    targets.push_back(target);
  }
  return targets;
}

std::vector<TMemberTarget> AlignTargets(std::span<const TMemberPlace> ordered,
                                        const TAlignParams& params, TTurnTo turn) {
  std::vector<TMemberTarget> targets;
  if (ordered.size() == 1) targets.push_back(Staying(ordered.front(), turn));
  if (ordered.size() <= 1) return targets;

  const bool horizontal = params.axis == TArrangeAxis::Horizontal;
  const Bounds bounds = BoundsOf(ordered);
  const std::int64_t low = horizontal ? bounds.minY : bounds.minX;
  const std::int64_t high = horizontal ? bounds.maxY : bounds.maxX;
  std::int64_t line = FloorHalf(low + high);
  // Top is the largest Y; left the smallest X.
  if (params.edge == TAlignEdge::TopOrLeft) line = horizontal ? high : low;
  if (params.edge == TAlignEdge::BottomOrRight) line = horizontal ? low : high;
  targets.reserve(ordered.size());
  for (const TMemberPlace& member : ordered) {
    TMemberTarget target{horizontal ? member.x : line, horizontal ? line : member.y, true,
                         std::nullopt};
    if (turn) target.rotation = NormalisedTenths(*turn);
    targets.push_back(target);
  }
  return targets;
}

std::int64_t NearestOnGrid(std::int64_t value, std::int64_t origin, std::int64_t step) {
  // Both differences stay below 2^33 and the steps below 2^31: nothing here overflows.
  const std::int64_t from = value - origin;
  const std::int64_t k =
      from >= 0 ? (2 * from + step) / (2 * step) : -((-2 * from + step) / (2 * step));
  return origin + k * step;
}

std::vector<TMemberTarget> SnapTargets(std::span<const TMemberPlace> members,
                                       const TSnapParams& params, TTurnTo turn) {
  std::vector<TMemberTarget> targets;
  targets.reserve(members.size());
  for (const TMemberPlace& member : members) {
    TMemberTarget target{NearestOnGrid(member.x, params.originX, params.gridX),
                         NearestOnGrid(member.y, params.originY, params.gridY), true, std::nullopt};
    target.move = target.x != member.x || target.y != member.y;
    if (turn) target.rotation = NormalisedTenths(*turn);
    targets.push_back(target);
  }
  return targets;
}

TPoint64 SelectionCentre(std::span<const TMemberPlace> members) {
  const Bounds bounds = BoundsOf(members);
  return {FloorHalf(bounds.minX + bounds.maxX), FloorHalf(bounds.minY + bounds.maxY)};
}

std::int64_t RingRadius(const TCircleParams& params, std::size_t ring) {
  return std::int64_t{params.radius} + static_cast<std::int64_t>(ring) * params.ringStep;
}

namespace {

// Millionths of a degree: exact for any angle typed with up to six decimals.
constexpr std::int64_t kMicroPerDegree = 1'000'000;
constexpr std::int64_t kMicroPerTenth = kMicroPerDegree / 10;

std::int64_t MicroDegrees(double degrees) {
  return std::llround(std::fmod(degrees, 360.0) * static_cast<double>(kMicroPerDegree));
}

// Floor of a / b for b > 0.
std::int64_t FloorDivide(std::int64_t a, std::int64_t b) {
  const std::int64_t quotient = a / b;
  return a % b < 0 ? quotient - 1 : quotient;
}

// Slot i of `count` turned with the circle, in tenths: the start, the offset and i shares of the
// span make one fraction, divided once, so that a slot exactly halfway between two tenths rounds
// up as every other angle does, not by what floating point made of i × 360 / count.
std::int32_t SlotTenths(const TCircleParams& params, std::size_t i, std::size_t count) {
  const bool full = params.spanDegrees >= 360.0;
  const std::int64_t span = full ? 360 * kMicroPerDegree : MicroDegrees(params.spanDegrees);
  const auto shares = static_cast<std::int64_t>(full ? std::max<std::size_t>(count, 1)
                                                     : std::max<std::size_t>(count, 2) - 1);
  const std::int64_t sign = params.clockwise ? -1 : 1;
  // Below 2^31 × shares, with shares far below 2^32 parts: no overflow.
  const std::int64_t numerator =
      (MicroDegrees(params.startDegrees) + MicroDegrees(params.offsetDegrees)) * shares +
      sign * static_cast<std::int64_t>(i) * span;
  const std::int64_t denominator = shares * kMicroPerTenth;
  return NormalisedTenths(FloorDivide(2 * numerator + denominator, 2 * denominator));
}

}  // namespace

std::vector<std::vector<TMemberTarget>> CircleTargets(
    std::span<const std::vector<TMemberPlace>> groups, TPoint64 centre, const TCircleParams& params,
    TTurnTo turn) {
  // The rings: each group on its own, or every group one after another on one ring.
  const bool oneRing = params.ringStep == 0;
  std::vector<std::vector<TMemberTarget>> targets(groups.size());
  const auto placeRing = [&](std::size_t ring, std::size_t firstGroup, std::size_t endGroup) {
    std::size_t m = 0;
    for (std::size_t g = firstGroup; g < endGroup; ++g) m += groups[g].size();
    const bool full = params.spanDegrees >= 360.0;
    const double step = full    ? 360.0 / static_cast<double>(std::max<std::size_t>(m, 1))
                        : m > 1 ? params.spanDegrees / static_cast<double>(m - 1)
                                : 0.0;
    const double sign = params.clockwise ? -1.0 : 1.0;
    const auto radius = static_cast<double>(RingRadius(params, ring));
    std::size_t i = 0;
    for (std::size_t g = firstGroup; g < endGroup; ++g) {
      for (std::size_t k = 0; k < groups[g].size(); ++k) {
        const double theta = params.startDegrees + sign * static_cast<double>(i) * step;
        const double radians = Radians(theta);
        TMemberTarget target{centre.x + std::llround(radius * std::cos(radians)),
                             centre.y + std::llround(radius * std::sin(radians)), true,
                             std::nullopt};
        if (params.turnWithCircle) {
          target.rotation = SlotTenths(params, i, m);
        } else if (turn) {
          target.rotation = NormalisedTenths(*turn);
        }
        targets[g].push_back(target);
        ++i;
      }
    }
  };
  if (oneRing) {
    placeRing(0, 0, groups.size());
  } else {
    for (std::size_t g = 0; g < groups.size(); ++g) placeRing(g, g, g + 1);
  }
  if (params.keepFirst && !groups.empty() && !groups.front().empty()) {
    // The rings share their centre: all of them move with it.
    const std::int64_t dx = groups.front().front().x - targets.front().front().x;
    const std::int64_t dy = groups.front().front().y - targets.front().front().y;
    for (std::vector<TMemberTarget>& ring : targets) {
      for (TMemberTarget& target : ring) {
        target.x += dx;
        target.y += dy;
      }
    }
  }
  return targets;
}

}  // namespace kordane
