// No window outlives its object: the base class unhooks and destroys whatever window is left,
// also after a constructor that failed; the About box cleans up when its link cannot be made.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "ui/AboutBox.h"
#include "ui/UrlLabel.h"
#include "ui/Win32Util.h"

namespace kordane::ui {
namespace {

constexpr const char* kProbeClass = "KordaneProbeWindow";

// Messages that reached a probe's handler after its constructor had thrown.
struct ProbeRecord {
  bool thrown = false;
  std::vector<UINT> afterThrow;
};

// A window whose constructor fails when asked to: right after Create, or guarded after making a
// child of its own.
class ProbeWindow final : public WindowBase {
 public:
  enum class Fail { Never, AfterCreate, GuardedAfterChild };

  ProbeWindow(Fail fail, HWND& created, ProbeRecord& record) : record_(&record) {
    RegisterClassOnce(kProbeClass, nullptr, nullptr);
    Create(kProbeClass, "", WS_POPUP, 0, 0, 0, 40, 40, nullptr);
    created = Handle();
    if (fail == Fail::AfterCreate) Throw();
    if (fail == Fail::GuardedAfterChild) {
      const DestroyOnFailure destroyOnFailure(*this);
      child_.reset(CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, Handle(), nullptr,
                                   GetModuleHandleA(nullptr), nullptr));
      Throw();
    }
  }
  // Leaves its window to the base class.
  ~ProbeWindow() override = default;

 private:
  void Throw() {
    record_->thrown = true;
    throw std::runtime_error("probe failed");
  }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (record_->thrown) record_->afterThrow.push_back(message);
    return DefaultHandling(message, wParam, lParam);
  }

  ProbeRecord* record_;
  UniqueWindow child_;  // destroying it notifies the probe (WM_PARENTNOTIFY)
};

TEST(WindowBaseTest, AnObjectThatGoesTakesItsWindowWithIt) {
  HWND created = nullptr;
  ProbeRecord record;
  { ProbeWindow probe(ProbeWindow::Fail::Never, created, record); }
  ASSERT_NE(created, nullptr);
  EXPECT_FALSE(IsWindow(created));
}

TEST(WindowBaseTest, AWindowDestroyedFirstLeavesTheObjectWithoutOne) {
  HWND created = nullptr;
  ProbeRecord record;
  ProbeWindow probe(ProbeWindow::Fail::Never, created, record);
  DestroyWindow(created);
  EXPECT_EQ(probe.Handle(), nullptr);
}

TEST(WindowBaseTest, AFailedConstructorLeavesNoWindow) {
  for (const auto fail : {ProbeWindow::Fail::AfterCreate, ProbeWindow::Fail::GuardedAfterChild}) {
    HWND created = nullptr;
    ProbeRecord record;
    EXPECT_THROW(ProbeWindow(fail, created, record), std::runtime_error);
    ASSERT_NE(created, nullptr);
    EXPECT_FALSE(IsWindow(created));
  }
}

// With the guard the window goes before the members do, so destroying the child reaches no
// handler of the half-made object.
TEST(WindowBaseTest, AGuardedConstructorThatFailsHandlesNoMoreMessages) {
  HWND created = nullptr;
  ProbeRecord record;
  EXPECT_THROW(ProbeWindow(ProbeWindow::Fail::GuardedAfterChild, created, record),
               std::runtime_error);
  EXPECT_TRUE(record.thrown);
  EXPECT_TRUE(record.afterThrow.empty()) << "first message " << record.afterThrow.front();
}

// Refuses, through a CBT hook on this thread, to create windows of one class.
class RefuseWindowsOfClass {
 public:
  explicit RefuseWindowsOfClass(HOOKPROC hook)
      : hook_(SetWindowsHookExA(WH_CBT, hook, nullptr, GetCurrentThreadId())) {}
  RefuseWindowsOfClass(const RefuseWindowsOfClass&) = delete;
  RefuseWindowsOfClass& operator=(const RefuseWindowsOfClass&) = delete;
  ~RefuseWindowsOfClass() { UnhookWindowsHookEx(hook_); }
  bool Installed() const { return hook_ != nullptr; }

  static LRESULT Refuse(const char* className, int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
      char name[64] = {};
      GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
      if (lstrcmpiA(name, className) == 0) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

 private:
  HHOOK hook_;
};

LRESULT CALLBACK RefuseLinkLabels(int code, WPARAM wParam, LPARAM lParam) {
  return RefuseWindowsOfClass::Refuse("TURLLabel", code, wParam, lParam);
}

LRESULT CALLBACK RefuseToolTips(int code, WPARAM wParam, LPARAM lParam) {
  return RefuseWindowsOfClass::Refuse(TOOLTIPS_CLASSA, code, wParam, lParam);
}

struct ClassCount {
  const char* className;
  int count;
};

BOOL CALLBACK CountIfOfClass(HWND window, LPARAM param) {
  auto* count = reinterpret_cast<ClassCount*>(param);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpiA(name, count->className) == 0) ++count->count;
  return TRUE;
}

BOOL CALLBACK CountInTree(HWND window, LPARAM param) {
  CountIfOfClass(window, param);
  EnumChildWindows(window, &CountIfOfClass, param);
  return TRUE;
}

// This thread's windows of a class, top-level or not.
int CountWindowsOfClass(const char* className) {
  ClassCount count{className, 0};
  EnumThreadWindows(GetCurrentThreadId(), &CountInTree, reinterpret_cast<LPARAM>(&count));
  return count.count;
}

struct AboutFailureCase {
  const char* name;
  HOOKPROC refuse;
  const char* error;
};

TEST(WindowBaseTest, AboutBoxWhoseLinkCannotBeMadeLeavesNoWindow) {
  const AboutFailureCase cases[] = {
      {"link label", &RefuseLinkLabels, "Cannot create the link label"},
      {"tool tip", &RefuseToolTips, "Cannot create the tool tip of a link"},
  };
  for (const AboutFailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    const int boxesBefore = CountWindowsOfClass(kAboutBoxClass);
    const int labelsBefore = CountWindowsOfClass("TURLLabel");
    const int tipsBefore = CountWindowsOfClass(TOOLTIPS_CLASSA);
    {
      const RefuseWindowsOfClass refusal(c.refuse);
      ASSERT_TRUE(refusal.Installed());
      try {
        TAboutBox box(nullptr);
        ADD_FAILURE() << "the About box was made";
      } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), c.error);
      }
    }
    testing::PumpMessages();
    EXPECT_EQ(CountWindowsOfClass(kAboutBoxClass), boxesBefore);
    EXPECT_EQ(CountWindowsOfClass("TURLLabel"), labelsBefore);
    EXPECT_EQ(CountWindowsOfClass(TOOLTIPS_CLASSA), tipsBefore);
  }
  // Nothing is left over that would keep the next box from opening.
  TAboutBox box(nullptr);
  EXPECT_NE(box.Handle(), nullptr);
  EXPECT_NE(box.Control(kIdURLLabel1), nullptr);
}

}  // namespace
}  // namespace kordane::ui
