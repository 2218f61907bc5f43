// Time of a whole placement run over an in-memory host: capture, grouping, rotation, ordering and
// moves for selections of 1,000 and 10,000 components, most of them in a few large groups. Beside
// it the undo history: the same run made as one of its steps, a step taken back and made again,
// and the memory of a history of 100 such steps.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "host/Dbx32.h"
#include "host/DbxLoader.h"
#include "host/DbxUtils.h"
#include "placement/PlacementRun.h"
#include "placement/Undo.h"

namespace {

using kordane::TDbxComponent;
using kordane::TDbxContext;
using kordane::TDbxItem;
using kordane::TDesignInfo;

// The selection the host hands out, shuffled so that no group arrives in order.
std::vector<TDbxComponent> MakeSelection(std::int64_t count) {
  struct Share {
    const char* prefix;
    int percent;
  };
  // Large passive and IC groups, then a handful of small ones for the last few percent.
  const Share shares[] = {{"R", 40}, {"C", 33}, {"U", 10}, {"D", 8},  {"L", 3},
                          {"Q", 2},  {"J", 1},  {"SW", 1}, {"TP", 1}, {"Y", 1}};
  std::vector<std::string> designators;
  for (const Share& share : shares) {
    const std::int64_t members = count * share.percent / 100;
    for (std::int64_t number = 1; number <= members; ++number) {
      designators.push_back(share.prefix + std::to_string(number));
    }
  }
  for (std::int64_t extra = 1; static_cast<std::int64_t>(designators.size()) < count; ++extra) {
    designators.push_back("TP" + std::to_string(1000000 + extra));
  }
  std::mt19937 random(7u);
  std::shuffle(designators.begin(), designators.end(), random);

  std::vector<TDbxComponent> selection(designators.size());
  for (std::size_t i = 0; i < designators.size(); ++i) {
    selection[i].SetRefDes(designators[i]);
    selection[i].SetX(static_cast<std::int32_t>(random() % 10000000));
    selection[i].SetY(static_cast<std::int32_t>(random() % 10000000));
    selection[i].SetRotation(static_cast<std::int32_t>(random() % 4) * 900);
  }
  return selection;
}

// The host's side: the functions of the table take no pointer of ours, so the selection of the
// running benchmark is reached through this one slot.
struct MemoryDesign {
  const std::vector<TDbxComponent>* selection = nullptr;
  std::size_t cursor = 0;
  std::int64_t changes = 0;
};
MemoryDesign design;

std::int32_t Fill(TDbxItem* item) {
  if (design.cursor >= design.selection->size()) {
    return 32163;  // no more items
  }
  item->SetItemType(TDbxItem::kComponentType);
  item->SetComponent((*design.selection)[design.cursor]);
  return 0;
}

std::int32_t DBX_CALL Open(std::int32_t, std::int32_t, const char*, TDbxContext*) {
  return 0;
}
std::int32_t DBX_CALL Close(TDbxContext*, const char*) {
  return 0;
}
std::int32_t DBX_CALL DesignInfo(TDbxContext*, TDesignInfo* info) {
  info->SetUnits(kordane::kUnitsMils);
  return 0;
}
std::int32_t DBX_CALL First(TDbxContext*, TDbxItem* item) {
  design.cursor = 0;
  return Fill(item);
}
std::int32_t DBX_CALL Next(TDbxContext*, TDbxItem* item) {
  ++design.cursor;
  return Fill(item);
}
std::int32_t DBX_CALL Rotate(TDbxContext*, std::int32_t angle, std::int32_t*,
                             TDbxComponent* component) {
  component->SetRotation(component->Rotation() + angle);
  ++design.changes;
  return 0;
}
std::int32_t DBX_CALL Move(TDbxContext*, std::int32_t dx, std::int32_t dy,
                           TDbxComponent* component) {
  component->SetX(component->X() + dx);
  component->SetY(component->Y() + dy);
  ++design.changes;
  return 0;
}

kordane::DbxApi MemoryApi() {
  kordane::DbxApi api;
  api.TOpenDesign = &Open;
  api.TCloseDesign = &Close;
  api.TGetDesignInfo = &DesignInfo;
  api.TGetFirstSelectedItem = &First;
  api.TGetNextSelectedItem = &Next;
  api.TRotateComponent = &Rotate;
  api.TMoveComponent = &Move;
  return api;
}

class QuietView : public kordane::IPlacementView {
 public:
  void SetStatusText(const std::string& text) override { benchmark::DoNotOptimize(text); }
  void SetUnitsLabel(const std::string& text) override { benchmark::DoNotOptimize(text); }
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  std::string RotationText() override { return "90"; }
  void ShowRefDesError(const std::string& message) override { benchmark::DoNotOptimize(message); }
};

void BM_Placement(benchmark::State& state) {
  const std::vector<TDbxComponent> selection = MakeSelection(state.range(0));
  design = MemoryDesign{&selection, 0, 0};
  kordane::DbxHost host(MemoryApi());
  QuietView view;
  kordane::PlacementInputs inputs;
  inputs.horizontal = true;
  inputs.order = kordane::TSortOrder::Increasing;
  inputs.spacingEnabled = true;
  inputs.spacingText = "50";
  inputs.rotateEnabled = true;
  bool designOpen = false;

  for (auto _ : state) {
    kordane::DbUnits = kordane::kUnitsUnknown;
    kordane::RunPlacement(host, inputs, view, designOpen);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["changes/run"] =
      static_cast<double>(design.changes) / static_cast<double>(state.iterations());
  design = MemoryDesign{};
}
BENCHMARK(BM_Placement)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The run's choices; every member is turned and moved by the run over the memory host, whose
// design is served afresh every time.
kordane::PlacementInputs HistoryInputs(int step) {
  kordane::PlacementInputs inputs;
  inputs.spacingText = std::to_string(50 + step % 7);
  return inputs;
}

void BM_PlacementIntoHistory(benchmark::State& state) {
  const std::vector<TDbxComponent> selection = MakeSelection(state.range(0));
  design = MemoryDesign{&selection, 0, 0};
  kordane::DbxHost host(MemoryApi());
  QuietView view;
  bool designOpen = false;
  kordane::TUndoHistory history;
  int step = 0;
  for (auto _ : state) {
    kordane::DbUnits = kordane::kUnitsUnknown;
    history.Run(host, HistoryInputs(step++), view, designOpen);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["steps kept"] = static_cast<double>(history.UndoSteps());
  design = MemoryDesign{};
}
BENCHMARK(BM_PlacementIntoHistory)->Arg(10000)->Unit(benchmark::kMillisecond);

// One step of the run's size taken back (range(1) 0) or made again (1); the other way between
// them is not timed.
void BM_HistoryStep(benchmark::State& state) {
  const std::vector<TDbxComponent> selection = MakeSelection(state.range(0));
  design = MemoryDesign{&selection, 0, 0};
  kordane::DbxHost host(MemoryApi());
  QuietView view;
  bool designOpen = false;
  kordane::TUndoHistory history;
  kordane::DbUnits = kordane::kUnitsUnknown;
  history.Run(host, HistoryInputs(0), view, designOpen);
  const bool back = state.range(1) == 0;
  design.changes = 0;
  for (auto _ : state) {
    if (back) {
      history.Undo(host, view, designOpen);
    } else {
      history.Redo(host, view, designOpen);
    }
    state.PauseTiming();
    if (back) {
      history.Redo(host, view, designOpen);
    } else {
      history.Undo(host, view, designOpen);
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["changes/step"] =
      static_cast<double>(design.changes) / static_cast<double>(2 * state.iterations());
  design = MemoryDesign{};
}
BENCHMARK(BM_HistoryStep)
    ->ArgNames({"components", "forward"})
    ->ArgsProduct({{10000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// A history of 100 steps over the same 10,000 components: what it holds, and how many it keeps.
void BM_HistoryOf100Steps(benchmark::State& state) {
  const std::vector<TDbxComponent> selection = MakeSelection(state.range(0));
  design = MemoryDesign{&selection, 0, 0};
  kordane::DbxHost host(MemoryApi());
  QuietView view;
  bool designOpen = false;
  std::size_t used = 0;
  std::size_t kept = 0;
  for (auto _ : state) {
    kordane::TUndoHistory history;
    for (int step = 0; step < 100; ++step) {
      kordane::DbUnits = kordane::kUnitsUnknown;
      history.Run(host, HistoryInputs(step), view, designOpen);
    }
    used = history.MemoryUsed();
    kept = history.UndoSteps();
  }
  state.counters["MiB held"] = static_cast<double>(used) / (1024.0 * 1024.0);
  state.counters["steps kept"] = static_cast<double>(kept);
  design = MemoryDesign{};
}
BENCHMARK(BM_HistoryOf100Steps)->Arg(10000)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
