// Scope guards shared by the actions that talk to the host (the placement run and its undo):
// the hour-glass, the connection's close, and the count of changes the host refused. Each one's
// destructor is its part of the action's cleanup, which runs however the action ends.
#pragma once

#include <cstdint>
#include <string>

#include "host/DbxCalls.h"
#include "placement/PlacementRun.h"

namespace kordane::run_guards {

inline constexpr const char* kConnectedText = "Connected";

// Cleanup must not throw: it runs while an error of the action may be on its way out.
template <typename Action>
void Quietly(Action&& action) noexcept {
  try {
    action();
  } catch (...) {
    // Nothing left to tell the user through: the action's own error (if any) is what they see.
  }
}

class WaitCursor {
 public:
  explicit WaitCursor(IPlacementView& view) : view_(view) { view_.BeginWaitCursor(); }
  ~WaitCursor() {
    Quietly([this] { view_.EndWaitCursor(); });
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  IPlacementView& view_;
};

// Opens the connection on request; closes it, when it was opened, and clears the status line.
class Connection {
 public:
  Connection(IDbxCalls& host, IPlacementView& view, bool& designOpen)
      : host_(host), view_(view), designOpen_(designOpen) {}
  ~Connection() {
    if (!designOpen_) {
      return;
    }
    host_.CloseDesign(&DbxContext, kCloseMessage);
    designOpen_ = false;
    Quietly([this] { view_.SetStatusText(""); });
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // The status line shows "Connected", or the library's text of the failure.
  bool Open() {
    const std::int32_t status =
        host_.OpenDesign(kOpenDbType, kOpenTimeout, kOpenDesignName, &DbxContext);
    if (status != 0) {
      view_.SetStatusText(host_.StatusText(status));
      return false;
    }
    designOpen_ = true;
    view_.SetStatusText(kConnectedText);
    return true;
  }

 private:
  IDbxCalls& host_;
  IPlacementView& view_;
  bool& designOpen_;
};

// Counts the rotations and moves the host refused; when there were any, the status line says
// so once the connection is closed.
class ChangeTally {
 public:
  ChangeTally(const IDbxCalls& host, IPlacementView& view) : host_(host), view_(view) {}
  ~ChangeTally() {
    if (failures_ == 0) {
      return;
    }
    Quietly([this] {
      view_.SetStatusText(host_.StatusText(firstFailure_) + " (" + std::to_string(failures_) +
                          " of " + std::to_string(calls_) + " changes failed)");
    });
  }
  ChangeTally(const ChangeTally&) = delete;
  ChangeTally& operator=(const ChangeTally&) = delete;

  void Count(std::int32_t status) {
    ++calls_;
    if (status != 0) {
      if (failures_ == 0) {
        firstFailure_ = status;
      }
      ++failures_;
    }
  }

 private:
  const IDbxCalls& host_;
  IPlacementView& view_;
  std::int64_t calls_ = 0;
  std::int64_t failures_ = 0;
  std::int32_t firstFailure_ = 0;
};

}  // namespace kordane::run_guards
