// The history of the steps made through the host: every placement run and every Apply of the
// Arrange window is one step, which can be taken back and made again, the latest first. A step
// keeps every rotation and move the host accepted; taking it back applies their inverses in the
// reverse order, making it again applies them once more in their order, each over a connection of
// its own and through the component records as the host last wrote them. Changes are relative, so
// a component moved by hand in between keeps that move. Kept in memory only, within a limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/DbxCalls.h"
#include "placement/PlacementRun.h"

namespace kordane {

class TUndoHistory {
 public:
  static constexpr std::size_t kMemoryLimit = std::size_t{64} << 20;

  explicit TUndoHistory(std::size_t memoryLimit = kMemoryLimit);
  ~TUndoHistory();
  TUndoHistory(const TUndoHistory&) = delete;
  TUndoHistory& operator=(const TUndoHistory&) = delete;

  // A placement run, exactly as RunPlacement makes it; its step is named "Go".
  void Run(IDbxCalls& host, const PlacementInputs& inputs, IPlacementView& view, bool& designOpen);
  // Any other action over the selection, made through the host it is given; action names it in
  // the step's name. A run that changed something becomes the latest step, also when it ends with
  // an error after its first changes, and the steps that could have been made again are
  // forgotten; a run that changed nothing leaves the history as it was. A move by (0, 0) or a
  // turn by 0 is no change. The oldest steps are forgotten while the history holds more than its
  // memory limit; the latest is always kept.
  void Run(IDbxCalls& host, std::string_view action,
           const std::function<void(IDbxCalls& recorded)>& run);

  // Takes back the latest step; Redo makes the latest step taken back again. With nothing to take
  // back or make again they do nothing at all. A failed open shows its status text and keeps the
  // step where it was; otherwise the step moves across, and refused changes show as "<status
  // text> (N of M changes failed)". A change the host refused on the way back stays in effect and
  // is not made again; one it refused on the way forward is not taken back.
  void Undo(IDbxCalls& host, IPlacementView& view, bool& designOpen);
  void Redo(IDbxCalls& host, IPlacementView& view, bool& designOpen);

  bool CanUndo() const;
  bool CanRedo() const;
  // What the latest step to take back (make again) did, such as "Grid on 16 components"; empty
  // when there is none.
  std::string UndoName() const;
  std::string RedoName() const;
  std::size_t UndoSteps() const;
  std::size_t RedoSteps() const;
  // The bytes the history holds: its steps and the component records they refer to.
  std::size_t MemoryUsed() const;

 private:
  class RecordStore;
  struct Change;
  struct PartEffect;
  struct Step;
  enum class Direction { Back, Forward };

  void Keep(Step&& step);
  // Forgets steps while the history holds more than its limit, never the one at `latest`.
  void KeepWithinLimit(std::size_t latest);
  void Replay(IDbxCalls& host, IPlacementView& view, bool& designOpen, Direction direction);
  // Releases the records of the steps in [first, last) and erases them.
  void Forget(std::size_t first, std::size_t last);

  std::size_t memoryLimit_;
  std::unique_ptr<RecordStore> records_;
  // Oldest first: [0, done_) can be taken back, [done_, size) made again.
  std::vector<Step> steps_;
  std::size_t done_ = 0;
  std::size_t stepBytes_ = 0;  // what the steps themselves hold, beside the records
};

}  // namespace kordane
