// Paths inside the program are UTF-8 text; Windows names files in UTF-16. Only the wide (W)
// functions reach a folder whose name the ANSI code page cannot hold, so paths cross to Windows
// through these. Windows only.
#pragma once

#if defined(_WIN32)
#include <string>
#include <string_view>

namespace kordane {

// text in the given code page (CP_UTF8 for paths, CP_ACP for what the ANSI controls show) as
// UTF-16; characters that do not convert become the system's default character.
std::wstring ToWide(std::string_view text, unsigned codePage);
std::string FromWide(std::wstring_view text, unsigned codePage);

}  // namespace kordane
#endif
