// A realistic run over the stand-in's in-memory design, with the host failing call k for every k
// from the run's first call to its last, each with a status code of the table, one in a gap of
// it and a negative one. At every k the run keeps every rule of RunInvariants.h, its status line
// shows what the run's rules and the failure count say, and the design changes as the failed call
// allows: nothing after a failed open, all but the refused change after a failed change.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Board.h"
#include "MemoryHost.h"
#include "host/Conversions.h"
#include "host/DbxLoader.h"
#include "host/DbxUtils.h"
#include "placement/PlacementRun.h"
#include "placement/RunInvariants.h"
#include "placement/Undo.h"

namespace kordane {
namespace {

using testing::CheckRun;
using testing::HostOperation;
using ::testing::IsEmpty;
using testing::MonitoredHost;
using testing::MonitoredView;
using testing::RunEnding;
using testing::RunEvent;
using testing::RunEvents;
using testing::RunRecord;

// A board as a designer leaves it: three groups of resistors, capacitors and a diode, a gate
// whose designator has no number, a selected item that is no component and an unselected
// resistor.
std::vector<standin::Item> Board() {
  using standin::Item;
  return {Item::Component("R3", 900000, 0, 0),
          Item::Component("R1", 100000, 0, 450),
          Item::Other(4),
          Item::Component("R10", 300000, 254000, 900),
          Item::Component("C2", 500000, 1200000, 0),
          Item::Component("R2", 500000, 0, 0),
          Item::Component("R4", 0, 0, 0, false),
          Item::Component("C1", 0, 1000000, 2700),
          Item::Component("U1A", 2000000, 3000000, 0),
          Item::Component("D1", 700000, -50000, 1800)};
}

struct Scenario {
  const char* name;
  PlacementInputs inputs;
  std::string rotationText;
};

std::vector<Scenario> Scenarios() {
  PlacementInputs rowsTurned;  // horizontal, increasing, 200 mils, rotation on
  PlacementInputs columnsDown;
  columnsDown.horizontal = false;
  columnsDown.order = TSortOrder::Decreasing;
  columnsDown.spacingText = "5.08";
  PlacementInputs keptOrder;
  keptOrder.order = TSortOrder::Unchanged;
  keptOrder.spacingText = "-100";
  keptOrder.rotateEnabled = false;
  return {{"rows turned to 90 degrees", rowsTurned, "90"},
          {"columns in decreasing order, rotation text not a number", columnsDown, "ninety"},
          {"unchanged order, negative pitch, no rotation", keptOrder, "0"}};
}

// One run over a fresh copy of the board, call failCall failing with failStatus (0: none).
struct SweptRun {
  SweptRun(const Scenario& scenario, std::size_t failCall, std::int32_t failStatus) {
    DbUnits = kUnitsUnknown;
    SetDecimalSeparator('.');
    view.rotationText = scenario.rotationText;
    if (failCall != 0) monitor.FailCall(failCall, failStatus);
    ending = testing::RunToEnd(host, scenario.inputs, view, designOpen);
    unitsAfter = DbUnits;
    violations =
        CheckRun(RunRecord{events, scenario.inputs, host, kUnitsUnknown, designOpen, ending});
  }

  std::vector<const RunEvent*> Calls() const {
    std::vector<const RunEvent*> calls;
    for (const RunEvent& e : events) {
      if (e.kind == RunEvent::Kind::Call) calls.push_back(&e);
    }
    return calls;
  }

  std::string FinalStatus() const {
    std::string status = "<none>";
    for (const RunEvent& e : events) {
      if (e.kind == RunEvent::Kind::Status) status = e.text;
    }
    return status;
  }

  std::size_t Changes() const {
    std::size_t changes = 0;
    for (const RunEvent* call : Calls()) {
      changes += call->operation == HostOperation::Rotate || call->operation == HostOperation::Move;
    }
    return changes;
  }

  standin::Design design{Board(), standin::kUnitsMils};
  standin::MemoryHost bound{design};
  RunEvents events;
  MonitoredHost monitor{standin::MemoryHost::Api(), events};
  DbxHost host{MonitoredHost::Api()};
  MonitoredView view{events};
  bool designOpen = true;  // stale on purpose: the run clears it
  RunEnding ending;
  std::int32_t unitsAfter = 0;
  std::vector<std::string> violations;
};

const standin::Item& Named(const std::vector<standin::Item>& items, const std::string& refDes) {
  for (const standin::Item& item : items) {
    if (item.IsComponent() && item.refDes == refDes) return item;
  }
  static const standin::Item kMissing;
  return kMissing;
}

class FaultSweep : public ::testing::TestWithParam<std::int32_t> {
 protected:
  void TearDown() override {
    DbUnits = kUnitsUnknown;
    SetDecimalSeparator('.');
  }
};

INSTANTIATE_TEST_SUITE_P(Statuses, FaultSweep, ::testing::Values(32011, 32100, -7),
                         [](const ::testing::TestParamInfo<std::int32_t>& status) {
                           return status.param == 32011   ? std::string("Listed")
                                  : status.param == 32100 ? std::string("Unlisted")
                                                          : std::string("Negative");
                         });

TEST_P(FaultSweep, EveryCallFailsInTurn) {
  const std::int32_t status = GetParam();
  for (const Scenario& scenario : Scenarios()) {
    SCOPED_TRACE(scenario.name);
    // Only one design can be bound at a time: the clean run's results are kept, not the run.
    std::vector<HostOperation> cleanCalls;
    std::size_t cleanChanges = 0;
    std::vector<standin::Item> cleanItems;
    {
      const SweptRun clean(scenario, 0, 0);
      ASSERT_THAT(clean.violations, IsEmpty());
      ASSERT_THAT(clean.monitor.violations, IsEmpty());
      ASSERT_EQ(clean.ending.kind, RunEnding::Kind::Returned) << clean.ending.message;
      ASSERT_EQ(clean.FinalStatus(), "");
      for (const RunEvent* call : clean.Calls()) cleanCalls.push_back(call->operation);
      cleanChanges = clean.Changes();
      cleanItems = clean.design.Items();
    }
    ASSERT_GT(cleanCalls.size(), 20u);

    for (std::size_t k = 1; k <= cleanCalls.size(); ++k) {
      const HostOperation failed = cleanCalls[k - 1];
      SCOPED_TRACE("call " + std::to_string(k) + ", " + testing::OperationName(failed) +
                   ", fails with " + std::to_string(status));
      const SweptRun run(scenario, k, status);
      EXPECT_THAT(run.violations, IsEmpty());
      EXPECT_THAT(run.monitor.violations, IsEmpty());
      EXPECT_EQ(run.ending.kind, RunEnding::Kind::Returned) << run.ending.message;
      const std::vector<const RunEvent*> calls = run.Calls();
      ASSERT_GE(calls.size(), k);
      EXPECT_TRUE(calls[k - 1]->forced);

      const std::vector<standin::Item>& items = run.design.Items();
      switch (failed) {
        case HostOperation::Open:
          EXPECT_EQ(run.FinalStatus(), DbxStatusText(status));
          EXPECT_EQ(calls.size(), 1u);
          EXPECT_EQ(items, Board());
          break;
        case HostOperation::DesignInfo:
          // The units stay unknown, so the spacing is taken as database units.
          EXPECT_EQ(run.FinalStatus(), "");
          EXPECT_EQ(run.unitsAfter, kUnitsUnknown);
          break;
        case HostOperation::First:
        case HostOperation::Next:
          // The selection ends at the failed read; what was read is placed.
          EXPECT_EQ(run.FinalStatus(), "");
          EXPECT_EQ(calls[k - 1]->operation, failed);
          break;
        case HostOperation::Rotate:
        case HostOperation::Move: {
          EXPECT_EQ(run.FinalStatus(), DbxStatusText(status) + " (1 of " +
                                           std::to_string(cleanChanges) + " changes failed)");
          EXPECT_EQ(run.Changes(), cleanChanges);
          // Every component but the refused one ends as in the clean run; the refused one
          // misses exactly that change.
          const std::string refused = calls[k - 1]->given.RefDes();
          const std::vector<standin::Item> board = Board();
          for (std::size_t i = 0; i < items.size(); ++i) {
            standin::Item expected = cleanItems[i];
            if (expected.IsComponent() && expected.refDes == refused) {
              const standin::Item& before = Named(board, refused);
              if (failed == HostOperation::Rotate) {
                expected.rotation = before.rotation;
              } else {
                expected.x = before.x;
                expected.y = before.y;
              }
            }
            EXPECT_EQ(items[i], expected) << items[i].refDes;
          }
          break;
        }
        case HostOperation::Close:
          // The close's status is not examined: the run ends as the clean one.
          EXPECT_EQ(run.FinalStatus(), "");
          EXPECT_EQ(items, cleanItems);
          EXPECT_EQ(k, cleanCalls.size());
          break;
      }
    }
  }
}

// A run made through the undo history, then the step taken back (and, for a redo, made again)
// cleanly but for call failCall of the swept one, which fails with failStatus (0: none).
struct SweptReplay {
  SweptReplay(const Scenario& scenario, bool back, std::size_t failCall, std::int32_t failStatus) {
    DbUnits = kUnitsUnknown;
    SetDecimalSeparator('.');
    RunEvents setupEvents;
    MonitoredView setupView{setupEvents};
    setupView.rotationText = scenario.rotationText;
    DbxHost plain{standin::MemoryHost::Api()};
    history.Run(plain, scenario.inputs, setupView, designOpen);
    afterRun = design.Items();
    if (!back) history.Undo(plain, setupView, designOpen);
    before = design.Items();
    MonitoredHost monitor{standin::MemoryHost::Api(), events};
    if (failCall != 0) monitor.FailCall(failCall, failStatus);
    DbxHost host{MonitoredHost::Api()};
    const testing::RunEnding ending = testing::ActionToEnd([&] {
      back ? history.Undo(host, view, designOpen) : history.Redo(host, view, designOpen);
    });
    violations = testing::CheckReplay(events, 0, host, designOpen, ending);
    violations.insert(violations.end(), monitor.violations.begin(), monitor.violations.end());
    for (const RunEvent& e : events) {
      if (e.kind == RunEvent::Kind::Call) calls.push_back(e);
    }
    pending = back ? history.CanUndo() : history.CanRedo();
  }

  standin::Design design{Board(), standin::kUnitsMils};
  standin::MemoryHost bound{design};
  TUndoHistory history;
  RunEvents events;
  MonitoredView view{events};
  bool designOpen = false;
  std::vector<standin::Item> afterRun;
  std::vector<standin::Item> before;  // the design as the swept step found it
  std::vector<std::string> violations;
  std::vector<RunEvent> calls;
  bool pending = false;
};

TEST_P(FaultSweep, EveryCallOfAnUndoAndARedoFailsInTurn) {
  for (const Scenario& scenario : Scenarios()) {
    for (const bool back : {true, false}) {
      SCOPED_TRACE(std::string(scenario.name) + (back ? ", undo" : ", redo"));
      std::size_t cleanCalls = 0;
      std::vector<standin::Item> cleanItems;
      {
        const SweptReplay clean(scenario, back, 0, 0);
        ASSERT_THAT(clean.violations, IsEmpty());
        EXPECT_EQ(clean.design.Items(), back ? Board() : clean.afterRun);
        cleanCalls = clean.calls.size();
        cleanItems = clean.design.Items();
      }
      ASSERT_GT(cleanCalls, 5u);
      for (std::size_t k = 1; k <= cleanCalls; ++k) {
        const SweptReplay run(scenario, back, k, GetParam());
        const RunEvent& failed = run.calls.at(k - 1);
        SCOPED_TRACE("call " + std::to_string(k) + ", " + testing::CallText(failed));
        EXPECT_THAT(run.violations, IsEmpty());
        EXPECT_EQ(run.pending, failed.operation == HostOperation::Open);
        // As the clean step leaves it, but for the refused change, which stays as it stood.
        std::vector<standin::Item> expected =
            failed.operation == HostOperation::Open ? run.before : cleanItems;
        for (standin::Item& item : expected) {
          if (failed.record == nullptr || item.refDes != failed.given.RefDes()) continue;
          const standin::Item& stood = Named(run.before, item.refDes);
          const bool rotation = failed.operation == HostOperation::Rotate;
          item.rotation = rotation ? stood.rotation : item.rotation;
          item.x = rotation ? item.x : stood.x;
          item.y = rotation ? item.y : stood.y;
        }
        EXPECT_EQ(run.design.Items(), expected);
      }
    }
  }
}

// The rules themselves catch a run that breaks them: a check that finds nothing in a broken run
// would make the sweep prove nothing.
TEST(RunInvariants, CatchABrokenRun) {
  const Scenario scenario = Scenarios().front();
  SweptRun run(scenario, 0, 0);
  ASSERT_THAT(run.violations, IsEmpty());
  const auto check = [&run, &scenario](const RunEvents& events) {
    return CheckRun(RunRecord{events, scenario.inputs, run.host, kUnitsUnknown, false, run.ending});
  };
  const auto isCall = [](const RunEvent& e, HostOperation operation) {
    return e.kind == RunEvent::Kind::Call && e.operation == operation;
  };

  RunEvents noClose;
  for (const RunEvent& e : run.events) {
    if (!isCall(e, HostOperation::Close)) noClose.push_back(e);
  }
  EXPECT_THAT(check(noClose), ::testing::Contains(::testing::HasSubstr("TCloseDesign called 0")));

  RunEvents overflowed = run.events;
  for (RunEvent& e : overflowed) {
    if (isCall(e, HostOperation::Move) && e.given.RefDes() == "R2") {
      e.first = static_cast<std::int32_t>(std::int64_t{e.first} - 4294967296LL + 1);
    }
  }
  EXPECT_THAT(check(overflowed), ::testing::Contains(::testing::HasSubstr("not to its slot")));

  RunEvents noCursor(run.events.begin(), run.events.end() - 1);
  EXPECT_THAT(check(noCursor), ::testing::Contains(::testing::HasSubstr("cursor is not restored")));

  RunEvents failedMove = run.events;
  for (RunEvent& e : failedMove) {
    if (isCall(e, HostOperation::Move)) e.status = 32011;
  }
  EXPECT_THAT(check(failedMove), ::testing::Contains(::testing::HasSubstr("status line ends")));
}

// So do the rules of a step taken back: here its refused change goes uncounted.
TEST(RunInvariants, CatchABrokenReplay) {
  const SweptReplay undo(Scenarios().front(), true, 0, 0);
  ASSERT_THAT(undo.violations, IsEmpty());
  RunEvents refusedUnsaid = undo.events;
  for (RunEvent& e : refusedUnsaid) {
    if (e.kind == RunEvent::Kind::Call && e.operation == HostOperation::Move) e.status = 32011;
  }
  const DbxHost statusTexts{standin::MemoryHost::Api()};
  EXPECT_THAT(testing::CheckReplay(refusedUnsaid, 0, statusTexts, false, {}),
              ::testing::Contains(::testing::HasSubstr("status line ends")));
}

}  // namespace
}  // namespace kordane
