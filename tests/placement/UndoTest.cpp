// Undo of the last run over the stand-in's in-memory design, a host that keeps state: after a
// run and its undo every component is back where it was, whatever the host refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "Board.h"
#include "MemoryHost.h"
#include "RecordingHost.h"
#include "host/DbxLoader.h"
#include "host/DbxUtils.h"
#include "placement/Undo.h"

namespace kordane::testing {
namespace {

using standin::Item;

// Counts the calls that reach the host.
class CountingHost final : public DbxCallsForwarder {
 public:
  using DbxCallsForwarder::DbxCallsForwarder;
  std::int32_t OpenDesign(std::int32_t dbType, std::int32_t timeout, const char* name,
                          TDbxContext* context) override {
    ++calls;
    return DbxCallsForwarder::OpenDesign(dbType, timeout, name, context);
  }
  std::int32_t RotateComponent(TDbxContext* context, std::int32_t angle,
                               std::int32_t* rotationPoint, TDbxComponent* component) override {
    ++calls;
    return DbxCallsForwarder::RotateComponent(context, angle, rotationPoint, component);
  }
  std::int32_t MoveComponent(TDbxContext* context, std::int32_t dx, std::int32_t dy,
                             TDbxComponent* component) override {
    ++calls;
    return DbxCallsForwarder::MoveComponent(context, dx, dy, component);
  }
  int calls = 0;
};

std::vector<Item> Scattered() {
  return {Item::Component("R3", 900000, 0, 0),         Item::Component("R1", 100000, 50000, 450),
          Item::Component("R2", 500000, -20000, 1800), Item::Component("C2", 0, 700000, 2700),
          Item::Component("C1", 200000, 500000, 900),  Item::Other(3),
          Item::Component("D1", -300000, 10000, 0),    Item::Component("U1", 5, 5, 0, false)};
}

class UndoTest : public ::testing::Test {
 public:
  UndoTest() {
    DbUnits = kUnitsUnknown;
    inputs.spacingText = "100";
    inputs.rotateEnabled = true;
    view.rotationText = "90";
  }

  std::map<std::string, Item> Components() const {
    std::map<std::string, Item> byName;
    for (const Item& item : design.Items()) {
      if (item.IsComponent()) byName[item.refDes] = item;
    }
    return byName;
  }

 protected:
  void Run() { undo.Run(host, inputs, view, designOpen); }
  void Undo() { undo.Undo(host, view, designOpen); }
  void Reload(std::vector<Item> items, standin::Faults faults = {}) {
    design.Load(std::move(items), standin::kUnitsMils, std::move(faults));
  }
  // Keeps the design's present items and puts new forced failures on it.
  void Refuse(standin::Faults faults) { Reload(design.Items(), std::move(faults)); }

  standin::Design design{Scattered()};
  standin::MemoryHost bound{design};
  DbxHost library{standin::MemoryHost::Api()};
  CountingHost host{library};
  Log log;
  RecordingView view{log};
  PlacementInputs inputs;
  bool designOpen = false;
  TUndoLastRun undo;
};

TEST_F(UndoTest, RunThenUndoPutsEveryComponentBack) {
  const auto before = Components();
  Run();
  ASSERT_NE(Components(), before) << "the run changed nothing";
  ASSERT_TRUE(undo.Available());
  Undo();
  EXPECT_EQ(Components(), before);
  EXPECT_EQ(view.status, "");
  EXPECT_FALSE(designOpen);
  EXPECT_FALSE(design.IsOpen());
  EXPECT_FALSE(undo.Available()) << "one step only";
}

// Rows: which changes the host refuses during the run; undo takes back only what happened.
struct RefusalRow {
  const char* name;
  std::map<std::string, std::int32_t> rotate;
  std::map<std::string, std::int32_t> move;
};

void PrintTo(const RefusalRow& row, std::ostream* out) {
  *out << row.name;
}

class UndoAfterRefusals : public UndoTest, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(UndoAfterRefusals, PutsEveryComponentBack) {
  const auto before = Components();
  standin::Faults faults;
  faults.rotate = GetParam().rotate;
  faults.move = GetParam().move;
  Refuse(faults);
  Run();
  EXPECT_NE(view.status.find("changes failed"), std::string::npos) << view.status;
  Refuse({});  // the host takes everything back
  Undo();
  EXPECT_EQ(Components(), before);
  EXPECT_EQ(view.status, "");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UndoAfterRefusals,
    ::testing::Values(RefusalRow{"Rotations", {{"R1", 32010}, {"C2", 32010}}, {}},
                      RefusalRow{"Moves", {}, {{"R2", 32011}, {"D1", -7}}},
                      RefusalRow{"Both", {{"R3", 32010}}, {{"R3", 32011}, {"C1", 99999}}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(UndoTest, RefusedInverseChangesAreCountedAndTheUndoIsUsedUp) {
  Run();
  standin::Faults faults;
  faults.move = {{"C1", 32011}};
  Refuse(faults);
  Undo();
  // Each of the six components was turned and moved; C1's move back was refused.
  EXPECT_EQ(view.status, "Move Error (1 of 12 changes failed)");
  EXPECT_FALSE(undo.Available());
}

TEST_F(UndoTest, FailedOpenKeepsTheUndoForTheNextTry) {
  const auto before = Components();
  Run();
  standin::Faults faults;
  faults.open = 32001;
  Refuse(faults);
  Undo();
  EXPECT_EQ(view.status, "Connection Error");
  EXPECT_TRUE(undo.Available());
  EXPECT_FALSE(designOpen);
  Refuse({});
  Undo();
  EXPECT_EQ(Components(), before);
  EXPECT_EQ(view.status, "");
}

TEST_F(UndoTest, SecondUndoAndUndoOfNothingCallNothing) {
  Undo();
  EXPECT_EQ(host.calls, 0);
  EXPECT_TRUE(log.empty()) << "no cursor, no status";
  Run();
  Undo();
  const auto afterUndo = Components();
  const int calls = host.calls;
  const std::size_t logged = log.size();
  Undo();
  EXPECT_EQ(host.calls, calls);
  EXPECT_EQ(log.size(), logged);
  EXPECT_EQ(Components(), afterUndo);
}

// Rows: runs that change nothing, each leaving the earlier run's undo in place.
struct NoChangeRow {
  const char* name;
  void (*prepare)(UndoTest& test, PlacementInputs& inputs, standin::Faults& faults);
};

void PrintTo(const NoChangeRow& row, std::ostream* out) {
  *out << row.name;
}

class RunWithoutChanges : public UndoTest, public ::testing::WithParamInterface<NoChangeRow> {};

TEST_P(RunWithoutChanges, KeepsTheEarlierUndo) {
  const auto before = Components();
  Run();
  const auto afterFirst = Components();
  standin::Faults faults;
  GetParam().prepare(*this, inputs, faults);
  Refuse(faults);
  try {
    Run();
  } catch (const ConversionError&) {
    // the spacing row ends with its conversion error
  }
  ASSERT_EQ(Components(), afterFirst);
  Refuse({});
  ASSERT_TRUE(undo.Available());
  Undo();
  EXPECT_EQ(Components(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RunWithoutChanges,
    ::testing::Values(
        NoChangeRow{"FailedOpen", [](UndoTest&, PlacementInputs&,
                                     standin::Faults& faults) { faults.open = 32001; }},
        NoChangeRow{"BadSpacing", [](UndoTest&, PlacementInputs& inputs,
                                     standin::Faults&) { inputs.spacingText = "abc"; }},
        NoChangeRow{"EverythingRefused",
                    [](UndoTest& test, PlacementInputs&, standin::Faults& faults) {
                      for (const auto& [name, item] : test.Components()) {
                        faults.rotate[name] = 32010;
                        faults.move[name] = 32011;
                      }
                    }}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(UndoTest, ChangesMadeBeforeARunEndsWithAnErrorCanBeUndone) {
  // The C group fits; D1's slot lies beyond the coordinate range, so the run stops there.
  Reload({Item::Component("C1", 0, 0, 0), Item::Component("C2", 500, 0, 0),
          Item::Component("D1", 2147483000, 0, 0), Item::Component("D2", 2147483600, 0, 0)});
  const auto before = Components();
  inputs.spacingText = "1";
  EXPECT_THROW(Run(), ConversionError);
  ASSERT_NE(Components(), before);
  Undo();
  EXPECT_EQ(Components(), before);
}

TEST_F(UndoTest, HandMovesAfterTheRunAreKept) {
  const auto before = Components();
  Run();
  // The user moves C1 by hand in the host between the run and the undo.
  TDbxContext context{};
  ASSERT_EQ(library.OpenDesign(0, 15000, "pcb", &context), 0);
  TDbxItem item{};
  TDbxComponent c1{};
  for (std::int32_t status = library.GetFirstSelectedItem(&context, &item); status == 0;
       status = library.GetNextSelectedItem(&context, &item)) {
    TDbxComponent component{};
    item.CopyComponentTo(component);
    if (item.ItemType() == TDbxItem::kComponentType && component.RefDes() == "C1") c1 = component;
  }
  ASSERT_EQ(library.MoveComponent(&context, 1234, -5, &c1), 0);
  ASSERT_EQ(library.CloseDesign(&context, ""), 0);

  Undo();
  auto expected = before;
  expected["C1"].x += 1234;
  expected["C1"].y -= 5;
  EXPECT_EQ(Components(), expected);
}

TEST_F(UndoTest, MoveByTheMostNegativeOffsetIsTakenBackInTwoSteps) {
  // Spacing 0 puts D2 onto D1, the reference: a move of exactly -2^31.
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  Reload({Item::Component("D1", -1, 0, 0), Item::Component("D2", kMax, 0, 0)});
  const auto before = Components();
  inputs.spacingText = "0";
  inputs.rotateEnabled = false;
  Run();
  ASSERT_EQ(Components().at("D2").x, -1);
  Undo();
  EXPECT_EQ(Components(), before);
  EXPECT_EQ(view.status, "");
}

}  // namespace
}  // namespace kordane::testing
