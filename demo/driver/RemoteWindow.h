// Drives a running Kordane.exe from another process through window messages, as a user's
// clicks would: used by the headless demo and by the end-to-end test.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace kordane::remote {

inline constexpr const char* kMainWindowClass = "TfrmMain";

inline std::string TextOf(HWND window) {
  char buffer[1024] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                      SMTO_ABORTIFHUNG, 5000, &copied);
  return std::string(buffer, copied);
}

// The main window of the process, waiting up to timeout for it to appear.
inline HWND WaitForMainWindow(DWORD processId, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  do {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, kMainWindowClass, nullptr)) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if ((processId == 0 || owner == processId) && IsWindowVisible(window)) return window;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (std::chrono::steady_clock::now() < deadline);
  return nullptr;
}

// A descendant control with the given identifier.
struct ControlSearch {
  int id;
  HWND found;
};

inline BOOL CALLBACK MatchControl(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ControlSearch*>(param);
  if (GetDlgCtrlID(child) != search->id) return TRUE;
  search->found = child;
  return FALSE;
}

inline HWND FindControl(HWND window, int id) {
  ControlSearch search{id, nullptr};
  EnumChildWindows(window, &MatchControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Message boxes ("#32770") that the process shows, e.g. a RefDes error during a run.
inline std::vector<HWND> MessageBoxesOf(DWORD processId) {
  std::vector<HWND> boxes;
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, "#32770", nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && IsWindowVisible(window)) boxes.push_back(window);
  }
  return boxes;
}

// The text of a message box: its static text control.
inline std::string MessageBoxText(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  return text != nullptr ? TextOf(text) : std::string();
}

// Presses the OK button of a message box.
inline void DismissMessageBox(HWND box) {
  if (HWND ok = GetDlgItem(box, IDOK))
    PostMessageA(ok, BM_CLICK, 0, 0);
  else
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// Clicks a button and waits until its handler has ended, pressing OK on every message box that
// comes up meanwhile; returns the texts of those boxes, and false in ended when the timeout
// passed first. The click is sent from a thread of its own, so that the boxes can be answered
// while the send waits.
struct ClickResult {
  std::vector<std::string> boxes;
  bool ended = false;
};

ClickResult ClickAndWait(HWND button, DWORD processId, std::chrono::milliseconds timeout);

// Waits until the window's thread answers again, pressing OK on any message box that comes up
// on the way; returns the texts of those boxes.
inline std::vector<std::string> WaitIdle(HWND window, DWORD processId,
                                         std::chrono::milliseconds timeout) {
  std::vector<std::string> texts;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    for (HWND box : MessageBoxesOf(processId)) {
      texts.push_back(TextOf(box) + ": " + MessageBoxText(box));
      DismissMessageBox(box);
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    DWORD_PTR result = 0;
    if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 300, &result) != 0 &&
        MessageBoxesOf(processId).empty()) {
      break;
    }
  }
  return texts;
}

inline ClickResult ClickAndWait(HWND button, DWORD processId, std::chrono::milliseconds timeout) {
  ClickResult result;
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread sender([button, done] {
    SendMessageA(button, BM_CLICK, 0, 0);
    SetEvent(done);
  });
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (WaitForSingleObject(done, 50) == WAIT_OBJECT_0) {
      result.ended = true;
      break;
    }
    for (HWND box : MessageBoxesOf(processId)) {
      result.boxes.push_back(TextOf(box) + ": " + MessageBoxText(box));
      DismissMessageBox(box);
      // Wait for this box to go before looking again, so that it is not counted twice.
      for (int i = 0; i < 200 && IsWindow(box) && IsWindowVisible(box); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
      }
    }
  }
  if (result.ended) {
    sender.join();
    CloseHandle(done);
  } else {
    sender.detach();  // still blocked in the send, and still to set done; the process ends it
  }
  return result;
}

// A shortcut as real key strokes to the window in front: the keys go down in order, then up in
// the reverse order ({VK_CONTROL, 'Z'} is Ctrl+Z).
inline void PressShortcut(std::initializer_list<WORD> keys) {
  std::vector<INPUT> strokes;
  for (const WORD key : keys) {
    INPUT& stroke = strokes.emplace_back();
    stroke.type = INPUT_KEYBOARD;
    stroke.ki.wVk = key;
  }
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
    INPUT& stroke = strokes.emplace_back();
    stroke.type = INPUT_KEYBOARD;
    stroke.ki.wVk = *key;
    stroke.ki.dwFlags = KEYEVENTF_KEYUP;
  }
  SendInput(static_cast<UINT>(strokes.size()), strokes.data(), sizeof(INPUT));
}

// Waits for a top-level window of a class and caption; nullptr when none came in time.
inline HWND WaitForTopWindow(const char* className, const char* caption,
                             std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (HWND window = FindWindowA(className, caption)) return window;
    if (std::chrono::steady_clock::now() > deadline) return nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

// Owns a started process; ends it if the test did not.
class Process {
 public:
  Process(const std::filesystem::path& exe, const std::filesystem::path& folder,
          const std::string& arguments = "") {
    // Wide, for folders whose names the ANSI code page cannot hold.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + exe.wstring() + L"\" ";
    commandLine.append(arguments.begin(), arguments.end());  // plain ASCII options
    started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              folder.c_str(), &startup, &info_) != 0;
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process() {
    if (!started_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 1);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  bool Started() const { return started_; }
  DWORD Id() const { return info_.dwProcessId; }
  bool WaitForExit(DWORD milliseconds) const {
    return WaitForSingleObject(info_.hProcess, milliseconds) == WAIT_OBJECT_0;
  }
  // Until the program waits for input with nothing left to do: its window is laid out.
  bool WaitForIdle(DWORD milliseconds) const {
    return WaitForInputIdle(info_.hProcess, milliseconds) == 0;
  }

 private:
  bool started_ = false;
  PROCESS_INFORMATION info_{};
};

}  // namespace kordane::remote
