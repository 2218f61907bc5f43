// A long message in a status line keeps its reason: the path in it gives way, in its middle.
#include "ui/StatusText.h"

#include <gtest/gtest.h>

#include <string>

namespace kordane::ui {
namespace {

TEST(StatusText, APathGivesWayInItsMiddleSoThatTheReasonStays) {
  struct Row {
    const char* text;
    std::size_t room;  // characters that fit
    const char* shown;
  };
  const Row rows[] = {
      {"C:\\Tools\\Kordane\\Dbx32.dll is not a 32-bit library", 60,
       "C:\\Tools\\Kordane\\Dbx32.dll is not a 32-bit library"},
      {"C:\\Tools\\Kordane\\Dbx32.dll is not a 32-bit library", 45,
       "C:\\To...ane\\Dbx32.dll is not a 32-bit library"},
      {"C:\\Tools\\Kordane\\Dbx32.dll is not a 32-bit library", 10,
       "C:\\...\\Dbx32.dll is not a 32-bit library"},
      {"Unable to write to \\\\server\\share\\settings\\Kordane.INI", 40,
       "Unable to write to \\\\se...gs\\Kordane.INI"},
      // Shortened as far as it goes: the status line cuts the rest.
      {"Unable to write to /home/user/Kordane.INI", 30, "Unable to write to /.../Kordane.INI"},
      {"No path in this long message at all", 10, "No path in this long message at all"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ShortenedPathToFit(
                  row.text, [&row](const std::string& text) { return text.size() <= row.room; }),
              row.shown)
        << row.text;
  }
}

}  // namespace
}  // namespace kordane::ui
