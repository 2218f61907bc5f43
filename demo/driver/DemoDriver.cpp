// Presses Go on a running Kordane.exe, answering any message box on the way, and closes it:
//   KordaneDriver go      prints the texts of the boxes that came up, then the status line
//   KordaneDriver rect    prints the window's frame as left top width height
//   KordaneDriver about   opens the About box from the popup menu; prints its frame
//   KordaneDriver ok      presses OK in the About box
//   KordaneDriver close   closes the window
// and watches a running BoardView.exe:
//   KordaneDriver view-rect        prints the board view's frame as left top width height
//   KordaneDriver view-loads       prints how many boards it has loaded from the file
//   KordaneDriver view-reloaded N  waits until it has loaded more than N
//   KordaneDriver view-close       closes it
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "BoardViewMessages.h"
#include "RemoteWindow.h"

using namespace kordane::remote;
using namespace std::chrono_literals;

namespace {

using standin::boardview::kMsgLoadCount;

HWND WaitForBoardView(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  do {
    HWND view = FindWindowA(standin::boardview::kWindowClass, nullptr);
    if (view != nullptr && IsWindowVisible(view)) return view;
    std::this_thread::sleep_for(50ms);
  } while (std::chrono::steady_clock::now() < deadline);
  return nullptr;
}

long LoadsOf(HWND view) {
  DWORD_PTR loads = 0;
  SendMessageTimeoutA(view, kMsgLoadCount, 0, 0, SMTO_ABORTIFHUNG, 5000, &loads);
  return static_cast<long>(loads);
}

int DriveBoardView(const std::string& command, const char* argument) {
  const HWND view = WaitForBoardView(30s);
  if (view == nullptr) {
    std::fprintf(stderr, "the board view's window did not appear\n");
    return 1;
  }
  if (command == "view-rect") {
    RECT frame{};
    GetWindowRect(view, &frame);
    std::printf("%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
                frame.bottom - frame.top);
  } else if (command == "view-loads") {
    std::printf("%ld\n", LoadsOf(view));
  } else if (command == "view-reloaded" && argument != nullptr) {
    const long before = std::strtol(argument, nullptr, 10);
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (LoadsOf(view) <= before) {
      if (std::chrono::steady_clock::now() > deadline) {
        std::fprintf(stderr, "the board view did not reload the board\n");
        return 1;
      }
      std::this_thread::sleep_for(50ms);
    }
  } else if (command == "view-close") {
    PostMessageA(view, WM_CLOSE, 0, 0);
  } else {
    std::fprintf(stderr, "unknown command %s\n", command.c_str());
    return 2;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strncmp(argv[1], "view-", 5) == 0 && argc <= 3) {
    return DriveBoardView(argv[1], argc == 3 ? argv[2] : nullptr);
  }
  if (argc != 2) {
    std::fprintf(stderr,
                 "usage: KordaneDriver go|rect|about|ok|close|view-rect|view-loads|"
                 "view-reloaded N|view-close\n");
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
