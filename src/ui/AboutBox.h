// The About box: the program's icon, name and version, the author with a mail link, a logo and
// the notice text. Modal, owned by the main window.
#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "ui/DpiScale.h"
#include "ui/UrlLabel.h"
#include "ui/Win32Util.h"

namespace kordane::ui {

inline constexpr const char* kAboutBoxClass = "TAboutBox";

// Control identifiers of the About box.
enum AboutControlId : int {
  kIdPanel1 = 300,
  kIdProgramIcon,
  kIdProductName,
  kIdVersion,
  kIdLabel1,
  kIdURLLabel1,
  kIdLabel2,
  kIdImage1,
  kIdMemo1,
  kIdOKButton = IDOK,
};

// The notice text of the box, line by line.
std::vector<std::string> AboutNoticeLines();

// The box's controls at 96 DPI. The credit line (kIdLabel1, the link, kIdLabel2) reads on from
// one part to the next, so those follow the width of their texts.
std::span<const ControlSpec> AboutBoxLayout();

class TAboutBox final : public WindowBase {
 public:
  // Creates the box, hidden, centred on the screen and owned by owner.
  explicit TAboutBox(HWND owner);
  ~TAboutBox() override;

  // Shows the box and runs its own message loop, with the owner disabled, until it closes.
  // Returns IDOK when closed with the OK button.
  int ShowModal();

  HWND Control(int id) const;
  TURLLabel& URLLabel1() { return *urlLabel_; }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The pictures and the credit line for the box's DPI.
  void LayOutForDpi();
  int TextWidth(HWND control) const;
  int TextWidth(const std::string& text) const;

  HWND owner_;
  int dpi_ = kDefaultDpi;
  GdiObject<HFONT> font_;
  UniqueIcon icon_;
  GdiObject<HBITMAP> logo_;
  std::vector<HWND> controls_;
  std::unique_ptr<TURLLabel> urlLabel_;
  int result_ = 0;            // 0 while the box is open
  HWND lastFocus_ = nullptr;  // the control that had the focus when the box was deactivated
};

// Creates the About box owned by owner, shows it modally and frees it when it closes, also when
// showing it fails.
void ShowAboutBox(HWND owner);

}  // namespace kordane::ui
