// Time of a whole placement run over an in-memory host: capture, grouping, rotation, ordering and
// moves for selections of 1,000 and 10,000 components, most of them in a few large groups.
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

}  // namespace

BENCHMARK_MAIN();
