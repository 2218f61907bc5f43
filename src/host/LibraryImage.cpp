#include "host/LibraryImage.h"

namespace kordane {

namespace {

constexpr std::uint16_t kMachineI386 = 0x14C;
constexpr std::uint16_t kMachines64[] = {0x8664, 0xAA64, 0x200};  // x64, ARM64, Itanium
constexpr std::uint16_t kFlagDll = 0x2000;
constexpr std::size_t kSectionSize = 40;

// Little-endian field at offset; 0 when the head ends first (callers check the room they need).
std::uint32_t Field(std::string_view head, std::size_t offset, std::size_t bytes) {
  if (offset > head.size() || head.size() - offset < bytes) return 0;
  std::uint32_t value = 0;
  for (std::size_t i = bytes; i-- > 0;) {
    value = value << 8 | static_cast<unsigned char>(head[offset + i]);
  }
  return value;
}

}  // namespace

std::string LibraryImageProblem(std::string_view head, std::uint64_t fileSize) {
  if (head.size() < 64 || head.substr(0, 2) != "MZ") return "is not a library";
  const std::size_t pe = Field(head, 0x3C, 4);
  if (pe > head.size() || head.size() - pe < 24 ||
      head.substr(pe, 4) != std::string_view("PE\0\0", 4)) {
    return "is damaged";
  }
  const auto machine = static_cast<std::uint16_t>(Field(head, pe + 4, 2));
  for (const std::uint16_t machine64 : kMachines64) {
    if (machine == machine64) return "is not a 32-bit library";
  }
  if (machine != kMachineI386) return "is not a library for x86 processors";
  if ((Field(head, pe + 22, 2) & kFlagDll) == 0) return "is a program, not a library";
  // A file cut short: a section's data would lie beyond its end.
  const std::size_t sections = Field(head, pe + 6, 2);
  const std::size_t table = pe + 24 + Field(head, pe + 20, 2);
  if (table > head.size() || (head.size() - table) / kSectionSize < sections) return "is damaged";
  for (std::size_t i = 0; i < sections; ++i) {
    const std::size_t section = table + i * kSectionSize;
    const std::uint64_t end =
        std::uint64_t{Field(head, section + 20, 4)} + Field(head, section + 16, 4);
    if (end > fileSize) return "is damaged";
  }
  return {};
}

}  // namespace kordane
