// What other programs may ask the board view through window messages: the demo's driver and the
// window test use them to find where the view draws a board point, what it shows there and
// whether it has reloaded. Everything else they learn as a user would, from the status bar and
// the board file.
#pragma once

#include <windows.h>

namespace standin::boardview {

inline constexpr const char* kWindowClass = "TBoardView";
inline constexpr int kStatusBarId = 100;

// wParam, lParam: a board point's X and Y in database units (signed 32 bits). Returns the client
// pixel the view shows it at, as MAKELRESULT(x, y) of signed 16-bit values.
inline constexpr UINT kMsgBoardToClient = WM_APP + 1;
// Returns the number of boards loaded from the file so far (the view's own writes not counted).
inline constexpr UINT kMsgLoadCount = WM_APP + 2;
// lParam: a client pixel as MAKELPARAM(x, y). Returns 1 + the index in the board file's items of
// what a click there would find (the scene as drawn, the click's own hit-test), 0 for nothing.
inline constexpr UINT kMsgItemAt = WM_APP + 3;

}  // namespace standin::boardview
