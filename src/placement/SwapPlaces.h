// Swap places: two selected components change places, each going to the other's position and
// angle as read, as one run over the selection (Go's connection, capture and tally).
#pragma once

#include "host/DbxCalls.h"
#include "placement/PlacementRun.h"

namespace kordane {

// What the undo history calls a swap.
inline constexpr const char* kSwapPlacesStep = "Swap places";

// With exactly two components selected, turns each by the difference of their angles, then moves
// each by the difference of their positions. With any other number, or when a difference does not
// fit the host's 32-bit values, nothing changes and the status line says why once the connection
// is closed, for example "Swap places needs exactly two selected components: 5 are selected".
void RunSwapPlaces(IDbxCalls& host, IPlacementView& view, bool& designOpen);

}  // namespace kordane
