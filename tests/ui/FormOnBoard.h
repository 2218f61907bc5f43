// A main window over the stand-in host, on a board of the test's own in a folder of its own,
// for the tests of the windows it opens.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "UiTestSupport.h"
#include "host/DbxUtils.h"
#include "ui/MainForm.h"

namespace kordane::testing {

class FormOnBoardTest : public ::testing::Test {
 protected:
  explicit FormOnBoardTest(const char* board) : board_(board) {}

  void SetUp() override {
    WriteFile(Board(), board_);
    _putenv_s("DBX32_BOARD", Board().string().c_str());
    SetEnvironmentVariableA("DBX32_BOARD", Board().string().c_str());
  }
  void TearDown() override {
    form_.reset();
    PumpMessages();
    DbUnits = kUnitsUnknown;
  }
  ui::TfrmMain& Start() {
    form_ = std::make_unique<ui::TfrmMain>((folder_ / "Kordane.INI").string(),
                                           DbxHost::Load((BinDir() / "Dbx32.dll").string()));
    form_->Show();
    PumpMessages();
    return *form_;
  }
  // Closes the window, which saves the settings, and starts it again.
  void Restart() {
    SendMessageA(form_->Handle(), WM_CLOSE, 0, 0);
    PumpMessages();
    form_.reset();
    Start();
  }
  std::filesystem::path Board() const { return folder_ / "board.txt"; }
  std::string Status() const { return ui::WindowText(form_->Control(ui::kIdStatusBar)); }

  TempFolder folder_;
  std::unique_ptr<ui::TfrmMain> form_;

 private:
  const char* board_;
};

}  // namespace kordane::testing
