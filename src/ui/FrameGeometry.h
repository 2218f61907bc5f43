// Where a window's frame goes on the screen. Needs no <windows.h>, so the arithmetic is tested
// natively; the windows pass their RECTs through it.
#pragma once

#include <algorithm>

namespace kordane {

// A rectangle in pixels with its edges as a RECT has them: right and bottom lie just outside.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

constexpr ScreenRect AtWithSize(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}

// GetWindowPlacement gives a top-level window's normal frame in workspace coordinates, whose
// origin is the top-left corner of the work area of the window's monitor, where SetWindowPos takes
// screen coordinates: they differ by the width of a taskbar on the left or the height of one at
// the top.
constexpr ScreenRect WorkspaceToScreen(const ScreenRect& frame, const ScreenRect& monitor,
                                       const ScreenRect& work) {
  const int dx = work.left - monitor.left;
  const int dy = work.top - monitor.top;
  return {frame.left + dx, frame.top + dy, frame.right + dx, frame.bottom + dy};
}

// The frame moved as little as puts it inside the area, its size kept; one larger than the area
// keeps its top-left corner in it.
constexpr ScreenRect MovedInto(const ScreenRect& frame, const ScreenRect& area) {
  const int left = std::max(area.left, std::min(frame.left, area.right - frame.Width()));
  const int top = std::max(area.top, std::min(frame.top, area.bottom - frame.Height()));
  return AtWithSize(left, top, frame.Width(), frame.Height());
}

// The frame cut to the area's size where it is larger, then moved into it.
constexpr ScreenRect FittedInto(const ScreenRect& frame, const ScreenRect& area) {
  return MovedInto(AtWithSize(frame.left, frame.top, std::min(frame.Width(), area.Width()),
                              std::min(frame.Height(), area.Height())),
                   area);
}

// A frame of the given size with the same centre as another.
constexpr ScreenRect CentredOn(const ScreenRect& other, int width, int height) {
  return AtWithSize(other.left + (other.Width() - width) / 2,
                    other.top + (other.Height() - height) / 2, width, height);
}

}  // namespace kordane
