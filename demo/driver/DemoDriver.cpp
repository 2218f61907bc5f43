// Presses Go on a running Kordane.exe, answering any message box on the way, and closes it:
//   KordaneDriver go      prints the texts of the boxes that came up, then the status line
//   KordaneDriver rect    prints the window's frame as left top width height
//   KordaneDriver about   opens the About box from the popup menu; prints its frame
//   KordaneDriver ok      presses OK in the About box
//   KordaneDriver close   closes the window
#include <cstdio>
#include <cstring>

#include "RemoteWindow.h"

using namespace kordane::remote;
using namespace std::chrono_literals;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: KordaneDriver go|rect|about|ok|close\n");
    return 2;
  }
  const HWND window = WaitForMainWindow(0, 30s);
  if (window == nullptr) {
    std::fprintf(stderr, "Kordane's window did not appear\n");
    return 1;
  }
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  const std::string command = argv[1];
  if (command == "go") {
    constexpr int kGoButton = 100;
    Click(FindControl(window, kGoButton));
    for (const std::string& text : WaitIdle(window, processId, 60s)) {
      std::printf("message box %s\n", text.c_str());
    }
    constexpr int kStatusBar = 111;
    std::printf("status line \"%s\"\n", TextOf(FindControl(window, kStatusBar)).c_str());
  } else if (command == "rect") {
    RECT frame{};
    GetWindowRect(window, &frame);
    std::printf("%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
                frame.bottom - frame.top);
  } else if (command == "about") {
    constexpr int kAboutCommand = 200;
    PostMessageA(window, WM_COMMAND, kAboutCommand, 0);
    HWND about = nullptr;
    for (int i = 0; i < 100 && about == nullptr; ++i) {
      std::this_thread::sleep_for(100ms);
      about = FindWindowA("TAboutBox", "About");
    }
    if (about == nullptr) {
      std::fprintf(stderr, "the About box did not open\n");
      return 1;
    }
    RECT frame{};
    GetWindowRect(about, &frame);
    std::printf("%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
                frame.bottom - frame.top);
  } else if (command == "ok") {
    if (HWND about = FindWindowA("TAboutBox", "About")) {
      PostMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    }
  } else if (command == "close") {
    PostMessageA(window, WM_CLOSE, 0, 0);
  } else {
    std::fprintf(stderr, "unknown command %s\n", command.c_str());
    return 2;
  }
  return 0;
}
