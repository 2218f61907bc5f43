#include "ui/PreviewWindow.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <utility>

#include "host/Conversions.h"
#include "settings/WindowPlace.h"
#include "settings/win32/IniFileProfile.h"
#include "ui/ArtResources.h"
#include "ui/Dpi.h"
#include "ui/Modal.h"
#include "ui/PreviewPlot.h"

namespace kordane::ui {

namespace {

// Every length here is in pixels at 96 DPI; the window scales them to its own (Px).
constexpr int kDefaultClientWidth = 560;
constexpr int kDefaultClientHeight = 400;
constexpr int kMinimumWidth = 380;
constexpr int kMinimumHeight = 280;
constexpr int kGap = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kSummaryHeight = 16;
constexpr int kMessagesHeight = 64;
constexpr int kPlotMargin = 28;  // room for the designators and the scale bar

constexpr DWORD kWindowStyle =
    WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;

// Positions come from Layout.
constexpr ControlSpec kPreviewControls[] = {
    {kIdPreviewMessages, 0, "LISTBOX", "",
     WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, WS_EX_CLIENTEDGE, 0, 0, 0, 0},
    {kIdPreviewSummary, 0, "STATIC", "", WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0, 0,
     0, 0, 0},
    {kIdPreviewGo, 0, "BUTTON", "&Go!", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, 0},
    {kIdPreviewClose, 0, "BUTTON", "Close", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, 0},
};

// One colour per group, in turn; strong enough on white, told apart from each other.
constexpr COLORREF kGroupColours[] = {
    RGB(0, 92, 197),  RGB(208, 56, 0),  RGB(0, 140, 60), RGB(150, 40, 170),
    RGB(190, 140, 0), RGB(0, 150, 160), RGB(200, 0, 90), RGB(100, 100, 100),
};

COLORREF GroupColour(std::size_t group) {
  return kGroupColours[group % std::size(kGroupColours)];
}

// Tenths of a degree as the text a user reads ("90°", "-45°", "22.5°").
std::string DegreesText(std::int32_t tenths) {
  return FloatToText(tenths / 10.0) + "\xB0";
}

std::string GroupName(const std::string& prefix) {
  return prefix.empty() ? "(no prefix)" : prefix;
}

void TextAt(HDC dc, int x, int y, const std::string& text) {
  TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

SIZE TextSize(HDC dc, const std::string& text) {
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

void Line(HDC dc, PlotPoint from, PlotPoint to) {
  MoveToEx(dc, from.x, from.y, nullptr);
  LineTo(dc, to.x, to.y);
}

// A line with an arrowhead of the given length at its end.
void Arrow(HDC dc, PlotPoint from, PlotPoint to, double head) {
  Line(dc, from, to);
  const double dx = to.x - from.x;
  const double dy = to.y - from.y;
  const double length = std::hypot(dx, dy);
  if (length < 1) return;
  constexpr double kSpread = 0.45;
  const double angle = std::atan2(dy, dx);
  for (const double side : {kSpread, -kSpread}) {
    const PlotPoint wing{static_cast<int>(std::lround(to.x - head * std::cos(angle + side))),
                         static_cast<int>(std::lround(to.y - head * std::sin(angle + side)))};
    Line(dc, to, wing);
  }
}

// For each part, whether its label goes below (0) or above (1) its target: in a group lined up
// in a row, neighbours alternate, so that labels wider than the pitch do not run into each other.
std::vector<int> LabelLevels(const TPreview& preview, const PlotTransform& plot) {
  std::vector<int> levels(preview.parts.size(), 0);
  for (std::size_t group = 0; group < preview.groups.size(); ++group) {
    std::vector<std::size_t> members;
    int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
    for (std::size_t i = 0; i < preview.parts.size(); ++i) {
      if (preview.parts[i].group != group) continue;
      members.push_back(i);
      const PlotPoint to = plot.ToScreen(preview.parts[i].toX, preview.parts[i].toY);
      minX = std::min(minX, to.x);
      maxX = std::max(maxX, to.x);
      minY = std::min(minY, to.y);
      maxY = std::max(maxY, to.y);
    }
    if (members.size() < 2 || maxX - minX <= maxY - minY) continue;  // a column: labels fit
    std::sort(members.begin(), members.end(), [&](std::size_t a, std::size_t b) {
      return preview.parts[a].toX < preview.parts[b].toX;
    });
    for (std::size_t rank = 0; rank < members.size(); ++rank) {
      levels[members[rank]] = static_cast<int>(rank % 2);
    }
  }
  return levels;
}

}  // namespace

TPreviewWindow::TPreviewWindow(HWND owner, TPreview preview, std::string settingsPath)
    : owner_(owner), preview_(std::move(preview)), settingsPath_(std::move(settingsPath)) {
  const HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_KORDANE));
  RegisterClassOnce(kPreviewClass, icon, GetSysColorBrush(COLOR_BTNFACE), CS_HREDRAW | CS_VREDRAW);
  RECT ownerFrame{};
  GetWindowRect(owner_, &ownerFrame);
  Create(kPreviewClass, kPreviewCaption, kWindowStyle, 0, ownerFrame.left, ownerFrame.top,
         kDefaultClientWidth, kDefaultClientHeight, owner_);
  if (Handle() == nullptr) throw std::runtime_error("Cannot create the preview window");

  dpi_ = WindowDpi(Handle());
  SetScaledClientSize(Handle(), kDefaultClientWidth, kDefaultClientHeight, dpi_);
  font_ = CreateDialogFont(dpi_, false);
  SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  const auto handles = CreateControls(Handle(), kPreviewControls, font_.Get(), dpi_);
  std::copy(handles.begin(), handles.end(), controls_.begin());
  for (const std::string& message : preview_.messages) {
    SendMessageA(Control(kIdPreviewMessages), LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(message.c_str()));
  }
  if (!preview_.messages.empty()) ShowWindow(Control(kIdPreviewMessages), SW_SHOWNA);
  SetWindowTextA(Control(kIdPreviewSummary),
                 preview_.failure.empty() ? preview_.summary.c_str() : "");
  RestorePlace();
  Layout();
}

TPreviewWindow::~TPreviewWindow() {
  if (Handle() != nullptr) DestroyWindow(Handle());
}

HWND TPreviewWindow::Control(int id) const {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (kPreviewControls[i].id == id) return controls_[i];
  }
  return nullptr;
}

int TPreviewWindow::Px(int value) const {
  return Scale(value, dpi_);
}

RECT TPreviewWindow::PlotRect() const {
  RECT client{};
  GetClientRect(Handle(), &client);
  const int gap = Px(kGap);
  int bottom = client.bottom - gap - Px(kButtonHeight) - gap;
  if (!preview_.messages.empty()) bottom -= Px(kMessagesHeight) + gap;
  return RECT{gap, gap, std::max<LONG>(gap + 1, client.right - gap), std::max(gap + 1, bottom)};
}

void TPreviewWindow::Layout() {
  RECT client{};
  GetClientRect(Handle(), &client);
  const RECT plot = PlotRect();
  const int gap = Px(kGap);
  const int buttonWidth = Px(kButtonWidth);
  const int buttonHeight = Px(kButtonHeight);
  const int summaryHeight = Px(kSummaryHeight);
  const int buttonsTop = client.bottom - gap - buttonHeight;
  const int closeLeft = client.right - gap - buttonWidth;
  const int goLeft = closeLeft - gap - buttonWidth;
  MoveWindow(Control(kIdPreviewClose), closeLeft, buttonsTop, buttonWidth, buttonHeight, TRUE);
  MoveWindow(Control(kIdPreviewGo), goLeft, buttonsTop, buttonWidth, buttonHeight, TRUE);
  MoveWindow(Control(kIdPreviewSummary), gap, buttonsTop + (buttonHeight - summaryHeight) / 2,
             std::max(0, goLeft - 2 * gap), summaryHeight, TRUE);
  MoveWindow(Control(kIdPreviewMessages), gap, plot.bottom + gap, plot.right - plot.left,
             Px(kMessagesHeight), TRUE);
  InvalidateRect(Handle(), &plot, FALSE);
}

void TPreviewWindow::Paint(HDC dc) {
  const RECT plot = PlotRect();
  const int width = plot.right - plot.left;
  const int height = plot.bottom - plot.top;
  // Drawn off screen first, so that resizing does not flicker.
  const HDC buffer = CreateCompatibleDC(dc);
  GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, width, height));
  {
    SelectObjectGuard selectedBitmap(buffer, bitmap.Get());
    SelectObjectGuard selectedFont(buffer, font_.Get());
    RECT area{0, 0, width, height};
    FillRect(buffer, &area, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(buffer, TRANSPARENT);
    DrawPlot(buffer, area);
    DrawEdge(buffer, &area, EDGE_SUNKEN, BF_RECT);
    BitBlt(dc, plot.left, plot.top, width, height, buffer, 0, 0, SRCCOPY);
  }
  DeleteDC(buffer);
}

void TPreviewWindow::DrawPlot(HDC dc, const RECT& area) const {
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  if (!preview_.failure.empty() || preview_.parts.empty()) {
    // What stops the run, or that there is nothing to place, in place of the plot.
    RECT text = area;
    InflateRect(&text, -Px(kGap) * 2, -Px(kGap) * 2);
    const std::string said =
        !preview_.failure.empty() ? preview_.failure : "No components are selected in the design.";
    DrawTextA(dc, said.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_NOPREFIX);
    return;
  }

  // The legend keeps a strip of its own on the right, so that it hides no component.
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  const int legendWidth = DrawLegend(dc, area);
  const PlotTransform plot(preview_, area.left, area.top,
                           std::max(1, width - legendWidth - Px(kGap)), height, Px(kPlotMargin));
  const int ring = Px(3);
  const int tick = Px(10);
  const std::vector<int> levels = LabelLevels(preview_, plot);
  const int lineHeight = TextSize(dc, "Ag").cy;
  for (std::size_t i = 0; i < preview_.parts.size(); ++i) {
    const TPreviewPart& part = preview_.parts[i];
    const COLORREF colour = GroupColour(part.group);
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, Px(1), colour));
    GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
    SelectObjectGuard selectedPen(dc, pen.Get());
    const PlotPoint from = plot.ToScreen(part.x, part.y);
    const PlotPoint to = plot.ToScreen(part.toX, part.toY);
    if (part.moves) {
      // The present origin as a ring, the way to the target as an arrow.
      SelectObjectGuard hollow(dc, GetStockObject(NULL_BRUSH));
      Ellipse(dc, from.x - ring, from.y - ring, from.x + ring + 1, from.y + ring + 1);
      Arrow(dc, from, to, Px(7));
    }
    {
      SelectObjectGuard filled(dc, brush.Get());
      Rectangle(dc, to.x - ring, to.y - ring, to.x + ring + 1, to.y + ring + 1);
    }
    // A tick in the direction the component will face.
    const double radians = part.toRotation / 10.0 * std::numbers::pi / 180.0;
    Line(dc, to,
         {static_cast<int>(std::lround(to.x + tick * std::cos(radians))),
          static_cast<int>(std::lround(to.y - tick * std::sin(radians)))});
    SetTextColor(dc, colour);
    const std::string label = part.refDes + " " + DegreesText(part.toRotation);
    // Neighbours in a row take turns above and below it.
    const int y = levels[i] == 0 ? to.y + ring : to.y - ring - 1 - lineHeight;
    TextAt(dc, to.x + Px(5), y, label);
  }

  // The scale bar, bottom left, in the design's units.
  const ScaleBar bar = ChooseScaleBar(plot.Scale(), preview_.units, width / 4);
  if (bar.pixels > 0) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, Px(1), GetSysColor(COLOR_WINDOWTEXT)));
    SelectObjectGuard selectedPen(dc, pen.Get());
    const int x = area.left + Px(kGap + 2);
    const int y = area.bottom - Px(kGap + 2);
    Line(dc, {x, y}, {x + bar.pixels, y});
    Line(dc, {x, y - Px(4)}, {x, y + 1});
    Line(dc, {x + bar.pixels, y - Px(4)}, {x + bar.pixels, y + 1});
    TextAt(dc, x + bar.pixels + Px(6), y - TextSize(dc, bar.text).cy / 2 - 1, bar.text);
  }
}

int TPreviewWindow::DrawLegend(HDC dc, const RECT& area) const {
  int widest = 0;
  const int lineHeight = TextSize(dc, "Ag").cy + Px(2);
  std::vector<std::string> lines;
  for (const TPreviewGroup& group : preview_.groups) {
    lines.push_back(GroupName(group.prefix) + " (" + std::to_string(group.count) + ")");
    widest = std::max<int>(widest, TextSize(dc, lines.back()).cx);
  }
  const int gap = Px(kGap);
  const int boxWidth = widest + Px(26);
  RECT box{area.right - gap - boxWidth, area.top + gap, area.right - gap,
           area.top + gap + Px(6) + lineHeight * static_cast<int>(lines.size())};
  FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
  FrameRect(dc, &box, GetSysColorBrush(COLOR_BTNSHADOW));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int y = box.top + Px(3) + lineHeight * static_cast<int>(i);
    GdiObject<HBRUSH> brush(CreateSolidBrush(GroupColour(i)));
    RECT swatch{box.left + Px(6), y + Px(3), box.left + Px(16), y + Px(13)};
    FillRect(dc, &swatch, brush.Get());
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    TextAt(dc, box.left + Px(20), y, lines[i]);
  }
  return boxWidth + gap;
}

void TPreviewWindow::RestorePlace() {
  std::optional<TWindowPlace> place;
  try {
    IniFileProfile profile(settingsPath_, preview_keys::kSection);
    place = LoadWindowPlace(profile);
  } catch (const std::exception&) {
    place.reset();  // an unreadable file: the default place
  }
  RECT frame{};
  GetWindowRect(Handle(), &frame);
  if (place) {
    frame = RECT{place->left, place->top, place->left + place->width, place->top + place->height};
  } else {
    // Centred on the owner.
    RECT ownerFrame{};
    GetWindowRect(owner_, &ownerFrame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (ownerFrame.left + ownerFrame.right - width) / 2;
    const int top = (ownerFrame.top + ownerFrame.bottom - height) / 2;
    frame = RECT{left, top, left + width, top + height};
  }
  // A frame left on a screen that is no longer there comes back onto the nearest one.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoA(MonitorFromRect(&frame, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    const int width = std::min<LONG>(frame.right - frame.left, work.right - work.left);
    const int height = std::min<LONG>(frame.bottom - frame.top, work.bottom - work.top);
    const int left = std::clamp<LONG>(frame.left, work.left, work.right - width);
    const int top = std::clamp<LONG>(frame.top, work.top, work.bottom - height);
    frame = RECT{left, top, left + width, top + height};
  }
  SetWindowPos(Handle(), nullptr, frame.left, frame.top, frame.right - frame.left,
               frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TPreviewWindow::SavePlace() const {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(Handle(), &placement)) return;
  const RECT& frame = placement.rcNormalPosition;
  try {
    IniFileProfile profile(settingsPath_, preview_keys::kSection);
    SaveWindowPlace(profile,
                    {frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top});
  } catch (const SettingsWriteError&) {
    // The preview still closes; it opens at its default place next time.
  }
}

void TPreviewWindow::Finish(int result) {
  if (result_ != 0) return;
  SavePlace();
  result_ = result;
}

int TPreviewWindow::ShowModal() {
  result_ = 0;
  {
    ReenableOnExit ownerDisabled(owner_);
    ShowWindow(Handle(), SW_SHOWNORMAL);
    SetFocus(Control(kIdPreviewClose));
    RunModalLoop(Handle(), result_);
  }
  // The owner is enabled again before the window goes, so that it gets the activation back.
  ShowWindow(Handle(), SW_HIDE);
  return result_ == 0 ? IDCANCEL : result_;
}

LRESULT TPreviewWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED || lParam == 0) {
        if (LOWORD(wParam) == kIdPreviewGo) Finish(kIdPreviewGo);
        if (LOWORD(wParam) == kIdPreviewClose) Finish(IDCANCEL);
      }
      return 0;
    case WM_CLOSE:
      Finish(IDCANCEL);
      return 0;
    case DM_GETDEFID: {
      // Enter presses the focused button; with the focus elsewhere it does nothing.
      const int focused = GetDlgCtrlID(GetFocus());
      const bool isButton = focused == kIdPreviewGo || focused == kIdPreviewClose;
      return isButton ? MAKELRESULT(focused, DC_HASDEFID) : 0;
    }
    case WM_SIZE:
      Layout();
      return 0;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = POINT{Px(kMinimumWidth), Px(kMinimumHeight)};
      return 0;
    }
    case WM_DPICHANGED: {
      dpi_ = DpiOfDpiChanged(wParam);
      GdiObject<HFONT> font = CreateDialogFont(dpi_, false);
      SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
      for (const HWND control : controls_) {
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
      }
      font_ = std::move(font);
      MoveToSuggestedRect(Handle(), lParam);
      Layout();
      return 0;
    }
    case WM_ERASEBKGND: {
      // The plot paints all of its own rectangle.
      const HDC dc = reinterpret_cast<HDC>(wParam);
      const RECT plot = PlotRect();
      RECT client{};
      GetClientRect(Handle(), &client);
      const int saved = SaveDC(dc);
      ExcludeClipRect(dc, plot.left, plot.top, plot.right, plot.bottom);
      FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
      RestoreDC(dc, saved);
      return TRUE;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      const HDC dc = BeginPaint(Handle(), &paint);
      Paint(dc);
      EndPaint(Handle(), &paint);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_ACTIVATE:
      // Like a dialog, give the focus back to where it was when the window is activated again.
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(Handle(), focus)) lastFocus_ = focus;
      } else {
        SetFocus(lastFocus_ != nullptr && IsWindow(lastFocus_) ? lastFocus_
                                                               : Control(kIdPreviewClose));
      }
      return 0;
    default:
      return DefaultHandling(message, wParam, lParam);
  }
}

bool ShowPreview(HWND owner, TPreview preview, const std::string& settingsPath) {
  TPreviewWindow window(owner, std::move(preview), settingsPath);
  return window.ShowModal() == kIdPreviewGo;
}

}  // namespace kordane::ui
