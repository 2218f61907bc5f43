// Why a file found where the host library is looked for cannot be loaded, told from its headers,
// so that the status line can say more than that the load failed. Needs no <windows.h>.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kordane {

// The first bytes of a file (its headers: 4 KiB hold them for any ordinary library) and its whole
// size. Gives what is wrong with it as the end of a sentence that starts with the file's name
// ("is not a 32-bit library"), or an empty text when it looks like a sound 32-bit x86 library.
std::string LibraryImageProblem(std::string_view head, std::uint64_t fileSize);

}  // namespace kordane
