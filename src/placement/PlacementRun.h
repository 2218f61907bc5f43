// The placement run behind the Go button: connect, capture the selected components, group them
// by designator prefix, rotate, order and line up each group, disconnect.
#pragma once

#include <cstdint>
#include <string>

#include "host/DbxCalls.h"

namespace kordane {

enum class TSortOrder { Increasing, Decreasing, Unchanged };

// The window's choices, read when the run starts. The rotation text is read afresh for every
// member through IPlacementView::RotationText.
struct PlacementInputs {
  bool horizontal = true;
  TSortOrder order = TSortOrder::Increasing;
  bool spacingEnabled = true;
  std::string spacingText = "200";
  bool rotateEnabled = true;
};

// What a run shows and asks of its window.
class IPlacementView {
 public:
  virtual ~IPlacementView() = default;
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetUnitsLabel(const std::string& text) = 0;
  virtual void BeginWaitCursor() = 0;  // saves the present cursor, shows the hour-glass
  virtual void EndWaitCursor() = 0;    // restores the saved cursor
  virtual std::string RotationText() = 0;
  // "Error converting RefDes: <designator>" as a modal error box titled "Error".
  virtual void ShowRefDesError(const std::string& message) = 0;
};

// Asks the open connection for the design's units. A refused request leaves DbUnits as it was,
// whatever the host left in the buffer, so that the next action asks again.
void AskDesignUnits(IDbxCalls& host);

// Runs one placement. designOpen is the window's FDesignOpen flag: set while the connection is
// open, cleared by the run's cleanup. Conversion errors (the spacing text, "Spacing '%s' is out
// of range") end the run after its cleanup and propagate as ConversionError.
void RunPlacement(IDbxCalls& host, const PlacementInputs& inputs, IPlacementView& view,
                  bool& designOpen);

}  // namespace kordane
