#include "settings/ProfileValue.h"

namespace kordane {

namespace {

// Blanks, control characters and everything above ASCII count as trimmable: which of them a read
// trims differs between implementations (some take a no-break space or ^Z for a blank), and
// quoting a text that did not need it costs nothing.
bool MayBeTrimmed(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte <= ' ' || byte >= 0x7F;
}

bool IsQuote(char c) {
  return c == '"' || c == '\'';
}

}  // namespace

bool NeedsProfileQuotes(const std::string& text) {
  if (text.empty()) return false;
  if (MayBeTrimmed(text.front()) || MayBeTrimmed(text.back())) return true;
  return text.size() >= 2 && IsQuote(text.front()) && text.back() == text.front();
}

std::string EncodeProfileValue(const std::string& text) {
  if (!NeedsProfileQuotes(text)) return text;
  return '"' + text + '"';
}

}  // namespace kordane
