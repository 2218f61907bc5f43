#include "placement/PlacementRun.h"

#include <cstddef>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "host/Conversions.h"
#include "host/DbxUtils.h"
#include "placement/CompSort.h"

namespace kordane {

namespace {

constexpr const char* kConnectedText = "Connected";
constexpr const char* kSpacingOutOfRange = "Spacing '%s' is out of range";

std::optional<std::int32_t> ToInt32(std::int64_t value) {
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

// Cleanup must not throw: it runs while an error of the run may be on its way out.
template <typename Action>
void Quietly(Action&& action) noexcept {
  try {
    action();
  } catch (...) {
    // Nothing left to tell the user through: the run's own error (if any) is what they see.
  }
}

class WaitCursor {
 public:
  explicit WaitCursor(IPlacementView& view) : view_(view) { view_.BeginWaitCursor(); }
  ~WaitCursor() {
    Quietly([this] { view_.EndWaitCursor(); });
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  IPlacementView& view_;
};

// Closes the connection when the run opened one, and clears the status line.
class Connection {
 public:
  Connection(const DbxApi& api, IPlacementView& view, bool& designOpen)
      : api_(api), view_(view), designOpen_(designOpen) {}
  ~Connection() {
    if (!designOpen_) {
      return;
    }
    api_.TCloseDesign(&DbxContext, kCloseMessage);
    designOpen_ = false;
    Quietly([this] { view_.SetStatusText(""); });
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

 private:
  const DbxApi& api_;
  IPlacementView& view_;
  bool& designOpen_;
};

// Counts the rotations and moves the host refused; when there were any, the status line says
// so once the connection is closed.
class ChangeTally {
 public:
  ChangeTally(const DbxHost& host, IPlacementView& view) : host_(host), view_(view) {}
  ~ChangeTally() {
    if (failures_ == 0) {
      return;
    }
    Quietly([this] {
      view_.SetStatusText(host_.StatusText(firstFailure_) + " (" + std::to_string(failures_) +
                          " of " + std::to_string(calls_) + " changes failed)");
    });
  }
  ChangeTally(const ChangeTally&) = delete;
  ChangeTally& operator=(const ChangeTally&) = delete;

  void Count(std::int32_t status) {
    ++calls_;
    if (status != 0) {
      if (failures_ == 0) {
        firstFailure_ = status;
      }
      ++failures_;
    }
  }

 private:
  const DbxHost& host_;
  IPlacementView& view_;
  std::int64_t calls_ = 0;
  std::int64_t failures_ = 0;
  std::int32_t firstFailure_ = 0;
};

class ViewRefDesReporter : public IRefDesReporter {
 public:
  explicit ViewRefDesReporter(IPlacementView& view) : view_(view) {}
  void ReportRefDesError(const std::string& message) override { view_.ShowRefDesError(message); }

 private:
  IPlacementView& view_;
};

[[noreturn]] void ThrowSpacingOutOfRange(const PlacementInputs& inputs) {
  throw ConversionError(FormatUserMessage(kSpacingOutOfRange, inputs.spacingText));
}

void CaptureSelection(const DbxApi& api, std::vector<std::unique_ptr<TDbxComponent>>& records) {
  // Zeroed so that no byte of a record is ever indeterminate, whatever the host fills in.
  auto item = std::make_unique<TDbxItem>();
  std::int32_t status = api.TGetFirstSelectedItem(&DbxContext, item.get());
  while (status == 0) {
    if (item->ItemType() == TDbxItem::kComponentType) {
      auto record = std::make_unique<TDbxComponent>();
      item->CopyComponentTo(*record);
      records.push_back(std::move(record));
    }
    status = api.TGetNextSelectedItem(&DbxContext, item.get());
  }
}

void RotateGroup(const DbxApi& api, const TCompTypeList& group, IPlacementView& view,
                 std::int32_t* rotationPoint, ChangeTally& tally) {
  for (std::int32_t i = 0; i < group.Count(); ++i) {
    TDbxComponent* member = group.GetItem(i);
    std::int32_t degrees = 0;
    try {
      degrees = ParseInt(view.RotationText());
    } catch (const ConversionError&) {
      continue;  // not an integer: this member keeps its rotation
    }
    const std::optional<std::int32_t> target = ToInt32(std::int64_t{degrees} * 10);
    if (!target) {
      continue;
    }
    const std::optional<std::int32_t> change = ToInt32(std::int64_t{*target} - member->Rotation());
    if (!change) {
      continue;
    }
    tally.Count(api.TRotateComponent(&DbxContext, *change, rotationPoint, member));
  }
}

// The member whose coordinate on the pitch's axis is smallest; the first of equals.
const TDbxComponent& ReferenceMember(const TCompTypeList& group, std::int32_t pitchX) {
  const TDbxComponent* reference = group.GetItem(0);
  for (std::int32_t i = 1; i < group.Count(); ++i) {
    const TDbxComponent* member = group.GetItem(i);
    const bool smaller = pitchX != 0 ? member->X() < reference->X() : member->Y() < reference->Y();
    if (smaller) {
      reference = member;
    }
  }
  return *reference;
}

struct Move {
  std::int32_t dx;
  std::int32_t dy;
};

// The move that takes member i to slot k, or none when a slot or a move would not fit.
std::optional<Move> MoveToSlot(const TDbxComponent& member, std::int64_t k, std::int32_t refX,
                               std::int32_t refY, std::int32_t pitchX, std::int32_t pitchY) {
  const std::optional<std::int32_t> slotX = ToInt32(refX + k * pitchX);
  const std::optional<std::int32_t> slotY = ToInt32(refY + k * pitchY);
  if (!slotX || !slotY) {
    return std::nullopt;
  }
  const std::optional<std::int32_t> dx = ToInt32(std::int64_t{*slotX} - member.X());
  const std::optional<std::int32_t> dy = ToInt32(std::int64_t{*slotY} - member.Y());
  if (!dx || !dy) {
    return std::nullopt;
  }
  return Move{*dx, *dy};
}

}  // namespace

void AskDesignUnits(const DbxApi& api) {
  auto info = std::make_unique<TDesignInfo>();
  if (api.TGetDesignInfo(&DbxContext, info.get()) == 0) {
    DbUnits = info->Units();
  }
}

void RunPlacement(const DbxHost& host, const PlacementInputs& inputs, IPlacementView& view,
                  bool& designOpen) {
  const DbxApi& api = host.Api();

  // Declared in the reverse of their cleanup: the connection closes first, then a failed change
  // is shown, then the groups and the records go, and the cursor comes back last.
  WaitCursor waitCursor(view);
  designOpen = false;
  std::int32_t rotationPoint[2] = {-1, -1};
  std::vector<std::unique_ptr<TDbxComponent>> records;
  ViewRefDesReporter reporter(view);
  TSortedComp sorted(reporter);
  ChangeTally tally(host, view);
  Connection connection(api, view, designOpen);

  const std::int32_t openStatus =
      api.TOpenDesign(kOpenDbType, kOpenTimeout, kOpenDesignName, &DbxContext);
  if (openStatus != 0) {
    view.SetStatusText(host.StatusText(openStatus));
  } else {
    designOpen = true;
    view.SetStatusText(kConnectedText);
  }

  if (designOpen) {
    if (DbUnits == kUnitsUnknown) {
      AskDesignUnits(api);
    }
    if (DbUnits == kUnitsMils) {
      view.SetUnitsLabel("mils");
    } else if (DbUnits == kUnitsMm) {
      view.SetUnitsLabel("mm");
    }
    CaptureSelection(api, records);
  }

  for (const auto& record : records) {
    sorted.AddComponent(record.get());
  }

  const double spacing = ParseFloat(inputs.spacingText);
  std::int32_t pitch = 0;
  try {
    pitch = ToDbUnits(spacing);
  } catch (const ConversionError&) {
    ThrowSpacingOutOfRange(inputs);
  }
  const std::int32_t pitchX = inputs.horizontal ? pitch : 0;
  const std::int32_t pitchY = inputs.horizontal ? 0 : pitch;

  const std::size_t groupCount = sorted.Prefixes().size();
  for (std::size_t g = 0; g < groupCount; ++g) {
    TCompTypeList* group = sorted.FindGroup(sorted.Prefixes()[g]);
    if (group == nullptr || group->Count() == 0) {
      continue;
    }
    const std::int32_t n = group->Count();

    if (inputs.rotateEnabled) {
      RotateGroup(api, *group, view, rotationPoint, tally);
    }

    if (inputs.order == TSortOrder::Unchanged) {
      group->SortByPosition(inputs.horizontal ? kAxisX : kAxisY);
    } else {
      group->SortByNumber();
    }

    const TDbxComponent& reference = ReferenceMember(*group, pitchX);
    const std::int32_t refX = reference.X();
    const std::int32_t refY = reference.Y();

    if (!inputs.spacingEnabled) {
      continue;
    }
    const auto slotOf = [&inputs, n](std::int32_t i) -> std::int64_t {
      return inputs.order == TSortOrder::Decreasing ? std::int64_t{n} - 1 - i : i;
    };
    // Every slot must fit before the group's first move, so that a group is moved whole or not.
    for (std::int32_t i = 0; i < n; ++i) {
      if (!MoveToSlot(*group->GetItem(i), slotOf(i), refX, refY, pitchX, pitchY)) {
        ThrowSpacingOutOfRange(inputs);
      }
    }
    for (std::int32_t i = 0; i < n; ++i) {
      TDbxComponent* member = group->GetItem(i);
      // Read again: the host may have written the record since the check.
      const std::optional<Move> move = MoveToSlot(*member, slotOf(i), refX, refY, pitchX, pitchY);
      if (!move) {
        ThrowSpacingOutOfRange(inputs);
      }
      tally.Count(api.TMoveComponent(&DbxContext, move->dx, move->dy, member));
    }
  }
}

}  // namespace kordane
