// Where the Arrange patterns put a group's members: pure functions of the members' present
// places, in the order chosen for them, and of the pattern's parameters. Everything is in integer
// database units (+Y up) and tenths of a degree; every slot is worked out on its own from the
// pattern's anchor, in 64 bits, so that nothing drifts. A slot that does not fit the host's 32-bit
// coordinates is still given here: the run decides what to do with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kordane {

// A member as it stands.
struct TMemberPlace {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t rotation = 0;  // tenths of a degree
};

// Where a member goes and the angle it is turned to.
struct TMemberTarget {
  std::int64_t x = 0;
  std::int64_t y = 0;
  bool move = true;                      // false: it stays where it is
  std::optional<std::int32_t> rotation;  // tenths, in [0, 3600); none: its angle is kept
  friend bool operator==(const TMemberTarget&, const TMemberTarget&) = default;
};

// The "Turn to" angle every member gets, in tenths, or none.
using TTurnTo = std::optional<std::int32_t>;

// An angle in tenths brought into [0, 3600).
std::int32_t NormalisedTenths(std::int64_t tenths);
// Degrees as the host's tenths: brought into [0°, 360°) first, then rounded to the nearest tenth,
// halves up, 360.0° being 0.0°. One rule whatever the sign or size (up to 10^9 degrees and more).
std::int32_t DegreesToTenths(double degrees);

enum class TArrangeAxis { Horizontal, Vertical };

enum class TGridCorner { TopLeft, TopRight, BottomLeft, BottomRight };

struct TGridParams {
  std::int64_t columns = 1;  // 1 or more
  std::int32_t pitchX = 1;   // greater than 0
  std::int32_t pitchY = 1;
  bool columnsFirst = false;  // a line is a column rather than a row
  TGridCorner start = TGridCorner::TopLeft;
  bool snake = false;         // every odd line runs backwards
  bool turnOddLines = false;  // every odd line gets 180° more
  bool stagger = false;       // every odd line half a pitch further along
  bool keepFirst = false;     // the first member stays where it is; the rest follow
};

struct TDistributeParams {
  TArrangeAxis axis = TArrangeAxis::Horizontal;
  bool lineUp = false;  // the other coordinate too, from the first member read at the low end
};

// Horizontal: Y to the group's top, centre or bottom; vertical: X to its left, centre or right.
enum class TAlignEdge { TopOrLeft, Centre, BottomOrRight };

struct TAlignParams {
  TArrangeAxis axis = TArrangeAxis::Horizontal;
  TAlignEdge edge = TAlignEdge::Centre;
};

struct TCircleParams {
  bool centreOfSelection = true;
  std::int32_t centreX = 0;  // used when not centreOfSelection
  std::int32_t centreY = 0;
  std::int32_t radius = 1;    // to the component origins
  std::int32_t ringStep = 0;  // added for each further group; 0: one ring for all groups
  double startDegrees = 0;    // 0 along +X, counter-clockwise positive
  double spanDegrees = 360;   // in (0, 360]
  bool clockwise = false;
  bool turnWithCircle = false;  // takes precedence over "Turn to"
  double offsetDegrees = 0;
  bool keepFirst = false;  // the centre moves so that the first member of the first ring stays
};

// Snap to grid: the grid through the origin, steps greater than 0.
struct TSnapParams {
  std::int32_t gridX = 1;
  std::int32_t gridY = 1;
  std::int32_t originX = 0;
  std::int32_t originY = 0;
};

// The orders "By position": indices into members, a stable sort (ties keep the given order).
// Grid: reading order from the start corner, across the lines first.
std::vector<std::size_t> GridPositionOrder(std::span<const TMemberPlace> members,
                                           const TGridParams& params);
// Distribute: ascending along the axis.
std::vector<std::size_t> AxisPositionOrder(std::span<const TMemberPlace> members,
                                           TArrangeAxis axis);
// Circle: the present angle around the centre, counted from the start angle in the chosen
// direction, in [0°, 360°).
std::vector<std::size_t> CirclePositionOrder(std::span<const TMemberPlace> members,
                                             std::int64_t centreX, std::int64_t centreY,
                                             const TCircleParams& params);

// The targets of one group, member for member, for members given in the chosen order. A group
// of one is turned and not moved.
std::vector<TMemberTarget> GridTargets(std::span<const TMemberPlace> ordered,
                                       const TGridParams& params, TTurnTo turn);
// firstAtLow: the index in ordered of the first member, in the order of reading, that sits at
// the low end along the axis (used by "Line up too").
std::vector<TMemberTarget> DistributeTargets(std::span<const TMemberPlace> ordered,
                                             std::size_t firstAtLow,
                                             const TDistributeParams& params, TTurnTo turn);
std::vector<TMemberTarget> AlignTargets(std::span<const TMemberPlace> ordered,
                                        const TAlignParams& params, TTurnTo turn);
// Each member to the nearest grid point, halves away from the origin; one on the grid stays.
std::vector<TMemberTarget> SnapTargets(std::span<const TMemberPlace> members,
                                       const TSnapParams& params, TTurnTo turn);
// The grid line nearest to value: origin + k × step, halves away from the origin.
std::int64_t NearestOnGrid(std::int64_t value, std::int64_t origin, std::int64_t step);

// The centre of the bounding box of every origin, halves rounded down; (0, 0) for none.
struct TPoint64 {
  std::int64_t x = 0;
  std::int64_t y = 0;
};
TPoint64 SelectionCentre(std::span<const TMemberPlace> members);

// The radius of ring g: radius + g × ring step (may come out at 0 or less: an error).
std::int64_t RingRadius(const TCircleParams& params, std::size_t ring);

// The targets of every group on its ring (or, with a ring step of 0, of all groups one after
// another on one ring), each group's members in its chosen order, groups in prefix order.
std::vector<std::vector<TMemberTarget>> CircleTargets(
    std::span<const std::vector<TMemberPlace>> groups, TPoint64 centre, const TCircleParams& params,
    TTurnTo turn);

}  // namespace kordane
