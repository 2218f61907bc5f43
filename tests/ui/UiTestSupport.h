// What the window tests share: a private folder with a board and an INI file, the stand-in host
// loaded from the build, and a pump for the thread's messages.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <string>

#include "host/DbxLoader.h"

namespace kordane::testing {

inline std::filesystem::path BinDir() {
  const char* dir = std::getenv("KORDANE_BIN_DIR");
  return dir != nullptr ? std::filesystem::path(dir) : std::filesystem::current_path();
}

// A fresh folder below the system's temporary folder, removed with the object.
class TempFolder {
 public:
  TempFolder() {
    static int counter = 0;
    path_ =
        std::filesystem::temp_directory_path() /
        ("kordane-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
      SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Placed {
  long x = 0;
  long y = 0;
  long rotation = 0;
  friend bool operator==(const Placed&, const Placed&) = default;
  friend void PrintTo(const Placed& placed, std::ostream* out) {
    *out << "(" << placed.x << ", " << placed.y << ") " << placed.rotation;
  }
};

// The components of a board file by designator.
inline std::map<std::string, Placed> ComponentsOf(const std::filesystem::path& board) {
  std::map<std::string, Placed> components;
  std::istringstream lines(ReadFile(board));
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string kind;
    std::string refDes;
    Placed placed;
    if (fields >> kind >> refDes >> placed.x >> placed.y >> placed.rotation &&
        kind == "component") {
      components[refDes] = placed;
    }
  }
  return components;
}

// A key of section "Main Window", or "<missing>".
inline std::string IniValue(const std::filesystem::path& ini, const char* key) {
  char buffer[4096] = {};
  GetPrivateProfileStringA("Main Window", key, "<missing>", buffer, sizeof buffer,
                           ini.string().c_str());
  return buffer;
}

inline void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace kordane::testing
