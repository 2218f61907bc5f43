#include "ui/UrlLabel.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <stdexcept>

namespace kordane::ui {

namespace {

constexpr const char* kClassName = "TURLLabel";

// The label's default way to open a target. Whether the shell managed is of no interest: a link
// that opens nothing needs no message.
void OpenWithShell(const std::string& target) {
  ShellExecuteA(nullptr, nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

std::string UrlTarget(TLabelType type, const std::string& caption) {
  switch (type) {
    case hmHTTP:
      return "http:\\\\" + caption;
    case hmFTP:
      return "ftp:\\\\" + caption;
    case hmMAIL:
      return "mailto:" + caption;
    case hmCUSTOM:
      break;
  }
  return {};
}

TURLLabel::TURLLabel(HWND parent, int id, const std::string& caption, int left, int top, int width,
                     int height)
    : shellOpener_(&OpenWithShell) {
  RegisterClassOnce(kClassName, nullptr, GetSysColorBrush(COLOR_BTNFACE));

  auto parentFont = reinterpret_cast<HFONT>(SendMessageA(parent, WM_GETFONT, 0, 0));
  if (parentFont == nullptr) parentFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  GetObjectA(parentFont, sizeof face_, &face_);
  face_.lfUnderline = TRUE;
  font_.Reset(CreateFontIndirectA(&face_));

  if (Create(kClassName, caption.c_str(), WS_CHILD | WS_VISIBLE, 0, left, top, width, height,
             parent) == nullptr) {
    throw std::runtime_error("Cannot create the link label");
  }
  SetWindowLongPtrA(Handle(), GWLP_ID, id);
}

TURLLabel::~TURLLabel() {
  if (Handle() != nullptr) DestroyWindow(Handle());
}

void TURLLabel::SetLabelType(TLabelType value) {
  if (value == labelType_) return;
  labelType_ = value;
  SetUnderline(value != hmCUSTOM && !effect98_);
  Repaint();
}

void TURLLabel::SetURLColStd(COLORREF value) {
  if (value == urlColStd_) return;
  urlColStd_ = value;
  SetFontColor(value);
  Repaint();
}

void TURLLabel::SetURLColPre(COLORREF value) {
  if (value == urlColPre_) return;
  urlColPre_ = value;
  Repaint();
}

void TURLLabel::SetAllowDown(bool value) {
  if (value == allowDown_) return;
  allowDown_ = value;
  Repaint();
}

void TURLLabel::SetEffect98(bool value) {
  if (value == effect98_) return;
  effect98_ = value;
  SetUnderline(!value && labelType_ != hmCUSTOM);
  Repaint();
}

TURLFont TURLLabel::Font() const {
  return TURLFont{face_, fontColor_};
}

void TURLLabel::SetFont(const TURLFont& font) {
  face_ = font.face;
  font_.Reset(CreateFontIndirectA(&face_));
  fontColor_ = font.color;
  SetURLColStd(font.color);
  Repaint();
}

void TURLLabel::SetHint(const std::string& hint) {
  hint_ = hint;
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(Handle());
  tool.uId = reinterpret_cast<UINT_PTR>(Handle());
  tool.lpszText = hint_.data();
  if (toolTip_ != nullptr) {
    SendMessageA(toolTip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    return;
  }
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  toolTip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  if (toolTip_ == nullptr) throw std::runtime_error("Cannot create the tool tip of a link");
  SendMessageA(toolTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT TURLLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(Handle(), &paint);
      Paint(dc);
      EndPaint(Handle(), &paint);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;  // Paint fills the background itself, without flicker
    case WM_SETFONT: {
      LOGFONTA face{};
      if (wParam != 0 && GetObjectA(reinterpret_cast<HFONT>(wParam), sizeof face, &face) != 0) {
        face.lfUnderline = face_.lfUnderline;  // the style stays the label's
        face_ = face;
        font_.Reset(CreateFontIndirectA(&face_));
      }
      if (LOWORD(lParam) != 0) Repaint();
      return 0;
    }
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_.Get());
    case WM_SETTEXT: {
      const LRESULT result = DefaultHandling(message, wParam, lParam);
      Repaint();
      return result;
    }
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        SetCursor(HandCursor());
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
      MouseDown();
      return 0;
    case WM_LBUTTONUP: {
      RECT client;
      GetClientRect(Handle(), &client);
      const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const bool clicked = pressed_ && PtInRect(&client, at) != FALSE;
      pressed_ = false;  // releasing the capture below is then not taken for an abandoned press
      if (GetCapture() == Handle()) ReleaseCapture();
      if (clicked) Click();
      MouseUp(true);
      return 0;
    }
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      MouseUp(false);
      return 0;
    case WM_CAPTURECHANGED:
      // Another window took the mouse during a press: end it like a release, without a click,
      // so the label does not stay pressed.
      if (pressed_) EndPress();
      return 0;
    case WM_MOUSEMOVE:
      if (!tracking_) {
        tracking_ = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
        MouseEnter();
      }
      return 0;
    case WM_MOUSELEAVE:
      tracking_ = false;
      MouseLeave();
      return 0;
    case WM_DESTROY:
      if (toolTip_ != nullptr && IsWindow(toolTip_)) DestroyWindow(toolTip_);
      toolTip_ = nullptr;
      break;
    default:
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

HCURSOR TURLLabel::HandCursor() {
  // Loaded for the DPI the label is shown at now, which changes when its window moves to
  // another monitor.
  const int dpi = WindowDpi(Handle());
  if (dpi != cursorDpi_) {
    handCursor_ = LoadScaledCursor("URLHAND", dpi);
    cursorDpi_ = dpi;
  }
  // Our own hand cursor, or the system's if the resource is missing.
  return handCursor_ != nullptr ? handCursor_.get() : LoadCursorA(nullptr, IDC_HAND);
}

void TURLLabel::Click() {
  if (OnClick) OnClick();
  const std::string target = UrlTarget(labelType_, Caption());
  if (!target.empty() && shellOpener_) shellOpener_(target);
}

void TURLLabel::MouseDown() {
  pressed_ = true;
  SetCapture(Handle());
  if (allowDown_) ShiftDown(1);
  SetFontColor(urlColPre_);
}

void TURLLabel::MouseUp(bool leftButton) {
  if (!effect98_) SetFontColor(urlColStd_);
  // Moves back by what the press moved, so the label cannot creep when AllowDown changes
  // during a press or a release arrives without one.
  if (leftButton && shiftedBy_ != 0) ShiftDown(-shiftedBy_);
}

void TURLLabel::EndPress() {
  pressed_ = false;
  MouseUp(true);
}

void TURLLabel::MouseEnter() {
  if (!effect98_) return;
  SetFontColor(urlColPre_);
  if (labelType_ != hmCUSTOM) SetUnderline(true);
  Repaint();
}

void TURLLabel::MouseLeave() {
  if (!effect98_) return;
  SetFontColor(urlColStd_);
  if (labelType_ != hmCUSTOM) SetUnderline(false);
  Repaint();
}

void TURLLabel::SetUnderline(bool underline) {
  const BYTE style = underline ? TRUE : FALSE;
  if (face_.lfUnderline == style) return;
  face_.lfUnderline = style;
  font_.Reset(CreateFontIndirectA(&face_));
}

void TURLLabel::SetFontColor(COLORREF color) {
  if (fontColor_ == color) return;
  fontColor_ = color;
  Repaint();
}

void TURLLabel::ShiftDown(int pixels) {
  RECT frame;
  GetWindowRect(Handle(), &frame);
  POINT topLeft{frame.left, frame.top};
  ScreenToClient(GetParent(Handle()), &topLeft);
  SetWindowPos(Handle(), nullptr, topLeft.x, topLeft.y + pixels, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  shiftedBy_ += pixels;
}

void TURLLabel::Paint(HDC dc) {
  RECT client;
  GetClientRect(Handle(), &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  const SelectObjectGuard font(dc, font_.Get());
  SetTextColor(dc, fontColor_);
  SetBkMode(dc, TRANSPARENT);
  const std::string caption = Caption();
  DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &client,
            DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace kordane::ui
