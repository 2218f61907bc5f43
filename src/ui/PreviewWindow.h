// The preview: a resizable modal window owned by the main window that draws what a run would do
// in a picture that zooms and pans (every selected component at its present origin, an arrow to its
// target, its designator and the rotation it would get, a colour per group with a legend, a scale
// bar), with the RefDes messages in a list and a summary line. What stops the run is shown in place
// of the plot. "Go!" closes it to run the placement; "Close" and Escape close it. Its frame is kept
// in the settings file, in a section of its own.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "placement/Preview.h"
#include "ui/DpiScale.h"
#include "ui/PlotPainter.h"
#include "ui/Win32Util.h"

namespace kordane::ui {

inline constexpr const char* kPreviewClass = "TPreviewWindow";
inline constexpr const char* kPreviewCaption = "Preview";

enum PreviewControlId : int {
  kIdPreviewMessages = 300,
  kIdPreviewSummary,
  kIdPreviewGo,
  kIdPreviewPicture,
  kIdPreviewClose = IDCANCEL,
};

class TPreviewWindow final : public WindowBase {
 public:
  // settingsPath: the INI file whose preview section holds the window's frame.
  TPreviewWindow(HWND owner, TPreview preview, std::string settingsPath);
  ~TPreviewWindow() override;

  // Shows the window until it is closed; kIdPreviewGo when Go! closed it, else IDCANCEL. The
  // frame is saved as it closes.
  int ShowModal();

  HWND Control(int id) const;
  const TPreview& Preview() const { return preview_; }
  // Where the plot is drawn, in client coordinates.
  RECT PlotRect() const;
  const TRunPicture& Picture() const { return *picture_; }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Layout();
  void RestorePlace();
  void SavePlace() const;
  void Finish(int result);
  // A length in pixels at 96 DPI, at the window's DPI.
  int Px(int value) const;

  HWND owner_;
  TPreview preview_;
  std::string settingsPath_;
  int dpi_ = kDefaultDpi;
  GdiObject<HFONT> font_;
  std::array<HWND, 4> controls_{};
  std::unique_ptr<TRunPicture> picture_;
  int result_ = 0;
  HWND lastFocus_ = nullptr;
};

// Opens the preview of a run and returns true when the user chose Go!.
bool ShowPreview(HWND owner, TPreview preview, const std::string& settingsPath);

}  // namespace kordane::ui
