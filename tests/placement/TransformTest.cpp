// Transform: the rules over the live picture (mirror, turn, pivot, move, the 32-bit limit and the
// refused parameters), and Swap places over the stand-in's design with its undo. Whole Transform
// runs are among the Arrange runs (ArrangeTest.cpp).
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "Board.h"
#include "MemoryHost.h"
#include "RecordingHost.h"
#include "Records.h"
#include "host/DbxLoader.h"
#include "host/DbxUtils.h"
#include "placement/Arrange.h"
#include "placement/SwapPlaces.h"
#include "placement/Undo.h"
#include "settings/ArrangeSettings.h"
#include "settings/MemoryProfile.h"

namespace kordane::testing {
namespace {

// The pivot of the selection's centre is (400, 200); lengths are in database units.
constexpr const char* kThree = "U1 0 0 0, R1 1001 0 900, C1 -200 400 300";

struct TransformRow {
  const char* name;
  // The choices as the settings file's keys, "Turn By=30|Pivot=1"; the rest as they start.
  const char* keys;
  // Each part's end "x y rotation", * where it is out of range; or what is refused.
  const char* ends;
  const char* parts = kThree;
};

void PrintTo(const TransformRow& row, std::ostream* out) {
  *out << row.name;
}

class TransformRules : public ::testing::TestWithParam<TransformRow> {};

TEST_P(TransformRules, HoldInThePicture) {
  DbUnits = kUnitsUnknown;
  fakes::MemoryProfile profile{{"Pattern", "8"}};
  std::istringstream keys(GetParam().keys);
  for (std::string pair; std::getline(keys, pair, '|');) {
    profile.values[pair.substr(0, pair.find('='))] = pair.substr(pair.find('=') + 1);
  }
  TSelectionHost memory(Records(GetParam().parts), kUnitsUnknown);
  const TPreview picture = MakeArrangePreview(memory, LoadArrangeChoices(profile));
  std::string ends = picture.failure;
  for (const TPreviewPart& part : picture.parts) {
    if (!picture.failure.empty()) break;
    ends += (ends.empty() ? "" : ", ") + std::to_string(part.toX) + " " + std::to_string(part.toY) +
            " " + std::to_string(part.toRotation) + (part.unplaced ? "*" : "");
  }
  EXPECT_EQ(ends, GetParam().ends);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, TransformRules,
    ::testing::Values(
        TransformRow{"NothingToDo", "", "0 0 0, 1001 0 900, -200 400 300"},
        TransformRow{"LeftToRightTurningTheParts", "Mirror=1",
                     "800 0 1800, -201 0 900, 1000 400 1500"},
        TransformRow{"LeftToRightKeepingTheAngles", "Mirror=1|Mirror Turns=0",
                     "800 0 0, -201 0 900, 1000 400 300"},
        TransformRow{"TopToBottomTurningTheParts", "Mirror=2",
                     "0 400 0, 1001 400 2700, -200 0 3300"},
        TransformRow{"TopToBottomKeepingTheAngles", "Mirror=2|Mirror Turns=0",
                     "0 400 0, 1001 400 900, -200 0 300"},
        TransformRow{"QuarterTurnAboutTheCentre", "Turn By=-270",
                     "600 -200 900, 600 801 1800, 200 -400 1200"},
        // sin 30° is exactly 1/2: R1 ends 500.5 up, rounded away from zero.
        TransformRow{"ThirtyAboutAPartNamedInAnyCase", "Turn By=30|Pivot=1|Pivot Part= u1 ",
                     "0 0 300, 867 501 1200, -373 246 600"},
        TransformRow{"HundredTwentyAboutAPoint", "Turn By=120|Pivot=2|Pivot X=1001",
                     "1502 -867 1200, 1001 0 2100, 1255 -1240 1500"},
        TransformRow{"MirrorThenTurnThenMove", "Mirror=1|Turn By=90|Move X=10|Move Y=-20",
                     "610 580 2700, 610 -421 1800, 210 780 2400"},
        TransformRow{"PastTheLargestCoordinateNotMoved", "Move X=2147483000",
                     "2147483000 0 0, 1001 0 900*, 2147482800 400 300"},
        TransformRow{"TurnByNotANumber", "Turn By=x", "Turn by must be a number of degrees"},
        TransformRow{"MoveNotANumber", "Move Y=", "Move Y must be a number"},
        TransformRow{"PivotPointOutOfRange", "Pivot=2|Pivot X=3e9", "Pivot X is out of range"},
        TransformRow{"PivotPartEmpty", "Pivot=1",
                     "Pivot part must be the designator of a selected part"},
        TransformRow{"PivotPartNotSelected", "Pivot=1|Pivot Part=Q7",
                     "Pivot part Q7 is not selected"},
        TransformRow{"PivotPartNamingTwo", "Pivot=1|Pivot Part=U1",
                     "Pivot part U1 names more than one selected part", "U1 0 0 0, u1 5 5 0"}));

TEST(TransformPicture, MarksThePivotAndSaysWhereItIs) {
  DbUnits = kUnitsMils;
  TArrangeChoices choices;
  choices.pattern = TArrangePattern::Transform;
  choices.turnByText = "15";
  TSelectionHost memory(Records("D1 0 0 0, D2 25400 5080 0"), kUnitsMils);
  const TPreview picture = MakeArrangePreview(memory, choices);
  ASSERT_TRUE(picture.pivot.has_value());
  EXPECT_EQ(std::pair(picture.pivot->x, picture.pivot->y), std::pair(12700, 2540));
  EXPECT_EQ(picture.summary, "2 components in 1 group: 2 moves, 2 rotations; pivot at (5, 1) mils");
}

// Swap places over the stand-in's design: two parts trade places and angles as one step; any
// other number changes nothing and says so.
TEST(SwapPlaces, TradesTwoPartsAsOneStepAndRefusesOtherCounts) {
  using standin::Item;
  const Item r1 = Item::Component("R1", 100, 200, 900);
  const Item c1 = Item::Component("C1", -300, 50, 450);
  const struct {
    std::vector<Item> items;
    std::vector<Item> swapped;  // empty: nothing changes
    const char* status;
  } rows[] = {
      {{r1, c1, Item::Component("U1", 1, 1, 0, false)},
       {Item::Component("R1", -300, 50, 450), Item::Component("C1", 100, 200, 900),
        Item::Component("U1", 1, 1, 0, false)},
       ""},
      {{r1}, {}, "Swap places needs exactly two selected components: 1 is selected"},
      {{r1, c1, Item::Component("U1", 1, 1, 0)},
       {},
       "Swap places needs exactly two selected components: 3 are selected"},
      {{Item::Component("R1", -2147483647, 0, 0), Item::Component("R2", 1, 0, 0)},
       {},
       "Swap places: R1 and R2 are too far apart for the host's coordinates"},
  };
  for (const auto& row : rows) {
    standin::Design design(row.items);
    standin::MemoryHost bound(design);
    DbxHost host(standin::MemoryHost::Api());
    Log log;
    RecordingView view(log);
    bool designOpen = false;
    TUndoHistory undo;
    undo.Run(host, kSwapPlacesStep,
             [&](IDbxCalls& recorded) { RunSwapPlaces(recorded, view, designOpen); });
    EXPECT_EQ(view.status, row.status);
    EXPECT_EQ(design.Items(), row.swapped.empty() ? row.items : row.swapped) << row.status;
    EXPECT_EQ(undo.UndoName(), row.swapped.empty() ? "" : "Swap places on 2 components");
    undo.Undo(host, view, designOpen);
    EXPECT_EQ(design.Items(), row.items) << "taken back";
  }
}

}  // namespace
}  // namespace kordane::testing
