// Answers the message boxes that code under test shows on this thread: records each box's title
// and text and presses OK, so that a modal box never blocks a test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kordane::testing {

struct CaughtBox {
  std::string title;
  std::string text;
};

class MessageBoxCatcher {
 public:
  MessageBoxCatcher() {
    current_ = this;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, &Hook, nullptr, GetCurrentThreadId());
  }
  MessageBoxCatcher(const MessageBoxCatcher&) = delete;
  MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;
  ~MessageBoxCatcher() {
    UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }

  const std::vector<CaughtBox>& Boxes() const { return boxes_; }
  void Clear() { boxes_.clear(); }

 private:
  static std::string TextOf(HWND window) {
    char buffer[1024] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
  }

  // Caught when the box has set itself up, not when it is activated: a box that opens while
  // another program holds the activation must not wait for it.
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && current_ != nullptr && call->message == WM_INITDIALOG) {
      const HWND window = call->hwnd;
      char className[32] = {};
      GetClassNameA(window, className, sizeof className);
      if (std::string(className) == "#32770") {
        const HWND text = GetDlgItem(window, 0xFFFF);
        current_->boxes_.push_back({TextOf(window), text != nullptr ? TextOf(text) : ""});
        PostMessageA(window, WM_COMMAND, IDOK, 0);
      }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static inline MessageBoxCatcher* current_ = nullptr;
  HHOOK hook_ = nullptr;
  std::vector<CaughtBox> boxes_;
};

}  // namespace kordane::testing
