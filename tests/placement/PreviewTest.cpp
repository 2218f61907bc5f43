// The preview against the real thing: over the stand-in's in-memory design, what the preview
// says a run will do is what a run then does, and the preview itself changes nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "Board.h"
#include "MemoryHost.h"
#include "RecordingHost.h"
#include "Records.h"
#include "host/DbxLoader.h"
#include "host/DbxUtils.h"
#include "placement/HostAdapters.h"
#include "placement/Preview.h"
#include "ui/PreviewPlot.h"

namespace kordane::testing {
namespace {

using standin::Item;

// Fails the test on any change that reaches the host.
class NoChangesHost final : public DbxCallsForwarder {
 public:
  using DbxCallsForwarder::DbxCallsForwarder;
  std::int32_t RotateComponent(TDbxContext*, std::int32_t, std::int32_t*, TDbxComponent*) override {
    ADD_FAILURE() << "the preview rotated a component";
    return 0;
  }
  std::int32_t MoveComponent(TDbxContext*, std::int32_t, std::int32_t, TDbxComponent*) override {
    ADD_FAILURE() << "the preview moved a component";
    return 0;
  }
};

struct World {
  explicit World(std::vector<Item> items, std::int32_t units = standin::kUnitsMils,
                 standin::Faults faults = {})
      : design(std::move(items), units, std::move(faults)) {
    DbUnits = kUnitsUnknown;
  }
  ~World() { DbUnits = kUnitsUnknown; }
  standin::Design design;
  standin::MemoryHost bound{design};
  DbxHost library{standin::MemoryHost::Api()};
  NoChangesHost guarded{library};
};

std::int32_t Turn(std::int64_t rotation) {
  return static_cast<std::int32_t>(((rotation % 3600) + 3600) % 3600);
}

TEST(PreviewTest, RandomSelectionsPreviewExactlyWhatTheRunThenDoes) {
  std::mt19937 random(20261208);
  const std::vector<std::string> prefixes = {"R", "C", "D", "", "RN1-", "U1A"};
  const std::vector<std::string> spacings = {"0", "100", "-50", "2.5", "1e3"};
  const std::vector<std::string> rotations = {"0", "90", "-45", "180", "abc"};
  auto pick = [&](const auto& list) { return list[random() % list.size()]; };
  for (int trial = 0; trial < 200; ++trial) {
    std::vector<Item> items;
    const int count = static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) {
      std::string name = pick(prefixes);
      if (name != "U1A") name += std::to_string(random() % 20);
      items.push_back(Item::Component(name, static_cast<std::int32_t>(random() % 2000000) - 1000000,
                                      static_cast<std::int32_t>(random() % 2000000) - 1000000,
                                      static_cast<std::int32_t>(random() % 8) * 450,
                                      random() % 5 != 0));
      if (random() % 4 == 0) items.push_back(Item::Other(3));
    }
    PlacementInputs inputs;
    inputs.horizontal = random() % 2 == 0;
    inputs.order = static_cast<TSortOrder>(random() % 3);
    inputs.spacingEnabled = random() % 4 != 0;
    inputs.spacingText = pick(spacings);
    inputs.rotateEnabled = random() % 3 != 0;
    const std::string rotationText = pick(rotations);
    const std::int32_t units = random() % 2 == 0 ? standin::kUnitsMils : standin::kUnitsMm;
    SCOPED_TRACE("trial " + std::to_string(trial));

    World world(items, units);
    const TPreview preview = MakePreview(world.guarded, inputs, rotationText);
    EXPECT_EQ(preview.failure, "");
    EXPECT_EQ(world.design.Items(), items) << "the preview changed the design";

    // The real run, over the same design as it stands.
    DbUnits = kUnitsUnknown;
    Log log;
    RecordingView view{log};
    view.rotationText = rotationText;
    std::size_t realMoves = 0, realTurns = 0;
    ChangeRecordingHost recorder(
        world.library, [&](const TComponentChange& change, const TDbxComponent&) {
          ++(change.kind == TComponentChange::Kind::Move ? realMoves : realTurns);
        });
    bool designOpen = false;
    RunPlacement(recorder, inputs, view, designOpen);

    std::vector<std::string> runMessages;
    for (const std::string& entry : log) {
      if (entry.rfind("refdes ", 0) == 0) runMessages.push_back(entry.substr(7));
    }
    EXPECT_EQ(preview.messages, runMessages);

    std::vector<const Item*> selected;
    for (const Item& item : world.design.Items()) {
      if (item.IsComponent() && item.selected) selected.push_back(&item);
    }
    ASSERT_EQ(preview.parts.size(), selected.size());
    std::size_t moves = 0, turns = 0;
    for (std::size_t i = 0; i < selected.size(); ++i) {
      const TPreviewPart& part = preview.parts[i];
      EXPECT_EQ(part.refDes, selected[i]->refDes);
      EXPECT_EQ(part.toX, selected[i]->x) << part.refDes;
      EXPECT_EQ(part.toY, selected[i]->y) << part.refDes;
      EXPECT_EQ(Turn(part.toRotation), selected[i]->rotation) << part.refDes;
      moves += part.moves ? 1 : 0;
      turns += part.rotates ? 1 : 0;
    }
    EXPECT_EQ(moves, realMoves);
    EXPECT_EQ(turns, realTurns);
  }
}

TEST(PreviewTest, SummarisesGroupsMovesRotationsAndPitch) {
  World world({Item::Component("R3", 900, 0, 0), Item::Component("R1", 100, 0, 0),
               Item::Component("R2", 500, 0, 900), Item::Component("C1", 0, 0, 900),
               Item::Component("D1", 0, 0, 0, false)});
  PlacementInputs inputs;
  inputs.spacingText = "200";
  const TPreview preview = MakePreview(world.guarded, inputs, "90");
  ASSERT_EQ(preview.groups.size(), 2u);
  EXPECT_EQ(preview.groups[0].prefix, "C");
  EXPECT_EQ(preview.groups[1].prefix, "R");
  EXPECT_EQ(preview.groups[1].count, 3u);
  // R1 is the reference and stays; C1 is alone and stays; R2 and C1 are at 90 degrees already.
  EXPECT_EQ(preview.summary, "4 components in 2 groups: 2 moves, 2 rotations; pitch 200 mils");
  EXPECT_EQ(preview.parts[0].toX, 100 + 2 * 508000);
  EXPECT_EQ(preview.parts[0].toRotation, 900);
  EXPECT_EQ(preview.units, kUnitsMils);

  inputs.spacingEnabled = false;
  inputs.rotateEnabled = false;
  EXPECT_EQ(MakePreview(world.guarded, inputs, "90").summary,
            "4 components in 2 groups: 0 moves, 0 rotations; spacing off");
}

// Rows: what stops a run shows in the preview, and the preview still changes nothing.
struct FailureRow {
  const char* name;
  std::vector<Item> items;
  standin::Faults faults;
  const char* spacing;
  const char* failure;
  std::vector<std::string> messages;
};

void PrintTo(const FailureRow& row, std::ostream* out) {
  *out << row.name;
}

class PreviewFailure : public ::testing::TestWithParam<FailureRow> {};

TEST_P(PreviewFailure, ShowsWhatStopsTheRunAndChangesNothing) {
  const FailureRow& row = GetParam();
  World world(row.items, standin::kUnitsMils, row.faults);
  PlacementInputs inputs;
  inputs.spacingText = row.spacing;
  const TPreview preview = MakePreview(world.guarded, inputs, "90");
  EXPECT_EQ(preview.failure, row.failure);
  EXPECT_EQ(preview.messages, row.messages);
  EXPECT_FALSE(world.design.IsOpen());
}

standin::Faults OpenFails() {
  standin::Faults faults;
  faults.open = 32001;
  return faults;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PreviewFailure,
    ::testing::Values(FailureRow{"BadSpacing",
                                 {Item::Component("R1", 0, 0, 0)},
                                 {},
                                 "abc",
                                 "'abc' is not a valid floating point value",
                                 {}},
                      FailureRow{"FailedOpen",
                                 {Item::Component("R1", 0, 0, 0)},
                                 OpenFails(),
                                 "5",
                                 "Connection Error",
                                 {}},
                      FailureRow{"DesignatorWithoutNumber",
                                 {Item::Component("U1A", 0, 0, 0), Item::Component("R1", 5, 0, 0)},
                                 {},
                                 "5",
                                 "",
                                 {"Error converting RefDes: U1A", "Error converting RefDes: U1A"}}),
    [](const auto& row) { return std::string(row.param.name); });

// What Apply compares with the reading its picture was drawn from.
TEST(PreviewTest, ReadingsDifferByAnyPartsDesignatorPlaceOrAngleOrByTheSelection) {
  const auto part = Part;
  const std::vector<TDbxComponent> read{part("R1", 1, 2, 0), part("C1", 3, 4, 900)};
  std::vector<TDbxComponent> other = read;
  other[1].bytes[0] = 7;  // a host's own bytes are not what the picture shows
  EXPECT_TRUE(SameParts(read, other));
  const std::vector<std::vector<TDbxComponent>> differ{
      {part("R1", 1, 2, 0)},
      {part("R1", 1, 2, 0), part("C1", 3, 4, 900), part("D1", 0, 0, 0)},
      {part("C1", 3, 4, 900), part("R1", 1, 2, 0)},
      {part("R1", 2, 2, 0), part("C1", 3, 4, 900)},
      {part("R1", 1, 3, 0), part("C1", 3, 4, 900)},
      {part("R1", 1, 2, 0), part("C1", 3, 4, 901)},
      {part("R2", 1, 2, 0), part("C1", 3, 4, 900)},
  };
  for (const auto& reading : differ) EXPECT_FALSE(SameParts(read, reading)) << reading.size();
}

TEST(PreviewPlotTest, FitsTheBoardWithYUpAndAMargin) {
  TPreview preview;
  TPreviewPart part;
  part.x = 0;
  part.y = 0;
  part.toX = 1000;
  part.toY = 500;
  preview.parts.push_back(part);
  const PlotTransform plot(preview, 10, 20, 120, 100, 10);
  // 1000 units across 100 usable pixels: 10 per pixel; the box is centred.
  EXPECT_DOUBLE_EQ(plot.Scale(), 10.0);
  EXPECT_EQ(plot.ToScreen(0, 0).x, 20);
  EXPECT_EQ(plot.ToScreen(1000, 0).x, 120);
  EXPECT_EQ(plot.ToScreen(0, 0).y, 95);
  EXPECT_EQ(plot.ToScreen(0, 500).y, 45) << "+Y is up";

  const PlotTransform single(TPreview{}, 0, 0, 100, 50, 5);
  EXPECT_EQ(single.ToScreen(0, 0).x, 50);
  EXPECT_EQ(single.ToScreen(0, 0).y, 25);
}

struct BarRow {
  double dbPerPixel;
  std::int32_t units;
  int maxPixels;
  int pixels;
  const char* text;
};

TEST(PreviewPlotTest, ScaleBarIsTheLongestRoundLengthThatFits) {
  const BarRow rows[] = {
      {2540.0, kUnitsMils, 120, 100, "100 mils"},  // 120 mils fit: 100
      {2540.0, kUnitsMils, 60, 50, "50 mils"},
      {2540.0, kUnitsMils, 30, 20, "20 mils"},
      {1000.0, kUnitsMm, 150, 100, "1 mm"},
      {100.0, kUnitsMm, 60, 50, "0.05 mm"},
      {1.0, kUnitsUnknown, 80, 50, "50 database units"},
  };
  for (const BarRow& row : rows) {
    const ScaleBar bar = ChooseScaleBar(row.dbPerPixel, row.units, row.maxPixels);
    EXPECT_EQ(bar.pixels, row.pixels) << row.text;
    EXPECT_EQ(bar.text, row.text);
  }
}

TEST(PreviewPlot, EveryGroupOfAPictureIsDrawnApart) {
  for (const std::size_t groups : {1u, 8u, 12u, 32u, 33u, 200u}) {
    std::set<std::tuple<int, int, int, TGroupMark>> styles;
    for (std::size_t g = 0; g < groups; ++g) {
      const TGroupStyle s = GroupStyle(g, groups);
      styles.insert({s.red, s.green, s.blue, s.mark});
    }
    EXPECT_EQ(styles.size(), groups);
  }
}

}  // namespace
}  // namespace kordane::testing
