// The main window as a user meets it: real controls, the stand-in host, a real INI file.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "MessageBoxCatcher.h"
#include "UiTestSupport.h"
#include "host/DbxUtils.h"
#include "placement/RecordingHost.h"
#include "ui/MainForm.h"

namespace kordane::ui {
namespace {

using kordane::testing::ComponentsOf;
using kordane::testing::IniValue;
using kordane::testing::MessageBoxCatcher;
using kordane::testing::PumpMessages;
using kordane::testing::TempFolder;
using kordane::testing::WriteFile;

constexpr const char* kMilsBoard =
    "units mils\n"
    "component R3 900 0 0 selected\n"
    "component R1 100 0 0 selected\n"
    "component R2 500 0 0 selected\n"
    "component C1 4000 7000 900\n";

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(folder_ / "board.txt", kMilsBoard);
    SetEnvironmentVariableA("DBX32_BOARD", (folder_ / "board.txt").string().c_str());
    _putenv_s("DBX32_BOARD", (folder_ / "board.txt").string().c_str());
  }
  void TearDown() override {
    form_.reset();
    PumpMessages();
    DbUnits = kUnitsUnknown;
  }

  TfrmMain& Start() {
    form_ = std::make_unique<TfrmMain>(Ini().string(),
                                       DbxHost::Load((testing::BinDir() / "Dbx32.dll").string()));
    form_->Show();
    PumpMessages();
    return *form_;
  }
  void Close() {
    SendMessageA(form_->Handle(), WM_CLOSE, 0, 0);
    PumpMessages();
  }

  std::filesystem::path Ini() const { return folder_ / "Kordane.INI"; }
  std::filesystem::path Board() const { return folder_ / "board.txt"; }
  HWND Control(int id) const { return form_->Control(id); }
  bool IsChecked(int id) const {
    return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  std::string Text(int id) const { return WindowText(Control(id)); }
  void Click(int id) {
    SendMessageA(Control(id), BM_CLICK, 0, 0);
    PumpMessages();
  }
  void Type(HWND edit, char character) {
    SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(character), 0);
    PumpMessages();
  }
  HWND RotationEdit() const {
    return FindWindowExA(Control(kIdRotation), nullptr, "EDIT", nullptr);
  }
  // What a program outside reads from the status bar.
  std::string StatusText() const { return WindowText(Control(kIdStatusBar)); }

  TempFolder folder_;
  std::unique_ptr<TfrmMain> form_;
};

TEST_F(MainFormTest, WithoutSettingsFileOpensWithEveryDefault) {
  TfrmMain& form = Start();
  RECT frame{};
  GetWindowRect(form.Handle(), &frame);
  EXPECT_EQ(frame.left, 50);
  EXPECT_EQ(frame.top, 50);
  RECT client{};
  GetClientRect(form.Handle(), &client);
  EXPECT_EQ(client.right, kClientWidth);
  EXPECT_EQ(client.bottom, kClientHeight);
  EXPECT_EQ(WindowText(form.Handle()), "Kordane");
  EXPECT_TRUE(GetWindowLongA(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(IsChecked(kIdOnTop));
  EXPECT_TRUE(IsChecked(kIdHorizontal));
  EXPECT_FALSE(IsChecked(kIdVertical));
  EXPECT_TRUE(IsChecked(kIdUp));
  EXPECT_TRUE(IsChecked(kIdDoRotate));
  EXPECT_EQ(Text(kIdRotation), "0");
  EXPECT_TRUE(IsChecked(kIdDoSpace));
  EXPECT_EQ(Text(kIdSpacing), "200");
  EXPECT_FALSE(form.SpacingGreyed());
  EXPECT_FALSE(form.RotationGreyed());
  EXPECT_EQ(Text(kIdUnits), "mils");
  EXPECT_EQ(SendMessageA(Control(kIdRotation), CB_GETCOUNT, 0, 0), 8);
}

TEST_F(MainFormTest, ControlsSitWhereTheLayoutPutsThem) {
  TfrmMain& form = Start();
  struct Expected {
    int id;
    const char* text;
    RECT rect;  // left, top, right, bottom relative to the parent
  };
  const Expected expected[] = {
      {kIdAlign, "&Go!", {8, 120, 113, 145}},   {kIdGroupBox2, " &Spacing ", {8, 0, 113, 73}},
      {kIdSpacing, "200", {24, 18, 73, 39}},    {kIdToMils, "Mils", {8, 44, 49, 65}},
      {kIdToMm, "Mm", {56, 44, 97, 65}},        {kIdOnTop, "Stay on &top", {136, 0, 209, 17}},
      {kIdStatusBar, "", {0, 148, 214, 167}},   {kIdGroupBox3, " Sort order ", {120, 16, 209, 89}},
      {kIdNone, "&Unchanged", {4, 16, 85, 33}}, {kIdGroupBox4, " &Rotation ", {8, 74, 113, 117}},
      {kIdDoRotate, "", {8, 19, 25, 36}},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.text);
    const HWND control = Control(e.id);
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, e.rect.left);
    EXPECT_EQ(rect.top, e.rect.top);
    EXPECT_EQ(rect.right, e.rect.right);
    EXPECT_EQ(rect.bottom, e.rect.bottom);
    if (e.id != kIdStatusBar) {
      EXPECT_EQ(WindowText(control), e.text);
    }
  }
  EXPECT_EQ(GetParent(Control(kIdSpacing)), Control(kIdGroupBox2));
  EXPECT_EQ(GetParent(Control(kIdAlign)), form.Handle());
}

TEST_F(MainFormTest, SortOrderSevenSelectsUnchanged) {
  WriteFile(Ini(), "[Main Window]\nSort Order=7\n");
  Start();
  EXPECT_TRUE(IsChecked(kIdNone));
  EXPECT_FALSE(IsChecked(kIdUp));
  EXPECT_FALSE(IsChecked(kIdDown));
}

TEST_F(MainFormTest, TypingEnablesSpacingAndRotation) {
  WriteFile(Ini(), "[Main Window]\nEnableSpacing=0\nRotate=0\nRotation=90\n");
  TfrmMain& form = Start();
  ASSERT_FALSE(IsChecked(kIdDoSpace));
  ASSERT_TRUE(form.SpacingGreyed());
  ASSERT_TRUE(form.RotationGreyed());
  EXPECT_EQ(Text(kIdRotation), "90");

  Type(Control(kIdSpacing), '5');
  EXPECT_TRUE(IsChecked(kIdDoSpace));
  EXPECT_FALSE(form.SpacingGreyed());

  Type(RotationEdit(), '5');
  EXPECT_TRUE(IsChecked(kIdDoRotate));
  EXPECT_FALSE(form.RotationGreyed());
}

TEST_F(MainFormTest, UncheckingGreysWithoutClearing) {
  TfrmMain& form = Start();
  Click(kIdDoSpace);
  EXPECT_FALSE(IsChecked(kIdDoSpace));
  EXPECT_TRUE(form.SpacingGreyed());
  EXPECT_EQ(Text(kIdSpacing), "200");
  Click(kIdDoRotate);
  EXPECT_FALSE(IsChecked(kIdDoRotate));
  EXPECT_TRUE(form.RotationGreyed());
  EXPECT_EQ(Text(kIdRotation), "0");
  Click(kIdDoSpace);
  EXPECT_FALSE(form.SpacingGreyed());
}

TEST_F(MainFormTest, PickingRotationFromTheListEnablesRotation) {
  WriteFile(Ini(), "[Main Window]\nRotate=0\n");
  TfrmMain& form = Start();
  ASSERT_FALSE(IsChecked(kIdDoRotate));
  SetFocus(RotationEdit());
  SendMessageA(RotationEdit(), WM_KEYDOWN, VK_DOWN, 0);
  PumpMessages();
  EXPECT_TRUE(IsChecked(kIdDoRotate));
  EXPECT_FALSE(form.RotationGreyed());
}

TEST_F(MainFormTest, UnitButtonsConvertTheSpacingText) {
  WriteFile(Board(), "units mm\ncomponent R1 0 0 0 selected\n");
  WriteFile(Ini(), "[Main Window]\nSpacing=5.08\n");
  Start();
  EXPECT_EQ(Text(kIdUnits), "mm");
  Click(kIdToMils);
  EXPECT_EQ(Text(kIdSpacing), "200");
  EXPECT_EQ(Text(kIdUnits), "mils");
  EXPECT_EQ(DbUnits, kUnitsMils);
  Click(kIdToMils);
  EXPECT_EQ(Text(kIdSpacing), "7874.0157480315");
  Click(kIdToMm);
  EXPECT_EQ(Text(kIdUnits), "mm");
  EXPECT_EQ(DbUnits, kUnitsMm);
}

TEST_F(MainFormTest, ZeroStaysZeroAndKeepsTheEnableState) {
  WriteFile(Ini(), "[Main Window]\nSpacing=0\nEnableSpacing=0\n");
  TfrmMain& form = Start();
  Click(kIdToMm);
  EXPECT_EQ(Text(kIdSpacing), "0");
  EXPECT_FALSE(IsChecked(kIdDoSpace));
  EXPECT_TRUE(form.SpacingGreyed());
}

TEST_F(MainFormTest, BadSpacingTextIsReportedAndKept) {
  WriteFile(Ini(), "[Main Window]\nSpacing=abc\n");
  Start();
  MessageBoxCatcher boxes;
  Click(kIdToMils);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].title, "Kordane");
  EXPECT_EQ(boxes.Boxes()[0].text, "'abc' is not a valid floating point value.");
  EXPECT_EQ(Text(kIdSpacing), "abc");
  EXPECT_EQ(Text(kIdUnits), "mils");
  EXPECT_TRUE(IsWindowEnabled(form_->Handle()));
}

TEST_F(MainFormTest, StayOnTopIsSetAndCleared) {
  TfrmMain& form = Start();
  ASSERT_TRUE(GetWindowLongA(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  Click(kIdOnTop);
  EXPECT_FALSE(GetWindowLongA(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  Click(kIdOnTop);
  EXPECT_TRUE(GetWindowLongA(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(MainFormTest, GoLinesUpTheSelectionOnTheBoard) {
  Start();
  Click(kIdAlign);
  const auto components = ComponentsOf(Board());
  EXPECT_EQ(components.at("R1").x, 100);
  EXPECT_EQ(components.at("R2").x, 100 + 508000);
  EXPECT_EQ(components.at("R3").x, 100 + 2 * 508000);
  EXPECT_EQ(components.at("R3").y, 0);
  EXPECT_EQ(components.at("C1").x, 4000);  // not selected
  EXPECT_EQ(StatusText(), "");
  EXPECT_FALSE(form_->DesignOpen());
}

TEST_F(MainFormTest, GoShowsTheRefDesErrorAndCarriesOn) {
  WriteFile(Board(), "units mils\ncomponent U1A 0 0 0 selected\ncomponent R1 300 0 0 selected\n");
  Start();
  MessageBoxCatcher boxes;
  Click(kIdAlign);
  ASSERT_EQ(boxes.Boxes().size(), 2u);
  EXPECT_EQ(boxes.Boxes()[0].title, "Error");
  EXPECT_EQ(boxes.Boxes()[0].text, "Error converting RefDes: U1A");
  EXPECT_EQ(StatusText(), "");
}

std::string MenuText(HMENU menu, UINT position) {
  char text[64] = {};
  GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

bool Greyed(HMENU menu, UINT id) {
  return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

TEST_F(MainFormTest, MenuHasPreviewArrangeSwapUndoRedoAndAboutWithUndoAndRedoGreyedUntilARun) {
  Start();
  const HMENU menu = form_->PopupMenu();
  ASSERT_EQ(GetMenuItemCount(menu), 7);
  EXPECT_EQ(MenuText(menu, 0), "&Preview...");
  EXPECT_EQ(MenuText(menu, 1), "A&rrange...");
  EXPECT_EQ(MenuText(menu, 2), "&Swap places\tCtrl+Shift+S");
  EXPECT_EQ(MenuText(menu, 3), "&Undo\tCtrl+Z");
  EXPECT_EQ(MenuText(menu, 4), "R&edo\tCtrl+Y");
  EXPECT_EQ(GetMenuState(menu, 5, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(MenuText(menu, 6), "&About");
  EXPECT_TRUE(Greyed(menu, kIdUndo));
  EXPECT_TRUE(Greyed(menu, kIdRedo));

  // Chosen while greyed (Ctrl+Z sends the same command): nothing happens, the board is untouched.
  const std::string board = testing::ReadFile(Board());
  SendMessageA(form_->Handle(), WM_COMMAND, kIdUndo, 0);
  PumpMessages();
  EXPECT_EQ(testing::ReadFile(Board()), board);
  EXPECT_EQ(StatusText(), "");
}

TEST_F(MainFormTest, UndoFromTheMenuPutsTheBoardBack) {
  Start();
  const auto before = ComponentsOf(Board());
  Click(kIdAlign);
  ASSERT_NE(ComponentsOf(Board()), before);
  EXPECT_FALSE(Greyed(form_->PopupMenu(), kIdUndo));

  SendMessageA(form_->Handle(), WM_COMMAND, kIdUndo, 0);
  PumpMessages();
  EXPECT_EQ(ComponentsOf(Board()), before);
  EXPECT_TRUE(Greyed(form_->PopupMenu(), kIdUndo));
  EXPECT_FALSE(Greyed(form_->PopupMenu(), kIdRedo));
  EXPECT_EQ(StatusText(), "");
  EXPECT_FALSE(form_->DesignOpen());
}

TEST_F(MainFormTest, UndoWhoseOpenFailsSaysWhyAndStaysAvailable) {
  Start();
  const auto before = ComponentsOf(Board());
  Click(kIdAlign);
  const std::string placed = testing::ReadFile(Board());
  WriteFile(Board(), placed + "fail open 32001\n");
  SendMessageA(form_->Handle(), WM_COMMAND, kIdUndo, 0);
  PumpMessages();
  EXPECT_EQ(StatusText(), "Connection Error");
  EXPECT_FALSE(Greyed(form_->PopupMenu(), kIdUndo));

  WriteFile(Board(), placed);
  SendMessageA(form_->Handle(), WM_COMMAND, kIdUndo, 0);
  PumpMessages();
  EXPECT_EQ(ComponentsOf(Board()), before);
}

// A host that refuses the design information but leaves millimetres in the buffer: the units stay
// unknown at start-up, as they do in a run.
TEST_F(MainFormTest, RefusedDesignInfoAtStartLeavesTheUnitsUnknown) {
  testing::Log log;
  testing::FakeDesign design(log);
  design.FailAt("info", 0, 32004);
  design.unitsOnRefusal = kUnitsMm;
  form_ = std::make_unique<TfrmMain>(Ini().string(), DbxHost(testing::FakeDesign::Api()));
  form_->Show();
  PumpMessages();
  EXPECT_EQ(Text(kIdUnits), "Unit");
  EXPECT_EQ(DbUnits, kUnitsUnknown);
  EXPECT_FALSE(form_->DesignOpen());
  EXPECT_FALSE(design.open);
  form_.reset();
}

TEST_F(MainFormTest, GoWithoutHostShowsWhatIsMissing) {
  form_ =
      std::make_unique<TfrmMain>(Ini().string(), DbxHost::Load((folder_ / "Dbx32.dll").string()));
  form_->Show();
  EXPECT_EQ(Text(kIdUnits), "Unit");
  Click(kIdAlign);
  EXPECT_EQ(StatusText(), "Cannot load Dbx32.dll");
}

TEST_F(MainFormTest, SettingsSurviveARestart) {
  TfrmMain& form = Start();
  Click(kIdVertical);
  Click(kIdDown);
  Click(kIdDoRotate);
  SetWindowTextA(RotationEdit(), "45");
  SetWindowTextA(Control(kIdSpacing), "12.5");
  Click(kIdDoSpace);
  Click(kIdOnTop);
  SetWindowPos(form.Handle(), nullptr, 120, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Close();
  EXPECT_EQ(IniValue(Ini(), "Window State"), "0");
  EXPECT_EQ(IniValue(Ini(), "Left"), "120");
  EXPECT_EQ(IniValue(Ini(), "Top"), "80");
  EXPECT_EQ(IniValue(Ini(), "On Top"), "0");
  EXPECT_EQ(IniValue(Ini(), "Alignment"), "0");
  EXPECT_EQ(IniValue(Ini(), "Sort Order"), "1");
  EXPECT_EQ(IniValue(Ini(), "Rotate"), "0");
  EXPECT_EQ(IniValue(Ini(), "Rotation"), "45");
  EXPECT_EQ(IniValue(Ini(), "Spacing"), "12.5");
  EXPECT_EQ(IniValue(Ini(), "EnableSpacing"), "0");

  TfrmMain& again = Start();
  RECT frame{};
  GetWindowRect(again.Handle(), &frame);
  EXPECT_EQ(frame.left, 120);
  EXPECT_EQ(frame.top, 80);
  EXPECT_FALSE(GetWindowLongA(again.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(IsChecked(kIdVertical));
  EXPECT_TRUE(IsChecked(kIdDown));
  EXPECT_FALSE(IsChecked(kIdDoRotate));
  EXPECT_TRUE(again.RotationGreyed());
  EXPECT_EQ(Text(kIdRotation), "45");
  EXPECT_EQ(Text(kIdSpacing), "12.5");
  EXPECT_FALSE(IsChecked(kIdDoSpace));
  EXPECT_TRUE(again.SpacingGreyed());
}

TEST_F(MainFormTest, MinimisingFromTheTitleBarSavesTheNormalState) {
  WriteFile(Ini(), "[Main Window]\nLeft=130\nTop=70\n");
  TfrmMain& form = Start();
  SendMessageA(form.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  PumpMessages();
  ASSERT_TRUE(IsIconic(form.Handle()));
  Close();
  EXPECT_EQ(IniValue(Ini(), "Window State"), "0");
  EXPECT_EQ(IniValue(Ini(), "Left"), "130");
  EXPECT_EQ(IniValue(Ini(), "Top"), "70");
}

TEST_F(MainFormTest, StartedMinimisedAndClosedLeavesThePositionAlone) {
  WriteFile(Ini(), "[Main Window]\nLeft=321\nTop=123\nWindow State=1\n");
  TfrmMain& form = Start();
  EXPECT_TRUE(IsIconic(form.Handle()));
  Close();
  EXPECT_EQ(IniValue(Ini(), "Window State"), "1");
  EXPECT_EQ(IniValue(Ini(), "Left"), "321");
  EXPECT_EQ(IniValue(Ini(), "Top"), "123");
}

// A stored place on no monitor at all (one unplugged since) comes onto the nearest monitor's work
// area, its size kept; one even partly on a monitor is applied as it stands. Loading writes
// nothing.
TEST_F(MainFormTest, StoredPlaceOnNoMonitorComesOntoTheNearestOne) {
  RECT work{};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  enum Edge { kStored, kNearEdge, kFarEdge };
  struct Row {
    int left, top;
    Edge x, y;
  };
  const Row rows[] = {{-1500, 60, kNearEdge, kStored},
                      {work.right + 10, 60, kFarEdge, kStored},
                      {300, -2000, kStored, kNearEdge},
                      {-100, -20, kStored, kStored}};
  for (const Row& row : rows) {
    const std::string ini = "[Main Window]\nLeft=" + std::to_string(row.left) +
                            "\nTop=" + std::to_string(row.top) + "\n";
    SCOPED_TRACE(ini);
    WriteFile(Ini(), ini);
    RECT frame{};
    GetWindowRect(Start().Handle(), &frame);
    const auto expected = [](Edge edge, int stored, int nearEdge, int farEdge) {
      return edge == kStored ? stored : edge == kNearEdge ? nearEdge : farEdge;
    };
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    EXPECT_EQ(frame.left, expected(row.x, row.left, work.left, work.right - width));
    EXPECT_EQ(frame.top, expected(row.y, row.top, work.top, work.bottom - height));
    EXPECT_EQ(testing::ReadFile(Ini()), ini);
    form_.reset();
    PumpMessages();
  }
}

TEST_F(MainFormTest, UnwritableSettingsFileIsReportedAndTheWindowStillCloses) {
  // A folder where the file should be: no write can succeed, whoever runs the test.
  std::filesystem::create_directory(Ini());
  TfrmMain& form = Start();
  MessageBoxCatcher boxes;
  Close();
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].title, "Kordane");
  EXPECT_EQ(boxes.Boxes()[0].text, "Unable to write to " + Ini().string() + ".");
  EXPECT_EQ(form.Handle(), nullptr);
}

}  // namespace
}  // namespace kordane::ui
