#include <gtest/gtest.h>

#include <string>

#include "host/LibraryImage.h"
#include "host/PeImage.h"

namespace kordane {
namespace {

using testing::PeImage;

std::string WithByte(std::string image, std::size_t at, char value) {
  image[at] = value;
  return image;
}

struct ImageCase {
  const char* name;
  std::string head;
  std::uint64_t fileSize;
  const char* problem;
};

TEST(LibraryImage, ProblemsOfAFileFoundAsTheHostLibrary) {
  const std::string good = PeImage();
  const ImageCase cases[] = {
      {"a sound 32-bit library", good, good.size(), ""},
      {"a 64-bit library", PeImage(testing::kMachineX64), 1024, "is not a 32-bit library"},
      {"a 32-bit library for ARM", PeImage(0x1C4), 1024, "is not a library for x86 processors"},
      {"a program", PeImage(testing::kMachineI386, testing::kProgramFlags), 1024,
       "is a program, not a library"},
      {"cut short inside its section", good, 1000, "is damaged"},
      {"cut short inside its headers", good.substr(0, 0x90), 0x90, "is damaged"},
      {"PE headers beyond the file", WithByte(good, 0x3D, 0x7F), 1024, "is damaged"},
      {"no PE signature", WithByte(good, 0x81, 'X'), 1024, "is damaged"},
      {"a text file", "Dbx32 was here\n", 15, "is not a library"},
      {"empty", "", 0, "is not a library"},
  };
  for (const ImageCase& c : cases) {
    EXPECT_EQ(LibraryImageProblem(c.head, c.fileSize), c.problem) << c.name;
  }
}

}  // namespace
}  // namespace kordane
