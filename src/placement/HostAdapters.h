// Hosts between a placement run and the real one. The run's sequence of calls stays exactly as
// it is; an adapter only notes what passes through it, or answers some calls itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/DbxCalls.h"
#include "host/DbxUtils.h"

namespace kordane {

// One rotation or move of a component, as it was asked of the host.
struct TComponentChange {
  enum class Kind { Rotate, Move };
  Kind kind = Kind::Move;
  std::int32_t angle = 0;  // Rotate: the change, tenths of a degree
  std::int32_t dx = 0;     // Move: the offset, database units
  std::int32_t dy = 0;
};

// Passes every call through and tells of each rotation and move the host accepted that changes
// something (a move by (0, 0) or a turn by 0 does not), with the component's record as the host
// left it: the host identifies the component by it.
class ChangeRecordingHost final : public DbxCallsForwarder {
 public:
  using Accepted = std::function<void(const TComponentChange&, const TDbxComponent& record)>;

  ChangeRecordingHost(IDbxCalls& next, Accepted accepted)
      : DbxCallsForwarder(next), accepted_(std::move(accepted)) {}

  std::int32_t RotateComponent(TDbxContext* context, std::int32_t angle,
                               std::int32_t* rotationPoint, TDbxComponent* component) override;
  std::int32_t MoveComponent(TDbxContext* context, std::int32_t dx, std::int32_t dy,
                             TDbxComponent* component) override;

 private:
  Accepted accepted_;
};

// A rotation or move a run asked for, and the component of the selection it was asked of.
struct TIntendedChange {
  TComponentChange::Kind kind = TComponentChange::Kind::Move;
  std::int32_t angle = 0;  // Rotate: the change, tenths of a degree
  std::int32_t dx = 0;     // Move: the offset, database units
  std::int32_t dy = 0;
  std::optional<std::size_t> part;  // its index in the selection; none when no component matches
};

// The components of a selection by what a record shows of them (designator, place, angle), for
// a run that makes no change: a record the run hands back shows exactly what its component was
// read with. Each record the run holds stands for one component, the same for every change asked
// of it in a run. Components that show the same are told apart by the rest of their bytes, and
// where those are the same too, by the order in which their records are first asked about. The
// selection must outlive the index and keep its place in memory.
class TSelectionIndex {
 public:
  void Build(const std::vector<TDbxComponent>& selection);
  // The component record stands for: the one it was matched to before in this round, else the
  // next one that shows the same and is not yet matched.
  std::optional<std::size_t> Claim(const TDbxComponent& record);
  void ForgetClaims();
  std::size_t Size() const { return size_; }

 private:
  struct Key {
    std::string_view refDes;
    std::int32_t x, y, rotation;
    friend bool operator==(const Key&, const Key&) = default;
  };
  static Key KeyOf(const TDbxComponent& record);
  static std::uint64_t HashOf(const Key& key);
  // One key: its components are parts_[offset, offset + count), in the order read. Open
  // addressing in one block of memory, so that a claim costs a cache miss or two, not a walk.
  struct Slot {
    std::uint64_t hash = 0;
    std::uint32_t offset = 0;
    std::uint32_t count = 0;    // 0: the slot is free
    std::uint32_t matched = 0;  // of a key shown by more than one: the first so many are matched
    std::uint64_t round = 0;    // and count only in the round they were matched in
  };
  // The slot of the key, or the free slot where it would go.
  Slot& Find(const Key& key, std::uint64_t hash);

  const std::vector<TDbxComponent>* selection_ = nullptr;
  std::vector<Slot> slots_;  // a power of two in size, at most half full
  std::vector<std::uint32_t> parts_;
  // The records matched in this round to components of keys shown by more than one.
  std::unordered_map<const TDbxComponent*, std::uint32_t> matches_;
  std::size_t size_ = 0;
  std::uint64_t round_ = 1;
};

// What a host that makes no change noted of a run: every component of the selection as read, and
// every rotation and move, which it answered with success as the host would accept it.
class IChangeNotes {
 public:
  virtual ~IChangeNotes() = default;
  // Every component of the selection, in the order read.
  virtual const std::vector<TDbxComponent>& Selection() const = 0;
  // Every change the run asked for, in its order.
  virtual const std::vector<TIntendedChange>& Intended() const = 0;
  // The component of the selection that a record the run holds stands for; during the run.
  virtual std::optional<std::size_t> Claim(const TDbxComponent& record) = 0;
  // The units the design told the run, if it asked; else unknown.
  virtual std::int32_t DesignUnits() const = 0;
};

// Passes the connection and the reading of the selection through, but makes no change.
class DryRunHost final : public DbxCallsForwarder, public IChangeNotes {
 public:
  using DbxCallsForwarder::DbxCallsForwarder;

  std::int32_t GetFirstSelectedItem(TDbxContext* context, TDbxItem* item) override;
  std::int32_t GetNextSelectedItem(TDbxContext* context, TDbxItem* item) override;
  std::int32_t GetDesignInfo(TDbxContext* context, TDesignInfo* info) override;
  std::int32_t RotateComponent(TDbxContext* context, std::int32_t angle,
                               std::int32_t* rotationPoint, TDbxComponent* component) override;
  std::int32_t MoveComponent(TDbxContext* context, std::int32_t dx, std::int32_t dy,
                             TDbxComponent* component) override;

  const std::vector<TDbxComponent>& Selection() const override { return selection_; }
  const std::vector<TIntendedChange>& Intended() const override { return intended_; }
  std::optional<std::size_t> Claim(const TDbxComponent& record) override;
  std::int32_t DesignUnits() const override { return designUnits_; }

 private:
  std::int32_t NoteComponent(std::int32_t status, const TDbxItem* item);
  // The index of the selection as read so far.
  TSelectionIndex& Index();

  std::vector<TIntendedChange> intended_;
  std::vector<TDbxComponent> selection_;
  TSelectionIndex index_;
  std::int32_t designUnits_ = kUnitsUnknown;
};

// A host that serves a selection read earlier, from memory: the connection always opens, the
// design's units are the ones given, the items are the components given, in order, and every
// rotation and move is noted, answered with success and changes nothing. A live picture runs
// over it without a host call; its index of the selection is made once, for every run over it.
class TSelectionHost final : public IDbxCalls, public IChangeNotes {
 public:
  TSelectionHost(std::vector<TDbxComponent> components, std::int32_t units);
  TSelectionHost(const TSelectionHost&) = delete;
  TSelectionHost& operator=(const TSelectionHost&) = delete;

  // Each connection starts a run afresh: nothing noted, nothing claimed.
  std::int32_t OpenDesign(std::int32_t, std::int32_t, const char*, TDbxContext*) override;
  std::int32_t CloseDesign(TDbxContext*, const char*) override { return 0; }
  std::int32_t GetDesignInfo(TDbxContext*, TDesignInfo* info) override;
  std::int32_t GetFirstSelectedItem(TDbxContext* context, TDbxItem* item) override;
  std::int32_t GetNextSelectedItem(TDbxContext* context, TDbxItem* item) override;
  std::int32_t RotateComponent(TDbxContext* context, std::int32_t angle,
                               std::int32_t* rotationPoint, TDbxComponent* component) override;
  std::int32_t MoveComponent(TDbxContext* context, std::int32_t dx, std::int32_t dy,
                             TDbxComponent* component) override;
  std::string StatusText(std::int32_t status) const override;

  const std::vector<TDbxComponent>& Selection() const override { return components_; }
  const std::vector<TIntendedChange>& Intended() const override { return intended_; }
  std::optional<std::size_t> Claim(const TDbxComponent& record) override;
  std::int32_t DesignUnits() const override { return units_; }

 private:
  std::vector<TDbxComponent> components_;
  std::int32_t units_;
  std::size_t next_ = 0;
  TSelectionIndex index_;
  std::vector<TIntendedChange> intended_;
};

}  // namespace kordane
