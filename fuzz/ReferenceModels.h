// The program's rules for texts, numbers and designators written out as plainly as they read, for
// the fuzz targets to hold the program against. Nothing here is shared with the program's code: the
// parses are hand-written state walks, the values come from the C library, the rounding is exact
// integer arithmetic, and the orders are the quadratic insertions the rules describe.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/Dbx32.h"

namespace kordane::fuzz::model {

inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

inline bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// ---- Integer parse ----------------------------------------------------------------

inline std::optional<std::int32_t> ParseInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  const std::string_view rest = text.substr(i);
  std::string_view hex;
  bool isHex = false;
  if (!rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X')) {
    hex = rest.substr(1);
    isHex = true;
  } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
    hex = rest.substr(2);
    isHex = true;
  }
  if (isHex) {
    if (hex.empty()) return std::nullopt;
    std::uint64_t value = 0;
    int significant = 0;
    for (const char c : hex) {
      if (!IsHexDigit(c)) return std::nullopt;
      const int digit = IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10;
      if (significant > 0 || digit != 0) ++significant;
      if (significant > 8) return std::nullopt;
      value = value * 16 + static_cast<std::uint64_t>(digit);
    }
    // The low 32 bits as a two's-complement pattern.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  }
  bool negative = false;
  std::string_view digits = rest;
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
    negative = digits[0] == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty()) return std::nullopt;
  std::int64_t magnitude = 0;
  for (const char c : digits) {
    if (!IsDigit(c)) return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > 2147483648LL) return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > 2147483647LL) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

// ---- Floating-point parse -----------------------------------------------------------

// The text in the C library's own syntax when it matches the program's, or nullopt.
inline std::optional<std::string> FloatSyntax(std::string_view text, char separator) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  const std::string_view body = text.substr(begin, end - begin);
  std::string c;  // what strtod reads
  std::size_t i = 0;
  if (i < body.size() && (body[i] == '+' || body[i] == '-')) c += body[i++];
  bool mantissa = false;
  std::string intPart;
  while (i < body.size() && IsDigit(body[i])) intPart += body[i++];
  mantissa = !intPart.empty();
  c += intPart.empty() ? "0" : intPart;
  if (i < body.size() && body[i] == separator) {
    ++i;
    mantissa = true;  // a lone separator reads as 0
    std::string fraction;
    while (i < body.size() && IsDigit(body[i])) fraction += body[i++];
    if (!fraction.empty()) c += "." + fraction;
  }
  if (!mantissa) return std::nullopt;
  if (i < body.size() && (body[i] == 'E' || body[i] == 'e')) {
    ++i;
    if (i < body.size()) {  // a bare E at the end adds nothing
      std::string exponent = "e";
      if (body[i] == '+' || body[i] == '-') exponent += body[i++];
      const std::size_t digitsFrom = i;
      while (i < body.size() && IsDigit(body[i])) exponent += body[i++];
      if (i == digitsFrom) return std::nullopt;
      c += exponent;
    }
  }
  if (i != body.size()) return std::nullopt;
  return c;
}

struct FloatResult {
  bool matches = false;    // the text has the syntax
  bool overflows = false;  // ... but its value lies beyond the range of a double
  double value = 0.0;
};

// Whether a number in the C library's syntax is at most 1.79769313486232E308 in magnitude: the
// float text of the largest double, rounded a little past it, which reads as that double. Exact
// decimal work: the digits from the first non-zero one, and where the decimal point falls.
inline bool AtMostLargestFloatText(const std::string& c) {
  std::size_t i = (c[0] == '+' || c[0] == '-') ? 1 : 0;
  std::string digits;
  std::optional<std::size_t> point;  // digits before the decimal point, when there is one
  for (; i < c.size() && c[i] != 'e'; ++i) {
    if (c[i] == '.') {
      point = digits.size();
    } else {
      digits += c[i];
    }
  }
  const auto pointAt = static_cast<std::int64_t>(point.value_or(digits.size()));
  std::int64_t exponent = 0;
  if (i < c.size()) {
    std::size_t j = i + 1;
    const bool negative = c[j] == '-';
    if (c[j] == '+' || c[j] == '-') ++j;
    for (; j < c.size(); ++j) {
      exponent = std::min<std::int64_t>(exponent * 10 + (c[j] - '0'), 1'000'000'000'000);
    }
    if (negative) exponent = -exponent;
  }
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return true;
  // The value as 0.d1d2... x 10^magnitude.
  const std::int64_t magnitude = pointAt - static_cast<std::int64_t>(first) + exponent;
  std::string significant = digits.substr(first);
  while (!significant.empty() && significant.back() == '0') significant.pop_back();
  if (magnitude != 309) return magnitude < 309;
  return significant <= "179769313486232";
}

inline FloatResult ParseFloat(std::string_view text, char separator) {
  FloatResult result;
  const std::optional<std::string> c = FloatSyntax(text, separator);
  if (!c) return result;
  result.matches = true;
  errno = 0;
  result.value = std::strtod(c->c_str(), nullptr);
  if (errno == ERANGE && std::isinf(result.value)) {
    if (AtMostLargestFloatText(*c)) {
      result.value = std::copysign(DBL_MAX, result.value);
    } else {
      result.overflows = true;
    }
  }
  return result;
}

// ---- Float text --------------------------------------------------------------------

// General format, 15 significant digits (correctly rounded by the C library), no trailing zeros,
// fixed notation for e from -3 to 15 in 0.d1d2... x 10^e.
inline std::string FloatText(double value, char separator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0.0) return "0";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
  std::string digits;
  const char* p = buffer;
  for (; *p != 'e'; ++p) {
    if (IsDigit(*p)) digits += *p;
  }
  const int exponent = std::atoi(p + 1);  // of d1.d2... x 10^exponent
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int e = exponent + 1;
  const int n = static_cast<int>(digits.size());
  std::string text = std::signbit(value) ? "-" : "";
  if (e >= -3 && e <= 15) {
    if (e <= 0) {
      text += "0";
      text += separator;
      text += std::string(static_cast<std::size_t>(-e), '0') + digits;
    } else if (e >= n) {
      text += digits + std::string(static_cast<std::size_t>(e - n), '0');
    } else {
      text += digits.substr(0, static_cast<std::size_t>(e));
      text += separator;
      text += digits.substr(static_cast<std::size_t>(e));
    }
  } else {
    text += digits[0];
    if (n > 1) {
      text += separator;
      text += digits.substr(1);
    }
    text += "E";
    if (exponent < 0) text += "-";
    text += std::to_string(std::abs(exponent));
  }
  return text;
}

// ---- Rounding into database units ---------------------------------------------------

using Wide = unsigned __int128;

// a / 2^shift, rounded to nearest with halves to even.
inline Wide ShiftRoundingToEven(Wide a, int shift) {
  if (shift <= 0) return a;
  if (shift > 120) return 0;  // a stays below 2^72 here: far below one half
  const Wide quotient = a >> shift;
  const Wide remainder = a & ((Wide{1} << shift) - 1);
  const Wide half = Wide{1} << (shift - 1);
  if (remainder > half || (remainder == half && (quotient & 1) != 0)) return quotient + 1;
  return quotient;
}

inline int BitLength(Wide a) {
  int bits = 0;
  while (a != 0) {
    a >>= 1;
    ++bits;
  }
  return bits;
}

// value x factor formed in extended precision (a 64-bit significand, rounded to even) and then
// rounded to an integer, halves to even; nullopt when that integer is not a signed 32-bit value.
inline std::optional<std::int32_t> RoundScaled(double value, std::int32_t factor) {
  if (!std::isfinite(value)) return std::nullopt;
  if (value == 0.0) return 0;
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(value), &exponent);
  Wide product = static_cast<Wide>(static_cast<std::uint64_t>(std::ldexp(fraction, 53))) *
                 static_cast<Wide>(factor);
  int scale = exponent - 53;  // |value x factor| = product x 2^scale, exactly
  const int bits = BitLength(product);
  if (bits > 64) {
    product = ShiftRoundingToEven(product, bits - 64);
    scale += bits - 64;
  }
  if (scale > 0) {
    if (scale > 40) return std::nullopt;
    product <<= scale;
  } else {
    product = ShiftRoundingToEven(product, -scale);
  }
  const bool negative = value < 0;
  if (product > (negative ? Wide{2147483648u} : Wide{2147483647u})) return std::nullopt;
  const auto magnitude = static_cast<std::int64_t>(product);
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

// ---- Designators and groups ----------------------------------------------------------

// Byte-by-byte as unsigned values; a proper beginning sorts first.
inline bool PrefixLess(const std::string& a, const std::string& b) {
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

struct Split {
  std::string prefix;
  std::string digits;
  std::optional<std::int32_t> number;
};

inline Split SplitOf(const std::string& designator) {
  std::size_t start = designator.size();
  while (start > 0 && IsDigit(designator[start - 1])) --start;
  Split split;
  split.prefix = designator.substr(0, start);
  split.digits = designator.substr(start);
  if (!split.digits.empty()) split.number = ParseInt(split.digits);
  return split;
}

inline std::string RefDesMessage(const std::string& designator) {
  return "Error converting RefDes: " + designator;
}

// SplitRefDes with its message box, which the models write to messages.
class Splitter {
 public:
  explicit Splitter(std::vector<std::string>& messages) : messages_(messages) {}
  Split operator()(const TDbxComponent* component) const {
    const std::string designator = component->RefDes();
    Split split = SplitOf(designator);
    if (!split.number) messages_.push_back(RefDesMessage(designator));
    return split;
  }

 private:
  std::vector<std::string>& messages_;
};

// The sort key of a designator without a number is left to the implementer; the program puts
// them before every numbered one, and so does this model.
inline std::int64_t NumberKey(const Split& split) {
  return split.number ? *split.number : INT64_MIN;
}

struct Group {
  std::vector<TDbxComponent*> components;
  std::string prefix;
};

// TCompTypeList.AddComponent.
inline bool AddToGroup(Group& group, TDbxComponent* component, const Splitter& split) {
  if (split(component).prefix != group.prefix) return false;
  group.components.push_back(component);
  return true;
}

// TSortedComp: Groups and Prefixes, and AddComponent step by step.
struct SortedComp {
  std::vector<Group> groups;
  std::vector<std::string> prefixes;

  void AddComponent(TDbxComponent* component, const Splitter& split) {
    const std::string prefix = split(component).prefix;
    for (Group& group : groups) {
      if (group.prefix == prefix) {
        AddToGroup(group, component, split);
        return;
      }
    }
    Group group{{}, prefix};
    AddToGroup(group, component, split);
    if (groups.empty() || PrefixLess(groups.back().prefix, prefix)) {
      groups.push_back(std::move(group));
    } else {
      std::size_t at = 0;
      while (PrefixLess(groups[at].prefix, prefix)) ++at;
      groups.insert(groups.begin() + static_cast<std::ptrdiff_t>(at), std::move(group));
    }
    RebuildPrefixes();
  }

  void RebuildPrefixes() {
    prefixes.clear();
    for (const Group& group : groups) prefixes.push_back(group.prefix);
  }
};

// SortByPosition: append after a smaller last coordinate, else insert before the first at or
// above.
inline void SortByPosition(Group& group, std::int32_t axis) {
  const auto coordinate = [axis](const TDbxComponent* c) { return axis == 1 ? c->X() : c->Y(); };
  std::vector<TDbxComponent*> sorted;
  for (TDbxComponent* component : group.components) {
    if (sorted.empty() || coordinate(sorted.back()) < coordinate(component)) {
      sorted.push_back(component);
      continue;
    }
    auto at = sorted.begin();
    while (coordinate(*at) < coordinate(component)) ++at;
    sorted.insert(at, component);
  }
  group.components = std::move(sorted);
}

// SortByNumber, splitting at exactly the moments the rules name.
inline void SortByNumber(Group& group, const Splitter& split) {
  std::vector<TDbxComponent*> sorted;
  for (TDbxComponent* component : group.components) {
    if (sorted.empty()) {
      sorted.push_back(component);  // not split
      continue;
    }
    const std::int64_t key = NumberKey(split(component));
    if (NumberKey(split(sorted.back())) < key) {
      sorted.push_back(component);
      continue;
    }
    auto at = sorted.begin();
    while (NumberKey(split(*at)) < key) ++at;
    sorted.insert(at, component);
  }
  group.components = std::move(sorted);
}

}  // namespace kordane::fuzz::model
