// Small Win32 helpers shared by the windows: RAII owners for handles, the window-procedure thunk
// that keeps exceptions out of Windows, control creation from a table, and the application's
// default error report.
#pragma once

#include <windows.h>

#include <exception>
#include <memory>
#include <span>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace kordane::ui {

// The application's title, shown on the main window and on the default error report.
inline constexpr const char* kApplicationTitle = "Kordane";

// Owner of a GDI object (font, brush, bitmap...). Deleted with DeleteObject.
template <typename T>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(T handle) : handle_(handle) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject(GdiObject&& other) noexcept : handle_(other.Release()) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  ~GdiObject() { Reset(); }
  T Get() const { return handle_; }
  T Release() { return std::exchange(handle_, nullptr); }
  void Reset(T handle = nullptr) {
    if (handle_ != nullptr) DeleteObject(handle_);
    handle_ = handle;
  }

 private:
  T handle_ = nullptr;
};

// Selects a GDI object into a device context for the lifetime of the guard.
class SelectObjectGuard {
 public:
  SelectObjectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  SelectObjectGuard(const SelectObjectGuard&) = delete;
  SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;
  ~SelectObjectGuard() { SelectObject(dc_, old_); }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A window destroyed with its owner object.
struct WindowDestroyer {
  void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// The font of the program's windows at a DPI: "MS Sans Serif", 8 point (height -11 at 96 DPI,
// -16 at 144), bold or not.
GdiObject<HFONT> CreateDialogFont(int dpi, bool bold);

// The default error report: a message box titled "Kordane" with the stop icon and an OK button,
// showing the error's text with a full stop appended when its last character sorts after ".".
std::string ErrorReportText(const std::string& message);
void ShowErrorReport(HWND owner, const std::string& message);

// Runs a handler; an exception that escapes it is shown by the default error report and goes no
// further, so it never crosses the window procedure.
template <typename Handler>
void Guarded(HWND owner, Handler&& handler) noexcept {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowErrorReport(owner, error.what());
  } catch (...) {
    ShowErrorReport(owner, "Unknown error");
  }
}

// One child control, positioned in pixels at 96 DPI relative to its parent.
struct ControlSpec {
  int id;
  int parentId;  // 0: the window itself; otherwise the id of a container control in the table
  const char* className;
  const char* text;
  DWORD style;
  DWORD exStyle;
  int left, top, width, height;
};

// Creates the controls of a table in order (containers before their children) with the given
// font, placed for the given DPI (ui/Dpi.h), and returns their handles in table order. A
// container that has children passes their notifications (commands, colours) on to the window,
// so handlers live in one place.
std::vector<HWND> CreateControls(HWND window, std::span<const ControlSpec> specs, HFONT font,
                                 int dpi);

// Places the controls of a table again, for another DPI, and gives them the font made for it.
void LayOutControls(std::span<const HWND> controls, std::span<const ControlSpec> specs, HFONT font,
                    int dpi);

// Owner of an icon loaded from a resource at its own size. Destroyed with DestroyIcon.
struct IconDestroyer {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer>;

// Base of a window class with a member message handler. The static procedure stores `this` on
// WM_NCCREATE and keeps every exception out of Windows. No window outlives its object: whatever
// window is left when the object goes is unhooked from it and destroyed, also when the object's
// constructor failed.
class WindowBase {
 public:
  WindowBase() = default;
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;
  virtual ~WindowBase();
  HWND Handle() const { return handle_; }

 protected:
  // Put right after a successful Create in a constructor that can still fail: when the
  // constructor ends by an exception, the window is unhooked and destroyed at once, before the
  // members already made are destroyed, so that no message (such as a child's WM_PARENTNOTIFY)
  // reaches them half gone.
  class DestroyOnFailure {
   public:
    explicit DestroyOnFailure(WindowBase& window)
        : window_(window), exceptions_(std::uncaught_exceptions()) {}
    DestroyOnFailure(const DestroyOnFailure&) = delete;
    DestroyOnFailure& operator=(const DestroyOnFailure&) = delete;
    ~DestroyOnFailure() {
      if (std::uncaught_exceptions() > exceptions_) window_.DestroyUnhooked();
    }

   private:
    WindowBase& window_;
    int exceptions_;
  };

  // Detaches the window from this object, then destroys it; its last messages get the default
  // handling. Nothing when there is no window.
  void DestroyUnhooked() noexcept;

  // Registers the class once per process; call before creating the first window.
  static void RegisterClassOnce(const char* className, HICON icon, HBRUSH background,
                                UINT style = 0);
  HWND Create(const char* className, const char* caption, DWORD style, DWORD exStyle, int left,
              int top, int clientWidth, int clientHeight, HWND owner);
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(handle_, message, wParam, lParam);
  }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;
  HWND handle_ = nullptr;
};

// Counts the program's own changes of controls while it lives: their notifications are its own.
class CountGuard {
 public:
  explicit CountGuard(int& counter) : counter_(counter) { ++counter_; }
  CountGuard(const CountGuard&) = delete;
  CountGuard& operator=(const CountGuard&) = delete;
  ~CountGuard() { --counter_; }

 private:
  int& counter_;
};

// WM_NEXTDLGCTL for a window that is not of the dialog class but runs under the dialog manager:
// the dialog keys send it for Tab and for the mnemonic of a label or group box, whose control
// then passes the focus on to the next one (into a group box that holds controls, to its first).
// lParam non-zero: focus wParam's control; otherwise the next (wParam 0) or previous tab stop.
LRESULT MoveDialogFocus(HWND window, WPARAM wParam, LPARAM lParam);

// WM_ACTIVATE of a window that keeps its focus like a dialog: when it goes inactive the focused
// control is remembered in lastFocus, and when it is activated again the focus goes back there
// (to fallback when there is none, and nowhere when fallback is null).
void KeepFocusOnActivate(HWND window, WPARAM wParam, HWND& lastFocus, HWND fallback);

// The text of a window or control.
std::string WindowText(HWND window);

// Sets a status bar's text (its simple panel's too), a path in it shortened in the middle so that
// the message's end fits the bar's width.
void SetStatusBarText(HWND statusBar, const std::string& text);

// Translates a message of the loop by the window's keyboard shortcuts: true when it was one.
// While an edit field has the focus, Ctrl+Z and Ctrl+Y take back what was typed there, as in
// every dialog, rather than a step of the window.
bool TranslateShortcut(HWND window, HACCEL shortcuts, MSG& message);

}  // namespace kordane::ui
