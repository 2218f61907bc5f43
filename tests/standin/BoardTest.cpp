// The stand-in's board text and design rules, in process.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "Board.h"
#include "MemoryHost.h"
#include "TestSupport.h"
#include "host/DbxLoader.h"

namespace standin::testing {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(BoardText, ReadsEveryKindOfLine) {
  ParseError error;
  const std::optional<Board> board = ParseBoard(
      "# comment\r\n"
      "  units\tmm  # trailing comment\r\n"
      "component R1 -100 +200 3599 selected\r\n"
      "component \"\" 1 2 3\r\n"
      "item 4 selected\r\n"
      "item -2\r\n"
      "fail open 1\r\nfail designinfo -2\r\nfail close 3\r\n"
      "fail item 2 32163\r\nfail rotate \"\" 32010\r\nfail move U1A 32011\r\n",
      error);
  ASSERT_TRUE(board) << error.line << ": " << error.reason;
  EXPECT_EQ(board->units, kUnitsMm);
  EXPECT_EQ(board->items, (std::vector<Item>{Item::Component("R1", -100, 200, 3599, true),
                                             Item::Component("", 1, 2, 3, false),
                                             Item::Other(4, true), Item::Other(-2, false)}));
  EXPECT_EQ(board->faults.open, 1);
  EXPECT_EQ(board->faults.designInfo, -2);
  EXPECT_EQ(board->faults.close, 3);
  EXPECT_EQ(board->faults.item, (std::map<std::int32_t, std::int32_t>{{2, 32163}}));
  EXPECT_EQ(board->faults.rotate, (std::map<std::string, std::int32_t>{{"", 32010}}));
  EXPECT_EQ(board->faults.move, (std::map<std::string, std::int32_t>{{"U1A", 32011}}));
}

TEST(BoardText, UnitsDefaultToMils) {
  ParseError error;
  EXPECT_EQ(ParseBoard("", error)->units, kUnitsMils);
}

struct BadLine {
  const char* name;
  std::string text;
  std::size_t line;
  const char* reason;
};

TEST(BoardText, RejectsMalformedLinesNamingTheLine) {
  const BadLine rows[] = {
      {"unknown entry", "units mils\nvia 1 2", 2, "unknown entry 'via'"},
      {"missing rotation", "component R1 1 2", 1, "component <refdes>"},
      {"extra token", "component R1 1 2 3 selected x", 1, "component <refdes>"},
      {"misspelt selected", "component R1 1 2 3 selectd", 1, "component <refdes>"},
      {"word for a number", "component R1 one 2 3", 1, "whole numbers"},
      {"number with a tail", "component R1 1mil 2 3", 1, "whole numbers"},
      {"number above int32", "component R1 2147483648 2 3", 1, "whole numbers"},
      {"two signs", "component R1 +-1 2 3", 1, "whole numbers"},
      {"long designator", "component " + std::string(101, 'R') + " 1 2 3", 1, "longer than 100"},
      {"component as an item", "item 9 selected", 1, "item <type>"},
      {"unknown units", "units inches", 1, "units mils"},
      {"units twice", "units mm\n\nunits mm", 3, "units given twice"},
      {"fail without status", "fail open", 1, "fail open"},
      {"fail of no call", "fail flip R1 5", 1, "fail open"},
      {"fail item zero", "fail item 0 5", 1, "n from 1"},
      {"fail item without status", "fail item 2", 1, "fail open"},
      {"body of one number", "component R1 1 2 3 500", 1, "body's width and height"},
      {"body of zero width", "component R1 1 2 3 0x5 selected", 1, "body's width and height"},
      {"body of a negative height", "component R1 1 2 3 5x-5", 1, "body's width and height"},
      {"body with a tail", "component R1 1 2 3 5x5mil", 1, "body's width and height"},
      {"body after selected", "component R1 1 2 3 selected 5x5", 1, "component <refdes>"},
      {"two bodies", "component R1 1 2 3 5x5 5x5", 1, "component <refdes>"},
      {"selected twice", "component R1 1 2 3 selected selected", 1, "component <refdes>"},
      {"item with a body", "item 4 5x5", 1, "item <type>"},
  };
  for (const BadLine& row : rows) {
    ParseError error;
    EXPECT_FALSE(ParseBoard(row.text, error)) << row.name;
    EXPECT_EQ(error.line, row.line) << row.name;
    EXPECT_THAT(error.reason, ::testing::HasSubstr(row.reason)) << row.name;
  }
}

TEST(BoardText, WriteChangesOnlyTheNumbersThatChanged) {
  const std::string text =
      "units mils\r\n"
      "component R1 +0 0 0 selected # R1\r\n"
      "\tcomponent  C1  007  8  900\r\n"
      "item 3 selected\r\n"
      "component R2 1 1 1";
  ParseError error;
  const std::optional<Board> board = ParseBoard(text, error);
  ASSERT_TRUE(board);
  EXPECT_EQ(WriteBoard(*board, board->items), text);

  std::vector<Item> items = board->items;
  items[0].y = -2540000;
  items[1].x = kMin;
  items[1].rotation = 0;
  EXPECT_EQ(WriteBoard(*board, items),
            "units mils\r\n"
            "component R1 +0 -2540000 0 selected # R1\r\n"
            "\tcomponent  C1  -2147483648  8  0\r\n"
            "item 3 selected\r\n"
            "component R2 1 1 1");
}

TEST(BoardText, BodyColumnIsOptional) {
  ParseError error;
  const std::optional<Board> board = ParseBoard(
      "component R1 1 2 3\n"
      "component C1 1 2 3 selected\n"
      "component U1 1 2 3 863600x393700\n"
      "component U2 1 2 3 +10x1 selected # with a comment\n",
      error);
  ASSERT_TRUE(board) << error.line << ": " << error.reason;
  std::vector<Item> expected = {
      Item::Component("R1", 1, 2, 3, false), Item::Component("C1", 1, 2, 3, true),
      Item::Component("U1", 1, 2, 3, false), Item::Component("U2", 1, 2, 3, true)};
  expected[2].body = BodySize{863600, 393700};
  expected[3].body = BodySize{10, 1};
  EXPECT_EQ(board->items, expected);
}

// One selection change per row, on a line as a person might have written it.
struct FlagRow {
  const char* name;
  const char* before;
  bool selected;  // the new state of the line's only item
  const char* after;
};

TEST(BoardText, WriteTurnsTheSelectedFlagInPlace) {
  const FlagRow rows[] = {
      {"flag added", "component R1 1 2 3", true, "component R1 1 2 3 selected"},
      {"flag removed", "component R1 1 2 3 selected", false, "component R1 1 2 3"},
      {"added before a comment", "component R1 1 2 3   # note", true,
       "component R1 1 2 3 selected   # note"},
      {"removed before a comment", "component R1 1 2 3 selected   # note", false,
       "component R1 1 2 3   # note"},
      {"removed with the blanks before it", "\tcomponent R1 1 2 3 \t selected\t\r", false,
       "\tcomponent R1 1 2 3\t\r"},
      {"added before a carriage return", "component R1 1 2 3\r", true,
       "component R1 1 2 3 selected\r"},
      {"added after the body", "component R1 1 2 3 5x6", true, "component R1 1 2 3 5x6 selected"},
      {"removed after the body", "component R1 1 2 3 5x6 selected", false,
       "component R1 1 2 3 5x6"},
      {"item selected", "item 4 # track", true, "item 4 selected # track"},
      {"item unselected", "  item 4 selected", false, "  item 4"},
      {"unchanged", "component R1 1 2 3  selected", true, "component R1 1 2 3  selected"},
  };
  for (const FlagRow& row : rows) {
    ParseError error;
    const std::optional<Board> board = ParseBoard(row.before, error);
    ASSERT_TRUE(board) << row.name;
    std::vector<Item> items = board->items;
    items[0].selected = row.selected;
    const std::string written = WriteBoard(*board, items);
    EXPECT_EQ(written, row.after) << row.name;
    // What was written reads back as the selection it was written for.
    const std::optional<Board> again = ParseBoard(written, error);
    ASSERT_TRUE(again) << row.name;
    EXPECT_EQ(again->items, items) << row.name;
  }
}

TEST(BoardText, SelectionAndPositionsChangeTogetherAndRoundTrip) {
  const std::string text =
      "units mm\r\n"
      "component R1 +0 0 0 selected # R1\r\n"
      "\tcomponent  C1  007  8  900 80000x50000\r\n"
      "item 3 selected\r\n"
      "component R2 1 1 1";
  ParseError error;
  const std::optional<Board> board = ParseBoard(text, error);
  ASSERT_TRUE(board);

  std::vector<Item> items = board->items;
  items[0].selected = false;
  items[0].x = 123456;
  items[1].selected = true;
  items[1].rotation = 2700;
  items[2].selected = false;
  items[3].selected = true;
  items[3].y = -1;
  const std::string written = WriteBoard(*board, items);
  EXPECT_EQ(written,
            "units mm\r\n"
            "component R1 123456 0 0 # R1\r\n"
            "\tcomponent  C1  007  8  2700 80000x50000 selected\r\n"
            "item 3\r\n"
            "component R2 1 -1 1 selected");

  // Turned back from the new text, the selection gives the first text again.
  const std::optional<Board> again = ParseBoard(written, error);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->items, items);
  std::vector<Item> back = again->items;
  for (std::size_t i = 0; i < back.size(); ++i) {
    back[i].selected = board->items[i].selected;
  }
  back[0].x = 0;
  back[1].rotation = 900;
  back[3].y = 1;
  EXPECT_EQ(WriteBoard(*again, back),
            "units mm\r\n"
            "component R1 0 0 0 selected # R1\r\n"
            "\tcomponent  C1  007  8  900 80000x50000\r\n"
            "item 3 selected\r\n"
            "component R2 1 1 1");
}

// A design bound in memory, reached through the program's table as the benchmark does.
class MemoryDesignTest : public ::testing::Test {
 protected:
  explicit MemoryDesignTest(std::vector<Item> items = {Item::Component("R1", 0, 0, 0)})
      : design_(std::move(items)) {}

  TDbxComponent First() {
    TDbxItem item{};
    EXPECT_EQ(host_.Api().TGetFirstSelectedItem(&context_, &item), 0);
    TDbxComponent component;
    item.CopyComponentTo(component);
    return component;
  }

  Design design_;
  MemoryHost bound_{design_};
  kordane::DbxHost host_{MemoryHost::Api()};
  TDbxContext context_{};
  std::int32_t point_[2] = {-1, -1};
};

TEST_F(MemoryDesignTest, RotationStaysWithinOneTurn) {
  struct Row {
    std::int32_t from, angle, to;
  };
  const Row rows[] = {{0, 900, 900},      {0, -900, 2700},    {3599, 1, 0},
                      {2700, 18900, 0},   {0, kMax, 847},     {0, kMin, 2752},
                      {kMax, kMax, 1694}, {kMin, kMin, 1904}, {1800, -5400, 0}};
  for (const Row& row : rows) {
    design_.Load({Item::Component("R1", 0, 0, row.from)}, kUnitsMils, {});
    ASSERT_EQ(host_.Api().TOpenDesign(0, 15000, "pcb", &context_), 0);
    TDbxComponent r1 = First();
    EXPECT_EQ(host_.Api().TRotateComponent(&context_, row.angle, point_, &r1), 0);
    EXPECT_EQ(design_.Items()[0].rotation, row.to) << row.from << " + " << row.angle;
  }
}

TEST_F(MemoryDesignTest, MoveOutsideThe32BitRangeIsRefusedWhole) {
  struct Row {
    std::int32_t x, y, dx, dy;
    std::int32_t status, toX, toY;
  };
  const Row rows[] = {
      {kMax - 1, 0, 1, 0, 0, kMax, 0},  {kMax, 5, 1, 1, 32175, kMax, 5},
      {5, kMin, 1, -1, 32175, 5, kMin}, {0, 0, kMin, kMax, 0, kMin, kMax},
      {-1, 0, kMin, 0, 32175, -1, 0},
  };
  for (const Row& row : rows) {
    design_.Load({Item::Component("R1", row.x, row.y, 0)}, kUnitsMils, {});
    ASSERT_EQ(host_.Api().TOpenDesign(0, 15000, "pcb", &context_), 0);
    TDbxComponent r1 = First();
    EXPECT_EQ(host_.Api().TMoveComponent(&context_, row.dx, row.dy, &r1), row.status);
    EXPECT_EQ(design_.Items()[0].x, row.toX);
    EXPECT_EQ(design_.Items()[0].y, row.toY);
  }
}

TEST_F(MemoryDesignTest, RecordsNotOfAComponentAreNotFound) {
  design_.Load({Item::Other(4), Item::Component("R1", 0, 0, 0)}, kUnitsMils, {});
  ASSERT_EQ(host_.Api().TOpenDesign(0, 15000, "pcb", &context_), 0);
  TDbxComponent item = First();  // the non-component
  TDbxComponent beyond{};
  beyond.SetInt32At(0, 3);
  TDbxComponent zero{};
  for (TDbxComponent* record : {&item, &beyond, &zero}) {
    EXPECT_EQ(host_.Api().TMoveComponent(&context_, 1, 1, record), 32215);
    EXPECT_EQ(host_.Api().TRotateComponent(&context_, 1, point_, record), 32215);
  }
  EXPECT_EQ(design_.Items()[1], Item::Component("R1", 0, 0, 0));
}

// A record names its component by designator and by which of that designator's components it is:
// lines added, removed or reordered since leave it naming the same one, and a record whose
// component went is refused, never taken for another.
TEST_F(MemoryDesignTest, RecordsNameTheirComponentWhateverLinesCameOrWent) {
  // Told apart by x.
  const Item r1 = Item::Component("R1", 1, 0, 0), c1 = Item::Component("C1", 2, 0, 0),
             r1b = Item::Component("R1", 3, 0, 0), d1 = Item::Component("D1", 4, 0, 0),
             x9 = Item::Component("X9", 9, 0, 0);
  struct Row {
    const char* name;
    std::vector<Item> edited;
    const char* result;  // per record captured before: the x it moved, or its status
  };
  const Row rows[] = {
      {"LineAddedFirst", {x9, r1, c1, r1b, d1}, "1 2 3 4"},
      {"LineRemoved", {r1, r1b, d1}, "1 32215 3 4"},
      {"LinesReordered", {d1, r1, c1, x9, r1b}, "1 2 3 4"},
      {"NamesakeRemoved", {r1, c1, d1}, "1 2 32215 4"},
  };
  for (const Row& row : rows) {
    design_.Load({r1, c1, r1b, d1}, kUnitsMils, {});
    ASSERT_EQ(host_.Api().TOpenDesign(0, 15000, "pcb", &context_), 0);
    std::vector<TDbxComponent> records{First()};
    for (TDbxItem item{}; host_.Api().TGetNextSelectedItem(&context_, &item) == 0;) {
      item.CopyComponentTo(records.emplace_back());
    }
    design_.Load(row.edited, kUnitsMils, {});
    ASSERT_EQ(host_.Api().TOpenDesign(0, 15000, "pcb", &context_), 0);
    std::string result;
    for (TDbxComponent& record : records) {
      const std::int32_t status = host_.Api().TMoveComponent(&context_, 100, 0, &record);
      std::int32_t moved = status;
      for (const Item& item : design_.Items()) {
        if (item.x >= 100) moved = item.x - 100;
      }
      result += (result.empty() ? "" : " ") + std::to_string(moved);
      design_.Load(row.edited, kUnitsMils, {});
      ASSERT_EQ(host_.Api().TOpenDesign(0, 15000, "pcb", &context_), 0);
    }
    EXPECT_EQ(result, row.result) << row.name;
  }
}

TEST_F(MemoryDesignTest, FullLengthDesignatorIsReadWhole) {
  const std::string refDes(100, 'Q');
  design_.Load({Item::Component(refDes, 0, 0, 0)}, kUnitsMils, {});
  ASSERT_EQ(host_.Api().TOpenDesign(0, 15000, "pcb", &context_), 0);
  EXPECT_EQ(First().RefDes(), refDes);
}

TEST_F(MemoryDesignTest, IterationRestartsAndSkipsUnselected) {
  design_.Load({Item::Component("A", 0, 0, 0, false), Item::Component("B", 0, 0, 0)}, kUnitsMils,
               {});
  ASSERT_EQ(host_.Api().TOpenDesign(0, 15000, "pcb", &context_), 0);
  TDbxItem item{};
  EXPECT_EQ(host_.Api().TGetNextSelectedItem(&context_, &item), 32145);
  EXPECT_EQ(First().RefDes(), "B");
  EXPECT_EQ(host_.Api().TGetNextSelectedItem(&context_, &item), 32163);
  EXPECT_EQ(First().RefDes(), "B");
}

TEST(MemoryHost, OneBindingAtATime) {
  Design design;
  TDbxContext context{};
  {
    MemoryHost bound(design);
    EXPECT_THROW(MemoryHost{design}, std::logic_error);
    EXPECT_EQ(MemoryHost::Api().TOpenDesign(0, 15000, "pcb", &context), 0);
  }
  EXPECT_EQ(MemoryHost::Api().TCloseDesign(&context, ""), 32105);
}

TEST(BoardHost, UnparsableBoardIsReportedWithFileAndLine) {
  TempDir dir;
  WriteFile(dir / "board.txt", "units mils\n\ncomponent R1 0 0\n");
  ScopedEnv board("DBX32_BOARD", std::nullopt);
  ScopedEnv journal("DBX32_JOURNAL", std::nullopt);
  BoardHost host(dir.Path());
  TDbxContext context{};
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(host.Open(0, 15000, "pcb", &context), 32003);
  EXPECT_THAT(::testing::internal::GetCapturedStderr(),
              ::testing::StartsWith((dir / "board.txt").string() + ":3: expected: component"));
}

}  // namespace
}  // namespace standin::testing
