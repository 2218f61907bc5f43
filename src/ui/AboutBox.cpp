#include "ui/AboutBox.h"

#include <commctrl.h>
#include <algorithm>

#include <stdexcept>

#include "ui/ArtResources.h"
#include "ui/Dpi.h"
#include "ui/Modal.h"

namespace kordane::ui {
namespace {

constexpr int kClientWidth = 384;
constexpr int kClientHeight = 292;
constexpr DWORD kVisible = WS_VISIBLE;
constexpr DWORD kLabel = kVisible | SS_LEFTNOWORDWRAP | SS_NOPREFIX;

// The box's layout; positions are relative to the parent (the panel or the box).
const ControlSpec kAboutControls[] = {
    {kIdPanel1, 0, "STATIC", "", kVisible | SS_ETCHEDFRAME, WS_EX_CONTROLPARENT, 8, 8, 369, 241},
    {kIdProgramIcon, kIdPanel1, "STATIC", "", kVisible | SS_ICON | SS_REALSIZECONTROL, 0, 8, 8, 32,
     32},
    {kIdProductName, kIdPanel1, "STATIC", "PCB layout companion Kordane", kLabel, 0, 48, 8, 190,
     13},
    {kIdVersion, kIdPanel1, "STATIC", "Version 3.00 (June 2000)", kLabel, 0, 48, 24, 190, 13},
    {kIdLabel1, kIdPanel1, "STATIC", "Written by the Kordane authors (", kLabel, 0, 8, 48, 144, 13},
    {kIdLabel2, kIdPanel1, "STATIC", ")", kLabel, 0, 240, 48, 6, 13},
    {kIdImage1, kIdPanel1, "STATIC", "", kVisible | SS_BITMAP, 0, 248, 8, 114, 41},
    {kIdMemo1, kIdPanel1, "EDIT", "",
     kVisible | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_WANTRETURN |
         ES_AUTOVSCROLL,
     WS_EX_CLIENTEDGE, 8, 64, 353, 169},
    {kIdOKButton, 0, "BUTTON", "OK", kVisible | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 151, 260, 75, 25},
};

constexpr const char* kMailAddress = "kordane@example.org";
constexpr const char* kMailHint = "Feel free to send me your remarks about this program.";

std::string Rule() {
  return std::string(45, '=');
}

// The panel holds the notice text, and a multi-line edit in a dialog talks to its parent: Tab
// asks it for the next control, and Escape asks it to close. The first goes on to the box; the
// second would destroy the panel, and Escape does nothing here.
LRESULT CALLBACK PanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR) {
  switch (message) {
    case WM_CLOSE:
      return 0;
    case WM_NEXTDLGCTL:
      return SendMessageA(GetAncestor(panel, GA_ROOT), message, wParam, lParam);
    default:
      return DefSubclassProc(panel, message, wParam, lParam);
  }
}

}  // namespace

std::span<const ControlSpec> AboutBoxLayout() {
  return kAboutControls;
}

std::vector<std::string> AboutNoticeLines() {
  return {
      "",
      "- without cost  :-)",
      "- without guarantee or support  :-<",
      "",
      Rule(),
      " Limited warranty and disclaimer of warranty",
      Rule(),
      "This program is provided \"as is\", without warranty of any kind, either expressed or "
      "implied, including but not limited to the implied warranties of merchantability and "
      "fitness for a particular purpose. The whole risk as to the results and performance of the "
      "program is with you. Should it move, turn or otherwise change your design in a way you did "
      "not want, you alone bear the cost of putting it right. Keep a copy of your design before "
      "you use it. By using this program you acknowledge that you have read this disclaimer and "
      "accept it.",
      "",
      Rule(),
      " More legal stuff",
      Rule(),
      "The PCB layout editor that this program works with, its client library and every other "
      "product named or meant here are trademarks or property of their respective owners. This "
      "program is not made, endorsed or supported by them.",
  };
}

TAboutBox::TAboutBox(HWND owner) : owner_(owner) {
  RegisterClassOnce(kAboutBoxClass, nullptr, GetSysColorBrush(COLOR_BTNFACE));
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  if (Create(kAboutBoxClass, "About", style, exStyle, 0, 0, kClientWidth, kClientHeight, owner) ==
      nullptr) {
    throw std::runtime_error("Cannot create the About box");
  }
  const DestroyOnFailure destroyOnFailure(*this);
  dpi_ = WindowDpi(Handle());
  SetScaledClientSize(Handle(), kClientWidth, kClientHeight, dpi_);
  RECT frame{};
  GetWindowRect(Handle(), &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  font_ = CreateDialogFont(dpi_, false);
  SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  controls_ = CreateControls(Handle(), kAboutControls, font_.Get(), dpi_);
  SetWindowSubclass(Control(kIdPanel1), &PanelProc, 0, 0);

  std::string notice;
  const std::vector<std::string> lines = AboutNoticeLines();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) notice += "\r\n";
    notice += lines[i];
  }
  SetWindowTextA(Control(kIdMemo1), notice.c_str());

  urlLabel_ =
      std::make_unique<TURLLabel>(Control(kIdPanel1), kIdURLLabel1, kMailAddress, 0, 0, 0, 0);
  urlLabel_->SetLabelType(hmMAIL);
  urlLabel_->SetHint(kMailHint);
  LayOutForDpi();
}

void TAboutBox::LayOutForDpi() {
  const auto px = [this](int value) { return Scale(value, dpi_); };
  // The controls show the new pictures before the old ones go.
  UniqueIcon icon = LoadProgramIcon(dpi_);
  SendMessageA(Control(kIdProgramIcon), STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
  icon_ = std::move(icon);
  SetWindowPos(Control(kIdProgramIcon), nullptr, px(8), px(8), px(32), px(32),
               SWP_NOZORDER | SWP_NOACTIVATE);
  GdiObject<HBITMAP> logo = LoadScaledBitmap(IDB_LOGO, dpi_);
  SendMessageA(Control(kIdImage1), STM_SETIMAGE, IMAGE_BITMAP,
               reinterpret_cast<LPARAM>(logo.Get()));
  logo_ = std::move(logo);

  // The credit line reads on from label to link to ")": each starts at its place or, when the
  // text before it is longer, right after that text.
  const int top = px(48);
  const int height = px(61) - top;
  const int label1Right = px(8) + TextWidth(Control(kIdLabel1)) + 2;
  const int linkLeft = std::max(px(152), label1Right);
  const int linkWidth = std::max(px(83), TextWidth(kMailAddress) + 2);
  const int label2Left = std::max(px(240), linkLeft + linkWidth);
  SetWindowPos(Control(kIdLabel1), nullptr, px(8), top, label1Right - px(8), height, SWP_NOZORDER);
  SetWindowPos(Control(kIdLabel2), nullptr, label2Left, top, px(6), height, SWP_NOZORDER);
  SendMessageA(urlLabel_->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
  SetWindowPos(urlLabel_->Handle(), nullptr, linkLeft, top, linkWidth, height, SWP_NOZORDER);
}

// The window goes first, while the icon and the logo it shows still exist.
TAboutBox::~TAboutBox() {
  if (Handle() != nullptr) DestroyWindow(Handle());
}

int TAboutBox::TextWidth(HWND control) const {
  return TextWidth(WindowText(control));
}

int TAboutBox::TextWidth(const std::string& text) const {
  const HDC dc = GetDC(Handle());
  SIZE size{};
  {
    SelectObjectGuard selected(dc, font_.Get());
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  }
  ReleaseDC(Handle(), dc);
  return size.cx;
}

HWND TAboutBox::Control(int id) const {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (kAboutControls[i].id == id) return controls_[i];
  }
  return urlLabel_ != nullptr && id == kIdURLLabel1 ? urlLabel_->Handle() : nullptr;
}

int TAboutBox::ShowModal() {
  result_ = 0;
  {
    ReenableOnExit ownerDisabled(owner_);
    ShowWindow(Handle(), SW_SHOWNORMAL);
    SetFocus(Control(kIdMemo1));
    RunModalLoop(Handle(), result_);
  }
  // The owner is enabled again before the box goes, so that it gets the activation back.
  ShowWindow(Handle(), SW_HIDE);
  return result_;
}

LRESULT TAboutBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // Only the OK button closes the box; Escape (IDCANCEL) does nothing.
      if (LOWORD(wParam) == kIdOKButton && HIWORD(wParam) == BN_CLICKED) result_ = IDOK;
      return 0;
    case WM_CTLCOLORSTATIC:
      // Labels and the read-only notice sit on the dialog's face colour.
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_CLOSE:
      result_ = IDCANCEL;
      return 0;
    case WM_DPICHANGED: {
      dpi_ = DpiOfDpiChanged(wParam);
      GdiObject<HFONT> font = CreateDialogFont(dpi_, false);
      SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
      LayOutControls(controls_, kAboutControls, font.Get(), dpi_);
      font_ = std::move(font);
      LayOutForDpi();
      MoveToSuggestedRect(Handle(), lParam);
      return 0;
    }
    case WM_NEXTDLGCTL:
      return MoveDialogFocus(Handle(), wParam, lParam);
    case WM_ACTIVATE:
      KeepFocusOnActivate(Handle(), wParam, lastFocus_, Control(kIdMemo1));
      return 0;
    default:
      return DefaultHandling(message, wParam, lParam);
  }
}

void ShowAboutBox(HWND owner) {
  TAboutBox box(owner);
  box.ShowModal();
}

}  // namespace kordane::ui
