#include "ui/StatusText.h"

namespace kordane::ui {

namespace {

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// Where the first path starts: a drive ("C:\"), a share ("\\server") or a root ("/"); npos for
// none.
std::size_t PathStart(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool drive = i + 2 < text.size() && IsAsciiLetter(text[i]) && text[i + 1] == ':' &&
                       IsSeparator(text[i + 2]) && (i == 0 || !IsAsciiLetter(text[i - 1]));
    const bool rooted =
        IsSeparator(text[i]) && (i == 0 || text[i - 1] == ' ' || text[i - 1] == '"');
    if (drive || rooted) return i;
  }
  return std::string::npos;
}

}  // namespace

std::string ShortenedPathToFit(const std::string& text,
                               const std::function<bool(const std::string&)>& fits) {
  if (fits(text)) return text;
  const std::size_t start = PathStart(text);
  if (start == std::string::npos) return text;
  // The root stays ("C:\", "\\", "/"), and so does the last separator and the file name after it.
  std::size_t keepFrom = start + (text[start + 1] == ':' ? 3 : 1);
  while (keepFrom < text.size() && IsSeparator(text[keepFrom])) ++keepFrom;
  std::size_t lastSeparator = std::string::npos;
  for (std::size_t i = keepFrom; i < text.size() && text[i] != '"'; ++i) {
    if (IsSeparator(text[i])) lastSeparator = i;
  }
  if (lastSeparator == std::string::npos || lastSeparator <= keepFrom) return text;
  const std::size_t middle = lastSeparator - keepFrom;
  std::string shortest = text;
  for (std::size_t cut = 1; cut <= middle; ++cut) {
    // Taken out of the middle of the middle, so that both ends of the path stay readable.
    const std::size_t from = keepFrom + (middle - cut) / 2;
    shortest = text.substr(0, from) + "..." + text.substr(from + cut);
    if (fits(shortest)) return shortest;
  }
  return shortest;
}

}  // namespace kordane::ui
