#include "settings/win32/IniFileProfile.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "host/Conversions.h"
#include "settings/ProfileValue.h"

namespace kordane {

namespace {

// Room for the longest text, its NUL, and one character more: a quoted value that does not fit
// the buffer can come back one character short (a read may take the last character it copied for
// the closing quote), and that character must lie beyond the part that is kept.
constexpr DWORD kValueBufferSize = kMaxProfileTextLength + 2;

// The full path of a file name; the name itself when Windows cannot resolve it.
std::string FullPath(const std::string& path) {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return path;
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(length + 1);
  }
}

// The executable's own path; grows the buffer for paths longer than MAX_PATH.
std::string ModulePath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

std::string SettingsFilePath() {
  const std::string program = ModulePath();
  const std::size_t separator = program.find_last_of("\\/:");
  const std::string folder =
      separator == std::string::npos ? std::string() : program.substr(0, separator + 1);
  return folder + settings_keys::kFileName;
}

IniFileProfile::IniFileProfile(const std::string& path, std::string section)
    : path_(FullPath(path)), section_(std::move(section)) {}

std::optional<std::string> IniFileProfile::ReadString(const char* key) {
  // The functions cannot tell a missing key from a stored default, so a key is missing only when
  // two reads with different defaults both give their default back.
  char buffer[kValueBufferSize];
  const auto read = [&](const char* fallback) {
    const DWORD length = GetPrivateProfileStringA(section_.c_str(), key, fallback, buffer,
                                                  kValueBufferSize, path_.c_str());
    return std::string(buffer, length);
  };
  std::string value = read("0");
  if (value == "0" && read("1") == "1") return std::nullopt;
  if (value.size() > kMaxProfileTextLength) value.resize(kMaxProfileTextLength);
  return value;
}

void IniFileProfile::WriteString(const char* key, const std::string& value) {
  // A line break inside a value would start a new line in the file and with it a key or section
  // of its own; a value is one line, so breaks become spaces.
  std::string line = value;
  std::replace_if(
      line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  const std::string stored = EncodeProfileValue(line);
  if (!WritePrivateProfileStringA(section_.c_str(), key, stored.c_str(), path_.c_str())) {
    throw SettingsWriteError(FormatUserMessage("Unable to write to %s", path_));
  }
}

}  // namespace kordane
