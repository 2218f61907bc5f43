#include "ui/PlotPainter.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/Conversions.h"
#include "ui/Dpi.h"
#include "ui/PixelCanvas.h"
#include "ui/PlotView.h"
#include "ui/PreviewPlot.h"
#include "ui/Win32Util.h"

namespace kordane::ui {

namespace {

// Lengths in pixels at 96 DPI, scaled to the picture's DPI where they are drawn.
constexpr int kGap = 8;
constexpr int kPlotMargin = 28;  // room for the designators and the scale bar

constexpr COLORREF kUnplacedColour = RGB(220, 0, 0);
constexpr COLORREF kMarkColour = RGB(0, 0, 0);

// Replicate's marks: a frame round each part of the channel copied, a diamond round each
// channel's anchor.
void DrawReplicateMarks(HDC dc, const TPreviewPart& part, PlotPoint at, int size, int dpi) {
  if (!part.reference && !part.anchor) return;
  const int frame = Scale(size, dpi);
  GdiObject<HPEN> pen(CreatePen(PS_SOLID, Scale(part.anchor ? 2 : 1, dpi), kMarkColour));
  SelectObjectGuard selectedPen(dc, pen.Get());
  SelectObjectGuard hollow(dc, GetStockObject(NULL_BRUSH));
  if (part.reference) Rectangle(dc, at.x - frame, at.y - frame, at.x + frame + 1, at.y + frame + 1);
  if (part.anchor) {
    const int arm = frame + Scale(size * 2 / 3, dpi);
    const POINT diamond[] = {{at.x, at.y - arm},
                             {at.x + arm, at.y},
                             {at.x, at.y + arm},
                             {at.x - arm, at.y},
                             {at.x, at.y - arm}};
    Polyline(dc, diamond, static_cast<int>(std::size(diamond)));
  }
}

// Transform's pivot: a ring with a cross through it.
void DrawPivotMark(HDC dc, PlotPoint at, int size, int dpi) {
  const int radius = Scale(size, dpi);
  const int arm = radius + Scale(size / 2, dpi);
  GdiObject<HPEN> pen(CreatePen(PS_SOLID, Scale(1, dpi), kMarkColour));
  SelectObjectGuard selectedPen(dc, pen.Get());
  SelectObjectGuard hollow(dc, GetStockObject(NULL_BRUSH));
  Ellipse(dc, at.x - radius, at.y - radius, at.x + radius + 1, at.y + radius + 1);
  MoveToEx(dc, at.x - arm, at.y, nullptr);
  LineTo(dc, at.x + arm + 1, at.y);
  MoveToEx(dc, at.x, at.y - arm, nullptr);
  LineTo(dc, at.x, at.y + arm + 1);
}

COLORREF ColourOf(const TGroupStyle& style) {
  return RGB(style.red, style.green, style.blue);
}

// A group's mark about centre, in the pen and brush selected.
void DrawMark(HDC dc, PlotPoint centre, int size, TGroupMark mark) {
  const int x = centre.x;
  const int y = centre.y;
  switch (mark) {
    case TGroupMark::Square:
      Rectangle(dc, x - size, y - size, x + size + 1, y + size + 1);
      return;
    case TGroupMark::Circle:
      Ellipse(dc, x - size - 1, y - size - 1, x + size + 2, y + size + 2);
      return;
    case TGroupMark::Triangle: {
      const POINT corners[] = {
          {x, y - size - 1}, {x + size + 1, y + size}, {x - size - 1, y + size}};
      Polygon(dc, corners, static_cast<int>(std::size(corners)));
      return;
    }
    case TGroupMark::Diamond: {
      const POINT corners[] = {
          {x, y - size - 1}, {x + size + 1, y}, {x, y + size + 1}, {x - size - 1, y}};
      Polygon(dc, corners, static_cast<int>(std::size(corners)));
      return;
    }
  }
}

std::string GroupName(const std::string& prefix) {
  return prefix.empty() ? "(no prefix)" : prefix;
}

void TextAt(HDC dc, int x, int y, const std::string& text) {
  TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

SIZE TextSize(HDC dc, const std::string& text) {
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

void Line(HDC dc, PlotPoint from, PlotPoint to) {
  MoveToEx(dc, from.x, from.y, nullptr);
  LineTo(dc, to.x, to.y);
}

// Draws the legend at the top right, over the parts, or only measures it; returns the width it
// takes.
int DrawLegend(HDC dc, const RECT& area, const TPreview& preview, int dpi, bool draw) {
  const auto Px = [dpi](int value) { return Scale(value, dpi); };
  int widest = 0;
  const int lineHeight = TextSize(dc, "Ag").cy + Px(2);
  std::vector<std::string> lines;
  for (const TPreviewGroup& group : preview.groups) {
    lines.push_back(GroupName(group.prefix) + " (" + std::to_string(group.count) + ")");
    widest = std::max<int>(widest, TextSize(dc, lines.back()).cx);
  }
  // Replicate's marks and Transform's pivot, each on a line of its own below the groups.
  std::vector<TPreviewPart> marks;
  const auto addMark = [&](bool TPreviewPart::*mark, const char* name) {
    const bool shown = std::any_of(preview.parts.begin(), preview.parts.end(),
                                   [mark](const TPreviewPart& part) { return part.*mark; });
    if (!shown) return;
    marks.emplace_back().*mark = true;
    lines.emplace_back(name);
    widest = std::max<int>(widest, TextSize(dc, lines.back()).cx);
  };
  addMark(&TPreviewPart::reference, "channel copied");
  addMark(&TPreviewPart::anchor, "anchor");
  if (preview.pivot) {
    lines.emplace_back("pivot");
    widest = std::max<int>(widest, TextSize(dc, lines.back()).cx);
  }
  const int gap = Px(kGap);
  const int boxWidth = widest + Px(26);
  if (!draw) return boxWidth + gap;
  RECT box{area.right - gap - boxWidth, area.top + gap, area.right - gap,
           area.top + gap + Px(6) + lineHeight * static_cast<int>(lines.size())};
  FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
  FrameRect(dc, &box, GetSysColorBrush(COLOR_BTNSHADOW));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int y = box.top + Px(3) + lineHeight * static_cast<int>(i);
    if (i < preview.groups.size()) {
      const TGroupStyle style = GroupStyle(i, preview.groups.size());
      const COLORREF colour = ColourOf(style);
      GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, colour));
      GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
      SelectObjectGuard selectedPen(dc, pen.Get());
      SelectObjectGuard selectedBrush(dc, brush.Get());
      DrawMark(dc, {box.left + Px(11), y + Px(8)}, Px(4), style.mark);
    } else if (i < preview.groups.size() + marks.size()) {
      DrawReplicateMarks(dc, marks[i - preview.groups.size()], {box.left + Px(11), y + Px(8)}, 3,
                         dpi);
    } else {
      DrawPivotMark(dc, {box.left + Px(11), y + Px(8)}, 4, dpi);
    }
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    TextAt(dc, box.left + Px(20), y, lines[i]);
  }
  return boxWidth + gap;
}

}  // namespace

void DrawRunPicture(HDC dc, const BitmapPixels& pixels, const RECT& area, const TPreview& preview,
                    int dpi, PictureView& view) {
  const auto Px = [dpi](int value) { return Scale(value, dpi); };
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  if (!preview.failure.empty() || preview.parts.empty()) {
    // What stops the run, or that there is nothing to place, in place of the plot.
    RECT text = area;
    InflateRect(&text, -Px(kGap) * 2, -Px(kGap) * 2);
    const std::string said =
        !preview.failure.empty() ? preview.failure : "No components are selected in the design.";
    DrawTextA(dc, said.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_NOPREFIX);
    return;
  }

  // The legend keeps a strip of its own on the right, so that it hides no component until the
  // user pans one under it.
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  const int legendWidth = DrawLegend(dc, area, preview, dpi, false);
  const int plotWidth = std::max(1, width - legendWidth - Px(kGap));
  view.Resize(plotWidth, height, Px(kPlotMargin));
  const PlotTransform plot(view.View(), 0, 0);
  TPictureSizes sizes;
  sizes.ring = Px(3);
  sizes.tick = Px(10);
  sizes.head = Px(7);
  sizes.reach = Px(16);
  sizes.labelGap = Px(5);
  sizes.lineHeight = TextSize(dc, "Ag").cy;
  std::array<int, 256> charWidths{};
  static_assert(sizeof(INT) == sizeof(int));
  GetCharWidth32A(dc, 0, 255, reinterpret_cast<INT*>(charWidths.data()));
  const TPictureShapes shapes =
      LayOutPicture(preview, view.Levels(), plot, plotWidth, height, sizes, charWidths);

  // The parts' lines and marks straight into the bitmap's pixels, the plot's (0, 0) at the area's
  // top left; then the rest through the dc, whose drawing must reach the pixels first.
  GdiFlush();
  PixelCanvas canvas(pixels.Row(area.top) + area.left, width, height, pixels.stride);
  for (std::size_t group = 0; group < shapes.groups.size(); ++group) {
    const TGroupStyle style = GroupStyle(group, preview.groups.size());
    canvas.DrawGroup(shapes.groups[group],
                     static_cast<std::uint32_t>(style.red << 16 | style.green << 8 | style.blue),
                     Px(1));
  }
  POINT origin{};
  SetViewportOrgEx(dc, area.left, area.top, &origin);
  for (const std::size_t i : shapes.shown) {
    const TPreviewPart& part = preview.parts[i];
    if (!part.reference && !part.anchor && !part.unplaced) continue;
    const PlotPoint to = plot.ToScreen(part.toX, part.toY);
    DrawReplicateMarks(dc, part, to, 6, dpi);
    if (part.unplaced) {
      // Its slot lies outside the host's coordinates: a cross where it stays.
      GdiObject<HPEN> cross(CreatePen(PS_SOLID, Px(2), kUnplacedColour));
      SelectObjectGuard selectedCross(dc, cross.Get());
      const int arm = Px(6);
      Line(dc, {to.x - arm, to.y - arm}, {to.x + arm + 1, to.y + arm + 1});
      Line(dc, {to.x - arm, to.y + arm}, {to.x + arm + 1, to.y - arm - 1});
    }
  }
  for (const TPictureShapes::Label& label : shapes.labels) {
    SetTextColor(dc, ColourOf(GroupStyle(preview.parts[label.part].group, preview.groups.size())));
    TextAt(dc, label.at.x, label.at.y, label.text);
  }
  if (preview.pivot) DrawPivotMark(dc, plot.ToScreen(preview.pivot->x, preview.pivot->y), 6, dpi);
  SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
  DrawLegend(dc, area, preview, dpi, true);

  // The scale bar, bottom left, in the design's units.
  const ScaleBar bar = ChooseScaleBar(plot.Scale(), preview.units, width / 4);
  if (bar.pixels > 0) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, Px(1), GetSysColor(COLOR_WINDOWTEXT)));
    SelectObjectGuard selectedPen(dc, pen.Get());
    const int x = area.left + Px(kGap + 2);
    const int y = area.bottom - Px(kGap + 2);
    Line(dc, {x, y}, {x + bar.pixels, y});
    Line(dc, {x, y - Px(4)}, {x, y + 1});
    Line(dc, {x + bar.pixels, y - Px(4)}, {x + bar.pixels, y + 1});
    TextAt(dc, x + bar.pixels + Px(6), y - TextSize(dc, bar.text).cy / 2 - 1, bar.text);
  }
}

bool PictureBitmap::Fit(HDC dc, int width, int height) {
  if (bitmap_.Get() != nullptr && width == width_ && height == height_) return true;
  bitmap_.Reset(nullptr);
  bits_ = nullptr;
  width_ = height_ = 0;
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = width;
  format.bmiHeader.biHeight = -height;  // rows top down
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  GdiObject<HBITMAP> made(CreateDIBSection(dc, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (made.Get() == nullptr || bits == nullptr) return false;
  bitmap_ = std::move(made);
  bits_ = static_cast<std::uint32_t*>(bits);
  width_ = width;
  height_ = height;
  return true;
}

void PaintRunPicture(HDC dc, const RECT& rect, const TPreview& preview, HFONT font, int dpi,
                     PictureView& view, bool focused, PictureBitmap& bitmap) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (!bitmap.Fit(dc, width, height)) return;
  const HDC buffer = CreateCompatibleDC(dc);
  {
    SelectObjectGuard selectedBitmap(buffer, bitmap.Get());
    SelectObjectGuard selectedFont(buffer, font);
    RECT area{0, 0, width, height};
    FillRect(buffer, &area, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(buffer, TRANSPARENT);
    DrawRunPicture(buffer, bitmap.Pixels(), area, preview, dpi, view);
    DrawEdge(buffer, &area, EDGE_SUNKEN, BF_RECT);
    if (focused) {
      RECT inside = area;
      InflateRect(&inside, -Scale(4, dpi), -Scale(4, dpi));
      SetTextColor(buffer, GetSysColor(COLOR_WINDOWTEXT));
      DrawFocusRect(buffer, &inside);
    }
    BitBlt(dc, rect.left, rect.top, width, height, buffer, 0, 0, SRCCOPY);
  }
  DeleteDC(buffer);
}

void EraseAroundPicture(HWND window, HDC dc, const RECT& rect) {
  RECT client{};
  GetClientRect(window, &client);
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  RestoreDC(dc, saved);
}

namespace {

// A notch of the wheel, or a press of + or -, zooms by this; an arrow key pans by this share of
// the picture.
constexpr double kZoomStep = 1.25;
constexpr int kPanShare = 8;

POINT PointOf(LPARAM lParam) {
  return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

}  // namespace

TRunPicture::TRunPicture(HWND parent, int id, HFONT font, int dpi) : font_(font), dpi_(dpi) {
  RegisterClassOnce(kRunPictureClass, nullptr, nullptr, CS_DBLCLKS);
  Create(kRunPictureClass, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP, 0, 0, 0, 1, 1,
         parent);
  if (Handle() == nullptr) throw std::runtime_error("Cannot create the picture");
  DestroyOnFailure destroyOnFailure(*this);
  SetWindowLongPtrA(Handle(), GWLP_ID, id);
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  tip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                         WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, GetModuleHandleA(nullptr),
                         nullptr);
  if (tip_ == nullptr) throw std::runtime_error("Cannot create the tool tip of the picture");
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = parent;
  tool.uId = reinterpret_cast<UINT_PTR>(Handle());
  tool.lpszText = tipText_.data();
  SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(tip_, TTM_SETMAXTIPWIDTH, 0, Px(400));  // lines of their own
}

void TRunPicture::Show(const TPreview& preview, bool refit) {
  preview_ = &preview;
  view_.Show(preview, refit);
  tipPart_.reset();
  Changed();
}

void TRunPicture::SetFont(HFONT font, int dpi) {
  font_ = font;
  dpi_ = dpi;
  Changed();
}

bool TRunPicture::TakeWheel(WPARAM wParam, LPARAM lParam) {
  if (WindowFromPoint(PointOf(lParam)) != Handle()) return false;
  SendMessageA(Handle(), WM_MOUSEWHEEL, wParam, lParam);
  return true;
}

void TRunPicture::Changed() {
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TRunPicture::ShowTipFor(POINT at) {
  std::optional<std::size_t> part;
  if (preview_ != nullptr && preview_->failure.empty()) {
    part = PartAt(*preview_, view_.View(), {static_cast<double>(at.x), static_cast<double>(at.y)},
                  Px(6));
  }
  if (part == tipPart_) return;
  tipPart_ = part;
  tipText_ = part ? PartTip(preview_->parts[*part], preview_->units) : std::string();
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(Handle());
  tool.uId = reinterpret_cast<UINT_PTR>(Handle());
  tool.lpszText = tipText_.data();
  SendMessageA(tip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  if (!part) SendMessageA(tip_, TTM_POP, 0, 0);
}

LRESULT TRunPicture::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE:
      // The arrows and + and - are the picture's; Tab, Enter and Escape stay the window's.
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Changed();
      return 0;
    case WM_MOUSEWHEEL: {
      POINT at = PointOf(lParam);
      ScreenToClient(Handle(), &at);
      const double notches = GET_WHEEL_DELTA_WPARAM(wParam) / static_cast<double>(WHEEL_DELTA);
      view_.ZoomAt({static_cast<double>(at.x), static_cast<double>(at.y)},
                   std::pow(kZoomStep, notches));
      Changed();
      return 0;
    }
    case WM_LBUTTONDOWN:
      SetFocus(Handle());
      SetCapture(Handle());
      dragFrom_ = PointOf(lParam);
      return 0;
    case WM_MOUSEMOVE: {
      const POINT at = PointOf(lParam);
      if (dragFrom_ && (wParam & MK_LBUTTON) != 0) {
        view_.PanBy(at.x - dragFrom_->x, at.y - dragFrom_->y);
        dragFrom_ = at;
        Changed();
      } else {
        ShowTipFor(at);
      }
      return 0;
    }
    case WM_LBUTTONUP:
      if (GetCapture() == Handle()) ReleaseCapture();
      dragFrom_.reset();
      return 0;
    case WM_CAPTURECHANGED:
      dragFrom_.reset();
      return 0;
    case WM_LBUTTONDBLCLK:
      view_.Fit();
      Changed();
      return 0;
    case WM_CHAR:
      if (wParam == '+' || wParam == '=') view_.ZoomAtCentre(kZoomStep);
      if (wParam == '-') view_.ZoomAtCentre(1 / kZoomStep);
      Changed();
      return 0;
    case WM_KEYDOWN: {
      RECT client{};
      GetClientRect(Handle(), &client);
      const double stepX = (client.right - client.left) / static_cast<double>(kPanShare);
      const double stepY = (client.bottom - client.top) / static_cast<double>(kPanShare);
      switch (wParam) {
        case VK_LEFT:
          view_.PanBy(stepX, 0);
          break;
        case VK_RIGHT:
          view_.PanBy(-stepX, 0);
          break;
        case VK_UP:
          view_.PanBy(0, stepY);
          break;
        case VK_DOWN:
          view_.PanBy(0, -stepY);
          break;
        case VK_HOME:
          view_.Fit();
          break;
        default:
          return DefaultHandling(message, wParam, lParam);
      }
      Changed();
      return 0;
    }
    case WM_ERASEBKGND:
      return TRUE;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      const HDC dc = BeginPaint(Handle(), &paint);
      RECT client{};
      GetClientRect(Handle(), &client);
      if (preview_ != nullptr && client.right > 0 && client.bottom > 0) {
        PaintRunPicture(dc, client, *preview_, font_, dpi_, view_, GetFocus() == Handle(), bitmap_);
      }
      EndPaint(Handle(), &paint);
      return 0;
    }
    default:
      return DefaultHandling(message, wParam, lParam);
  }
}

}  // namespace kordane::ui
