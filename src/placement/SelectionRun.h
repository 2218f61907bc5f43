// The frame that every action over the host's selection shares (the placement run behind Go and
// the Arrange patterns): the hour-glass, one connection, the design's units, the capture of the
// selected components into records of the action's own, their grouping by designator prefix, the
// count of refused changes, and a cleanup that runs however the action ends.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>

#include "host/DbxCalls.h"
#include "host/DbxUtils.h"
#include "placement/CompSort.h"
#include "placement/PlacementRun.h"
#include "placement/RunGuards.h"

namespace kordane {

// A value for the host's 32-bit coordinates and angles, or none when it does not fit.
inline std::optional<std::int32_t> ToInt32(std::int64_t value) {
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

// What an action does with the groups once the selection is read (also when the open failed and
// there are none): every change goes through host, is counted by tally and turns about
// rotationPoint.
struct TSelectionStep {
  IDbxCalls& host;
  TSortedComp& groups;
  run_guards::ChangeTally& tally;
  std::int32_t* rotationPoint;
  // The units the design told an action that asks for them, else DbUnits.
  std::int32_t designUnits = kUnitsUnknown;
};

// Runs one action. designOpen is the window's FDesignOpen flag. An exception of the step ends the
// action after its cleanup and goes on to the caller. An action that works in the design's own
// units asks for them right after the open, whatever the main window's unit buttons made of
// DbUnits; DbUnits learns them only when it was unknown.
void RunOverSelection(IDbxCalls& host, IPlacementView& view, bool& designOpen,
                      const std::function<void(TSelectionStep&)>& step,
                      bool askDesignUnits = false);

}  // namespace kordane
