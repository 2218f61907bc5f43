// The rules of a saved setup's name; its sections are tested over the real file, under Wine.
#include "settings/ArrangeSetups.h"

#include <gtest/gtest.h>

#include <string>

namespace kordane {
namespace {

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

}  // namespace
}  // namespace kordane
