// Hosts between a placement run and the real one. The run's sequence of calls stays exactly as
// it is; an adapter only notes what passes through it, or answers some calls itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
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

// A host that serves a selection read earlier, from memory: the connection always opens, the
// design's units are the ones given, the items are the components given, in order, and every
// rotation and move is answered with success and changes nothing. A live picture runs over it
// without a host call.
class TSelectionHost final : public IDbxCalls {
 public:
  TSelectionHost(std::vector<TDbxComponent> components, std::int32_t units)
      : components_(std::move(components)), units_(units) {}

  std::int32_t OpenDesign(std::int32_t, std::int32_t, const char*, TDbxContext*) override;
  std::int32_t CloseDesign(TDbxContext*, const char*) override { return 0; }
  std::int32_t GetDesignInfo(TDbxContext*, TDesignInfo* info) override;
  std::int32_t GetFirstSelectedItem(TDbxContext* context, TDbxItem* item) override;
  std::int32_t GetNextSelectedItem(TDbxContext* context, TDbxItem* item) override;
  std::int32_t RotateComponent(TDbxContext*, std::int32_t, std::int32_t*, TDbxComponent*) override {
    return 0;
  }
  std::int32_t MoveComponent(TDbxContext*, std::int32_t, std::int32_t, TDbxComponent*) override {
    return 0;
  }
  std::string StatusText(std::int32_t status) const override;

  const std::vector<TDbxComponent>& Components() const { return components_; }

 private:
  std::vector<TDbxComponent> components_;
  std::int32_t units_;
  std::size_t next_ = 0;
};

}  // namespace kordane
