#include "ui/AboutBox.h"

#include <commctrl.h>
#include <algorithm>

#include <stdexcept>

#include "ui/ArtResources.h"
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
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  if (Create(kAboutBoxClass, "About", style, exStyle, left, top, kClientWidth, kClientHeight,
             owner) == nullptr) {
    throw std::runtime_error("Cannot create the About box");
  }
  const DestroyOnFailure destroyOnFailure(*this);

  font_ = CreateDialogFont();
  SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  controls_ = CreateControls(Handle(), kAboutControls, font_.Get());
  SetWindowSubclass(Control(kIdPanel1), &PanelProc, 0, 0);

  const HINSTANCE instance = GetModuleHandleA(nullptr);
  icon_.reset(static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(IDI_KORDANE), IMAGE_ICON, 32, 32, 0)));
  SendMessageA(Control(kIdProgramIcon), STM_SETICON, reinterpret_cast<WPARAM>(icon_.get()), 0);
  SetWindowPos(Control(kIdProgramIcon), nullptr, 8, 8, 32, 32, SWP_NOZORDER | SWP_NOACTIVATE);
  logo_.Reset(static_cast<HBITMAP>(
      LoadImageA(instance, MAKEINTRESOURCEA(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  SendMessageA(Control(kIdImage1), STM_SETIMAGE, IMAGE_BITMAP,
               reinterpret_cast<LPARAM>(logo_.Get()));

  std::string notice;
  const std::vector<std::string> lines = AboutNoticeLines();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) notice += "\r\n";
    notice += lines[i];
  }
  SetWindowTextA(Control(kIdMemo1), notice.c_str());

  // The credit line reads on from label to link to ")": each starts at its place or, when the
  // text before it is longer, right after that text.
  const int label1Right = 8 + TextWidth(Control(kIdLabel1)) + 2;
  const int linkLeft = std::max(152, label1Right);
  const int linkWidth = std::max(83, TextWidth(kMailAddress) + 2);
  const int label2Left = std::max(240, linkLeft + linkWidth);
  SetWindowPos(Control(kIdLabel1), nullptr, 8, 48, label1Right - 8, 13, SWP_NOZORDER);
  SetWindowPos(Control(kIdLabel2), nullptr, label2Left, 48, 6, 13, SWP_NOZORDER);
  urlLabel_ = std::make_unique<TURLLabel>(Control(kIdPanel1), kIdURLLabel1, kMailAddress, linkLeft,
                                          48, linkWidth, 13);
  urlLabel_->SetLabelType(hmMAIL);
  urlLabel_->SetHint(kMailHint);
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
    case WM_NEXTDLGCTL: {
      const HWND next = LOWORD(lParam) != 0
                            ? reinterpret_cast<HWND>(wParam)
                            : GetNextDlgTabItem(Handle(), GetFocus(), wParam != 0 ? TRUE : FALSE);
      if (next != nullptr) SetFocus(next);
      return 0;
    }
    case WM_ACTIVATE:
      // Like a dialog, give the focus back to where it was when the box is activated again.
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(Handle(), focus)) lastFocus_ = focus;
      } else {
        SetFocus(lastFocus_ != nullptr && IsWindow(lastFocus_) ? lastFocus_ : Control(kIdMemo1));
      }
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
