#include "placement/PlacementRun.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "host/Conversions.h"
#include "host/DbxUtils.h"
#include "placement/CompSort.h"
#include "placement/RunGuards.h"
#include "placement/SelectionRun.h"

namespace kordane {

namespace {

using run_guards::ChangeTally;

constexpr const char* kSpacingOutOfRange = "Spacing '%s' is out of range";

[[noreturn]] void ThrowSpacingOutOfRange(const PlacementInputs& inputs) {
  throw ConversionError(FormatUserMessage(kSpacingOutOfRange, inputs.spacingText));
}

void RotateGroup(IDbxCalls& host, const TCompTypeList& group, IPlacementView& view,
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
    tally.Count(host.RotateComponent(&DbxContext, *change, rotationPoint, member));
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

// Go's work on the groups: turn, order and line up each group, in prefix order.
void LineUpGroups(TSelectionStep& step, const PlacementInputs& inputs, IPlacementView& view) {
  IDbxCalls& host = step.host;
  TSortedComp& sorted = step.groups;
  ChangeTally& tally = step.tally;
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
      RotateGroup(host, *group, view, step.rotationPoint, tally);
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
      tally.Count(host.MoveComponent(&DbxContext, move->dx, move->dy, member));
    }
  }
}

}  // namespace

void AskDesignUnits(IDbxCalls& host) {
  auto info = std::make_unique<TDesignInfo>();
  // A refused request leaves the units unknown, to be asked again on the next run.
  if (host.GetDesignInfo(&DbxContext, info.get()) == 0) {
    DbUnits = info->Units();
  }
}

void RunPlacement(IDbxCalls& host, const PlacementInputs& inputs, IPlacementView& view,
                  bool& designOpen) {
  RunOverSelection(host, view, designOpen,
                   [&inputs, &view](TSelectionStep& step) { LineUpGroups(step, inputs, view); });
}

}  // namespace kordane
