// The board file as the board view reads and writes it: selection written in place, the file's
// own changes followed, a file newer than the last read never written over, a bad file reported
// with its line while the last good board stays.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

#include "BoardDocument.h"
#include "StatusLine.h"
#include "standin/TestSupport.h"

namespace standin::boardview {
namespace {

using standin::testing::ReadFile;
using standin::testing::ScopedEnv;
using standin::testing::TempDir;
using standin::testing::WriteFile;

constexpr const char* kBoard =
    "# two parts and a track\n"
    "units mils\n"
    "component R1 0 0 900 254000x127000 selected  # left\n"
    "component C1 1000000 0 0\n"
    "item 4 selected\n";

class BoardDocumentTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteFile(path_, kBoard); }

  TempDir dir_;
  std::filesystem::path path_ = dir_ / "board.txt";
  BoardDocument document_{path_};
};

TEST_F(BoardDocumentTest, ReadsTheBoardOnceUntilItChanges) {
  EXPECT_EQ(document_.Refresh(), BoardDocument::ReadResult::Loaded);
  ASSERT_NE(document_.Current(), nullptr);
  EXPECT_EQ(document_.Current()->units, kUnitsMils);
  EXPECT_EQ(document_.CurrentSelection(), (Selection{true, false, true}));
  EXPECT_EQ(document_.Scene().size(), 3u);
  EXPECT_EQ(document_.Refresh(), BoardDocument::ReadResult::Unchanged);
  EXPECT_EQ(document_.Loads(), 1u);

  WriteFile(path_, "units mm\ncomponent R1 5 6 0\n");
  EXPECT_EQ(document_.Refresh(), BoardDocument::ReadResult::Loaded);
  EXPECT_EQ(document_.Loads(), 2u);
  EXPECT_EQ(document_.Current()->items, (std::vector<Item>{Item::Component("R1", 5, 6, 0, false)}));
}

// Another program holding the lock past the patience: nothing is read (the file may be half
// replaced), the last board stays, and the next try reads it.
TEST_F(BoardDocumentTest, ABoardLockedPastThePatienceIsNotReadAndTheLastBoardStays) {
  ASSERT_EQ(document_.Refresh(), BoardDocument::ReadResult::Loaded);
  {
    const BoardFileLock held(path_);
    ASSERT_TRUE(held.Held());
    WriteFile(path_, "units mm\ncomponent R1 5 6 0\n");
    EXPECT_EQ(document_.Refresh(std::chrono::milliseconds(50)), BoardDocument::ReadResult::Busy);
    EXPECT_EQ(document_.Current()->units, kUnitsMils);
  }
  EXPECT_EQ(document_.Refresh(), BoardDocument::ReadResult::Loaded);
  EXPECT_EQ(document_.Current()->units, kUnitsMm);
}

TEST_F(BoardDocumentTest, SelectionIsWrittenInPlaceAndReadsBack) {
  ASSERT_EQ(document_.Refresh(), BoardDocument::ReadResult::Loaded);
  EXPECT_EQ(document_.WriteSelection({false, true, true}), BoardDocument::WriteResult::Written);
  EXPECT_EQ(ReadFile(path_),
            "# two parts and a track\n"
            "units mils\n"
            "component R1 0 0 900 254000x127000  # left\n"
            "component C1 1000000 0 0 selected\n"
            "item 4 selected\n");
  EXPECT_EQ(dir_.FileNames(), (std::vector<std::string>{"board.txt", "board.txt.lock"}))
      << "temporary left";
  EXPECT_EQ(document_.CurrentSelection(), (Selection{false, true, true}));
  EXPECT_EQ(document_.Refresh(), BoardDocument::ReadResult::Unchanged) << "its own write";
  EXPECT_EQ(document_.Loads(), 1u);

  // The next write works from the text as written, and the first selection gives the first text.
  EXPECT_EQ(document_.WriteSelection({true, false, true}), BoardDocument::WriteResult::Written);
  EXPECT_EQ(ReadFile(path_), kBoard);
  EXPECT_EQ(document_.WriteSelection({true, false, true}), BoardDocument::WriteResult::Unchanged);
}

TEST_F(BoardDocumentTest, NeverWritesOverAFileNewerThanItsLastRead) {
  ASSERT_EQ(document_.Refresh(), BoardDocument::ReadResult::Loaded);
  // The stand-in writes the board back at a close: the same length, other numbers.
  const std::string moved =
      "# two parts and a track\n"
      "units mils\n"
      "component R1 9 9 900 254000x127000 selected  # left\n"
      "component C1 1000000 0 0\n"
      "item 4 selected\n";
  WriteFile(path_, moved);
  EXPECT_EQ(document_.WriteSelection({false, false, false}), BoardDocument::WriteResult::Stale);
  EXPECT_EQ(ReadFile(path_), moved);

  EXPECT_EQ(document_.Refresh(), BoardDocument::ReadResult::Loaded);
  EXPECT_EQ(document_.WriteSelection({false, false, false}), BoardDocument::WriteResult::Written);
  EXPECT_EQ(ReadFile(path_),
            "# two parts and a track\n"
            "units mils\n"
            "component R1 9 9 900 254000x127000  # left\n"
            "component C1 1000000 0 0\n"
            "item 4\n");
}

TEST_F(BoardDocumentTest, BadFileNamesItsLineAndKeepsTheLastGoodBoard) {
  ASSERT_EQ(document_.Refresh(), BoardDocument::ReadResult::Loaded);
  WriteFile(path_, "units mils\n\ncomponent R1 0 zero 0\n");
  EXPECT_EQ(document_.Refresh(), BoardDocument::ReadResult::Failed);
  ASSERT_TRUE(document_.Error());
  EXPECT_EQ(document_.Error()->rfind(path_.string() + ":3: expected: component", 0), 0u)
      << *document_.Error();
  ASSERT_NE(document_.Current(), nullptr);
  EXPECT_EQ(document_.Current()->items.size(), 3u) << "the last good board";
  EXPECT_EQ(document_.Refresh(), BoardDocument::ReadResult::Unchanged);
  EXPECT_EQ(document_.WriteSelection({false, false, false}), BoardDocument::WriteResult::Refused);
  EXPECT_EQ(ReadFile(path_), "units mils\n\ncomponent R1 0 zero 0\n");

  StatusInfo status;
  status.error = document_.Error();
  status.items = 3;
  EXPECT_EQ(StatusText(status),
            *document_.Error() + " (showing the last good board) | 0 of 3 selected");

  WriteFile(path_, kBoard);
  EXPECT_EQ(document_.Refresh(), BoardDocument::ReadResult::Loaded);
  EXPECT_FALSE(document_.Error());
}

TEST_F(BoardDocumentTest, MissingFileIsAnErrorOnce) {
  BoardDocument missing(dir_ / "none.txt");
  EXPECT_EQ(missing.Refresh(), BoardDocument::ReadResult::Failed);
  EXPECT_EQ(missing.Error(), (dir_ / "none.txt").string() + ": cannot be read");
  EXPECT_EQ(missing.Refresh(), BoardDocument::ReadResult::Unchanged);
  EXPECT_EQ(missing.Current(), nullptr);
  EXPECT_EQ(missing.WriteSelection({}), BoardDocument::WriteResult::Refused);

  // Gone after a good read: the last board stays, and a write says the file is what is wrong.
  ASSERT_EQ(document_.Refresh(), BoardDocument::ReadResult::Loaded);
  std::filesystem::remove(path_);
  EXPECT_EQ(document_.Refresh(), BoardDocument::ReadResult::Failed);
  ASSERT_NE(document_.Current(), nullptr);
  EXPECT_EQ(document_.WriteSelection({false, false, false}),
            BoardDocument::WriteResult::Unreadable);
  EXPECT_FALSE(std::filesystem::exists(path_));
}

// The board view and the stand-in host write one file from two threads, as the board view and
// Kordane's runs do from two programs: every move the host makes and every selection the view
// writes is in the file at the end. Without the lock and the host's write onto the file as it
// is, each loses the other's writes between its read and its replace.
TEST_F(BoardDocumentTest, TwoWritersRacingLoseNoWrite) {
  constexpr int kRounds = 150;
  int written = 0;
  std::thread view([&] {
    for (int round = 0; round < kRounds;) {
      document_.Refresh();
      const Selection now = document_.CurrentSelection();
      if (now.empty()) continue;
      Selection next = now;
      next[1] = !next[1];  // C1
      const BoardDocument::WriteResult result = document_.WriteSelection(next);
      EXPECT_NE(result, BoardDocument::WriteResult::Failed);
      if (result == BoardDocument::WriteResult::Failed) return;
      if (result == BoardDocument::WriteResult::Written) {
        ++written;
        ++round;
      }
    }
  });
  BoardHost host(dir_.Path());
  ScopedEnv board("DBX32_BOARD", std::nullopt);
  int moved = 0;
  for (int round = 0; round < kRounds; ++round) {
    TDbxContext context{};
    TDbxItem item{};
    TDbxComponent r1;
    const bool ok = host.Open(0, 15000, "pcb", &context) == kOk &&
                    host.GetFirst(&context, &item) == kOk &&
                    (item.CopyComponentTo(r1), host.Move(&context, 10, 0, &r1) == kOk);
    const std::int32_t closed = host.Close(&context, "");
    EXPECT_TRUE(ok && closed == kOk) << "round " << round << ": close " << closed;
    moved += ok && closed == kOk ? 1 : 0;
  }
  view.join();
  ParseError error;
  const std::optional<Board> end = ParseBoard(ReadFile(path_), error);
  ASSERT_TRUE(end);
  EXPECT_EQ(end->items[0].x, 10 * moved) << "a move of the host's was lost";
  EXPECT_EQ(end->items[1].selected, written % 2 == 1) << "a selection of the view's was lost";
}

TEST(StatusText, ShowsPointerItemGridAndSelection) {
  StatusInfo status;
  status.units = kUnitsMm;
  status.pointer = Point{150000, -2540};
  status.under = "R12";
  status.gridStep = 50000;
  status.selected = 2;
  status.items = 7;
  EXPECT_EQ(StatusText(status), "X 1.500  Y -0.025 mm | R12 | grid 0.5 mm | 2 of 7 selected");
  status.units = kUnitsMils;
  status.pointer = Point{2540 * 1000, 0};
  status.under.reset();
  status.gridStep = 254000;
  status.note = "cannot write board.txt";
  EXPECT_EQ(StatusText(status),
            "cannot write board.txt | X 1000.0  Y 0.0 mils | grid 100 mils | 2 of 7 selected");
}

}  // namespace
}  // namespace standin::boardview
