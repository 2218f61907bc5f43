// A pattern's own controls in the Arrange window: its radio button in the Pattern box, the
// controls of its panel below (created hidden; only the chosen pattern's show), and how they show
// and read the choices. Each pattern's panel is a file of its own; the window joins their tables
// into one, in tab order, and checks at compile time that ids are unique and that the controls
// shown together never share a mnemonic.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "placement/Arrange.h"
#include "ui/Win32Util.h"

namespace kordane::ui {

// The styles of the Arrange window's controls.
namespace arrange_style {
inline constexpr DWORD kVisible = WS_VISIBLE;
inline constexpr DWORD kRadio = BS_AUTORADIOBUTTON;
inline constexpr DWORD kFirstRadio = BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP;
inline constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP;
inline constexpr DWORD kLabel = SS_LEFT | WS_GROUP;
inline constexpr DWORD kNote = SS_LEFT | SS_NOPREFIX;
inline constexpr DWORD kEdit = WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL;
inline constexpr DWORD kList = WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST;
inline constexpr DWORD kEditableList =
    WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
inline constexpr DWORD kPushButton = WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;
inline constexpr DWORD kButton = kVisible | kPushButton;
inline constexpr const char* kDegrees = "degrees";
// Where the panels' group box starts, 96 DPI pixels from the window's top.
inline constexpr int kPanelTop = 202;
}  // namespace arrange_style

// The window's controls, found by id.
class IArrangeControls {
 public:
  virtual ~IArrangeControls() = default;
  virtual HWND Control(int id) const = 0;
};

// One pattern's panel. The functions get the window's controls; `update` (may be null) sets what
// depends on the choices shown (enabling, captions) whenever they change.
struct TArrangePanel {
  TArrangePattern pattern;
  const char* title;                      // the panel box's caption
  std::span<const ControlSpec> radio;     // its button in the Pattern box: one control
  std::span<const ControlSpec> controls;  // its own, in tab order, created hidden
  std::span<const int> lengths;           // fields holding lengths in the design's units
  std::span<const int> lengthUnits;       // notes beside them naming the design's units
  bool usesOrder;  // "Order" plays a part; "Turn to" plays one where UsesTurnTo says
  void (*fill)(const IArrangeControls& controls);  // fills its lists once; may be null
  // show and read may be null for a panel without choices of its own.
  void (*show)(const IArrangeControls& controls, const TArrangeChoices& choices);
  void (*read)(const IArrangeControls& controls, TArrangeChoices& choices);
  void (*update)(const IArrangeControls& controls, const TArrangeChoices& choices);
};

// Small helpers for the panels' controls.
bool IsChecked(HWND button);
void Check(HWND button, bool checked);
// The entry chosen in a drop-down list, 0 while none is.
int Selected(HWND list);
// The text of the entry chosen in a drop-down list; none while no entry is.
std::optional<std::string> ChosenEntry(HWND list);
void SetText(HWND control, const std::string& text);
// Fills a drop-down list whose entries are all shown at once.
void FillList(HWND list, std::span<const char* const> entries);
// Fills a drop-down list anew. Emptying the list empties its field too: the text typed stays.
void RefillList(HWND list, const std::vector<std::string>& entries);
// Makes a drop-down list's list wide enough for the longest of its entries (a setup's name may be
// 40 characters in a field of a dozen).
void WidenDropDownFor(HWND list, const std::vector<std::string>& entries);

// The letter after a caption's '&', lower case; 0 without one. For the compile-time checks.
constexpr char MnemonicOf(const char* text) {
  for (; text != nullptr && *text != '\0'; ++text) {
    if (text[0] == '&' && text[1] != '\0' && text[1] != '&') {
      const char letter = text[1];
      return letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter - 'A' + 'a') : letter;
    }
  }
  return 0;
}

}  // namespace kordane::ui
