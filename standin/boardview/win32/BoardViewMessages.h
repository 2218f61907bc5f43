// What other programs may ask the board view through window messages: the demo's driver and the
// window test use them to find where the view draws a board point and whether it has reloaded.
// Everything else they learn as a user would, from the status bar and the board file.
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

}  // namespace standin::boardview
