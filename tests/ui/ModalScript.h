// Drives the program's modal windows from inside their own loop: steps run one per timer tick on
// this thread, and keys are posted as the keyboard would send them to a control.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <concepts>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kordane::testing {

// A step of a script: what it waits for (nothing, when ready is empty), then what it does. Named,
// so that a script that stalls says where.
struct ScriptStep {
  // A plain lambda is a step that waits for nothing.
  template <std::invocable F>
  ScriptStep(F action) : act(std::move(action)) {}  // NOLINT(google-explicit-constructor)
  ScriptStep(std::string stepName, std::function<bool()> until, std::function<void()> action)
      : name(std::move(stepName)), ready(std::move(until)), act(std::move(action)) {}

  std::string name;
  std::function<bool()> ready;
  std::function<void()> act;
};

// This thread's top-level windows, and a line on each for a failure's message.
std::vector<HWND> ThreadWindows();
std::string DescribeWindows(const std::vector<HWND>& windows);

// Runs steps, one per timer tick, inside whatever modal loop is running on this thread. A step
// with a ready condition runs at the first tick at which it holds; with ready given for the whole
// script, the first step also waits until it holds (the window is up and has the focus), however
// slowly the machine gets there.
//
// A watchdog guards every script: when it has not finished within the limit, the test fails
// with the step it was waiting at and the windows then open, and the windows that opened since
// the script began are destroyed, which ends the modal loops that run them. The test then goes on
// and fails on what it finds, instead of waiting for CTest to kill the whole run.
class ModalScript {
 public:
  static constexpr std::chrono::milliseconds kDefaultLimit{30000};

  explicit ModalScript(std::vector<ScriptStep> steps, std::function<bool()> ready = {},
                       std::chrono::milliseconds limit = kDefaultLimit)
      : steps_(std::move(steps)), limit_(limit), before_(ThreadWindows()) {
    if (ready && !steps_.empty()) {
      ScriptStep& first = steps_.front();
      first.ready = first.ready ? [all = std::move(ready),
                                   own = std::move(first.ready)] { return all() && own(); }
                                : std::move(ready);
    }
    start_ = std::chrono::steady_clock::now();
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 100, &Tick);
  }
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;
  ~ModalScript() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  bool Finished() const { return next_ == steps_.size(); }
  bool TimedOut() const { return timedOut_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalScript* script = current_;
    if (script == nullptr || script->Finished() || script->timedOut_) return;
    if (std::chrono::steady_clock::now() - script->start_ > script->limit_) {
      script->GiveUp();
      return;
    }
    ScriptStep& step = script->steps_[script->next_];
    if (step.ready && !step.ready()) return;
    // Counted first: a step that opens a modal window of its own runs the next steps from inside
    // that window's loop.
    ++script->next_;
    step.act();
  }

  void GiveUp() {
    timedOut_ = true;
    const ScriptStep& step = steps_[next_];
    const std::vector<HWND> open = ThreadWindows();
    ADD_FAILURE() << "the script did not finish within " << limit_.count()
                  << " ms: waiting at step " << next_ + 1 << " of " << steps_.size()
                  << (step.name.empty() ? "" : " (" + step.name + ")") << "; windows open:\n"
                  << DescribeWindows(open);
    // In Z order: an owned window goes before its owner.
    for (const HWND window : open) {
      const bool opened = std::find(before_.begin(), before_.end(), window) == before_.end();
      if (opened && IsWindow(window) && IsWindowVisible(window)) {
        DestroyWindow(window);
      }
    }
  }

  static inline ModalScript* current_ = nullptr;
  std::vector<ScriptStep> steps_;
  std::chrono::milliseconds limit_;
  std::vector<HWND> before_;
  std::chrono::steady_clock::time_point start_;
  std::size_t next_ = 0;
  bool timedOut_ = false;
  UINT_PTR timer_ = 0;
};

inline std::vector<HWND> ThreadWindows() {
  struct Collect {
    static BOOL CALLBACK Add(HWND window, LPARAM found) {
      reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
      return TRUE;
    }
  };
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), &Collect::Add, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

inline std::string DescribeWindows(const std::vector<HWND>& windows) {
  const auto describe = [](HWND window) {
    if (window == nullptr) return std::string("none");
    char className[64] = {};
    char caption[128] = {};
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    return std::string(className) + " \"" + caption + "\"";
  };
  std::string text;
  for (const HWND window : windows) {
    text += "  " + describe(window) + (IsWindowVisible(window) ? ", visible" : ", hidden") +
            (IsWindowEnabled(window) ? "" : ", disabled") + "\n";
  }
  text += "  focus: " + describe(GetFocus()) + "; active: " + describe(GetActiveWindow()) +
          "; foreground: " + describe(GetForegroundWindow()) + "\n";
  return text;
}

// The keyboard focus is on the window or one of its controls: a key posted to GetFocus() then
// reaches it. Another program's window, or the desktop, may hold the activation for a while.
inline bool FocusIn(HWND window) {
  const HWND focus = GetFocus();
  return window != nullptr && focus != nullptr && (focus == window || IsChild(window, focus));
}

// A step that presses keys where the focus is: it waits until the focus is in the window that
// window() finds.
inline ScriptStep WithFocusIn(std::string name, HWND (*window)(), std::function<void()> act) {
  return {std::move(name), [window] { return FocusIn(window()); }, std::move(act)};
}

inline void PressKey(HWND target, WPARAM key) {
  PostMessageA(target, WM_KEYDOWN, key, 0);
  PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000000u));
}

// A modifier key as the keyboard state shows it, for the loop that translates the keys posted
// meanwhile.
inline void HoldKey(int key, bool held) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[key] = held ? 0x80 : 0;
  SetKeyboardState(keys);
}

inline void HoldControl(bool held) {
  HoldKey(VK_CONTROL, held);
}

}  // namespace kordane::testing
