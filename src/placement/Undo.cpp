#include "placement/Undo.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>
#include <stdexcept>
#include <utility>

#include "placement/HostAdapters.h"
#include "placement/Preview.h"
#include "placement/RunGuards.h"

namespace kordane {

namespace {

using run_guards::ChangeTally;
using run_guards::Connection;
using run_guards::WaitCursor;

constexpr std::size_t kReservedSteps = 128;

using ChangeKind = TComponentChange::Kind;
// What of a change is in effect: all of it, none, or a part after a two-call replay that the host
// half refused.
enum class Effect : std::uint32_t { Whole, None, Part };

// The next call's share of a change still to be made: all of it, unless a signed 32-bit value
// cannot hold it (the inverse of -2^31).
std::int32_t NextShare(std::int64_t rest) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      rest, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

// Component records without their place and angle, each kept once however many changes refer
// to it: the records of one component differ from step to step only there, so a history of many
// steps over the same components holds each record once.
class TUndoHistory::RecordStore {
 public:
  // The record's entry, one more reference to it.
  std::uint32_t Add(const TDbxComponent& record) {
    const TDbxComponent body = Body(record);
    const std::uint64_t hash = HashOf(body);
    if (buckets_.empty()) buckets_.assign(kFirstBuckets, kNone);
    for (std::uint32_t at = buckets_[Bucket(hash)]; at != kNone; at = At(at).next) {
      Entry& entry = At(at);
      if (entry.hash == hash && SameBody(entry.body, body)) {
        ++entry.references;
        return at;
      }
    }
    if (live_ >= buckets_.size()) Rehash(buckets_.size() * 2);
    auto added = std::make_unique<Entry>(Entry{body, hash, 1, buckets_[Bucket(hash)]});
    std::uint32_t index = 0;
    if (!free_.empty()) {
      index = free_.back();
      free_.pop_back();
    } else {
      index = static_cast<std::uint32_t>(entries_.size());
      entries_.emplace_back();
      // Release must not fail: room for every entry on the free list.
      free_.reserve(entries_.capacity());
    }
    entries_[index] = std::move(added);
    buckets_[Bucket(hash)] = index;
    ++live_;
    return index;
  }

  void Release(std::uint32_t index) noexcept {
    Entry& entry = At(index);
    if (--entry.references > 0) return;
    for (std::uint32_t* link = &buckets_[Bucket(entry.hash)]; *link != kNone;
         link = &At(*link).next) {
      if (*link == index) {
        *link = entry.next;
        break;
      }
    }
    entries_[index].reset();
    if (--live_ == 0) {
      *this = RecordStore{};
      return;
    }
    free_.push_back(index);
  }

  // The record of the entry, with the place and angle given.
  void Fill(std::uint32_t index, std::int32_t x, std::int32_t y, std::int32_t rotation,
            TDbxComponent& record) const {
    record = At(index).body;
    record.SetX(x);
    record.SetY(y);
    record.SetRotation(rotation);
  }

  // Whether the entry is the record's, its place and angle aside.
  bool Holds(std::uint32_t index, const TDbxComponent& record) const {
    return SameBody(At(index).body, Body(record));
  }

  std::size_t MemoryUsed() const {
    return live_ * (sizeof(Entry) + kAllocationOverhead) +
           entries_.capacity() * sizeof(entries_[0]) + free_.capacity() * sizeof(free_[0]) +
           buckets_.capacity() * sizeof(buckets_[0]);
  }

 private:
  static constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
  static constexpr std::size_t kFirstBuckets = 64;
  // What the heap adds to each entry, at most.
  static constexpr std::size_t kAllocationOverhead = 16;

  struct Entry {
    TDbxComponent body{};
    std::uint64_t hash = 0;
    std::uint32_t references = 1;
    std::uint32_t next = kNone;  // in the bucket's chain
  };

  static TDbxComponent Body(const TDbxComponent& record) {
    TDbxComponent body = record;
    body.SetX(0);
    body.SetY(0);
    body.SetRotation(0);
    return body;
  }
  static bool SameBody(const TDbxComponent& a, const TDbxComponent& b) {
    return std::memcmp(a.bytes, b.bytes, sizeof a.bytes) == 0;
  }
  static std::uint64_t HashOf(const TDbxComponent& body) {
    // Four lanes, so that the multiplications do not wait on each other.
    std::uint64_t lanes[4] = {0xCBF29CE484222325u, 0x84222325CBF29CE4u, 0x9E3779B97F4A7C15u,
                              0xC2B2AE3D27D4EB4Fu};
    std::size_t at = 0;
    for (; at + 32 <= sizeof body.bytes; at += 32) {
      for (std::size_t lane = 0; lane < 4; ++lane) {
        std::uint64_t word = 0;
        std::memcpy(&word, body.bytes + at + 8 * lane, sizeof word);
        lanes[lane] = (lanes[lane] ^ word) * 0x100000001B3u;
        lanes[lane] ^= lanes[lane] >> 29;
      }
    }
    std::uint64_t hash = lanes[0] ^ (lanes[1] << 1) ^ (lanes[2] << 2) ^ (lanes[3] << 3);
    for (; at < sizeof body.bytes; ++at) hash = (hash ^ body.bytes[at]) * 0x100000001B3u;
    return hash ^ (hash >> 31);
  }

  std::size_t Bucket(std::uint64_t hash) const {
    return static_cast<std::size_t>(hash) & (buckets_.size() - 1);
  }
  Entry& At(std::uint32_t index) { return *entries_[index]; }
  const Entry& At(std::uint32_t index) const { return *entries_[index]; }

  void Rehash(std::size_t size) {
    std::vector<std::uint32_t> chains = std::move(buckets_);
    buckets_.assign(size, kNone);
    for (const std::uint32_t first : chains) {
      for (std::uint32_t at = first; at != kNone;) {
        Entry& entry = At(at);
        const std::uint32_t next = entry.next;
        entry.next = buckets_[Bucket(entry.hash)];
        buckets_[Bucket(entry.hash)] = at;
        at = next;
      }
    }
  }

  std::vector<std::unique_ptr<Entry>> entries_;  // empty where free
  std::vector<std::uint32_t> free_;
  std::vector<std::uint32_t> buckets_;  // each chain's first entry
  std::size_t live_ = 0;
};

// One rotation or move as the host accepted it, the record the host last wrote for it, and what
// of it is in effect now. Small: a history holds millions of them.
struct TUndoHistory::Change {
  static constexpr std::uint32_t kMostRecords = std::uint32_t{1} << 29;

  Change(std::uint32_t record, ChangeKind kind, std::int32_t first, std::int32_t second,
         const TDbxComponent& written)
      : a(first), b(second) {
    if (record >= kMostRecords) throw std::length_error("Too many component records to undo");
    packed = record << 3 | static_cast<std::uint32_t>(kind) << 2;
    SetEffect(Effect::Whole);
    Place(written);
  }

  std::uint32_t Record() const { return packed >> 3; }
  void SetRecord(std::uint32_t record) { packed = record << 3 | (packed & 7u); }
  ChangeKind Kind() const { return static_cast<ChangeKind>(packed >> 2 & 1u); }
  Effect EffectNow() const { return static_cast<Effect>(packed & 3u); }
  void SetEffect(Effect effect) { packed = (packed & ~3u) | static_cast<std::uint32_t>(effect); }
  void Place(const TDbxComponent& written) {
    x = written.X();
    y = written.Y();
    rotation = written.Rotation();
  }

  std::uint32_t packed = 0;  // the record in the store, the kind, the effect
  std::int32_t x = 0, y = 0, rotation = 0;
  std::int32_t a = 0, b = 0;  // rotation: the angle and 0; move: dx, dy
};

// What is in effect of a change whose effect is Part.
struct TUndoHistory::PartEffect {
  std::size_t change;
  std::int32_t a, b;
};

struct TUndoHistory::Step {
  std::string action;
  std::size_t components = 0;  // distinct components changed
  std::vector<Change> changes;
  std::vector<PartEffect> parts;

  // What the step holds beside itself; its name is counted whole, short or not.
  std::size_t Bytes() const {
    return action.capacity() + 1 + changes.capacity() * sizeof(Change) +
           parts.capacity() * sizeof(PartEffect);
  }
};

TUndoHistory::TUndoHistory(std::size_t memoryLimit)
    : memoryLimit_(memoryLimit), records_(std::make_unique<RecordStore>()) {
  // Room for the usual history from the start, so that its size does not jump as it fills.
  steps_.reserve(kReservedSteps);
}

TUndoHistory::~TUndoHistory() = default;

bool TUndoHistory::CanUndo() const {
  return done_ > 0;
}

bool TUndoHistory::CanRedo() const {
  return done_ < steps_.size();
}

std::size_t TUndoHistory::UndoSteps() const {
  return done_;
}

std::size_t TUndoHistory::RedoSteps() const {
  return steps_.size() - done_;
}

namespace {

std::string StepName(const std::string& action, std::size_t components) {
  return action + " on " + Counted(components, "component", "components");
}

}  // namespace

std::string TUndoHistory::UndoName() const {
  if (!CanUndo()) return {};
  const Step& step = steps_[done_ - 1];
  return StepName(step.action, step.components);
}

std::string TUndoHistory::RedoName() const {
  if (!CanRedo()) return {};
  const Step& step = steps_[done_];
  return StepName(step.action, step.components);
}

std::size_t TUndoHistory::MemoryUsed() const {
  return sizeof(*this) + steps_.capacity() * sizeof(Step) + stepBytes_ + records_->MemoryUsed();
}

void TUndoHistory::Run(IDbxCalls& host, const PlacementInputs& inputs, IPlacementView& view,
                       bool& designOpen) {
  Run(host, "Go", [&](IDbxCalls& recorded) { RunPlacement(recorded, inputs, view, designOpen); });
}

void TUndoHistory::Run(IDbxCalls& host, std::string_view action,
                       const std::function<void(IDbxCalls& recorded)>& run) {
  Step step;
  step.action = action;
  // A run passes each component's own record every time: its address names the component.
  std::vector<const TDbxComponent*> components;
  ChangeRecordingHost recorder(
      host, [&](const TComponentChange& accepted, const TDbxComponent& record) {
        components.push_back(&record);
        const bool turn = accepted.kind == ChangeKind::Rotate;
        Change change(records_->Add(record), accepted.kind, turn ? accepted.angle : accepted.dx,
                      turn ? 0 : accepted.dy, record);
        try {
          step.changes.push_back(change);
        } catch (...) {
          records_->Release(change.Record());
          throw;
        }
      });
  // What the host accepted is kept however the run ends: it happened.
  const auto keep = [&] {
    std::sort(components.begin(), components.end());
    step.components = static_cast<std::size_t>(std::unique(components.begin(), components.end()) -
                                               components.begin());
    Keep(std::move(step));
  };
  try {
    run(recorder);
  } catch (...) {
    keep();
    throw;
  }
  keep();
}

void TUndoHistory::Keep(Step&& step) {
  if (step.changes.empty()) return;
  Forget(done_, steps_.size());
  step.changes.shrink_to_fit();
  try {
    steps_.push_back(std::move(step));
  } catch (...) {
    for (const Change& change : step.changes) records_->Release(change.Record());
    throw;
  }
  done_ = steps_.size();
  stepBytes_ += steps_.back().Bytes();
  KeepWithinLimit(steps_.size() - 1);
}

void TUndoHistory::KeepWithinLimit(std::size_t latest) {
  // The oldest go first, then the farthest to make again; the step just made, taken back or made
  // again stays, however large.
  while (steps_.size() > 1 && MemoryUsed() > memoryLimit_) {
    if (latest > 0) {
      Forget(0, 1);
      --latest;
    } else {
      Forget(steps_.size() - 1, steps_.size());
    }
  }
}

void TUndoHistory::Forget(std::size_t first, std::size_t last) {
  if (first >= last) return;
  for (std::size_t i = first; i < last; ++i) {
    for (const Change& change : steps_[i].changes) records_->Release(change.Record());
    stepBytes_ -= steps_[i].Bytes();
  }
  steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(first),
               steps_.begin() + static_cast<std::ptrdiff_t>(last));
  if (done_ > first) done_ = first + (done_ > last ? done_ - last : 0);
}

void TUndoHistory::Undo(IDbxCalls& host, IPlacementView& view, bool& designOpen) {
  Replay(host, view, designOpen, Direction::Back);
}

void TUndoHistory::Redo(IDbxCalls& host, IPlacementView& view, bool& designOpen) {
  Replay(host, view, designOpen, Direction::Forward);
}

void TUndoHistory::Replay(IDbxCalls& host, IPlacementView& view, bool& designOpen,
                          Direction direction) {
  const bool back = direction == Direction::Back;
  if (back ? !CanUndo() : !CanRedo()) return;
  // Declared in the reverse of their cleanup, as in a run.
  WaitCursor waitCursor(view);
  designOpen = false;
  std::int32_t rotationPoint[2] = {-1, -1};
  ChangeTally tally(host, view);
  Connection connection(host, view, designOpen);
  if (!connection.Open()) return;
  // The step moves across from here on: the connection is made.
  Step& step = back ? steps_[done_ - 1] : steps_[done_];
  done_ = back ? done_ - 1 : done_ + 1;
  const std::size_t bytesBefore = step.Bytes();

  TDbxComponent record{};
  const auto replay = [&](std::size_t index) {
    Change& change = step.changes[index];
    const auto partEffect =
        std::find_if(step.parts.begin(), step.parts.end(),
                     [index](const PartEffect& p) { return p.change == index; });
    std::int64_t a = 0;  // in effect now
    std::int64_t b = 0;
    switch (change.EffectNow()) {
      case Effect::Whole:
        a = change.a;
        b = change.b;
        break;
      case Effect::Part:
        a = partEffect->a;
        b = partEffect->b;
        break;
      case Effect::None:
        break;
    }
    std::int64_t restA = (back ? 0 : std::int64_t{change.a}) - a;
    std::int64_t restB = (back ? 0 : std::int64_t{change.b}) - b;
    if (restA == 0 && restB == 0) return;
    records_->Fill(change.Record(), change.x, change.y, change.rotation, record);
    while (restA != 0 || restB != 0) {
      const std::int32_t shareA = NextShare(restA);
      const std::int32_t shareB = NextShare(restB);
      const std::int32_t status =
          change.Kind() == ChangeKind::Rotate
              ? host.RotateComponent(&DbxContext, shareA, rotationPoint, &record)
              : host.MoveComponent(&DbxContext, shareA, shareB, &record);
      tally.Count(status);
      if (status == 0) {
        a += shareA;
        b += shareB;
      }
      restA -= shareA;
      restB -= shareB;
    }
    // The record as the host wrote it names the component next time.
    if (!records_->Holds(change.Record(), record)) {
      const std::uint32_t added = records_->Add(record);
      records_->Release(change.Record());
      change.SetRecord(added);
    }
    change.Place(record);
    const Effect effect = a == change.a && b == change.b ? Effect::Whole
                          : a == 0 && b == 0             ? Effect::None
                                                         : Effect::Part;
    change.SetEffect(effect);
    if (effect != Effect::Part) {
      if (partEffect != step.parts.end()) step.parts.erase(partEffect);
    } else if (partEffect != step.parts.end()) {
      partEffect->a = static_cast<std::int32_t>(a);
      partEffect->b = static_cast<std::int32_t>(b);
    } else {
      step.parts.push_back({index, static_cast<std::int32_t>(a), static_cast<std::int32_t>(b)});
    }
  };
  {
    struct BytesKept {
      std::size_t& total;
      const Step& step;
      std::size_t before;
      ~BytesKept() { total = total - before + step.Bytes(); }
    } bytesKept{stepBytes_, step, bytesBefore};
    if (back) {
      for (std::size_t i = step.changes.size(); i-- > 0;) replay(i);
    } else {
      for (std::size_t i = 0; i < step.changes.size(); ++i) replay(i);
    }
  }
  // The host may have written other bytes of a record since: its new copy can take the history
  // past its bound.
  KeepWithinLimit(back ? done_ : done_ - 1);
}

}  // namespace kordane
