#include "host/DbxLoader.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "host/DbxUtils.h"
#include "host/DllSearch.h"
#include "host/WideText.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace kordane {

TDbxContext DbxContext{};

namespace {

// Stand-ins for every operation of a library that did not load: they fail and touch nothing.
// The parameter names come with the operation table and are deliberately unused here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#define KORDANE_DBX_STUB(name, argBytes, ...)     \
  std::int32_t DBX_CALL name##Stub(__VA_ARGS__) { \
    return kDbxLoadFailure;                       \
  }
KORDANE_DBX_OPERATIONS(KORDANE_DBX_STUB)
#undef KORDANE_DBX_STUB
#pragma GCC diagnostic pop

DbxApi StubApi() {
  DbxApi api;
#define KORDANE_DBX_STUB_FIELD(name, argBytes, ...) api.name = &name##Stub;
  KORDANE_DBX_OPERATIONS(KORDANE_DBX_STUB_FIELD)
#undef KORDANE_DBX_STUB_FIELD
  return api;
}

// Name of the first operation the table lacks, or nullptr when it is complete.
const char* FirstMissingOperation(const DbxApi& api) {
#define KORDANE_DBX_CHECK_FIELD(name, argBytes, ...) \
  if (api.name == nullptr) return #name;
  KORDANE_DBX_OPERATIONS(KORDANE_DBX_CHECK_FIELD)
#undef KORDANE_DBX_CHECK_FIELD
  return nullptr;
}

std::string FileNamePart(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Exported symbol as an untyped address; the caller gives it the operation's type.
using SymbolAddress = void (*)();

#if defined(_WIN32)
// A text the system writes into a buffer it is given, such as a folder, as UTF-8; empty when it
// fails. Wide, so that a folder the ANSI code page cannot name is still found.
template <typename Query>
std::string SystemText(Query query) {
  std::wstring text(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = query(text.data(), static_cast<DWORD>(text.size()));
    if (length == 0) return {};
    if (length < text.size()) {
      text.resize(length);
      return FromWide(text, CP_UTF8);
    }
    // Some queries give the length they need, GetModuleFileName only a full buffer.
    text.resize(std::max<std::size_t>(length + 1, text.size() * 2));
  }
}

DWORD FileAttributes(const std::string& path) {
  return GetFileAttributesW(ToWide(path, CP_UTF8).c_str());
}

HMODULE LoadByPath(const std::string& path, DWORD flags) {
  return LoadLibraryExW(ToWide(path, CP_UTF8).c_str(), nullptr, flags);
}

// The library to load for a name without a folder: the first file of the safe search order
// that exists; empty when there is none.
std::string FindLibrary(const std::string& fileName) {
  DllSearchFolders folders;
  folders.program = FolderOfFile(SystemText(
      [](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); }));
  folders.system =
      SystemText([](wchar_t* buffer, DWORD size) { return GetSystemDirectoryW(buffer, size); });
  folders.windows =
      SystemText([](wchar_t* buffer, DWORD size) { return GetWindowsDirectoryW(buffer, size); });
  folders.path = SystemText(
      [](wchar_t* buffer, DWORD size) { return GetEnvironmentVariableW(L"PATH", buffer, size); });
  for (const std::string& candidate : DllSearchCandidates(fileName, folders)) {
    const DWORD attributes = FileAttributes(candidate);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      return candidate;
    }
  }
  return {};
}

HMODULE LoadLibraryFile(const std::string& libraryPath) {
  if (libraryPath.find_first_of("\\/:") == std::string::npos) {
    const std::string found = FindLibrary(libraryPath);
    if (found.empty()) return nullptr;
    // By its full path, and so that the library finds its own companion DLLs beside it.
    return LoadByPath(found, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
  // A path of the caller's: the altered search order is defined for an absolute one only.
  return LoadByPath(libraryPath,
                    IsAbsoluteWindowsFolder(libraryPath) ? LOAD_WITH_ALTERED_SEARCH_PATH : 0);
}
#endif

}  // namespace

// Owns the loaded module and releases it when the host goes away.
struct DbxHost::Module {
#if defined(_WIN32)
  explicit Module(HMODULE loaded) : handle(loaded) {}
  ~Module() {
    FreeLibrary(handle);
  }
  HMODULE handle;

  SymbolAddress Find(const char* name) const {
    const FARPROC proc = GetProcAddress(handle, name);
    SymbolAddress address = nullptr;
    static_assert(sizeof address == sizeof proc);
    std::memcpy(&address, &proc, sizeof address);
    return address;
  }
#else
  explicit Module(void* loaded) : handle(loaded) {}
  ~Module() {
    dlclose(handle);
  }
  void* handle;

  SymbolAddress Find(const char* name) const {
    void* const symbol = dlsym(handle, name);
    SymbolAddress address = nullptr;
    static_assert(sizeof address == sizeof symbol);
    std::memcpy(&address, &symbol, sizeof address);
    return address;
  }
#endif
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  // The plain name first, then the decorated forms a stdcall export may carry.
  SymbolAddress Resolve(const std::string& name, int argBytes) const {
    std::string decorated = name;
    decorated += '@';
    decorated += std::to_string(argBytes);
    std::string underscored = "_";
    underscored += decorated;
    const std::string* const candidates[] = {&name, &underscored, &decorated};
    for (const std::string* candidate : candidates) {
      if (const SymbolAddress address = Find(candidate->c_str()); address != nullptr) {
        return address;
      }
    }
    return nullptr;
  }
};

DbxHost::DbxHost(const DbxApi& api) : api_(api) {
  // An incomplete table would crash on its first call; fail every operation instead.
  if (const char* missing = FirstMissingOperation(api_); missing != nullptr) {
    api_ = StubApi();
    loadError_ = std::string("Dbx32.dll lacks ") + missing;
  }
}

DbxHost DbxHost::Load(const std::string& libraryPath) {
  DbxHost host;
  host.api_ = StubApi();
  const std::string fileName = FileNamePart(libraryPath);

#if defined(_WIN32)
  // No "missing DLL" message box from the system: the program reports it in its status line.
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE const handle = LoadLibraryFile(libraryPath);
  SetErrorMode(oldMode);
#else
  void* const handle = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
  if (handle == nullptr) {
    host.loadError_ = "Cannot load " + fileName;
    return host;
  }
  auto module = std::make_unique<Module>(handle);

  DbxApi api;
#define KORDANE_DBX_RESOLVE(name, argBytes, ...)                                 \
  if (const SymbolAddress address = module->Resolve(#name, argBytes); address) { \
    std::memcpy(&api.name, &address, sizeof api.name);                           \
  }
  KORDANE_DBX_OPERATIONS(KORDANE_DBX_RESOLVE)
#undef KORDANE_DBX_RESOLVE

  if (const char* missing = FirstMissingOperation(api); missing != nullptr) {
    host.loadError_ = fileName + " lacks " + missing;
    return host;  // the module is released here; the stubs stay
  }
  host.api_ = api;
  host.module_ = std::move(module);
  return host;
}

void DbxHost::RestrictDefaultDllSearch() {
#if defined(_WIN32)
  // SetDefaultDllDirectories came with Windows 8 (Windows 7 has it only with KB2533623): looked
  // up at run time. Without it, SetDllDirectory("") takes the current directory out of the
  // search.
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const FARPROC proc = GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
  SetDefaultDllDirectoriesFunction setDefault = nullptr;
  static_assert(sizeof setDefault == sizeof proc);
  std::memcpy(&setDefault, &proc, sizeof setDefault);
  if (setDefault == nullptr || !setDefault(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)) SetDllDirectoryA("");
#endif
}

std::string DbxHost::DefaultLibraryPath() {
#if defined(_WIN32)
  return "Dbx32.dll";
#else
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) {
    return "./Dbx32.so";
  }
  return (program.parent_path() / "Dbx32.so").string();
#endif
}

DbxHost::DbxHost(DbxHost&&) noexcept = default;
DbxHost& DbxHost::operator=(DbxHost&&) noexcept = default;
DbxHost::~DbxHost() = default;

std::string DbxHost::StatusText(std::int32_t status) const {
  if (status == kDbxLoadFailure && !Loaded()) {
    return loadError_;
  }
  return DbxStatusText(status);
}

}  // namespace kordane
