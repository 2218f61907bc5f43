#include "placement/HostAdapters.h"

#include "host/DbxUtils.h"

namespace kordane {

namespace {

// What the host answers when its selection has no more items.
constexpr std::int32_t kStatusNoMoreItems = 32163;

TComponentChange Rotation(std::int32_t angle, const TDbxComponent& record) {
  TComponentChange change;
  change.kind = TComponentChange::Kind::Rotate;
  change.angle = angle;
  change.record = record;
  return change;
}

TComponentChange Movement(std::int32_t dx, std::int32_t dy, const TDbxComponent& record) {
  TComponentChange change;
  change.kind = TComponentChange::Kind::Move;
  change.dx = dx;
  change.dy = dy;
  change.record = record;
  return change;
}

}  // namespace

std::int32_t ChangeRecordingHost::RotateComponent(TDbxContext* context, std::int32_t angle,
                                                  std::int32_t* rotationPoint,
                                                  TDbxComponent* component) {
  const std::int32_t status = Next().RotateComponent(context, angle, rotationPoint, component);
  if (status == 0) {
    accepted_.push_back(Rotation(angle, *component));
  }
  return status;
}

std::int32_t ChangeRecordingHost::MoveComponent(TDbxContext* context, std::int32_t dx,
                                                std::int32_t dy, TDbxComponent* component) {
  const std::int32_t status = Next().MoveComponent(context, dx, dy, component);
  if (status == 0) {
    accepted_.push_back(Movement(dx, dy, *component));
  }
  return status;
}

std::int32_t DryRunHost::NoteComponent(std::int32_t status, const TDbxItem* item) {
  if (status == 0 && item != nullptr && item->ItemType() == TDbxItem::kComponentType) {
    item->CopyComponentTo(selection_.emplace_back());
  }
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
  // Most runs turn and move every component once.
  if (intended_.empty()) intended_.reserve(2 * selection_.size());
  intended_.push_back(Rotation(angle, *component));
  return 0;
}

std::int32_t DryRunHost::MoveComponent(TDbxContext*, std::int32_t dx, std::int32_t dy,
                                       TDbxComponent* component) {
  if (intended_.empty()) intended_.reserve(2 * selection_.size());
  intended_.push_back(Movement(dx, dy, *component));
  return 0;
}

std::int32_t TSelectionHost::OpenDesign(std::int32_t, std::int32_t, const char*, TDbxContext*) {
  next_ = 0;
  return 0;
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
