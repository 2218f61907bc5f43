#include "settings/ProfileValue.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "settings/PlainProfileRead.h"

namespace kordane {
namespace {

using fakes::PlainProfileRead;

struct EncodeCase {
  const char* name;
  std::string text;
  std::string stored;
};

class EncodeProfileValueTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeProfileValueTest, StoresWhatAPlainReadGivesBack) {
  const EncodeCase& row = GetParam();
  EXPECT_EQ(EncodeProfileValue(row.text), row.stored);
  EXPECT_EQ(PlainProfileRead(row.stored), row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EncodeProfileValueTest,
    ::testing::Values(
        // What earlier versions wrote, and every text a plain read keeps, stays unquoted.
        EncodeCase{"Number", "200", "200"}, EncodeCase{"Negative", "-135", "-135"},
        EncodeCase{"Empty", "", ""}, EncodeCase{"InnerBlanks", "1 , 5", "1 , 5"},
        EncodeCase{"LoneDoubleQuote", "\"", "\""}, EncodeCase{"LoneSingleQuote", "'", "'"},
        EncodeCase{"OpeningQuoteOnly", "\"5", "\"5"}, EncodeCase{"ClosingQuoteOnly", "5\"", "5\""},
        EncodeCase{"DifferentQuotes", "\"5'", "\"5'"},
        EncodeCase{"InnerQuotes", "a\"b\"c", "a\"b\"c"},
        // Texts a plain read would change.
        EncodeCase{"TrailingSpace", "90 ", "\"90 \""}, EncodeCase{"LeadingSpace", " 90", "\" 90\""},
        EncodeCase{"OnlyBlanks", "   ", "\"   \""}, EncodeCase{"Tabs", "\t5\t", "\"\t5\t\""},
        EncodeCase{"DoubleQuoted", "\"5\"", "\"\"5\"\""},
        EncodeCase{"SingleQuoted", "'5'", "\"'5'\""}, EncodeCase{"TwoQuotes", "\"\"", "\"\"\"\""},
        EncodeCase{"QuotedWithBlanks", "\" 5 \"", "\"\" 5 \"\""},
        EncodeCase{"QuoteThenBlank", "\"5\" ", "\"\"5\" \""},
        // Whether a read trims these differs between implementations: always quoted.
        EncodeCase{"NoBreakSpaceAtEnd", "5\xA0", "\"5\xA0\""},
        EncodeCase{"ControlAtStart",
                   "\x1A"
                   "5",
                   "\"\x1A"
                   "5\""}),
    [](const auto& row) { return std::string(row.param.name); });

// Any text made of the characters that matter comes back whole.
TEST(EncodeProfileValue, RandomTextsSurviveAPlainRead) {
  const char pool[] = {' ', '\t', '"', '\'', '5', 'a', ','};
  std::mt19937 random(9u);
  for (int round = 0; round < 2000; ++round) {
    std::string text(random() % 7, ' ');
    for (char& c : text) c = pool[random() % sizeof pool];
    EXPECT_EQ(PlainProfileRead(EncodeProfileValue(text)), text) << '[' << text << ']';
  }
}

}  // namespace
}  // namespace kordane
