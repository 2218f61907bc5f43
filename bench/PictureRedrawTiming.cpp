// How long the Windows build takes to redraw the Arrange window's picture of 10,000 components,
// from the layout to the finished off-screen bitmap, at several zooms: the same Grid of 100
// columns as BM_PictureRedraw, in a picture of 640 x 480 pixels. Each figure is the median and the
// fastest of 15 redraws (the fastest is the one other programs on the machine disturbed least).
// Run it under Wine: build/win32/wine-run build/win32/bin/picture_redraw_timing.exe
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "Selections.h"
#include "placement/Arrange.h"
#include "placement/HostAdapters.h"
#include "ui/PixelCanvas.h"
#include "ui/PlotPainter.h"
#include "ui/PlotView.h"
#include "ui/PreviewPlot.h"
#include "ui/Win32Util.h"

namespace {

struct Timing {
  double median;
  double fastest;
};

// Milliseconds of draw, run 15 times after once to warm up.
template <typename Draw>
Timing Time(Draw draw) {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  draw();
  std::vector<double> times;
  for (int round = 0; round < 15; ++round) {
    LARGE_INTEGER start{}, end{};
    QueryPerformanceCounter(&start);
    draw();
    QueryPerformanceCounter(&end);
    times.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
                    static_cast<double>(frequency.QuadPart));
  }
  std::sort(times.begin(), times.end());
  return {times[times.size() / 2], times.front()};
}

}  // namespace

int main() {
  kordane::DbUnits = kordane::kUnitsMils;
  kordane::TSelectionHost memory(kordane::bench::MakeSelection(10000), kordane::kUnitsMils);
  kordane::TArrangeChoices choices;
  choices.pattern = kordane::TArrangePattern::Grid;
  choices.columnsText = "100";
  const kordane::TPreview picture = kordane::MakeArrangePreview(memory, choices);

  const HDC screen = GetDC(nullptr);
  const HDC target = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, 640, 480);
  const HGDIOBJ old = SelectObject(target, bitmap);
  const kordane::ui::GdiObject<HFONT> font = kordane::ui::CreateDialogFont(96, false);
  const RECT rect{0, 0, 640, 480};
  std::array<int, 256> charWidths{};
  charWidths.fill(6);
  std::vector<std::uint32_t> pixels(640 * 480);
  {
    // What a redraw costs whatever it shows (an empty picture: its bitmap filled, its edge and a
    // line of text drawn, copied out), and 150 labels: a gauge of how busy the machine is.
    const kordane::TPreview empty;
    kordane::PictureView view;
    kordane::ui::PictureBitmap buffer;
    const Timing nothing = Time([&] {
      kordane::ui::PaintRunPicture(target, rect, empty, font.Get(), 96, view, false, buffer);
    });
    const Timing labels = Time([&] {
      const HGDIOBJ oldFont = SelectObject(target, font.Get());
      SetBkMode(target, TRANSPARENT);
      for (int i = 0; i < 150; ++i) {
        TextOutA(target, (i * 37) % 600, (i * 13) % 450, "R1234 90\xB0", 9);
      }
      SelectObject(target, oldFont);
    });
    std::printf("an empty picture: %.1f ms (%.1f); 150 labels: %.1f ms (%.1f)\n", nothing.median,
                nothing.fastest, labels.median, labels.fastest);
  }
  std::printf(
      "zoom   redraw: median (fastest)   layout alone      lines and marks alone  "
      "parts in view\n");
  for (const double zoom : {1.0, 1.5, 2.0, 3.0, 4.0, 5.0, 6.0, 8.0, 16.0, 64.0, 512.0}) {
    kordane::PictureView view;
    view.Resize(600, 450, 28);
    view.Show(picture, true);
    view.ZoomAtCentre(zoom);
    kordane::ui::PictureBitmap buffer;
    const Timing redraw = Time([&] {
      kordane::ui::PaintRunPicture(target, rect, picture, font.Get(), 96, view, false, buffer);
    });
    const kordane::PlotTransform plot(view.View(), 0, 0);
    const Timing layout = Time(
        [&] { kordane::LayOutPicture(picture, view.Levels(), plot, 600, 450, {}, charWidths); });
    const kordane::TPictureShapes shapes =
        kordane::LayOutPicture(picture, view.Levels(), plot, 600, 450, {}, charWidths);
    const Timing drawing = Time([&] {
      kordane::PixelCanvas canvas(pixels.data(), 640, 480, 640);
      for (const kordane::TPictureShapes::Group& group : shapes.groups) {
        canvas.DrawGroup(group, 0x123456, 1);
      }
    });
    std::printf(
        "%4.1f   %6.1f ms (%6.1f)         %5.1f ms (%5.1f)   %5.1f ms (%5.1f)      %zu, %zu "
        "labels\n",
        zoom, redraw.median, redraw.fastest, layout.median, layout.fastest, drawing.median,
        drawing.fastest, shapes.shown.size(), shapes.labels.size());
  }
  SelectObject(target, old);
  DeleteObject(bitmap);
  DeleteDC(target);
  ReleaseDC(nullptr, screen);
  return 0;
}
