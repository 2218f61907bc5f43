// Time of the Arrange window's live picture: the whole run over the selection as read, from
// memory, for each pattern, as it is worked out on every keystroke; Replicate's Find; and what a
// redraw lays out and draws itself (the shapes of the parts in view and the labels that fit, the
// lines and marks into pixels), fitted and zoomed.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "Selections.h"
#include "host/DbxUtils.h"
#include "placement/Arrange.h"
#include "placement/ChannelFind.h"
#include "placement/HostAdapters.h"
#include "placement/PlacementTable.h"
#include "ui/PixelCanvas.h"
#include "ui/PreviewPlot.h"

namespace {

using kordane::TArrangePattern;
using kordane::TDbxComponent;
using kordane::bench::MakeSelection;

// Channels of a hundred components each, numbered in hundreds (U100, R101, ... U200, ...), or
// tagged (U0_1, R1_1, ... U0_2, ...), every channel but the first turned and shifted anyhow.
std::vector<TDbxComponent> MakeChannels(std::int64_t count, bool tagged = false) {
  const char* prefixes[] = {"R", "R", "R", "R", "C", "C", "C", "U", "D", "LED"};
  std::mt19937 random(13u);
  std::vector<TDbxComponent> selection(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < selection.size(); ++i) {
    const std::size_t role = i % 100;
    const std::size_t channel = i / 100 + 1;
    const std::string prefix = role == 0 ? "U" : prefixes[role % 10];
    selection[i].SetRefDes(tagged ? prefix + std::to_string(role) + "_" + std::to_string(channel)
                                  : prefix + std::to_string(channel * 100 + role));
    selection[i].SetX(static_cast<std::int32_t>(random() % 10000000));
    selection[i].SetY(static_cast<std::int32_t>(random() % 10000000));
    selection[i].SetRotation(static_cast<std::int32_t>(random() % 3600));
  }
  return selection;
}

// The pattern's picture; Replicate's channels tagged with a third argument of 1.
void BM_ArrangePicture(benchmark::State& state) {
  kordane::DbUnits = kordane::kUnitsMils;
  kordane::TArrangeChoices choices;
  choices.pattern = static_cast<TArrangePattern>(state.range(1));
  const bool channels = choices.pattern == TArrangePattern::Replicate;
  const bool tagged = state.range(2) == 1;
  kordane::TSelectionHost memory(
      channels ? MakeChannels(state.range(0), tagged) : MakeSelection(state.range(0)),
      kordane::kUnitsMils);
  choices.anchorText = tagged ? "U0_1" : "U100";
  if (tagged) choices.channelScheme = kordane::TChannelScheme::TagAfterSeparator;
  if (choices.pattern == TArrangePattern::Table) {
    // Every part placed elsewhere from a table that names each of them.
    std::vector<TDbxComponent> moved = memory.Selection();
    for (TDbxComponent& part : moved) part.SetX(part.X() + 2540);
    choices.tableFileText = "placement.csv";
    choices.tableFile = {"placement.csv", "",
                         kordane::ReadPlacementTable(
                             kordane::WritePlacementTable(moved, kordane::TTableUnit::Mm, 0, 0))};
  }
  choices.order = kordane::TArrangeOrder::ByPosition;
  choices.columnsText = "20";
  choices.snake = true;
  choices.turn = true;
  choices.turnText = "90";
  std::size_t moves = 0;
  for (auto _ : state) {
    const kordane::TPreview picture = kordane::MakeArrangePreview(memory, choices);
    moves = picture.parts.size();
    benchmark::DoNotOptimize(picture.summary);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["parts"] = static_cast<double>(moves);
}
BENCHMARK(BM_ArrangePicture)
    ->ArgNames({"components", "pattern", "tagged"})
    ->ArgsProduct(
        {{1000, 10000},
         {static_cast<int>(TArrangePattern::Grid), static_cast<int>(TArrangePattern::Distribute),
          static_cast<int>(TArrangePattern::Align), static_cast<int>(TArrangePattern::Circle),
          static_cast<int>(TArrangePattern::Replicate), static_cast<int>(TArrangePattern::Table)},
         {0}})
    ->Args({1000, static_cast<int>(TArrangePattern::Replicate), 1})
    ->Args({10000, static_cast<int>(TArrangePattern::Replicate), 1})
    ->Unit(benchmark::kMillisecond);

// Reading a table of as many rows as there are selected components and matching the two.
void BM_TableReadAndMatch(benchmark::State& state) {
  const std::vector<TDbxComponent> selection = MakeSelection(state.range(0));
  const std::string text = kordane::WritePlacementTable(selection, kordane::TTableUnit::Mm, 0, 0);
  std::vector<kordane::TReplicatePart> parts;
  for (const TDbxComponent& part : selection) {
    parts.push_back({part.RefDesView(), {part.X(), part.Y(), part.Rotation()}});
  }
  std::size_t placed = 0;
  for (auto _ : state) {
    const auto table = kordane::ReadPlacementTable(text);
    const std::vector<kordane::TTableTarget> targets =
        kordane::ResolveTable(*table, kordane::TTableUnit::Mm, 0, 0);
    placed = kordane::PlanFromTable(parts, targets).placed;
    benchmark::DoNotOptimize(placed);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["placed"] = static_cast<double>(placed);
}
BENCHMARK(BM_TableReadAndMatch)
    ->ArgName("rows")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

// A grid of the components on a picture of 600 x 450 pixels, zoomed in about its middle by the
// given factor (1: the whole selection): laid out, and its lines and marks drawn into pixels.
void BM_PictureRedraw(benchmark::State& state) {
  kordane::DbUnits = kordane::kUnitsMils;
  kordane::TSelectionHost memory(MakeSelection(state.range(0)), kordane::kUnitsMils);
  kordane::TArrangeChoices choices;
  choices.pattern = TArrangePattern::Grid;
  choices.columnsText = "100";
  const kordane::TPreview picture = kordane::MakeArrangePreview(memory, choices);
  kordane::PictureView view;
  view.Resize(600, 450, 28);
  view.Show(picture, true);
  view.ZoomAtCentre(static_cast<double>(state.range(1)));
  std::array<int, 256> charWidths{};
  charWidths.fill(6);
  std::size_t labels = 0;
  std::vector<std::uint32_t> pixels(600 * 450);
  for (auto _ : state) {
    const kordane::PlotTransform plot(view.View(), 0, 0);
    const kordane::TPictureShapes shapes =
        kordane::LayOutPicture(picture, view.Levels(), plot, 600, 450, {}, charWidths);
    labels = shapes.labels.size();
    kordane::PixelCanvas canvas(pixels.data(), 600, 450, 600);
    for (const kordane::TPictureShapes::Group& group : shapes.groups) {
      canvas.DrawGroup(group, 0x123456, 1);
    }
    benchmark::DoNotOptimize(pixels.data());
  }
  state.counters["labels"] = static_cast<double>(labels);
}
BENCHMARK(BM_PictureRedraw)
    ->ArgNames({"components", "zoom"})
    ->ArgsProduct({{10000}, {1, 3, 8}})
    ->Unit(benchmark::kMillisecond);

// Replicate's Find over channels numbered in hundreds, with nothing typed.
void BM_FindChannels(benchmark::State& state) {
  const std::vector<TDbxComponent> selection = MakeChannels(state.range(0));
  std::string anchor;
  for (auto _ : state) {
    const std::optional<kordane::TChannelFinding> found = kordane::FindChannels(selection, "");
    anchor = found ? found->anchor : "";
    benchmark::DoNotOptimize(anchor);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FindChannels)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
