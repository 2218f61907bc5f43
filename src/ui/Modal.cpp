#include "ui/Modal.h"

#include "ui/Win32Util.h"

namespace kordane::ui {

int RunModalLoop(HWND window, const int& result, HACCEL shortcuts) {
  MSG message;
  while (result == 0 && IsWindow(window)) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got <= 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (TranslateShortcut(window, shortcuts, message)) continue;
    if (IsDialogMessageA(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return result;
}

}  // namespace kordane::ui
