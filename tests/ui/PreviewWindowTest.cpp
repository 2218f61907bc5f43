// The preview as the user meets it: opened from the main window's menu over the stand-in host,
// closed by Escape or Enter, Go! runs the placement, and its frame comes back after a restart.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>

#include "FormOnBoard.h"
#include "MessageBoxCatcher.h"
#include "ModalScript.h"
#include "UiTestSupport.h"
#include "host/DbxUtils.h"
#include "ui/MainForm.h"
#include "ui/PreviewWindow.h"

namespace kordane::ui {
namespace {

using kordane::testing::ComponentsOf;
using kordane::testing::IniValue;
using kordane::testing::MessageBoxCatcher;
using kordane::testing::ModalScript;
using kordane::testing::PressKey;
using kordane::testing::PumpMessages;
using kordane::testing::WithFocusIn;

constexpr const char* kBoard =
    "units mils\n"
    "component R3 900 0 0 selected\n"
    "component R1 100 0 0 selected\n"
    "component C1 4000 7000 900 selected\n"
    "component U1A 50 50 0\n";

HWND OpenPreview() {
  return FindWindowA(kPreviewClass, kPreviewCaption);
}

// The preview is up and has the focus: where the scripts below start.
bool PreviewReady() {
  const HWND preview = OpenPreview();
  return preview != nullptr && IsWindowVisible(preview) && IsChild(preview, GetFocus());
}

// The window object behind an open preview, to read what it shows.
const TPreviewWindow* PreviewObject(HWND window) {
  return reinterpret_cast<const TPreviewWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

class PreviewWindowTest : public kordane::testing::FormOnBoardTest {
 protected:
  PreviewWindowTest() : FormOnBoardTest(kBoard) {}
};

TEST_F(PreviewWindowTest, OpensFromTheMenuShowsTheRunAndEscapeClosesItWithoutChanges) {
  Start();
  const std::string board = testing::ReadFile(Board());
  for (const WPARAM part : {WPARAM{SB_SIMPLEID}, WPARAM{0}}) {
    SendMessageA(form_->Control(kIdStatusBar), SB_SETTEXTA, part,
                 reinterpret_cast<LPARAM>("left alone"));
  }
  HWND preview = nullptr;
  bool ownerDisabled = false;
  bool ownedByMain = false;
  std::string summary;
  std::size_t parts = 0;
  bool focusOnClose = false;
  ModalScript script(
      {
          [&] {
            preview = OpenPreview();
            ASSERT_NE(preview, nullptr);
            ownerDisabled = !IsWindowEnabled(form_->Handle());
            ownedByMain = GetWindow(preview, GW_OWNER) == form_->Handle();
            summary = WindowText(GetDlgItem(preview, kIdPreviewSummary));
            parts = PreviewObject(preview)->Preview().parts.size();
            focusOnClose = GetFocus() == GetDlgItem(preview, kIdPreviewClose);
            PressKey(GetFocus(), VK_ESCAPE);
          },
      },
      PreviewReady);
  SendMessageA(form_->Handle(), WM_COMMAND, kIdPreview, 0);
  ASSERT_TRUE(script.Finished());
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(ownedByMain);
  EXPECT_TRUE(focusOnClose);
  // R3 goes next to R1; C1 is turned from 90 to 0 degrees.
  EXPECT_EQ(summary, "3 components in 2 groups: 1 move, 1 rotation; pitch 200 mils");
  EXPECT_EQ(parts, 3u);
  EXPECT_FALSE(IsWindow(preview)) << "Escape closes the preview";
  EXPECT_TRUE(IsWindowEnabled(form_->Handle()));
  EXPECT_EQ(testing::ReadFile(Board()), board) << "the preview changed the board";
  EXPECT_EQ(Status(), "left alone");
}

TEST_F(PreviewWindowTest, GoClosesThePreviewAndRunsThePlacement) {
  Start();
  bool focusOnPicture = false;
  bool focusOnGo = false;
  ModalScript script(
      {
          [&] {
            const HWND preview = OpenPreview();
            ASSERT_NE(preview, nullptr);
            // Tab from Close wraps round to the picture, then to Go!, and Enter presses the
            // focused button.
            PressKey(GetFocus(), VK_TAB);
          },
          WithFocusIn("Tab from the picture", OpenPreview,
                      [&] {
                        focusOnPicture = GetDlgCtrlID(GetFocus()) == kIdPreviewPicture;
                        PressKey(GetFocus(), VK_TAB);
                      }),
          WithFocusIn("Enter on the focused button", OpenPreview,
                      [&] {
                        // Checked after the run; a missed Tab closes the preview instead.
                        focusOnGo = GetDlgCtrlID(GetFocus()) == kIdPreviewGo;
                        if (focusOnGo) {
                          PressKey(GetFocus(), VK_RETURN);
                        } else {
                          PostMessageA(OpenPreview(), WM_CLOSE, 0, 0);
                        }
                      }),
      },
      PreviewReady);
  form_->Preview1Click();
  ASSERT_TRUE(script.Finished());
  EXPECT_TRUE(focusOnPicture) << "Tab from Close goes to the picture";
  EXPECT_TRUE(focusOnGo) << "and on to Go!";
  EXPECT_EQ(OpenPreview(), nullptr);
  const auto placed = ComponentsOf(Board());
  EXPECT_EQ(placed.at("R1").x, 100);
  EXPECT_EQ(placed.at("R3").x, 100 + 508000);
  EXPECT_EQ(placed.at("R3").rotation, 0);
  EXPECT_EQ(placed.at("U1A").x, 50) << "not selected";
  EXPECT_TRUE(form_->UndoAvailable());
}

TEST_F(PreviewWindowTest, EnterOnCloseClosesAndWhatStopsTheRunShowsInside) {
  Start();
  SetWindowTextA(form_->Control(kIdSpacing), "abc");
  MessageBoxCatcher boxes;
  std::string failure;
  std::string summary;
  ModalScript script(
      {
          [&] {
            const HWND preview = OpenPreview();
            ASSERT_NE(preview, nullptr);
            failure = PreviewObject(preview)->Preview().failure;
            summary = WindowText(GetDlgItem(preview, kIdPreviewSummary));
            PressKey(GetDlgItem(preview, kIdPreviewClose), VK_RETURN);
          },
      },
      PreviewReady);
  form_->Preview1Click();
  ASSERT_TRUE(script.Finished());
  EXPECT_EQ(OpenPreview(), nullptr);
  EXPECT_EQ(failure, "'abc' is not a valid floating point value");
  EXPECT_EQ(summary, "");
  EXPECT_TRUE(boxes.Boxes().empty()) << "errors go into the preview, not into message boxes";
  EXPECT_EQ(Status(), "");
}

TEST_F(PreviewWindowTest, FrameComesBackAfterARestart) {
  Start();
  ModalScript first(
      {
          [&] {
            const HWND preview = OpenPreview();
            ASSERT_NE(preview, nullptr);
            SetWindowPos(preview, nullptr, 60, 70, 520, 380, SWP_NOZORDER);
            PostMessageA(preview, WM_CLOSE, 0, 0);
          },
      },
      PreviewReady);
  form_->Preview1Click();
  ASSERT_TRUE(first.Finished());
  SendMessageA(form_->Handle(), WM_CLOSE, 0, 0);
  PumpMessages();
  form_.reset();
  const auto ini = folder_ / "Kordane.INI";
  char width[16] = {};
  GetPrivateProfileStringA("Preview Window", "Width", "", width, sizeof width,
                           ini.string().c_str());
  EXPECT_STREQ(width, "520");
  EXPECT_EQ(IniValue(ini, "Width"), "<missing>") << "the main window's section is its own";

  Start();
  RECT frame{};
  ModalScript second(
      {
          [&] {
            const HWND preview = OpenPreview();
            ASSERT_NE(preview, nullptr);
            GetWindowRect(preview, &frame);
            PostMessageA(preview, WM_CLOSE, 0, 0);
          },
      },
      PreviewReady);
  form_->Preview1Click();
  ASSERT_TRUE(second.Finished());
  EXPECT_EQ(frame.left, 60);
  EXPECT_EQ(frame.top, 70);
  EXPECT_EQ(frame.right - frame.left, 520);
  EXPECT_EQ(frame.bottom - frame.top, 380);
}

}  // namespace
}  // namespace kordane::ui
