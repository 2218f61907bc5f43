// The Arrange window as the user meets it over the stand-in host: opened from the main window's
// menu, a parameter that is not valid named with Apply disabled, Apply arranging with the window
// left open, Ctrl+Z taking it back, Escape closing it, and its choices back after a restart.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "FormOnBoard.h"
#include "MessageBoxCatcher.h"
#include "ModalScript.h"
#include "UiTestSupport.h"
#include "host/DbxUtils.h"
#include "ui/ArrangeWindow.h"
#include "ui/MainForm.h"

namespace kordane::ui {
namespace {

using kordane::testing::ComponentsOf;
using kordane::testing::HoldControl;
using kordane::testing::HoldKey;
using kordane::testing::ModalScript;
using kordane::testing::PressKey;
using kordane::testing::WithFocusIn;

// Four LEDs out of line, and a resistor.
constexpr const char* kBoard =
    "units mils\n"
    "component D3 30 -400 0 selected\n"
    "component D1 0 0 0 selected\n"
    "component D4 900 -380 0 selected\n"
    "component D2 700 20 0 selected\n"
    "component R1 5000 5000 0 selected\n";

HWND OpenArrange() {
  return FindWindowA(kArrangeClass, kArrangeCaption);
}

bool ArrangeReady() {
  const HWND window = OpenArrange();
  return window != nullptr && IsWindowVisible(window) && IsChild(window, GetFocus());
}

const TArrangeWindow* ArrangeObject(HWND window) {
  return reinterpret_cast<const TArrangeWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

std::string ItemText(HWND window, int id) {
  return WindowText(GetDlgItem(window, id));
}

void Click(int id) {
  PostMessageA(GetDlgItem(OpenArrange(), id), BM_CLICK, 0, 0);
}

// Typed as the keyboard types it into the field of a drop-down list, over what it holds.
void TypeInto(int list, const std::string& text) {
  const HWND field = GetWindow(GetDlgItem(OpenArrange(), list), GW_CHILD);
  PostMessageA(field, EM_SETSEL, 0, -1);
  for (const char c : text) PostMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
}

// The Arrange window is modeless: once open (from the menu, or by open), the program's own loop
// runs it, handing it its keys, until it closes.
void RunArrange(TfrmMain& form, const std::function<void()>& open = {}) {
  if (open) {
    open();
  } else {
    form.Arrange1Click();
  }
  MSG message;
  while (OpenArrange() != nullptr && GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (form.TranslateShortcut(message)) continue;
    if (IsDialogMessageA(form.Handle(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// Each "component ..." line is in the board file's text.
void ExpectLines(const std::string& board, std::initializer_list<const char*> lines) {
  for (const char* line : lines) {
    EXPECT_NE(board.find(std::string("component ") + line), std::string::npos) << line;
  }
}

class ArrangeWindowTest : public kordane::testing::FormOnBoardTest {
 protected:
  ArrangeWindowTest() : FormOnBoardTest(kBoard) {}

  // Opens the window, reads it once and closes it.
  bool ReadOnce(const std::function<void(HWND)>& read) {
    ModalScript script({[&] {
                         read(OpenArrange());
                         PostMessageA(OpenArrange(), WM_CLOSE, 0, 0);
                       }},
                       ArrangeReady);
    RunArrange(*form_);
    return script.Finished();
  }
};

TEST_F(ArrangeWindowTest, ErrorDisablesApplyApplyArrangesAndStaysOpenCtrlZUndoesEscapeCloses) {
  Start();
  const std::string board = testing::ReadFile(Board());
  bool ownedBeside = false;
  std::string named;
  bool disabled = false;
  bool stillOpen = false;
  std::string afterApply;
  std::string afterUndo;
  std::string placedD4;
  ModalScript script({
                         [&] {
                           const HWND window = OpenArrange();
                           ownedBeside = GetWindow(window, GW_OWNER) == form_->Handle() &&
                                         IsWindowEnabled(form_->Handle());
                           SetWindowTextA(GetDlgItem(window, kIdColumns), "0");
                         },
                         [&] {
                           const HWND window = OpenArrange();
                           named = ItemText(window, kIdArrangeSummary);
                           disabled = !IsWindowEnabled(GetDlgItem(window, kIdApply));
                           SetWindowTextA(GetDlgItem(window, kIdColumns), "2");
                         },
                         [] { Click(kIdApply); },
                         WithFocusIn("Ctrl+Z where the focus is", OpenArrange,
                                     [&] {
                                       const HWND window = OpenArrange();
                                       stillOpen = window != nullptr && IsWindowVisible(window);
                                       afterApply = ItemText(window, kIdArrangeSummary);
                                       placedD4 = testing::ReadFile(Board());
                                       HoldControl(true);
                                       PressKey(GetFocus(), 'Z');
                                     }),
                         WithFocusIn("Escape where the focus is", OpenArrange,
                                     [&] {
                                       HoldControl(false);
                                       afterUndo = ItemText(OpenArrange(), kIdArrangeSummary);
                                       PressKey(GetFocus(), VK_ESCAPE);
                                     }),
                     },
                     ArrangeReady);
  RunArrange(*form_, [&] { SendMessageA(form_->Handle(), WM_COMMAND, kIdArrange, 0); });
  ASSERT_TRUE(script.Finished());
  EXPECT_TRUE(ownedBeside);
  EXPECT_EQ(named, "Columns must be a whole number of 1 or more");
  EXPECT_TRUE(disabled) << "Apply waits for the parameter to be mended";
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(afterApply, "5 components in 2 groups: 0 moves, 0 rotations")
      << "read again after Apply: the LEDs are in place";
  EXPECT_NE(placedD4.find("component D4 254000 -253980 0"), std::string::npos) << placedD4;
  EXPECT_EQ(afterUndo, "5 components in 2 groups: 4 moves, 0 rotations");
  EXPECT_EQ(testing::ReadFile(Board()), board) << "Ctrl+Z took the run back";
  EXPECT_EQ(OpenArrange(), nullptr) << "Escape closes the window";
  EXPECT_TRUE(IsWindowEnabled(form_->Handle()));
}

// The picture as the mouse and the keys reach it, and the main window in use beside it: Go there
// makes the picture read the selection again, "Arrange..." brings back the same window, and
// closing the main window closes it.
TEST_F(ArrangeWindowTest, PictureZoomsPansAndFitsWhileTheMainWindowGoesOn) {
  Start();
  const auto picture = [] { return GetDlgItem(OpenArrange(), kIdArrangePicture); };
  const auto view = [] { return ArrangeObject(OpenArrange())->RunPicture().View(); };
  const auto same = [](ViewPoint a, ViewPoint b) {
    return std::abs(a.x - b.x) < 1e-6 * (1 + std::abs(b.x)) &&
           std::abs(a.y - b.y) < 1e-6 * (1 + std::abs(b.y));
  };
  double fittedScale = 0;
  ViewPoint underWheel;
  ViewPoint grabbed;
  bool zoomedAtPointer = false;
  bool draggedWithPointer = false;
  bool focusTaken = false;
  bool arrowPanned = false;
  bool homeFitted = false;
  std::string beforeGo;
  std::string afterGo;
  int windows = 0;
  ModalScript script(
      {[&] {
         fittedScale = view().View().Scale();
         underWheel = view().View().ToBoard({60, 40});
         POINT at{60, 40};
         ClientToScreen(picture(), &at);
         PostMessageA(picture(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(at.x, at.y));
       },
       [&] {
         zoomedAtPointer = view().View().Scale() > fittedScale * 1.2 &&
                           same(view().View().ToBoard({60, 40}), underWheel);
         grabbed = view().View().ToBoard({50, 50});
         PostMessageA(picture(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
         PostMessageA(picture(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(80, 70));
         PostMessageA(picture(), WM_LBUTTONUP, 0, MAKELPARAM(80, 70));
       },
       WithFocusIn("an arrow key in the picture", OpenArrange,
                   [&] {
                     draggedWithPointer = same(view().View().ToBoard({80, 70}), grabbed);
                     focusTaken = GetFocus() == picture();
                     grabbed = view().View().ToBoard({80, 70});
                     PressKey(picture(), VK_RIGHT);
                   }),
       [&] {
         arrowPanned = GetFocus() == picture() && !same(view().View().ToBoard({80, 70}), grabbed);
         PressKey(picture(), VK_HOME);
       },
       [&] {
         homeFitted = view().Fitted() && view().View().Scale() == fittedScale;
         beforeGo = ItemText(OpenArrange(), kIdArrangeSummary);
         PostMessageA(form_->Control(kIdAlign), BM_CLICK, 0, 0);
       },
       [&] {
         afterGo = ItemText(OpenArrange(), kIdArrangeSummary);
         SendMessageA(form_->Handle(), WM_COMMAND, kIdArrange, 0);
         for (const HWND window : testing::ThreadWindows()) {
           char name[32] = {};
           GetClassNameA(window, name, sizeof name);
           windows += std::string(name) == kArrangeClass ? 1 : 0;
         }
         PostMessageA(form_->Handle(), WM_CLOSE, 0, 0);
       }},
      ArrangeReady);
  RunArrange(*form_);
  ASSERT_TRUE(script.Finished());
  EXPECT_TRUE(zoomedAtPointer) << "the wheel zooms in about the pointer";
  EXPECT_TRUE(draggedWithPointer) << "the board point grabbed follows the pointer";
  EXPECT_TRUE(focusTaken) << "a click gives the picture the focus";
  EXPECT_TRUE(arrowPanned) << "an arrow key pans the picture, which keeps the focus";
  EXPECT_TRUE(homeFitted) << "Home fits the picture again";
  EXPECT_EQ(beforeGo, "5 components in 2 groups: 4 moves, 0 rotations");
  EXPECT_EQ(afterGo, "5 components in 2 groups: 3 moves, 0 rotations")
      << "Go in the main window, then the selection read again";
  EXPECT_EQ(windows, 1) << "Arrange... brings the open window to the front";
  EXPECT_EQ(OpenArrange(), nullptr) << "closing the main window closes it";
  EXPECT_NE(testing::ReadFile(folder_ / "Kordane.INI").find("[Arrange]"), std::string::npos)
      << "and it kept its choices";
}

TEST_F(ArrangeWindowTest, CircleAppliedPutsTheLedsOnARing) {
  Start();
  ModalScript script({
                         [&] {
                           const HWND window = OpenArrange();
                           Click(kIdPatternCircle);
                           SetWindowTextA(GetDlgItem(window, kIdRadius), "400");
                         },
                         [] { Click(kIdApply); },
                         WithFocusIn("Escape where the focus is", OpenArrange,
                                     [] { PressKey(GetFocus(), VK_ESCAPE); }),
                     },
                     ArrangeReady);
  RunArrange(*form_);
  ASSERT_TRUE(script.Finished());
  // Centred on the selection's box (R1 is selected too): x 0..5000, y -400..5000; the LEDs and
  // R1 share the one ring.
  const auto placed = ComponentsOf(Board());
  const double centreX = 2500;
  const double centreY = 2300;
  for (const char* led : {"D1", "D2", "D3", "D4"}) {
    SCOPED_TRACE(led);
    const double r = std::hypot(placed.at(led).x - centreX, placed.at(led).y - centreY);
    EXPECT_NEAR(r, 400 * 2540, 1.0);
  }
  EXPECT_EQ(placed.at("D1").x, 2500 + 1016000) << "the first at 0 degrees";
  EXPECT_EQ(placed.at("D1").y, 2300);
}

// The selection changed before Apply into one the choices cannot arrange: Apply draws it with
// the reason, places nothing and shows no box.
TEST_F(ArrangeWindowTest, ASelectionChangedBeforeApplyIsDrawnWithWhatStopsIt) {
  std::string oneGroup = kBoard;
  oneGroup.erase(oneGroup.rfind(" selected"), 9);  // R1 not selected yet
  testing::WriteFile(Board(), oneGroup);
  Start();
  testing::MessageBoxCatcher boxes;
  std::string summary;
  bool applyEnabled = true;
  ModalScript script({
                         [&] {
                           const HWND window = OpenArrange();
                           Click(kIdPatternCircle);
                           SetWindowTextA(GetDlgItem(window, kIdRadius), "400");
                           SetWindowTextA(GetDlgItem(window, kIdRingStep), "-400");
                         },
                         [&] {
                           // Selected meanwhile: a second ring, of radius 0.
                           testing::WriteFile(Board(), kBoard);
                           Click(kIdApply);
                         },
                         WithFocusIn("Escape where the focus is", OpenArrange,
                                     [&] {
                                       const HWND window = OpenArrange();
                                       summary = ItemText(window, kIdArrangeSummary);
                                       applyEnabled = IsWindowEnabled(GetDlgItem(window, kIdApply));
                                       PressKey(GetFocus(), VK_ESCAPE);
                                     }),
                     },
                     ArrangeReady);
  RunArrange(*form_);
  ASSERT_TRUE(script.Finished());
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(summary,
            "The selection changed since the picture was drawn: Ring step gives ring 2 a radius "
            "of 0 or less");
  EXPECT_FALSE(applyEnabled);
}

TEST_F(ArrangeWindowTest, LengthsAreInTheDesignsUnitsStartInThemAndKeepThem) {
  testing::WriteFile(Board(), "units mm\ncomponent D1 0 0 0 selected\n");
  Start();
  SendMessageA(form_->Control(kIdToMils), BM_CLICK, 0, 0);  // the main window's spacing in mils
  std::vector<std::string> shown;
  ASSERT_TRUE(ReadOnce([&](HWND window) {
    for (const int id :
         std::initializer_list<int>{kIdPitchX, kIdRadius, kIdStepX, kIdPitchXUnit, kIdRadiusUnit}) {
      shown.push_back(ItemText(window, id));
    }
  }));
  EXPECT_EQ(shown, (std::vector<std::string>{"2.54", "12.7", "25.4", "mm", "mm"}));
  // Kept with their units: on a board in mils they are shown, and kept, in mils.
  testing::WriteFile(Board(), "units mils\ncomponent D1 0 0 0 selected\n");
  shown.clear();
  ASSERT_TRUE(ReadOnce([&](HWND window) {
    for (const int id : std::initializer_list<int>{kIdPitchX, kIdRadius, kIdPitchXUnit}) {
      shown.push_back(ItemText(window, id));
    }
  }));
  EXPECT_EQ(shown, (std::vector<std::string>{"100", "500", "mils"}));
}

// The selection exported, D1 moved on the board, then placed back from the file and the step
// taken back; a file that changed before Apply into one that does not read is drawn with why.
TEST_F(ArrangeWindowTest, FromATableExportedAppliedUndoneAndRefused) {
  Start();
  const std::string board = testing::ReadFile(Board());
  const std::string table = (Board().parent_path() / "placement.csv").string();
  std::string missing, exported, moved, changed;
  bool applyDisabled = false, orderDisabled = false;
  std::string placedBack, afterUndo;
  ModalScript script({
                         [&] {
                           Click(kIdPatternTable);
                           SetWindowTextA(GetDlgItem(OpenArrange(), kIdTableFile), table.c_str());
                         },
                         [&] {
                           const HWND window = OpenArrange();
                           missing = ItemText(window, kIdArrangeSummary);
                           applyDisabled = !IsWindowEnabled(GetDlgItem(window, kIdApply));
                           orderDisabled = !IsWindowEnabled(GetDlgItem(window, kIdOrder)) &&
                                           !IsWindowEnabled(GetDlgItem(window, kIdTurn));
                           Click(kIdTableExport);
                         },
                         [&] {
                           exported = ItemText(OpenArrange(), kIdArrangeSummary);
                           std::string shifted = board;
                           shifted.replace(shifted.find("D1 0 0 0"), 8, "D1 2540 0 900");
                           testing::WriteFile(Board(), shifted);
                           Click(kIdReadSelection);
                         },
                         [&] {
                           moved = ItemText(OpenArrange(), kIdArrangeSummary);
                           Click(kIdApply);
                         },
                         WithFocusIn("Ctrl+Z where the focus is", OpenArrange,
                                     [&] {
                                       placedBack = testing::ReadFile(Board());
                                       HoldControl(true);
                                       PressKey(GetFocus(), 'Z');
                                     }),
                         [&] {
                           HoldControl(false);
                           afterUndo = testing::ReadFile(Board());
                           testing::WriteFile(table, "Ref,X\nD1,0\n");
                           Click(kIdApply);
                         },
                         WithFocusIn("Escape where the focus is", OpenArrange,
                                     [&] {
                                       changed = ItemText(OpenArrange(), kIdArrangeSummary);
                                       applyDisabled =
                                           applyDisabled &&
                                           !IsWindowEnabled(GetDlgItem(OpenArrange(), kIdApply));
                                       PressKey(GetFocus(), VK_ESCAPE);
                                     }),
                     },
                     ArrangeReady);
  RunArrange(*form_);
  ASSERT_TRUE(script.Finished());
  EXPECT_EQ(missing.rfind("Cannot read " + table + ": ", 0), 0u) << missing;
  EXPECT_TRUE(orderDisabled);
  EXPECT_EQ(exported, "5 components placed from 5 rows: 0 moves, 0 rotations");
  EXPECT_EQ(moved, "5 components placed from 5 rows: 1 move, 1 rotation");
  EXPECT_EQ(ComponentsOf(Board()).at("D1").x, 2540) << "Ctrl+Z took the step back";
  EXPECT_EQ(placedBack, board);
  EXPECT_NE(afterUndo, board);
  EXPECT_EQ(changed,
            "The table's file changed since the picture was drawn: line 1: the header has no Y "
            "column: Ref,X");
  EXPECT_TRUE(applyDisabled);
}

// Alt and a letter as the keyboard gives it to the focused control.
void PressAlt(char letter) {
  PostMessageA(GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(letter), LPARAM{1} << 29);
}

TEST_F(ArrangeWindowTest, MnemonicsOfLabelsAndGroupBoxesReachTheirFields) {
  Start();
  // In the main window, whose dialog keys the program's own loop hands to the dialog manager: a
  // group box's mnemonic goes into it.
  SetFocus(form_->Control(kIdAlign));
  MSG altS{GetFocus(), WM_SYSCHAR, 's', LPARAM{1} << 29, 0, {}};
  IsDialogMessageA(form_->Handle(), &altS);
  EXPECT_EQ(GetFocus(), form_->Control(kIdSpacing)) << "Alt+S";

  struct Row {
    char letter;
    int focused;
  };
  const Row rows[] = {{'n', kIdColumns}, {'x', kIdPitchX}, {'y', kIdPitchY},
                      {'i', kIdFill},    {'t', kIdStart},  {'o', kIdOrder}};
  std::vector<int> reached;
  std::vector<kordane::testing::ScriptStep> steps;
  for (const Row& row : rows) {
    steps.push_back(WithFocusIn(std::string("Alt+") + row.letter, OpenArrange,
                                [letter = row.letter] { PressAlt(letter); }));
    steps.emplace_back([&reached] { reached.push_back(GetDlgCtrlID(GetFocus())); });
  }
  steps.emplace_back([] { PostMessageA(OpenArrange(), WM_CLOSE, 0, 0); });
  ModalScript script(std::move(steps), ArrangeReady);
  RunArrange(*form_);
  ASSERT_TRUE(script.Finished());
  ASSERT_EQ(reached.size(), std::size(rows));
  for (std::size_t i = 0; i < reached.size(); ++i) {
    EXPECT_EQ(reached[i], rows[i].focused) << "Alt+" << rows[i].letter;
  }
}

// Apply does what the picture shows or nothing: a selection changed since the picture was drawn
// is drawn anew first. A read that fails keeps the window as it was, its error in the summary and
// Apply disabled until a read succeeds.
TEST_F(ArrangeWindowTest, ApplyDrawsAChangedSelectionAnewAndAFailedReadChangesNothing) {
  Start();
  const std::string board = testing::ReadFile(Board());
  std::string moved = board;
  moved.replace(moved.find("D1 0 0"), 6, "D1 9 0");
  std::vector<std::string> seen;  // the summary, whether Apply is enabled, Pitch X's unit
  const auto note = [&seen] {
    const HWND window = OpenArrange();
    seen.push_back(ItemText(window, kIdArrangeSummary) + " | " +
                   std::to_string(IsWindowEnabled(GetDlgItem(window, kIdApply))) + " | " +
                   ItemText(window, kIdPitchXUnit));
  };
  std::string afterApply;
  ModalScript script({[&] {
                        Click(kIdPatternGrid);
                        SetWindowTextA(GetDlgItem(OpenArrange(), kIdColumns), "2");
                      },
                      [&] {
                        note();
                        testing::WriteFile(Board(), moved);
                        Click(kIdApply);
                      },
                      [&] {
                        note();
                        afterApply = testing::ReadFile(Board());
                        testing::WriteFile(Board(), board + "nonsense\n");
                        Click(kIdReadSelection);
                      },
                      [&] {
                        note();
                        testing::WriteFile(Board(), board);
                        Click(kIdReadSelection);
                      },
                      [&] {
                        note();
                        PostMessageA(OpenArrange(), WM_CLOSE, 0, 0);
                      }},
                     ArrangeReady);
  RunArrange(*form_);
  ASSERT_TRUE(script.Finished());
  EXPECT_EQ(afterApply, moved) << "nothing placed from a picture of another selection";
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "5 components in 2 groups: 4 moves, 0 rotations | 1 | mils",
                      "The selection changed since the picture was drawn: check the picture and "
                      "press Apply again | 1 | mils",
                      "Bad Server Data | 0 | mils",
                      "5 components in 2 groups: 4 moves, 0 rotations | 1 | mils"}));
}

TEST_F(ArrangeWindowTest, WithoutAStoredFrameOpensCentredOnTheMainWindow) {
  Start();
  RECT main{};
  GetWindowRect(form_->Handle(), &main);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - (main.right - main.left)) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - (main.bottom - main.top)) / 2;
  SetWindowPos(form_->Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  GetWindowRect(form_->Handle(), &main);
  RECT frame{};
  ASSERT_TRUE(ReadOnce([&](HWND window) { GetWindowRect(window, &frame); }));
  EXPECT_NEAR(frame.left + frame.right, main.left + main.right, 1);
  EXPECT_NEAR(frame.top + frame.bottom, main.top + main.bottom, 1);
}

// The mnemonic letters of the window's visible controls.
std::string VisibleMnemonics(HWND window) {
  std::string letters;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    const std::string text = WindowText(child) + " ";
    const std::size_t amp = text.find('&');
    if (amp != std::string::npos)
      letters += static_cast<char>(std::tolower(static_cast<unsigned char>(text[amp + 1])));
  }
  return letters;
}

TEST_F(ArrangeWindowTest, MnemonicsAreUniqueAmongTheControlsOfEachPattern) {
  Start();
  const int patterns[] = {kIdPatternRows,  kIdPatternGrid,   kIdPatternDistribute,
                          kIdPatternAlign, kIdPatternCircle, kIdPatternReplicate,
                          kIdPatternSnap,  kIdPatternTable,  kIdPatternTransform};
  std::vector<std::string> shown;
  std::string keepsFirst;  // per pattern: which of the boxes "Keep the first in place" show
  std::vector<kordane::testing::ScriptStep> steps;
  for (const int pattern : patterns) {
    steps.emplace_back([pattern] { Click(pattern); });
    steps.emplace_back([&shown, &keepsFirst] {
      shown.push_back(VisibleMnemonics(OpenArrange()));
      const HWND window = OpenArrange();
      keepsFirst += IsWindowVisible(GetDlgItem(window, kIdGridKeepFirst)) ? 'g' : '-';
      keepsFirst += IsWindowVisible(GetDlgItem(window, kIdCircleKeepFirst)) ? 'c' : '-';
    });
  }
  steps.emplace_back([] { PostMessageA(OpenArrange(), WM_CLOSE, 0, 0); });
  ModalScript script(std::move(steps), ArrangeReady);
  RunArrange(*form_);
  ASSERT_TRUE(script.Finished());
  ASSERT_EQ(shown.size(), std::size(patterns));
  for (std::size_t i = 0; i < shown.size(); ++i) {
    std::string sorted = shown[i];
    std::sort(sorted.begin(), sorted.end());
    EXPECT_TRUE(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end())
        << "pattern " << i << " repeats a letter: " << sorted;
  }
  EXPECT_EQ(keepsFirst, "--g------c--------") << "with Grid and with Circle";
}

TEST_F(ArrangeWindowTest, ChoicesAndFrameComeBackAfterARestart) {
  Start();
  ModalScript first({
                        [&] {
                          const HWND window = OpenArrange();
                          Click(kIdPatternCircle);
                          SetWindowTextA(GetDlgItem(window, kIdRadius), " 12,5 ");
                          SetWindowPos(window, nullptr, 40, 30, 700, 520, SWP_NOZORDER);
                        },
                        [&] { PostMessageA(OpenArrange(), WM_CLOSE, 0, 0); },
                    },
                    ArrangeReady);
  RunArrange(*form_);
  ASSERT_TRUE(first.Finished());
  Restart();
  TArrangeChoices shown;
  RECT frame{};
  bool radiusShown = false;
  ASSERT_TRUE(ReadOnce([&](HWND window) {
    shown = ArrangeObject(window)->Choices();
    radiusShown = IsWindowVisible(GetDlgItem(window, kIdRadius)) &&
                  !IsWindowVisible(GetDlgItem(window, kIdColumns));
    GetWindowRect(window, &frame);
  }));
  EXPECT_EQ(shown.pattern, TArrangePattern::Circle);
  EXPECT_EQ(shown.radiusText, " 12,5 ") << "texts come back exactly as typed";
  EXPECT_TRUE(radiusShown) << "only the chosen pattern's controls show";
  EXPECT_EQ(frame.left, 40);
  EXPECT_EQ(frame.right - frame.left, 700);
}

// The undo and redo entries of the main window's menu, each with "(grey)" when it is greyed.
std::string EntriesOf(const TfrmMain& form) {
  std::string entries;
  for (const UINT id : {UINT{kIdUndo}, UINT{kIdRedo}}) {
    char text[96] = {};
    GetMenuStringA(form.PopupMenu(), id, text, sizeof text, MF_BYCOMMAND);
    const bool greyed = (GetMenuState(form.PopupMenu(), id, MF_BYCOMMAND) & MF_GRAYED) != 0;
    entries += std::string(entries.empty() ? "" : " | ") + text + (greyed ? " (grey)" : "");
  }
  return entries;
}

// The main window's keys as the program's own loop hands them out.
void PumpMainWindow(TfrmMain& form) {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    if (form.TranslateShortcut(message)) continue;
    if (IsDialogMessageA(form.Handle(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// Ctrl and a key to the focused control of the main window, through its loop.
void PressInMainWindow(TfrmMain& form, WPARAM key, bool shift = false) {
  HoldControl(true);
  HoldKey(VK_SHIFT, shift);
  PressKey(GetFocus(), key);
  PumpMainWindow(form);
  HoldKey(VK_SHIFT, false);
  HoldControl(false);
}

TEST_F(ArrangeWindowTest, StepsBackAndForwardFromEitherWindowWithTheMenuNamingThem) {
  Start();
  const auto initial = ComponentsOf(Board());
  form_->bAlignClick();  // D2, D3 and D4 go into D1's row; R1 stays
  const auto afterGo = ComponentsOf(Board());
  ASSERT_NE(afterGo, initial);
  std::vector<std::map<std::string, testing::Placed>> boards;
  std::vector<std::string> entries;
  const auto note = [&] {
    boards.push_back(ComponentsOf(Board()));
    entries.push_back(EntriesOf(*form_));
  };
  std::vector<kordane::testing::ScriptStep> steps{
      [&] { SetWindowTextA(GetDlgItem(OpenArrange(), kIdColumns), "2"); }, [] { Click(kIdApply); },
      [&] { SetFocus(GetDlgItem(OpenArrange(), kIdPatternGrid)); }};
  for (const WPARAM key : {WPARAM{'Z'}, WPARAM{'Z'}, WPARAM{'Y'}, WPARAM{VK_ESCAPE}}) {
    steps.push_back(WithFocusIn("Ctrl and a key where the focus is", OpenArrange, [&, key] {
      note();
      HoldControl(key != VK_ESCAPE);
      PressKey(GetFocus(), key);
    }));
  }
  ModalScript script(std::move(steps), ArrangeReady);
  RunArrange(*form_);
  ASSERT_TRUE(script.Finished());
  ASSERT_EQ(boards.size(), 4u);
  const auto afterGrid = boards[0];
  EXPECT_NE(afterGrid, afterGo);
  EXPECT_EQ(boards[1], afterGo) << "Ctrl+Z took the grid back";
  EXPECT_EQ(boards[2], initial) << "Ctrl+Z took Go back";
  EXPECT_EQ(boards[3], afterGo) << "Ctrl+Y made Go again";
  const std::string undoGo = "&Undo Go on 3 components\tCtrl+Z";
  const std::string redoGrid = "R&edo Grid on 3 components\tCtrl+Y";
  EXPECT_EQ(entries[0], "&Undo Grid on 3 components\tCtrl+Z | R&edo\tCtrl+Y (grey)");
  EXPECT_EQ(entries[1], undoGo + " | " + redoGrid);
  EXPECT_EQ(entries[2], "&Undo\tCtrl+Z (grey) | R&edo Go on 3 components\tCtrl+Y");
  EXPECT_EQ(entries[3], undoGo + " | " + redoGrid);

  // The main window's keys walk the same history: Ctrl+Shift+Z makes the grid again, and with
  // nothing left to make again Ctrl+Y does nothing at all.
  SetFocus(form_->Control(kIdAlign));
  PressInMainWindow(*form_, 'Z', true);
  EXPECT_EQ(ComponentsOf(Board()), afterGrid);
  const std::string status = Status();
  PressInMainWindow(*form_, 'Y');
  EXPECT_EQ(ComponentsOf(Board()), afterGrid);
  EXPECT_EQ(Status(), status);
  EXPECT_EQ(EntriesOf(*form_), "&Undo Grid on 3 components\tCtrl+Z | R&edo\tCtrl+Y (grey)");
}

// Transform through its panel, taken back with Ctrl+Z; Ctrl+Shift+S in both windows, which with
// five selected only says so, without a box.
TEST_F(ArrangeWindowTest, TransformIsAppliedAndTakenBackAndCtrlShiftSSwapsFromEitherWindow) {
  Start();
  const std::string board = testing::ReadFile(Board());
  testing::MessageBoxCatcher boxes;
  SetFocus(form_->Control(kIdAlign));
  PressInMainWindow(*form_, 'S', true);
  EXPECT_EQ(Status(), "Swap places needs exactly two selected components: 5 are selected");
  EXPECT_TRUE(boxes.Boxes().empty());

  std::string transformed;
  std::string undone;
  ModalScript script({
                         [] { Click(kIdPatternTransform); },
                         [] { SetWindowTextA(GetDlgItem(OpenArrange(), kIdTurnBy), "90"); },
                         [] { SetWindowTextA(GetDlgItem(OpenArrange(), kIdMoveX), "10"); },
                         [] { Click(kIdApply); },
                         WithFocusIn("Ctrl+Z where the focus is", OpenArrange,
                                     [&] {
                                       transformed = testing::ReadFile(Board());
                                       HoldControl(true);
                                       PressKey(GetFocus(), 'Z');
                                     }),
                         WithFocusIn("Ctrl+Shift+S where the focus is", OpenArrange,
                                     [&] {
                                       undone = testing::ReadFile(Board());
                                       testing::WriteFile(Board(),
                                                          "units mils\n"
                                                          "component D1 0 0 0 selected\n"
                                                          "component D2 700 20 900 selected\n");
                                       HoldKey(VK_SHIFT, true);
                                       PressKey(GetFocus(), 'S');
                                     }),
                         [&] {
                           HoldKey(VK_SHIFT, false);
                           HoldControl(false);
                           PostMessageA(OpenArrange(), WM_CLOSE, 0, 0);
                         },
                     },
                     ArrangeReady);
  RunArrange(*form_);
  ASSERT_TRUE(script.Finished());
  // Turned a quarter about the centre of the selection, (2500, 2300), then 10 mils along.
  ExpectLines(transformed, {"D1 30200 -200 900", "R1 25200 4800 900"});
  EXPECT_EQ(undone, board) << "Ctrl+Z took the transform back";
  ExpectLines(testing::ReadFile(Board()), {"D1 700 20 900", "D2 0 0 0"});
  EXPECT_EQ(EntriesOf(*form_), "&Undo Swap places on 2 components\tCtrl+Z | R&edo\tCtrl+Y (grey)");
}

TEST_F(ArrangeWindowTest, CtrlZInAFieldTakesBackTheTypingNotTheBoard) {
  Start();
  const auto initial = ComponentsOf(Board());
  std::string pitchAfterCtrlZ;
  std::map<std::string, testing::Placed> boardAfterFieldUndo;
  std::map<std::string, testing::Placed> boardAfterWindowUndo;
  const auto pitchX = [] { return GetDlgItem(OpenArrange(), kIdPitchX); };
  std::string pitchBefore;
  ModalScript script({
                         [] { Click(kIdApply); },
                         [&] {
                           pitchBefore = WindowText(pitchX());
                           SetFocus(pitchX());
                           PostMessageA(pitchX(), WM_CHAR, '5', 1);
                         },
                         [&] {
                           HoldControl(true);
                           PressKey(pitchX(), 'Z');
                         },
                         [&] {
                           HoldControl(false);
                           pitchAfterCtrlZ = WindowText(pitchX());
                           boardAfterFieldUndo = ComponentsOf(Board());
                           SetFocus(GetDlgItem(OpenArrange(), kIdPatternGrid));
                           HoldControl(true);
                           PressKey(GetDlgItem(OpenArrange(), kIdPatternGrid), 'Z');
                         },
                         [&] {
                           HoldControl(false);
                           boardAfterWindowUndo = ComponentsOf(Board());
                           PostMessageA(OpenArrange(), WM_CLOSE, 0, 0);
                         },
                     },
                     ArrangeReady);
  RunArrange(*form_);
  ASSERT_TRUE(script.Finished());
  EXPECT_EQ(pitchAfterCtrlZ, pitchBefore) << "the field took back the 5";
  EXPECT_NE(boardAfterFieldUndo, initial) << "the Apply stays";
  EXPECT_EQ(boardAfterWindowUndo, initial) << "elsewhere Ctrl+Z takes the Apply back";

  // The same in the main window's spacing field.
  form_->bAlignClick();
  const auto afterGo = ComponentsOf(Board());
  ASSERT_NE(afterGo, initial);
  const HWND spacing = form_->Control(kIdSpacing);
  const std::string typed = WindowText(spacing);
  SetFocus(spacing);
  PostMessageA(spacing, WM_CHAR, '7', 1);
  PumpMainWindow(*form_);
  ASSERT_NE(WindowText(spacing), typed);
  PressInMainWindow(*form_, 'Z');
  EXPECT_EQ(WindowText(spacing), typed);
  EXPECT_EQ(ComponentsOf(Board()), afterGo);
  SetFocus(form_->Control(kIdAlign));
  PressInMainWindow(*form_, 'Z');
  EXPECT_EQ(ComponentsOf(Board()), initial);
}

TEST_F(ArrangeWindowTest, ASavedSetupComesBackByNameAfterARestartAndApplies) {
  Start();
  std::vector<std::string> seen;  // the summary, whether Save is enabled, the setups listed
  const auto note = [&seen] {
    const HWND window = OpenArrange();
    seen.push_back(ItemText(window, kIdArrangeSummary) + " | " +
                   std::to_string(IsWindowEnabled(GetDlgItem(window, kIdSetupSave))) + " | " +
                   std::to_string(SendMessageA(GetDlgItem(window, kIdSetup), CB_GETCOUNT, 0, 0)));
  };
  ModalScript first({[&] {
                       Click(kIdPatternGrid);
                       SetWindowTextA(GetDlgItem(OpenArrange(), kIdColumns), "x");
                       Click(kIdStagger);
                       TypeInto(kIdSetup, "rows=2");
                     },
                     [&] {
                       note();
                       SetWindowTextA(GetDlgItem(OpenArrange(), kIdColumns), "2");
                     },
                     [&] {
                       note();
                       TypeInto(kIdSetup, " Two rows ");
                     },
                     [&] {
                       note();
                       Click(kIdSetupSave);
                     },
                     [&] {
                       note();
                       Click(kIdPatternCircle);
                       Click(kIdArrangeClose);
                     }},
                    ArrangeReady);
  RunArrange(*form_);
  ASSERT_TRUE(first.Finished());
  // Why Apply cannot work comes first, the name's problem after it.
  const std::string badName = "; A setup's name cannot hold [, ], =, ; or a control character";
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "Columns must be a whole number of 1 or more" + badName + " | 0 | 0",
                      "5 components in 2 groups: 4 moves, 0 rotations" + badName + " | 0 | 0",
                      "5 components in 2 groups: 4 moves, 0 rotations | 1 | 0",
                      "5 components in 2 groups: 4 moves, 0 rotations | 1 | 1"}));
  Restart();
  TArrangeChoices shown;
  ModalScript second({[&] {
                        const HWND setup = GetDlgItem(OpenArrange(), kIdSetup);
                        SendMessageA(setup, CB_SETCURSEL, 0, 0);
                        PostMessageA(OpenArrange(), WM_COMMAND, MAKEWPARAM(kIdSetup, CBN_SELCHANGE),
                                     reinterpret_cast<LPARAM>(setup));
                      },
                      [&] {
                        shown = ArrangeObject(OpenArrange())->Choices();
                        Click(kIdApply);
                      },
                      [&] { Click(kIdArrangeClose); }},
                     ArrangeReady);
  RunArrange(*form_);
  ASSERT_TRUE(second.Finished());
  EXPECT_EQ(std::tuple(shown.pattern, shown.columnsText, shown.stagger),
            std::tuple(TArrangePattern::Grid, "2", true));
  // Two columns from the top left, 100 mils apart, the second row half a pitch along.
  ExpectLines(testing::ReadFile(Board()), {"D1 0 20 0", "D2 254000 20 0", "D3 127000 -253980 0",
                                           "D4 381000 -253980 0", "R1 5000 5000 0"});
}

// Two channels numbered in hundreds; the second is turned a quarter and out of place, and has
// a part the first lacks.
constexpr const char* kChannels =
    "units mils\n"
    "component U101 0 0 0 selected\ncomponent R101 254000 0 900 selected\n"
    "component C102 0 203200 0 selected\ncomponent U201 2540000 0 900 selected\n"
    "component R201 7620000 7620000 0 selected\ncomponent C202 7620000 7874000 0 selected\n"
    "component C299 5080000 0 0 selected\n";

class ReplicateWindowTest : public kordane::testing::FormOnBoardTest {
 protected:
  ReplicateWindowTest() : FormOnBoardTest(kChannels) {}
};

// The summary, then which of Apply, Order, Turn to and Step X are enabled, as 0 and 1.
std::string SummaryAndEnabled(HWND window) {
  std::string text = ItemText(window, kIdArrangeSummary) + " ";
  for (const int id : std::initializer_list<int>{kIdApply, kIdOrder, kIdTurn, kIdStepX}) {
    text += IsWindowEnabled(GetDlgItem(window, id)) ? "1" : "0";
  }
  return text;
}

TEST_F(ReplicateWindowTest, EmptyAnchorIsNamedApplyCopiesTheChannelCtrlZTakesItBack) {
  Start();
  const std::string board = testing::ReadFile(Board());
  std::vector<std::string> shown;
  std::string copied;
  ModalScript script({
                         [] { Click(kIdPatternReplicate); },
                         [&] {
                           const HWND anchor = GetDlgItem(OpenArrange(), kIdAnchor);
                           shown.push_back(SummaryAndEnabled(OpenArrange()) + " " +
                                           std::to_string(SendMessageA(anchor, CB_GETCOUNT, 0, 0)));
                           TypeInto(kIdAnchor, " u101");
                         },
                         [&] {
                           shown.push_back(SummaryAndEnabled(OpenArrange()));
                           Click(kIdApply);
                         },
                         WithFocusIn("Ctrl+Z where the focus is", OpenArrange,
                                     [&] {
                                       shown.push_back(SummaryAndEnabled(OpenArrange()));
                                       copied = testing::ReadFile(Board());
                                       HoldControl(true);
                                       PressKey(GetFocus(), 'Z');
                                     }),
                         [&] {
                           HoldControl(false);
                           PostMessageA(OpenArrange(), WM_CLOSE, 0, 0);
                         },
                     },
                     ArrangeReady);
  RunArrange(*form_);
  ASSERT_TRUE(script.Finished());
  EXPECT_EQ(shown, (std::vector<std::string>{
                       "Anchor must be the designator of a selected part 0000 7",
                       "1 channel copied from channel 1 (anchor U101): 2 moves, 2 rotations; 1 "
                       "part without a counterpart 1000",
                       "1 channel copied from channel 1 (anchor U101): 0 moves, 0 rotations; 1 "
                       "part without a counterpart 1000"}))
      << "Apply waits for an anchor; the angles come from the reference channel; no steps at "
         "each channel's anchor; the list offers the 7 numbered designators";
  // Turned a quarter about U201, which stays.
  ExpectLines(copied, {"U201 2540000 0 900", "R201 2540000 254000 1800", "C202 2336800 0 900",
                       "C299 5080000 0 0"});
  EXPECT_EQ(testing::ReadFile(Board()), board) << "Ctrl+Z took the copy back";
}

// Two channels tagged _A and _B, the second turned a quarter and out of place, and a test point.
constexpr const char* kTagged =
    "units mils\n"
    "component U1_A 0 0 0 selected\ncomponent R1_A 254000 0 900 selected\n"
    "component U1_B 2540000 0 900 selected\ncomponent R1_B 7620000 7620000 0 selected\n"
    "component TP1 5080000 0 0 selected\n";

TEST_F(ReplicateWindowTest, FindShowsTheTagsApplyCopiesCtrlZTakesItBackASetupKeepsTheScheme) {
  testing::WriteFile(Board(), kTagged);
  Start();
  const std::string board = testing::ReadFile(Board());
  std::vector<std::string> shown;
  std::string copied;
  ModalScript script(
      {
          [] { Click(kIdPatternReplicate); },
          [] { Click(kIdFindChannels); },
          [&] {
            const HWND window = OpenArrange();
            shown.push_back(ItemText(window, kIdArrangeSummary) + " | " +
                            ItemText(window, kIdAnchor) + " | " +
                            std::to_string(IsChecked(GetDlgItem(window, kIdChannelTags))) +
                            std::to_string(IsWindowEnabled(GetDlgItem(window, kIdBlockSize))));
            TypeInto(kIdSetup, "Tagged");
          },
          [] { Click(kIdSetupSave); },
          [] { Click(kIdApply); },
          WithFocusIn("Ctrl+Z where the focus is", OpenArrange,
                      [&] {
                        copied = testing::ReadFile(Board());
                        HoldControl(true);
                        PressKey(GetFocus(), 'Z');
                      }),
          [&] {
            HoldControl(false);
            PostMessageA(OpenArrange(), WM_CLOSE, 0, 0);
          },
      },
      ArrangeReady);
  RunArrange(*form_);
  ASSERT_TRUE(script.Finished());
  EXPECT_EQ(shown, std::vector<std::string>{"Found 2 channels of 2 parts, tagged after a "
                                            "separator; anchor U1_A | U1_A | 10"})
      << "the tags chosen, the block size disabled";
  ExpectLines(copied, {"U1_B 2540000 0 900", "R1_B 2540000 254000 1800", "TP1 5080000 0 0"});
  EXPECT_EQ(testing::ReadFile(Board()), board) << "Ctrl+Z took the copy back";
  const std::string settings = testing::ReadFile(folder_ / "Kordane.INI");
  const std::size_t setup = settings.find("[Arrange Setup Tagged]");
  ASSERT_NE(setup, std::string::npos);
  EXPECT_NE(settings.substr(setup, settings.find('[', setup + 1) - setup).find("Channel Scheme=1"),
            std::string::npos);
}

}  // namespace
}  // namespace kordane::ui
