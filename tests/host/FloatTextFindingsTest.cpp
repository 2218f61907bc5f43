// Inputs the conversions fuzz target (fuzz/ConversionsFuzzer.cpp) found, kept as regression tests.
#include <gtest/gtest.h>

#include <cfloat>
#include <string>

#include "host/Conversions.h"

namespace kordane {
namespace {

class FloatTextFindingsTest : public ::testing::TestWithParam<char> {
 protected:
  void SetUp() override { SetDecimalSeparator(GetParam()); }
  void TearDown() override { SetDecimalSeparator('.'); }

  std::string Localised(std::string text) const {
    for (char& c : text) {
      if (c == '.') c = GetParam();
    }
    return text;
  }
};

INSTANTIATE_TEST_SUITE_P(Separators, FloatTextFindingsTest, ::testing::Values('.', ','),
                         [](const ::testing::TestParamInfo<char>& separator) {
                           return std::string(separator.param == '.' ? "Point" : "Comma");
                         });

// The float text of the largest double rounds to 15 digits past it; it used to be rejected as
// too large, so the largest double did not survive its own text.
TEST_P(FloatTextFindingsTest, LargestDoubleReadsBackFromItsText) {
  const std::string text = Localised("1.79769313486232E308");
  EXPECT_EQ(FloatToText(DBL_MAX), text);
  EXPECT_EQ(ParseFloat(text), DBL_MAX);
  EXPECT_EQ(ParseFloat("-" + text), -DBL_MAX);
  EXPECT_EQ(FloatToText(-DBL_MAX), "-" + text);
}

TEST_P(FloatTextFindingsTest, TextsUpToTheLargestFloatTextReadAsTheLargestDouble) {
  for (const char* text : {"1.7976931348623158E308", "1.797693134862319999E308",
                           "0.179769313486232E309", "179769313486232E294", "1.79769313486232e+308",
                           " 001.797693134862320000E308 "}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ParseFloat(Localised(text)), DBL_MAX);
  }
}

TEST_P(FloatTextFindingsTest, TextsBeyondTheLargestFloatTextStayTooLarge) {
  for (const char* text : {"1.79769313486233E308", "1.7976931348623200001E308", "1.8E308",
                           "17976931348623200001E289", "1E309", "0.2E310"}) {
    SCOPED_TRACE(text);
    const std::string localised = Localised(text);
    try {
      ParseFloat(localised);
      ADD_FAILURE() << localised << " was accepted";
    } catch (const ConversionError& error) {
      EXPECT_EQ(std::string(error.what()),
                "'" + localised + "' is not a valid floating point value");
    }
  }
}

}  // namespace
}  // namespace kordane
