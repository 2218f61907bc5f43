// The windows at the display scale of the Wine prefix they run in: the ordinary prefix (96 DPI)
// and prefixes whose LogPixels is 120, 144 and 192 (CTest's ui_dpi_<dpi>_tests, which set
// KORDANE_LOGPIXELS). Wine 8 runs every program per-monitor aware whatever its manifest says, so
// this checks the scaling, not the manifest's effect.
//
// One row of kWindows per window built from a ControlSpec table: how to open it, its table and
// client size at 96 DPI, and the controls whose place follows their text instead of the table.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "UiTestSupport.h"
#include "ui/AboutBox.h"
#include "ui/Dpi.h"
#include "ui/MainForm.h"

namespace kordane::ui {
namespace {

using kordane::testing::PumpMessages;
using kordane::testing::TempFolder;

using WindowCheck = std::function<void(HWND window)>;

struct WindowLayout {
  const char* name;
  // Opens the window, runs the check on it while it is open, closes it.
  std::function<void(const WindowCheck&)> withWindow;
  std::span<const ControlSpec> controls;
  int clientWidth;
  int clientHeight;
  std::vector<int> followTheirText;
};

void WithMainWindow(const WindowCheck& check) {
  TempFolder folder;
  TfrmMain form((folder / "Kordane.INI").string(),
                DbxHost::Load((folder / "missing.dll").string()));
  form.Show();
  PumpMessages();
  check(form.Handle());
}

void WithAboutBox(const WindowCheck& check) {
  TempFolder folder;
  TfrmMain form((folder / "Kordane.INI").string(),
                DbxHost::Load((folder / "missing.dll").string()));
  form.Show();
  TAboutBox box(form.Handle());
  PumpMessages();
  check(box.Handle());
}

const WindowLayout kWindows[] = {
    {"main window", &WithMainWindow, MainFormLayout(), kClientWidth, kClientHeight, {}},
    {"About box", &WithAboutBox, AboutBoxLayout(), 384, 292, {kIdLabel1, kIdLabel2}},
};

// The DPI of the prefix the test runs in.
int PrefixDpi() {
  const char* logPixels = std::getenv("KORDANE_LOGPIXELS");
  return logPixels != nullptr ? std::atoi(logPixels) : kDefaultDpi;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
  return TRUE;
}

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> all;
  EnumChildWindows(window, &CollectChild, reinterpret_cast<LPARAM>(&all));
  return all;
}

HWND Descendant(HWND window, int id) {
  for (const HWND child : Descendants(window)) {
    if (GetDlgCtrlID(child) == id) return child;
  }
  return nullptr;
}

RECT PlaceInParent(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// The width a control's caption takes in its font, with what its kind draws beside the text.
struct Caption {
  std::string text;
  int width = 0;
  int room = 0;  // the control's width left for the text
};

std::optional<Caption> CaptionOf(HWND control, int dpi) {
  const std::string kind = ClassOf(control);
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  Caption caption{WindowText(control)};
  if (caption.text.empty()) return std::nullopt;
  RECT client{};
  GetClientRect(control, &client);
  caption.room = client.right;
  bool prefix = true;
  if (kind == "Button") {
    switch (style & BS_TYPEMASK) {
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON:
        caption.room -= Scale(13, dpi);  // the box or the circle
        break;
      case BS_GROUPBOX:
        caption.room -= Scale(8, dpi);  // the text starts inside the frame
        break;
      default:
        break;
    }
  } else if (kind == "Static") {
    const LONG type = style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_LEFTNOWORDWRAP && type != SS_CENTER && type != SS_RIGHT) {
      return std::nullopt;
    }
    prefix = (style & SS_NOPREFIX) == 0;
  } else if (kind != "TURLLabel") {
    return std::nullopt;  // edits and combo boxes show values, not captions
  }
  std::string shown;
  for (std::size_t i = 0; i < caption.text.size(); ++i) {
    if (prefix && caption.text[i] == '&') ++i;
    if (i < caption.text.size()) shown += caption.text[i];
  }
  const HDC dc = GetDC(control);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32A(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  caption.width = size.cx;
  return caption;
}

// Every control of the table at its place scaled to dpi (exactly at 96 DPI, within a pixel
// elsewhere), in the dialog font of that DPI; no caption wider than its control.
void ExpectLaidOutFor(HWND window, const WindowLayout& layout, int dpi) {
  const int slack = dpi == kDefaultDpi ? 0 : 1;
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, Scale(layout.clientWidth, dpi));
  EXPECT_EQ(client.bottom, Scale(layout.clientHeight, dpi));
  for (const ControlSpec& spec : layout.controls) {
    SCOPED_TRACE(::testing::Message() << "control " << spec.id << " \"" << spec.text << "\"");
    const HWND control = Descendant(window, spec.id);
    ASSERT_NE(control, nullptr);
    const LayoutRect want =
        ScaleToDpi(LayoutRect{spec.left, spec.top, spec.width, spec.height}, dpi);
    const RECT got = PlaceInParent(control);
    const bool followsText = std::find(layout.followTheirText.begin(), layout.followTheirText.end(),
                                       spec.id) != layout.followTheirText.end();
    // At 96 DPI a drop-down combo box is as high as its font makes it, as it always was.
    const bool fontHigh = dpi == kDefaultDpi && std::string_view(spec.className) == "COMBOBOX";
    EXPECT_NEAR(got.top, want.top, slack);
    EXPECT_NEAR(got.bottom, want.top + want.height, fontHigh ? 1 : slack);
    if (!followsText) {
      EXPECT_NEAR(got.left, want.left, slack);
      EXPECT_NEAR(got.right, want.left + want.width, slack);
    }
  }
  for (const HWND control : Descendants(window)) {
    SCOPED_TRACE(::testing::Message() << ClassOf(control) << " " << GetDlgCtrlID(control) << " \""
                                      << WindowText(control) << "\"");
    LOGFONTA font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (handle != nullptr && GetObjectA(handle, sizeof font, &font) != 0) {
      EXPECT_EQ(font.lfHeight, -PointsToPixels(8, dpi));
    }
    if (const std::optional<Caption> caption = CaptionOf(control, dpi)) {
      EXPECT_LE(caption->width, caption->room) << caption->text;
    }
  }
}

TEST(DpiTest, ControlsAreLaidOutForTheWindowsDpi) {
  for (const WindowLayout& layout : kWindows) {
    SCOPED_TRACE(layout.name);
    layout.withWindow([&](HWND window) {
      ASSERT_EQ(WindowDpi(window), PrefixDpi()) << "the prefix is not at its LogPixels";
      ExpectLaidOutFor(window, layout, PrefixDpi());
    });
  }
}

TEST(DpiTest, DpiChangeTakesTheSuggestedRectAndLaysOutAgain) {
  constexpr int kNewDpi = 192;
  for (const WindowLayout& layout : kWindows) {
    SCOPED_TRACE(layout.name);
    layout.withWindow([&](HWND window) {
      RECT frame{};
      RECT client{};
      GetWindowRect(window, &frame);
      GetClientRect(window, &client);
      const int borderWidth = (frame.right - frame.left) - client.right;
      const int borderHeight = (frame.bottom - frame.top) - client.bottom;
      RECT suggested{frame.left + 7, frame.top + 5, 0, 0};
      suggested.right = suggested.left + Scale(layout.clientWidth, kNewDpi) + borderWidth;
      suggested.bottom = suggested.top + Scale(layout.clientHeight, kNewDpi) + borderHeight;
      PostMessageA(window, WM_DPICHANGED, MAKEWPARAM(kNewDpi, kNewDpi),
                   reinterpret_cast<LPARAM>(&suggested));
      PumpMessages();
      RECT moved{};
      GetWindowRect(window, &moved);
      EXPECT_EQ(moved.left, suggested.left);
      EXPECT_EQ(moved.top, suggested.top);
      EXPECT_EQ(moved.right, suggested.right);
      EXPECT_EQ(moved.bottom, suggested.bottom);
      ExpectLaidOutFor(window, layout, kNewDpi);
    });
  }
}

}  // namespace
}  // namespace kordane::ui
