#include "settings/win32/IniFileProfile.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "mainform/FakeMainFormControls.h"
#include "settings/ArrangeSetups.h"
#include "settings/GlobalSettings.h"
#include "settings/PlainProfileRead.h"
#include "ui/MainFormLogic.h"

namespace kordane {
namespace {

using ::testing::ElementsAre;
using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;

// The window's behaviour over fake controls, loading and saving a real file.
struct Window {
  fakes::FakeMainFormControls controls;
  TfrmMainLogic logic{controls};
  TGlobalSettings settings{logic};
};

// The file's lines without their line ends, blank lines left out.
std::vector<std::string> LinesOf(const std::filesystem::path& file) {
  std::vector<std::string> lines;
  std::istringstream text(ReadFile(file));
  std::string line;
  while (std::getline(text, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

IniFileProfile MainWindowSection(const std::filesystem::path& file) {
  return IniFileProfile(file.string(), settings_keys::kSection);
}

TEST(IniFileProfile, SettingsFileLiesBesideTheProgram) {
  char program[MAX_PATH] = {};
  ASSERT_NE(GetModuleFileNameA(nullptr, program, MAX_PATH), 0u);
  const std::string expected =
      std::filesystem::path(program).parent_path().string() + "\\Kordane.INI";
  EXPECT_EQ(SettingsFilePath(), expected);
}

TEST(IniFileProfile, MissingFileGivesEveryDefaultAndIsNotCreated) {
  TempFolder folder;
  const auto ini = folder / "Kordane.INI";
  Window window;
  IniFileProfile profile = MainWindowSection(ini);
  window.settings.Load(profile);
  const auto& c = window.controls;
  EXPECT_EQ(c.Left(), 50);
  EXPECT_EQ(c.Top(), 50);
  EXPECT_EQ(c.WindowState(), TWindowState::Normal);
  EXPECT_TRUE(c.Checked(TControl::cbOnTop));
  EXPECT_THAT(c.topMostCalls, ElementsAre(true));
  EXPECT_TRUE(c.Checked(TControl::rbHorizontal));
  EXPECT_TRUE(c.Checked(TControl::rbUp));
  EXPECT_TRUE(c.Checked(TControl::cbDoRotate));
  EXPECT_EQ(c.Text(TControl::cbRotation), "0");
  EXPECT_TRUE(c.Checked(TControl::cbDoSpace));
  EXPECT_EQ(c.Text(TControl::eSpacing), "200");
  EXPECT_FALSE(std::filesystem::exists(ini));
}

TEST(IniFileProfile, MissingAndEmptyKeysDiffer) {
  TempFolder folder;
  const auto ini = folder / "Kordane.INI";
  // "0" and "1" are the values a missing key could be mistaken for.
  WriteFile(ini, "[Main Window]\r\nSpacing=\r\nLeft=0\r\nTop=1\r\n[Other]\r\nRotation=45\r\n");
  IniFileProfile profile = MainWindowSection(ini);
  EXPECT_EQ(profile.ReadString("Spacing"), "");
  EXPECT_EQ(profile.ReadString("Left"), "0");
  EXPECT_EQ(profile.ReadString("Top"), "1");
  EXPECT_EQ(profile.ReadString("Rotation"), std::nullopt);
  EXPECT_EQ(profile.ReadString("On Top"), std::nullopt);
}

TEST(IniFileProfile, LongValuesAreCutAt2047Characters) {
  TempFolder folder;
  const auto ini = folder / "Kordane.INI";
  const std::string exact(2047, '7');
  const std::string longer = std::string(2047, '8') + "9tail";
  WriteFile(ini, "[Main Window]\r\nRotation=" + exact + "\r\nSpacing=" + longer + "\r\n");
  Window window;
  IniFileProfile profile = MainWindowSection(ini);
  window.settings.Load(profile);
  EXPECT_EQ(window.controls.Text(TControl::cbRotation), exact);
  EXPECT_EQ(window.controls.Text(TControl::eSpacing), std::string(2047, '8'));
}

// Texts that the profile functions would change if they were stored as they stand.
TEST(IniFileProfile, TextsComeBackExactlyAsSaved) {
  const std::string texts[] = {"90 ", " 90",     "\"5\"",  "'5'",    "\"",    "'",
                               "\"5", "5'",      "",       "   ",    "\t1\t", "\"\"",
                               "''",  "\" 5 \"", "\"5\" ", "a\"b\"", "5\xA0", "\"5'"};
  for (const std::string& text : texts) {
    SCOPED_TRACE("[" + text + "]");
    TempFolder folder;
    const auto ini = folder / "Kordane.INI";
    Window before;
    before.logic.SetRotationText(text);
    before.logic.SetSpacingText(text);
    IniFileProfile profile = MainWindowSection(ini);
    before.settings.Save(profile);

    Window after;
    IniFileProfile again = MainWindowSection(ini);
    after.settings.Load(again);
    EXPECT_EQ(after.controls.Text(TControl::cbRotation), text);
    EXPECT_EQ(after.controls.Text(TControl::eSpacing), text);
  }
}

TEST(IniFileProfile, TextsAPlainReadKeepsAreStoredUnquoted) {
  TempFolder folder;
  const auto ini = folder / "Kordane.INI";
  IniFileProfile profile = MainWindowSection(ini);
  profile.WriteString("Rotation", "-90");
  profile.WriteString("Spacing", "\"5");
  profile.WriteString("Left", "");
  profile.WriteString("Top", "90 ");
  EXPECT_THAT(LinesOf(ini),
              ElementsAre("[Main Window]", "Rotation=-90", "Spacing=\"5", "Left=", "Top=\"90 \""));
}

// What earlier versions wrote reads as it always did, with the functions' own trimming and
// unquoting.
TEST(IniFileProfile, FilesOfEarlierVersionsReadAsBefore) {
  const std::string stored[] = {"90 ",  "  90",     "\"5\"", "'5'",   "\"",
                                "\"\"", "\" 5 \" ", "\"5",   "\t7\t", "'a\"b'",
                                "\"5'", "x = y",    "''''",  "\"'\"", " \"\"\" "};
  for (const std::string& value : stored) {
    SCOPED_TRACE("[" + value + "]");
    TempFolder folder;
    const auto ini = folder / "Kordane.INI";
    WriteFile(ini, "[Main Window]\r\nSpacing=" + value + "\r\n");
    IniFileProfile profile = MainWindowSection(ini);
    EXPECT_EQ(profile.ReadString("Spacing"), fakes::PlainProfileRead(value));
  }
}

// Quoting makes a stored value two characters longer than its text; the cut still falls after
// the 2047th character of the text.
TEST(IniFileProfile, QuotedTextsAreCutAt2047CharactersOfTheText) {
  for (const std::size_t length : {2045u, 2046u, 2047u, 2048u, 2049u, 2050u, 4096u}) {
    for (const char end : {' ', '"'}) {
      SCOPED_TRACE(std::to_string(length) + " characters between [" + end + "]");
      std::string text(length, '4');
      for (std::size_t i = 1; i < length; i += 7) text[i] = 'x';
      text.front() = end;
      text.back() = end;
      TempFolder folder;
      IniFileProfile profile = MainWindowSection(folder / "Kordane.INI");
      profile.WriteString("Spacing", text);
      EXPECT_EQ(profile.ReadString("Spacing"), text.substr(0, 2047));
    }
  }
}

TEST(IniFileProfile, SaveWritesItsKeysInOrderAndLeavesTheRestAlone) {
  TempFolder folder;
  const auto ini = folder / "Kordane.INI";
  WriteFile(ini,
            "; kept\r\n[Other]\r\nLeft=1\r\nSpacing=x\r\n"
            "[Main Window]\r\nCustom=keep me\r\nLeft=9\r\n");
  Window window;
  window.controls.SetLeft(120);
  window.controls.SetTop(-40);
  window.logic.SetHorizontalChecked(false);
  window.logic.SetSortOrderChecked(TSortOrder::Unchanged);
  window.logic.SetRotationText("-90");
  window.logic.SetSpacingText("2.54");
  IniFileProfile profile = MainWindowSection(ini);
  window.settings.Save(profile);

  EXPECT_THAT(LinesOf(ini), ElementsAre("; kept", "[Other]", "Left=1", "Spacing=x", "[Main Window]",
                                        "Custom=keep me", "Left=120", "Window State=0", "Top=-40",
                                        "On Top=0", "Alignment=0", "Sort Order=2", "Rotate=0",
                                        "Rotation=-90", "Spacing=2.54", "EnableSpacing=1"));

  Window reloaded;
  IniFileProfile again = MainWindowSection(ini);
  reloaded.settings.Load(again);
  EXPECT_EQ(reloaded.controls.Left(), 120);
  EXPECT_EQ(reloaded.controls.Top(), -40);
  EXPECT_TRUE(reloaded.controls.Checked(TControl::rbVertical));
  EXPECT_TRUE(reloaded.controls.Checked(TControl::rbNone));
  EXPECT_EQ(reloaded.controls.Text(TControl::cbRotation), "-90");
  EXPECT_EQ(reloaded.controls.Text(TControl::eSpacing), "2.54");
}

TEST(IniFileProfile, ALineBreakInAValueCannotAddAKey) {
  TempFolder folder;
  const auto ini = folder / "Kordane.INI";
  IniFileProfile profile = MainWindowSection(ini);
  profile.WriteString("Left", "10");
  profile.WriteString("Spacing", "5\r\nLeft=999\n[Other]");
  EXPECT_EQ(profile.ReadString("Left"), "10");
  EXPECT_EQ(profile.ReadString("Spacing"), "5  Left=999 [Other]");
  EXPECT_EQ(LinesOf(ini).size(), 3u);
}

TEST(IniFileProfile, RelativePathIsTakenFromTheCurrentFolder) {
  TempFolder folder;
  char previous[MAX_PATH] = {};
  ASSERT_NE(GetCurrentDirectoryA(MAX_PATH, previous), 0u);
  ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().string().c_str()));
  {
    IniFileProfile profile("Relative.INI", settings_keys::kSection);
    EXPECT_TRUE(std::filesystem::path(profile.Path()).is_absolute());
    profile.WriteString("Left", "5");
  }
  SetCurrentDirectoryA(previous);
  EXPECT_EQ(testing::IniValue(folder / "Relative.INI", "Left"), "5");
}

// Running as an administrator, a read-only file can still be written, so the unwritable file
// here is one in a folder that does not exist.
TEST(IniFileProfile, UnwritableFileStopsTheSaveWithItsFullPath) {
  TempFolder folder;
  const auto ini = folder / "missing" / "Kordane.INI";
  Window window;
  IniFileProfile profile = MainWindowSection(ini);
  try {
    window.settings.Save(profile);
    FAIL() << "no error";
  } catch (const SettingsWriteError& error) {
    EXPECT_EQ(std::string(error.what()), "Unable to write to " + ini.string());
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

TEST(IniFileProfile, SetupsRoundTripReplaceAndGoWithoutChangingAnythingElse) {
  TempFolder folder;
  const auto ini = folder / "Kordane.INI";
  const std::string before =
      "; kept\r\n[Main Window]\r\nLeft=50\r\n[Arrange]\r\nPattern=1\r\n"
      "[Arrange Setup odd]\r\nPattern=9\r\nSnake=yes\r\nColumns=7\r\nColour=red\r\n"
      "[Arrange Setup  spaced]\r\n[Arrange Setupper]\r\n";
  WriteFile(ini, before);
  IniFile file(ini.string());
  TArrangeChoices odd;  // what can be read; the rest takes its defaults
  odd.columnsText = "7";
  EXPECT_EQ(LoadSetup(file, "ODD"), odd);
  TArrangeChoices choices;
  choices.pattern = TArrangePattern::Snap;
  choices.originXText = " -0,5 ";
  SaveSetup(file, " Keypad ", choices);
  EXPECT_EQ(SetupNames(file), (std::vector<std::string>{"Keypad", "odd"}));
  EXPECT_EQ(LoadSetup(file, "KEYPAD"), choices);
  const std::string saved = ReadFile(ini);
  EXPECT_EQ(saved.substr(0, before.size()), before);
  EXPECT_NE(saved.find("[Arrange Setup Keypad]\r\nPattern=6\r\n"), std::string::npos) << saved;
  // Replaced under a name in other case: the keys it does not write go with the old one.
  SaveSetup(file, "ODD", choices);
  EXPECT_EQ(SetupNames(file), (std::vector<std::string>{"Keypad", "ODD"}));
  EXPECT_EQ(ReadFile(ini).find("Colour"), std::string::npos);
  DeleteSetup(file, "keypad");
  DeleteSetup(file, "odd");
  EXPECT_EQ(ReadFile(ini), before.substr(0, before.find("[Arrange Setup odd]")) +
                               "[Arrange Setup  spaced]\r\n[Arrange Setupper]\r\n");
  EXPECT_THROW(SaveSetup(file, "a]b", choices), std::invalid_argument);
  // Case folds in the whole code page, as the profile functions fold it: "Été" is "été".
  SaveSetup(file, "\xC9t\xE9", choices);
  EXPECT_EQ(SetupNames(file), (std::vector<std::string>{"\xC9t\xE9"}));
  EXPECT_TRUE(DeleteSetup(file, "\xE9t\xE9"));
  EXPECT_FALSE(DeleteSetup(file, "\xE9t\xE9")) << "nothing left to delete";
  EXPECT_TRUE(SetupNames(file).empty());
}

}  // namespace
}  // namespace kordane
