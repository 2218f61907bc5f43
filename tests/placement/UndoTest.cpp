// The undo history over the stand-in's in-memory design, a host that keeps state: steps taken
// back and made again land every component where it was, whatever the host refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <sstream>
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

// A host that writes a byte of its own into each record it changes, as a real host may: the
// history then keeps a new copy of the record.
class ScribblingHost final : public DbxCallsForwarder {
 public:
  using DbxCallsForwarder::DbxCallsForwarder;
  std::int32_t RotateComponent(TDbxComponent* component, std::int32_t status) {
    ++component->bytes[kScratch];
    return status;
  }
  std::int32_t RotateComponent(TDbxContext* context, std::int32_t angle,
                               std::int32_t* rotationPoint, TDbxComponent* component) override {
    return RotateComponent(
        component, DbxCallsForwarder::RotateComponent(context, angle, rotationPoint, component));
  }
  std::int32_t MoveComponent(TDbxContext* context, std::int32_t dx, std::int32_t dy,
                             TDbxComponent* component) override {
    return RotateComponent(component, DbxCallsForwarder::MoveComponent(context, dx, dy, component));
  }
  static constexpr std::size_t kScratch = 200;  // between the designator and the place
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
  void Redo() { undo.Redo(host, view, designOpen); }
  void Go(const char* spacing) {
    inputs.spacingText = spacing;
    Run();
  }
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
  TUndoHistory undo;
};

TEST_F(UndoTest, RunThenUndoPutsEveryComponentBack) {
  const auto before = Components();
  Run();
  ASSERT_NE(Components(), before) << "the run changed nothing";
  EXPECT_EQ(undo.UndoName(), "Go on 6 components");
  Undo();
  EXPECT_EQ(Components(), before);
  EXPECT_EQ(view.status, "");
  EXPECT_FALSE(designOpen);
  EXPECT_FALSE(design.IsOpen());
  EXPECT_FALSE(undo.CanUndo());
  EXPECT_EQ(undo.RedoName(), "Go on 6 components");
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
  // Six components turned or moved, nine changes (C1 was at 90 already, D1 stays); C1's move back
  // was refused.
  EXPECT_EQ(view.status, "Move Error (1 of 9 changes failed)");
  EXPECT_FALSE(undo.CanUndo());
  EXPECT_TRUE(undo.CanRedo());
}

// The host's component list changed since the step: R2's line went and a line came first. The
// records still name the step's own parts; R2's changes are refused and counted, and nothing else
// moves.
TEST_F(UndoTest, AfterLinesCameAndWentOnlyTheStepsOwnPartsMove) {
  std::map<std::string, Item> before = Components();
  Run();
  std::map<std::string, Item> after = Components();
  std::vector<Item> edited = design.Items();
  std::erase_if(edited, [](const Item& item) { return item.refDes == "R2"; });
  const Item added = Item::Component("X1", 7, 7, 0, false);
  edited.insert(edited.begin(), added);
  Reload(edited);
  for (auto* board : {&before, &after}) {
    board->erase("R2");
    board->emplace("X1", added);
  }
  Undo();
  EXPECT_EQ(Components(), before);
  EXPECT_EQ(view.status, "Component Not Found (2 of 9 changes failed)");
  Redo();
  EXPECT_EQ(Components(), after);
}

TEST_F(UndoTest, FailedOpenKeepsTheStepForTheNextTry) {
  const auto before = Components();
  Run();
  const auto after = Components();
  standin::Faults faults;
  faults.open = 32001;
  for (const bool back : {true, false}) {
    Refuse(faults);
    back ? Undo() : Redo();
    EXPECT_EQ(view.status, "Connection Error");
    EXPECT_EQ(undo.CanUndo(), back);
    EXPECT_EQ(undo.CanRedo(), !back);
    EXPECT_FALSE(designOpen);
    Refuse({});
    back ? Undo() : Redo();
    EXPECT_EQ(Components(), back ? before : after);
    EXPECT_EQ(view.status, "");
  }
}

TEST_F(UndoTest, NothingToUndoOrRedoCallsNothing) {
  const auto nothingHappens = [this](const std::function<void()>& action) {
    const int calls = host.calls;
    const std::size_t logged = log.size();
    const auto board = Components();
    action();
    EXPECT_EQ(host.calls, calls);
    EXPECT_EQ(log.size(), logged) << "no cursor, no status";
    EXPECT_EQ(Components(), board);
  };
  nothingHappens([this] { Undo(); });
  nothingHappens([this] { Redo(); });
  EXPECT_EQ(undo.UndoName(), "");
  EXPECT_EQ(undo.RedoName(), "");
  Run();
  nothingHappens([this] { Redo(); });
  Undo();
  nothingHappens([this] { Undo(); });
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
  ASSERT_EQ(undo.UndoSteps(), 1u);
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
                    }},
        // Moves by (0, 0) and turns by 0, all accepted.
        NoChangeRow{"SameRunAgain", [](UndoTest&, PlacementInputs&, standin::Faults&) {}}),
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
  const auto after = Components();
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

  for (const bool back : {true, false}) {
    back ? Undo() : Redo();
    auto expected = back ? before : after;
    expected["C1"].x += 1234;
    expected["C1"].y -= 5;
    EXPECT_EQ(Components(), expected) << (back ? "undo" : "redo");
  }
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
  const auto after = Components();
  Undo();
  EXPECT_EQ(Components(), before);
  EXPECT_EQ(view.status, "");
  Redo();
  EXPECT_EQ(Components(), after);
  EXPECT_EQ(view.status, "");
}

// Rows: runs of Go with the spacings given ("abc" changes nothing), "undo" and "redo", then the
// step the board must be at (0: as it was, k: after the k-th run) and what is left to do.
struct HistoryRow {
  const char* name;
  const char* script;
  std::size_t boardAfterRun;
  std::size_t undoSteps;
  std::size_t redoSteps;
};

class History : public UndoTest, public ::testing::WithParamInterface<HistoryRow> {};

TEST_P(History, StepsBackAndForward) {
  std::vector<std::map<std::string, Item>> boards{Components()};
  std::istringstream script(GetParam().script);
  for (std::string action; script >> action;) {
    if (action == "undo") {
      Undo();
    } else if (action == "redo") {
      Redo();
    } else {
      try {
        Go(action.c_str());
      } catch (const ConversionError&) {
        // the run ends before its first change
      }
      boards.push_back(Components());
    }
    EXPECT_EQ(view.status, "") << action;
  }
  EXPECT_EQ(Components(), boards.at(GetParam().boardAfterRun));
  EXPECT_EQ(undo.UndoSteps(), GetParam().undoSteps);
  EXPECT_EQ(undo.RedoSteps(), GetParam().redoSteps);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, History,
    ::testing::Values(HistoryRow{"TwoBackOneForward", "100 300 undo undo redo", 1, 1, 1},
                      HistoryRow{"AllBackAllForward", "100 300 500 undo undo undo redo redo redo",
                                 3, 3, 0},
                      HistoryRow{"NewRunForgetsTheRedo", "100 300 undo 700", 3, 2, 0},
                      HistoryRow{"BackPastTheNewRun", "100 300 undo 700 undo undo", 0, 0, 2},
                      HistoryRow{"RunThatChangedNothingKeepsTheRedo", "100 300 undo abc", 1, 1, 1}),
    [](const auto& row) { return std::string(row.param.name); });

// Rows: a change the host refuses on the way back or forward; the other changes go on, and the
// refused one is left as it stands for the next step of either kind.
struct ReplayRefusalRow {
  const char* name;
  bool refuseBack;  // else on the way forward
  const char* refDes;
  bool rotation;  // else a move
};

class ReplayRefusal : public UndoTest, public ::testing::WithParamInterface<ReplayRefusalRow> {};

TEST_P(ReplayRefusal, LeavesTheRefusedChangeWhereItStands) {
  const ReplayRefusalRow& row = GetParam();
  const auto before = Components();
  Run();
  const auto after = Components();
  standin::Faults faults;
  (row.rotation ? faults.rotate : faults.move)[row.refDes] = row.rotation ? 32010 : 32011;
  if (!row.refuseBack) Undo();
  Refuse(faults);
  row.refuseBack ? Undo() : Redo();
  EXPECT_EQ(view.status,
            std::string(row.rotation ? "Rotate Error" : "Move Error") + " (1 of 9 changes failed)");
  // As the step leaves the board, but the refused component keeps the value it stood at.
  auto expected = row.refuseBack ? before : after;
  const Item& stood = (row.refuseBack ? after : before).at(row.refDes);
  Item& refused = expected[row.refDes];
  refused.rotation = row.rotation ? stood.rotation : refused.rotation;
  refused.x = row.rotation ? refused.x : stood.x;
  refused.y = row.rotation ? refused.y : stood.y;
  EXPECT_EQ(Components(), expected);
  Refuse({});
  // The next step either way lands on a clean state again.
  row.refuseBack ? Redo() : Undo();
  EXPECT_EQ(Components(), row.refuseBack ? after : before);
}

INSTANTIATE_TEST_SUITE_P(Rows, ReplayRefusal,
                         ::testing::Values(ReplayRefusalRow{"RotationBack", true, "R2", true},
                                           ReplayRefusalRow{"MoveForward", false, "R3", false},
                                           ReplayRefusalRow{"RotationForward", false, "C2", true}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(UndoTest, MemoryLimitForgetsTheOldestStepsButNeverTheLatest) {
  const char* const spacings[] = {"100", "200", "300", "400"};
  // What the same runs hold without a limit.
  std::vector<std::size_t> used;
  for (const char* spacing : spacings) {
    Go(spacing);
    used.push_back(undo.MemoryUsed());
  }
  while (undo.CanUndo()) Undo();
  // Room for the first three steps, not for the fourth beside them.
  const std::size_t limit = used[2] + (used[3] - used[2]) / 2;
  TUndoHistory limited(limit);
  std::vector<std::map<std::string, Item>> boards{Components()};
  for (const char* spacing : spacings) {
    inputs.spacingText = spacing;
    limited.Run(host, inputs, view, designOpen);
    boards.push_back(Components());
    EXPECT_LE(limited.MemoryUsed(), limit);
  }
  EXPECT_EQ(limited.UndoSteps(), 3u);
  while (limited.CanUndo()) limited.Undo(host, view, designOpen);
  EXPECT_EQ(Components(), boards[1]) << "the oldest step was forgotten";

  // A host that writes other bytes of a record makes steps taken back or made again store new
  // copies: the bound holds then too, and the step just replayed stays.
  ScribblingHost scribbling{library};
  const auto runAll = [&](TUndoHistory& history) {
    for (const char* spacing : spacings) {
      inputs.spacingText = spacing;
      history.Run(scribbling, inputs, view, designOpen);
    }
  };
  TUndoHistory unlimited;
  runAll(unlimited);
  // Just room for what the runs leave.
  const std::size_t tight = unlimited.MemoryUsed();
  while (unlimited.CanUndo()) unlimited.Undo(scribbling, view, designOpen);
  TUndoHistory scribbled(tight);
  runAll(scribbled);
  for (int pass = 0; pass < 2; ++pass) {
    while (scribbled.CanUndo()) {
      scribbled.Undo(scribbling, view, designOpen);
      EXPECT_LE(scribbled.MemoryUsed(), tight);
    }
    while (scribbled.CanRedo()) {
      scribbled.Redo(scribbling, view, designOpen);
      EXPECT_LE(scribbled.MemoryUsed(), tight);
    }
  }
  EXPECT_GE(scribbled.UndoSteps(), 1u);

  TUndoHistory tiny(1);
  tiny.Run(host, inputs, view, designOpen);
  inputs.spacingText = "900";
  tiny.Run(host, inputs, view, designOpen);
  EXPECT_EQ(tiny.UndoSteps(), 1u) << "the latest step stays, however large";
}

}  // namespace
}  // namespace kordane::testing
