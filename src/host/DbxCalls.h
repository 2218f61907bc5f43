// The host library's seven operations as one call surface, with the status texts of its codes.
// The placement run and its undo make every host call through one of these: DbxHost answers
// from the loaded library, and adapters in between can watch the calls or stand in for some of
// them (see placement/HostAdapters.h).
#pragma once

#include <cstdint>
#include <string>

#include "host/Dbx32.h"

namespace kordane {

class IDbxCalls {
 public:
  virtual ~IDbxCalls() = default;

  virtual std::int32_t OpenDesign(std::int32_t dbType, std::int32_t timeout, const char* name,
                                  TDbxContext* context) = 0;
  virtual std::int32_t CloseDesign(TDbxContext* context, const char* message) = 0;
  virtual std::int32_t GetDesignInfo(TDbxContext* context, TDesignInfo* info) = 0;
  virtual std::int32_t GetFirstSelectedItem(TDbxContext* context, TDbxItem* item) = 0;
  virtual std::int32_t GetNextSelectedItem(TDbxContext* context, TDbxItem* item) = 0;
  virtual std::int32_t RotateComponent(TDbxContext* context, std::int32_t angle,
                                       std::int32_t* rotationPoint, TDbxComponent* component) = 0;
  virtual std::int32_t MoveComponent(TDbxContext* context, std::int32_t dx, std::int32_t dy,
                                     TDbxComponent* component) = 0;

  // Status-line text of a status these operations returned.
  virtual std::string StatusText(std::int32_t status) const = 0;
};

// Passes every call on to another host; adapters override the calls they watch or replace.
class DbxCallsForwarder : public IDbxCalls {
 public:
  explicit DbxCallsForwarder(IDbxCalls& next) : next_(next) {}

  std::int32_t OpenDesign(std::int32_t dbType, std::int32_t timeout, const char* name,
                          TDbxContext* context) override {
    return next_.OpenDesign(dbType, timeout, name, context);
  }
  std::int32_t CloseDesign(TDbxContext* context, const char* message) override {
    return next_.CloseDesign(context, message);
  }
  std::int32_t GetDesignInfo(TDbxContext* context, TDesignInfo* info) override {
    return next_.GetDesignInfo(context, info);
  }
  std::int32_t GetFirstSelectedItem(TDbxContext* context, TDbxItem* item) override {
    return next_.GetFirstSelectedItem(context, item);
  }
  std::int32_t GetNextSelectedItem(TDbxContext* context, TDbxItem* item) override {
    return next_.GetNextSelectedItem(context, item);
  }
  std::int32_t RotateComponent(TDbxContext* context, std::int32_t angle,
                               std::int32_t* rotationPoint, TDbxComponent* component) override {
    return next_.RotateComponent(context, angle, rotationPoint, component);
  }
  std::int32_t MoveComponent(TDbxContext* context, std::int32_t dx, std::int32_t dy,
                             TDbxComponent* component) override {
    return next_.MoveComponent(context, dx, dy, component);
  }
  std::string StatusText(std::int32_t status) const override { return next_.StatusText(status); }

 protected:
  IDbxCalls& Next() { return next_; }

 private:
  IDbxCalls& next_;
};

}  // namespace kordane
