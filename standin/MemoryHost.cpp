#include "MemoryHost.h"

#include <stdexcept>

namespace standin {

namespace {

// The bound design; see MemoryHost.
Design*& BoundDesign() {
  static Design* bound = nullptr;
  return bound;
}

std::int32_t DBX_CALL OpenDesign(std::int32_t, std::int32_t, const char* name,
                                 TDbxContext* context) {
  Design* const design = BoundDesign();
  if (design == nullptr) {
    return kNoConnection;
  }
  return name == nullptr ? kBadInput : design->Open(context);
}

std::int32_t DBX_CALL CloseDesign(TDbxContext* context, const char*) {
  Design* const design = BoundDesign();
  return design == nullptr ? kNoConnection : design->Close(context);
}

std::int32_t DBX_CALL GetDesignInfo(TDbxContext* context, TDesignInfo* info) {
  Design* const design = BoundDesign();
  return design == nullptr ? kNoConnection : design->GetDesignInfo(context, info);
}

std::int32_t DBX_CALL GetFirstSelectedItem(TDbxContext* context, TDbxItem* item) {
  Design* const design = BoundDesign();
  return design == nullptr ? kNoConnection : design->GetFirst(context, item);
}

std::int32_t DBX_CALL GetNextSelectedItem(TDbxContext* context, TDbxItem* item) {
  Design* const design = BoundDesign();
  return design == nullptr ? kNoConnection : design->GetNext(context, item);
}

std::int32_t DBX_CALL RotateComponent(TDbxContext* context, std::int32_t angle,
                                      std::int32_t* rotationPoint, TDbxComponent* component) {
  Design* const design = BoundDesign();
  return design == nullptr ? kNoConnection
                           : design->Rotate(context, angle, rotationPoint, component);
}

std::int32_t DBX_CALL MoveComponent(TDbxContext* context, std::int32_t dx, std::int32_t dy,
                                    TDbxComponent* component) {
  Design* const design = BoundDesign();
  return design == nullptr ? kNoConnection : design->Move(context, dx, dy, component);
}

}  // namespace

MemoryHost::MemoryHost(Design& design) {
  if (BoundDesign() != nullptr) {
    throw std::logic_error("another design is already bound");
  }
  BoundDesign() = &design;
}

MemoryHost::~MemoryHost() {
  BoundDesign() = nullptr;
}

kordane::DbxApi MemoryHost::Api() {
  kordane::DbxApi api;
  api.TOpenDesign = &OpenDesign;
  api.TCloseDesign = &CloseDesign;
  api.TGetDesignInfo = &GetDesignInfo;
  api.TGetFirstSelectedItem = &GetFirstSelectedItem;
  api.TGetNextSelectedItem = &GetNextSelectedItem;
  api.TRotateComponent = &RotateComponent;
  api.TMoveComponent = &MoveComponent;
  return api;
}

}  // namespace standin
