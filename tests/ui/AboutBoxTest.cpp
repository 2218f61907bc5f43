// The About box as the user meets it: opened from the main window's popup menu, its layout, and
// which keys close it.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "ModalScript.h"
#include "UiTestSupport.h"
#include "ui/AboutBox.h"
#include "ui/MainForm.h"

namespace kordane::ui {
namespace {

using kordane::testing::BinDir;
using kordane::testing::FocusIn;
using kordane::testing::ModalScript;
using kordane::testing::PressKey;
using kordane::testing::PumpMessages;
using kordane::testing::TempFolder;
using kordane::testing::WithFocusIn;

HWND OpenAboutBox() {
  return FindWindowA(kAboutBoxClass, "About");
}

TEST(AboutBoxTest, OpensFromThePopupMenuAndOnlyOkClosesIt) {
  TempFolder folder;
  TfrmMain form((folder / "Kordane.INI").string(),
                DbxHost::Load((folder / "missing.dll").string()));
  form.Show();
  PumpMessages();

  HWND focusAtOpen = nullptr;
  HWND memo = nullptr;
  bool ownerDisabled = false;
  bool openAfterEnter = false;
  bool openAfterEscape = false;
  bool noticeAfterEscape = false;
  bool tabReachedOk = false;
  RECT client{};
  RECT box{};
  ModalScript script({
                         [&] {
                           const HWND about = OpenAboutBox();
                           focusAtOpen = GetFocus();
                           memo = GetDlgItem(GetDlgItem(about, kIdPanel1), kIdMemo1);
                           ownerDisabled = !IsWindowEnabled(form.Handle());
                           GetClientRect(about, &client);
                           GetWindowRect(about, &box);
                           PressKey(focusAtOpen, VK_RETURN);
                         },
                         WithFocusIn("Escape where the focus is", OpenAboutBox,
                                     [&] {
                                       openAfterEnter = IsWindowVisible(OpenAboutBox()) != FALSE;
                                       PressKey(GetFocus(), VK_ESCAPE);
                                     }),
                         [&] {
                           // Escape in the notice text must not take the panel and its controls
                           // with it either.
                           noticeAfterEscape = IsWindow(memo) && IsWindowVisible(memo);
                           PressKey(memo, VK_TAB);
                         },
                         [&] {
                           tabReachedOk = GetFocus() == GetDlgItem(OpenAboutBox(), IDOK);
                           openAfterEscape = IsWindowVisible(OpenAboutBox()) != FALSE;
                           const HWND ok = GetDlgItem(OpenAboutBox(), IDOK);
                           SetFocus(ok);
                           PressKey(ok, VK_RETURN);
                         },
                     },
                     [] { return FocusIn(OpenAboutBox()); });
  SendMessageA(form.Handle(), WM_COMMAND, kIdAbout, 0);

  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(focusAtOpen, memo);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_EQ(client.right, 384);
  EXPECT_EQ(client.bottom, 292);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  EXPECT_LE(std::abs((box.left + box.right) - screenWidth), 1);
  EXPECT_TRUE(openAfterEnter);
  EXPECT_TRUE(openAfterEscape);
  EXPECT_TRUE(noticeAfterEscape);
  EXPECT_TRUE(tabReachedOk);
  EXPECT_EQ(OpenAboutBox(), nullptr);
  EXPECT_TRUE(IsWindowEnabled(form.Handle()));
}

TEST(AboutBoxTest, ShowsTheLayoutAndTheNotice) {
  TAboutBox about(nullptr);
  struct Expected {
    int id;
    const char* text;
    RECT rect;
  };
  const Expected expected[] = {
      {kIdPanel1, "", {8, 8, 377, 249}},
      {kIdProgramIcon, "", {8, 8, 40, 40}},
      {kIdVersion, "Version 3.00 (June 2000)", {48, 24, 238, 37}},
      {kIdImage1, "", {248, 8, 362, 49}},
      {kIdMemo1, nullptr, {8, 64, 361, 233}},
      {kIdOKButton, "OK", {151, 260, 226, 285}},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.id);
    const HWND control = about.Control(e.id);
    ASSERT_NE(control, nullptr);
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, e.rect.left);
    EXPECT_EQ(rect.top, e.rect.top);
    EXPECT_EQ(rect.right, e.rect.right);
    EXPECT_EQ(rect.bottom, e.rect.bottom);
    if (e.text != nullptr) {
      EXPECT_EQ(WindowText(control), e.text);
    }
  }
  // The credit line: label, link and ")" on one row, in that order, none over another.
  RECT label1{}, link{}, label2{};
  GetWindowRect(about.Control(kIdLabel1), &label1);
  GetWindowRect(about.Control(kIdURLLabel1), &link);
  GetWindowRect(about.Control(kIdLabel2), &label2);
  EXPECT_EQ(label1.top, link.top);
  EXPECT_EQ(link.top, label2.top);
  EXPECT_LE(label1.right, link.left);
  EXPECT_LE(link.right, label2.left);
  EXPECT_EQ(WindowText(about.Control(kIdURLLabel1)), "kordane@example.org");
  EXPECT_EQ(WindowText(about.Control(kIdLabel2)), ")");
  EXPECT_EQ(about.URLLabel1().LabelType(), hmMAIL);
  EXPECT_EQ(about.URLLabel1().Hint(), "Feel free to send me your remarks about this program.");
  EXPECT_TRUE(GetWindowLongA(about.Control(kIdMemo1), GWL_STYLE) & ES_READONLY);
  EXPECT_TRUE(GetWindowLongA(about.Control(kIdOKButton), GWL_STYLE) & BS_DEFPUSHBUTTON);

  const std::string notice = WindowText(about.Control(kIdMemo1));
  const std::string rule(45, '=');
  EXPECT_EQ(notice.rfind("\r\n- without cost  :-)\r\n- without guarantee or support  :-<\r\n", 0),
            0u);
  EXPECT_NE(notice.find(rule + "\r\n Limited warranty and disclaimer of warranty\r\n" + rule),
            std::string::npos);
  EXPECT_NE(notice.find(rule + "\r\n More legal stuff\r\n" + rule), std::string::npos);
}

}  // namespace
}  // namespace kordane::ui
