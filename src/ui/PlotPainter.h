// The picture of a run, shared by the preview and the Arrange window: every selected component
// at its present origin, an arrow to its target, its designator and the angle it would get, a
// colour per group with a legend, and a scale bar in the design's units. What stops the run, or
// that nothing is selected, is written in its place.
#pragma once

#include <windows.h>

#include "placement/Preview.h"

namespace kordane::ui {

// Paints the picture with its sunken edge into rect of a window's dc, drawn off screen first so
// that typing and resizing do not flicker.
void PaintRunPicture(HDC dc, const RECT& rect, const TPreview& preview, HFONT font, int dpi);

// WM_ERASEBKGND of a window with a picture: the face colour everywhere but rect, which the
// picture paints all of.
void EraseAroundPicture(HWND window, HDC dc, const RECT& rect);

// Draws into area of dc, whose background is already filled, at the window's DPI.
void DrawRunPicture(HDC dc, const RECT& area, const TPreview& preview, int dpi);

}  // namespace kordane::ui
