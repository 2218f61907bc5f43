// The picture of a run, shared by the preview and the Arrange window: every selected component
// at its present origin, an arrow to its target, its designator and the angle it would get, a
// colour per group with a legend, and a scale bar in the design's units. What stops the run, or
// that nothing is selected, is written in its place. It zooms and pans (ui/PlotView.h), and as a
// control of its own takes the mouse and, while it has the focus, the keys for that.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "placement/Preview.h"
#include "ui/DpiScale.h"
#include "ui/PlotView.h"
#include "ui/Win32Util.h"

namespace kordane::ui {

// The pixels of a 32-bit top-down bitmap (a DIB section), stride pixels to a row.
struct BitmapPixels {
  std::uint32_t* bits;
  int stride;
  std::uint32_t* Row(int y) const {
    return bits + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
  }
};

// The off-screen bitmap a picture is drawn in, kept from one redraw to the next and made again
// when the picture's size changes.
class PictureBitmap {
 public:
  // False when no bitmap of that size can be had.
  bool Fit(HDC dc, int width, int height);
  HBITMAP Get() const { return bitmap_.Get(); }
  BitmapPixels Pixels() const { return {bits_, width_}; }

 private:
  GdiObject<HBITMAP> bitmap_;
  std::uint32_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

// Paints the picture at the view with its sunken edge into rect of a window's dc, drawn off
// screen in bitmap first so that typing and resizing do not flicker; focused: with a focus
// rectangle.
void PaintRunPicture(HDC dc, const RECT& rect, const TPreview& preview, HFONT font, int dpi,
                     PictureView& view, bool focused, PictureBitmap& bitmap);

// WM_ERASEBKGND of a window with a picture: the face colour everywhere but rect, which the
// picture paints all of.
void EraseAroundPicture(HWND window, HDC dc, const RECT& rect);

// Draws into area of dc, whose bitmap's pixels are pixels and whose background is already filled,
// at the window's DPI and the view, which learns the plot's size from it.
void DrawRunPicture(HDC dc, const BitmapPixels& pixels, const RECT& area, const TPreview& preview,
                    int dpi, PictureView& view);

inline constexpr const char* kRunPictureClass = "TRunPicture";

// The picture as a child control that is a tab stop. The wheel zooms about the pointer, a drag
// with the left button pans, a double-click fits; with the focus, + and - zoom about the middle,
// the arrow keys pan and Home fits. A part under the pointer shows its tooltip.
class TRunPicture final : public WindowBase {
 public:
  TRunPicture(HWND parent, int id, HFONT font, int dpi);

  // Shows a run, which the caller keeps until it shows another; refit: a new reading of the
  // selection, fitted again, where other choices keep the view the user chose.
  void Show(const TPreview& preview, bool refit);
  void SetFont(HFONT font, int dpi);
  // A wheel message that the window with the focus received: true when the pointer was over the
  // picture, which then zoomed.
  bool TakeWheel(WPARAM wParam, LPARAM lParam);
  const PictureView& View() const { return view_; }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Changed();
  void ShowTipFor(POINT at);
  int Px(int value) const { return ScaleToDpi(value, dpi_); }

  const TPreview* preview_ = nullptr;
  PictureView view_;
  HFONT font_;
  int dpi_;
  HWND tip_ = nullptr;
  std::string tipText_;
  std::optional<std::size_t> tipPart_;
  std::optional<POINT> dragFrom_;
  PictureBitmap bitmap_;
};

}  // namespace kordane::ui
