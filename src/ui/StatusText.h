// Status lines show one line of text; a long message that names a file is shortened in the middle
// of its path, so that the reason after it stays whole ("C:\...\Dbx32.dll is not a 32-bit
// library"). Portable: the caller says what fits.
#pragma once

#include <functional>
#include <string>

namespace kordane::ui {

// The text as it fits: as it is when it fits or names no path; otherwise its first path with as
// much of its middle taken out (for "...") as it takes to fit, keeping the path's root and file
// name. The end of a text that still does not fit is the status line's to cut.
std::string ShortenedPathToFit(const std::string& text,
                               const std::function<bool(const std::string&)>& fits);

}  // namespace kordane::ui
