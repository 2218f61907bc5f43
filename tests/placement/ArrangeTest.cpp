// The Arrange patterns: each geometry against slots worked out by hand, the parameter rules, and
// whole runs over the stand-in's stateful design, whose result must be the live picture's and
// whose undo must bring the design back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Board.h"
#include "MemoryHost.h"
#include "RecordingHost.h"
#include "host/Conversions.h"
#include "host/DbxLoader.h"
#include "host/DbxUtils.h"
#include "placement/Arrange.h"
#include "placement/HostAdapters.h"
#include "placement/Undo.h"

namespace kordane::testing {
namespace {

using standin::Item;

struct Slot {
  std::int64_t x, y;
  std::optional<std::int32_t> rotation = std::nullopt;
};

std::vector<Slot> SlotsOf(const std::vector<TMemberTarget>& targets) {
  std::vector<Slot> slots;
  for (const TMemberTarget& target : targets)
    slots.push_back({target.x, target.y, target.rotation});
  return slots;
}

bool operator==(const Slot& a, const Slot& b) {
  return a.x == b.x && a.y == b.y && a.rotation == b.rotation;
}

void PrintTo(const Slot& slot, std::ostream* out) {
  *out << "(" << slot.x << ", " << slot.y
       << (slot.rotation ? " @" + std::to_string(*slot.rotation) : "") << ")";
}

// Five members spanning x 0..30 and y -10..40, in the chosen order; one is turned 90°.
const std::vector<TMemberPlace> kFive = {
    {0, 0, 0}, {5, 5, 900}, {30, -10, 0}, {3, 40, 0}, {7, 7, 0}};

struct GridRow {
  const char* name;
  TGridParams params;
  TTurnTo turn;
  std::vector<Slot> expected;
};

void PrintTo(const GridRow& row, std::ostream* out) {
  *out << row.name;
}

class GridSlots : public ::testing::TestWithParam<GridRow> {};

TEST_P(GridSlots, AreWorkedOutFromTheCorner) {
  EXPECT_EQ(SlotsOf(GridTargets(kFive, GetParam().params, GetParam().turn)), GetParam().expected);
}

using C = TGridCorner;
INSTANTIATE_TEST_SUITE_P(
    Patterns, GridSlots,
    ::testing::Values(
        GridRow{"RowsFromTopLeft",
                {2, 10, 20, false, C::TopLeft},
                {},
                {{0, 40}, {10, 40}, {0, 20}, {10, 20}, {0, 0}}},
        GridRow{"SnakeRowsRunBack",
                {2, 10, 20, false, C::TopLeft, true},
                {},
                {{0, 40}, {10, 40}, {10, 20}, {0, 20}, {0, 0}}},
        GridRow{"ColumnsFirstHoldCeilNOverC",
                {2, 10, 20, true, C::TopLeft},
                {},
                {{0, 40}, {0, 20}, {0, 0}, {10, 40}, {10, 20}}},
        GridRow{"SnakeColumnsUseTheFullLength",
                {2, 10, 20, true, C::TopLeft, true},
                {},
                {{0, 40}, {0, 20}, {0, 0}, {10, 0}, {10, 20}}},
        GridRow{"FromBottomRightGoLeftAndUp",
                {2, 10, 20, false, C::BottomRight},
                {},
                {{30, -10}, {20, -10}, {30, 10}, {20, 10}, {30, 30}}},
        GridRow{"FromTopRight",
                {3, 10, 20, false, C::TopRight},
                {},
                {{30, 40}, {20, 40}, {10, 40}, {30, 20}, {20, 20}}},
        GridRow{"OddRowsTurnedFromTheirOwnAngle",
                {1, 10, 20, false, C::BottomLeft, false, true},
                {},
                {{0, -10}, {0, 10, 2700}, {0, 30}, {0, 50, 1800}, {0, 70}}},
        GridRow{"OddRowsTurnedFromTurnToAndNormalised",
                {5, 10, 20, true, C::TopLeft, false, true},
                2700,
                {{0, 40, 2700}, {10, 40, 900}, {20, 40, 2700}, {30, 40, 900}, {40, 40, 2700}}},
        // Staggered: odd lines half a pitch further the way the line grows, rounded down.
        GridRow{"StaggerRowsFromTopLeft",
                {2, 10, 20, false, C::TopLeft, false, false, true},
                {},
                {{0, 40}, {10, 40}, {5, 20}, {15, 20}, {0, 0}}},
        GridRow{"StaggerOddPitchFromTopRight",
                {2, 11, 20, false, C::TopRight, false, false, true},
                {},
                {{30, 40}, {19, 40}, {25, 20}, {14, 20}, {30, 0}}},
        GridRow{"StaggerSnakeFromBottomLeft",
                {2, 10, 20, false, C::BottomLeft, true, false, true},
                {},
                {{0, -10}, {10, -10}, {15, 10}, {5, 10}, {0, 30}}},
        GridRow{"StaggerColumnsFromBottomRight",
                {2, 10, 20, true, C::BottomRight, false, false, true},
                {},
                {{30, -10}, {30, 10}, {30, 30}, {20, 0}, {20, 20}}},
        // Kept in place: the first member's slot is where it stands; the angles still follow.
        GridRow{"KeepFirstStaggeredAndTurned",
                {2, 10, 20, false, C::TopLeft, false, true, true, true},
                900,
                {{0, 0, 900}, {10, 0, 900}, {5, -20, 2700}, {15, -20, 2700}, {0, -40, 900}}}));

TEST(SnapSlots, GoToTheNearestPointHalvesAwayFromTheOrigin) {
  struct Row {
    TSnapParams params;
    TMemberPlace member;
    Slot expected;
  };
  const Row rows[] = {
      {{10, 10, 0, 0}, {5, -5, 0}, {10, -10, 0}},  // halves on both sides
      {{10, 10, 0, 0}, {4, -4, 0}, {0, 0, 0}},
      {{10, 20, 0, 0}, {-30, 40, 900}, {-30, 40, 0}},  // on the grid: not moved
      {{10, 4, 3, -1}, {8, -3, 0}, {13, -5, 0}},
      {{7, 7, -100, -100}, {-96, -104, 0}, {-93, -107, 0}},
      {{2, 1000000000, INT32_MIN, INT32_MAX},
       {INT32_MAX, INT32_MIN, 0},
       {2147483648, -1852516353, 0}},
  };
  for (const Row& row : rows) {
    const std::vector<TMemberTarget> targets = SnapTargets({&row.member, 1}, row.params, 0);
    EXPECT_EQ(SlotsOf(targets).at(0), row.expected);
    EXPECT_EQ(targets[0].move, row.expected.x != row.member.x || row.expected.y != row.member.y);
  }
  // In mm, 100000 database units each.
  TArrangeChoices choices;
  choices.pattern = TArrangePattern::Snap;
  choices.gridXText = "0.5";
  choices.gridYText = "1";
  choices.originXText = "-0.25";
  choices.originYText = "0.5";
  const TSnapParams snap = ParseArrangeChoices(choices, kUnitsMm).snap;
  const std::vector<TMemberPlace> members = {{0, 0, 0}, {-50000, 100000, 0}};
  EXPECT_EQ(SlotsOf(SnapTargets(members, snap, {})),
            (std::vector<Slot>{{25000, -50000}, {-75000, 150000}}));
}

TEST(GridSlots, ByPositionIsReadingOrderFromTheCorner) {
  // Two rows of two, read in a scrambled order; one tie keeps the order of reading.
  const std::vector<TMemberPlace> members = {
      {10, 0, 0}, {0, 10, 0}, {10, 10, 0}, {0, 0, 0}, {0, 0, 0}};
  EXPECT_EQ(GridPositionOrder(members, {2, 1, 1, false, C::TopLeft}),
            (std::vector<std::size_t>{1, 2, 3, 4, 0}));
  EXPECT_EQ(GridPositionOrder(members, {2, 1, 1, true, C::BottomRight}),
            (std::vector<std::size_t>{0, 2, 3, 4, 1}));
}

struct DistributeRow {
  const char* name;
  std::vector<std::int32_t> along;  // in the chosen order
  std::vector<std::int64_t> expected;
};

void PrintTo(const DistributeRow& row, std::ostream* out) {
  *out << row.name;
}

class DistributeSlots : public ::testing::TestWithParam<DistributeRow> {};

TEST_P(DistributeSlots, RoundHalvesUpFromTheLowEnd) {
  std::vector<TMemberPlace> members;
  for (const std::int32_t x : GetParam().along) members.push_back({x, x / 7, 0});
  std::vector<std::int64_t> xs;
  for (const TMemberTarget& target : DistributeTargets(members, 0, {}, {})) xs.push_back(target.x);
  EXPECT_EQ(xs, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Spans, DistributeSlots,
    ::testing::Values(DistributeRow{"Thirds", {0, 4, 5, 10}, {0, 3, 7, 10}},
                      DistributeRow{"HalfRoundsUp", {0, 0, 3}, {0, 2, 3}},
                      DistributeRow{"BelowZeroRoundsUpToo", {-5, -5, -2}, {-5, -3, -2}},
                      DistributeRow{"OrderDecidesTheSlots", {10, 0, 5}, {0, 5, 10}},
                      DistributeRow{
                          "FullRange", {INT32_MIN, 0, INT32_MAX}, {INT32_MIN, 0, INT32_MAX}}));

TEST(DistributeSlots, LineUpTakesTheFirstReadAtTheLowEndAndAGroupOfOneStays) {
  const std::vector<TMemberPlace> members = {{5, 1, 0}, {0, 2, 0}, {9, 3, 0}};
  const auto targets = DistributeTargets(members, 1, {TArrangeAxis::Horizontal, true}, {});
  EXPECT_EQ(SlotsOf(targets), (std::vector<Slot>{{0, 2}, {5, 2}, {9, 2}}));
  const std::vector<TMemberPlace> one = {{4, 4, 0}};
  const auto alone = DistributeTargets(one, 0, {}, 450);
  ASSERT_EQ(alone.size(), 1u);
  EXPECT_FALSE(alone[0].move);
  EXPECT_EQ(alone[0].rotation, 450);
}

TEST(AlignSlots, EdgesAndAFlooredCentre) {
  const std::vector<TMemberPlace> members = {{1, -3, 0}, {2, 0, 0}, {8, -1, 0}};
  const auto y = [&](TAlignEdge edge) {
    return AlignTargets(members, {TArrangeAxis::Horizontal, edge}, {})[2].y;
  };
  const auto x = [&](TAlignEdge edge) {
    return AlignTargets(members, {TArrangeAxis::Vertical, edge}, {})[1].x;
  };
  EXPECT_EQ(y(TAlignEdge::TopOrLeft), 0);
  EXPECT_EQ(y(TAlignEdge::Centre), -2) << "-1.5 rounded down";
  EXPECT_EQ(y(TAlignEdge::BottomOrRight), -3);
  EXPECT_EQ(x(TAlignEdge::TopOrLeft), 1);
  EXPECT_EQ(x(TAlignEdge::Centre), 4);
  EXPECT_EQ(x(TAlignEdge::BottomOrRight), 8);
  EXPECT_EQ(AlignTargets(members, {TArrangeAxis::Vertical, TAlignEdge::Centre}, {})[1].y, 0)
      << "the coordinate along the axis never changes";
}

struct ParseRow {
  const char* name;
  void (*change)(TArrangeChoices&);
  const char* message;
};

void PrintTo(const ParseRow& row, std::ostream* out) {
  *out << row.name;
}

class ArrangeParameters : public ::testing::TestWithParam<ParseRow> {};

TEST_P(ArrangeParameters, NameWhatIsNotValid) {
  DbUnits = kUnitsMils;
  TArrangeChoices choices;
  GetParam().change(choices);
  try {
    ParseArrangeChoices(choices);
    FAIL() << "accepted";
  } catch (const ConversionError& error) {
    EXPECT_STREQ(error.what(), GetParam().message);
  }
}

// Lengths kept in one unit and shown in a design of the other, as the main window's unit buttons
// convert: every length, a text that is no length left as it stands, unknown units taken as the
// design's.
TEST(ArrangeLengths, ConvertToTheDesignsUnits) {
  struct Row {
    std::int32_t from, to;
    const char* pitch;
    const char* shown;
  };
  const Row rows[] = {
      {kUnitsMils, kUnitsMm, "200", "5.08"},
      {kUnitsMm, kUnitsMils, "2.54", "100"},
      {kUnitsMils, kUnitsMils, "200.0004", "200.0004"},
      {kUnitsUnknown, kUnitsMm, "200", "200"},
      {kUnitsMils, kUnitsMm, "wide", "wide"},
      {kUnitsMils, kUnitsUnknown, "200", "200"},
  };
  for (const Row& row : rows) {
    TArrangeChoices choices;
    choices.lengthUnits = row.from;
    choices.pitchXText = row.pitch;
    choices.originYText = row.pitch;
    ConvertLengths(choices, row.to);
    EXPECT_EQ(choices.pitchXText, row.shown) << row.pitch << " from " << row.from;
    EXPECT_EQ(choices.originYText, row.shown) << "every length";
    EXPECT_EQ(choices.lengthUnits, row.to == kUnitsUnknown ? row.from : row.to);
  }
}

// Turning with the circle overrides "Turn to": its text plays no part and is not judged.
TEST(ArrangeParametersTurn, NotJudgedWhileTurningWithTheCircle) {
  DbUnits = kUnitsMils;
  TArrangeChoices choices;
  choices.pattern = TArrangePattern::Circle;
  choices.turnWithCircle = true;
  choices.turn = true;
  choices.turnText = "x";
  EXPECT_FALSE(ParseArrangeChoices(choices).turn);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ArrangeParameters,
    ::testing::Values(ParseRow{"ColumnsZero", [](TArrangeChoices& c) { c.columnsText = "0"; },
                               "Columns must be a whole number of 1 or more"},
                      ParseRow{"ColumnsDecimal", [](TArrangeChoices& c) { c.columnsText = "2.5"; },
                               "Columns must be a whole number of 1 or more"},
                      ParseRow{"ColumnsTooLarge",
                               [](TArrangeChoices& c) { c.columnsText = "99999999999"; },
                               "Columns is too large: at most 2147483647"},
                      ParseRow{"PitchXNegative", [](TArrangeChoices& c) { c.pitchXText = "-1"; },
                               "Pitch X must be a number greater than 0"},
                      ParseRow{"PitchYWord", [](TArrangeChoices& c) { c.pitchYText = "wide"; },
                               "Pitch Y must be a number greater than 0"},
                      ParseRow{"PitchTooLarge", [](TArrangeChoices& c) { c.pitchXText = "1e7"; },
                               "Pitch X is out of range"},
                      ParseRow{"PitchBelowOneUnit",
                               [](TArrangeChoices& c) { c.pitchYText = "0.0001"; },
                               "Pitch Y is too small for the design's units"},
                      ParseRow{"TurnToWhenChecked",
                               [](TArrangeChoices& c) {
                                 c.turn = true;
                                 c.turnText = "x";
                               },
                               "Turn to must be a number of degrees"},
                      ParseRow{"CircleRadiusZero",
                               [](TArrangeChoices& c) {
                                 c.pattern = TArrangePattern::Circle;
                                 c.radiusText = "0";
                               },
                               "Radius must be a number greater than 0"},
                      ParseRow{"CircleSpanZero",
                               [](TArrangeChoices& c) {
                                 c.pattern = TArrangePattern::Circle;
                                 c.spanText = "0";
                               },
                               "Span must be greater than 0 and at most 360"},
                      ParseRow{"CircleSpanPastAWholeTurn",
                               [](TArrangeChoices& c) {
                                 c.pattern = TArrangePattern::Circle;
                                 c.spanText = "360.01";
                               },
                               "Span must be greater than 0 and at most 360"},
                      ParseRow{"CircleCentreAtAWord",
                               [](TArrangeChoices& c) {
                                 c.pattern = TArrangePattern::Circle;
                                 c.centreAt = true;
                                 c.centreYText = "north";
                               },
                               "Centre Y must be a number"},
                      ParseRow{"SnapGridXZero",
                               [](TArrangeChoices& c) {
                                 c.pattern = TArrangePattern::Snap;
                                 c.gridXText = "0";
                               },
                               "Grid X must be a number greater than 0"}));

TEST(ArrangeParameters, OnlyTheChosenPatternsTextsCountAndAnglesRoundToTenths) {
  DbUnits = kUnitsMils;
  TArrangeChoices choices;
  choices.pattern = TArrangePattern::Align;
  choices.columnsText = "none";
  choices.turn = true;
  choices.turnText = "-22.46";
  EXPECT_EQ(ParseArrangeChoices(choices).turn, 3375);
  choices.pattern = TArrangePattern::Grid;
  choices.columnsText = "3";
  choices.pitchXText = "1.5";
  EXPECT_EQ(ParseArrangeChoices(choices).grid.pitchX, 3810);
  choices.pattern = TArrangePattern::Circle;
  choices.centreYText = "north";
  EXPECT_NO_THROW(ParseArrangeChoices(choices)) << "the point counts only with At";
}

TEST(ArrangeAngles, ComeIntoATurnFirstThenRoundHalvesUp) {
  DbUnits = kUnitsMils;
  // Each as Turn to, and as the Offset of a ring of 32 at its slot at 348.75°: the 31st
  // counter-clockwise and the 1st clockwise, at -11.25°.
  const struct {
    const char* degrees;
    std::int32_t tenths, ringTenths;
  } rows[] = {{"0", 0, 3488},
              {"0.05", 1, 3488},
              {"-0.05", 0, 3487},
              {"359.95", 0, 3487},
              {"-22.46", 3375, 3263},
              {"214748365", 850, 738},
              {"-214748365", 2750, 2638},
              {"1000000000", 2800, 2688},
              {"-1000000000", 800, 688}};
  const std::vector<std::vector<TMemberPlace>> ring(1, std::vector<TMemberPlace>(32));
  for (const auto& row : rows) {
    SCOPED_TRACE(row.degrees);
    TArrangeChoices choices;
    choices.turn = true;
    choices.turnText = row.degrees;
    choices.offsetText = row.degrees;
    EXPECT_EQ(ParseArrangeChoices(choices).turn, row.tenths);
    choices.pattern = TArrangePattern::Circle;
    choices.turnWithCircle = true;
    TCircleParams circle = ParseArrangeChoices(choices).circle;
    EXPECT_EQ(CircleTargets(ring, {}, circle, {})[0][31].rotation, row.ringTenths);
    circle.clockwise = true;
    EXPECT_EQ(CircleTargets(ring, {}, circle, {})[0][1].rotation, row.ringTenths) << "clockwise";
  }
}

// Whole runs over the stand-in's in-memory design.
std::vector<Item> Board() {
  std::vector<Item> items = {Item::Component("D4", 400000, 0, 0),
                             Item::Component("D1", 0, 0, 0),
                             Item::Component("D3", 300000, 25400, 900),
                             Item::Component("D2", 100000, 254000, 0),
                             Item::Other(3),
                             Item::Component("R2", -500000, 0, 1800),
                             Item::Component("R1", -520000, 300000, 0),
                             Item::Component("U1", 7, 7, 0),
                             Item::Component("TP", 9, 9, 0),
                             Item::Component("X9", 1, 1, 0, false)};
  return items;
}

struct RunRow {
  const char* name;
  void (*choose)(TArrangeChoices&);
};

void PrintTo(const RunRow& row, std::ostream* out) {
  *out << row.name;
}

class ArrangeRun : public ::testing::TestWithParam<RunRow> {
 protected:
  std::map<std::string, Item> Components() const {
    std::map<std::string, Item> byName;
    for (const Item& item : design.Items()) {
      if (item.IsComponent()) byName[item.refDes] = item;
    }
    return byName;
  }

  // The picture over the selection as read, as the window makes it.
  TPreview Picture(const TArrangeChoices& choices) {
    const TSelectionRead read = ReadSelection(host);
    TSelectionHost memory(read.components, read.units);
    return MakeArrangePreview(memory, choices);
  }

  standin::Design design{Board()};
  standin::MemoryHost bound{design};
  DbxHost host{standin::MemoryHost::Api()};
  Log log;
  RecordingView view{log};
  bool designOpen = false;
};

TEST_P(ArrangeRun, EndsWhereThePictureSaidAndUndoBringsItBack) {
  DbUnits = kUnitsUnknown;
  TArrangeChoices choices;
  GetParam().choose(choices);
  const std::map<std::string, Item> before = Components();

  // The picture over the selection as read, as the window makes it.
  const TSelectionRead read = ReadSelection(host);
  ASSERT_EQ(read.failure, "");
  ASSERT_EQ(read.components.size(), 8u);
  TSelectionHost memory(read.components, read.units);
  const TPreview picture = MakeArrangePreview(memory, choices);
  ASSERT_EQ(picture.failure, "");
  EXPECT_EQ(Components(), before) << "the picture changes nothing";

  TUndoHistory undo;
  undo.Run(host, ArrangeStepName(choices.pattern),
           [&](IDbxCalls& recorded) { RunArrange(recorded, choices, view, designOpen); });
  EXPECT_EQ(view.status, "");
  EXPECT_FALSE(design.IsOpen());
  const std::map<std::string, Item> after = Components();
  for (const TPreviewPart& part : picture.parts) {
    const Item& item = after.at(part.refDes);
    EXPECT_EQ(item.x, part.toX) << part.refDes;
    EXPECT_EQ(item.y, part.toY) << part.refDes;
    EXPECT_EQ(item.rotation, part.toRotation) << part.refDes;
  }
  EXPECT_EQ(after.at("X9"), before.at("X9")) << "not selected";
  if (choices.pattern == TArrangePattern::Snap) {
    EXPECT_EQ(std::pair(after.at("TP").x, after.at("TP").y), std::pair(63500, 0))
        << "a part without a number snaps too";
  } else if (choices.pattern != TArrangePattern::Circle &&
             choices.pattern != TArrangePattern::Transform) {
    EXPECT_EQ(after.at("U1").x, before.at("U1").x) << "a group of one is not moved";
    EXPECT_EQ(after.at("U1").y, before.at("U1").y);
  }

  if (choices.pattern == TArrangePattern::Replicate) {
    EXPECT_EQ(picture.summary,
              "3 channels copied from channel 1 (anchor D1): 1 move, 1 rotation; 1 part without "
              "a number or sharing a role");
    EXPECT_EQ(after.at("R2"), Item::Component("R2", -420000, 554000, 0)) << "R1's place by D1";
    EXPECT_NE(Picture(choices).summary.find(": 0 moves, 0 rotations"), std::string::npos)
        << "a second Apply changes nothing";
  }

  undo.Undo(host, view, designOpen);
  EXPECT_EQ(Components(), before);
}

INSTANTIATE_TEST_SUITE_P(Patterns, ArrangeRun,
                         ::testing::Values(RunRow{"GridSnakeTurned",
                                                  [](TArrangeChoices& c) {
                                                    c.columnsText = "2";
                                                    c.snake = true;
                                                    c.turnOddLines = true;
                                                    c.turn = true;
                                                    c.turnText = "45.04";
                                                  }},
                                           RunRow{"GridColumnsFirstByPositionDecimalPitch",
                                                  [](TArrangeChoices& c) {
                                                    c.order = TArrangeOrder::ByPosition;
                                                    c.columnsFirst = true;
                                                    c.start = TGridCorner::BottomRight;
                                                    c.pitchXText = "12.5";
                                                  }},
                                           RunRow{"DistributeDecreasingLinedUp",
                                                  [](TArrangeChoices& c) {
                                                    c.pattern = TArrangePattern::Distribute;
                                                    c.order = TArrangeOrder::Decreasing;
                                                    c.lineUp = true;
                                                  }},
                                           RunRow{"AlignVerticalRight",
                                                  [](TArrangeChoices& c) {
                                                    c.pattern = TArrangePattern::Align;
                                                    c.alignAxis = TArrangeAxis::Vertical;
                                                    c.alignEdge = TAlignEdge::BottomOrRight;
                                                  }},
                                           RunRow{"CircleRingsTurnedWithTheCircle",
                                                  [](TArrangeChoices& c) {
                                                    c.pattern = TArrangePattern::Circle;
                                                    c.ringStepText = "-100";
                                                    c.radiusText = "400";
                                                    c.spanText = "270";
                                                    c.clockwise = true;
                                                    c.turnWithCircle = true;
                                                    c.offsetText = "90";
                                                  }},
                                           RunRow{"ReplicatePairsAboutEachChannelsAnchor",
                                                  [](TArrangeChoices& c) {
                                                    c.pattern = TArrangePattern::Replicate;
                                                    c.blockSizeText = "1";
                                                    c.anchorText = "d1";
                                                  }},
                                           RunRow{"SnapToAnOffsetGridTurned",
                                                  [](TArrangeChoices& c) {
                                                    c.pattern = TArrangePattern::Snap;
                                                    c.gridYText = "50";
                                                    c.originXText = "25";
                                                    c.turn = true;
                                                    c.turnText = "90";
                                                  }},
                                           RunRow{"TransformMirroredTurnedAndMoved",
                                                  [](TArrangeChoices& c) {
                                                    c.pattern = TArrangePattern::Transform;
                                                    c.mirror = TMirror::TopToBottom;
                                                    c.turnByText = "30";
                                                    c.pivot = TPivot::Component;
                                                    c.pivotPartText = "d3";
                                                    c.moveXText = "-12.5";
                                                  }}));

TEST_F(ArrangeRun, ThePictureOfComponentsThatReadTheSameIsTheRuns) {
  // R1 and, a row below it, two R2 that read the same; every other row turned. In one column the
  // run turns one R2 and moves the other; in two from near the largest X, one R2's slot lies past
  // it and the other turns where it is.
  for (const auto& [x, columns] : {std::pair{0, "1"}, std::pair{2147483000, "2"}}) {
    design.Load({Item::Component("R1", x, 0, 0), Item::Component("R2", x, -254000, 0),
                 Item::Component("R2", x, -254000, 0)},
                standin::kUnitsMils, {});
    TArrangeChoices choices;
    choices.columnsText = columns;
    choices.turnOddLines = true;
    const TPreview pictures[] = {Picture(choices), MakeArrangePreview(host, choices)};
    std::vector<const Item*> unplaced;
    RunArrange(host, choices, view, designOpen,
               [&](const TDbxComponent& record) { unplaced.push_back(design.Find(&record)); });
    for (const TPreview& picture : pictures) {
      for (std::size_t i = 0; i < design.Items().size(); ++i) {
        const Item& item = design.Items()[i];
        const TPreviewPart& part = picture.parts.at(i);
        const bool crossed = std::count(unplaced.begin(), unplaced.end(), &item) == 1;
        EXPECT_EQ(std::tuple(part.toX, part.toY, part.toRotation, part.unplaced),
                  std::tuple(item.x, item.y, item.rotation, crossed))
            << columns << " column(s), part " << i;
      }
    }
  }
}

TEST_F(ArrangeRun, LengthsAreInTheDesignsUnitsWhateverTheMainWindowsButtonsDid) {
  design.Load({Item::Component("R1", 0, 0, 0), Item::Component("R2", 0, 0, 0)}, standin::kUnitsMm,
              {});
  DbUnits = kUnitsMils;  // Mils pressed in the main window
  TArrangeChoices choices;
  choices.columnsText = "2";
  choices.pitchXText = "2.54";
  const TPreview picture = Picture(choices);
  RunArrange(host, choices, view, designOpen);
  EXPECT_EQ(std::tuple(picture.parts[1].toX, picture.units, design.Items()[1].x, DbUnits),
            std::tuple(254000, kUnitsMm, 254000, kUnitsMils))
      << "2.54 mm in the picture, its scale bar and the run; the main window's spacing keeps mils";
}

TEST_F(ArrangeRun, SlotsOutsideTheHostsRangeAreMarkedCountedAndNotMoved) {
  design.Load({Item::Component("R1", 2147483000, 0, 0), Item::Component("R2", 2147483600, 5, 0)},
              standin::kUnitsMils, {});
  DbUnits = kUnitsUnknown;
  TArrangeChoices choices;
  choices.columnsText = "2";
  choices.pitchXText = "1";  // 2540 database units: past the largest coordinate
  const TPreview picture = MakeArrangePreview(host, choices);
  EXPECT_EQ(picture.summary,
            "2 components in 1 group: 1 move, 0 rotations; 1 out of range, not moved");
  EXPECT_FALSE(picture.parts[0].unplaced);
  EXPECT_TRUE(picture.parts[1].unplaced);
  RunArrange(host, choices, view, designOpen);
  EXPECT_EQ(Components().at("R2").x, 2147483600);
  EXPECT_EQ(Components().at("R2").y, 5);
  EXPECT_EQ(Components().at("R1").y, 5) << "moved onto the top row";
}

}  // namespace
}  // namespace kordane::testing
