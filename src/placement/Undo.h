// Taking back the last placement run in one step. A run made through TUndoLastRun keeps a copy
// of every rotation and move the host accepted; Undo applies their inverses in the reverse order
// through the same component records, over a connection of its own. A component moved by hand
// after the run keeps that move: only what the run did is taken back. Kept in memory only.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "host/DbxCalls.h"
#include "placement/HostAdapters.h"
#include "placement/PlacementRun.h"

namespace kordane {

class TUndoLastRun {
 public:
  // A placement run, exactly as RunPlacement makes it. A run that changed something replaces
  // what there was to undo, also when it ends with an error after its first changes; a run that
  // changed nothing leaves the earlier one in place.
  void Run(IDbxCalls& host, const PlacementInputs& inputs, IPlacementView& view, bool& designOpen);
  // Any other action over the selection, made through the host it is given, under the same rule.
  void Run(IDbxCalls& host, const std::function<void(IDbxCalls& recorded)>& action);

  // Takes back the last run's changes. With nothing to undo it does nothing at all. A failed
  // open shows its status text and keeps the undo; otherwise the undo is used up, and refused
  // inverse changes show as "<status text> (N of M changes failed)".
  void Undo(IDbxCalls& host, IPlacementView& view, bool& designOpen);

  bool Available() const { return !changes_.empty(); }

 private:
  std::vector<TComponentChange> changes_;
};

}  // namespace kordane
