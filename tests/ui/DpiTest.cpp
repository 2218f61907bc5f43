// The windows at the display scale of the Wine prefix they run in: the ordinary prefix (96 DPI)
// and prefixes whose LogPixels is 120, 144 and 192 (CTest's ui_dpi_<dpi>_tests). One row of
// kWindows per window built from a ControlSpec table.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "ui/AboutBox.h"
#include "ui/ArrangeWindow.h"
#include "ui/ArtResources.h"
#include "ui/Dpi.h"
#include "ui/MainForm.h"

namespace kordane::ui {
namespace {

using kordane::testing::PumpMessages;
using kordane::testing::TempFolder;
using WindowCheck = std::function<void(HWND window)>;

struct WindowLayout {
  const char* name;
  std::function<void(const WindowCheck&)> withWindow;  // opens it, checks it, closes it
  std::span<const ControlSpec> controls;               // at 96 DPI
  SIZE client;                                         // at 96 DPI
  std::vector<int> followTheirText;                    // placed after their text, not the table
};

void WithMainWindow(const WindowCheck& check) {
  TempFolder folder;
  TfrmMain form((folder / "Kordane.INI").string(), DbxHost::Load((folder / "none.dll").string()));
  form.Show();
  PumpMessages();
  check(form.Handle());
}

void WithAboutBox(const WindowCheck& check) {
  TempFolder folder;
  TfrmMain form((folder / "Kordane.INI").string(), DbxHost::Load((folder / "none.dll").string()));
  form.Show();
  TAboutBox box(form.Handle());
  PumpMessages();
  check(box.Handle());
}

// The Arrange window over an owner that reads an empty selection.
class NoSelection final : public IArrangeOwner {
 public:
  TSelectionRead ReadSelection() override { return {}; }
  PlacementInputs MainInputs() const override { return {}; }
  std::string MainRotationText() const override { return "0"; }
  void Go() override {}
  void Arrange(const TArrangeChoices&) override {}
  bool UndoLastRun() override { return false; }
  bool RedoLastUndone() override { return false; }
  void SwapPlaces() override {}
  std::string StatusLine() const override { return ""; }
};

void WithArrangeWindow(const WindowCheck& check) {
  TempFolder folder;
  TfrmMain form((folder / "Kordane.INI").string(), DbxHost::Load((folder / "none.dll").string()));
  form.Show();
  NoSelection owner;
  TArrangeWindow window(form.Handle(), owner, (folder / "Kordane.INI").string());
  PumpMessages();
  check(window.Handle());
}

// The Arrange window's choices; the controls right of them follow the window's size.
std::span<const ControlSpec> ArrangeChoices() {
  static const std::vector<ControlSpec> choices = [] {
    std::vector<ControlSpec> placed;
    for (const ControlSpec& spec : ArrangeLayout()) {
      if (spec.width > 0) placed.push_back(spec);
    }
    return placed;
  }();
  return choices;
}

const WindowLayout kWindows[] = {
    {"main window", &WithMainWindow, MainFormLayout(), {kClientWidth, kClientHeight}, {}},
    {"About box", &WithAboutBox, AboutBoxLayout(), {384, 292}, {kIdLabel1, kIdLabel2}},
    // Its size is the screen's to limit: no client size to check.
    {"Arrange window", &WithArrangeWindow, ArrangeChoices(), {0, 0}, {}},
};

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

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// How much wider than its room a control's caption is in the control's font (<= 0: it fits);
// nothing for controls that show no caption.
std::optional<int> CaptionOverflow(HWND control, int dpi) {
  const std::string kind = ClassOf(control);
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  RECT client{};
  GetClientRect(control, &client);
  int room = client.right;
  bool prefix = true;
  if (kind == "Button") {
    const LONG type = style & BS_TYPEMASK;
    if (type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON) room -= Scale(13, dpi);  // glyph
    if (type == BS_GROUPBOX) room -= Scale(8, dpi);  // the caption starts inside the frame
  } else if (kind == "Static" && (style & SS_ELLIPSISMASK) != 0) {
    return std::nullopt;  // cut with an ellipsis on purpose
  } else if (kind == "Static" &&
             ((style & SS_TYPEMASK) <= SS_RIGHT || (style & SS_TYPEMASK) == SS_LEFTNOWORDWRAP)) {
    prefix = (style & SS_NOPREFIX) == 0;
  } else if (kind != "TURLLabel") {
    return std::nullopt;  // pictures, frames, and edits that show values
  }
  std::string shown = WindowText(control);
  if (prefix) std::erase(shown, '&');
  if (shown.empty()) return std::nullopt;
  const HDC dc = GetDC(control);
  SIZE size{};
  {
    SelectObjectGuard font(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    GetTextExtentPoint32A(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
  }
  ReleaseDC(control, dc);
  const bool wraps = (style & SS_TYPEMASK) <= SS_RIGHT && kind == "Static";
  if (wraps && client.bottom >= 2 * size.cy) {
    // A text of several lines: it must fit the control's height when wrapped.
    const HDC wrapDc = GetDC(control);
    RECT wrapped{0, 0, room, 0};
    {
      SelectObjectGuard font(wrapDc,
                             reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
      DrawTextA(wrapDc, shown.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    }
    ReleaseDC(control, wrapDc);
    return wrapped.bottom - client.bottom;
  }
  return size.cx - room;
}

// The client area and every control of the table at their 96-DPI rectangles scaled to dpi
// (exactly at 96 DPI, within a pixel elsewhere), in the dialog font of that DPI; no caption wider
// than its control.
void ExpectLaidOutFor(HWND window, const WindowLayout& layout, int dpi) {
  const int slack = dpi == kDefaultDpi ? 0 : 1;
  RECT client{};
  GetClientRect(window, &client);
  if (layout.client.cx != 0) {
    EXPECT_EQ(client.right, Scale(layout.client.cx, dpi));
    EXPECT_EQ(client.bottom, Scale(layout.client.cy, dpi));
  }
  for (const ControlSpec& spec : layout.controls) {
    SCOPED_TRACE(::testing::Message() << "control " << spec.id << " \"" << spec.text << "\"");
    const auto all = Descendants(window);
    const auto found = std::find_if(all.begin(), all.end(),
                                    [&](HWND child) { return GetDlgCtrlID(child) == spec.id; });
    ASSERT_NE(found, all.end());
    RECT got{};
    GetWindowRect(*found, &got);
    MapWindowPoints(nullptr, GetParent(*found), reinterpret_cast<POINT*>(&got), 2);
    const LayoutRect want = ScaleToDpi({spec.left, spec.top, spec.width, spec.height}, dpi);
    // At 96 DPI a drop-down combo box is as high as its font makes it, as it always was.
    const bool fontHigh = dpi == kDefaultDpi && std::string(spec.className) == "COMBOBOX";
    EXPECT_NEAR(got.top, want.top, slack);
    EXPECT_NEAR(got.bottom, want.top + want.height, fontHigh ? 1 : slack);
    if (std::find(layout.followTheirText.begin(), layout.followTheirText.end(), spec.id) ==
        layout.followTheirText.end()) {
      EXPECT_NEAR(got.left, want.left, slack);
      EXPECT_NEAR(got.right, want.left + want.width, slack);
    }
  }
  for (const HWND control : Descendants(window)) {
    SCOPED_TRACE(::testing::Message() << ClassOf(control) << " \"" << WindowText(control) << "\"");
    LOGFONTA font{};
    if (GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font,
                   &font) != 0) {
      EXPECT_EQ(font.lfHeight, -PointsToPixels(8, dpi));
    }
    EXPECT_LE(CaptionOverflow(control, dpi).value_or(0), 0);
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

// The program icon has art of its own at the sizes this display scale asks for (the small icon,
// the About box's), and at 256 pixels: none is a blurred scaling of another.
TEST(DpiTest, ProgramIconHasArtAtTheSizesOfThisScale) {
  const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDI_KORDANE), RT_GROUP_ICON);
  ASSERT_NE(found, nullptr);
  const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
  std::set<int> sizes;
  for (int i = 0; i < (directory[4] | directory[5] << 8); ++i) {
    const int width = directory[6 + 14 * i];
    sizes.insert(width == 0 ? 256 : width);
  }
  for (const int size : {Scale(16, PrefixDpi()), Scale(32, PrefixDpi()), 256}) {
    EXPECT_EQ(sizes.count(size), 1u) << size << " pixels";
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
      RECT suggested{frame.left + 7, frame.top + 5, 0, 0};
      const LONG extraWidth = frame.right - frame.left - client.right;
      const LONG extraHeight = frame.bottom - frame.top - client.bottom;
      if (layout.client.cx != 0) {
        suggested.right = suggested.left + Scale(layout.client.cx, kNewDpi) + extraWidth;
        suggested.bottom = suggested.top + Scale(layout.client.cy, kNewDpi) + extraHeight;
      } else {
        // A window the user sizes: its frame scaled, as far as the screen holds it.
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
        const int dpi = WindowDpi(window);
        suggested.right =
            suggested.left + std::min<LONG>(MulDiv(client.right, kNewDpi, dpi) + extraWidth,
                                            monitor.rcWork.right - monitor.rcWork.left);
        suggested.bottom =
            suggested.top + std::min<LONG>(MulDiv(client.bottom, kNewDpi, dpi) + extraHeight,
                                           monitor.rcWork.bottom - monitor.rcWork.top);
      }
      PostMessageA(window, WM_DPICHANGED, MAKEWPARAM(kNewDpi, kNewDpi),
                   reinterpret_cast<LPARAM>(&suggested));
      PumpMessages();
      RECT moved{};
      GetWindowRect(window, &moved);
      EXPECT_TRUE(EqualRect(&moved, &suggested))
          << moved.left << "," << moved.top << "," << moved.right << "," << moved.bottom << " not "
          << suggested.left << "," << suggested.top << "," << suggested.right << ","
          << suggested.bottom;
      ExpectLaidOutFor(window, layout, kNewDpi);
    });
  }
}

}  // namespace
}  // namespace kordane::ui
