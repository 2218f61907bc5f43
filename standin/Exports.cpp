// The library's exported operations, all served by one board host inside the library.
#include <cstdint>
#include <exception>
#include <filesystem>
#include <new>
#include <string>
#include <type_traits>

#include "Board.h"
#include "host/Dbx32.h"

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#if defined(STANDIN_EXPORTS_FROM_DEF_ONLY)
#define DBX_EXPORT  // the .def file alone names the exports
#else
#define DBX_EXPORT __declspec(dllexport)
#endif
#else
#include <dlfcn.h>
#define DBX_EXPORT __attribute__((visibility("default")))
#endif

using kordane::TDbxComponent;
using kordane::TDbxContext;
using kordane::TDbxItem;
using kordane::TDesignInfo;

namespace {

// Folder of this library's own file, where its board is kept by default.
std::filesystem::path LibraryFolder() {
#if defined(_WIN32)
  HMODULE self = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCSTR>(&LibraryFolder), &self)) {
    return {};
  }
  // Wide: its folder may be one that the ANSI code page cannot name.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      return {};
    }
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return std::filesystem::path(path).parent_path();
#else
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&LibraryFolder), &info) == 0 ||
      info.dli_fname == nullptr) {
    return {};
  }
  return std::filesystem::path(info.dli_fname).parent_path();
#endif
}

standin::BoardHost& Host() {
  static standin::BoardHost host(LibraryFolder());
  return host;
}

// No exception may leave the library: it becomes a status.
template <typename Call>
std::int32_t Guarded(Call call) noexcept {
  try {
    return call(Host());
  } catch (const std::bad_alloc&) {
    return standin::kLowMemory;
  } catch (...) {
    return standin::kFatalError;
  }
}

}  // namespace

extern "C" {

DBX_EXPORT std::int32_t DBX_CALL TOpenDesign(std::int32_t dbType, std::int32_t timeout,
                                             const char* name, TDbxContext* context) {
  return Guarded(
      [&](standin::BoardHost& host) { return host.Open(dbType, timeout, name, context); });
}

DBX_EXPORT std::int32_t DBX_CALL TCloseDesign(TDbxContext* context, const char* message) {
  return Guarded([&](standin::BoardHost& host) { return host.Close(context, message); });
}

DBX_EXPORT std::int32_t DBX_CALL TGetDesignInfo(TDbxContext* context, TDesignInfo* info) {
  return Guarded([&](standin::BoardHost& host) { return host.GetDesignInfo(context, info); });
}

DBX_EXPORT std::int32_t DBX_CALL TGetFirstSelectedItem(TDbxContext* context, TDbxItem* item) {
  return Guarded([&](standin::BoardHost& host) { return host.GetFirst(context, item); });
}

DBX_EXPORT std::int32_t DBX_CALL TGetNextSelectedItem(TDbxContext* context, TDbxItem* item) {
  return Guarded([&](standin::BoardHost& host) { return host.GetNext(context, item); });
}

DBX_EXPORT std::int32_t DBX_CALL TRotateComponent(TDbxContext* context, std::int32_t angle,
                                                  std::int32_t* rotationPoint,
                                                  TDbxComponent* component) {
  return Guarded([&](standin::BoardHost& host) {
    return host.Rotate(context, angle, rotationPoint, component);
  });
}

#if !defined(STANDIN_WITHOUT_MOVE)
DBX_EXPORT std::int32_t DBX_CALL TMoveComponent(TDbxContext* context, std::int32_t dx,
                                                std::int32_t dy, TDbxComponent* component) {
  return Guarded([&](standin::BoardHost& host) { return host.Move(context, dx, dy, component); });
}
#endif

}  // extern "C"

// The exports have exactly the types the program's table expects.
#define STANDIN_CHECK_EXPORT(name, argBytes, ...) \
  static_assert(std::is_same_v<decltype(&name), kordane::name##Fn>, #name);
#if !defined(STANDIN_WITHOUT_MOVE)
KORDANE_DBX_OPERATIONS(STANDIN_CHECK_EXPORT)
#endif
#undef STANDIN_CHECK_EXPORT
