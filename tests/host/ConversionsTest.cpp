#include <gtest/gtest.h>

#include <cfloat>
#include <cstdint>
#include <limits>
#include <string>

#include "host/Conversions.h"

namespace kordane {
namespace {

// Every case runs with "." and with "," as the program's separator. Rows are written for "."
// with "," standing for a foreign character; under "," the two swap. "." is put back after.
class ConversionsTest : public ::testing::TestWithParam<char> {
 protected:
  void SetUp() override { SetDecimalSeparator(GetParam()); }
  void TearDown() override { SetDecimalSeparator('.'); }

  std::string Localised(std::string text) const {
    if (GetParam() == ',') {
      for (char& c : text) {
        if (c == '.') {
          c = ',';
        } else if (c == ',') {
          c = '.';
        }
      }
    }
    return text;
  }
};

INSTANTIATE_TEST_SUITE_P(Separators, ConversionsTest, ::testing::Values('.', ','),
                         [](const ::testing::TestParamInfo<char>& separator) {
                           return std::string(separator.param == '.' ? "Point" : "Comma");
                         });

struct FloatRow {
  const char* name;
  const char* text;
  double value;
};

TEST_P(ConversionsTest, ParseFloatReadsItsSyntax) {
  const FloatRow rows[] = {
      {"integer", "42", 42.0},
      {"fraction", "1.5", 1.5},
      {"surrounding spaces", "  1.5  ", 1.5},
      {"plus sign", "+2.25", 2.25},
      {"minus sign", "-2.25", -2.25},
      {"no integer digits", ".5", 0.5},
      {"no fraction digits", "5.", 5.0},
      {"leading zeros", "007.50", 7.5},
      {"lone separator reads as zero", ".", 0.0},
      {"signed lone separator reads as zero", "+.", 0.0},
      {"negative lone separator reads as zero", " -. ", 0.0},
      {"exponent", "1.5E3", 1500.0},
      {"lower-case exponent", "1.5e3", 1500.0},
      {"negative exponent", "25e-1", 2.5},
      {"positive exponent", "2.5E+2", 250.0},
      {"separator then exponent", "5.E2", 500.0},
      {"lone separator with exponent", ".E2", 0.0},
      {"bare E reads as the number", "5E", 5.0},
      {"bare e before trailing spaces", "-5e  ", -5.0},
      {"many digits round correctly", "0.1000000000000000055511151231257827", 0.1},
      {"largest double", "1.7976931348623157E308", DBL_MAX},
      {"underflow reads as zero", "1E-400", 0.0},
      {"long exponent underflows to zero", "1E-99999999999999999999", 0.0},
      {"zero with a huge exponent", "0E99999999999999999999", 0.0},
  };
  for (const FloatRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ParseFloat(Localised(row.text)), row.value);
  }
}

TEST_P(ConversionsTest, ParseFloatRejectsOtherText) {
  const FloatRow rows[] = {
      {"empty", "", 0},
      {"spaces only", "   ", 0},
      {"lone minus", "-", 0},
      {"lone plus", " + ", 0},
      {"space after the sign", "- 1", 0},
      {"two signs", "+-1", 0},
      {"two separators", "1.2.3", 0},
      {"foreign separator", "1,5", 0},
      {"thousands separator", "1,000.5", 0},
      {"space inside", "1 5", 0},
      {"exponent without mantissa", "E5", 0},
      {"signed exponent without mantissa", "-e5", 0},
      {"exponent sign without digits", "5E+", 0},
      {"negative exponent sign without digits", "5e- ", 0},
      {"fraction in the exponent", "1E2.5", 0},
      {"second exponent", "1E2E3", 0},
      {"trailing letter", "12a", 0},
      {"hexadecimal", "$10", 0},
      {"tab is not a space", "\t1", 0},
      {"overflow", "1E400", 0},
      {"negative overflow", "-1.8E308", 0},
      {"overflow by many digits", "1000000000000000000000000000000E300", 0},
      {"long exponent overflows", "0.001E99999999999999999999", 0},
  };
  for (const FloatRow& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string text = Localised(row.text);
    try {
      ParseFloat(text);
      ADD_FAILURE() << "'" << text << "' was accepted";
    } catch (const ConversionError& error) {
      EXPECT_EQ(std::string(error.what()), "'" + text + "' is not a valid floating point value");
    }
  }
}

struct IntRow {
  const char* name;
  const char* text;
  std::int32_t value;
};

TEST_P(ConversionsTest, ParseIntReadsItsSyntax) {
  const IntRow rows[] = {
      {"decimal", "123", 123},
      {"zero", "0", 0},
      {"leading spaces", "   42", 42},
      {"plus sign", "+7", 7},
      {"minus sign", "-7", -7},
      {"leading zeros", "0007", 7},
      {"largest", "2147483647", std::numeric_limits<std::int32_t>::max()},
      {"smallest", "-2147483648", std::numeric_limits<std::int32_t>::min()},
      {"dollar marker", "$1F", 31},
      {"x marker", "x1f", 31},
      {"upper-case X marker", "XFF", 255},
      {"0x marker", "0x10", 16},
      {"0X marker", "0XaB", 171},
      {"spaces before a marker", "  $10", 16},
      {"all ones is minus one", "$FFFFFFFF", -1},
      {"high bit alone is the smallest", "0x80000000", std::numeric_limits<std::int32_t>::min()},
      {"leading hex zeros do not count", "$000000000FFFFFFFE", -2},
  };
  for (const IntRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ParseInt(Localised(row.text)), row.value);
  }
}

TEST_P(ConversionsTest, ParseIntRejectsOtherText) {
  const IntRow rows[] = {
      {"empty", "", 0},
      {"spaces only", "  ", 0},
      {"lone minus", "-", 0},
      {"lone plus", "+", 0},
      {"trailing space", "12 ", 0},
      {"space after the sign", "- 1", 0},
      {"one past the largest", "2147483648", 0},
      {"one below the smallest", "-2147483649", 0},
      {"far too large", "99999999999999999999", 0},
      {"minus before a marker", "-$10", 0},
      {"plus before a marker", "+0x10", 0},
      {"minus before 0x", "-0x10", 0},
      {"dollar without digits", "$", 0},
      {"0x without digits", "0x", 0},
      {"x without digits", "x", 0},
      {"nine significant hex digits", "$100000000", 0},
      {"not a hex digit", "$1G", 0},
      {"two markers", "$0x1", 0},
      {"space after a hex number", "$10 ", 0},
      {"separator", "1.0", 0},
      {"foreign separator", "1,0", 0},
      {"exponent", "1E3", 0},
  };
  for (const IntRow& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string text = Localised(row.text);
    try {
      ParseInt(text);
      ADD_FAILURE() << "'" << text << "' was accepted";
    } catch (const ConversionError& error) {
      EXPECT_EQ(std::string(error.what()), "'" + text + "' is not a valid integer value");
    }
  }
}

struct TextRow {
  const char* name;
  double value;
  const char* text;
};

TEST_P(ConversionsTest, FloatToTextWritesGeneralFormat) {
  const TextRow rows[] = {
      {"zero", 0.0, "0"},
      {"negative zero has no sign", -0.0, "0"},
      {"integer", 42.0, "42"},
      {"negative integer", -42.0, "-42"},
      {"trailing zeros dropped", 1.5, "1.5"},
      {"fifteen digits hide binary noise", 0.1 + 0.2, "0.3"},
      {"third rounds at fifteen digits", 1.0 / 3.0, "0.333333333333333"},
      {"two thirds round up", 2.0 / 3.0, "0.666666666666667"},
      {"mils of 100000 units", 100000.0 / 2540.0, "39.3700787401575"},
      {"mils of 20000000 units", 20000000.0 / 2540.0, "7874.0157480315"},
      {"smallest fixed exponent", 0.0001, "0.0001"},
      {"fixed with digits after leading zeros", -0.00012345, "-0.00012345"},
      {"below fixed range", 0.00001, "1E-5"},
      {"scientific with fraction", 0.000012345, "1.2345E-5"},
      {"largest fixed exponent", 999999999999999.0, "999999999999999"},
      {"fixed with fraction", 12345678901234.5, "12345678901234.5"},
      {"above fixed range", 1e15, "1E15"},
      {"rounding carries into the exponent", 999999999999999.9, "1E15"},
      {"scientific rounded to fifteen digits", 123456789012345678.0, "1.23456789012346E17"},
      {"exponent without leading zeros", 1e300, "1E300"},
      {"negative scientific", -1.5e-10, "-1.5E-10"},
      {"smallest denormal", 4.9406564584124654e-324, "4.94065645841247E-324"},
      {"largest double", DBL_MAX, "1.79769313486232E308"},
  };
  for (const TextRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FloatToText(row.value), Localised(row.text));
  }
}

TEST_P(ConversionsTest, FloatTextReadsBack) {
  for (const double value : {39.3700787401575, -1.5e-10, 0.0001, 1e15, 123.456}) {
    EXPECT_EQ(ParseFloat(FloatToText(value)), value);
  }
}

TEST(FormatUserMessageTest, PutsTheTextInPlaceOfPercentS) {
  EXPECT_EQ(FormatUserMessage("'%s' is out of range", "12"), "'12' is out of range");
  EXPECT_EQ(FormatUserMessage("no marker", "12"), "no marker");
  // The inserted text is not scanned again.
  EXPECT_EQ(FormatUserMessage("'%s'", "%s%s"), "'%s%s'");
}

TEST(DecimalSeparatorTest, StartsAsPoint) {
  EXPECT_EQ(DecimalSeparator(), '.');
}

}  // namespace
}  // namespace kordane
