#include "ui/Win32Util.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/DpiScale.h"
#include "ui/StatusText.h"

namespace kordane::ui {

GdiObject<HFONT> CreateDialogFont(int dpi, bool bold) {
  LOGFONTA font{};
  font.lfHeight = -PointsToPixels(8, dpi);
  font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  lstrcpynA(font.lfFaceName, "MS Sans Serif", LF_FACESIZE);
  return GdiObject<HFONT>(CreateFontIndirectA(&font));
}

std::string ErrorReportText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

void ShowErrorReport(HWND owner, const std::string& message) {
  MessageBoxA(owner, ErrorReportText(message).c_str(), kApplicationTitle, MB_OK | MB_ICONSTOP);
}

namespace {

// Passes a container's child notifications on to its top-level window.
LRESULT CALLBACK ForwardToWindow(HWND container, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      return SendMessageA(GetAncestor(container, GA_ROOT), message, wParam, lParam);
    case WM_ERASEBKGND: {
      // A container has the window's face colour behind its children.
      RECT client{};
      GetClientRect(container, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
      return TRUE;
    }
    default:
      return DefSubclassProc(container, message, wParam, lParam);
  }
}

LayoutRect PlaceOf(const ControlSpec& spec, int dpi) {
  return ScaleToDpi(LayoutRect{spec.left, spec.top, spec.width, spec.height}, dpi);
}

// A drop-down combo box is as high as its font makes it, with borders that do not grow with the
// font. At another DPI than 96 it is given the height of the table, scaled, so that it keeps
// lining up with its neighbours. The closed box is its selection field plus borders; Wine adds a
// padding to the field height it is given, which the second round takes out.
void FitComboBoxHeight(HWND combo, const LayoutRect& place) {
  LRESULT field = SendMessageA(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  for (int round = 0; round < 3 && field != CB_ERR; ++round) {
    RECT closed{};
    GetWindowRect(combo, &closed);
    field -= static_cast<int>(closed.bottom - closed.top) - place.height;
    if (closed.bottom - closed.top == place.height || field <= 0) return;
    SendMessageA(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
  }
}

// Text does not grow in proportion to the DPI: a font's height is rounded to whole pixels and
// its glyphs are hinted. A label whose text would be cut at another DPI than 96 is widened to
// its text; one of several lines wraps it instead.
void FitLabelWidth(HWND label, const LayoutRect& place) {
  const std::string text = WindowText(label);
  const HDC dc = GetDC(label);
  SIZE size{};
  {
    SelectObjectGuard font(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  }
  ReleaseDC(label, dc);
  // A label of several lines wraps its text instead.
  if (size.cx > place.width && place.height < 2 * size.cy) {
    SetWindowPos(label, nullptr, 0, 0, size.cx, place.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// What the scale changes beyond the table's rectangles; nothing at 96 DPI.
void FitToText(HWND control, const ControlSpec& spec, const LayoutRect& place, int dpi) {
  if (dpi == kDefaultDpi) return;
  if (lstrcmpiA(spec.className, "COMBOBOX") == 0) FitComboBoxHeight(control, place);
  const DWORD type = spec.style & SS_TYPEMASK;
  if (lstrcmpiA(spec.className, "STATIC") == 0 &&
      (type == SS_LEFT || type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE)) {
    FitLabelWidth(control, place);
  }
}

}  // namespace

std::vector<HWND> CreateControls(HWND window, std::span<const ControlSpec> specs, HFONT font,
                                 int dpi) {
  std::vector<HWND> handles;
  handles.reserve(specs.size());
  const auto handleOf = [&](int id) {
    for (std::size_t i = 0; i < handles.size(); ++i) {
      if (specs[i].id == id) return handles[i];
    }
    return window;
  };
  for (const ControlSpec& spec : specs) {
    const HWND parent = spec.parentId == 0 ? window : handleOf(spec.parentId);
    const LayoutRect place = PlaceOf(spec, dpi);
    const HWND control = CreateWindowExA(
        spec.exStyle, spec.className, spec.text, spec.style | WS_CHILD, place.left, place.top,
        place.width, place.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)),
        GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    FitToText(control, spec, place, dpi);
    handles.push_back(control);
  }
  for (const ControlSpec& spec : specs) {
    const bool isContainer = std::any_of(specs.begin(), specs.end(), [&](const ControlSpec& child) {
      return child.parentId == spec.id;
    });
    if (isContainer) SetWindowSubclass(handleOf(spec.id), &ForwardToWindow, 1, 0);
  }
  return handles;
}

void LayOutControls(std::span<const HWND> controls, std::span<const ControlSpec> specs, HFONT font,
                    int dpi) {
  for (std::size_t i = 0; i < specs.size() && i < controls.size(); ++i) {
    const LayoutRect place = PlaceOf(specs[i], dpi);
    SendMessageA(controls[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    MoveWindow(controls[i], place.left, place.top, place.width, place.height, TRUE);
    FitToText(controls[i], specs[i], place, dpi);
  }
}

void WindowBase::RegisterClassOnce(const char* className, HICON icon, HBRUSH background,
                                   UINT style) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(GetModuleHandleA(nullptr), className, &existing)) return;
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = style;
  windowClass.lpfnWndProc = &WindowBase::WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hIcon = icon;
  // None: the system then takes the small icon's own art from the icon's resource, not the large
  // icon scaled down.
  windowClass.hIconSm = nullptr;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = className;
  RegisterClassExA(&windowClass);
}

HWND WindowBase::Create(const char* className, const char* caption, DWORD style, DWORD exStyle,
                        int left, int top, int clientWidth, int clientHeight, HWND owner) {
  RECT frame{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  return CreateWindowExA(exStyle, className, caption, style, left, top, frame.right - frame.left,
                         frame.bottom - frame.top, owner, nullptr, GetModuleHandleA(nullptr), this);
}

WindowBase::~WindowBase() {
  // The derived part is gone by now, so nothing may reach HandleMessage any more.
  DestroyUnhooked();
}

void WindowBase::DestroyUnhooked() noexcept {
  const HWND window = std::exchange(handle_, nullptr);
  if (window == nullptr) return;
  SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  DestroyWindow(window);
}

LRESULT CALLBACK WindowBase::WindowProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* self = static_cast<WindowBase*>(create->lpCreateParams);
    self->handle_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  LRESULT result = 0;
  bool handled = false;
  Guarded(window, [&] {
    result = self->HandleMessage(message, wParam, lParam);
    handled = true;
  });
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->handle_ = nullptr;
  }
  return handled ? result : DefWindowProcA(window, message, wParam, lParam);
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

namespace {

// Focuses a control as the dialog manager does: an edit's text is selected whole.
void FocusLikeADialog(HWND control) {
  SetFocus(control);
  if ((SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0) {
    SendMessageA(control, EM_SETSEL, 0, -1);
  }
}

}  // namespace

LRESULT MoveDialogFocus(HWND window, WPARAM wParam, LPARAM lParam) {
  const HWND focus = GetFocus();
  const bool container =
      focus != nullptr && (GetWindowLongA(focus, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0;
  if (LOWORD(lParam) == 0 && wParam == 0 && container) {
    // On from a group box that holds controls: into it, to its first.
    if (const HWND inside = GetNextDlgTabItem(focus, nullptr, FALSE)) {
      FocusLikeADialog(inside);
      return 0;
    }
  }
  const HWND next = LOWORD(lParam) != 0
                        ? reinterpret_cast<HWND>(wParam)
                        : GetNextDlgTabItem(window, focus, wParam != 0 ? TRUE : FALSE);
  if (next != nullptr) FocusLikeADialog(next);
  return 0;
}

void KeepFocusOnActivate(HWND window, WPARAM wParam, HWND& lastFocus, HWND fallback) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    const HWND focus = GetFocus();
    if (focus != nullptr && IsChild(window, focus)) lastFocus = focus;
    return;
  }
  const HWND target = lastFocus != nullptr && IsWindow(lastFocus) ? lastFocus : fallback;
  if (target != nullptr) SetFocus(target);
}

bool TranslateShortcut(HWND window, HACCEL shortcuts, MSG& message) {
  if (window == nullptr || shortcuts == nullptr) return false;
  const bool editingKey = message.message == WM_KEYDOWN &&
                          (message.wParam == 'Z' || message.wParam == 'Y') &&
                          GetKeyState(VK_CONTROL) < 0;
  if (editingKey) {
    char className[16] = {};
    GetClassNameA(GetFocus(), className, sizeof className);
    if (lstrcmpiA(className, "Edit") == 0) return false;
  }
  return TranslateAcceleratorA(window, shortcuts, &message) != 0;
}

void SetStatusBarText(HWND statusBar, const std::string& text) {
  RECT client{};
  GetClientRect(statusBar, &client);
  // Room for the bar's borders and its size grip.
  const LONG room = client.right - client.left - 2 * GetSystemMetrics(SM_CXVSCROLL);
  const HDC dc = GetDC(statusBar);
  std::string shown = text;
  if (dc != nullptr) {
    const auto font = reinterpret_cast<HFONT>(SendMessageA(statusBar, WM_GETFONT, 0, 0));
    const SelectObjectGuard selected(dc, font);
    shown = ShortenedPathToFit(text, [dc, room](const std::string& candidate) {
      SIZE size{};
      GetTextExtentPoint32A(dc, candidate.c_str(), static_cast<int>(candidate.size()), &size);
      return size.cx <= room;
    });
    ReleaseDC(statusBar, dc);
  }
  // The simple panel shows the text; the first part holds it too, for WM_GETTEXT, which reads
  // that part.
  const auto lParam = reinterpret_cast<LPARAM>(shown.c_str());
  SendMessageA(statusBar, SB_SETTEXTA, SB_SIMPLEID, lParam);
  SendMessageA(statusBar, SB_SETTEXTA, 0, lParam);
}

}  // namespace kordane::ui
