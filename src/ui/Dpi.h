// The windows at any display scale. Every layout is written in pixels at 96 DPI (100 %); a
// window scales it to its own DPI when it is created, and again when WM_DPICHANGED tells it that
// it moved to a monitor of another scale: it takes the suggested rectangle, makes its fonts for
// the new DPI and lays out its controls again. At 96 DPI nothing changes a pixel.
//
// A window built from a ControlSpec table (ui/Win32Util.h) does:
//   dpi_ = WindowDpi(Handle());
//   SetScaledClientSize(Handle(), kClientWidth, kClientHeight, dpi_);
//   font_ = CreateDialogFont(dpi_, false);
//   controls_ = CreateControls(Handle(), kControls, font_.Get(), dpi_);
// and on WM_DPICHANGED:
//   dpi_ = DpiOfDpiChanged(wParam);
//   GdiObject<HFONT> font = CreateDialogFont(dpi_, false);
//   LayOutControls(controls_, kControls, font.Get(), dpi_);
//   font_ = std::move(font);
//   MoveToSuggestedRect(Handle(), lParam);
#pragma once

#include <windows.h>

#include "ui/DpiScale.h"
#include "ui/Win32Util.h"

namespace kordane::ui {

// The DPI of the monitor the window is on: GetDpiForWindow where the system has it (Windows 10
// 1607 and later, looked up at run time), else the screen's LOGPIXELSY; 96 when neither answers.
int WindowDpi(HWND window);

// A 96-DPI length at dpi: MulDiv(value, dpi, 96).
inline int Scale(int value, int dpi) {
  return ScaleToDpi(value, dpi);
}

// Resizes the window, keeping its top-left corner, so that its client area is the 96-DPI size
// scaled to dpi. Nothing at 96 DPI.
void SetScaledClientSize(HWND window, int clientWidth, int clientHeight, int dpi);

// The DPI that WM_DPICHANGED carries in its wParam.
inline int DpiOfDpiChanged(WPARAM wParam) {
  return HIWORD(wParam);
}

// WM_DPICHANGED: moves the window to the rectangle the system suggests (the message's lParam).
void MoveToSuggestedRect(HWND window, LPARAM suggested);

// The program's icon at its 32-pixel size scaled to dpi.
UniqueIcon LoadProgramIcon(int dpi);

// A cursor resource of 32 x 32 pixels at dpi; nullptr when the resource is missing.
struct CursorDestroyer {
  void operator()(HCURSOR cursor) const { DestroyCursor(cursor); }
};
using UniqueCursor = std::unique_ptr<std::remove_pointer_t<HCURSOR>, CursorDestroyer>;
UniqueCursor LoadScaledCursor(const char* name, int dpi);

// A bitmap resource stretched from its 96-DPI size to dpi; loaded as it is at 96 DPI.
GdiObject<HBITMAP> LoadScaledBitmap(int id, int dpi);

}  // namespace kordane::ui
