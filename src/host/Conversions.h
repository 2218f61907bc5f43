// Conversions between user text and numbers, with the program's own syntax and messages.
// Numbers are entered and shown with one program-wide decimal separator, set at start-up.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kordane {

// A user text that does not convert. The message is exactly what the user reads.
class ConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Program-wide decimal separator; "." until the program sets the locale's at start-up.
void SetDecimalSeparator(char separator);
char DecimalSeparator();

// Floating-point parse: surrounding spaces, optional sign, digits with at most one decimal
// separator, optional exponent. Throws ConversionError
// "'<text>' is not a valid floating point value".
double ParseFloat(const std::string& text);

// Integer parse: leading spaces, then a signed decimal or a hexadecimal number ("$", "x", "X",
// "0x", "0X"). Throws ConversionError "'<text>' is not a valid integer value".
std::int32_t ParseInt(const std::string& text);

// General format with 15 significant digits and no trailing zeros; scientific outside the
// fixed range (0.00001 gives "1E-5").
std::string FloatToText(double value);

// Formats a message template such as "'%s' is out of range", putting text in place of %s.
std::string FormatUserMessage(const char* format, const std::string& text);

}  // namespace kordane
