#include "ui/PreviewWindow.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "settings/WindowPlace.h"
#include "ui/ArtResources.h"
#include "ui/Dpi.h"
#include "ui/FramePlace.h"
#include "ui/Modal.h"
#include "ui/PlotPainter.h"

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
  // First in the tab order.
  picture_ = std::make_unique<TRunPicture>(Handle(), kIdPreviewPicture, font_.Get(), dpi_);
  SetWindowPos(picture_->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  picture_->Show(preview_, true);
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
  if (picture_) {
    MoveWindow(picture_->Handle(), plot.left, plot.top, plot.right - plot.left,
               plot.bottom - plot.top, TRUE);
  }
}

void TPreviewWindow::RestorePlace() {
  RestoreFramePlace(Handle(), owner_, settingsPath_, preview_keys::kSection);
}

void TPreviewWindow::SavePlace() const {
  SaveFramePlace(Handle(), settingsPath_, preview_keys::kSection);
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
    case WM_NEXTDLGCTL:
      return MoveDialogFocus(Handle(), wParam, lParam);
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
      picture_->SetFont(font.Get(), dpi_);
      font_ = std::move(font);
      MoveToSuggestedRect(Handle(), lParam);
      Layout();
      return 0;
    }
    case WM_ERASEBKGND:
      EraseAroundPicture(Handle(), reinterpret_cast<HDC>(wParam), PlotRect());
      return TRUE;
    case WM_MOUSEWHEEL:
      if (picture_ && picture_->TakeWheel(wParam, lParam)) return 0;
      return DefaultHandling(message, wParam, lParam);
    case WM_CTLCOLORSTATIC:
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_ACTIVATE:
      KeepFocusOnActivate(Handle(), wParam, lastFocus_, Control(kIdPreviewClose));
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
