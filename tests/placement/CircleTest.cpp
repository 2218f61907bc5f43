// The circle: slots on full circles and arcs in both directions, concentric rings per group and
// one shared ring, the turn with the circle, the order by position across the start angle, and a
// ring at 0 or less (its other refused parameters are with the others in ArrangeTest). Expected
// slots are worked out by hand from the angle tables.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/Conversions.h"
#include "host/DbxUtils.h"
#include "placement/Arrange.h"
#include "placement/HostAdapters.h"

namespace kordane {
namespace {

struct Expected {
  std::int64_t x, y;
  std::optional<std::int32_t> rotation = std::nullopt;
};

struct CircleRow {
  const char* name;
  TCircleParams params;
  std::vector<std::size_t> groupSizes;
  std::vector<std::vector<Expected>> expected;  // about the centre (100, -200)
};

void PrintTo(const CircleRow& row, std::ostream* out) {
  *out << row.name;
}

TCircleParams Circle(double start, double span, bool clockwise, std::int32_t ringStep = 0,
                     bool turnWith = false, double offset = 0, bool keepFirst = false) {
  TCircleParams params;
  params.radius = 1000;
  params.ringStep = ringStep;
  params.startDegrees = start;
  params.spanDegrees = span;
  params.clockwise = clockwise;
  params.turnWithCircle = turnWith;
  params.offsetDegrees = offset;
  params.keepFirst = keepFirst;
  return params;
}

class CircleSlots : public ::testing::TestWithParam<CircleRow> {};

TEST_P(CircleSlots, SitAtTheirExactAngle) {
  const CircleRow& row = GetParam();
  std::vector<std::vector<TMemberPlace>> groups;
  for (const std::size_t size : row.groupSizes) groups.emplace_back(size, TMemberPlace{5, 5, 0});
  const auto targets = CircleTargets(groups, {100, -200}, row.params, {});
  ASSERT_EQ(targets.size(), row.expected.size());
  for (std::size_t g = 0; g < targets.size(); ++g) {
    ASSERT_EQ(targets[g].size(), row.expected[g].size());
    for (std::size_t i = 0; i < targets[g].size(); ++i) {
      SCOPED_TRACE(::testing::Message() << "group " << g << " member " << i);
      EXPECT_EQ(targets[g][i].x, 100 + row.expected[g][i].x);
      EXPECT_EQ(targets[g][i].y, -200 + row.expected[g][i].y);
      EXPECT_EQ(targets[g][i].rotation, row.expected[g][i].rotation);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rings, CircleSlots,
    ::testing::Values(
        CircleRow{"FullCounterClockwise",
                  Circle(0, 360, false),
                  {4},
                  {{{1000, 0}, {0, 1000}, {-1000, 0}, {0, -1000}}}},
        CircleRow{"FullClockwiseFrom90",
                  Circle(90, 360, true),
                  {3},
                  {{{0, 1000}, {866, -500}, {-866, -500}}}},
        CircleRow{"ArcEndsAtStartAndStartPlusSpan",
                  Circle(0, 180, false),
                  {3},
                  {{{1000, 0}, {0, 1000}, {-1000, 0}}}},
        CircleRow{"ClockwiseArc", Circle(45, 90, true), {2}, {{{707, 707}, {707, -707}}}},
        CircleRow{"OneMemberOnAnArcSitsAtTheStart", Circle(30, 120, false), {1}, {{{866, 500}}}},
        CircleRow{"RingPerGroup",
                  Circle(0, 360, false, 500),
                  {2, 2},
                  {{{1000, 0}, {-1000, 0}}, {{1500, 0}, {-1500, 0}}}},
        CircleRow{"OneRingSharedInPrefixOrder",
                  Circle(0, 360, false),
                  {1, 3},
                  {{{1000, 0}}, {{0, 1000}, {-1000, 0}, {0, -1000}}}},
        CircleRow{"TurnedWithTheCircleRoundedAndNormalised",
                  Circle(0, 360, false, 0, true, -22.46),
                  {4},
                  {{{1000, 0, 3375}, {0, 1000, 675}, {-1000, 0, 1575}, {0, -1000, 2475}}}},
        // Kept in place: every ring moves with the centre by (5, 5) − (1100, −200).
        CircleRow{"KeepFirstMovesEveryRing",
                  Circle(0, 360, false, 500, false, 0, true),
                  {2, 2},
                  {{{-95, 205}, {-2095, 205}}, {{405, 205}, {-2595, 205}}}},
        CircleRow{"KeepFirstOnOneRingTurnedWithIt",
                  Circle(90, 180, true, 0, true, 0, true),
                  {1, 2},
                  {{{-95, 205, 900}}, {{905, -795, 0}, {-95, -1795, 2700}}}}));

// Slots exactly half a tenth past a tenth: 95 × 360 / 608 = 56.25 and 11 × 45 / 132 = 3.75 (and
// −56.25, that is 303.75, clockwise) round up, as typed angles do.
TEST(CircleSlots, ExactHalvesOfATenthRoundUp) {
  struct Row {
    double span;
    bool clockwise;
    std::size_t count, slot;
    std::int32_t tenths;
  };
  for (const Row& row : {Row{360, false, 608, 95, 563}, Row{45, false, 133, 11, 38},
                         Row{360, true, 608, 95, 3038}}) {
    const std::vector<std::vector<TMemberPlace>> groups{std::vector<TMemberPlace>(row.count)};
    const auto targets =
        CircleTargets(groups, {0, 0}, Circle(0, row.span, row.clockwise, 0, true), {});
    EXPECT_EQ(targets[0][row.slot].rotation, row.tenths) << row.count << " slot " << row.slot;
  }
}

TEST(CircleOrder, ByPositionCountsFromTheStartAngleInTheChosenDirection) {
  // At 80°, 100°, 270° and 0° about the origin.
  const std::vector<TMemberPlace> members = {
      {174, 985, 0}, {-174, 985, 0}, {0, -1000, 0}, {1000, 0, 0}};
  EXPECT_EQ(CirclePositionOrder(members, 0, 0, Circle(90, 360, false)),
            (std::vector<std::size_t>{1, 2, 3, 0}));
  EXPECT_EQ(CirclePositionOrder(members, 0, 0, Circle(90, 360, true)),
            (std::vector<std::size_t>{0, 3, 2, 1}));
}

TEST(CircleParameters, ARingAtZeroOrLessIsNamedInThePicture) {
  DbUnits = kUnitsMils;
  std::vector<TDbxComponent> selection(3);
  const char* names[] = {"D1", "R1", "R2"};
  for (std::size_t i = 0; i < selection.size(); ++i) selection[i].SetRefDes(names[i]);
  TSelectionHost memory(selection, kUnitsMils);
  TArrangeChoices choices;
  choices.pattern = TArrangePattern::Circle;
  choices.radiusText = "100";
  choices.ringStepText = "-100";
  EXPECT_EQ(MakeArrangePreview(memory, choices).failure,
            "Ring step gives ring 2 a radius of 0 or less");
  choices.ringStepText = "-99.9";
  EXPECT_EQ(MakeArrangePreview(memory, choices).failure, "");
}

}  // namespace
}  // namespace kordane
