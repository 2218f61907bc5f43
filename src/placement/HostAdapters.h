// Hosts between a placement run and the real one. The run's sequence of calls stays exactly as
// it is; an adapter only notes what passes through it, or answers some calls itself.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "host/DbxCalls.h"

namespace kordane {

// One rotation or move of a component, as it was asked of the host.
struct TComponentChange {
  enum class Kind { Rotate, Move };
  Kind kind = Kind::Move;
  std::int32_t angle = 0;  // Rotate: the change, tenths of a degree
  std::int32_t dx = 0;     // Move: the offset, database units
  std::int32_t dy = 0;
  // The component's record as it stood after the call: the host identifies the component by it.
  TDbxComponent record{};
};

// Passes every call through and keeps a copy of each rotation and move the host accepted.
class ChangeRecordingHost final : public DbxCallsForwarder {
 public:
  using DbxCallsForwarder::DbxCallsForwarder;

  std::int32_t RotateComponent(TDbxContext* context, std::int32_t angle,
                               std::int32_t* rotationPoint, TDbxComponent* component) override;
  std::int32_t MoveComponent(TDbxContext* context, std::int32_t dx, std::int32_t dy,
                             TDbxComponent* component) override;

  const std::vector<TComponentChange>& Accepted() const { return accepted_; }
  std::vector<TComponentChange> TakeAccepted() { return std::move(accepted_); }

 private:
  std::vector<TComponentChange> accepted_;
};

// Passes the connection and the reading of the selection through, but makes no change: every
// rotation and move is noted instead and answered with success, as the host would accept it.
// The components of the selection are noted too, as the host gave them.
class DryRunHost final : public DbxCallsForwarder {
 public:
  using DbxCallsForwarder::DbxCallsForwarder;

  std::int32_t GetFirstSelectedItem(TDbxContext* context, TDbxItem* item) override;
  std::int32_t GetNextSelectedItem(TDbxContext* context, TDbxItem* item) override;

  std::int32_t RotateComponent(TDbxContext* context, std::int32_t angle,
                               std::int32_t* rotationPoint, TDbxComponent* component) override;
  std::int32_t MoveComponent(TDbxContext* context, std::int32_t dx, std::int32_t dy,
                             TDbxComponent* component) override;

  // Every change the run asked for, in its order.
  const std::vector<TComponentChange>& Intended() const { return intended_; }
  // Every component of the selection, in the order read.
  const std::vector<TDbxComponent>& Selection() const { return selection_; }

 private:
  std::int32_t NoteComponent(std::int32_t status, const TDbxItem* item);

  std::vector<TComponentChange> intended_;
  std::vector<TDbxComponent> selection_;
};

}  // namespace kordane
