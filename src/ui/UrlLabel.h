// A text label that looks like a hyperlink and hands a URL built from its caption to the shell
// when clicked.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/Dpi.h"
#include "ui/Win32Util.h"

namespace kordane::ui {

// What a click on the label opens: a web page, a mail to the caption, an FTP site, or nothing.
enum TLabelType : int { hmHTTP = 0, hmMAIL = 1, hmFTP = 2, hmCUSTOM = 3 };

// The shell target of a click: the scheme of the type followed by the whole caption; empty for
// hmCUSTOM.
std::string UrlTarget(TLabelType type, const std::string& caption);

// The label's font as it is drawn: face and size, underline style, and colour.
struct TURLFont {
  LOGFONTA face{};
  COLORREF color = 0;
};

class TURLLabel final : public WindowBase {
 public:
  // Hands a click's target to the shell; replaceable so tests can record instead.
  using ShellOpener = std::function<void(const std::string& target)>;

  // Creates the label as a visible child of parent, in the parent's font.
  TURLLabel(HWND parent, int id, const std::string& caption, int left, int top, int width,
            int height);
  ~TURLLabel() override;

  TLabelType LabelType() const { return labelType_; }
  void SetLabelType(TLabelType value);
  COLORREF URLColStd() const { return urlColStd_; }
  void SetURLColStd(COLORREF value);
  COLORREF URLColPre() const { return urlColPre_; }
  void SetURLColPre(COLORREF value);
  bool AllowDown() const { return allowDown_; }
  void SetAllowDown(bool value);
  bool Effect98() const { return effect98_; }
  void SetEffect98(bool value);
  TURLFont Font() const;
  // Takes the face and style of the font and makes its colour the label's URLColStd.
  void SetFont(const TURLFont& font);

  std::string Caption() const { return WindowText(Handle()); }
  const std::string& Hint() const { return hint_; }
  // The hint is shown as the label's tool tip.
  void SetHint(const std::string& hint);
  HWND ToolTip() const { return toolTip_; }

  // Runs on a click, before the shell is asked to open the target.
  std::function<void()> OnClick;
  void SetShellOpener(ShellOpener opener) { shellOpener_ = std::move(opener); }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  HCURSOR HandCursor();
  void Click();
  void MouseDown();
  void MouseUp(bool leftButton);
  void MouseEnter();
  void MouseLeave();
  void EndPress();
  void SetUnderline(bool underline);
  void SetFontColor(COLORREF color);
  void ShiftDown(int pixels);
  void Paint(HDC dc);
  void Repaint() { InvalidateRect(Handle(), nullptr, TRUE); }

  TLabelType labelType_ = hmHTTP;
  COLORREF urlColStd_ = RGB(0, 0, 255);
  COLORREF urlColPre_ = RGB(255, 0, 0);
  bool allowDown_ = false;
  bool effect98_ = false;
  LOGFONTA face_{};
  COLORREF fontColor_ = RGB(0, 0, 255);
  GdiObject<HFONT> font_;
  std::string hint_;
  HWND toolTip_ = nullptr;  // owned: destroyed with the label
  UniqueCursor handCursor_;
  int cursorDpi_ = 0;  // the DPI handCursor_ was loaded for; 0 before the first
  ShellOpener shellOpener_;
  bool pressed_ = false;   // the left button went down on the label and has not come up
  int shiftedBy_ = 0;      // pixels the label is moved down while pressed
  bool tracking_ = false;  // the pointer is over the label and its leaving is tracked
};

}  // namespace kordane::ui
