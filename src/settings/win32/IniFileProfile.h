// The settings file on Windows: one section of an INI file through the private-profile functions.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "settings/ArrangeSetups.h"
#include "settings/GlobalSettings.h"

namespace kordane {

// Full path of the settings file: the folder of the program's own executable, with its trailing
// separator, followed by "Kordane.INI". Paths here are UTF-8.
std::string SettingsFilePath();

class IniFileProfile : public IProfileSection {
 public:
  // A relative path is made absolute here: the profile functions would otherwise look for a bare
  // file name in the Windows folder.
  IniFileProfile(const std::string& path, std::string section);

  // Longer values are cut at 2047 characters.
  std::optional<std::string> ReadString(const char* key) override;
  // Stored so that ReadString gives the same characters back (see ProfileValue.h); line breaks
  // in the value are stored as spaces. Throws SettingsWriteError "Unable to write to <full path>".
  void WriteString(const char* key, const std::string& value) override;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::string section_;
};

// The whole file, for the sections that come and go (the Arrange window's setups).
class IniFile : public IProfileFile {
 public:
  explicit IniFile(const std::string& path);

  std::vector<std::string> SectionNames() override;
  std::unique_ptr<IProfileSection> Section(const std::string& name) override;
  void DeleteSection(const std::string& name) override;
  // The profile functions compare section names without regard to case in the whole code page.
  std::string FoldedName(const std::string& name) const override;

 private:
  std::string path_;
};

}  // namespace kordane
