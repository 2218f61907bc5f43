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

// The font of the program's windows: "MS Sans Serif", 8 point (height -11), optionally bold.
GdiObject<HFONT> CreateDialogFont(bool bold = false);

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

// One child control, positioned in pixels relative to its parent.
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
// font, and returns their handles in table order. A container that has children passes their
// notifications (commands, colours) on to the window, so handlers live in one place.
std::vector<HWND> CreateControls(HWND window, std::span<const ControlSpec> specs, HFONT font);

// Base of a window class with a member message handler. The static procedure stores `this` on
// WM_NCCREATE and keeps every exception out of Windows.
class WindowBase {
 public:
  WindowBase() = default;
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;
  virtual ~WindowBase() = default;
  HWND Handle() const { return handle_; }

 protected:
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

// The text of a window or control.
std::string WindowText(HWND window);

}  // namespace kordane::ui
