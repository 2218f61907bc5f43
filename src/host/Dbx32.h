// Import declarations of the host editor's client library Dbx32.dll: the records exchanged with
// it and the table of its seven operations. The records are opaque byte blocks of the host's
// exact sizes; the program reads only the fields that have accessors here and carries every
// other byte unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#if defined(_WIN32)
#define DBX_CALL __stdcall  // WINAPI, without pulling <windows.h> into the core
#else
#define DBX_CALL
#endif

namespace kordane {

namespace detail {
// Fixed-size little-endian byte block with 32-bit field access at byte offsets.
template <std::size_t Size>
struct ByteRecord {
  unsigned char bytes[Size];

  std::int32_t Int32At(std::size_t offset) const {
    std::int32_t value;
    std::memcpy(&value, bytes + offset, sizeof value);
    return value;
  }
  void SetInt32At(std::size_t offset, std::int32_t value) {
    std::memcpy(bytes + offset, &value, sizeof value);
  }
};
}  // namespace detail

// Connection context; filled by TOpenDesign and never looked into by the program.
struct TDbxContext : detail::ByteRecord<28> {};

// Design information; the program reads only the units code.
struct TDesignInfo : detail::ByteRecord<852> {
  static constexpr std::size_t kUnitsOffset = 836;
  std::int32_t Units() const { return Int32At(kUnitsOffset); }
  void SetUnits(std::int32_t units) { SetInt32At(kUnitsOffset, units); }
};

// A component as captured from the selection and handed back to move or rotate it.
struct TDbxComponent : detail::ByteRecord<724> {
  static constexpr std::size_t kRefDesOffset = 4;
  static constexpr std::size_t kRefDesSize = 100;
  static constexpr std::size_t kXOffset = 660;
  static constexpr std::size_t kYOffset = 664;
  static constexpr std::size_t kRotationOffset = 684;

  // Up to the first NUL, or all 100 bytes when there is none; never past the field.
  std::string_view RefDesView() const {
    const char* first = reinterpret_cast<const char*>(bytes + kRefDesOffset);
    const void* nul = std::memchr(first, 0, kRefDesSize);
    const std::size_t length = nul != nullptr
                                   ? static_cast<std::size_t>(static_cast<const char*>(nul) - first)
                                   : kRefDesSize;
    return std::string_view(first, length);
  }
  std::string RefDes() const { return std::string(RefDesView()); }
  std::int32_t X() const { return Int32At(kXOffset); }
  std::int32_t Y() const { return Int32At(kYOffset); }
  std::int32_t Rotation() const { return Int32At(kRotationOffset); }

  // For hosts (the stand-in, test hosts); the program itself never writes a captured record.
  void SetRefDes(const std::string& refDes) {
    std::memset(bytes + kRefDesOffset, 0, kRefDesSize);
    std::memcpy(bytes + kRefDesOffset, refDes.data(),
                refDes.size() < kRefDesSize ? refDes.size() : kRefDesSize);
  }
  void SetX(std::int32_t x) { SetInt32At(kXOffset, x); }
  void SetY(std::int32_t y) { SetInt32At(kYOffset, y); }
  void SetRotation(std::int32_t rotation) { SetInt32At(kRotationOffset, rotation); }
};

// One selected item; components carry a TDbxComponent sub-record.
struct TDbxItem : detail::ByteRecord<9336> {
  static constexpr std::int32_t kComponentType = 9;
  static constexpr std::size_t kTypeOffset = 0;
  static constexpr std::size_t kComponentOffset = 1616;

  std::int32_t ItemType() const { return Int32At(kTypeOffset); }
  void SetItemType(std::int32_t type) { SetInt32At(kTypeOffset, type); }
  void CopyComponentTo(TDbxComponent& component) const {
    std::memcpy(component.bytes, bytes + kComponentOffset, sizeof component.bytes);
  }
  void SetComponent(const TDbxComponent& component) {
    std::memcpy(bytes + kComponentOffset, component.bytes, sizeof component.bytes);
  }
};

static_assert(sizeof(TDbxContext) == 28);
static_assert(sizeof(TDesignInfo) == 852);
static_assert(sizeof(TDbxComponent) == 724);
static_assert(sizeof(TDbxItem) == 9336);

// The library's operations: X(name, bytes of arguments on the stack, return, parameters...).
// Every operation returns a status code, 0 for success.
#define KORDANE_DBX_OPERATIONS(X)                                                                \
  X(TOpenDesign, 16, std::int32_t dbType, std::int32_t timeout, const char* name,                \
    TDbxContext* context)                                                                        \
  X(TCloseDesign, 8, TDbxContext* context, const char* message)                                  \
  X(TGetDesignInfo, 8, TDbxContext* context, TDesignInfo* info)                                  \
  X(TGetFirstSelectedItem, 8, TDbxContext* context, TDbxItem* item)                              \
  X(TGetNextSelectedItem, 8, TDbxContext* context, TDbxItem* item)                               \
  X(TRotateComponent, 16, TDbxContext* context, std::int32_t angle, std::int32_t* rotationPoint, \
    TDbxComponent* component)                                                                    \
  X(TMoveComponent, 16, TDbxContext* context, std::int32_t dx, std::int32_t dy,                  \
    TDbxComponent* component)

#define KORDANE_DBX_FUNCTION_TYPE(name, argBytes, ...) \
  using name##Fn = std::int32_t(DBX_CALL*)(__VA_ARGS__);
KORDANE_DBX_OPERATIONS(KORDANE_DBX_FUNCTION_TYPE)
#undef KORDANE_DBX_FUNCTION_TYPE

// The library as a table of plain functions.
struct DbxApi {
#define KORDANE_DBX_FIELD(name, argBytes, ...) name##Fn name = nullptr;
  KORDANE_DBX_OPERATIONS(KORDANE_DBX_FIELD)
#undef KORDANE_DBX_FIELD
};

// Arguments the program always passes.
inline constexpr std::int32_t kOpenDbType = 0;
inline constexpr std::int32_t kOpenTimeout = 15000;
inline constexpr const char* kOpenDesignName = "pcb";
inline constexpr const char* kCloseMessage = "";

// Program-wide connection context, filled by the library when a connection opens.
extern TDbxContext DbxContext;

}  // namespace kordane
