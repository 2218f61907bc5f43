// Saved setups: the rules of their names and their sections round-tripping through a file.
#include "settings/ArrangeSetups.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "MemoryProfile.h"

namespace kordane {
namespace {

// A file of sections in memory, found without regard to case as the private-profile functions do.
class MemoryProfileFile : public IProfileFile {
 public:
  std::vector<std::string> SectionNames() override {
    std::vector<std::string> names;
    for (const auto& [name, section] : sections) names.push_back(name);
    return names;
  }

  std::unique_ptr<IProfileSection> Section(const std::string& name) override {
    return std::make_unique<Forwarding>(Find(name));
  }

  void DeleteSection(const std::string& name) override {
    std::erase_if(sections, [&](const auto& entry) { return Same(entry.first, name); });
  }

  fakes::MemoryProfile& Find(const std::string& name) {
    for (auto& [stored, section] : sections) {
      if (Same(stored, name)) return *section;
    }
    sections.emplace_back(name, std::make_unique<fakes::MemoryProfile>());
    return *sections.back().second;
  }

  std::vector<std::pair<std::string, std::unique_ptr<fakes::MemoryProfile>>> sections;

 private:
  struct Forwarding : IProfileSection {
    explicit Forwarding(fakes::MemoryProfile& section) : to(section) {}
    std::optional<std::string> ReadString(const char* key) override { return to.ReadString(key); }
    void WriteString(const char* key, const std::string& value) override {
      to.WriteString(key, value);
    }
    fakes::MemoryProfile& to;
  };

  static bool Same(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return std::tolower(static_cast<unsigned char>(x)) ==
             std::tolower(static_cast<unsigned char>(y));
    });
  }
};

struct NameRow {
  std::string typed;
  std::string problem;
};

TEST(SetupNames, AreTrimmedAndRefusedByTheirRules) {
  const std::string brackets = "A setup's name cannot hold [, ], =, ; or a control character";
  const NameRow rows[] = {
      {"  Keypad 4 x 4 ", ""},
      {std::string(40, 'n'), ""},
      {" " + std::string(40, 'n') + " ", ""},
      {"LEDs 24 \xB0", ""},
      {"", "Type a name for the setup"},
      {"    ", "Type a name for the setup"},
      {std::string(41, 'n'), "A setup's name is at most 40 characters"},
      {"a[b", brackets},
      {"ring]", brackets},
      {"x=1", brackets},
      {";ring", brackets},
      {"a\tb", brackets},
      {"ring\r\n[Arrange]", brackets},
      {"del\x7F", brackets},
  };
  for (const NameRow& row : rows) {
    EXPECT_EQ(SetupNameProblem(row.typed), row.problem) << row.typed;
  }
  EXPECT_EQ(TrimmedSetupName("  Keypad 4 x 4 "), "Keypad 4 x 4");
}

TEST(SetupSections, RoundTripReplaceAndDeleteOnlyTheirOwnSection) {
  MemoryProfileFile file;
  file.Find("Main Window").WriteString("Left", "50");
  file.Find("Arrange").WriteString("Pattern", "1");
  TArrangeChoices keypad;
  keypad.columnsText = "4";
  keypad.stagger = keypad.keepFirst = true;
  keypad.start = TGridCorner::BottomRight;
  TArrangeChoices ring;
  ring.pattern = TArrangePattern::Circle;
  ring.radiusText = " 12,5 ";
  SaveSetup(file, " ring ", ring);
  SaveSetup(file, "Keypad", keypad);
  EXPECT_EQ(SetupNames(file), (std::vector<std::string>{"Keypad", "ring"}));
  EXPECT_EQ(LoadSetup(file, "KEYPAD"), keypad);
  EXPECT_EQ(LoadSetup(file, "ring"), ring);
  EXPECT_EQ(LoadSetup(file, "square"), std::nullopt);

  // Under a name that differs only in case: replaced, keys the new one lacks gone with it.
  file.Find("Arrange Setup Keypad").WriteString("Unknown", "1");
  ring.pattern = TArrangePattern::Snap;
  SaveSetup(file, "KEYPAD", ring);
  EXPECT_EQ(SetupNames(file), (std::vector<std::string>{"KEYPAD", "ring"}));
  EXPECT_EQ(file.Find("Arrange Setup KEYPAD").ReadString("Unknown"), std::nullopt);
  EXPECT_EQ(LoadSetup(file, "keypad"), ring);

  DeleteSetup(file, " keypad");
  EXPECT_EQ(file.SectionNames(),
            (std::vector<std::string>{"Main Window", "Arrange", "Arrange Setup ring"}));
  EXPECT_EQ(file.Find("Main Window").values, (std::map<std::string, std::string>{{"Left", "50"}}));
  EXPECT_EQ(file.Find("Arrange").values, (std::map<std::string, std::string>{{"Pattern", "1"}}));
  EXPECT_THROW(SaveSetup(file, "a]b", ring), std::invalid_argument);
  EXPECT_EQ(file.sections.size(), 3u);
}

TEST(SetupSections, LoadWhatTheyCanAndListOnlyNamesThatCouldBeSaved) {
  MemoryProfileFile file;
  fakes::MemoryProfile& odd = file.Find("Arrange Setup odd");
  odd.values = {{"Pattern", "9"}, {"Snake", "yes"}, {"Columns", "7"}, {"Colour", "red"}};
  file.Find("arrange setup  spaced");
  file.Find("Arrange Setup ");
  file.Find("Arrange Setupper");
  TArrangeChoices expected;
  expected.columnsText = std::string(1, '7');  // not a literal: GCC 12 warns wrongly of an overlap
  EXPECT_EQ(LoadSetup(file, "ODD"), expected);
  EXPECT_EQ(SetupNames(file), (std::vector<std::string>{"odd"}));
}

}  // namespace
}  // namespace kordane
