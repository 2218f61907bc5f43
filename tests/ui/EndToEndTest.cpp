// The real Kordane.exe in a folder of its own, driven from outside through window messages as a
// user would drive it: press Go, close; then the board and the INI file it leaves. Also started
// with a user locale whose decimal separator is a comma.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "RemoteWindow.h"
#include "UiTestSupport.h"
#include "host/PeImage.h"
#include "ui/MainForm.h"

namespace kordane::testing {
namespace {

using namespace std::chrono_literals;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;

using remote::Process;

// Kordane.exe and a host library in a folder of their own, with a board and a settings file. The
// program finds its board beside the stand-in, not through a test's environment.
void Install(const std::filesystem::path& folder, const std::string& board, const std::string& ini,
             const std::filesystem::path& library = BinDir() / "Dbx32.dll") {
  std::filesystem::copy_file(BinDir() / "Kordane.exe", folder / "Kordane.exe");
  std::filesystem::copy_file(library, folder / "Dbx32.dll");
  WriteFile(folder / "board.txt", board);
  WriteFile(folder / "Kordane.INI", ini);
  SetEnvironmentVariableA("DBX32_BOARD", nullptr);
}

TEST(EndToEndTest, GoThenCloseLeavesThePlacedBoardAndTheSettings) {
  TempFolder folder;
  Install(folder.Path(),
          "units mils\n"
          "component C2 0 7000 0 selected\n"
          "component C1 2000 5000 900 selected\n"
          "component R3 900 0 0 selected\n"
          "component R1 100 0 0 selected\n"
          "component R2 500 0 0 selected\n",
          "[Other]\nKeep=me\n[Main Window]\nSpacing=100\nRotation=90\nOn Top=0\n");

  Process kordane(folder / "Kordane.exe", folder.Path());
  ASSERT_TRUE(kordane.Started());
  const HWND window = remote::WaitForMainWindow(kordane.Id(), 60s);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(remote::TextOf(window), "Kordane");

  constexpr int kGoButton = 100;
  const remote::ClickResult go =
      remote::ClickAndWait(remote::FindControl(window, kGoButton), kordane.Id(), 60s);
  EXPECT_TRUE(go.ended);
  EXPECT_TRUE(go.boxes.empty());
  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(kordane.WaitForExit(30000));

  const auto components = ComponentsOf(folder / "board.txt");
  const long pitch = 100 * 2540;
  EXPECT_EQ(components.at("R1").x, 100);
  EXPECT_EQ(components.at("R2").x, 100 + pitch);
  EXPECT_EQ(components.at("R3").x, 100 + 2 * pitch);
  // C2 has the smallest X, so the C row starts at its place; every member turned to 90 degrees.
  EXPECT_EQ(components.at("C1").x, 0);
  EXPECT_EQ(components.at("C1").y, 7000);
  EXPECT_EQ(components.at("C2").x, pitch);
  EXPECT_EQ(components.at("C2").y, 7000);
  EXPECT_EQ(components.at("C2").rotation, 900);
  EXPECT_EQ(components.at("R1").rotation, 900);

  const auto ini = folder / "Kordane.INI";
  EXPECT_EQ(IniValue(ini, "Spacing"), "100");
  EXPECT_EQ(IniValue(ini, "Rotation"), "90");
  EXPECT_EQ(IniValue(ini, "On Top"), "0");
  EXPECT_EQ(IniValue(ini, "Window State"), "0");
  EXPECT_EQ(IniValue(ini, "Left"), "50");
  char kept[16] = {};
  GetPrivateProfileStringA("Other", "Keep", "", kept, sizeof kept, ini.string().c_str());
  EXPECT_STREQ(kept, "me");
}

// Sets the user locale's decimal separator for the programs started from now on, and puts back
// what was there before.
class UserDecimalSeparator {
 public:
  explicit UserDecimalSeparator(const std::string& separator) {
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kInternational, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, &key_, nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    char previous[16] = {};
    DWORD size = sizeof previous - 1;
    DWORD type = 0;
    hadValue_ = RegQueryValueExA(key_, kDecimal, nullptr, &type, reinterpret_cast<BYTE*>(previous),
                                 &size) == ERROR_SUCCESS &&
                type == REG_SZ;
    previous_ = previous;
    set_ = Set(separator);
  }
  UserDecimalSeparator(const UserDecimalSeparator&) = delete;
  UserDecimalSeparator& operator=(const UserDecimalSeparator&) = delete;
  ~UserDecimalSeparator() {
    if (key_ == nullptr) return;
    if (hadValue_) {
      Set(previous_);
    } else {
      RegDeleteValueA(key_, kDecimal);
    }
    RegCloseKey(key_);
  }
  bool Applied() const { return set_; }

 private:
  static constexpr const char* kInternational = "Control Panel\\International";
  static constexpr const char* kDecimal = "sDecimal";

  bool Set(const std::string& value) {
    return RegSetValueExA(key_, kDecimal, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
  }

  HKEY key_ = nullptr;
  bool hadValue_ = false;
  std::string previous_;
  bool set_ = false;
};

std::string SetText(HWND control, const char* text) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      5000, &result);
  return remote::TextOf(control);
}

// The separator is read from the user locale when the program starts, and every conversion of
// the spacing text uses it. The change of the locale would reach every program of the prefix, so
// the test runs only in a prefix of its own (CTest's ui_comma_locale_tests).
TEST(CommaLocaleEndToEndTest, UnitButtonsGoAndErrorsUseTheLocalesSeparator) {
  if (std::getenv("KORDANE_PRIVATE_PREFIX") == nullptr) {
    GTEST_SKIP() << "changes the user locale: runs only in a Wine prefix of its own";
  }
  TempFolder folder;
  Install(folder.Path(),
          "units mm\n"
          "component R2 500 0 0 selected\n"
          "component R1 100 0 0 selected\n",
          "[Main Window]\nSpacing=5,08\nOn Top=0\nRotate=0\n");
  const UserDecimalSeparator comma(",");
  ASSERT_TRUE(comma.Applied());

  Process kordane(folder / "Kordane.exe", folder.Path());
  ASSERT_TRUE(kordane.Started());
  const HWND window = remote::WaitForMainWindow(kordane.Id(), 60s);
  ASSERT_NE(window, nullptr);
  const HWND spacing = remote::FindControl(window, ui::kIdSpacing);
  const HWND units = remote::FindControl(window, ui::kIdUnits);
  const auto press = [&](int id) {
    const remote::ClickResult click =
        remote::ClickAndWait(remote::FindControl(window, id), kordane.Id(), 60s);
    EXPECT_TRUE(click.ended);
    return click.boxes;
  };
  EXPECT_EQ(remote::TextOf(units), "mm");
  EXPECT_EQ(remote::TextOf(spacing), "5,08");

  EXPECT_TRUE(press(ui::kIdToMils).empty());
  EXPECT_EQ(remote::TextOf(spacing), "200");
  EXPECT_EQ(remote::TextOf(units), "mils");
  EXPECT_TRUE(press(ui::kIdToMm).empty());
  EXPECT_EQ(remote::TextOf(spacing), "5,08");
  ASSERT_EQ(SetText(spacing, "2,54"), "2,54");
  EXPECT_TRUE(press(ui::kIdToMils).empty());
  EXPECT_EQ(remote::TextOf(spacing), "100");
  ASSERT_EQ(SetText(spacing, "0,5"), "0,5");
  EXPECT_TRUE(press(ui::kIdToMm).empty());
  EXPECT_EQ(remote::TextOf(spacing), "0,0127");

  // A point is no separator here.
  ASSERT_EQ(SetText(spacing, "1.5"), "1.5");
  EXPECT_THAT(press(ui::kIdToMils),
              ElementsAre("Kordane: '1.5' is not a valid floating point value."));
  EXPECT_EQ(remote::TextOf(spacing), "1.5");
  EXPECT_THAT(press(ui::kIdToMm),
              ElementsAre("Kordane: '1.5' is not a valid floating point value."));

  // The run reads the spacing with the same separator, in the units the last press chose.
  EXPECT_EQ(remote::TextOf(units), "mm");
  ASSERT_EQ(SetText(spacing, "2,5"), "2,5");
  EXPECT_TRUE(press(ui::kIdAlign).empty());
  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(kordane.WaitForExit(30000));
  const auto components = ComponentsOf(folder / "board.txt");
  EXPECT_EQ(components.at("R1").x, 100);
  EXPECT_EQ(components.at("R2").x, 100 + 250000);
  EXPECT_EQ(IniValue(folder / "Kordane.INI", "Spacing"), "2,5");
}

// Where no ANSI code page can name the program's folder, the library beside it is loaded and the
// settings are kept there.
TEST(EndToEndTest, RunsFromAFolderThatOnlyUnicodeNames) {
  TempFolder root;
  const std::filesystem::path folder = root.Path() / L"\u0141\u00F3d\u017A \u6771\u4EAC";
  std::filesystem::create_directory(folder);
  Install(folder, "units mils\ncomponent R2 900 0 0 selected\ncomponent R1 100 0 0 selected\n",
          "[Main Window]\nOn Top=0\n");
  Process kordane(folder / "Kordane.exe", folder);
  ASSERT_TRUE(kordane.Started());
  const HWND window = remote::WaitForMainWindow(kordane.Id(), 60s);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(
      remote::ClickAndWait(remote::FindControl(window, ui::kIdAlign), kordane.Id(), 60s).ended);
  EXPECT_EQ(remote::TextOf(remote::FindControl(window, ui::kIdStatusBar)), "");
  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(kordane.WaitForExit(30000));
  EXPECT_NE(ComponentsOf(folder / "board.txt").at("R2").x, 900);
  EXPECT_NE(ReadFile(folder / "Kordane.INI").find("Left="), std::string::npos);
}

TEST(EndToEndTest, LibraryLackingAnOperationIsNamedInTheStatusLineAndTheProgramRunsOn) {
  TempFolder folder;
  Install(folder.Path(), "units mils\ncomponent R1 100 0 0 selected\n",
          "[Main Window]\nOn Top=0\nSpacing=abc\n",
          std::filesystem::current_path() / "libraries/lacking/Dbx32.dll");

  Process kordane(folder / "Kordane.exe", folder.Path());
  ASSERT_TRUE(kordane.Started());
  const HWND window = remote::WaitForMainWindow(kordane.Id(), 60s);
  ASSERT_NE(window, nullptr);
  const HWND status = remote::FindControl(window, ui::kIdStatusBar);
  // Found beside the program, so named by its full path, shortened in its middle to fit.
  const auto lacks = AllOf(HasSubstr(":\\"), EndsWith("\\Dbx32.dll lacks TMoveComponent"));

  // The run still converts the spacing text after the failed open, and reports it as usual.
  const HWND go = remote::FindControl(window, ui::kIdAlign);
  const remote::ClickResult failed = remote::ClickAndWait(go, kordane.Id(), 60s);
  EXPECT_TRUE(failed.ended);
  EXPECT_EQ(failed.boxes,
            (std::vector<std::string>{"Kordane: 'abc' is not a valid floating point value."}));
  EXPECT_THAT(remote::TextOf(status), lacks);

  SetWindowTextA(remote::FindControl(window, ui::kIdSpacing), "5");
  const remote::ClickResult again = remote::ClickAndWait(go, kordane.Id(), 60s);
  EXPECT_TRUE(again.ended);
  EXPECT_TRUE(again.boxes.empty());
  EXPECT_THAT(remote::TextOf(status), lacks);

  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(kordane.WaitForExit(30000));
  EXPECT_EQ(IniValue(folder / "Kordane.INI", "Spacing"), "5");
  EXPECT_EQ(ComponentsOf(folder / "board.txt").at("R1").x, 100);
}

template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

TEST(EndToEndTest, CtrlZTakesTheRunBack) {
  TempFolder folder;
  Install(folder.Path(),
          "units mils\n"
          "component R3 900 0 450 selected\n"
          "component R1 100 70 0 selected\n"
          "component C1 2000 5000 900 selected\n",
          "[Main Window]\nOn Top=0\nRotation=90\n");
  const auto before = ComponentsOf(folder / "board.txt");

  Process kordane(folder / "Kordane.exe", folder.Path());
  ASSERT_TRUE(kordane.Started());
  const HWND window = remote::WaitForMainWindow(kordane.Id(), 60s);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(
      remote::ClickAndWait(remote::FindControl(window, ui::kIdAlign), kordane.Id(), 60s).ended);
  const auto placed = ComponentsOf(folder / "board.txt");
  ASSERT_NE(placed, before);

  SetForegroundWindow(window);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }, 10s));
  remote::PressShortcut({VK_CONTROL, 'Z'});
  EXPECT_TRUE(WaitUntil([&] { return ComponentsOf(folder / "board.txt") == before; }, 60s));
  EXPECT_EQ(remote::TextOf(remote::FindControl(window, ui::kIdStatusBar)), "");

  // Nothing left to undo: a second Ctrl+Z changes nothing.
  remote::PressShortcut({VK_CONTROL, 'Z'});
  remote::WaitIdle(window, kordane.Id(), 10s);
  EXPECT_EQ(ComponentsOf(folder / "board.txt"), before);

  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(kordane.WaitForExit(30000));
}

TEST(EndToEndTest, PopupMenuFromTheKeyboardOpensThePreviewAndUndoes) {
  TempFolder folder;
  Install(folder.Path(),
          "units mils\n"
          "component R2 900 0 0 selected\n"
          "component R1 100 70 0 selected\n",
          "[Main Window]\nOn Top=0\n");
  const auto before = ComponentsOf(folder / "board.txt");
  Process kordane(folder / "Kordane.exe", folder.Path());
  ASSERT_TRUE(kordane.Started());
  const HWND window = remote::WaitForMainWindow(kordane.Id(), 60s);
  ASSERT_NE(window, nullptr);
  SetForegroundWindow(window);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }, 10s));

  // Shift+F10 opens the popup menu; P chooses Preview..., Escape closes the preview again.
  remote::PressShortcut({VK_SHIFT, VK_F10});
  ASSERT_NE(remote::WaitForTopWindow("#32768", nullptr, 10s), nullptr) << "no popup menu";
  remote::PressShortcut({'P'});
  const HWND preview = remote::WaitForTopWindow("TPreviewWindow", "Preview", 60s);
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(GetWindow(preview, GW_OWNER), window);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == preview; }, 10s));
  remote::PressShortcut({VK_ESCAPE});
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(preview); }, 30s));
  EXPECT_EQ(ComponentsOf(folder / "board.txt"), before);

  // Go, then Shift+F10 and U: the run is taken back.
  ASSERT_TRUE(
      remote::ClickAndWait(remote::FindControl(window, ui::kIdAlign), kordane.Id(), 60s).ended);
  ASSERT_NE(ComponentsOf(folder / "board.txt"), before);
  SetForegroundWindow(window);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }, 10s));
  remote::PressShortcut({VK_SHIFT, VK_F10});
  ASSERT_NE(remote::WaitForTopWindow("#32768", nullptr, 10s), nullptr) << "no popup menu";
  remote::PressShortcut({'U'});
  EXPECT_TRUE(WaitUntil([&] { return ComponentsOf(folder / "board.txt") == before; }, 60s));

  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(kordane.WaitForExit(30000));
}

// Sets an environment variable of this process, which the programs it starts inherit, and puts
// the old value back.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    char old[32767] = {};
    const DWORD length = GetEnvironmentVariableA(name, old, sizeof old);
    had_ = length > 0 && length < sizeof old;
    old_ = old;
    SetEnvironmentVariableA(name, value.c_str());
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;
  ~ScopedVariable() { SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

// Where copies of the host library lie when the program starts, and what Go then says.
struct LibraryPlaces {
  const char* name;
  // beside the program: "working", "lacking", "64-bit", "damaged" or nullptr for none
  const char* beside;
  const char* inCurrent;  // in the folder the program starts in
  const char* onPath;     // in an absolute folder on PATH (WINEPATH reaches Windows programs so)
  const char* status;     // how the status line after Go ends; empty when the run went through
};

const LibraryPlaces kLibraryPlaces[] = {
    {"only in the current directory: not loaded", nullptr, "working", nullptr,
     "Cannot load Dbx32.dll"},
    {"only on PATH: loaded from there", nullptr, nullptr, "working", ""},
    {"beside the program: loaded before the copy on PATH", "working", nullptr, "lacking", ""},
    {"a 64-bit library beside the program: the next one is loaded", "64-bit", nullptr, "working",
     ""},
    {"a damaged file beside the program: the next one is loaded", "damaged", nullptr, "working",
     ""},
    {"one lacking operations beside the program: the next one is loaded", "lacking", nullptr,
     "working", ""},
    {"none works: the first one found is named with why", "64-bit", nullptr, "damaged",
     "\\Dbx32.dll is not a 32-bit library"},
};

TEST(EndToEndTest, HostLibraryIsLoadedFromTheProgramsFolderOrPathNeverTheCurrentDirectory) {
  const std::string board =
      "units mils\ncomponent R2 900 0 0 selected\ncomponent R1 100 0 0 selected\n";
  for (const LibraryPlaces& places : kLibraryPlaces) {
    SCOPED_TRACE(places.name);
    TempFolder program;
    TempFolder current;
    TempFolder onPath;
    std::filesystem::copy_file(BinDir() / "Kordane.exe", program / "Kordane.exe");
    WriteFile(program / "Kordane.INI", "[Main Window]\nOn Top=0\n");
    SetEnvironmentVariableA("DBX32_BOARD", nullptr);
    // Each copy has a board beside it, which it opens when it is the one loaded.
    const auto place = [&](const char* kind, const TempFolder& folder) {
      if (kind == nullptr) return;
      const std::string library = ReadFile(BinDir() / "Dbx32.dll");
      const std::string chosen = kind;
      if (chosen == "working") WriteFile(folder / "Dbx32.dll", library);
      if (chosen == "damaged") WriteFile(folder / "Dbx32.dll", library.substr(0, 2048));
      if (chosen == "64-bit") WriteFile(folder / "Dbx32.dll", PeImage(kMachineX64));
      if (chosen == "lacking") {
        std::filesystem::copy_file(
            std::filesystem::current_path() / "libraries" / "lacking" / "Dbx32.dll",
            folder / "Dbx32.dll");
      }
      WriteFile(folder / "board.txt", board);
    };
    place(places.beside, program);
    place(places.inCurrent, current);
    place(places.onPath, onPath);
    char path[32767] = {};
    GetEnvironmentVariableA("PATH", path, sizeof path);
    const ScopedVariable withPath("PATH", std::string(path) + ";" + onPath.Path().string());

    Process kordane(program / "Kordane.exe", current.Path());
    ASSERT_TRUE(kordane.Started());
    const HWND window = remote::WaitForMainWindow(kordane.Id(), 60s);
    ASSERT_NE(window, nullptr);
    const remote::ClickResult go =
        remote::ClickAndWait(remote::FindControl(window, ui::kIdAlign), kordane.Id(), 60s);
    EXPECT_TRUE(go.ended);
    EXPECT_TRUE(go.boxes.empty());
    const std::string status = remote::TextOf(remote::FindControl(window, ui::kIdStatusBar));
    if (*places.status == '\0') {
      EXPECT_EQ(status, "");
    } else {
      EXPECT_THAT(status, EndsWith(places.status));
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(kordane.WaitForExit(30000));
    // Only the board beside the copy that was loaded has changed.
    const TempFolder* loaded = nullptr;
    const bool besideWorks = places.beside != nullptr && std::string(places.beside) == "working";
    if (std::string(places.status).empty()) loaded = besideWorks ? &program : &onPath;
    for (const TempFolder* folder : {&program, &current, &onPath}) {
      if (!std::filesystem::exists(*folder / "board.txt")) continue;
      EXPECT_EQ(ComponentsOf(*folder / "board.txt").at("R2").x != 900, folder == loaded)
          << folder->Path();
    }
  }
}

}  // namespace
}  // namespace kordane::testing
