// The picture's view of a run: its zoom limits, kept or fitted as the run changes, the labels
// that fit, the part under the pointer and its tooltip. Zoom, pan and fit themselves are shown
// through the board view's transform (tests/boardview), which is the same arithmetic.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <vector>

#include "host/DbxUtils.h"
#include "ui/PlotView.h"
#include "ui/PreviewPlot.h"

namespace kordane {
namespace {

TPreviewPart Part(const char* refDes, std::int32_t x, std::int32_t y, std::int32_t toX,
                  std::int32_t toY) {
  TPreviewPart part;
  part.refDes = refDes;
  part.x = x;
  part.y = y;
  part.toX = toX;
  part.toY = toY;
  return part;
}

TPreview Spanning(std::int32_t width) {
  TPreview preview;
  preview.parts = {Part("R1", 0, 0, width, 0)};
  return preview;
}

struct LimitRow {
  const char* what;
  std::int32_t span;  // of the selection, in database units, across a plot 400 pixels wide
  double factor;      // zoomed by
  double scale;       // pixels per database unit after it
};

TEST(PictureViewTest, ZoomsFromTheWholeSelectionToTwoMillimetresAcross) {
  const LimitRow rows[] = {
      {"fitted", 4000000, 1, 400.0 / 4000000},
      {"no further out than the whole", 4000000, 0.5, 400.0 / 4000000},
      {"in, within the limits", 4000000, 4, 1600.0 / 4000000},
      {"no further in than 2 mm across", 4000000, 1e6, 400.0 / 200000},
      {"smaller than 2 mm: the whole only", 100000, 8, 400.0 / 100000},
      {"one place: a pixel per unit", 0, 8, 1},
  };
  for (const LimitRow& row : rows) {
    PictureView view;
    view.Resize(400, 300, 0);
    view.Show(Spanning(row.span), true);
    view.ZoomAt({100, 100}, row.factor);
    EXPECT_DOUBLE_EQ(view.View().Scale(), row.scale) << row.what;
  }
}

TEST(PictureViewTest, KeepsItsViewWhileTheRunChangesAndFitsWhenAsked) {
  PictureView view;
  view.Resize(400, 300, 10);
  view.Show(Spanning(4000000), true);
  // Untouched, the picture follows the run.
  view.Show(Spanning(8000000), false);
  EXPECT_DOUBLE_EQ(view.View().Scale(), 380.0 / 8000000);
  view.ZoomAtCentre(4);
  view.PanBy(30, -20);
  const ZoomView watched = view.View();
  view.Show(Spanning(7000000), false);
  EXPECT_DOUBLE_EQ(view.View().Scale(), watched.Scale()) << "kept for other choices";
  EXPECT_EQ(view.View().ToBoard({0, 0}), watched.ToBoard({0, 0}));
  EXPECT_FALSE(view.Fitted());
  // A wider plot keeps the board point in its middle there.
  const ViewPoint middle = view.View().ToBoard({200, 150});
  view.Resize(600, 300, 10);
  EXPECT_NEAR(view.View().ToBoard({300, 150}).x, middle.x, 1e-6);
  view.Fit();
  EXPECT_DOUBLE_EQ(view.View().Scale(), 580.0 / 7000000) << "Home";
  view.ZoomAtCentre(2);
  view.Show(Spanning(4000000), true);
  EXPECT_DOUBLE_EQ(view.View().Scale(), 580.0 / 4000000) << "a new reading";
}

TEST(LabelSpaceTest, TakesOnlyWhatOverlapsNothingTaken) {
  struct Row {
    PixelRect label;
    bool taken;
  };
  const Row rows[] = {
      {{10, 10, 70, 23}, true},      {{60, 20, 120, 33}, false},  // overlaps the first
      {{70, 10, 130, 23}, true},                                  // touches it only
      {{10, 23, 70, 36}, true},                                   // below it
      {{0, 0, 300, 100}, false},                                  // over all of them, across cells
      {{-50, 200, 5, 213}, true},                                 // partly outside
      {{400, 10, 460, 23}, false},                                // wholly outside
      {{-80, 10, -20, 23}, false},                                // wholly outside
      {{200, 150, 260, 163}, true},                               // in another cell
      {{259, 162, 300, 170}, false},                              // its corner
  };
  LabelSpace space(400, 300);
  for (const Row& row : rows) {
    EXPECT_EQ(space.Claim(row.label), row.taken) << row.label.left << ", " << row.label.top << ", "
                                                 << row.label.right << ", " << row.label.bottom;
  }
}

// Parts out of view are passed over, an arrow that crosses the view is drawn, and a label without
// room on its own side goes to the other.
TEST(LayOutPictureTest, DrawsWhatReachesTheViewAndLabelsWhereThereIsRoom) {
  TPreview preview;
  preview.groups = {{"R", 5}};
  preview.parts = {Part("R1", 50, 50, 50, 50), Part("R2", -500, 50, 500, 50),
                   Part("R3", -100, 400, 400, -100), Part("R4", 1000, 1000, 1000, 1000),
                   Part("R5", 52, 52, 52, 52)};
  for (TPreviewPart& part : preview.parts) part.moves = part.x != part.toX;
  ZoomView view(1, 1);
  view.Fit({50, 50}, 100, 100, 100, 100, 0);  // a pixel per unit, y 0 at pixel 100
  TPictureSizes sizes;
  sizes.reach = 0;
  std::array<int, 256> widths{};
  widths.fill(6);
  const TPictureShapes shapes = LayOutPicture(preview, std::vector<int>(5, 0),
                                              PlotTransform(view, 0, 0), 100, 100, sizes, widths);
  EXPECT_EQ(shapes.shown, (std::vector<std::size_t>{0, 1, 4}));
  ASSERT_EQ(shapes.labels.size(), 2u) << "R2's label starts outside";
  EXPECT_EQ(shapes.labels[0].text, "R1 0\xB0");
  EXPECT_EQ(shapes.labels[0].at.y, 53) << "below its part";
  EXPECT_EQ(shapes.labels[1].part, 4u);
  EXPECT_EQ(shapes.labels[1].at.y, 48 - 3 - 1 - 13) << "above, R1's label being below";
}

// With fewer than 8 x 8 pixels to each part in view, a part is its shaft and its mark; with room
// enough, its ring, arrow, head and tick too.
TEST(LayOutPictureTest, LeavesRingsHeadsAndTicksOutWhereThePartsAreCrowded) {
  TPreview preview;
  preview.groups = {{"R", 4}};
  preview.parts = {Part("R1", 2, 98, 20, 80), Part("R2", 10, 90, 10, 90), Part("R3", 5, 85, 30, 95),
                   Part("R4", 25, 75, 3, 99)};
  for (TPreviewPart& part : preview.parts) part.moves = part.x != part.toX;
  ZoomView view(1, 1);
  view.Fit({50, 50}, 100, 100, 100, 100, 0);  // a pixel per unit, y 0 at pixel 100
  std::array<int, 256> widths{};
  // Three parts move: shafts alone, or rings, shafts, heads and the four parts' ticks.
  for (const auto& [side, lines] :
       {std::pair{15, 3u * 2}, std::pair{16, 3u * (9 + 2 + 3) + 4 * 2}}) {
    const TPictureShapes shapes = LayOutPicture(preview, std::vector<int>(4, 0),
                                                PlotTransform(view, 0, 0), side, side, {}, widths);
    EXPECT_EQ(shapes.groups[0].lines.size(), lines) << side << " pixels square";
    EXPECT_EQ(shapes.groups[0].markCorners.size(), 4u) << side << " pixels square";
  }
}

TEST(PartAtTest, FindsTheNearestTargetOrOriginWithinTheRadius) {
  TPreview preview;
  preview.parts = {Part("R1", 0, 0, 100, 0), Part("R2", 100, 0, 200, 0),
                   Part("R3", 300, 0, 300, 0)};
  ZoomView view(1, 1);
  view.Fit({150, 0}, 300, 0, 300, 100, 0);  // a pixel per unit, x 0 at pixel 0, y 0 at 50
  struct Row {
    ViewPoint at;
    std::optional<std::size_t> part;
  };
  const Row rows[] = {
      {{2, 52}, 0},    // R1's origin
      {{100, 50}, 0},  // R1's target beats R2's origin there
      {{197, 46}, 1},  // R2's target
      {{250, 50}, std::nullopt},
      {{298, 54}, 2},  // moved nowhere
      {{150, 50}, std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(PartAt(preview, view, row.at, 5), row.part) << row.at.x << ", " << row.at.y;
  }
}

TEST(PartTipTest, NamesThePartAndItsPlaceNowAndAfter) {
  TPreviewPart part = Part("R7", 254000, -2540, 127000, 0);
  part.rotation = 900;
  part.toRotation = 2255;
  EXPECT_EQ(PartTip(part, kUnitsMils),
            "R7\r\nnow 100, -1 mils at 90\xB0\r\nafter 50, 0 mils at 225.5\xB0");
  EXPECT_EQ(PartTip(part, kUnitsMm),
            "R7\r\nnow 2.54, -0.0254 mm at 90\xB0\r\nafter 1.27, 0 mm at 225.5\xB0");
}

}  // namespace
}  // namespace kordane
