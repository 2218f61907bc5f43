#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "TestSupport.h"
#include "host/DbxLoader.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace standin::testing {
namespace {

using kordane::DbxApi;
using kordane::DbxHost;
using kordane::kDbxLoadFailure;
using kordane::TDbxComponent;
using kordane::TDbxContext;
using kordane::TDbxItem;
using kordane::TDesignInfo;

template <typename Record>
Record Filled() {
  Record record;
  std::memset(record.bytes, 0xAB, sizeof record.bytes);
  return record;
}

template <typename Record>
bool StillFilled(const Record& record) {
  const Record filled = Filled<Record>();
  return std::memcmp(record.bytes, filled.bytes, sizeof record.bytes) == 0;
}

// Every operation of a host that did not load fails with kDbxLoadFailure and writes nothing.
void ExpectAllOperationsFail(const DbxHost& host) {
  const DbxApi& api = host.Api();
  TDbxContext context = Filled<TDbxContext>();
  TDesignInfo info = Filled<TDesignInfo>();
  TDbxItem item = Filled<TDbxItem>();
  TDbxComponent component = Filled<TDbxComponent>();
  std::int32_t point[2] = {-1, -1};
  EXPECT_EQ(api.TOpenDesign(0, 15000, "pcb", &context), kDbxLoadFailure);
  EXPECT_EQ(api.TGetDesignInfo(&context, &info), kDbxLoadFailure);
  EXPECT_EQ(api.TGetFirstSelectedItem(&context, &item), kDbxLoadFailure);
  EXPECT_EQ(api.TGetNextSelectedItem(&context, &item), kDbxLoadFailure);
  EXPECT_EQ(api.TRotateComponent(&context, 900, point, &component), kDbxLoadFailure);
  EXPECT_EQ(api.TMoveComponent(&context, 1, 2, &component), kDbxLoadFailure);
  EXPECT_EQ(api.TCloseDesign(&context, ""), kDbxLoadFailure);
  EXPECT_TRUE(StillFilled(context));
  EXPECT_TRUE(StillFilled(info));
  EXPECT_TRUE(StillFilled(item));
  EXPECT_TRUE(StillFilled(component));
  EXPECT_EQ(point[0], -1);
  EXPECT_EQ(point[1], -1);
}

// Opens and closes a connection to a one-component board through the host.
void ExpectWorkingConnection(const DbxHost& host) {
  TempDir dir;
  WriteFile(dir / "board.txt", "units mm\ncomponent R1 0 0 0 selected\n");
  ScopedEnv board("DBX32_BOARD", (dir / "board.txt").string());
  ScopedEnv journal("DBX32_JOURNAL", std::nullopt);
  TDbxContext context{};
  TDesignInfo info{};
  ASSERT_EQ(host.Api().TOpenDesign(0, 15000, "pcb", &context), 0);
  EXPECT_EQ(host.Api().TGetDesignInfo(&context, &info), 0);
  EXPECT_EQ(info.Units(), 2);
  EXPECT_EQ(host.Api().TCloseDesign(&context, ""), 0);
}

TEST(DbxLoader, LoadsTheStandInByPath) {
  const DbxHost host = DbxHost::Load(LibraryPath().string());
  ASSERT_TRUE(host.Loaded()) << host.LoadError();
  EXPECT_EQ(host.LoadError(), "");
  EXPECT_EQ(host.StatusText(0), "Status: OK");
  EXPECT_EQ(host.StatusText(32105), "No Connection");
  // A loaded library's own statuses are never taken for a load failure.
  EXPECT_EQ(host.StatusText(kDbxLoadFailure), "Status: -32768");
  ExpectWorkingConnection(host);
}

#if defined(_WIN32)
// A bare name is looked for along the safe search order (host/DllSearch.h), which has the
// absolute folders of PATH but not the DLL directory.
TEST(DbxLoader, LoadsTheStandInByNameFromAFolderOnPath) {
  ASSERT_FALSE(fs::exists(fs::current_path() / "Dbx32.dll"));
  ASSERT_TRUE(SetDllDirectoryA(BinDir().string().c_str()));
  EXPECT_EQ(DbxHost::Load("Dbx32.dll").LoadError(), "Cannot load Dbx32.dll");
  SetDllDirectoryA(nullptr);
  ScopedEnv path("PATH", std::string(std::getenv("PATH")) + ";" + fs::absolute(BinDir()).string());
  const DbxHost host = DbxHost::Load("Dbx32.dll");
  ASSERT_TRUE(host.Loaded()) << host.LoadError();
  ExpectWorkingConnection(host);
}

TEST(DbxLoader, DefaultLibraryIsLookedUpByName) {
  EXPECT_EQ(DbxHost::DefaultLibraryPath(), "Dbx32.dll");
}
#else
TEST(DbxLoader, DefaultLibraryIsBesideTheProgram) {
  EXPECT_EQ(fs::path(DbxHost::DefaultLibraryPath()),
            fs::read_symlink("/proc/self/exe").parent_path() / "Dbx32.so");
}
#endif

TEST(DbxLoader, MissingLibraryGivesStubsAndItsName) {
  TempDir dir;
  const DbxHost host = DbxHost::Load((dir / "Dbx32.dll").string());
  EXPECT_FALSE(host.Loaded());
  EXPECT_EQ(host.LoadError(), "Cannot load Dbx32.dll");
  EXPECT_EQ(host.StatusText(kDbxLoadFailure), "Cannot load Dbx32.dll");
  EXPECT_EQ(host.StatusText(32001), "Connection Error");
  EXPECT_EQ(host.StatusText(0), "Status: OK");
  ExpectAllOperationsFail(host);
}

TEST(DbxLoader, LibraryWithoutTheOperationsGivesStubsAndTheMissingName) {
#if defined(_WIN32)
  // Found by the search, and so named by its full path.
  const std::string other = "kernel32.dll";
  std::string path(MAX_PATH, '\0');
  path.resize(GetSystemDirectoryA(path.data(), MAX_PATH));
  const std::string shown = path + "\\" + other;
#else
  const std::string other = "libc.so.6";
  const std::string shown = other;
#endif
  const DbxHost host = DbxHost::Load(other);
  EXPECT_FALSE(host.Loaded());
  EXPECT_EQ(host.LoadError(), shown + " lacks TOpenDesign");
  EXPECT_EQ(host.StatusText(kDbxLoadFailure), shown + " lacks TOpenDesign");
  ExpectAllOperationsFail(host);
}

TEST(DbxLoader, IncompleteTableFailsEveryOperation) {
  DbxApi api = DbxHost::Load(LibraryPath().string()).Api();
  api.TMoveComponent = nullptr;
  const DbxHost host(api);
  EXPECT_FALSE(host.Loaded());
  EXPECT_EQ(host.StatusText(kDbxLoadFailure), "Dbx32.dll lacks TMoveComponent");
  ExpectAllOperationsFail(host);
}

TEST(DbxLoader, MovedHostKeepsTheLibrary) {
  DbxHost first = DbxHost::Load(LibraryPath().string());
  DbxHost second = std::move(first);
  ASSERT_TRUE(second.Loaded());
  ExpectWorkingConnection(second);
  DbxHost third = DbxHost::Load("no-such-library");
  third = std::move(second);
  ExpectWorkingConnection(third);
}

}  // namespace
}  // namespace standin::testing
