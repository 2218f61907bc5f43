#include "host/DbxLoader.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "host/DbxUtils.h"
#include "host/DllSearch.h"
#include "host/LibraryImage.h"
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

// The files of the safe search order for a name without a folder that exist, in that order.
std::vector<std::string> FindLibraries(const std::string& fileName) {
  DllSearchFolders folders;
  folders.program = FolderOfFile(SystemText(
      [](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); }));
  folders.system =
      SystemText([](wchar_t* buffer, DWORD size) { return GetSystemDirectoryW(buffer, size); });
  folders.windows =
      SystemText([](wchar_t* buffer, DWORD size) { return GetWindowsDirectoryW(buffer, size); });
  folders.path = SystemText(
      [](wchar_t* buffer, DWORD size) { return GetEnvironmentVariableW(L"PATH", buffer, size); });
  std::vector<std::string> found;
  for (std::string& candidate : DllSearchCandidates(fileName, folders)) {
    const DWORD attributes = FileAttributes(candidate);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      found.push_back(std::move(candidate));
    }
  }
  return found;
}

// The first bytes of a file (its headers) and its size; nothing when it cannot be read.
std::optional<std::pair<std::string, std::uint64_t>> FileHead(const std::string& path) {
  const HANDLE file = CreateFileW(ToWide(path, CP_UTF8).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  const std::unique_ptr<void, decltype(&CloseHandle)> closer(file, &CloseHandle);
  LARGE_INTEGER size{};
  std::string head(4096, '\0');
  DWORD read = 0;
  if (!GetFileSizeEx(file, &size) ||
      !ReadFile(file, head.data(), static_cast<DWORD>(head.size()), &read, nullptr)) {
    return std::nullopt;
  }
  head.resize(read);
  return std::pair{std::move(head), static_cast<std::uint64_t>(size.QuadPart)};
}

// Why a file that exists did not load: what its headers show, else the system's error.
std::string WhyNotLoaded(const std::string& path, DWORD error) {
  std::string problem;
  if (const auto head = FileHead(path)) problem = LibraryImageProblem(head->first, head->second);
  return problem.empty() ? "cannot be loaded (error " + std::to_string(error) + ")" : problem;
}

// A path as the status line shows it, in the ANSI code page.
std::string ShownPath(const std::string& path) {
  return FromWide(ToWide(path, CP_UTF8), CP_ACP);
}

// No "missing DLL" message box from the system while it is set: the program reports what failed
// in its status line.
class QuietErrors {
 public:
  QuietErrors() : oldMode_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
  ~QuietErrors() { SetErrorMode(oldMode_); }
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;

 private:
  UINT oldMode_;
};
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
  const QuietErrors quiet;
  const bool searched = libraryPath.find_first_of("\\/:") == std::string::npos;
  const std::vector<std::string> paths =
      searched ? FindLibraries(libraryPath) : std::vector<std::string>{libraryPath};
#else
  const bool searched = false;
  const std::vector<std::string> paths{libraryPath};
#endif
  // A file found that does not work gives way to the next one; when none works, the first one
  // found is named with why.
  std::string firstError;
  for (const std::string& path : paths) {
    std::string error = host.Adopt(path, searched);
    if (error.empty()) return host;
    if (firstError.empty()) firstError = std::move(error);
  }
  host.loadError_ = firstError.empty() ? "Cannot load " + fileName : firstError;
  return host;
}

std::string DbxHost::Adopt(const std::string& path, [[maybe_unused]] bool found) {
#if defined(_WIN32)
  // By its full path, and so that the library finds its own companion DLLs beside it: the
  // altered search order is defined for an absolute path only.
  const DWORD flags = IsAbsoluteWindowsFolder(path) ? LOAD_WITH_ALTERED_SEARCH_PATH : 0;
  HMODULE const handle = LoadLibraryExW(ToWide(path, CP_UTF8).c_str(), nullptr, flags);
  const DWORD loadError = GetLastError();
  const std::string name = found ? ShownPath(path) : FileNamePart(path);
  if (handle == nullptr) {
    return found ? name + " " + WhyNotLoaded(path, loadError) : "Cannot load " + name;
  }
#else
  void* const handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  const std::string name = FileNamePart(path);
  if (handle == nullptr) return "Cannot load " + name;
#endif
  auto module = std::make_unique<Module>(handle);

  DbxApi api;
#define KORDANE_DBX_RESOLVE(name, argBytes, ...)                                 \
  if (const SymbolAddress address = module->Resolve(#name, argBytes); address) { \
    std::memcpy(&api.name, &address, sizeof api.name);                           \
  }
  KORDANE_DBX_OPERATIONS(KORDANE_DBX_RESOLVE)
#undef KORDANE_DBX_RESOLVE

  if (const char* missing = FirstMissingOperation(api); missing != nullptr) {
    return name + " lacks " + missing;  // the module is released here; the stubs stay
  }
  api_ = api;
  module_ = std::move(module);
  return {};
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
