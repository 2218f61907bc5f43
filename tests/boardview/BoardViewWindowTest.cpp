// BoardView.exe as it ships, in a folder of its own with the stand-in, the demo board and the
// real Kordane.exe, driven from outside as a user would: a posted click selects, Go in Kordane
// moves, and the view shows the moved parts where the file says they are. The view is asked
// where it draws a board point and what a click there would find; the rest is read from its
// status bar and the board file.
#if defined(_WIN32)

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "Board.h"
#include "BoardViewMessages.h"
#include "RemoteWindow.h"
#include "standin/TestSupport.h"

namespace standin::boardview {
namespace {

using namespace std::chrono_literals;
using standin::testing::BinDir;
using standin::testing::ReadFile;
using standin::testing::TempDir;
namespace remote = kordane::remote;

using remote::Process;

HWND WaitForView(DWORD processId) {
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (std::chrono::steady_clock::now() < deadline) {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, kWindowClass, nullptr)) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner == processId && IsWindowVisible(window)) return window;
    }
    std::this_thread::sleep_for(50ms);
  }
  return nullptr;
}

// Waits up to timeout for a condition; true when it held.
template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds timeout = 10s) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

Board Parse(const std::string& text) {
  ParseError error;
  std::optional<Board> board = ParseBoard(text, error);
  EXPECT_TRUE(board) << error.line << ": " << error.reason;
  return board ? *board : Board{};
}

const Item& Find(const Board& board, const std::string& refDes) {
  for (const Item& item : board.items) {
    if (item.IsComponent() && item.refDes == refDes) return item;
  }
  throw std::runtime_error("no " + refDes + " on the board");
}

std::string Selected(const Board& board) {
  std::string flags;
  for (const Item& item : board.items) flags += item.selected ? '1' : '0';
  return flags;
}

class BoardViewWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* file : {"BoardView.exe", "Kordane.exe", "Dbx32.dll", "board.txt"}) {
      std::filesystem::copy_file(BinDir() / file, folder_ / file);
    }
    // Both programs find the board beside the stand-in, not through a test's environment.
    SetEnvironmentVariableA("DBX32_BOARD", nullptr);
  }

  Board FileBoard() const { return Parse(ReadFile(folder_ / "board.txt")); }
  std::string Status() const { return remote::TextOf(status_); }

  // The client pixel where the view draws a board point.
  POINT ClientOf(const Item& item) const {
    DWORD_PTR packed = 0;
    SendMessageTimeoutA(view_, kMsgBoardToClient, static_cast<WPARAM>(item.x),
                        static_cast<LPARAM>(item.y), SMTO_ABORTIFHUNG, 5000, &packed);
    return {static_cast<SHORT>(LOWORD(packed)), static_cast<SHORT>(HIWORD(packed))};
  }

  // A user's click: the pointer comes, the button goes down and up.
  void ClickAt(POINT client, bool control) const {
    const WPARAM keys = control ? MK_CONTROL : 0;
    const LPARAM at = MAKELPARAM(client.x, client.y);
    PostMessageA(view_, WM_MOUSEMOVE, keys, at);
    PostMessageA(view_, WM_LBUTTONDOWN, keys | MK_LBUTTON, at);
    PostMessageA(view_, WM_LBUTTONUP, keys, at);
  }

  // The designator of what the view shows at the item's origin, by the hit-test a click there
  // would make; the view answers with the item's place in the file, named from the given board.
  std::string ShownAt(const Item& item, const Board& names) const {
    const POINT client = ClientOf(item);
    DWORD_PTR found = 0;
    SendMessageTimeoutA(view_, kMsgItemAt, 0, MAKELPARAM(client.x, client.y), SMTO_ABORTIFHUNG,
                        5000, &found);
    if (found == 0 || found > names.items.size()) return "nothing";
    return names.items[found - 1].refDes;
  }

  std::size_t Loads() const {
    DWORD_PTR loads = 0;
    SendMessageTimeoutA(view_, kMsgLoadCount, 0, 0, SMTO_ABORTIFHUNG, 5000, &loads);
    return loads;
  }

  TempDir folder_;
  HWND view_ = nullptr;
  HWND status_ = nullptr;
};

TEST_F(BoardViewWindowTest, ClickSelectsInTheFileAndKordanesMovesAreShown) {
  const Board demo = FileBoard();
  std::size_t selected = 0;
  for (const Item& item : demo.items) selected += item.selected ? 1 : 0;

  // Right of where Kordane's window opens, so that neither covers the other.
  Process board(folder_ / "BoardView.exe", folder_.Path(), "--window=300,0,700,540");
  ASSERT_TRUE(board.Started());
  view_ = WaitForView(board.Id());
  ASSERT_NE(view_, nullptr);
  // A window that has just appeared may still be sized, and its picture fitted again; in a fresh
  // Wine prefix its first start takes seconds.
  EXPECT_TRUE(board.WaitForIdle(30000));
  EXPECT_EQ(remote::TextOf(view_), "board.txt - Board view");
  status_ = remote::FindControl(view_, kStatusBarId);
  ASSERT_NE(status_, nullptr);
  const std::string opened =
      std::to_string(selected) + " of " + std::to_string(demo.items.size()) + " selected";
  EXPECT_TRUE(WaitFor([&] { return Status().find(opened) != std::string::npos; })) << Status();
  EXPECT_EQ(ShownAt(Find(demo, "U2"), demo), "U2");

  // Ctrl+click adds R12, which is not selected, and the file says so at once.
  const Item& r12 = Find(demo, "R12");
  ASSERT_FALSE(r12.selected);
  ASSERT_TRUE(WaitFor([&] { return ShownAt(r12, demo) == "R12"; })) << ShownAt(r12, demo);
  ClickAt(ClientOf(r12), true);
  EXPECT_TRUE(WaitFor([&] { return Find(FileBoard(), "R12").selected; }));
  std::string expected = Selected(demo);
  expected[static_cast<std::size_t>(&r12 - demo.items.data())] = '1';
  EXPECT_EQ(Selected(FileBoard()), expected) << "only R12 changed";

  // Go in the real Kordane.exe: the default settings line each group up in a row, 200 mils
  // apart, from its leftmost member.
  const std::size_t loads = Loads();
  {
    Process kordane(folder_ / "Kordane.exe", folder_.Path());
    ASSERT_TRUE(kordane.Started());
    const HWND window = remote::WaitForMainWindow(kordane.Id(), 60s);
    ASSERT_NE(window, nullptr);
    constexpr int kGoButton = 100;
    const remote::ClickResult go =
        remote::ClickAndWait(remote::FindControl(window, kGoButton), kordane.Id(), 60s);
    EXPECT_TRUE(go.ended);
    EXPECT_TRUE(go.boxes.empty());
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(kordane.WaitForExit(30000));
  }
  EXPECT_TRUE(WaitFor([&] { return Loads() > loads; })) << "the view did not reload";

  const Board moved = FileBoard();
  const Item& r3 = Find(demo, "R3");  // the leftmost resistor
  constexpr std::int32_t kPitch = 200 * 2540;
  const char* row[] = {"R1", "R2", "R3", "R4", "R5", "R10", "R12"};
  for (int i = 0; i < 7; ++i) {
    const Item& part = Find(moved, row[i]);
    EXPECT_EQ(part.x, r3.x + i * kPitch) << row[i];
    EXPECT_EQ(part.y, r3.y) << row[i];
    EXPECT_EQ(ShownAt(part, moved), row[i]) << "the view shows it at its new place";
  }
  EXPECT_EQ(ShownAt(Find(moved, "C2"), moved), "C2");
  EXPECT_EQ(ShownAt(Find(moved, "U1A"), moved), "U1A") << "not selected, not moved";
  EXPECT_EQ(ShownAt(Find(demo, "R2"), moved), "nothing") << "where R2 was before Go";

  // A plain click selects that one alone; Esc clears.
  ClickAt(ClientOf(Find(moved, "C2")), false);
  EXPECT_TRUE(WaitFor([&] {
    const Board now = FileBoard();
    return Find(now, "C2").selected && Selected(now).find('1') == Selected(now).rfind('1');
  })) << ReadFile(folder_ / "board.txt");
  PostMessageA(view_, WM_CHAR, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitFor([&] { return Selected(FileBoard()).find('1') == std::string::npos; }));
  // Ctrl+A, as typed: everything.
  PostMessageA(view_, WM_CHAR, 1, 0);
  EXPECT_TRUE(WaitFor([&] { return Selected(FileBoard()).find('0') == std::string::npos; }));

  // A file that does not parse: its line in the status bar, the last good picture kept, and no
  // selection written over it.
  const std::string bad = "units mils\n\ncomponent R1 0 zero 0\n";
  standin::testing::WriteBoardFile(folder_ / "board.txt", bad);
  EXPECT_TRUE(WaitFor([&] {
    return Status().find("board.txt:3: expected: component") != std::string::npos;
  })) << Status();
  EXPECT_EQ(ShownAt(Find(moved, "C2"), moved), "C2");
  ClickAt(ClientOf(Find(moved, "C2")), false);
  EXPECT_TRUE(WaitFor([&] { return Status().find("not written") != std::string::npos; }))
      << Status();
  EXPECT_EQ(ReadFile(folder_ / "board.txt"), bad);

  // A file that is gone is named so, not taken for one that does not parse.
  std::filesystem::remove(folder_ / "board.txt");
  EXPECT_TRUE(WaitFor([&] { return Status().find("cannot be read") != std::string::npos; }))
      << Status();
  ClickAt(ClientOf(Find(moved, "C2")), false);
  EXPECT_TRUE(WaitFor([&] { return Status().find("file is missing") != std::string::npos; }))
      << Status();

  PostMessageA(view_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(board.WaitForExit(10000));
}

}  // namespace
}  // namespace standin::boardview

#endif
