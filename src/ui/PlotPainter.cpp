#include "ui/PlotPainter.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "host/Conversions.h"
#include "ui/Dpi.h"
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

// Tenths of a degree as the text a user reads ("90°", "-45°", "22.5°").
std::string DegreesText(std::int32_t tenths) {
  return FloatToText(tenths / 10.0) + "\xB0";
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

// A line with an arrowhead of the given length at its end.
void Arrow(HDC dc, PlotPoint from, PlotPoint to, double head) {
  Line(dc, from, to);
  const double dx = to.x - from.x;
  const double dy = to.y - from.y;
  const double length = std::hypot(dx, dy);
  if (length < 1) return;
  constexpr double kSpread = 0.45;
  const double angle = std::atan2(dy, dx);
  for (const double side : {kSpread, -kSpread}) {
    const PlotPoint wing{static_cast<int>(std::lround(to.x - head * std::cos(angle + side))),
                         static_cast<int>(std::lround(to.y - head * std::sin(angle + side)))};
    Line(dc, to, wing);
  }
}

// For each part, whether its label goes below (0) or above (1) its target: in a group lined up
// in a row, neighbours alternate, so that labels wider than the pitch do not run into each other.
std::vector<int> LabelLevels(const TPreview& preview, const PlotTransform& plot) {
  std::vector<int> levels(preview.parts.size(), 0);
  for (std::size_t group = 0; group < preview.groups.size(); ++group) {
    std::vector<std::size_t> members;
    int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
    for (std::size_t i = 0; i < preview.parts.size(); ++i) {
      if (preview.parts[i].group != group) continue;
      members.push_back(i);
      const PlotPoint to = plot.ToScreen(preview.parts[i].toX, preview.parts[i].toY);
      minX = std::min(minX, to.x);
      maxX = std::max(maxX, to.x);
      minY = std::min(minY, to.y);
      maxY = std::max(maxY, to.y);
    }
    if (members.size() < 2 || maxX - minX <= maxY - minY) continue;  // a column: labels fit
    std::sort(members.begin(), members.end(), [&](std::size_t a, std::size_t b) {
      return preview.parts[a].toX < preview.parts[b].toX;
    });
    for (std::size_t rank = 0; rank < members.size(); ++rank) {
      levels[members[rank]] = static_cast<int>(rank % 2);
    }
  }
  return levels;
}

// Draws the legend at the top right; returns the width it takes.
int DrawLegend(HDC dc, const RECT& area, const TPreview& preview, int dpi) {
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

void DrawRunPicture(HDC dc, const RECT& area, const TPreview& preview, int dpi) {
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

  // The legend keeps a strip of its own on the right, so that it hides no component.
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  const int legendWidth = DrawLegend(dc, area, preview, dpi);
  const PlotTransform plot(preview, area.left, area.top,
                           std::max(1, width - legendWidth - Px(kGap)), height, Px(kPlotMargin));
  const int ring = Px(3);
  const int tick = Px(10);
  const std::vector<int> levels = LabelLevels(preview, plot);
  const int lineHeight = TextSize(dc, "Ag").cy;
  for (std::size_t i = 0; i < preview.parts.size(); ++i) {
    const TPreviewPart& part = preview.parts[i];
    const TGroupStyle style = GroupStyle(part.group, preview.groups.size());
    const COLORREF colour = ColourOf(style);
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, Px(1), colour));
    GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
    SelectObjectGuard selectedPen(dc, pen.Get());
    const PlotPoint from = plot.ToScreen(part.x, part.y);
    const PlotPoint to = plot.ToScreen(part.toX, part.toY);
    if (part.moves) {
      // The present origin as a ring, the way to the target as an arrow.
      SelectObjectGuard hollow(dc, GetStockObject(NULL_BRUSH));
      Ellipse(dc, from.x - ring, from.y - ring, from.x + ring + 1, from.y + ring + 1);
      Arrow(dc, from, to, Px(7));
    }
    {
      SelectObjectGuard filled(dc, brush.Get());
      DrawMark(dc, to, ring, style.mark);
    }
    // A tick in the direction the component will face.
    const double radians = part.toRotation / 10.0 * std::numbers::pi / 180.0;
    Line(dc, to,
         {static_cast<int>(std::lround(to.x + tick * std::cos(radians))),
          static_cast<int>(std::lround(to.y - tick * std::sin(radians)))});
    DrawReplicateMarks(dc, part, to, 6, dpi);
    SetTextColor(dc, colour);
    std::string label = part.refDes + " " + DegreesText(part.toRotation);
    if (part.unplaced) {
      // Its slot lies outside the host's coordinates: a cross where it stays.
      GdiObject<HPEN> cross(CreatePen(PS_SOLID, Px(2), kUnplacedColour));
      SelectObjectGuard selectedCross(dc, cross.Get());
      const int arm = Px(6);
      Line(dc, {to.x - arm, to.y - arm}, {to.x + arm + 1, to.y + arm + 1});
      Line(dc, {to.x - arm, to.y + arm}, {to.x + arm + 1, to.y - arm - 1});
      label += " (out of range)";
    }
    // Neighbours in a row take turns above and below it.
    const int y = levels[i] == 0 ? to.y + ring : to.y - ring - 1 - lineHeight;
    TextAt(dc, to.x + Px(5), y, label);
  }

  if (preview.pivot) DrawPivotMark(dc, plot.ToScreen(preview.pivot->x, preview.pivot->y), 6, dpi);

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

void PaintRunPicture(HDC dc, const RECT& rect, const TPreview& preview, HFONT font, int dpi) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const HDC buffer = CreateCompatibleDC(dc);
  GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, width, height));
  {
    SelectObjectGuard selectedBitmap(buffer, bitmap.Get());
    SelectObjectGuard selectedFont(buffer, font);
    RECT area{0, 0, width, height};
    FillRect(buffer, &area, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(buffer, TRANSPARENT);
    DrawRunPicture(buffer, area, preview, dpi);
    DrawEdge(buffer, &area, EDGE_SUNKEN, BF_RECT);
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

}  // namespace kordane::ui
