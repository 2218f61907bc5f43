#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "RecordingHost.h"
#include "host/Conversions.h"
#include "host/DbxUtils.h"
#include "placement/PlacementRun.h"

namespace kordane {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::FakeDesign;
using ::testing::IsEmpty;
using testing::Log;
using testing::RecordingView;
using testing::Session;

constexpr std::int32_t kPitch = 200 * kDbPerMil;  // the default spacing text, in mils
constexpr std::int32_t kConnectionError = 32001;
constexpr std::int32_t kRotateError = 32010;
constexpr std::int32_t kMoveError = 32011;

// Every run, however it ends: no protocol slip, the connection closed, the cursor restored.
void ExpectCleanEnd(const Session& session) {
  EXPECT_THAT(session.design.violations, IsEmpty());
  EXPECT_FALSE(session.design.open) << "connection left open";
  EXPECT_FALSE(session.designOpen);
  ASSERT_FALSE(session.log.empty());
  EXPECT_EQ(session.log.front(), "wait");
  EXPECT_EQ(session.log.back(), "restore");
}

class PlacementRunTest : public ::testing::Test, public Session {
 protected:
  using Session::Run;

  void SetUp() override {
    DbUnits = kUnitsUnknown;
    SetDecimalSeparator('.');
  }
  void TearDown() override { ExpectCleanEnd(*this); }
};

TEST_F(PlacementRunTest, OneRunStepByStep) {
  design.AddComponent("R3", 900, 0);
  design.AddComponent("R1", 100, 0);
  design.AddComponent("R2", 500, 0);
  Run();
  EXPECT_THAT(log, ElementsAre("wait", "open", "status Connected", "info", "units mils", "first",
                               "next", "next", "next", "move R1 0 0",
                               "move R2 " + std::to_string(100 + kPitch - 500) + " 0",
                               "move R3 " + std::to_string(100 + 2 * kPitch - 900) + " 0", "close",
                               "status ", "restore"));
  EXPECT_EQ(DbUnits, kUnitsMils);
}

struct Placed {
  std::string refDes;
  std::int32_t x;
  std::int32_t y;
};

struct GeometryCase {
  const char* name;
  bool horizontal;
  TSortOrder order;
  const char* spacing;
  std::vector<Placed> before;
  std::vector<Placed> after;
};

TEST(PlacementGeometryTest, EndsInSlotsFromTheReferenceMember) {
  SetDecimalSeparator('.');
  const std::int32_t p = kPitch;
  const GeometryCase cases[] = {
      {"increasing",
       true,
       TSortOrder::Increasing,
       "200",
       {{"R3", 900, 0}, {"R1", 100, 0}, {"R2", 500, 0}},
       {{"R1", 100, 0}, {"R2", 100 + p, 0}, {"R3", 100 + 2 * p, 0}}},
      {"decreasing",
       true,
       TSortOrder::Decreasing,
       "200",
       {{"R3", 900, 0}, {"R1", 100, 0}, {"R2", 500, 0}},
       {{"R3", 100, 0}, {"R2", 100 + p, 0}, {"R1", 100 + 2 * p, 0}}},
      {"unchanged keeps the left-to-right sequence",
       true,
       TSortOrder::Unchanged,
       "200",
       {{"R1", 900, 0}, {"R2", 100, 0}, {"R3", 500, 0}},
       {{"R2", 100, 0}, {"R3", 100 + p, 0}, {"R1", 100 + 2 * p, 0}}},
      {"vertical takes the X of the lowest member",
       false,
       TSortOrder::Increasing,
       "200",
       {{"R1", 50, 700}, {"R2", 80, 300}, {"R3", 10, 900}},
       {{"R1", 80, 300}, {"R2", 80, 300 + p}, {"R3", 80, 300 + 2 * p}}},
      {"vertical unchanged orders by Y",
       false,
       TSortOrder::Unchanged,
       "200",
       {{"R1", 0, 700}, {"R2", 5, 300}},
       {{"R2", 5, 300}, {"R1", 5, 300 + p}}},
      {"negative pitch grows towards smaller coordinates",
       true,
       TSortOrder::Increasing,
       "-200",
       {{"R1", 100, 0}, {"R2", 500, 0}, {"R3", 900, 0}},
       {{"R1", 100, 0}, {"R2", 100 - p, 0}, {"R3", 100 - 2 * p, 0}}},
      {"pitch 0 stacks on the member with the smallest Y",
       true,
       TSortOrder::Increasing,
       "0",
       {{"R1", 100, 50}, {"R2", 300, 20}, {"R3", 500, 70}},
       {{"R1", 300, 20}, {"R2", 300, 20}, {"R3", 300, 20}}},
      {"the first of equally placed members is the reference",
       true,
       TSortOrder::Increasing,
       "200",
       {{"R2", 100, 9}, {"R1", 100, 5}, {"R3", 300, 0}},
       {{"R1", 100, 5}, {"R2", 100 + p, 5}, {"R3", 100 + 2 * p, 5}}},
      {"the reference member moves when it does not hold slot 0",
       true,
       TSortOrder::Increasing,
       "200",
       {{"R1", 500, 0}, {"R2", 100, 0}},
       {{"R1", 100, 0}, {"R2", 100 + p, 0}}},
      {"groups are placed independently",
       true,
       TSortOrder::Increasing,
       "200",
       {{"R2", 0, 10}, {"C1", 40, 70}, {"R1", 30, 99}, {"C2", 20, 50}},
       {{"R1", 0, 10}, {"R2", p, 10}, {"C1", 20, 50}, {"C2", 20 + p, 50}}},
  };
  for (const GeometryCase& c : cases) {
    SCOPED_TRACE(c.name);
    Session session;
    for (const Placed& part : c.before) {
      session.design.AddComponent(part.refDes, part.x, part.y);
    }
    session.inputs.horizontal = c.horizontal;
    session.inputs.order = c.order;
    session.inputs.spacingText = c.spacing;
    DbUnits = kUnitsUnknown;
    session.Run();
    for (const Placed& part : c.after) {
      SCOPED_TRACE(part.refDes);
      EXPECT_EQ(session.design.Part(part.refDes).x, part.x);
      EXPECT_EQ(session.design.Part(part.refDes).y, part.y);
    }
    EXPECT_EQ(session.design.moveCalls, static_cast<int>(c.before.size()));
    EXPECT_EQ(session.view.status, "");
    ExpectCleanEnd(session);
  }
}

TEST_F(PlacementRunTest, MemberAlreadyInItsSlotStillGetsAZeroMove) {
  inputs.order = TSortOrder::Unchanged;
  design.AddComponent("R1", 100 + kPitch, 7);
  design.AddComponent("R2", 100, 7);
  Run();
  EXPECT_THAT(Entries("move"), ElementsAre("move R2 0 0", "move R1 0 0"));
}

TEST_F(PlacementRunTest, RotatesByTheChangeToTheTarget) {
  inputs.rotateEnabled = true;
  inputs.spacingEnabled = false;
  view.rotationText = "90";
  design.AddComponent("R1", 0, 0, 450);
  design.AddComponent("R2", 0, 0, 900);
  design.AddComponent("R3", 0, 0, 2700);
  Run();
  EXPECT_THAT(Entries("rotate"), ElementsAre("rotate R1 450", "rotate R2 0", "rotate R3 -1800"));
  EXPECT_EQ(design.moveCalls, 0);
  EXPECT_EQ(view.status, "");
}

TEST_F(PlacementRunTest, RotationTextIsReadForEveryMemberInCapturedOrder) {
  inputs.rotateEnabled = true;
  view.queuedRotationTexts = {"180", "abc", " 45", "$10"};
  design.AddComponent("R2", 0, 0, 0);
  design.AddComponent("R1", 0, 0, 0);
  design.AddComponent("R4", 0, 0, 0);
  design.AddComponent("R3", 0, 0, 0);
  Run();
  EXPECT_EQ(view.rotationTextReads, 4);
  EXPECT_THAT(Entries("rotate"), ElementsAre("rotate R2 1800", "rotate R4 450", "rotate R3 160"));
  EXPECT_EQ(design.moveCalls, 4);
}

TEST_F(PlacementRunTest, RotationTextThatIsNotAnIntegerRotatesNothingButMoves) {
  inputs.rotateEnabled = true;
  view.rotationText = "90.5";
  design.AddComponent("R1", 10, 0, 0);
  design.AddComponent("R2", 20, 0, 0);
  EXPECT_EQ(RunForError(), "<none>");
  EXPECT_EQ(design.rotateCalls, 0);
  EXPECT_EQ(design.moveCalls, 2);
}

TEST_F(PlacementRunTest, RotationThatWouldOverflowSkipsThatMember) {
  inputs.rotateEnabled = true;
  inputs.spacingEnabled = false;
  view.queuedRotationTexts = {"214748365", "-214748364", "214748364", "214748364"};
  design.AddComponent("R1", 0, 0, 0);     // target beyond int32
  design.AddComponent("R2", 0, 0, 900);   // change below int32
  design.AddComponent("R3", 0, 0, -900);  // change beyond int32
  design.AddComponent("R4", 0, 0, 40);    // fits
  EXPECT_EQ(RunForError(), "<none>");
  EXPECT_THAT(Entries("rotate"), ElementsAre("rotate R4 2147483600"));
}

TEST_F(PlacementRunTest, EmptySelectionChangesNothing) {
  inputs.rotateEnabled = true;
  Run();
  EXPECT_THAT(log, ElementsAre("wait", "open", "status Connected", "info", "units mils", "first",
                               "close", "status ", "restore"));
}

TEST_F(PlacementRunTest, SelectionWithoutComponentsChangesNothing) {
  inputs.rotateEnabled = true;
  design.AddOtherItem(1);
  design.AddOtherItem(5);
  Run();
  EXPECT_EQ(design.rotateCalls + design.moveCalls, 0);
  EXPECT_EQ(view.status, "");
}

TEST_F(PlacementRunTest, OnlyComponentItemsAreCaptured) {
  design.AddOtherItem(3);
  design.AddComponent("R1", 10, 0);
  design.AddOtherItem(10);
  design.AddComponent("R2", 50, 0);
  Run();
  EXPECT_THAT(Entries("move"),
              ElementsAre("move R1 0 0", "move R2 " + std::to_string(kPitch - 40) + " 0"));
}

TEST_F(PlacementRunTest, UnitsComeFromTheDesignOnlyWhileUnknown) {
  DbUnits = kUnitsMm;
  inputs.spacingText = "1.5";
  design.units = kUnitsMils;
  design.AddComponent("R1", 0, 0);
  design.AddComponent("R2", 0, 0);
  Run();
  EXPECT_THAT(Entries("info"), IsEmpty());
  EXPECT_EQ(view.unitsLabel, "mm");
  EXPECT_EQ(design.Part("R2").x, 150000);
}

TEST_F(PlacementRunTest, UnknownUnitsCodeLeavesTheLabelAndConvertsPlainly) {
  design.units = 7;
  design.AddComponent("R1", 0, 0);
  design.AddComponent("R2", 0, 0);
  Run();
  EXPECT_EQ(DbUnits, 7);
  EXPECT_EQ(view.unitsLabel, "<untouched>");
  EXPECT_EQ(design.Part("R2").x, 200);
}

TEST_F(PlacementRunTest, RefusedDesignInfoLeavesTheUnitsUnknown) {
  design.FailAt("info", 0, 32004);
  design.AddComponent("R1", 0, 0);
  design.AddComponent("R2", 0, 0);
  Run();
  EXPECT_EQ(DbUnits, kUnitsUnknown);
  EXPECT_EQ(view.unitsLabel, "<untouched>");
  EXPECT_EQ(design.Part("R2").x, 200);
  EXPECT_EQ(view.status, "");
}

TEST_F(PlacementRunTest, FailedOpenKeepsItsTextAndStillConvertsTheSpacing) {
  design.FailAt("open", 0, kConnectionError);
  inputs.spacingText = "abc";
  inputs.spacingEnabled = false;
  EXPECT_EQ(RunForError(), "'abc' is not a valid floating point value");
  EXPECT_THAT(log, ElementsAre("wait", "open", "status Connection Error", "restore"));
  EXPECT_EQ(view.status, "Connection Error");
}

TEST_F(PlacementRunTest, FailedOpenWithGoodSpacingEndsQuietly) {
  design.FailAt("open", 0, 32105);
  design.AddComponent("R1", 0, 0);
  EXPECT_EQ(RunForError(), "<none>");
  EXPECT_THAT(log, ElementsAre("wait", "open", "status No Connection", "restore"));
}

TEST_F(PlacementRunTest, BadSpacingClosesTheConnectionBeforeAnyChange) {
  inputs.rotateEnabled = true;
  for (const char* spacing : {"abc", "", "   "}) {
    SCOPED_TRACE(spacing);
    log.clear();
    inputs.spacingText = spacing;
    design.AddComponent("R1", 0, 0, 450);
    EXPECT_EQ(RunForError(), "'" + std::string(spacing) + "' is not a valid floating point value");
    EXPECT_EQ(design.rotateCalls + design.moveCalls, 0);
    EXPECT_EQ(log[log.size() - 3], "close");
    EXPECT_EQ(view.status, "");
    EXPECT_FALSE(designOpen);
  }
}

TEST_F(PlacementRunTest, RefDesMessagesReachTheView) {
  design.AddComponent("U1A", 0, 0);
  Run();
  EXPECT_THAT(Entries("refdes"), ElementsAre("refdes Error converting RefDes: U1A",
                                             "refdes Error converting RefDes: U1A"));
  EXPECT_EQ(design.moveCalls, 1);
}

// Rotation comes before ordering: a host that rewrites designators as it turns the components is
// ordered, and reported on, by the designators it wrote.
TEST_F(PlacementRunTest, GroupsAreOrderedByTheDesignatorsTheHostWroteWhenRotating) {
  inputs.rotateEnabled = true;
  design.AddComponent("R1", 100, 0);
  design.AddComponent("R2", 500, 0);
  design.AddComponent("R3", 900, 0);
  design.renameOnRotate = {{"R1", "R30"}, {"R3", "R10"}};
  Run();
  EXPECT_THAT(Entries("rotate"), ElementsAre("rotate R1 0", "rotate R2 0", "rotate R3 0"));
  // R30 has the smallest X, so the row starts at its place.
  EXPECT_THAT(Entries("move"), ElementsAre("move R2 " + std::to_string(100 - 500) + " 0",
                                           "move R10 " + std::to_string(100 + kPitch - 900) + " 0",
                                           "move R30 " + std::to_string(2 * kPitch) + " 0"));
  EXPECT_THAT(Entries("refdes"), IsEmpty());
}

TEST_F(PlacementRunTest, RefDesMessagesFollowTheDesignatorsTheHostWroteWhenRotating) {
  inputs.rotateEnabled = true;
  design.AddComponent("R", 0, 0);  // reported twice while grouping, numbered when ordered
  design.AddComponent("R2", 0, 0);
  design.AddComponent("R7", 0, 0);
  design.AddComponent("R9", 0, 0);
  design.renameOnRotate = {{"R", "R5"}, {"R2", "R"}, {"R9", "R1"}};
  Run();
  const std::string message = "refdes Error converting RefDes: R";
  EXPECT_THAT(Entries("refdes"), ElementsAre(message, message, message, message));
  // Ordering R5, R, R7, R1 splits R when it is taken and when the walk placing R1 passes it.
  const auto lastRotate = std::find(log.begin(), log.end(), "rotate R9 0");
  ASSERT_NE(lastRotate, log.end());
  EXPECT_EQ(std::count(lastRotate, log.end(), message), 2);
  EXPECT_THAT(Entries("move"), ElementsAre("move R 0 0", "move R1 " + std::to_string(kPitch) + " 0",
                                           "move R5 " + std::to_string(2 * kPitch) + " 0",
                                           "move R7 " + std::to_string(3 * kPitch) + " 0"));
}

struct FailureCase {
  const char* operation;
  int index;
  std::int32_t status;
  int rotates;  // calls made
  int moves;
  std::string statusLine;  // at the end of the run
};

TEST(PlacementFailureTest, FailingHostCallsNeverStopTheCleanup) {
  SetDecimalSeparator('.');
  const FailureCase cases[] = {
      {"open", 0, kConnectionError, 0, 0, "Connection Error"},
      {"info", 0, 32003, 3, 3, ""},
      {"first", 0, 32168, 0, 0, ""},
      {"next", 0, 32102, 1, 1, ""},
      {"next", 1, -7, 2, 2, ""},
      {"rotate", 0, kRotateError, 3, 3, "Rotate Error (1 of 6 changes failed)"},
      {"rotate", 2, kRotateError, 3, 3, "Rotate Error (1 of 6 changes failed)"},
      {"move", 0, kMoveError, 3, 3, "Move Error (1 of 6 changes failed)"},
      {"move", 2, 99, 3, 3, "Status: 99 (1 of 6 changes failed)"},
      {"close", 0, 32002, 3, 3, ""},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(std::string(c.operation) + " " + std::to_string(c.index));
    Session session;
    session.design.AddComponent("R1", 0, 0);
    session.design.AddComponent("R2", 10, 0);
    session.design.AddComponent("R3", 20, 0);
    session.design.FailAt(c.operation, c.index, c.status);
    session.inputs.rotateEnabled = true;
    session.view.rotationText = "90";
    DbUnits = kUnitsUnknown;
    session.Run();
    EXPECT_EQ(session.design.rotateCalls, c.rotates);
    EXPECT_EQ(session.design.moveCalls, c.moves);
    EXPECT_EQ(session.view.status, c.statusLine);
    ExpectCleanEnd(session);
  }
}

TEST_F(PlacementRunTest, FailureCountCoversEveryChange) {
  inputs.rotateEnabled = true;
  view.rotationText = "90";
  design.AddComponent("R1", 0, 0);
  design.AddComponent("R2", 10, 0);
  design.FailAt("rotate", 1, kRotateError);
  design.FailAt("move", 0, kMoveError);
  design.FailAt("move", 1, kMoveError);
  Run();
  EXPECT_EQ(view.status, "Rotate Error (3 of 4 changes failed)");
  // Shown after the connection's own clearing of the status line.
  EXPECT_THAT(Entries("status"), ElementsAre("status Connected", "status ",
                                             "status Rotate Error (3 of 4 changes failed)"));
}

TEST_F(PlacementRunTest, PitchBeyondInt32EndsTheRunAtTheSpacing) {
  inputs.spacingText = "1e9";
  inputs.spacingEnabled = false;
  inputs.rotateEnabled = true;
  design.AddComponent("R1", 0, 0);
  EXPECT_EQ(RunForError(), "Spacing '1e9' is out of range");
  EXPECT_EQ(design.rotateCalls + design.moveCalls, 0);
  EXPECT_EQ(view.status, "");
}

TEST_F(PlacementRunTest, SlotBeyondInt32EndsTheRunBeforeThatGroupMoves) {
  design.units = 7;  // plain database units
  inputs.spacingText = "2000000000";
  design.AddComponent("C1", 5, 0);
  design.AddComponent("R1", 0, 0);
  design.AddComponent("R2", 10, 0);
  design.AddComponent("R3", 20, 0);  // slot 2 lies at 4000000000
  design.FailAt("move", 0, kMoveError);
  EXPECT_EQ(RunForError(), "Spacing '2000000000' is out of range");
  EXPECT_THAT(Entries("move"), ElementsAre("move C1 0 0"));
  // The failed change of the earlier group is still told.
  EXPECT_EQ(view.status, "Move Error (1 of 1 changes failed)");
}

TEST_F(PlacementRunTest, MoveBeyondInt32EndsTheRunBeforeThatGroupMoves) {
  design.units = 7;
  inputs.spacingText = "-1000000000";
  design.AddComponent("R1", -1000000000, 0);
  design.AddComponent("R2", 2000000000, 0);  // slot at -2000000000 fits, the move does not
  EXPECT_EQ(RunForError(), "Spacing '-1000000000' is out of range");
  EXPECT_EQ(design.moveCalls, 0);
  EXPECT_EQ(view.status, "");
}

}  // namespace
}  // namespace kordane
