// Program start: the main window over the host library beside the program, and the message loop.
#include <windows.h>

#include <commctrl.h>

#include <exception>

#include "host/Conversions.h"
#include "host/DbxLoader.h"
#include "settings/win32/IniFileProfile.h"
#include "ui/MainForm.h"
#include "ui/Win32Util.h"

namespace {

// The user locale's decimal separator; "." when it gives none.
char LocaleDecimalSeparator() {
  char buffer[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) > 1) {
    return buffer[0];
  }
  return '.';
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  kordane::DbxHost::RestrictDefaultDllSearch();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  kordane::SetDecimalSeparator(LocaleDecimalSeparator());
  try {
    kordane::ui::TfrmMain frmMain(kordane::SettingsFilePath(),
                                  kordane::DbxHost::Load(kordane::DbxHost::DefaultLibraryPath()));
    frmMain.Show();
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      if (frmMain.TranslateShortcut(message)) continue;
      if (frmMain.Handle() != nullptr && IsDialogMessageA(frmMain.Handle(), &message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
  } catch (const std::exception& error) {
    kordane::ui::ShowErrorReport(nullptr, error.what());
    return 1;
  }
}
