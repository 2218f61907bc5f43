#include "settings/ArrangeSetups.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "settings/ArrangeSettings.h"

namespace kordane {

namespace {

// The stored section of the name, spelt as the file spells it.
std::optional<std::string> StoredSection(IProfileFile& file, const std::string& name) {
  const std::string wanted = file.FoldedName(kSetupSectionPrefix + name);
  for (const std::string& section : file.SectionNames()) {
    if (file.FoldedName(section) == wanted) return section;
  }
  return std::nullopt;
}

}  // namespace

std::string IProfileFile::FoldedName(const std::string& name) const {
  std::string folded = name;
  std::transform(folded.begin(), folded.end(), folded.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  });
  return folded;
}

std::string TrimmedSetupName(const std::string& typed) {
  const std::size_t first = typed.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return typed.substr(first, typed.find_last_not_of(' ') - first + 1);
}

std::string SetupNameProblem(const std::string& typed) {
  const std::string name = TrimmedSetupName(typed);
  if (name.empty()) return "Type a name for the setup";
  if (name.size() > kMaxSetupNameLength) {
    return "A setup's name is at most " + std::to_string(kMaxSetupNameLength) + " characters";
  }
  // Brackets would end the section's name, = and ; make a line a key or a comment, and a line
  // break would start a line of its own.
  const bool refused = std::any_of(name.begin(), name.end(), [](char c) {
    const auto code = static_cast<unsigned char>(c);
    return c == '[' || c == ']' || c == '=' || c == ';' || code < 0x20 || code == 0x7F;
  });
  if (refused) return "A setup's name cannot hold [, ], =, ; or a control character";
  return {};
}

std::vector<std::string> SetupNames(IProfileFile& file) {
  const std::string prefix = file.FoldedName(kSetupSectionPrefix);
  // Each name beside its folded form, which compares and sorts it.
  std::vector<std::pair<std::string, std::string>> names;
  for (const std::string& section : file.SectionNames()) {
    const std::size_t cut = std::string_view(kSetupSectionPrefix).size();
    if (file.FoldedName(section.substr(0, cut)) != prefix) continue;
    const std::string name = section.substr(cut);
    if (!SetupNameProblem(name).empty() || name != TrimmedSetupName(name)) continue;
    std::string folded = file.FoldedName(name);
    const bool known = std::any_of(names.begin(), names.end(),
                                   [&folded](const auto& other) { return other.second == folded; });
    if (!known) names.emplace_back(name, std::move(folded));
  }
  std::stable_sort(names.begin(), names.end(),
                   [](const auto& a, const auto& b) { return a.second < b.second; });
  std::vector<std::string> sorted;
  for (auto& [name, folded] : names) sorted.push_back(std::move(name));
  return sorted;
}

void SaveSetup(IProfileFile& file, const std::string& typed, const TArrangeChoices& choices) {
  const std::string problem = SetupNameProblem(typed);
  if (!problem.empty()) throw std::invalid_argument(problem);
  const std::string name = TrimmedSetupName(typed);
  // Keys of an older setup that this one does not write go with it.
  if (const std::optional<std::string> stored = StoredSection(file, name)) {
    file.DeleteSection(*stored);
  }
  SaveArrangeChoices(*file.Section(kSetupSectionPrefix + name), choices);
}

std::optional<TArrangeChoices> LoadSetup(IProfileFile& file, const std::string& typed) {
  if (!SetupNameProblem(typed).empty()) return std::nullopt;
  const std::optional<std::string> stored = StoredSection(file, TrimmedSetupName(typed));
  if (!stored) return std::nullopt;
  return LoadArrangeChoices(*file.Section(*stored));
}

bool DeleteSetup(IProfileFile& file, const std::string& typed) {
  if (!SetupNameProblem(typed).empty()) return false;
  const std::optional<std::string> stored = StoredSection(file, TrimmedSetupName(typed));
  if (stored) file.DeleteSection(*stored);
  return stored.has_value();
}

}  // namespace kordane
