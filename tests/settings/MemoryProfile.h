// An INI section in memory that records its writes in order and can fail at a chosen key.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings/GlobalSettings.h"

namespace kordane::fakes {

inline constexpr const char* kMemoryProfilePath = "C:\\Programs\\Kordane.INI";

class MemoryProfile : public IProfileSection {
 public:
  MemoryProfile() = default;
  MemoryProfile(std::initializer_list<std::pair<const std::string, std::string>> stored)
      : values(stored) {}

  std::optional<std::string> ReadString(const char* key) override {
    reads.emplace_back(key);
    const auto found = values.find(key);
    if (found == values.end()) return std::nullopt;
    return found->second;
  }

  void WriteString(const char* key, const std::string& value) override {
    if (failAt && *failAt == key) {
      throw SettingsWriteError(std::string("Unable to write to ") + kMemoryProfilePath);
    }
    writes.emplace_back(key, value);
    values[key] = value;
  }

  std::map<std::string, std::string> values;
  std::vector<std::string> reads;
  std::vector<std::pair<std::string, std::string>> writes;
  // The key whose write fails.
  std::optional<std::string> failAt;
};

}  // namespace kordane::fakes
