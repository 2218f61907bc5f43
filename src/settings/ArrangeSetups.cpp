#include "settings/ArrangeSetups.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "settings/ArrangeSettings.h"

namespace kordane {

namespace {

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool SameName(const std::string& a, const std::string& b) {
  return Lowered(a) == Lowered(b);
}

// The stored section of the name, spelt as the file spells it.
std::optional<std::string> StoredSection(IProfileFile& file, const std::string& name) {
  const std::string wanted = kSetupSectionPrefix + name;
  for (const std::string& section : file.SectionNames()) {
    if (SameName(section, wanted)) return section;
  }
  return std::nullopt;
}

}  // namespace

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
  const std::string prefix = Lowered(kSetupSectionPrefix);
  std::vector<std::string> names;
  for (const std::string& section : file.SectionNames()) {
    if (Lowered(section.substr(0, prefix.size())) != prefix) continue;
    const std::string name = section.substr(prefix.size());
    if (!SetupNameProblem(name).empty() || name != TrimmedSetupName(name)) continue;
    const bool known = std::any_of(names.begin(), names.end(),
                                   [&name](const std::string& n) { return SameName(n, name); });
    if (!known) names.push_back(name);
  }
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return Lowered(a) < Lowered(b);
  });
  return names;
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

void DeleteSetup(IProfileFile& file, const std::string& typed) {
  if (!SetupNameProblem(typed).empty()) return;
  if (const std::optional<std::string> stored = StoredSection(file, TrimmedSetupName(typed))) {
    file.DeleteSection(*stored);
  }
}

}  // namespace kordane
