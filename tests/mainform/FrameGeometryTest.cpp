#include <gtest/gtest.h>

#include "ui/FrameGeometry.h"

namespace kordane {
namespace {

struct WorkspaceCase {
  const char* name;
  ScreenRect monitor;
  ScreenRect work;
  ScreenRect workspace;  // as GetWindowPlacement reports the frame
  ScreenRect screen;     // where the frame is, as SetWindowPos puts it
};

const WorkspaceCase kWorkspaceCases[] = {
    {"taskbar on the left",
     {0, 0, 1920, 1080},
     {62, 0, 1920, 1080},
     AtWithSize(100, 50, 400, 300),
     AtWithSize(162, 50, 400, 300)},
    {"taskbar at the top",
     {0, 0, 1920, 1080},
     {0, 40, 1920, 1080},
     AtWithSize(100, 50, 400, 300),
     AtWithSize(100, 90, 400, 300)},
    {"taskbar at the bottom: the same",
     {0, 0, 1920, 1080},
     {0, 0, 1920, 1040},
     AtWithSize(100, 50, 400, 300),
     AtWithSize(100, 50, 400, 300)},
    {"a monitor left of the main one, with a bar on its left",
     {-1280, 0, 0, 1024},
     {-1220, 0, 0, 1024},
     AtWithSize(-1180, 10, 400, 300),
     AtWithSize(-1120, 10, 400, 300)},
};

// A frame stored from GetWindowPlacement and put back with SetWindowPos stays where it was, so
// that each open and close no longer moves it by the taskbar's width.
TEST(FrameGeometry, WorkspaceFrameInScreenCoordinates) {
  for (const WorkspaceCase& c : kWorkspaceCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WorkspaceToScreen(c.workspace, c.monitor, c.work), c.screen);
  }
}

}  // namespace
}  // namespace kordane
