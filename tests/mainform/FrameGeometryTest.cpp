#include <gtest/gtest.h>

#include "ui/FrameGeometry.h"

namespace kordane {
namespace {

// A frame stored from GetWindowPlacement and put back with SetWindowPos stays where it was: each
// open and close no longer moves it by the size of a taskbar on the left or at the top.
TEST(FrameGeometry, WorkspaceFrameInScreenCoordinates) {
  const ScreenRect monitor{0, 0, 1920, 1080};
  const ScreenRect workspaceFrame = AtWithSize(100, 50, 400, 300);
  const struct {
    const char* taskbar;
    ScreenRect work;
    ScreenRect screenFrame;
  } cases[] = {
      {"on the left", {62, 0, 1920, 1080}, AtWithSize(162, 50, 400, 300)},
      {"at the top", {0, 40, 1920, 1080}, AtWithSize(100, 90, 400, 300)},
      {"at the bottom", {0, 0, 1920, 1040}, workspaceFrame},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WorkspaceToScreen(workspaceFrame, monitor, c.work), c.screenFrame) << c.taskbar;
  }
  // A monitor of its own, left of the main one, with a taskbar on its left.
  EXPECT_EQ(
      WorkspaceToScreen(AtWithSize(-1180, 10, 400, 300), {-1280, 0, 0, 1024}, {-1220, 0, 0, 1024}),
      AtWithSize(-1120, 10, 400, 300));
}

}  // namespace
}  // namespace kordane
