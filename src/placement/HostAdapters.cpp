#include "placement/HostAdapters.h"

#include <cstring>
#include <functional>
#include <utility>

#include "host/DbxUtils.h"

namespace kordane {

namespace {

// What the host answers when its selection has no more items.
constexpr std::int32_t kStatusNoMoreItems = 32163;

TIntendedChange IntendedChange(TComponentChange::Kind kind, std::int32_t angle, std::int32_t dx,
                               std::int32_t dy, TSelectionIndex& index,
                               const TDbxComponent& record) {
  return {kind, angle, dx, dy, index.Claim(record)};
}

}  // namespace

std::int32_t ChangeRecordingHost::RotateComponent(TDbxContext* context, std::int32_t angle,
                                                  std::int32_t* rotationPoint,
                                                  TDbxComponent* component) {
  const std::int32_t status = Next().RotateComponent(context, angle, rotationPoint, component);
  if (status == 0 && angle != 0) {
    accepted_({TComponentChange::Kind::Rotate, angle, 0, 0}, *component);
  }
  return status;
}

std::int32_t ChangeRecordingHost::MoveComponent(TDbxContext* context, std::int32_t dx,
                                                std::int32_t dy, TDbxComponent* component) {
  const std::int32_t status = Next().MoveComponent(context, dx, dy, component);
  if (status == 0 && (dx != 0 || dy != 0)) {
    accepted_({TComponentChange::Kind::Move, 0, dx, dy}, *component);
  }
  return status;
}

std::uint64_t TSelectionIndex::HashOf(const Key& key) {
  std::uint64_t hash = std::hash<std::string_view>{}(key.refDes);
  for (const std::int32_t field : {key.x, key.y, key.rotation}) {
    hash = (hash ^ static_cast<std::uint32_t>(field)) * 0x100000001B3u;
  }
  return hash ^ (hash >> 29);
}

TSelectionIndex::Key TSelectionIndex::KeyOf(const TDbxComponent& record) {
  return {record.RefDesView(), record.X(), record.Y(), record.Rotation()};
}

TSelectionIndex::Slot& TSelectionIndex::Find(const Key& key, std::uint64_t hash) {
  const std::size_t mask = slots_.size() - 1;
  for (auto at = static_cast<std::size_t>(hash & mask);; at = (at + 1) & mask) {
    Slot& slot = slots_[at];
    if (slot.count == 0) return slot;
    if (slot.hash == hash && KeyOf((*selection_)[parts_[slot.offset]]) == key) return slot;
  }
}

void TSelectionIndex::Build(const std::vector<TDbxComponent>& selection) {
  selection_ = &selection;
  size_ = selection.size();
  std::size_t capacity = 16;
  while (capacity < 2 * size_) capacity *= 2;
  slots_.assign(capacity, Slot{});
  parts_.assign(size_, 0);
  // First the count of each key, then its place in parts_, then its components in order. Until
  // a key's offset is known, its slot finds the key through the first component counted.
  std::vector<std::uint32_t> slotOf(size_);
  for (std::size_t i = 0; i < size_; ++i) {
    const Key key = KeyOf(selection[i]);
    const std::uint64_t hash = HashOf(key);
    const std::size_t mask = capacity - 1;
    auto at = static_cast<std::size_t>(hash & mask);
    while (slots_[at].count != 0 &&
           !(slots_[at].hash == hash && KeyOf(selection[slots_[at].offset]) == key)) {
      at = (at + 1) & mask;
    }
    if (slots_[at].count == 0) slots_[at] = Slot{hash, static_cast<std::uint32_t>(i), 0, 0, 0};
    ++slots_[at].count;
    slotOf[i] = static_cast<std::uint32_t>(at);
  }
  std::uint32_t next = 0;
  std::vector<std::uint32_t> filled(capacity, 0);
  for (Slot& slot : slots_) {
    if (slot.count == 0) continue;
    slot.offset = next;
    next += slot.count;
  }
  for (std::size_t i = 0; i < size_; ++i) {
    Slot& slot = slots_[slotOf[i]];
    parts_[slot.offset + filled[slotOf[i]]++] = static_cast<std::uint32_t>(i);
  }
  matches_.clear();
}

std::optional<std::size_t> TSelectionIndex::Claim(const TDbxComponent& record) {
  if (slots_.empty()) return std::nullopt;
  const Key key = KeyOf(record);
  Slot& slot = Find(key, HashOf(key));
  if (slot.count <= 1) {
    return slot.count == 0 ? std::nullopt : std::optional<std::size_t>(parts_[slot.offset]);
  }
  if (const auto known = matches_.find(&record); known != matches_.end()) return known->second;
  if (slot.round != round_) {
    slot.round = round_;
    slot.matched = 0;
  }
  if (slot.matched == slot.count) return std::nullopt;
  // The next one not yet matched, unless a later one is the record byte for byte. A run asks in
  // the order it read, so the first look usually finds it; the order found is kept for the next
  // round.
  const std::uint32_t next = slot.offset + slot.matched;
  for (std::uint32_t at = next; at < slot.offset + slot.count; ++at) {
    if (std::memcmp((*selection_)[parts_[at]].bytes, record.bytes, sizeof record.bytes) == 0) {
      std::swap(parts_[next], parts_[at]);
      break;
    }
  }
  ++slot.matched;
  matches_.emplace(&record, parts_[next]);
  return parts_[next];
}

void TSelectionIndex::ForgetClaims() {
  ++round_;
  matches_.clear();
}

TSelectionIndex& DryRunHost::Index() {
  // The run reads the whole selection before its first change.
  if (index_.Size() != selection_.size()) index_.Build(selection_);
  return index_;
}

std::optional<std::size_t> DryRunHost::Claim(const TDbxComponent& record) {
  return Index().Claim(record);
}

std::int32_t DryRunHost::NoteComponent(std::int32_t status, const TDbxItem* item) {
  if (status == 0 && item != nullptr && item->ItemType() == TDbxItem::kComponentType) {
    item->CopyComponentTo(selection_.emplace_back());
  }
  return status;
}

std::int32_t DryRunHost::GetDesignInfo(TDbxContext* context, TDesignInfo* info) {
  const std::int32_t status = Next().GetDesignInfo(context, info);
  if (status == 0) designUnits_ = info->Units();
  return status;
}

std::int32_t DryRunHost::GetFirstSelectedItem(TDbxContext* context, TDbxItem* item) {
  return NoteComponent(Next().GetFirstSelectedItem(context, item), item);
}

std::int32_t DryRunHost::GetNextSelectedItem(TDbxContext* context, TDbxItem* item) {
  return NoteComponent(Next().GetNextSelectedItem(context, item), item);
}

std::int32_t DryRunHost::RotateComponent(TDbxContext*, std::int32_t angle, std::int32_t*,
                                         TDbxComponent* component) {
  intended_.push_back(
      IntendedChange(TComponentChange::Kind::Rotate, angle, 0, 0, Index(), *component));
  return 0;
}

std::int32_t DryRunHost::MoveComponent(TDbxContext*, std::int32_t dx, std::int32_t dy,
                                       TDbxComponent* component) {
  intended_.push_back(IntendedChange(TComponentChange::Kind::Move, 0, dx, dy, Index(), *component));
  return 0;
}

TSelectionHost::TSelectionHost(std::vector<TDbxComponent> components, std::int32_t units)
    : components_(std::move(components)), units_(units) {
  index_.Build(components_);
}

std::int32_t TSelectionHost::OpenDesign(std::int32_t, std::int32_t, const char*, TDbxContext*) {
  next_ = 0;
  intended_.clear();
  index_.ForgetClaims();
  return 0;
}

std::int32_t TSelectionHost::RotateComponent(TDbxContext*, std::int32_t angle, std::int32_t*,
                                             TDbxComponent* component) {
  intended_.push_back(
      IntendedChange(TComponentChange::Kind::Rotate, angle, 0, 0, index_, *component));
  return 0;
}

std::int32_t TSelectionHost::MoveComponent(TDbxContext*, std::int32_t dx, std::int32_t dy,
                                           TDbxComponent* component) {
  intended_.push_back(IntendedChange(TComponentChange::Kind::Move, 0, dx, dy, index_, *component));
  return 0;
}

std::optional<std::size_t> TSelectionHost::Claim(const TDbxComponent& record) {
  return index_.Claim(record);
}

std::int32_t TSelectionHost::GetDesignInfo(TDbxContext*, TDesignInfo* info) {
  if (units_ != kUnitsMils && units_ != kUnitsMm) return kStatusNoMoreItems;
  info->SetUnits(units_);
  return 0;
}

std::int32_t TSelectionHost::GetFirstSelectedItem(TDbxContext* context, TDbxItem* item) {
  next_ = 0;
  return GetNextSelectedItem(context, item);
}

std::int32_t TSelectionHost::GetNextSelectedItem(TDbxContext*, TDbxItem* item) {
  if (next_ >= components_.size()) return kStatusNoMoreItems;
  item->SetItemType(TDbxItem::kComponentType);
  item->SetComponent(components_[next_++]);
  return 0;
}

std::string TSelectionHost::StatusText(std::int32_t status) const {
  return DbxStatusText(status);
}

}  // namespace kordane
