#include "ui/FramePlace.h"

#include <exception>
#include <optional>

#include "settings/WindowPlace.h"
#include "settings/win32/IniFileProfile.h"
#include "ui/FrameGeometry.h"

namespace kordane::ui {

namespace {

ScreenRect FromRect(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

RECT ToRect(const ScreenRect& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

std::optional<MONITORINFO> InfoOf(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitor == nullptr || !GetMonitorInfoA(monitor, &info)) return std::nullopt;
  return info;
}

ScreenRect FrameOf(HWND window) {
  RECT frame{};
  GetWindowRect(window, &frame);
  return FromRect(frame);
}

void MoveFrame(HWND window, const ScreenRect& frame) {
  SetWindowPos(window, nullptr, frame.left, frame.top, frame.Width(), frame.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void RestoreFramePlace(HWND window, HWND owner, const std::string& settingsPath,
                       const char* section) {
  std::optional<TWindowPlace> place;
  try {
    IniFileProfile profile(settingsPath, section);
    place = LoadWindowPlace(profile);
  } catch (const std::exception&) {
    place.reset();  // an unreadable file: the default place
  }
  ScreenRect frame = FrameOf(window);
  HMONITOR monitor = nullptr;
  if (place) {
    frame = AtWithSize(place->left, place->top, place->width, place->height);
    // A frame left on a screen that is no longer there comes back onto the nearest one.
    const RECT stored = ToRect(frame);
    monitor = MonitorFromRect(&stored, MONITOR_DEFAULTTONEAREST);
  } else {
    frame = CentredOn(FrameOf(owner), frame.Width(), frame.Height());
    monitor = MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST);
  }
  if (const auto info = InfoOf(monitor)) frame = FittedInto(frame, FromRect(info->rcWork));
  MoveFrame(window, frame);
}

void SaveFramePlace(HWND window, const std::string& settingsPath, const char* section) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(window, &placement)) return;
  ScreenRect frame = FromRect(placement.rcNormalPosition);
  if ((GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0) {
    if (const auto info = InfoOf(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST))) {
      frame = WorkspaceToScreen(frame, FromRect(info->rcMonitor), FromRect(info->rcWork));
    }
  }
  try {
    IniFileProfile profile(settingsPath, section);
    SaveWindowPlace(profile, {frame.left, frame.top, frame.Width(), frame.Height()});
  } catch (const SettingsWriteError&) {
    // The window still closes; it opens at its default place next time.
  }
}

void BringOntoAMonitor(HWND window) {
  const RECT frame = ToRect(FrameOf(window));
  if (MonitorFromRect(&frame, MONITOR_DEFAULTTONULL) != nullptr) return;
  if (const auto info = InfoOf(MonitorFromRect(&frame, MONITOR_DEFAULTTONEAREST))) {
    MoveFrame(window, MovedInto(FromRect(frame), FromRect(info->rcWork)));
  }
}

}  // namespace kordane::ui
