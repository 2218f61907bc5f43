#include "placement/Undo.h"

#include <limits>
#include <utility>

#include "placement/RunGuards.h"

namespace kordane {

namespace {

using run_guards::ChangeTally;
using run_guards::Connection;
using run_guards::WaitCursor;

// Keeps what the recorder saw accepted, however the run ends.
class KeepAccepted {
 public:
  KeepAccepted(ChangeRecordingHost& recorder, std::vector<TComponentChange>& kept)
      : recorder_(recorder), kept_(kept) {}
  ~KeepAccepted() {
    if (!recorder_.Accepted().empty()) {
      kept_ = recorder_.TakeAccepted();
    }
  }
  KeepAccepted(const KeepAccepted&) = delete;
  KeepAccepted& operator=(const KeepAccepted&) = delete;

 private:
  ChangeRecordingHost& recorder_;
  std::vector<TComponentChange>& kept_;
};

// The inverse of a change as the steps that make it: one step, or two for the one value whose
// negation a signed 32-bit integer cannot hold.
std::vector<std::int32_t> InverseSteps(std::int32_t value) {
  if (value == std::numeric_limits<std::int32_t>::min()) {
    return {std::numeric_limits<std::int32_t>::max(), 1};
  }
  return {-value};
}

}  // namespace

void TUndoLastRun::Run(IDbxCalls& host, const PlacementInputs& inputs, IPlacementView& view,
                       bool& designOpen) {
  Run(host, [&](IDbxCalls& recorded) { RunPlacement(recorded, inputs, view, designOpen); });
}

void TUndoLastRun::Run(IDbxCalls& host, const std::function<void(IDbxCalls& recorded)>& action) {
  ChangeRecordingHost recorder(host);
  KeepAccepted keep(recorder, changes_);
  action(recorder);
}

void TUndoLastRun::Undo(IDbxCalls& host, IPlacementView& view, bool& designOpen) {
  if (changes_.empty()) {
    return;
  }
  // Declared in the reverse of their cleanup, as in a run.
  WaitCursor waitCursor(view);
  designOpen = false;
  std::int32_t rotationPoint[2] = {-1, -1};
  ChangeTally tally(host, view);
  Connection connection(host, view, designOpen);
  if (!connection.Open()) {
    return;
  }
  // Used up from here on: the connection is made, and this is the one step back.
  const std::vector<TComponentChange> changes = std::exchange(changes_, {});
  for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
    TDbxComponent record = change->record;
    if (change->kind == TComponentChange::Kind::Rotate) {
      for (const std::int32_t angle : InverseSteps(change->angle)) {
        tally.Count(host.RotateComponent(&DbxContext, angle, rotationPoint, &record));
      }
    } else {
      const std::vector<std::int32_t> xs = InverseSteps(change->dx);
      const std::vector<std::int32_t> ys = InverseSteps(change->dy);
      for (std::size_t step = 0; step < xs.size() || step < ys.size(); ++step) {
        tally.Count(host.MoveComponent(&DbxContext, step < xs.size() ? xs[step] : 0,
                                       step < ys.size() ? ys[step] : 0, &record));
      }
    }
  }
}

}  // namespace kordane
