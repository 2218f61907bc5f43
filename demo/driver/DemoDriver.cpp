// Presses Go on a running Kordane.exe, answering any message box on the way, and closes it:
//   KordaneDriver go      prints the texts of the boxes that came up, then the status line
//   KordaneDriver rect    prints the window's frame as left top width height
//   KordaneDriver about   opens the About box from the popup menu; prints its frame
//   KordaneDriver ok      presses OK in the About box
//   KordaneDriver preview opens the preview from the popup menu; prints its frame
//   KordaneDriver shut    closes the preview
//   KordaneDriver undo    presses Ctrl+Z in the window; waits until the board beside it changes
//   KordaneDriver arrange opens the Arrange window from the popup menu; prints its frame
//   KordaneDriver apply   presses Apply in the Arrange window; waits until the board changes
//   KordaneDriver arrange-zoom   zooms the Arrange window's picture in by three notches of the
//                         wheel about the middle of its top half; prints the window's frame
//   KordaneDriver arrange-close  closes the Arrange window
//   KordaneDriver close   closes the window
// and watches a running BoardView.exe:
//   KordaneDriver view-rect        prints the board view's frame as left top width height
//   KordaneDriver view-loads       prints how many boards it has loaded from the file
//   KordaneDriver view-reloaded N  waits until it has loaded more than N
//   KordaneDriver view-fit         fits the whole board into the view (Home)
//   KordaneDriver view-close       closes it
// Every frame is printed once its window has settled: shown, painted and no longer moving.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "BoardViewMessages.h"
#include "RemoteWindow.h"

using namespace kordane::remote;
using namespace std::chrono_literals;

namespace {

std::string BoardText() {
  std::ifstream file("board.txt", std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Waits until a window has settled where the screenshot will find it: shown, its thread waiting
// for input again, nothing of it left to paint, and its frame the same over several polls. A
// window is found as soon as it is created, while it is still hidden at its first place: it is
// moved to its own place (e.g. centred on its owner) and laid out before it is shown.
bool WaitSettled(HWND window, std::chrono::milliseconds timeout) {
  constexpr int kStablePolls = 4;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  RECT last{};
  int stable = 0;
  while (std::chrono::steady_clock::now() < deadline && IsWindow(window)) {
    RECT frame{};
    GetWindowRect(window, &frame);
    bool settled = false;
    DWORD_PTR result = 0;
    if (IsWindowVisible(window) && !IsIconic(window) &&
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0) {
      // Its thread answers: have it paint what is still invalid now, then check that it did.
      RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      settled = GetUpdateRect(window, nullptr, FALSE) == FALSE;
    }
    stable = settled && EqualRect(&frame, &last) ? stable + 1 : 0;
    last = frame;
    if (stable >= kStablePolls) return true;
    std::this_thread::sleep_for(100ms);
  }
  return false;
}

// A window's frame as "left top width height", once it has settled; nothing when it did not.
bool PrintFrame(HWND window) {
  if (!WaitSettled(window, 30s)) {
    std::fprintf(stderr, "the window did not settle\n");
    return false;
  }
  RECT frame{};
  GetWindowRect(window, &frame);
  std::printf("%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
              frame.bottom - frame.top);
  return true;
}

// Closes a window by the message given and waits until it has gone; false when it stays.
bool CloseAndWait(HWND window, HWND target, UINT message, std::chrono::milliseconds timeout) {
  if (window == nullptr) return true;
  PostMessageA(target, message, 0, 0);
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (IsWindow(window) && IsWindowVisible(window)) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

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
  const HWND view = WaitForBoardView(60s);
  if (view == nullptr) {
    std::fprintf(stderr, "the board view's window did not appear\n");
    return 1;
  }
  if (command == "view-rect") {
    if (!PrintFrame(view)) return 1;
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
    // And shows it.
    if (!WaitSettled(view, 30s)) return 1;
  } else if (command == "view-fit") {
    PostMessageA(view, WM_KEYDOWN, VK_HOME, 0);
    if (!WaitSettled(view, 30s)) return 1;
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
    std::fprintf(
        stderr,
        "usage: KordaneDriver go|rect|about|ok|preview|shut|undo|arrange|apply|arrange-close|"
        "close|view-rect|"
        "view-loads|view-reloaded N|view-fit|view-close\n");
    return 2;
  }
  // A fresh Wine prefix under load takes its time over a first start.
  const HWND window = WaitForMainWindow(0, 60s);
  if (window == nullptr) {
    std::fprintf(stderr, "Kordane's window did not appear\n");
    return 1;
  }
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  const std::string command = argv[1];
  if (command == "go") {
    constexpr int kGoButton = 100;
    const ClickResult go = ClickAndWait(FindControl(window, kGoButton), processId, 120s);
    for (const std::string& text : go.boxes) {
      std::printf("message box %s\n", text.c_str());
    }
    if (!go.ended) {
      std::fprintf(stderr, "the run did not end\n");
      return 1;
    }
    constexpr int kStatusBar = 111;
    std::printf("status line \"%s\"\n", TextOf(FindControl(window, kStatusBar)).c_str());
  } else if (command == "rect") {
    if (!PrintFrame(window)) return 1;
  } else if (command == "about") {
    constexpr int kAboutCommand = 200;
    PostMessageA(window, WM_COMMAND, kAboutCommand, 0);
    const HWND about = WaitForTopWindow("TAboutBox", "About", 10s);
    if (about == nullptr) {
      std::fprintf(stderr, "the About box did not open\n");
      return 1;
    }
    if (!PrintFrame(about)) return 1;
  } else if (command == "preview") {
    constexpr int kPreviewCommand = 202;
    PostMessageA(window, WM_COMMAND, kPreviewCommand, 0);
    const HWND preview = WaitForTopWindow("TPreviewWindow", "Preview", 30s);
    if (preview == nullptr) {
      std::fprintf(stderr, "the preview did not open\n");
      return 1;
    }
    if (!PrintFrame(preview)) return 1;
  } else if (command == "shut") {
    const HWND preview = FindWindowA("TPreviewWindow", "Preview");
    if (!CloseAndWait(preview, preview, WM_CLOSE, 30s)) {
      std::fprintf(stderr, "the preview did not close\n");
      return 1;
    }
  } else if (command == "ok") {
    const HWND about = FindWindowA("TAboutBox", "About");
    if (!CloseAndWait(about, GetDlgItem(about, IDOK), BM_CLICK, 30s)) {
      std::fprintf(stderr, "the About box did not close\n");
      return 1;
    }
  } else if (command == "undo") {
    const std::string before = BoardText();
    SetForegroundWindow(window);
    for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i) {
      std::this_thread::sleep_for(50ms);
    }
    PressShortcut({VK_CONTROL, 'Z'});
    for (int i = 0; i < 1200 && BoardText() == before; ++i) {
      std::this_thread::sleep_for(50ms);
    }
    if (BoardText() == before) {
      std::fprintf(stderr, "Ctrl+Z changed nothing on the board\n");
      return 1;
    }
  } else if (command == "arrange") {
    constexpr int kArrangeCommand = 203;
    PostMessageA(window, WM_COMMAND, kArrangeCommand, 0);
    const HWND arrange = WaitForTopWindow("TArrangeWindow", "Arrange", 30s);
    if (arrange == nullptr) {
      std::fprintf(stderr, "the Arrange window did not open\n");
      return 1;
    }
    if (!PrintFrame(arrange)) return 1;
  } else if (command == "apply") {
    constexpr int kApplyButton = 503;
    const HWND arrange = FindWindowA("TArrangeWindow", "Arrange");
    const std::string before = BoardText();
    const ClickResult apply = ClickAndWait(FindControl(arrange, kApplyButton), processId, 120s);
    for (const std::string& text : apply.boxes) {
      std::printf("message box %s\n", text.c_str());
    }
    for (int i = 0; i < 1200 && BoardText() == before; ++i) {
      std::this_thread::sleep_for(50ms);
    }
    if (!apply.ended || BoardText() == before) {
      std::fprintf(stderr, "Apply changed nothing on the board\n");
      return 1;
    }
    // The window reads the selection again after Apply: wait for its new picture.
    if (!WaitSettled(arrange, 30s)) return 1;
  } else if (command == "arrange-zoom") {
    constexpr int kPicture = 508;
    const HWND arrange = FindWindowA("TArrangeWindow", "Arrange");
    const HWND picture = FindControl(arrange, kPicture);
    if (picture == nullptr) {
      std::fprintf(stderr, "the Arrange window's picture is not there\n");
      return 1;
    }
    RECT client{};
    GetClientRect(picture, &client);
    POINT at{client.right / 2, client.bottom / 4};
    ClientToScreen(picture, &at);
    PostMessageA(picture, WM_MOUSEWHEEL, MAKEWPARAM(0, 3 * WHEEL_DELTA), MAKELPARAM(at.x, at.y));
    if (!PrintFrame(arrange)) return 1;
  } else if (command == "arrange-close") {
    const HWND arrange = FindWindowA("TArrangeWindow", "Arrange");
    if (!CloseAndWait(arrange, arrange, WM_CLOSE, 30s)) {
      std::fprintf(stderr, "the Arrange window did not close\n");
      return 1;
    }
  } else if (command == "close") {
    PostMessageA(window, WM_CLOSE, 0, 0);
  } else {
    std::fprintf(stderr, "unknown command %s\n", command.c_str());
    return 2;
  }
  return 0;
}
