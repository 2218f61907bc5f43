// Helpers of the stand-in tests: temporary folders, environment variables, files.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "Board.h"
#include "FileLock.h"

namespace standin::testing {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::random_device random;
    for (int attempt = 0;; ++attempt) {
      path_ = fs::temp_directory_path() / ("kordane-standin-" + std::to_string(random()));
      if (fs::create_directory(path_) || attempt > 100) {
        break;
      }
    }
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const fs::path& Path() const { return path_; }
  fs::path operator/(const char* name) const { return path_ / name; }

  std::vector<std::string> FileNames() const {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(path_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  fs::path path_;
};

// Sets an environment variable (unsets it for std::nullopt) and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      old_ = old;
    }
    Set(value);
  }
  ~ScopedEnv() { Set(old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Set(const std::optional<std::string>& value) {
#if defined(_WIN32)
    _putenv_s(name_.c_str(), value ? value->c_str() : "");
#else
    if (value) {
      setenv(name_.c_str(), value->c_str(), 1);
    } else {
      unsetenv(name_.c_str());
    }
#endif
  }

  std::string name_;
  std::optional<std::string> old_;
};

inline void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  ASSERT_TRUE(file.good()) << path;
}

// A board file written as the stand-in and the board view write it, under their lock, for a
// test that writes while they run.
inline void WriteBoardFile(const fs::path& path, const std::string& text) {
  const BoardFileLock lock(path);
  ASSERT_TRUE(lock.Held()) << path;
  ASSERT_TRUE(WriteFileAtomically(path, text)) << path;
}

// Read as the board's own readers read it, never in the way of a writer's replace.
inline std::string ReadFile(const fs::path& path) {
  return ReadWholeFile(path).value_or("");
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    lines.push_back(line);
  }
  return lines;
}

// Folder of the built library and the demo board.
inline fs::path BinDir() {
  const char* dir = std::getenv("KORDANE_BIN_DIR");
  return dir != nullptr ? fs::path(dir) : fs::path();
}

inline fs::path LibraryPath() {
#if defined(_WIN32)
  return BinDir() / "Dbx32.dll";
#else
  return BinDir() / "Dbx32.so";
#endif
}

}  // namespace standin::testing
