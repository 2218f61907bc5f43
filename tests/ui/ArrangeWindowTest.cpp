// The Arrange window as the user meets it over the stand-in host: opened from the main window's
// menu, a parameter that is not valid named with Apply disabled, Apply arranging with the window
// left open, Ctrl+Z taking it back, Escape closing it, and its choices back after a restart.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FormOnBoard.h"
#include "ModalScript.h"
#include "UiTestSupport.h"
#include "host/DbxUtils.h"
#include "ui/ArrangeWindow.h"
#include "ui/MainForm.h"

namespace kordane::ui {
namespace {

using kordane::testing::ComponentsOf;
using kordane::testing::ModalScript;
using kordane::testing::PressKey;

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

// The control key as the keyboard state shows it, for the window's own message loop to see when
// it translates the keys posted meanwhile.
void HoldControl(bool held) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = held ? 0x80 : 0;
  SetKeyboardState(keys);
}

class ArrangeWindowTest : public kordane::testing::FormOnBoardTest {
 protected:
  ArrangeWindowTest() : FormOnBoardTest(kBoard) {}
};

TEST_F(ArrangeWindowTest, ErrorDisablesApplyApplyArrangesAndStaysOpenCtrlZUndoesEscapeCloses) {
  Start();
  const std::string board = testing::ReadFile(Board());
  bool ownedAndModal = false;
  std::string named;
  bool disabled = false;
  bool stillOpen = false;
  std::string afterApply;
  std::string afterUndo;
  std::string placedD4;
  ModalScript script({
                         [&] {
                           const HWND window = OpenArrange();
                           ownedAndModal = GetWindow(window, GW_OWNER) == form_->Handle() &&
                                           !IsWindowEnabled(form_->Handle());
                           SetWindowTextA(GetDlgItem(window, kIdColumns), "0");
                         },
                         [&] {
                           const HWND window = OpenArrange();
                           named = ItemText(window, kIdArrangeSummary);
                           disabled = !IsWindowEnabled(GetDlgItem(window, kIdApply));
                           SetWindowTextA(GetDlgItem(window, kIdColumns), "2");
                         },
                         [&] { PostMessageA(GetDlgItem(OpenArrange(), kIdApply), BM_CLICK, 0, 0); },
                         [&] {
                           const HWND window = OpenArrange();
                           stillOpen = window != nullptr && IsWindowVisible(window);
                           afterApply = ItemText(window, kIdArrangeSummary);
                           placedD4 = testing::ReadFile(Board());
                           HoldControl(true);
                           PressKey(GetFocus(), 'Z');
                         },
                         [&] {
                           HoldControl(false);
                           afterUndo = ItemText(OpenArrange(), kIdArrangeSummary);
                           PressKey(GetFocus(), VK_ESCAPE);
                         },
                     },
                     ArrangeReady);
  SendMessageA(form_->Handle(), WM_COMMAND, kIdArrange, 0);
  ASSERT_TRUE(script.Finished());
  EXPECT_TRUE(ownedAndModal);
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

TEST_F(ArrangeWindowTest, CircleAppliedPutsTheLedsOnARing) {
  Start();
  ModalScript script({
                         [&] {
                           const HWND window = OpenArrange();
                           PostMessageA(GetDlgItem(window, kIdPatternCircle), BM_CLICK, 0, 0);
                           SetWindowTextA(GetDlgItem(window, kIdRadius), "400");
                         },
                         [&] { PostMessageA(GetDlgItem(OpenArrange(), kIdApply), BM_CLICK, 0, 0); },
                         [&] { PressKey(GetFocus(), VK_ESCAPE); },
                     },
                     ArrangeReady);
  form_->Arrange1Click();
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
  const Row rows[] = {{'m', kIdColumns}, {'x', kIdPitchX}, {'y', kIdPitchY},
                      {'f', kIdFill},    {'t', kIdStart},  {'o', kIdOrder}};
  std::vector<int> reached;
  std::vector<std::function<void()>> steps;
  for (const Row& row : rows) {
    steps.emplace_back([letter = row.letter] { PressAlt(letter); });
    steps.emplace_back([&reached] { reached.push_back(GetDlgCtrlID(GetFocus())); });
  }
  steps.emplace_back([] { PostMessageA(OpenArrange(), WM_CLOSE, 0, 0); });
  ModalScript script(std::move(steps), ArrangeReady);
  form_->Arrange1Click();
  ASSERT_TRUE(script.Finished());
  ASSERT_EQ(reached.size(), std::size(rows));
  for (std::size_t i = 0; i < reached.size(); ++i) {
    EXPECT_EQ(reached[i], rows[i].focused) << "Alt+" << rows[i].letter;
  }
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
                          kIdPatternAlign, kIdPatternCircle, kIdPatternReplicate};
  std::vector<std::string> shown;
  std::vector<std::function<void()>> steps;
  for (const int pattern : patterns) {
    steps.emplace_back(
        [pattern] { PostMessageA(GetDlgItem(OpenArrange(), pattern), BM_CLICK, 0, 0); });
    steps.emplace_back([&shown] { shown.push_back(VisibleMnemonics(OpenArrange())); });
  }
  steps.emplace_back([] { PostMessageA(OpenArrange(), WM_CLOSE, 0, 0); });
  ModalScript script(std::move(steps), ArrangeReady);
  form_->Arrange1Click();
  ASSERT_TRUE(script.Finished());
  ASSERT_EQ(shown.size(), std::size(patterns));
  for (std::size_t i = 0; i < shown.size(); ++i) {
    std::string sorted = shown[i];
    std::sort(sorted.begin(), sorted.end());
    EXPECT_TRUE(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end())
        << "pattern " << i << " repeats a letter: " << sorted;
  }
}

TEST_F(ArrangeWindowTest, ChoicesAndFrameComeBackAfterARestart) {
  Start();
  ModalScript first({
                        [&] {
                          const HWND window = OpenArrange();
                          PostMessageA(GetDlgItem(window, kIdPatternCircle), BM_CLICK, 0, 0);
                          SetWindowTextA(GetDlgItem(window, kIdRadius), " 12,5 ");
                          SetWindowPos(window, nullptr, 40, 30, 700, 520, SWP_NOZORDER);
                        },
                        [&] { PostMessageA(OpenArrange(), WM_CLOSE, 0, 0); },
                    },
                    ArrangeReady);
  form_->Arrange1Click();
  ASSERT_TRUE(first.Finished());
  Restart();
  TArrangeChoices shown;
  RECT frame{};
  bool radiusShown = false;
  ModalScript second(
      {
          [&] {
            const HWND window = OpenArrange();
            shown = ArrangeObject(window)->Choices();
            radiusShown = IsWindowVisible(GetDlgItem(window, kIdRadius)) &&
                          !IsWindowVisible(GetDlgItem(window, kIdColumns));
            GetWindowRect(window, &frame);
            PostMessageA(window, WM_CLOSE, 0, 0);
          },
      },
      ArrangeReady);
  form_->Arrange1Click();
  ASSERT_TRUE(second.Finished());
  EXPECT_EQ(shown.pattern, TArrangePattern::Circle);
  EXPECT_EQ(shown.radiusText, " 12,5 ") << "texts come back exactly as typed";
  EXPECT_TRUE(radiusShown) << "only the chosen pattern's controls show";
  EXPECT_EQ(frame.left, 40);
  EXPECT_EQ(frame.right - frame.left, 700);
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
  for (const int id : {kIdApply, kIdOrder, kIdTurn, kIdStepX}) {
    text += IsWindowEnabled(GetDlgItem(window, id)) ? "1" : "0";
  }
  return text;
}

TEST_F(ReplicateWindowTest, EmptyAnchorIsNamedApplyCopiesTheChannelCtrlZTakesItBack) {
  Start();
  const std::string board = testing::ReadFile(Board());
  std::vector<std::string> shown;
  std::string copied;
  ModalScript script(
      {
          [&] { PostMessageA(GetDlgItem(OpenArrange(), kIdPatternReplicate), BM_CLICK, 0, 0); },
          [&] {
            const HWND anchor = GetDlgItem(OpenArrange(), kIdAnchor);
            shown.push_back(SummaryAndEnabled(OpenArrange()) + " " +
                            std::to_string(SendMessageA(anchor, CB_GETCOUNT, 0, 0)));
            // Typed as the keyboard types it into the field of the drop-down list.
            const HWND field = GetWindow(anchor, GW_CHILD);
            for (const char c : std::string(" u101")) {
              PostMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
            }
          },
          [&] {
            shown.push_back(SummaryAndEnabled(OpenArrange()));
            PostMessageA(GetDlgItem(OpenArrange(), kIdApply), BM_CLICK, 0, 0);
          },
          [&] {
            shown.push_back(SummaryAndEnabled(OpenArrange()));
            copied = testing::ReadFile(Board());
            HoldControl(true);
            PressKey(GetFocus(), 'Z');
          },
          [&] {
            HoldControl(false);
            PressKey(GetFocus(), VK_ESCAPE);
          },
      },
      ArrangeReady);
  form_->Arrange1Click();
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
  for (const char* line : {"U201 2540000 0 900", "R201 2540000 254000 1800", "C202 2336800 0 900",
                           "C299 5080000 0 0"}) {
    EXPECT_NE(copied.find(std::string("component ") + line), std::string::npos) << line;
  }
  EXPECT_EQ(testing::ReadFile(Board()), board) << "Ctrl+Z took the copy back";
}

}  // namespace
}  // namespace kordane::ui
