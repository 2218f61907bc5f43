// Saved setups of the Arrange window: the pattern and every choice of every pattern under a name,
// each in a section "Arrange Setup <name>" of the settings file holding the keys of "Arrange"
// without the frame. A name is kept trimmed of spaces; the file's sections compare without regard
// to case, as the file compares them, and so do the names.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "placement/Arrange.h"
#include "settings/GlobalSettings.h"

namespace kordane {

inline constexpr const char* kSetupSectionPrefix = "Arrange Setup ";
inline constexpr std::size_t kMaxSetupNameLength = 40;

// The sections of a settings file.
class IProfileFile {
 public:
  virtual ~IProfileFile() = default;
  // Every section's name, in the file's order.
  virtual std::vector<std::string> SectionNames() = 0;
  virtual std::unique_ptr<IProfileSection> Section(const std::string& name) = 0;
  // Throws SettingsWriteError when the file cannot be written.
  virtual void DeleteSection(const std::string& name) = 0;
  // The name folded to one case as the file compares section names: two names are one section
  // when their folded names are equal. Here only ASCII letters fold; a file whose functions fold
  // the whole code page says so.
  virtual std::string FoldedName(const std::string& name) const;
};

// The name as it is kept: without the spaces around it.
std::string TrimmedSetupName(const std::string& typed);
// Why the typed name cannot be saved under, for the summary line; empty when it can.
std::string SetupNameProblem(const std::string& typed);

// The saved setups' names, sorted without regard to case.
std::vector<std::string> SetupNames(IProfileFile& file);
// Replaces any setup of the name (a name that is refused throws std::invalid_argument).
void SaveSetup(IProfileFile& file, const std::string& typed, const TArrangeChoices& choices);
// The choices saved under the name, what can be read of them; none when there is no such setup.
std::optional<TArrangeChoices> LoadSetup(IProfileFile& file, const std::string& typed);
// Whether there was a setup of the name to delete.
bool DeleteSetup(IProfileFile& file, const std::string& typed);

}  // namespace kordane
