// Drives the program's modal windows from inside their own loop: steps run one per timer tick on
// this thread, and keys are posted as the keyboard would send them to a control.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

namespace kordane::testing {

// Runs steps, one per timer tick, inside whatever modal loop is running on this thread. With ready
// given, the first step waits for the tick at which ready() holds (the window is up and has the
// focus), however slowly the machine gets there.
class ModalScript {
 public:
  explicit ModalScript(std::vector<std::function<void()>> steps, std::function<bool()> ready = {})
      : steps_(std::move(steps)), ready_(std::move(ready)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 150, &Tick);
  }
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;
  ~ModalScript() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  bool Finished() const { return next_ == steps_.size(); }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (current_ == nullptr || current_->Finished()) return;
    if (current_->next_ == 0 && current_->ready_ && !current_->ready_()) return;
    current_->steps_[current_->next_++]();
  }
  static inline ModalScript* current_ = nullptr;
  std::vector<std::function<void()>> steps_;
  std::function<bool()> ready_;
  std::size_t next_ = 0;
  UINT_PTR timer_ = 0;
};

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
