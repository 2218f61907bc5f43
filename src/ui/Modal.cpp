#include "ui/Modal.h"

namespace kordane::ui {

int RunModalLoop(HWND window, const int& result, HACCEL shortcuts) {
  MSG message;
  while (result == 0 && IsWindow(window)) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got <= 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (shortcuts != nullptr && TranslateAcceleratorA(window, shortcuts, &message) != 0) continue;
    if (IsDialogMessageA(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return result;
}

}  // namespace kordane::ui
