// The modal loop shared by the program's own modal windows (the About box, the preview): the
// owner is disabled for the loop's lifetime, and the dialog manager gives the window Tab, Enter
// and Escape.
#pragma once

#include <windows.h>

namespace kordane::ui {

// Enables a window again when the modal loop ends, however it ends.
class ReenableOnExit {
 public:
  explicit ReenableOnExit(HWND window) : window_(window) { EnableWindow(window_, FALSE); }
  ReenableOnExit(const ReenableOnExit&) = delete;
  ReenableOnExit& operator=(const ReenableOnExit&) = delete;
  ~ReenableOnExit() {
    if (window_ != nullptr) EnableWindow(window_, TRUE);
  }

 private:
  HWND window_;
};

// Pumps messages until result turns non-zero or the window goes; a WM_QUIT met on the way is
// posted again for the program's own loop. The window's keyboard shortcuts, when it has any, come
// before the dialog keys. Returns result.
int RunModalLoop(HWND window, const int& result, HACCEL shortcuts = nullptr);

}  // namespace kordane::ui
