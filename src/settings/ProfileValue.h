// How a text is written into a private-profile (INI) file so that reading it gives back the same
// characters. A read trims the blanks around a stored value and, when the value begins and ends
// with the same quotation mark (" or '), drops that pair; a text that either would change is
// stored inside double quotes, which the read drops again. Every other text is stored as it
// stands, so files without quotes read as they always did.
#pragma once

#include <cstddef>
#include <string>

namespace kordane {

// Texts longer than this are cut when they are read back.
inline constexpr std::size_t kMaxProfileTextLength = 2047;

// True when a plain read of text would not give text back.
bool NeedsProfileQuotes(const std::string& text);

// The value to store for text: text itself, or text inside double quotes.
std::string EncodeProfileValue(const std::string& text);

}  // namespace kordane
