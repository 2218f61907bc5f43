#include "settings/win32/IniFileProfile.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/Conversions.h"
#include "host/WideText.h"
#include "settings/ProfileValue.h"

namespace kordane {

namespace {

// Room for the longest text, its NUL, and one character more: a quoted value that does not fit
// the buffer can come back one character short (a read may take the last character it copied for
// the closing quote), and that character must lie beyond the part that is kept.
constexpr DWORD kValueBufferSize = kMaxProfileTextLength + 2;

// The full path of a file name; the name itself when Windows cannot resolve it.
std::string FullPath(const std::string& path) {
  const std::wstring wide = ToWide(path, CP_UTF8);
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return path;
    if (length < buffer.size()) return FromWide({buffer.data(), length}, CP_UTF8);
    buffer.resize(length + 1);
  }
}

// The executable's own path; grows the buffer for paths longer than MAX_PATH.
std::string ModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return FromWide({buffer.data(), length}, CP_UTF8);
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
  // Values are the ANSI text the controls show; the path is wide, for any folder's name.
  wchar_t buffer[kValueBufferSize];
  const std::wstring section = ToWide(section_, CP_ACP);
  const std::wstring name = ToWide(key, CP_ACP);
  const std::wstring path = ToWide(path_, CP_UTF8);
  const auto read = [&](const wchar_t* fallback) {
    const DWORD length = GetPrivateProfileStringW(section.c_str(), name.c_str(), fallback, buffer,
                                                  kValueBufferSize, path.c_str());
    return FromWide({buffer, length}, CP_ACP);
  };
  std::string value = read(L"0");
  if (value == "0" && read(L"1") == "1") return std::nullopt;
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
  if (!WritePrivateProfileStringW(ToWide(section_, CP_ACP).c_str(), ToWide(key, CP_ACP).c_str(),
                                  ToWide(stored, CP_ACP).c_str(), ToWide(path_, CP_UTF8).c_str())) {
    // The message box shows ANSI text.
    throw SettingsWriteError(
        FormatUserMessage("Unable to write to %s", FromWide(ToWide(path_, CP_UTF8), CP_ACP)));
  }
}

IniFile::IniFile(const std::string& path) : path_(FullPath(path)) {}

std::vector<std::string> IniFile::SectionNames() {
  const std::wstring path = ToWide(path_, CP_UTF8);
  std::vector<wchar_t> buffer(4096);
  DWORD length = 0;
  for (;;) {
    length = GetPrivateProfileSectionNamesW(buffer.data(), static_cast<DWORD>(buffer.size()),
                                            path.c_str());
    // A list that did not fit comes back two characters short of the buffer.
    if (length + 2 < buffer.size()) break;
    buffer.resize(buffer.size() * 2);
  }
  std::vector<std::string> names;
  for (std::size_t start = 0; start < length;) {
    const std::wstring_view name(buffer.data() + start);
    if (name.empty()) break;
    names.push_back(FromWide(name, CP_ACP));
    start += name.size() + 1;
  }
  return names;
}

std::unique_ptr<IProfileSection> IniFile::Section(const std::string& name) {
  return std::make_unique<IniFileProfile>(path_, name);
}

void IniFile::DeleteSection(const std::string& name) {
  if (!WritePrivateProfileStringW(ToWide(name, CP_ACP).c_str(), nullptr, nullptr,
                                  ToWide(path_, CP_UTF8).c_str())) {
    throw SettingsWriteError(
        FormatUserMessage("Unable to write to %s", FromWide(ToWide(path_, CP_UTF8), CP_ACP)));
  }
}

std::string IniFile::FoldedName(const std::string& name) const {
  std::wstring wide = ToWide(name, CP_ACP);
  if (!wide.empty()) CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return FromWide(wide, CP_UTF8);
}

}  // namespace kordane
