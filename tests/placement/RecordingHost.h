// A host design for placement tests: the library's operations as static functions over one
// test-owned design, with every call written to a log shared with a recording view, statuses
// that can be made to fail at any call, and a list of calls the program should never make.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/Conversions.h"
#include "host/Dbx32.h"
#include "host/DbxLoader.h"
#include "host/DbxUtils.h"
#include "placement/CompSort.h"
#include "placement/PlacementRun.h"

namespace kordane::testing {

using Log = std::vector<std::string>;

// Status the fake returns when its selection has no more items.
inline constexpr std::int32_t kNoMoreItems = 32163;

struct FakePart {
  std::string refDes;
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t rotation = 0;
};

class FakeDesign;

namespace detail {
// The operations have no user pointer; they act on the one design alive.
inline FakeDesign* activeDesign = nullptr;
}  // namespace detail

class FakeDesign {
 public:
  // The newest design is the one the operations act on, until it goes.
  explicit FakeDesign(Log& log) : log_(log), previous_(detail::activeDesign) {
    detail::activeDesign = this;
  }
  ~FakeDesign() { detail::activeDesign = previous_; }
  FakeDesign(const FakeDesign&) = delete;
  FakeDesign& operator=(const FakeDesign&) = delete;

  // Selection. A component's record carries its part index at byte 0 so that the fake can find
  // the part again when the record comes back.
  void AddComponent(const std::string& refDes, std::int32_t x, std::int32_t y,
                    std::int32_t rotation = 0) {
    parts.push_back({refDes, x, y, rotation});
    selection_.push_back({TDbxItem::kComponentType, static_cast<std::int32_t>(parts.size() - 1)});
  }
  void AddOtherItem(std::int32_t type) { selection_.push_back({type, -1}); }

  // The first part with this designator.
  const FakePart& Part(const std::string& refDes) const {
    for (const FakePart& part : parts) {
      if (part.refDes == refDes) {
        return part;
      }
    }
    static const FakePart kMissing{"<missing>", 0, 0, 0};
    return kMissing;
  }

  // Makes the index-th call (0-based) of an operation return status. Operation names are those
  // written to the log: open, info, first, next, rotate, move, close.
  void FailAt(const std::string& operation, int index, std::int32_t status) {
    failures_[{operation, index}] = status;
  }

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

  std::vector<FakePart> parts;
  std::int32_t units = kUnitsMils;
  // What a refused design-information request leaves in the buffer.
  std::int32_t unitsOnRefusal = 12345;
  // Designators the host rewrites, in the part and in the record it was given, when it rotates
  // a component: old designator -> new.
  std::map<std::string, std::string> renameOnRotate;
  bool open = false;
  // Calls the program should never make (after close, with other arguments, ...).
  std::vector<std::string> violations;
  int rotateCalls = 0;
  int moveCalls = 0;

 private:
  struct Item {
    std::int32_t type;
    std::int32_t part;
  };

  static FakeDesign& Active() { return *detail::activeDesign; }

  // Logs the call and gives its status: the injected one, or 0.
  std::int32_t Call(const std::string& operation, const std::string& details = "") {
    log_.push_back(details.empty() ? operation : operation + " " + details);
    const int index = counts_[operation]++;
    const auto failure = failures_.find({operation, index});
    return failure == failures_.end() ? 0 : failure->second;
  }

  void CheckContext(const std::string& operation, const TDbxContext* context) {
    if (context != &DbxContext) {
      violations.push_back(operation + ": not the program's context");
    }
    if (!open) {
      violations.push_back(operation + ": no connection");
    }
  }

  FakePart* PartOf(const std::string& operation, const TDbxComponent* component) {
    const std::int32_t index = component->Int32At(0);
    if (index < 0 || static_cast<std::size_t>(index) >= parts.size()) {
      violations.push_back(operation + ": unknown record");
      return nullptr;
    }
    return &parts[static_cast<std::size_t>(index)];
  }

  void FillItem(TDbxItem* item) const {
    const Item& source = selection_[cursor_];
    *item = TDbxItem{};
    item->SetItemType(source.type);
    if (source.part >= 0) {
      const FakePart& part = parts[static_cast<std::size_t>(source.part)];
      TDbxComponent record{};
      record.SetInt32At(0, source.part);
      record.SetRefDes(part.refDes);
      record.SetX(part.x);
      record.SetY(part.y);
      record.SetRotation(part.rotation);
      item->SetComponent(record);
    }
  }

  static std::int32_t DBX_CALL Open(std::int32_t dbType, std::int32_t timeout, const char* name,
                                    TDbxContext* context) {
    FakeDesign& design = Active();
    const std::int32_t status = design.Call("open");
    if (dbType != kOpenDbType || timeout != kOpenTimeout || std::string(name) != "pcb" ||
        context != &DbxContext || design.open) {
      design.violations.push_back("open: unexpected arguments or already open");
    }
    design.open = status == 0;
    return status;
  }

  static std::int32_t DBX_CALL Close(TDbxContext* context, const char* message) {
    FakeDesign& design = Active();
    design.CheckContext("close", context);
    if (std::string(message) != "") {
      design.violations.push_back("close: message not empty");
    }
    design.open = false;
    return design.Call("close");
  }

  static std::int32_t DBX_CALL DesignInfo(TDbxContext* context, TDesignInfo* info) {
    FakeDesign& design = Active();
    design.CheckContext("info", context);
    const std::int32_t status = design.Call("info");
    info->SetUnits(status == 0 ? design.units : design.unitsOnRefusal);
    return status;
  }

  static std::int32_t DBX_CALL First(TDbxContext* context, TDbxItem* item) {
    FakeDesign& design = Active();
    design.CheckContext("first", context);
    design.cursor_ = 0;
    return design.Iterate("first", item);
  }

  static std::int32_t DBX_CALL Next(TDbxContext* context, TDbxItem* item) {
    FakeDesign& design = Active();
    design.CheckContext("next", context);
    ++design.cursor_;
    return design.Iterate("next", item);
  }

  std::int32_t Iterate(const std::string& operation, TDbxItem* item) {
    const std::int32_t status = Call(operation);
    if (status != 0) {
      return status;
    }
    if (cursor_ >= selection_.size()) {
      return kNoMoreItems;
    }
    FillItem(item);
    return 0;
  }

  static std::int32_t DBX_CALL Rotate(TDbxContext* context, std::int32_t angle,
                                      std::int32_t* rotationPoint, TDbxComponent* component) {
    FakeDesign& design = Active();
    design.CheckContext("rotate", context);
    ++design.rotateCalls;
    if (rotationPoint[0] != -1 || rotationPoint[1] != -1) {
      design.violations.push_back("rotate: rotation point is not (-1, -1)");
    }
    const std::int32_t status =
        design.Call("rotate", component->RefDes() + " " + std::to_string(angle));
    FakePart* part = design.PartOf("rotate", component);
    if (status == 0 && part != nullptr) {
      part->rotation = static_cast<std::int32_t>((std::int64_t{part->rotation} + angle) % 3600);
      component->SetRotation(part->rotation);
      const auto renamed = design.renameOnRotate.find(part->refDes);
      if (renamed != design.renameOnRotate.end()) {
        part->refDes = renamed->second;
        component->SetRefDes(part->refDes);
      }
    }
    return status;
  }

  static std::int32_t DBX_CALL Move(TDbxContext* context, std::int32_t dx, std::int32_t dy,
                                    TDbxComponent* component) {
    FakeDesign& design = Active();
    design.CheckContext("move", context);
    ++design.moveCalls;
    const std::int32_t status = design.Call(
        "move", component->RefDes() + " " + std::to_string(dx) + " " + std::to_string(dy));
    FakePart* part = design.PartOf("move", component);
    if (status == 0 && part != nullptr) {
      part->x = static_cast<std::int32_t>(std::int64_t{part->x} + dx);
      part->y = static_cast<std::int32_t>(std::int64_t{part->y} + dy);
      component->SetX(part->x);
      component->SetY(part->y);
    }
    return status;
  }

  Log& log_;
  FakeDesign* previous_;
  std::vector<Item> selection_;
  std::size_t cursor_ = 0;
  std::map<std::string, int> counts_;
  std::map<std::pair<std::string, int>, std::int32_t> failures_;
};

// The window as the run sees it, writing what it shows to the same log.
class RecordingView : public IPlacementView {
 public:
  explicit RecordingView(Log& log) : log_(log) {}

  void SetStatusText(const std::string& text) override {
    status = text;
    log_.push_back("status " + text);
  }
  void SetUnitsLabel(const std::string& text) override {
    unitsLabel = text;
    log_.push_back("units " + text);
  }
  void BeginWaitCursor() override { log_.push_back("wait"); }
  void EndWaitCursor() override { log_.push_back("restore"); }
  // The next queued text, or the standing one when none is queued.
  std::string RotationText() override {
    ++rotationTextReads;
    if (queuedRotationTexts.empty()) {
      return rotationText;
    }
    std::string text = queuedRotationTexts.front();
    queuedRotationTexts.pop_front();
    return text;
  }
  void ShowRefDesError(const std::string& message) override { log_.push_back("refdes " + message); }

  std::string status = "<untouched>";
  std::string unitsLabel = "<untouched>";
  std::string rotationText = "0";
  std::deque<std::string> queuedRotationTexts;
  int rotationTextReads = 0;

 private:
  Log& log_;
};

// Collects RefDes messages of the grouping and ordering.
class RecordingReporter : public IRefDesReporter {
 public:
  void ReportRefDesError(const std::string& message) override { messages.push_back(message); }
  std::vector<std::string> messages;
};

// One run's world: a design, a window and the run's inputs, all writing to one log.
struct Session {
  Session() { inputs.rotateEnabled = false; }

  void Run() { RunPlacement(host, inputs, view, designOpen); }

  // The message of the ConversionError that ended the run, or "<none>".
  std::string RunForError() {
    try {
      Run();
    } catch (const ConversionError& error) {
      return error.what();
    }
    return "<none>";
  }

  // Log entries of one operation or view output that carry details ("move R1 0 0").
  std::vector<std::string> Entries(const std::string& operation) const {
    std::vector<std::string> found;
    for (const std::string& entry : log) {
      if (entry.rfind(operation + " ", 0) == 0) {
        found.push_back(entry);
      }
    }
    return found;
  }

  Log log;
  FakeDesign design{log};
  RecordingView view{log};
  DbxHost host{FakeDesign::Api()};
  PlacementInputs inputs;
  bool designOpen = true;  // stale on purpose: the run clears it
};

}  // namespace kordane::testing
