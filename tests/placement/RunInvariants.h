// The rules every placement run keeps, whatever its host does, shared by the
// fault sweep and the placement fuzz target:
// - MonitoredHost: a host table that sees every call on its way to another host's table, notes
//   what the call was given and what it got back, and can fail any one call in place of the host;
// - MonitoredView: the window as the run sees it, noting what the run shows;
// - CheckRun: the whole run against the rules: TCloseDesign exactly once if and only if the open
//   returned 0, no call after it, the cleanup always complete, the status line as the run's texts
//   and the failure count give it, and no move made from a value that overflowed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "host/Conversions.h"
#include "host/Dbx32.h"
#include "host/DbxLoader.h"
#include "host/DbxUtils.h"
#include "placement/PlacementRun.h"

namespace kordane::testing {

enum class HostOperation { Open, Close, DesignInfo, First, Next, Rotate, Move };

inline const char* OperationName(HostOperation operation) {
  switch (operation) {
    case HostOperation::Open:
      return "TOpenDesign";
    case HostOperation::Close:
      return "TCloseDesign";
    case HostOperation::DesignInfo:
      return "TGetDesignInfo";
    case HostOperation::First:
      return "TGetFirstSelectedItem";
    case HostOperation::Next:
      return "TGetNextSelectedItem";
    case HostOperation::Rotate:
      return "TRotateComponent";
    case HostOperation::Move:
      return "TMoveComponent";
  }
  return "?";
}

// One thing that happened during a run, in the order it happened.
struct RunEvent {
  enum class Kind { Call, Status, UnitsLabel, WaitBegin, WaitEnd, RotationText, RefDesError };
  Kind kind = Kind::Call;
  std::string text;  // Status, UnitsLabel, RotationText, RefDesError

  // Call.
  HostOperation operation = HostOperation::Open;
  std::int32_t status = 0;
  bool forced = false;      // failed by the monitor; the host never saw the call
  std::int32_t first = 0;   // rotate: angle; move: dx; design information: the units field
  std::int32_t second = 0;  // move: dy
  const TDbxComponent* record = nullptr;  // rotate, move
  TDbxComponent given{};                  // rotate, move: the record as the call got it
  TDbxComponent after{};                  // rotate, move: the record when the call returned
  bool readComponent = false;             // first, next: status 0 and an item of the component type
  TDbxComponent component{};              // ... and its component record
};

using RunEvents = std::vector<RunEvent>;

inline std::string CallText(const RunEvent& call) {
  std::string text = OperationName(call.operation);
  if (call.operation == HostOperation::Rotate) text += " " + std::to_string(call.first);
  if (call.operation == HostOperation::Move) {
    text += " " + std::to_string(call.first) + " " + std::to_string(call.second);
  }
  if (call.record != nullptr) text += " " + call.given.RefDes();
  return text + " -> " + std::to_string(call.status);
}

class MonitoredHost;

namespace detail {
inline MonitoredHost* activeMonitor = nullptr;
}  // namespace detail

// The table's functions take no pointer of the caller's, so they reach the monitor through one
// slot: one monitor at a time.
class MonitoredHost {
 public:
  MonitoredHost(const DbxApi& inner, RunEvents& events) : inner_(inner), events_(events) {
    detail::activeMonitor = this;
  }
  ~MonitoredHost() { detail::activeMonitor = nullptr; }
  MonitoredHost(const MonitoredHost&) = delete;
  MonitoredHost& operator=(const MonitoredHost&) = delete;

  static DbxApi Api() {
    DbxApi api;
    api.TOpenDesign = &Open;
    api.TCloseDesign = &Close;
    api.TGetDesignInfo = &DesignInfo;
    api.TGetFirstSelectedItem = &First;
    api.TGetNextSelectedItem = &Next;
    api.TRotateComponent = &Rotate;
    api.TMoveComponent = &Move;
    return api;
  }

  // Call number call (1 = the run's first) returns status without reaching the host.
  void FailCall(std::size_t call, std::int32_t status) { failures_[call] = status; }

  std::size_t Calls() const { return calls_; }

  // Calls the program should never make, as they happened.
  std::vector<std::string> violations;

 private:
  static MonitoredHost& Active() { return *detail::activeMonitor; }

  // Checks the call against the connection's state; gives the forced status, if any.
  std::optional<std::int32_t> Enter(HostOperation operation, const TDbxContext* context) {
    ++calls_;
    const std::string name = OperationName(operation);
    if (closed_) violations.push_back(name + " after TCloseDesign");
    if (operation == HostOperation::Open) {
      if (calls_ != 1) violations.push_back("TOpenDesign that is not the run's first call");
    } else if (!connected_) {
      violations.push_back(name + " without a connection");
    }
    if (context != &DbxContext) violations.push_back(name + " with another context");
    const auto failure = failures_.find(calls_);
    if (failure == failures_.end()) return std::nullopt;
    return failure->second;
  }

  RunEvent& Note(HostOperation operation, std::int32_t status, bool forced) {
    RunEvent& event = events_.emplace_back();
    event.kind = RunEvent::Kind::Call;
    event.operation = operation;
    event.status = status;
    event.forced = forced;
    return event;
  }

  static std::int32_t DBX_CALL Open(std::int32_t dbType, std::int32_t timeout, const char* name,
                                    TDbxContext* context) {
    MonitoredHost& m = Active();
    const std::optional<std::int32_t> forced = m.Enter(HostOperation::Open, context);
    if (dbType != kOpenDbType || timeout != kOpenTimeout || name == nullptr ||
        std::strcmp(name, kOpenDesignName) != 0) {
      m.violations.push_back("TOpenDesign with other arguments than 0, 15000, \"pcb\"");
    }
    const std::int32_t status =
        forced ? *forced : m.inner_.TOpenDesign(dbType, timeout, name, context);
    m.connected_ = status == 0;
    m.Note(HostOperation::Open, status, forced.has_value());
    return status;
  }

  static std::int32_t DBX_CALL Close(TDbxContext* context, const char* message) {
    MonitoredHost& m = Active();
    const std::optional<std::int32_t> forced = m.Enter(HostOperation::Close, context);
    if (message == nullptr || *message != '\0') {
      m.violations.push_back("TCloseDesign with a message other than \"\"");
    }
    const std::int32_t status = forced ? *forced : m.inner_.TCloseDesign(context, message);
    m.closed_ = true;
    m.connected_ = false;
    m.Note(HostOperation::Close, status, forced.has_value());
    return status;
  }

  static std::int32_t DBX_CALL DesignInfo(TDbxContext* context, TDesignInfo* info) {
    MonitoredHost& m = Active();
    const std::optional<std::int32_t> forced = m.Enter(HostOperation::DesignInfo, context);
    if (info == nullptr) m.violations.push_back("TGetDesignInfo without a buffer");
    const std::int32_t status = forced ? *forced : m.inner_.TGetDesignInfo(context, info);
    m.Note(HostOperation::DesignInfo, status, forced.has_value()).first =
        info != nullptr ? info->Units() : 0;
    return status;
  }

  std::int32_t Iterate(HostOperation operation, TDbxContext* context, TDbxItem* item) {
    const std::optional<std::int32_t> forced = Enter(operation, context);
    if (item == nullptr) violations.push_back("selection read without a buffer");
    if (operation == HostOperation::First) {
      if (firstCalled_) violations.push_back("TGetFirstSelectedItem twice");
      firstCalled_ = true;
    } else if (!firstCalled_) {
      violations.push_back("TGetNextSelectedItem before TGetFirstSelectedItem");
    }
    if (iterationEnded_) violations.push_back("selection read after its end");
    std::int32_t status = 0;
    if (forced) {
      status = *forced;
    } else {
      status = operation == HostOperation::First ? inner_.TGetFirstSelectedItem(context, item)
                                                 : inner_.TGetNextSelectedItem(context, item);
    }
    iterationEnded_ = status != 0;
    RunEvent& event = Note(operation, status, forced.has_value());
    if (status == 0 && item != nullptr && item->ItemType() == TDbxItem::kComponentType) {
      event.readComponent = true;
      item->CopyComponentTo(event.component);
    }
    return status;
  }

  static std::int32_t DBX_CALL First(TDbxContext* context, TDbxItem* item) {
    return Active().Iterate(HostOperation::First, context, item);
  }

  static std::int32_t DBX_CALL Next(TDbxContext* context, TDbxItem* item) {
    return Active().Iterate(HostOperation::Next, context, item);
  }

  static std::int32_t DBX_CALL Rotate(TDbxContext* context, std::int32_t angle,
                                      std::int32_t* rotationPoint, TDbxComponent* component) {
    MonitoredHost& m = Active();
    const std::optional<std::int32_t> forced = m.Enter(HostOperation::Rotate, context);
    if (rotationPoint == nullptr || rotationPoint[0] != -1 || rotationPoint[1] != -1) {
      m.violations.push_back("TRotateComponent about another point than (-1, -1)");
    }
    if (component == nullptr) {
      m.violations.push_back("TRotateComponent without a record");
      return forced.value_or(0);
    }
    const TDbxComponent given = *component;
    const std::int32_t status =
        forced ? *forced : m.inner_.TRotateComponent(context, angle, rotationPoint, component);
    RunEvent& event = m.Note(HostOperation::Rotate, status, forced.has_value());
    event.first = angle;
    event.record = component;
    event.given = given;
    event.after = *component;
    return status;
  }

  static std::int32_t DBX_CALL Move(TDbxContext* context, std::int32_t dx, std::int32_t dy,
                                    TDbxComponent* component) {
    MonitoredHost& m = Active();
    const std::optional<std::int32_t> forced = m.Enter(HostOperation::Move, context);
    if (component == nullptr) {
      m.violations.push_back("TMoveComponent without a record");
      return forced.value_or(0);
    }
    const TDbxComponent given = *component;
    const std::int32_t status =
        forced ? *forced : m.inner_.TMoveComponent(context, dx, dy, component);
    RunEvent& event = m.Note(HostOperation::Move, status, forced.has_value());
    event.first = dx;
    event.second = dy;
    event.record = component;
    event.given = given;
    event.after = *component;
    return status;
  }

  DbxApi inner_;
  RunEvents& events_;
  std::map<std::size_t, std::int32_t> failures_;
  std::size_t calls_ = 0;
  bool connected_ = false;
  bool closed_ = false;
  bool firstCalled_ = false;
  bool iterationEnded_ = false;
};

// The window as the run sees it. The rotation text is read afresh for every member: the queued
// texts first, then the standing one.
class MonitoredView : public IPlacementView {
 public:
  explicit MonitoredView(RunEvents& events) : events_(events) {}

  void SetStatusText(const std::string& text) override { Note(RunEvent::Kind::Status, text); }
  void SetUnitsLabel(const std::string& text) override { Note(RunEvent::Kind::UnitsLabel, text); }
  void BeginWaitCursor() override { Note(RunEvent::Kind::WaitBegin, ""); }
  void EndWaitCursor() override { Note(RunEvent::Kind::WaitEnd, ""); }
  std::string RotationText() override {
    std::string text = rotationText;
    if (!queuedRotationTexts.empty()) {
      text = queuedRotationTexts.front();
      queuedRotationTexts.pop_front();
    }
    Note(RunEvent::Kind::RotationText, text);
    return text;
  }
  void ShowRefDesError(const std::string& message) override {
    Note(RunEvent::Kind::RefDesError, message);
  }

  std::string rotationText = "0";
  std::deque<std::string> queuedRotationTexts;

 private:
  void Note(RunEvent::Kind kind, const std::string& text) {
    RunEvent& event = events_.emplace_back();
    event.kind = kind;
    event.text = text;
  }

  RunEvents& events_;
};

// How a run ended.
struct RunEnding {
  enum class Kind { Returned, ConversionError, OtherError };
  Kind kind = Kind::Returned;
  std::string message;
};

// Runs one action of the window (a run, an undo) and tells how it ended, letting nothing escape.
template <typename Action>
RunEnding ActionToEnd(Action&& action) {
  try {
    action();
  } catch (const ConversionError& error) {
    return {RunEnding::Kind::ConversionError, error.what()};
  } catch (const std::exception& error) {
    return {RunEnding::Kind::OtherError, error.what()};
  } catch (...) {
    return {RunEnding::Kind::OtherError, "an exception that is not a std::exception"};
  }
  return {};
}

// Every rule a step taken back or made again broke, over the events from first on: it ended
// without an error, with the hour-glass back, after exactly one open, closed once if and only if
// the open returned 0 and nothing after that, only rotations and moves in between, and the
// status line as after a run: the open's text after a failed open, "<status text> (N of M changes
// failed)" after refused changes, cleared otherwise.
inline std::vector<std::string> CheckReplay(const RunEvents& events, std::size_t first,
                                            const IDbxCalls& host, bool designOpenAfter,
                                            const RunEnding& ending) {
  std::vector<std::string> broken;
  const auto expect = [&broken](bool kept, const std::string& rule) {
    if (!kept) broken.push_back(rule);
  };
  expect(ending.kind == RunEnding::Kind::Returned, "the step ended with " + ending.message);
  expect(!designOpenAfter, "FDesignOpen is still set after the step");
  int waits = 0, opens = 0, closes = 0;
  std::int32_t openStatus = -1;
  std::int64_t changes = 0, failures = 0;
  std::int32_t firstFailure = 0;
  std::vector<std::string> statuses;
  for (std::size_t i = first; i < events.size(); ++i) {
    const RunEvent& event = events[i];
    if (event.kind == RunEvent::Kind::WaitBegin) ++waits;
    if (event.kind == RunEvent::Kind::WaitEnd) --waits;
    if (event.kind == RunEvent::Kind::Status) statuses.push_back(event.text);
    if (event.kind != RunEvent::Kind::Call) continue;
    expect(closes == 0, "the step called " + CallText(event) + " after its close");
    switch (event.operation) {
      case HostOperation::Open:
        ++opens;
        openStatus = event.status;
        break;
      case HostOperation::Close:
        ++closes;
        break;
      case HostOperation::Rotate:
      case HostOperation::Move:
        ++changes;
        if (event.status != 0 && failures++ == 0) firstFailure = event.status;
        break;
      default:
        broken.push_back("the step called " + CallText(event));
        break;
    }
  }
  expect(waits == 0, "the step left the hour-glass as it was not");
  expect(opens == 1, "the step opened " + std::to_string(opens) + " connections");
  expect(closes == (openStatus == 0 ? 1 : 0), "the step closed " + std::to_string(closes) +
                                                  " times after an open of " +
                                                  std::to_string(openStatus));
  std::string finalText = openStatus == 0 ? "" : host.StatusText(openStatus);
  if (failures > 0) {
    finalText = host.StatusText(firstFailure) + " (" + std::to_string(failures) + " of " +
                std::to_string(changes) + " changes failed)";
  }
  expect(!statuses.empty() && statuses.back() == finalText,
         "the status line ends as '" + (statuses.empty() ? "" : statuses.back()) + "', not '" +
             finalText + "'");
  return broken;
}

inline RunEnding RunToEnd(IDbxCalls& host, const PlacementInputs& inputs, IPlacementView& view,
                          bool& designOpen) {
  return ActionToEnd([&] { RunPlacement(host, inputs, view, designOpen); });
}

// One run, as the checks need it.
struct RunRecord {
  const RunEvents& events;
  const PlacementInputs& inputs;
  const IDbxCalls& host;
  std::int32_t unitsBefore;  // DbUnits before the run; DbUnits is read as it stands after it
  bool designOpenAfter;
  RunEnding ending;
  // Go's run, whose spacing and slots are checked too; otherwise an Arrange run, whose changes
  // are checked by CheckArrangeChanges.
  bool goRun = true;
};

namespace detail {

inline std::string PrefixOf(const std::string& designator) {
  std::size_t end = designator.size();
  while (end > 0 && designator[end - 1] >= '0' && designator[end - 1] <= '9') --end;
  return designator.substr(0, end);
}

inline bool Fits(std::int64_t value) {
  return value >= std::numeric_limits<std::int32_t>::min() &&
         value <= std::numeric_limits<std::int32_t>::max();
}

inline bool SameBytes(const TDbxComponent& a, const TDbxComponent& b) {
  return std::memcmp(a.bytes, b.bytes, sizeof a.bytes) == 0;
}

struct Place {
  std::int64_t x;
  std::int64_t y;
};

// Whether some member could have no slot or no move within 32 bits, whatever the group's order:
// slots and moves change monotonically with the slot index, so the end slots tell.
inline bool SomeSlotOverflows(const std::vector<Place>& members, std::int64_t pitchX,
                              std::int64_t pitchY) {
  if (members.empty()) return false;
  std::int64_t smallest = pitchX != 0 ? members[0].x : members[0].y;
  for (const Place& p : members) smallest = std::min(smallest, pitchX != 0 ? p.x : p.y);
  const auto last = static_cast<std::int64_t>(members.size()) - 1;
  for (const Place& reference : members) {
    if ((pitchX != 0 ? reference.x : reference.y) != smallest) continue;
    for (const std::int64_t k : {std::int64_t{0}, last}) {
      const std::int64_t slotX = reference.x + k * pitchX;
      const std::int64_t slotY = reference.y + k * pitchY;
      if (!Fits(slotX) || !Fits(slotY)) return true;
      for (const Place& member : members) {
        if (!Fits(slotX - member.x) || !Fits(slotY - member.y)) return true;
      }
    }
  }
  return false;
}

}  // namespace detail

// Every rule the run broke; empty when it kept them all.
inline std::vector<std::string> CheckRun(const RunRecord& run) {
  std::vector<std::string> broken;
  const auto expect = [&broken](bool kept, const std::string& rule) {
    if (!kept) broken.push_back(rule);
  };
  using Kind = RunEvent::Kind;
  const RunEvents& events = run.events;
  const PlacementInputs& inputs = run.inputs;

  // ---- The cleanup always runs; nothing escapes but a conversion error. ----
  expect(run.ending.kind != RunEnding::Kind::OtherError,
         "the run ended with an error that is not a conversion error: " + run.ending.message);
  expect(!events.empty() && events.front().kind == Kind::WaitBegin,
         "the hour-glass is not the run's first step");
  expect(!events.empty() && events.back().kind == Kind::WaitEnd,
         "the cursor is not restored as the run's last step");
  std::size_t waits = 0;
  for (const RunEvent& e : events) waits += e.kind == Kind::WaitBegin || e.kind == Kind::WaitEnd;
  expect(waits == 2, "the cursor changed other than once there and back");
  expect(!run.designOpenAfter, "FDesignOpen is still set after the run");

  // ---- TOpenDesign first, TCloseDesign exactly once if and only if it returned 0, and last. ----
  std::vector<const RunEvent*> calls;
  for (const RunEvent& e : events) {
    if (e.kind == Kind::Call) calls.push_back(&e);
  }
  if (calls.empty() || calls.front()->operation != HostOperation::Open) {
    broken.push_back("the run's first call is not TOpenDesign");
    return broken;
  }
  const std::int32_t openStatus = calls.front()->status;
  const bool connected = openStatus == 0;
  std::size_t closes = 0;
  for (const RunEvent* call : calls) closes += call->operation == HostOperation::Close;
  if (connected) {
    expect(closes == 1, "TCloseDesign called " + std::to_string(closes) +
                            " times after an open that returned 0");
    expect(calls.back()->operation == HostOperation::Close, "a call after TCloseDesign");
  } else {
    expect(calls.size() == 1, "calls after an open that returned " + std::to_string(openStatus));
  }

  // ---- After the open: the units when unknown (an Arrange run asks for the design's own every
  // time, and sets DbUnits only when it was unknown), the selection read to its end, the changes.
  // ----
  std::size_t at = 1;
  const auto next = [&]() -> const RunEvent* { return at < calls.size() ? calls[at] : nullptr; };
  std::int32_t unitsExpected = run.unitsBefore;
  std::vector<const RunEvent*> captured;
  if (connected) {
    if (run.unitsBefore == kUnitsUnknown || !run.goRun) {
      const RunEvent* info = next();
      if (info == nullptr || info->operation != HostOperation::DesignInfo) {
        broken.push_back("units asked for, but no TGetDesignInfo after the open");
      } else {
        ++at;
        // A refused request leaves the units unknown (the program's choice).
        if (info->status == 0 && run.unitsBefore == kUnitsUnknown) unitsExpected = info->first;
      }
    }
    const RunEvent* first = next();
    if (first == nullptr || first->operation != HostOperation::First) {
      broken.push_back("no TGetFirstSelectedItem after the open");
    } else {
      for (const RunEvent* read = first;; read = next()) {
        if (read == nullptr ||
            read->operation != (read == first ? HostOperation::First : HostOperation::Next)) {
          broken.push_back("the selection was not read to a non-zero status");
          break;
        }
        ++at;
        if (read->status != 0) break;
        if (read->readComponent) captured.push_back(read);
      }
    }
  }
  expect(DbUnits == unitsExpected,
         "DbUnits is " + std::to_string(DbUnits) + ", not " + std::to_string(unitsExpected));

  std::vector<const RunEvent*> changes;  // rotations and moves, in order
  for (; at < calls.size() && calls[at]->operation != HostOperation::Close; ++at) {
    if (calls[at]->operation == HostOperation::Rotate ||
        calls[at]->operation == HostOperation::Move) {
      changes.push_back(calls[at]);
    } else {
      broken.push_back(std::string("unexpected ") + CallText(*calls[at]));
    }
  }

  // ---- The unit label, only with a connection and known units. ----
  std::vector<std::string> labels;
  for (const RunEvent& e : events) {
    if (e.kind == Kind::UnitsLabel) labels.push_back(e.text);
  }
  std::vector<std::string> labelsExpected;
  if (connected && DbUnits == kUnitsMils) labelsExpected = {"mils"};
  if (connected && DbUnits == kUnitsMm) labelsExpected = {"mm"};
  expect(labels == labelsExpected, "unit label shown " + std::to_string(labels.size()) + " times");

  // ---- The status line: the run's texts and the failure count. ----
  std::vector<std::string> statuses;
  bool clearedAfterClose = false;
  bool closeSeen = false;
  for (const RunEvent& e : events) {
    if (e.kind == Kind::Call && e.operation == HostOperation::Close) closeSeen = true;
    if (e.kind == Kind::Status) {
      statuses.push_back(e.text);
      clearedAfterClose = clearedAfterClose || (closeSeen && e.text.empty());
    }
  }
  const std::string openText = connected ? "Connected" : run.host.StatusText(openStatus);
  expect(!statuses.empty() && statuses.front() == openText,
         "the status line does not show " + openText + " after the open");
  std::int64_t failures = 0;
  std::int32_t firstFailure = 0;
  for (const RunEvent* change : changes) {
    if (change->status != 0 && failures++ == 0) firstFailure = change->status;
  }
  std::string finalText = connected ? "" : openText;
  if (failures > 0) {
    finalText = run.host.StatusText(firstFailure) + " (" + std::to_string(failures) + " of " +
                std::to_string(changes.size()) + " changes failed)";
  }
  expect(!statuses.empty() && statuses.back() == finalText,
         "the status line ends as '" + (statuses.empty() ? "" : statuses.back()) + "', not '" +
             finalText + "'");
  expect(!connected || clearedAfterClose, "the status line was not cleared after the close");

  if (!run.goRun) return broken;

  // ---- The spacing: converted before any change; its errors end the run. ----
  const std::string spacingOutOfRange =
      FormatUserMessage("Spacing '%s' is out of range", inputs.spacingText);
  std::optional<std::int32_t> pitch;
  std::string spacingError;
  try {
    const double spacing = ParseFloat(inputs.spacingText);
    try {
      pitch = ToDbUnits(spacing);
    } catch (const ConversionError&) {
      spacingError = spacingOutOfRange;
    }
  } catch (const ConversionError& error) {
    spacingError = error.what();
  }
  std::size_t rotationReads = 0;
  for (const RunEvent& e : events) rotationReads += e.kind == Kind::RotationText;
  if (!pitch) {
    expect(
        run.ending.kind == RunEnding::Kind::ConversionError && run.ending.message == spacingError,
        "the run did not end with the spacing's error " + spacingError);
    expect(changes.empty() && rotationReads == 0, "changes before the spacing was converted");
    return broken;
  }
  expect(run.ending.kind == RunEnding::Kind::Returned || run.ending.message == spacingOutOfRange,
         "the run ended with " + run.ending.message);
  const std::int64_t pitchX = inputs.horizontal ? *pitch : 0;
  const std::int64_t pitchY = inputs.horizontal ? 0 : *pitch;

  // ---- Group by group, in prefix order: rotations, then moves. ----
  std::map<std::string, std::vector<const RunEvent*>> groups;  // std::string orders bytes unsigned
  for (const RunEvent* read : captured) {
    groups[detail::PrefixOf(read->component.RefDes())].push_back(read);
  }
  std::vector<const RunEvent*> steps;  // rotation text reads and changes, in order
  for (const RunEvent& e : events) {
    if (e.kind == Kind::RotationText ||
        (e.kind == Kind::Call &&
         (e.operation == HostOperation::Rotate || e.operation == HostOperation::Move))) {
      steps.push_back(&e);
    }
  }
  std::size_t step = 0;
  const auto isStep = [&](HostOperation operation) {
    return step < steps.size() && steps[step]->kind == Kind::Call &&
           steps[step]->operation == operation;
  };
  bool endedEarly = false;
  for (const auto& group : groups) {
    // Named, not bound: clang 14 cannot capture structured bindings.
    const std::string& prefix = group.first;
    const std::vector<const RunEvent*>& members = group.second;
    const std::string where = "group '" + prefix + "': ";
    const std::size_t n = members.size();
    // The records the run passes are its own copies of the captured ones; until the host has
    // been given one, it holds exactly what was captured.
    std::vector<bool> matched(n, false);
    std::set<const TDbxComponent*> seen;
    std::vector<detail::Place> places;  // of each member after its rotation
    for (const RunEvent* member : members) {
      places.push_back({member->component.X(), member->component.Y()});
    }
    const auto firstSight = [&](const RunEvent& change, std::optional<std::size_t> member) {
      if (!seen.insert(change.record).second) return;
      bool found = false;
      for (std::size_t m = 0; m < n && !found; ++m) {
        if (!matched[m] && (!member || m == *member) &&
            detail::SameBytes(change.given, members[m]->component)) {
          matched[m] = found = true;
        }
      }
      expect(found, where + CallText(change) + " is not given a captured member's record");
    };

    if (inputs.rotateEnabled) {
      for (std::size_t m = 0; m < n; ++m) {
        if (step >= steps.size() || steps[step]->kind != Kind::RotationText) {
          broken.push_back(where + "the rotation text was not read for member " +
                           std::to_string(m));
          break;
        }
        const std::string text = steps[step++]->text;
        std::optional<std::int64_t> target;
        try {
          target = std::int64_t{ParseInt(text)} * 10;
        } catch (const ConversionError&) {
        }
        // The change from the member's rotation as captured: the host has not been given its
        // record yet. A change that does not fit 32 bits is skipped (the program's choice).
        const std::int64_t rotation = members[m]->component.Rotation();
        const bool turns = target && detail::Fits(*target) && detail::Fits(*target - rotation);
        if (!isStep(HostOperation::Rotate)) {
          expect(!turns, where + "member " + std::to_string(m) + " not rotated to '" + text + "'");
          continue;
        }
        const RunEvent& rotate = *steps[step++];
        // Members turn in their captured order.
        firstSight(rotate, m);
        expect(turns && std::int64_t{rotate.given.Rotation()} + rotate.first == *target,
               where + CallText(rotate) + " does not turn to '" + text + "'");
        places[m] = {rotate.after.X(), rotate.after.Y()};
      }
    }
    if (!inputs.spacingEnabled) continue;

    std::vector<const RunEvent*> moves;
    while (moves.size() < n && isStep(HostOperation::Move)) moves.push_back(steps[step++]);
    if (moves.empty() && run.ending.kind == RunEnding::Kind::ConversionError) {
      // Refused before the group's first move: some slot or move must not fit 32 bits.
      expect(detail::SomeSlotOverflows(places, pitchX, pitchY),
             where + "refused as out of range, though every slot fits");
      endedEarly = true;
      break;
    }
    if (moves.size() != n) {
      broken.push_back(where + std::to_string(moves.size()) + " of " + std::to_string(n) +
                       " members moved");
      break;
    }
    std::set<const TDbxComponent*> movedRecords;
    for (const RunEvent* move : moves) {
      firstSight(*move, std::nullopt);
      expect(movedRecords.insert(move->record).second,
             where + "one record moved twice: " + CallText(*move));
    }
    // The reference: the first member, in the new order, with the smallest X (pitchX not 0) or Y.
    std::size_t reference = 0;
    for (std::size_t i = 1; i < n; ++i) {
      const TDbxComponent& a = moves[i]->given;
      const TDbxComponent& r = moves[reference]->given;
      if (pitchX != 0 ? a.X() < r.X() : a.Y() < r.Y()) reference = i;
    }
    const std::int64_t refX = moves[reference]->given.X();
    const std::int64_t refY = moves[reference]->given.Y();
    for (std::size_t i = 0; i < n; ++i) {
      const RunEvent& move = *moves[i];
      const auto k =
          static_cast<std::int64_t>(inputs.order == TSortOrder::Decreasing ? n - 1 - i : i);
      const std::int64_t slotX = refX + k * pitchX;
      const std::int64_t slotY = refY + k * pitchY;
      const std::int64_t toX = std::int64_t{move.given.X()} + move.first;
      const std::int64_t toY = std::int64_t{move.given.Y()} + move.second;
      expect(detail::Fits(slotX) && detail::Fits(slotY) && toX == slotX && toY == slotY,
             where + CallText(move) + " takes member " + std::to_string(i) + " from (" +
                 std::to_string(move.given.X()) + ", " + std::to_string(move.given.Y()) + ") to (" +
                 std::to_string(toX) + ", " + std::to_string(toY) + "), not to its slot (" +
                 std::to_string(slotX) + ", " + std::to_string(slotY) + ")");
      if (inputs.order == TSortOrder::Unchanged && i > 0) {
        const TDbxComponent& before = moves[i - 1]->given;
        expect(inputs.horizontal ? before.X() <= move.given.X() : before.Y() <= move.given.Y(),
               where + "unchanged order is not ascending along the axis");
      }
    }
  }
  expect(step == steps.size(), "rotations or moves beyond the captured groups' members");
  expect(endedEarly || run.ending.kind == RunEnding::Kind::Returned,
         "the run ended with '" + run.ending.message + "' though every group was placed");
  return broken;
}

// The changes of an Arrange run: each component turned at most once and then moved at most once,
// no move from or to a value outside 32 bits, and none at all when a parameter ended the run.
inline std::vector<std::string> CheckArrangeChanges(const RunEvents& events,
                                                    const RunEnding& ending) {
  std::vector<std::string> broken;
  std::map<const TDbxComponent*, int> turns;
  std::map<const TDbxComponent*, int> moves;
  for (const RunEvent& e : events) {
    if (e.kind != RunEvent::Kind::Call) continue;
    if (e.operation != HostOperation::Rotate && e.operation != HostOperation::Move) continue;
    if (ending.kind != RunEnding::Kind::Returned) {
      broken.push_back(CallText(e) + " in a run that ended with " + ending.message);
    }
    if (e.operation == HostOperation::Rotate) {
      if (++turns[e.record] > 1) broken.push_back("a component turned twice: " + CallText(e));
      if (moves[e.record] > 0) broken.push_back("a component turned after its move");
      continue;
    }
    if (++moves[e.record] > 1) broken.push_back("a component moved twice: " + CallText(e));
    const bool fits = detail::Fits(std::int64_t{e.given.X()} + e.first) &&
                      detail::Fits(std::int64_t{e.given.Y()} + e.second);
    if (!fits) broken.push_back("a move beyond 32 bits: " + CallText(e));
  }
  return broken;
}

}  // namespace kordane::testing
