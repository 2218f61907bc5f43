// A small library image with the headers the loader's checks read: DOS header, PE headers (PE32+
// for a 64-bit machine) and one section, 1 KiB in all.
#pragma once

#include <cstdint>
#include <string>

namespace kordane::testing {

inline constexpr std::uint16_t kMachineI386 = 0x14C;
inline constexpr std::uint16_t kMachineX64 = 0x8664;
inline constexpr std::uint16_t kLibraryFlags = 0x2102;  // executable, 32-bit words, DLL
inline constexpr std::uint16_t kProgramFlags = 0x0102;

inline std::string PeImage(std::uint16_t machine = kMachineI386,
                           std::uint16_t flags = kLibraryFlags) {
  std::string image(1024, '\0');
  const auto put = [&](std::size_t at, std::uint32_t value, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i) {
      image[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
    }
  };
  const bool wide = machine != kMachineI386;
  const std::size_t optional = 0x98;
  const std::size_t optionalSize = wide ? 240 : 224;
  image[0] = 'M';
  image[1] = 'Z';
  put(0x3C, 0x80, 4);
  image.replace(0x80, 4, std::string("PE\0\0", 4));
  put(0x84, machine, 2);
  put(0x86, 1, 2);  // one section
  put(0x94, static_cast<std::uint32_t>(optionalSize), 2);
  put(0x96, flags, 2);
  put(optional, wide ? 0x20B : 0x10B, 2);
  put(optional + 32, 0x1000, 4);              // section alignment
  put(optional + 36, 0x200, 4);               // file alignment
  put(optional + 56, 0x2000, 4);              // size of the image
  put(optional + 60, 0x200, 4);               // size of the headers
  put(optional + 68, 2, 2);                   // a GUI subsystem
  put(optional + optionalSize - 132, 16, 4);  // 16 data directories
  const std::size_t section = optional + optionalSize;
  image.replace(section, 5, ".text");
  put(section + 8, 0x200, 4);    // virtual size
  put(section + 12, 0x1000, 4);  // virtual address
  put(section + 16, 0x200, 4);   // size of the data in the file
  put(section + 20, 0x200, 4);   // where the data lies in the file
  return image;
}

}  // namespace kordane::testing
