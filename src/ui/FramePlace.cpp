#include "ui/FramePlace.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "settings/WindowPlace.h"
#include "settings/win32/IniFileProfile.h"

namespace kordane::ui {

void RestoreFramePlace(HWND window, HWND owner, const std::string& settingsPath,
                       const char* section) {
  std::optional<TWindowPlace> place;
  try {
    IniFileProfile profile(settingsPath, section);
    place = LoadWindowPlace(profile);
  } catch (const std::exception&) {
    place.reset();  // an unreadable file: the default place
  }
  RECT frame{};
  GetWindowRect(window, &frame);
  if (place) {
    frame = RECT{place->left, place->top, place->left + place->width, place->top + place->height};
  } else {
    // Centred on the owner.
    RECT ownerFrame{};
    GetWindowRect(owner, &ownerFrame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (ownerFrame.left + ownerFrame.right - width) / 2;
    const int top = (ownerFrame.top + ownerFrame.bottom - height) / 2;
    frame = RECT{left, top, left + width, top + height};
  }
  // A frame left on a screen that is no longer there comes back onto the nearest one.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoA(MonitorFromRect(&frame, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    const int width = std::min<LONG>(frame.right - frame.left, work.right - work.left);
    const int height = std::min<LONG>(frame.bottom - frame.top, work.bottom - work.top);
    const int left = std::clamp<LONG>(frame.left, work.left, work.right - width);
    const int top = std::clamp<LONG>(frame.top, work.top, work.bottom - height);
    frame = RECT{left, top, left + width, top + height};
  }
  SetWindowPos(window, nullptr, frame.left, frame.top, frame.right - frame.left,
               frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SaveFramePlace(HWND window, const std::string& settingsPath, const char* section) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(window, &placement)) return;
  const RECT& frame = placement.rcNormalPosition;
  try {
    IniFileProfile profile(settingsPath, section);
    SaveWindowPlace(profile,
                    {frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top});
  } catch (const SettingsWriteError&) {
    // The window still closes; it opens at its default place next time.
  }
}

}  // namespace kordane::ui
