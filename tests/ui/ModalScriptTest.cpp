// The window tests' own machinery: a script that stalls ends its modal loop and fails the test,
// naming the step it was waiting at and the windows then open.
#include <gmock/gmock.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>

#include "ModalScript.h"
#include "UiTestSupport.h"
#include "ui/AboutBox.h"

namespace kordane::testing {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

TEST(ModalScriptTest, AStalledScriptEndsTheModalLoopAndSaysWhere) {
  const HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                     200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  bool firstRan = false;
  bool neverRan = true;
  const auto begun = std::chrono::steady_clock::now();
  ::testing::TestPartResultArray failures;
  {
    ::testing::ScopedFakeTestPartResultReporter reporter(
        ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
    ModalScript script(
        {[&] { firstRan = true; },
         ScriptStep(
             "a window that never comes", [] { return false; }, [&] { neverRan = false; })},
        {}, 1500ms);
    ui::ShowAboutBox(owner);
    EXPECT_TRUE(script.TimedOut());
  }
  ASSERT_EQ(failures.size(), 1);
  const std::string message = failures.GetTestPartResult(0).message();
  EXPECT_THAT(message, HasSubstr("waiting at step 2 of 2 (a window that never comes)"));
  EXPECT_THAT(message, HasSubstr("TAboutBox \"About\", visible"));
  EXPECT_LT(std::chrono::steady_clock::now() - begun, 20s);
  EXPECT_TRUE(firstRan);
  EXPECT_TRUE(neverRan);
  EXPECT_EQ(FindWindowA(ui::kAboutBoxClass, nullptr), nullptr) << "the watchdog closed the box";
  EXPECT_TRUE(IsWindowEnabled(owner)) << "and the loop gave the owner back";
  DestroyWindow(owner);
  PumpMessages();
}

}  // namespace
}  // namespace kordane::testing
