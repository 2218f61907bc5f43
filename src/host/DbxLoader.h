// Loads Dbx32.dll at run time and resolves its operations. When the library or one of its
// operations is missing the program still runs: every operation then fails with
// kDbxLoadFailure and StatusText names what is missing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/Dbx32.h"
#include "host/DbxCalls.h"

namespace kordane {

// Status returned by every operation of a host whose library could not be loaded.
inline constexpr std::int32_t kDbxLoadFailure = -32768;

class DbxHost final : public IDbxCalls {
 public:
  // A host over a table that is already complete (tests, the in-memory benchmark host).
  explicit DbxHost(const DbxApi& api);

  // Loads the library by name or path. On Windows a bare name such as "Dbx32.dll" is looked for
  // in the program's folder, the system folder, the Windows folder and the absolute folders of
  // PATH, never in the current directory (host/DllSearch.h), and each file found is loaded by its
  // full path until one has every operation; when none has, LoadError names the first one found
  // and why ("C:\Host\Dbx32.dll is not a 32-bit library"). On other systems: a path to the
  // stand-in's shared library. Paths are UTF-8.
  static DbxHost Load(const std::string& libraryPath);

  // Takes the current directory out of the process's own DLL search (SetDefaultDllDirectories
  // where the system has it, else SetDllDirectory("")). Call once at start, before any load;
  // nothing on other systems.
  static void RestrictDefaultDllSearch();

  // Default library name for this platform, beside the running program.
  static std::string DefaultLibraryPath();

  DbxHost(DbxHost&&) noexcept;
  DbxHost& operator=(DbxHost&&) noexcept;
  ~DbxHost();

  const DbxApi& Api() const { return api_; }
  bool Loaded() const { return loadError_.empty(); }
  // What could not be loaded, e.g. "Cannot load Dbx32.dll"; empty when loaded.
  const std::string& LoadError() const { return loadError_; }

  // The operations, straight to the library's table.
  std::int32_t OpenDesign(std::int32_t dbType, std::int32_t timeout, const char* name,
                          TDbxContext* context) override {
    return api_.TOpenDesign(dbType, timeout, name, context);
  }
  std::int32_t CloseDesign(TDbxContext* context, const char* message) override {
    return api_.TCloseDesign(context, message);
  }
  std::int32_t GetDesignInfo(TDbxContext* context, TDesignInfo* info) override {
    return api_.TGetDesignInfo(context, info);
  }
  std::int32_t GetFirstSelectedItem(TDbxContext* context, TDbxItem* item) override {
    return api_.TGetFirstSelectedItem(context, item);
  }
  std::int32_t GetNextSelectedItem(TDbxContext* context, TDbxItem* item) override {
    return api_.TGetNextSelectedItem(context, item);
  }
  std::int32_t RotateComponent(TDbxContext* context, std::int32_t angle,
                               std::int32_t* rotationPoint, TDbxComponent* component) override {
    return api_.TRotateComponent(context, angle, rotationPoint, component);
  }
  std::int32_t MoveComponent(TDbxContext* context, std::int32_t dx, std::int32_t dy,
                             TDbxComponent* component) override {
    return api_.TMoveComponent(context, dx, dy, component);
  }

  // Status-line text of a status returned by this host's operations; a load failure names what
  // is missing.
  std::string StatusText(std::int32_t status) const override;

 private:
  struct Module;
  DbxHost() = default;
  // Loads the library at path and takes it when it has every operation; else what failed, the
  // file named by its full path when the search found it, by its name otherwise.
  std::string Adopt(const std::string& path, bool found);
  std::unique_ptr<Module> module_;
  DbxApi api_;
  std::string loadError_;
};

}  // namespace kordane
