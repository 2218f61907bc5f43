// BoardView.exe: the stand-in's board in a window. It shows the board that the stand-in library
// beside it would open (env DBX32_BOARD, else board.txt in this folder).
//   BoardView.exe [--window=LEFT,TOP,WIDTH,HEIGHT]
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "Board.h"
#include "BoardViewWindow.h"
#include "ui/Dpi.h"

namespace {

std::filesystem::path ProgramFolder() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::filesystem::current_path();
    if (length < path.size()) {
      path.resize(length);
      return std::filesystem::path(path).parent_path();
    }
    path.resize(path.size() * 2);
  }
}

struct Frame {
  int left = CW_USEDEFAULT, top = CW_USEDEFAULT, width = 720, height = 540;
};

// The window's frame from --window=LEFT,TOP,WIDTH,HEIGHT (screen pixels), when given and well
// formed; else its default size at the screen's DPI.
Frame FrameFromArguments(int argc, char** argv) {
  Frame frame;
  const int dpi = kordane::ui::WindowDpi(nullptr);
  frame.width = kordane::ui::Scale(frame.width, dpi);
  frame.height = kordane::ui::Scale(frame.height, dpi);
  constexpr const char* kOption = "--window=";
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument.rfind(kOption, 0) != 0) continue;
    Frame given;
    if (std::sscanf(argument.c_str() + std::char_traits<char>::length(kOption), "%d,%d,%d,%d",
                    &given.left, &given.top, &given.width, &given.height) == 4 &&
        given.width > 0 && given.height > 0) {
      frame = given;
    }
  }
  return frame;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  const Frame frame = FrameFromArguments(__argc, __argv);
  standin::boardview::BoardViewWindow window(standin::BoardHost(ProgramFolder()).BoardPath());
  if (!window.Create(frame.left, frame.top, frame.width, frame.height)) {
    MessageBoxA(nullptr, "The board view's window could not be created.", "Board view",
                MB_OK | MB_ICONSTOP);
    return 1;
  }
  ShowWindow(window.Handle(), show);
  UpdateWindow(window.Handle());
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
