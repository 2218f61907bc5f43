// The link label against a real window: what a click hands to the shell, and its colours.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "ui/UrlLabel.h"

namespace kordane::ui {
namespace {

using kordane::testing::PumpMessages;

constexpr COLORREF kBlue = 0xFF0000;
constexpr COLORREF kRed = 0x0000FF;

class UrlLabelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 100,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
  }
  void TearDown() override {
    label_.reset();
    DestroyWindow(parent_);
    PumpMessages();
  }

  TURLLabel& Make(const std::string& caption, TLabelType type) {
    label_ = std::make_unique<TURLLabel>(parent_, 42, caption, 10, 10, 200, 13);
    label_->SetLabelType(type);
    label_->SetShellOpener([this](const std::string& target) { opened_.push_back(target); });
    label_->OnClick = [this] { ++clicks_; };
    return *label_;
  }
  void Send(UINT message, WPARAM wParam = 0) {
    SendMessageA(label_->Handle(), message, wParam, MAKELPARAM(5, 5));
    PumpMessages();
  }
  void LeftClick() {
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    Send(WM_LBUTTONUP);
  }

  HWND parent_ = nullptr;
  std::unique_ptr<TURLLabel> label_;
  std::vector<std::string> opened_;
  int clicks_ = 0;
};

TEST_F(UrlLabelTest, ClickHandsTheTargetOfEachTypeToTheShell) {
  struct Case {
    TLabelType type;
    const char* expected;
  };
  const Case cases[] = {
      {hmHTTP, "http:\\\\example.org"},
      {hmFTP, "ftp:\\\\example.org"},
      {hmMAIL, "mailto:example.org"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    opened_.clear();
    Make("example.org", c.type);
    LeftClick();
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0], c.expected);
  }
}

TEST_F(UrlLabelTest, CustomLabelRunsItsClickEventButOpensNothing) {
  Make("anything", hmCUSTOM);
  LeftClick();
  EXPECT_EQ(clicks_, 1);
  EXPECT_TRUE(opened_.empty());
}

TEST_F(UrlLabelTest, LongCaptionIsPassedWhole) {
  const std::string caption = std::string(120, 'a') + "@example.org";
  Make(caption, hmMAIL);
  LeftClick();
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], "mailto:" + caption);
}

TEST_F(UrlLabelTest, LeftButtonTurnsRedWhileHeldAndBlueOnRelease) {
  TURLLabel& label = Make("kordane@example.org", hmMAIL);
  EXPECT_EQ(label.Font().color, kBlue);
  EXPECT_TRUE(label.Font().face.lfUnderline);
  Send(WM_LBUTTONDOWN, MK_LBUTTON);
  EXPECT_EQ(label.Font().color, kRed);
  Send(WM_LBUTTONUP);
  EXPECT_EQ(label.Font().color, kBlue);
}

TEST_F(UrlLabelTest, ClickComesBeforeTheReleaseColour) {
  TURLLabel& label = Make("kordane@example.org", hmMAIL);
  COLORREF colourAtClick = 0;
  label.OnClick = [&] { colourAtClick = label.Font().color; };
  label.SetShellOpener([&](const std::string& target) {
    opened_.push_back(target);
    EXPECT_EQ(label.Font().color, kRed);
  });
  LeftClick();
  EXPECT_EQ(colourAtClick, kRed);
  EXPECT_EQ(opened_.size(), 1u);
  EXPECT_EQ(label.Font().color, kBlue);
}

TEST_F(UrlLabelTest, ReleaseAwayFromTheLabelIsNoClick) {
  TURLLabel& label = Make("kordane@example.org", hmMAIL);
  Send(WM_LBUTTONDOWN, MK_LBUTTON);
  SendMessageA(label.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 200));
  EXPECT_EQ(clicks_, 0);
  EXPECT_TRUE(opened_.empty());
  EXPECT_EQ(label.Font().color, kBlue);
}

TEST_F(UrlLabelTest, HintIsTheToolTipText) {
  TURLLabel& label = Make("kordane@example.org", hmMAIL);
  label.SetHint("First hint");
  label.SetHint("Feel free to send me your remarks about this program.");
  ASSERT_NE(label.ToolTip(), nullptr);
  EXPECT_EQ(SendMessageA(label.ToolTip(), TTM_GETTOOLCOUNT, 0, 0), 1);
  char text[128] = {};
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.lpszText = text;
  ASSERT_TRUE(SendMessageA(label.ToolTip(), TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool)));
  EXPECT_EQ(tool.uId, reinterpret_cast<UINT_PTR>(label.Handle()));
  EXPECT_STREQ(text, "Feel free to send me your remarks about this program.");
}

TEST_F(UrlLabelTest, RightButtonOpensNothingAndKeepsTheColour) {
  TURLLabel& label = Make("kordane@example.org", hmMAIL);
  Send(WM_RBUTTONDOWN, MK_RBUTTON);
  EXPECT_EQ(label.Font().color, kBlue);
  Send(WM_RBUTTONUP);
  EXPECT_EQ(label.Font().color, kBlue);
  EXPECT_TRUE(opened_.empty());
  EXPECT_EQ(clicks_, 0);
}

TEST_F(UrlLabelTest, HoverEffectColoursAndUnderlinesUnderThePointer) {
  TURLLabel& label = Make("example.org", hmHTTP);
  label.SetEffect98(true);
  EXPECT_FALSE(label.Font().face.lfUnderline);
  Send(WM_MOUSEMOVE);
  EXPECT_EQ(label.Font().color, kRed);
  EXPECT_TRUE(label.Font().face.lfUnderline);
  Send(WM_MOUSELEAVE);
  EXPECT_EQ(label.Font().color, kBlue);
  EXPECT_FALSE(label.Font().face.lfUnderline);
}

TEST_F(UrlLabelTest, AllowDownShiftsTheLabelWhileHeld) {
  TURLLabel& label = Make("example.org", hmHTTP);
  label.SetAllowDown(true);
  auto top = [&] {
    RECT frame{};
    GetWindowRect(label.Handle(), &frame);
    return frame.top;
  };
  const long before = top();
  Send(WM_LBUTTONDOWN, MK_LBUTTON);
  EXPECT_EQ(top(), before + 1);
  Send(WM_LBUTTONUP);
  EXPECT_EQ(top(), before);
}

TEST_F(UrlLabelTest, SettersFollowTheStyleRules) {
  TURLLabel& label = Make("example.org", hmHTTP);
  label.SetLabelType(hmCUSTOM);
  EXPECT_FALSE(label.Font().face.lfUnderline);
  label.SetLabelType(hmMAIL);
  EXPECT_TRUE(label.Font().face.lfUnderline);
  label.SetURLColStd(RGB(0, 128, 0));
  EXPECT_EQ(label.Font().color, RGB(0, 128, 0));
  TURLFont font = label.Font();
  font.color = RGB(1, 2, 3);
  label.SetFont(font);
  EXPECT_EQ(label.URLColStd(), RGB(1, 2, 3));
}

}  // namespace
}  // namespace kordane::ui
