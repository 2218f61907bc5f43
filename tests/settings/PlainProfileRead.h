// What the private-profile functions give back for a stored value: the blanks around it trimmed,
// then one pair of matching enclosing quotation marks (" or ') dropped. The Wine tests check this
// model against the real functions.
#pragma once

#include <string>

namespace kordane::fakes {

inline std::string PlainProfileRead(const std::string& stored) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; };
  std::size_t begin = 0;
  std::size_t end = stored.size();
  while (begin < end && blank(stored[begin])) ++begin;
  while (end > begin && blank(stored[end - 1])) --end;
  std::string value = stored.substr(begin, end - begin);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace kordane::fakes
