// The built stand-in library, driven through the program's loader.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "Board.h"
#include "TestSupport.h"
#include "host/DbxLoader.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace standin::testing {
namespace {

using kordane::DbxHost;

struct Read {
  std::int32_t type;
  std::string refDes;
  std::int32_t x, y, rotation;
  friend bool operator==(const Read&, const Read&) = default;
};

void PrintTo(const Read& read, std::ostream* out) {
  *out << read.type << " " << read.refDes << " " << read.x << " " << read.y << " " << read.rotation;
}

class LibraryTest : public ::testing::Test {
 protected:
  void UseBoard(const std::string& text) { WriteFile(BoardPath(), text); }
  fs::path BoardPath() const { return dir_ / "board.txt"; }
  std::vector<std::string> Journal() const { return Lines(ReadFile(dir_ / "journal.txt")); }
  const kordane::DbxApi& Api() const { return host_.Api(); }
  void UseLibrary(const fs::path& path) { host_ = DbxHost::Load(path.string()); }
  void ExpectConnectionReadsMovesRotatesAndWritesTheBoardBack();

  std::int32_t Open() { return Api().TOpenDesign(0, 15000, "pcb", &context_); }
  std::int32_t Close() { return Api().TCloseDesign(&context_, ""); }

  // Reads the whole selection; captured components by designator.
  std::vector<Read> ReadSelection(std::int32_t& endStatus) {
    std::vector<Read> reads;
    TDbxItem item{};
    for (std::int32_t status = Api().TGetFirstSelectedItem(&context_, &item);;
         status = Api().TGetNextSelectedItem(&context_, &item)) {
      if (status != 0) {
        endStatus = status;
        return reads;
      }
      TDbxComponent component{};
      item.CopyComponentTo(component);
      if (item.ItemType() == TDbxItem::kComponentType) {
        captured_[component.RefDes()] = component;
      }
      reads.push_back({item.ItemType(), component.RefDes(), component.X(), component.Y(),
                       component.Rotation()});
    }
  }

  TempDir dir_;
  ScopedEnv boardEnv_{"DBX32_BOARD", BoardPath().string()};
  ScopedEnv journalEnv_{"DBX32_JOURNAL", (dir_ / "journal.txt").string()};
  DbxHost host_ = DbxHost::Load(LibraryPath().string());
  TDbxContext context_{};
  std::map<std::string, TDbxComponent> captured_;
};

void LibraryTest::ExpectConnectionReadsMovesRotatesAndWritesTheBoardBack() {
  UseBoard(
      "# test board\n"
      "units mm\n"
      "component R1 100 200 0 selected   # keep me\n"
      "component C1 -5 +7 900\n"
      "fail rotate C1 32010\n"
      "item 3 selected\n"
      "component \"\"\t0 0 3500 selected\n");
  ASSERT_TRUE(host_.Loaded()) << host_.LoadError();

  ASSERT_EQ(Open(), 0);
  TDesignInfo info{};
  EXPECT_EQ(Api().TGetDesignInfo(&context_, &info), 0);
  EXPECT_EQ(info.Units(), 2);

  std::int32_t endStatus = 0;
  EXPECT_EQ(ReadSelection(endStatus),
            (std::vector<Read>{{9, "R1", 100, 200, 0}, {3, "", 0, 0, 0}, {9, "", 0, 0, 3500}}));
  EXPECT_EQ(endStatus, 32163);

  TDbxComponent r1 = captured_.at("R1");
  const TDbxComponent r1Before = r1;
  std::int32_t point[2] = {-1, -1};
  EXPECT_EQ(Api().TMoveComponent(&context_, 508000, 0, &r1), 0);
  EXPECT_EQ(Api().TRotateComponent(&context_, 200, point, &captured_.at("")), 0);
  EXPECT_EQ(std::memcmp(r1.bytes, r1Before.bytes, sizeof r1.bytes), 0) << "record written";
  EXPECT_EQ(Close(), 0);

  EXPECT_EQ(ReadFile(BoardPath()),
            "# test board\n"
            "units mm\n"
            "component R1 508100 200 0 selected   # keep me\n"
            "component C1 -5 +7 900\n"
            "fail rotate C1 32010\n"
            "item 3 selected\n"
            "component \"\"\t0 0 100 selected\n");
  EXPECT_EQ(dir_.FileNames(),
            (std::vector<std::string>{"board.txt", "board.txt.lock", "journal.txt"}))
      << "temporary file left behind";
  EXPECT_EQ(Journal(), (std::vector<std::string>{
                           "TOpenDesign 0 15000 \"pcb\" -> 0",
                           "TGetDesignInfo -> 0",
                           "TGetFirstSelectedItem R1 -> 0",
                           "TGetNextSelectedItem -> 0",
                           "TGetNextSelectedItem \"\" -> 0",
                           "TGetNextSelectedItem -> 32163",
                           "TMoveComponent 508000 0 R1 -> 0",
                           "TRotateComponent 200 -1 -1 \"\" -> 0",
                           "TCloseDesign \"\" -> 0",
                       }));

  // The next connection sees the design as it was left.
  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(ReadSelection(endStatus)[0], (Read{9, "R1", 508100, 200, 0}));
  EXPECT_EQ(Close(), 0);
}

TEST_F(LibraryTest, ConnectionReadsMovesRotatesAndWritesTheBoardBack) {
  ExpectConnectionReadsMovesRotatesAndWritesTheBoardBack();
}

#if defined(_WIN32)
// Libraries whose seven operations carry only a decorated __stdcall name: the loader finds them
// by that name, and every call crosses with the __stdcall convention intact.
class DecoratedLibraryTest : public LibraryTest, public ::testing::WithParamInterface<const char*> {
 protected:
  static fs::path TestLibrary(const char* folder) {
    return fs::current_path() / "libraries" / folder / "Dbx32.dll";
  }
};

TEST_P(DecoratedLibraryTest, WholeConnectionThroughTheDecoratedNames) {
  const fs::path library = TestLibrary(GetParam());
  HMODULE module = LoadLibraryA(library.string().c_str());
  ASSERT_NE(module, nullptr) << library;
  EXPECT_EQ(GetProcAddress(module, "TOpenDesign"), nullptr) << "plain names exported";
  FreeLibrary(module);

  UseLibrary(library);
  ExpectConnectionReadsMovesRotatesAndWritesTheBoardBack();
}

INSTANTIATE_TEST_SUITE_P(Exports, DecoratedLibraryTest,
                         ::testing::Values("decorated", "underscored"),
                         [](const auto& row) { return std::string(row.param); });

TEST_F(LibraryTest, LibraryLackingAnOperationIsNamedAndNeverCalled) {
  UseBoard("units mils\ncomponent R1 0 0 0 selected\n");
  UseLibrary(fs::current_path() / "libraries" / "lacking" / "Dbx32.dll");
  EXPECT_FALSE(host_.Loaded());
  EXPECT_EQ(host_.LoadError(), "Dbx32.dll lacks TMoveComponent");
  EXPECT_EQ(host_.StatusText(kordane::kDbxLoadFailure), "Dbx32.dll lacks TMoveComponent");
  EXPECT_EQ(Open(), kordane::kDbxLoadFailure);
  EXPECT_FALSE(fs::exists(dir_ / "journal.txt")) << "the library was called";
}
#endif

TEST_F(LibraryTest, CallsOutsideTheirConnectionAreRefused) {
  UseBoard("component R1 0 0 0 selected\n");
  TDbxItem item{};
  TDesignInfo info{};
  EXPECT_EQ(Api().TGetDesignInfo(&context_, &info), 32105);
  EXPECT_EQ(Api().TCloseDesign(&context_, ""), 32105);

  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(Api().TGetNextSelectedItem(&context_, &item), 32145);
  const TDbxContext first = context_;
  ASSERT_EQ(Open(), 0);  // a new connection replaces the unclosed one
  TDbxContext stale = first;
  EXPECT_EQ(Api().TGetFirstSelectedItem(&stale, &item), 32105);
  EXPECT_EQ(Api().TGetFirstSelectedItem(&context_, &item), 0);
  TDbxComponent component{};
  item.CopyComponentTo(component);
  ASSERT_EQ(Close(), 0);

  std::int32_t point[2] = {-1, -1};
  EXPECT_EQ(Api().TMoveComponent(&context_, 1, 1, &component), 32105);
  EXPECT_EQ(Api().TRotateComponent(&context_, 1, point, &component), 32105);
  EXPECT_EQ(Api().TCloseDesign(&context_, ""), 32105);
  EXPECT_EQ(ReadFile(BoardPath()), "component R1 0 0 0 selected\n");
}

TEST_F(LibraryTest, MissingBoardIsAConnectionError) {
  EXPECT_EQ(Open(), 32001);
  TDesignInfo info{};
  EXPECT_EQ(Api().TGetDesignInfo(&context_, &info), 32105);
  EXPECT_EQ(Journal(), (std::vector<std::string>{"TOpenDesign 0 15000 \"pcb\" -> 32001",
                                                 "TGetDesignInfo -> 32105"}));
}

TEST_F(LibraryTest, UnparsableBoardIsBadServerData) {
  UseBoard("units mils\ncomponent R1 0 zero 0\n");
  EXPECT_EQ(Open(), 32003);
  UseBoard("units mils\ncomponent R1 0 0 0\n");
  EXPECT_EQ(Open(), 0) << "the board is read afresh at every open";
  EXPECT_EQ(Close(), 0);
}

// One forced failure per row. The same calls run for every row: open, design info, the
// selection read (two components), a rotation and a move of R1, close.
struct FaultRow {
  const char* name;
  const char* failLine;
  std::vector<std::int32_t> statuses;  // open, info, first, next, next, next, rotate, move, close
  const char* r1Afterwards;
};

void PrintTo(const FaultRow& row, std::ostream* out) {
  *out << row.name;
}

class LibraryFaultTest : public LibraryTest, public ::testing::WithParamInterface<FaultRow> {};

TEST_P(LibraryFaultTest, ForcedCallReturnsItsStatusAndChangesNothing) {
  const FaultRow& row = GetParam();
  const std::string original = std::string("component R1 0 0 0 selected\n") +
                               "component R2 10 10 0 selected\n" + row.failLine + "\n";
  UseBoard(original);

  std::vector<std::int32_t> statuses;
  TDbxContext context = context_;
  statuses.push_back(Open());
  if (statuses.back() != 0) {
    EXPECT_EQ(std::memcmp(context.bytes, context_.bytes, sizeof context.bytes), 0);
  }

  TDesignInfo info;
  std::memset(info.bytes, 0xAB, sizeof info.bytes);
  statuses.push_back(Api().TGetDesignInfo(&context_, &info));
  EXPECT_EQ(info.Units(), statuses.back() == 0 ? 1 : static_cast<std::int32_t>(0xABABABAB));

  for (int call = 1; call <= 4; ++call) {
    TDbxItem item;
    std::memset(item.bytes, 0xAB, sizeof item.bytes);
    statuses.push_back(call == 1 ? Api().TGetFirstSelectedItem(&context_, &item)
                                 : Api().TGetNextSelectedItem(&context_, &item));
    if (statuses.back() == 0) {
      TDbxComponent component;
      item.CopyComponentTo(component);
      captured_[component.RefDes()] = component;
    } else {
      EXPECT_EQ(item.ItemType(), static_cast<std::int32_t>(0xABABABAB)) << "call " << call;
    }
  }

  TDbxComponent r1 = captured_.count("R1") != 0 ? captured_["R1"] : TDbxComponent{};
  std::int32_t point[2] = {-1, -1};
  statuses.push_back(Api().TRotateComponent(&context_, 900, point, &r1));
  statuses.push_back(Api().TMoveComponent(&context_, 5, 5, &r1));
  statuses.push_back(Close());

  EXPECT_EQ(statuses, row.statuses);
  EXPECT_EQ(Lines(ReadFile(BoardPath()))[0], row.r1Afterwards);
  EXPECT_EQ(Lines(ReadFile(BoardPath())).size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LibraryFaultTest,
    ::testing::Values(
        FaultRow{"None",
                 "# no fault",
                 {0, 0, 0, 0, 32163, 32163, 0, 0, 0},
                 "component R1 5 5 900 selected"},
        FaultRow{"Open",
                 "fail open 32004",
                 {32004, 32105, 32105, 32105, 32105, 32105, 32105, 32105, 32105},
                 "component R1 0 0 0 selected"},
        FaultRow{"DesignInfo",
                 "fail designinfo 32016",
                 {0, 32016, 0, 0, 32163, 32163, 0, 0, 0},
                 "component R1 5 5 900 selected"},
        // Forced first call: the iteration has begun, so the next calls go on from the start.
        FaultRow{"FirstItem",
                 "fail item 1 32141",
                 {0, 0, 32141, 0, 0, 32163, 0, 0, 0},
                 "component R1 5 5 900 selected"},
        FaultRow{"SecondItem",
                 "fail item 2 32163",
                 {0, 0, 0, 32163, 0, 32163, 0, 0, 0},
                 "component R1 5 5 900 selected"},
        FaultRow{"Rotate",
                 "fail rotate R1 32010",
                 {0, 0, 0, 0, 32163, 32163, 32010, 0, 0},
                 "component R1 5 5 0 selected"},
        FaultRow{"Move",
                 "fail move R1 32011",
                 {0, 0, 0, 0, 32163, 32163, 0, 32011, 0},
                 "component R1 0 0 900 selected"},
        FaultRow{"OtherComponent",
                 "fail move R2 32011",
                 {0, 0, 0, 0, 32163, 32163, 0, 0, 0},
                 "component R1 5 5 900 selected"},
        // The design is not written when its close fails.
        FaultRow{"Close",
                 "fail close 32002",
                 {0, 0, 0, 0, 32163, 32163, 0, 0, 32002},
                 "component R1 0 0 0 selected"}),
    [](const ::testing::TestParamInfo<FaultRow>& row) { return std::string(row.param.name); });

TEST_F(LibraryTest, ForcedCloseFailureDoesNotBlockTheNextConnection) {
  UseBoard("fail close 32002\n");
  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(Close(), 32002);
  EXPECT_EQ(Open(), 0);
}

// With no board named, the library reads the demo board beside itself.
TEST(LibraryDemoBoard, DefaultBoardIsTheDemoBesideTheLibrary) {
  ScopedEnv board("DBX32_BOARD", std::nullopt);
  ScopedEnv journal("DBX32_JOURNAL", std::nullopt);
  const std::string text = ReadFile(BinDir() / "board.txt");
  ParseError error;
  const std::optional<Board> demo = ParseBoard(text, error);
  ASSERT_TRUE(demo) << error.line << ": " << error.reason;

  const DbxHost host = DbxHost::Load(LibraryPath().string());
  TDbxContext context{};
  ASSERT_EQ(host.Api().TOpenDesign(0, 15000, "pcb", &context), 0);
  TDesignInfo info{};
  EXPECT_EQ(host.Api().TGetDesignInfo(&context, &info), 0);
  EXPECT_EQ(info.Units(), demo->units);
  std::size_t read = 0;
  TDbxItem item{};
  for (std::int32_t status = host.Api().TGetFirstSelectedItem(&context, &item); status == 0;
       status = host.Api().TGetNextSelectedItem(&context, &item)) {
    ++read;
  }
  std::size_t selected = 0;
  for (const Item& entry : demo->items) {
    selected += entry.selected ? 1 : 0;
  }
  EXPECT_EQ(read, selected);
  EXPECT_EQ(host.Api().TCloseDesign(&context, ""), 0);
  EXPECT_EQ(ReadFile(BinDir() / "board.txt"), text) << "an unchanged design is not rewritten";
}

}  // namespace
}  // namespace standin::testing
