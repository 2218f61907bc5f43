// Text conversions, units and status texts against plain reference models of their rules. The
// input is one user text; it is read with both decimal separators, and its bytes also give a
// double, an integer and a status code.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "FuzzSupport.h"
#include "ReferenceModels.h"
#include "host/Conversions.h"
#include "host/DbxUtils.h"

namespace kordane::fuzz {
namespace {

struct StatusRow {
  std::int32_t code;
  const char* text;
};

// The status table, code by code.
constexpr StatusRow kStatusTable[] = {
#include "StatusTable.inc"
};

std::string ListedStatusText(std::int32_t code) {
  for (const StatusRow& row : kStatusTable) {
    if (row.code == code) return row.text;
  }
  return {};
}

std::string FloatError(const std::string& text) {
  return "'" + text + "' is not a valid floating point value";
}

std::string IntegerError(const std::string& text) {
  return "'" + text + "' is not a valid integer value";
}

std::string RangeError(const std::string& shown) {
  return "'" + shown + "' is out of range";
}

// Within one unit of the 15th significant digit of expected.
bool Within15Digits(double actual, double expected) {
  if (expected == 0.0) return actual == 0.0;
  const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(expected))) - 14.0);
  return std::fabs(actual - expected) <= unit;
}

// The float text of a value: its exact form, and that it reads back within 15 digits.
void CheckFloatText(double value, char separator) {
  const std::string text = FloatToText(value);
  FUZZ_CHECK(text == model::FloatText(value, separator),
             "float text of " + model::FloatText(value, '.') + " is " + Shown(text));
  if (!std::isfinite(value)) return;
  double back = 0.0;
  try {
    back = ParseFloat(text);
  } catch (const ConversionError& error) {
    Fail(__FILE__, __LINE__, "float text reads back", Shown(text) + ": " + error.what());
  }
  FUZZ_CHECK(Within15Digits(back, value), Shown(text) + " reads back as " + FloatToText(back));
  FUZZ_CHECK(FloatToText(back) == text, "float text of the read-back value differs from " + text);
}

void CheckParseFloat(const std::string& text, char separator) {
  const model::FloatResult expected = model::ParseFloat(text, separator);
  double value = 0.0;
  try {
    value = ParseFloat(text);
  } catch (const ConversionError& error) {
    FUZZ_CHECK(!expected.matches || expected.overflows, Shown(text) + " was rejected");
    FUZZ_CHECK(error.what() == FloatError(text), "message " + Shown(error.what()));
    return;
  }
  FUZZ_CHECK(expected.matches && !expected.overflows, Shown(text) + " was accepted");
  FUZZ_CHECK(value == expected.value && std::signbit(value) == std::signbit(expected.value),
             Shown(text) + " reads as " + FloatToText(value));
  CheckFloatText(value, separator);
}

void CheckParseInt(const std::string& text) {
  const std::optional<std::int32_t> expected = model::ParseInt(text);
  try {
    const std::int32_t value = ParseInt(text);
    FUZZ_CHECK(expected.has_value(), Shown(text) + " was accepted");
    FUZZ_CHECK(value == *expected, Shown(text) + " reads as " + std::to_string(value));
  } catch (const ConversionError& error) {
    FUZZ_CHECK(!expected.has_value(), Shown(text) + " was rejected");
    FUZZ_CHECK(error.what() == IntegerError(text), "message " + Shown(error.what()));
  }
}

// A rounding conversion: the model's integer, or the range error naming shown.
template <typename Convert>
void CheckRounding(const char* name, Convert convert, double value, std::int32_t factor,
                   const std::string& shown) {
  const std::optional<std::int32_t> expected = model::RoundScaled(value, factor);
  try {
    const std::int32_t db = convert();
    FUZZ_CHECK(expected.has_value(), std::string(name) + " of " + shown + " gave " +
                                         std::to_string(db) + ", not a range error");
    FUZZ_CHECK(db == *expected, std::string(name) + " of " + shown + " gave " + std::to_string(db) +
                                    ", not " + std::to_string(*expected));
  } catch (const ConversionError& error) {
    FUZZ_CHECK(!expected.has_value(), std::string(name) + " of " + shown + " failed: " +
                                          error.what() + ", not " + std::to_string(*expected));
    FUZZ_CHECK(error.what() == RangeError(shown), "message " + Shown(error.what()));
  }
}

void CheckUnits(double value) {
  const std::string shown = FloatToText(value);
  CheckRounding(
      "MilsToDb", [value] { return MilsToDb(value); }, value, kDbPerMil, shown);
  CheckRounding(
      "MmToDb", [value] { return MmToDb(value); }, value, kDbPerMm, shown);
  const std::int32_t codes[] = {kUnitsUnknown, kUnitsMils, kUnitsMm, 0, 3};
  for (const std::int32_t code : codes) {
    DbUnits = code;
    const std::int32_t factor = code == kUnitsMils ? kDbPerMil : code == kUnitsMm ? kDbPerMm : 1;
    CheckRounding(
        "ToDbUnits", [value] { return ToDbUnits(value); }, value, factor, shown);
  }
  DbUnits = kUnitsUnknown;
}

// The unit texts: the Mils and Mm buttons' round trip gives the same database units back.
void CheckUnitTexts(std::int32_t db) {
  const std::string mils = DbToMilsText(db);
  FUZZ_CHECK(mils == FloatToText(static_cast<double>(db) / kDbPerMil), "mils text " + mils);
  FUZZ_CHECK(MilsTextToDb(mils) == db, mils + " mils is not " + std::to_string(db));
  const std::string mm = DbToMmText(db);
  FUZZ_CHECK(mm == FloatToText(static_cast<double>(db) / kDbPerMm), "mm text " + mm);
  FUZZ_CHECK(MmTextToDb(mm) == db, mm + " mm is not " + std::to_string(db));
}

void CheckTextToDb(const std::string& text, char separator) {
  const model::FloatResult parsed = model::ParseFloat(text, separator);
  const bool parses = parsed.matches && !parsed.overflows;
  const auto check = [&](const char* name, auto convert, std::int32_t factor) {
    if (!parses) {
      try {
        convert();
        Fail(__FILE__, __LINE__, name, Shown(text) + " was accepted");
      } catch (const ConversionError& error) {
        FUZZ_CHECK(error.what() == FloatError(text), "message " + Shown(error.what()));
      }
      return;
    }
    CheckRounding(name, convert, parsed.value, factor, text);
  };
  check(
      "MilsTextToDb", [&text] { return MilsTextToDb(text); }, kDbPerMil);
  check(
      "MmTextToDb", [&text] { return MmTextToDb(text); }, kDbPerMm);
}

void CheckStatusText(std::int32_t code) {
  const std::string text = DbxStatusText(code);
  const std::string listed = ListedStatusText(code);
  const std::string expected = code == 0         ? "Status: OK"
                               : !listed.empty() ? listed
                                                 : "Status: " + std::to_string(code);
  FUZZ_CHECK(text == expected, std::to_string(code) + " gives " + Shown(text));
}

}  // namespace
}  // namespace kordane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kordane;
  using namespace kordane::fuzz;
  // The program's texts are NUL-terminated 8-bit strings (edit controls, profile values): the user
  // text ends at the first NUL. The numbers below take every byte.
  const std::string text(reinterpret_cast<const char*>(data),
                         strnlen(reinterpret_cast<const char*>(data), size));

  for (const char separator : {'.', ','}) {
    SetDecimalSeparator(separator);
    CheckParseFloat(text, separator);
    CheckTextToDb(text, separator);
    const model::FloatResult parsed = model::ParseFloat(text, separator);
    if (parsed.matches && !parsed.overflows) CheckUnits(parsed.value);
  }
  SetDecimalSeparator('.');
  CheckParseInt(text);

  // The same bytes as numbers.
  if (size >= sizeof(double)) {
    double value = 0.0;
    std::memcpy(&value, data, sizeof value);
    CheckFloatText(value, '.');
    CheckUnits(value);
  }
  std::int32_t code = 0;
  std::memcpy(&code, data, size < sizeof code ? size : sizeof code);
  CheckStatusText(code);
  CheckUnitTexts(code);
  if (const std::optional<std::int32_t> number = model::ParseInt(text)) {
    CheckStatusText(*number);
    CheckUnitTexts(*number);
  }
  return 0;
}
