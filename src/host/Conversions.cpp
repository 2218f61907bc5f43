#include "host/Conversions.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

namespace kordane {

namespace {

// Program-wide decimal separator, set once at start-up from the user's locale.
char gDecimalSeparator = '.';

constexpr const char* kInvalidFloat = "'%s' is not a valid floating point value";
constexpr const char* kInvalidInteger = "'%s' is not a valid integer value";

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Leading digits of text from pos on; pos moves past them.
std::string_view TakeDigits(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  while (pos < text.size() && IsDigit(text[pos])) ++pos;
  return text.substr(start, pos - start);
}

// Clamped so that an absurdly long exponent cannot overflow; any value past the clamp is far
// outside the range of a double either way.
constexpr std::int64_t kExponentClamp = 1'000'000'000;

std::int64_t ClampedDecimal(std::string_view digits) {
  std::int64_t value = 0;
  for (const char c : digits) {
    value = value * 10 + (c - '0');
    if (value > kExponentClamp) return kExponentClamp;
  }
  return value;
}

// The float text of the largest double, 1.79769313486232E308, as 0.179769313486232 x 10^309.
constexpr std::string_view kLargestTextDigits = "179769313486232";
constexpr std::int64_t kLargestTextMagnitude = 309;

// The mantissa's digits without leading and trailing zeros: for texts of one magnitude, their
// order as texts is the order of the values.
std::string SignificantDigits(std::string_view intDigits, std::string_view fracDigits) {
  std::string digits(intDigits);
  digits += fracDigits;
  digits.erase(0, digits.find_first_not_of('0'));
  digits.erase(digits.find_last_not_of('0') + 1);
  return digits;
}

}  // namespace

void SetDecimalSeparator(char separator) {
  gDecimalSeparator = separator;
}

char DecimalSeparator() {
  return gDecimalSeparator;
}

double ParseFloat(const std::string& text) {
  const auto fail = [&text]() { return ConversionError(FormatUserMessage(kInvalidFloat, text)); };

  std::string_view body(text);
  const std::size_t first = body.find_first_not_of(' ');
  if (first == std::string_view::npos) throw fail();
  body = body.substr(first, body.find_last_not_of(' ') - first + 1);

  std::size_t pos = 0;
  bool negative = false;
  if (body[pos] == '+' || body[pos] == '-') {
    negative = body[pos] == '-';
    ++pos;
  }
  const std::string_view intDigits = TakeDigits(body, pos);
  bool hasSeparator = false;
  std::string_view fracDigits;
  if (pos < body.size() && body[pos] == gDecimalSeparator) {
    hasSeparator = true;
    ++pos;
    fracDigits = TakeDigits(body, pos);
  }
  if (intDigits.empty() && !hasSeparator) throw fail();

  bool exponentNegative = false;
  std::string_view exponentDigits;
  if (pos < body.size() && (body[pos] == 'E' || body[pos] == 'e')) {
    ++pos;
    // A bare "E" at the end adds nothing; a sign must be followed by digits.
    if (pos < body.size()) {
      if (body[pos] == '+' || body[pos] == '-') {
        exponentNegative = body[pos] == '-';
        ++pos;
      }
      exponentDigits = TakeDigits(body, pos);
      if (exponentDigits.empty()) throw fail();
    }
  }
  if (pos != body.size()) throw fail();

  // from_chars wants "." and no "+"; a lone separator reads as 0.
  std::string normalized;
  if (negative) normalized += '-';
  normalized += intDigits.empty() ? std::string_view("0") : intDigits;
  if (!fracDigits.empty()) {
    normalized += '.';
    normalized += fracDigits;
  }
  if (!exponentDigits.empty()) {
    normalized += exponentNegative ? "e-" : "e";
    normalized += exponentDigits;
  }

  double value = 0.0;
  const char* end = normalized.data() + normalized.size();
  const auto [ptr, ec] = std::from_chars(normalized.data(), end, value);
  if (ec == std::errc::result_out_of_range) {
    // Too large or too small for a double. With the value as 0.d1d2... x 10^magnitude, a positive
    // magnitude means too large; too small reads as zero.
    std::int64_t magnitude = 0;
    const std::size_t intLead = intDigits.find_first_not_of('0');
    if (intLead != std::string_view::npos) {
      magnitude = static_cast<std::int64_t>(intDigits.size() - intLead);
    } else {
      const std::size_t fracLead = fracDigits.find_first_not_of('0');
      magnitude = -static_cast<std::int64_t>(fracLead == std::string_view::npos ? fracDigits.size()
                                                                                : fracLead);
    }
    const std::int64_t exponent = ClampedDecimal(exponentDigits);
    magnitude += exponentNegative ? -exponent : exponent;
    if (magnitude <= 0) return negative ? -0.0 : 0.0;
    // The float text of the largest double, 1.79769313486232E308, is rounded a little past it;
    // values up to that text read as the largest double so that every float text reads back.
    if (magnitude == kLargestTextMagnitude &&
        SignificantDigits(intDigits, fracDigits) <= kLargestTextDigits) {
      return negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
    }
    throw fail();
  }
  if (ec != std::errc() || ptr != end) throw fail();
  return value;
}

std::int32_t ParseInt(const std::string& text) {
  const auto fail = [&text]() { return ConversionError(FormatUserMessage(kInvalidInteger, text)); };

  const std::string_view whole(text);
  std::size_t pos = whole.find_first_not_of(' ');
  if (pos == std::string_view::npos) throw fail();

  std::size_t hexStart = std::string_view::npos;
  if (whole[pos] == '$' || whole[pos] == 'x' || whole[pos] == 'X') {
    hexStart = pos + 1;
  } else if (whole[pos] == '0' && pos + 1 < whole.size() &&
             (whole[pos + 1] == 'x' || whole[pos + 1] == 'X')) {
    hexStart = pos + 2;
  }

  if (hexStart != std::string_view::npos) {
    const std::string_view digits = whole.substr(hexStart);
    if (digits.empty()) throw fail();
    std::uint32_t pattern = 0;
    int significant = 0;
    for (const char c : digits) {
      const int digit = HexDigitValue(c);
      if (digit < 0) throw fail();
      if (significant > 0 || digit != 0) ++significant;
      if (significant > 8) throw fail();
      pattern = (pattern << 4) | static_cast<std::uint32_t>(digit);
    }
    // Two's complement: $FFFFFFFF is -1 (a well-defined conversion since C++20).
    return static_cast<std::int32_t>(pattern);
  }

  bool negative = false;
  if (whole[pos] == '+' || whole[pos] == '-') {
    negative = whole[pos] == '-';
    ++pos;
  }
  const std::string_view digits = TakeDigits(whole, pos);
  if (digits.empty() || pos != whole.size()) throw fail();
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t magnitude = 0;
  for (const char c : digits) {
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > limit) throw fail();
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::string FloatToText(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0.0) return "0";  // also -0

  // 15 significant digits, correctly rounded: "[-]d.dddddddddddddde[+-]xx".
  char buffer[64];
  const char* const end =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14).ptr;
  const std::string_view scientific(buffer, static_cast<std::size_t>(end - buffer));

  const bool negative = scientific.front() == '-';
  const std::size_t exponentMark = scientific.find('e');
  std::string digits;
  for (const char c : scientific.substr(0, exponentMark)) {
    if (IsDigit(c)) digits += c;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const std::string_view exponentText = scientific.substr(exponentMark + 2);
  const int exponentSize = static_cast<int>(ClampedDecimal(exponentText));
  const int exponent = scientific[exponentMark + 1] == '-' ? -exponentSize : exponentSize;

  std::string result = negative ? "-" : "";
  const int pointPos = exponent + 1;  // e of 0.ddd x 10^e
  const int digitCount = static_cast<int>(digits.size());
  if (pointPos >= -3 && pointPos <= 15) {
    if (pointPos <= 0) {
      result += '0';
      result += gDecimalSeparator;
      result.append(static_cast<std::size_t>(-pointPos), '0');
      result += digits;
    } else if (pointPos >= digitCount) {
      result += digits;
      result.append(static_cast<std::size_t>(pointPos - digitCount), '0');
    } else {
      const auto split = static_cast<std::size_t>(pointPos);
      result += digits.substr(0, split);
      result += gDecimalSeparator;
      result += digits.substr(split);
    }
  } else {
    result += digits.front();
    if (digits.size() > 1) {
      result += gDecimalSeparator;
      result += digits.substr(1);
    }
    result += 'E';
    if (exponent < 0) result += '-';
    result += std::to_string(std::abs(exponent));
  }
  return result;
}

std::string FormatUserMessage(const char* format, const std::string& text) {
  std::string message(format);
  for (std::size_t at = message.find("%s"); at != std::string::npos;
       at = message.find("%s", at + text.size())) {
    message.replace(at, 2, text);
  }
  return message;
}

}  // namespace kordane
