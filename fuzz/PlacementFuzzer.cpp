// A placement run over a host whose every answer comes from the input: statuses, item
// types, record bytes, designators without a NUL, records the host writes into when it is given
// them, and any inputs of the window. The run must keep every rule of RunInvariants.h: TCloseDesign
// exactly once if and only if the open returned 0, no call after it, the cleanup always complete,
// the status line as the run's rules and the failure count give it, no move made from a value that
// overflowed.
//
// The host keeps state: the design it handed out, changed by the changes it accepted. The run is
// made through the undo history, which then takes it back, makes it again and takes it back once
// more over the same host: each of those keeps the same rules of connection and status line, and
// every component whose changes were all accepted ends where it was handed out, or where the run
// left it. The run is Go's, or one of the Arrange patterns (Transform among them) with any choices,
// under the same rules of connection and cleanup; each of their components is turned and moved
// at most once, never from or to a value beyond 32 bits. Replicate's Find over the components
// handed out finds only what Replicate can then copy from the anchor it names.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "host/Conversions.h"
#include "host/Dbx32.h"
#include "host/DbxLoader.h"
#include "host/DbxUtils.h"
#include "placement/Arrange.h"
#include "placement/ChannelFind.h"
#include "placement/PlacementRun.h"
#include "placement/RunInvariants.h"
#include "placement/Undo.h"

namespace kordane::fuzz {
namespace {

using testing::MonitoredHost;
using testing::MonitoredView;
using testing::RunEnding;
using testing::RunEvents;
using testing::RunRecord;

constexpr std::int32_t kNoMoreItems = 32163;
constexpr std::int32_t kComponentNotFound = 32215;
constexpr std::int32_t kInvalidLocation = 32175;
constexpr std::size_t kMostItems = 48;
constexpr std::size_t kIdOffset = 0;  // where the host keeps its own id in a component record

// One component as the host's design holds it.
struct Part {
  std::int32_t x, y, rotation;                 // now
  std::int32_t x0, y0, rotation0;              // when it was handed out
  bool refused = false;                        // some change of it was refused
  std::int32_t x1 = 0, y1 = 0, rotation1 = 0;  // when the run ended
};

// The host: answers from the input, the design it handed out as its state.
struct FuzzHost {
  FuzzedDataProvider* data = nullptr;
  std::vector<Part> parts;
  std::vector<TDbxComponent> handedOut;  // each component's record as it was handed out
  std::size_t reads = 0;
  TDbxComponent last{};  // the host's scratch record, carried from item to item

  Part* PartOf(const TDbxComponent* component) {
    const std::int32_t id = component->Int32At(kIdOffset);
    if (id < 1 || static_cast<std::size_t>(id) > parts.size()) return nullptr;
    return &parts[static_cast<std::size_t>(id) - 1];
  }

  // A host may write into the record it is given: the part as it now stands, or anything.
  void WriteInto(TDbxComponent* component, const Part* part) {
    switch (data->ConsumeIntegralInRange<int>(0, 7)) {
      case 0:
        if (part != nullptr) {
          component->SetX(part->x);
          component->SetY(part->y);
          component->SetRotation(part->rotation);
        }
        break;
      case 1:
        component->SetX(Int32Near(*data, component->X()));
        break;
      case 2:
        component->SetY(Int32Near(*data, component->Y()));
        break;
      case 3:
        component->SetRotation(Int32Near(*data, component->Rotation()));
        break;
      case 4:
        WriteDesignator(component);
        break;
      case 5: {
        // Any byte but the host's own id of the component, which it keeps.
        const std::size_t at =
            data->ConsumeIntegralInRange<std::size_t>(kIdOffset + 4, sizeof component->bytes - 1);
        component->bytes[at] = data->ConsumeIntegral<std::uint8_t>();
        break;
      }
      default:
        break;  // leaves it as it is
    }
  }

  // A prefix from a few letters and a digit run that may be empty or too large, or any 100
  // bytes, which need not hold a NUL.
  void WriteDesignator(TDbxComponent* component) {
    if (data->ConsumeIntegralInRange<int>(0, 7) == 0) {
      for (std::size_t i = 0; i < TDbxComponent::kRefDesSize; ++i) {
        component->bytes[TDbxComponent::kRefDesOffset + i] =
            data->ConsumeIntegralInRange<std::uint8_t>(1, 255);
      }
      return;
    }
    static const std::vector<std::string> kPrefixes = {"R", "C", "U1A", "", "r", "D", "RN1-"};
    static const std::vector<std::string> kNumbers = {"1",          "2",  "3",  "10",  "",
                                                      "2147483648", "_A", "_b", "-10", ".2"};
    component->SetRefDes(TextFrom(*data, kPrefixes, 4) + TextFrom(*data, kNumbers, 11));
  }

  std::int32_t Read(TDbxItem* item) {
    if (++reads > kMostItems) return kNoMoreItems;
    switch (data->ConsumeIntegralInRange<int>(0, 9)) {
      case 0:
        return kNoMoreItems;  // also where the input runs out
      case 1:
        return HostStatus(*data, 0);  // any status; a 0 leaves the buffer as it was
      default:
        break;
    }
    const bool component = data->ConsumeIntegralInRange<int>(0, 4) != 0;
    item->SetItemType(component ? TDbxItem::kComponentType : Int32Near(*data, 4));
    if (data->ConsumeBool()) last = TDbxComponent{};
    WriteDesignator(&last);
    last.SetX(Int32Near(*data, data->ConsumeIntegralInRange<std::int32_t>(-5000, 5000)));
    last.SetY(Int32Near(*data, data->ConsumeIntegralInRange<std::int32_t>(-5000, 5000)));
    last.SetRotation(Int32Near(*data, data->ConsumeIntegralInRange<std::int32_t>(0, 3599)));
    for (int n = data->ConsumeIntegralInRange<int>(0, 2); n > 0; --n) {
      last.bytes[data->ConsumeIntegralInRange<std::size_t>(0, sizeof last.bytes - 1)] =
          data->ConsumeIntegral<std::uint8_t>();
    }
    if (item->ItemType() == TDbxItem::kComponentType) {
      parts.push_back({last.X(), last.Y(), last.Rotation(), last.X(), last.Y(), last.Rotation()});
      last.SetInt32At(kIdOffset, static_cast<std::int32_t>(parts.size()));
      handedOut.push_back(last);
    }
    item->SetComponent(last);
    return 0;
  }

  std::int32_t Change(TDbxComponent* component, std::int64_t dx, std::int64_t dy,
                      std::int64_t turn) {
    Part* part = PartOf(component);
    std::int32_t status = part == nullptr ? kComponentNotFound : HostStatus(*data, 6);
    if (status == 0) {
      const std::int64_t x = std::int64_t{part->x} + dx;
      const std::int64_t y = std::int64_t{part->y} + dy;
      if (x < std::numeric_limits<std::int32_t>::min() ||
          x > std::numeric_limits<std::int32_t>::max() ||
          y < std::numeric_limits<std::int32_t>::min() ||
          y > std::numeric_limits<std::int32_t>::max()) {
        status = kInvalidLocation;
      } else {
        part->x = static_cast<std::int32_t>(x);
        part->y = static_cast<std::int32_t>(y);
        part->rotation = static_cast<std::int32_t>(((part->rotation + turn) % 3600 + 3600) % 3600);
      }
    }
    if (status != 0 && part != nullptr) part->refused = true;
    WriteInto(component, part);
    return status;
  }
};

FuzzHost* gHost = nullptr;

std::int32_t DBX_CALL Open(std::int32_t, std::int32_t, const char*, TDbxContext*) {
  return HostStatus(*gHost->data, 12);
}

std::int32_t DBX_CALL Close(TDbxContext*, const char*) {
  return HostStatus(*gHost->data, 6);
}

std::int32_t DBX_CALL DesignInfo(TDbxContext*, TDesignInfo* info) {
  FuzzedDataProvider& data = *gHost->data;
  const std::int32_t status = HostStatus(data, 6);
  static constexpr std::int32_t kUnits[] = {1, 2, 1, 2, -1, 0, 3};
  info->SetUnits(data.ConsumeBool() ? kUnits[data.ConsumeIntegralInRange<std::size_t>(0, 6)]
                                    : data.ConsumeIntegral<std::int32_t>());
  return status;
}

std::int32_t DBX_CALL First(TDbxContext*, TDbxItem* item) {
  return gHost->Read(item);
}

std::int32_t DBX_CALL Next(TDbxContext*, TDbxItem* item) {
  return gHost->Read(item);
}

std::int32_t DBX_CALL Rotate(TDbxContext*, std::int32_t angle, std::int32_t*,
                             TDbxComponent* component) {
  return gHost->Change(component, 0, 0, angle);
}

std::int32_t DBX_CALL Move(TDbxContext*, std::int32_t dx, std::int32_t dy,
                           TDbxComponent* component) {
  return gHost->Change(component, dx, dy, 0);
}

DbxApi FuzzApi() {
  DbxApi api;
  api.TOpenDesign = &Open;
  api.TCloseDesign = &Close;
  api.TGetDesignInfo = &DesignInfo;
  api.TGetFirstSelectedItem = &First;
  api.TGetNextSelectedItem = &Next;
  api.TRotateComponent = &Rotate;
  api.TMoveComponent = &Move;
  return api;
}

const std::vector<std::string> kSpacingTexts = {
    "200",     "0",           "-200", "5.08",       "1",           "0.0001", "845466",
    "-845466", "21474.83647", "1e9",  "2147483647", "-2147483648", "1E400",  "abc",
    "",        " ",           "1,5",  "1.5"};
const std::vector<std::string> kRotationTexts = {
    "90", "0", "-45", "360", "abc", "", "$7FFFFFFF", "214748364", "-214748365", " 90", "90 "};

const std::vector<std::string> kLengthTexts = {
    "100", "0", "-50", "12.5", "0.0001", "1e7", "845466", "2147483647", "abc", "", "1,5", "3"};
const std::vector<std::string> kAngleTexts = {"0",   "90",   "-22.46", "359.95", "360",
                                              "1e9", "1e10", "abc",    "",       "180"};

// Anchors among the designators the host hands out (see FuzzHost), and some that are none.
const std::vector<std::string> kAnchorTexts = {"R1", " r2 ", "C3",  "D10",  "R",
                                               "",   "U1A1", "X_A", "RN1-2"};
const std::vector<std::string> kBlockTexts = {"1", "2", "10", "100", "0", "-3", "2147483647"};

// Any choices of the Arrange window but "Rows or columns" (which is Go's run).
TArrangeChoices ArrangeChoicesFrom(FuzzedDataProvider& data) {
  TArrangeChoices c;
  static constexpr TArrangePattern kPatterns[] = {
      TArrangePattern::Grid,   TArrangePattern::Distribute, TArrangePattern::Align,
      TArrangePattern::Circle, TArrangePattern::Replicate,  TArrangePattern::Transform};
  c.pattern = kPatterns[data.ConsumeIntegralInRange<std::size_t>(0, std::size(kPatterns) - 1)];
  c.order = static_cast<TArrangeOrder>(data.ConsumeIntegralInRange<int>(0, 2));
  c.turn = data.ConsumeBool();
  c.turnText = TextFrom(data, kAngleTexts, 12);
  c.columnsText = TextFrom(data, kLengthTexts, 12);
  c.pitchXText = TextFrom(data, kLengthTexts, 12);
  c.pitchYText = TextFrom(data, kLengthTexts, 12);
  c.columnsFirst = data.ConsumeBool();
  c.start = static_cast<TGridCorner>(data.ConsumeIntegralInRange<int>(0, 3));
  c.snake = data.ConsumeBool();
  c.turnOddLines = data.ConsumeBool();
  c.distributeAxis = data.ConsumeBool() ? TArrangeAxis::Vertical : TArrangeAxis::Horizontal;
  c.lineUp = data.ConsumeBool();
  c.alignAxis = data.ConsumeBool() ? TArrangeAxis::Vertical : TArrangeAxis::Horizontal;
  c.alignEdge = static_cast<TAlignEdge>(data.ConsumeIntegralInRange<int>(0, 2));
  c.centreAt = data.ConsumeBool();
  c.centreXText = TextFrom(data, kLengthTexts, 12);
  c.centreYText = TextFrom(data, kLengthTexts, 12);
  c.radiusText = TextFrom(data, kLengthTexts, 12);
  c.ringStepText = TextFrom(data, kLengthTexts, 12);
  c.startAngleText = TextFrom(data, kAngleTexts, 12);
  c.spanText = TextFrom(data, kAngleTexts, 12);
  c.clockwise = data.ConsumeBool();
  c.turnWithCircle = data.ConsumeBool();
  c.offsetText = TextFrom(data, kAngleTexts, 12);
  c.blockSizeText = TextFrom(data, kBlockTexts, 12);
  c.anchorText = TextFrom(data, kAnchorTexts, 12);
  c.inSteps = data.ConsumeBool();
  c.stepXText = TextFrom(data, kLengthTexts, 12);
  c.stepYText = TextFrom(data, kLengthTexts, 12);
  c.mirror = static_cast<TMirror>(data.ConsumeIntegralInRange<int>(0, 2));
  c.mirrorTurns = data.ConsumeBool();
  c.turnByText = TextFrom(data, kAngleTexts, 12);
  c.pivot = static_cast<TPivot>(data.ConsumeIntegralInRange<int>(0, 2));
  c.pivotPartText = TextFrom(data, kAnchorTexts, 12);
  c.pivotXText = TextFrom(data, kLengthTexts, 12);
  c.pivotYText = TextFrom(data, kLengthTexts, 12);
  c.moveXText = TextFrom(data, kLengthTexts, 12);
  c.moveYText = TextFrom(data, kLengthTexts, 12);
  c.channelScheme =
      data.ConsumeBool() ? TChannelScheme::TagAfterSeparator : TChannelScheme::NumbersInBlocks;
  return c;
}

// Everything one run needs, so that the steps below work on one world.
struct World {
  explicit World(FuzzedDataProvider& input) : data(input) {
    host.data = &data;
    gHost = &host;
    SetDecimalSeparator(data.ConsumeBool() ? '.' : ',');
    static constexpr std::int32_t kUnits[] = {
        kUnitsUnknown, kUnitsUnknown, kUnitsMils, kUnitsMm, 0, 7};
    DbUnits = kUnits[data.ConsumeIntegralInRange<std::size_t>(0, 5)];
    unitsBefore = DbUnits;
    DbxContext = TDbxContext{};
    inputs.horizontal = data.ConsumeBool();
    inputs.order = static_cast<TSortOrder>(data.ConsumeIntegralInRange<int>(0, 2));
    inputs.spacingEnabled = data.ConsumeIntegralInRange<int>(0, 3) != 0;
    inputs.rotateEnabled = data.ConsumeBool();
    inputs.spacingText = TextFrom(data, kSpacingTexts, 24);
    view.rotationText = TextFrom(data, kRotationTexts, 12);
    for (int n = data.ConsumeIntegralInRange<int>(0, 4); n > 0; --n) {
      view.queuedRotationTexts.push_back(TextFrom(data, kRotationTexts, 12));
    }
    if (data.ConsumeIntegralInRange<int>(0, 2) == 1) arrange = ArrangeChoicesFrom(data);
  }
  ~World() { gHost = nullptr; }

  FuzzedDataProvider& data;
  FuzzHost host;
  PlacementInputs inputs;
  std::optional<TArrangeChoices> arrange;  // an Arrange run rather than Go's
  std::int32_t unitsBefore = kUnitsUnknown;
  RunEvents events;
  MonitoredHost monitor{FuzzApi(), events};
  DbxHost dbx{MonitoredHost::Api()};
  MonitoredView view{events};
  bool designOpen = true;  // stale on purpose: the run clears it
  RunEnding ending;
  TUndoHistory undo;
};

void RunStep(World& world) {
  world.ending = testing::ActionToEnd([&] {
    if (!world.arrange) {
      world.undo.Run(world.dbx, world.inputs, world.view, world.designOpen);
      return;
    }
    world.undo.Run(world.dbx, ArrangeStepName(world.arrange->pattern), [&](IDbxCalls& recorded) {
      RunArrange(recorded, *world.arrange, world.view, world.designOpen);
    });
  });
  for (Part& part : world.host.parts) {
    part.x1 = part.x;
    part.y1 = part.y;
    part.rotation1 = part.rotation;
  }
}

std::int32_t Turn(std::int64_t rotation) {
  return static_cast<std::int32_t>((rotation % 3600 + 3600) % 3600);
}

// A step back (or forward), tried until its connection is made (a refused open keeps the step
// for the next try): it keeps the rules of CheckReplay, and afterwards every component whose
// changes, forward and back, were all accepted is where the host handed it out (where the run
// left it).
void ReplayStep(World& world, bool back) {
  const auto pending = [&world, back] {
    return back ? world.undo.CanUndo() : world.undo.CanRedo();
  };
  const char* name = back ? "the undo" : "the redo";
  for (int attempt = 0; attempt < 3 && pending(); ++attempt) {
    const std::size_t first = world.events.size();
    bool designOpen = true;
    const RunEnding ending = testing::ActionToEnd([&] {
      back ? world.undo.Undo(world.dbx, world.view, designOpen)
           : world.undo.Redo(world.dbx, world.view, designOpen);
    });
    std::string broken;
    for (const std::string& rule :
         testing::CheckReplay(world.events, first, world.dbx, designOpen, ending)) {
      broken += "\n    " + rule;
    }
    FUZZ_CHECK(broken.empty(), std::string(name) + " broke its rules:" + broken);
    std::int32_t openStatus = -1;
    for (std::size_t i = first; i < world.events.size(); ++i) {
      const testing::RunEvent& event = world.events[i];
      if (event.kind == testing::RunEvent::Kind::Call &&
          event.operation == testing::HostOperation::Open) {
        openStatus = event.status;
      }
    }
    FUZZ_CHECK(pending() == (openStatus != 0),
               std::string(name) + " whose open returned " + std::to_string(openStatus) +
                   (pending() ? " is still pending" : " is used up"));
  }
  if (pending()) return;  // every open refused: nothing was replayed
  for (std::size_t i = 0; i < world.host.parts.size(); ++i) {
    const Part& part = world.host.parts[i];
    if (part.refused) continue;
    const std::int32_t x = back ? part.x0 : part.x1;
    const std::int32_t y = back ? part.y0 : part.y1;
    const std::int32_t rotation = back ? part.rotation0 : part.rotation1;
    FUZZ_CHECK(part.x == x && part.y == y && Turn(part.rotation) == Turn(rotation),
               "component " + std::to_string(i + 1) + " is at (" + std::to_string(part.x) + ", " +
                   std::to_string(part.y) + ") " + std::to_string(part.rotation) + " after " +
                   name + ", not at (" + std::to_string(x) + ", " + std::to_string(y) + ") " +
                   std::to_string(rotation));
  }
}

void CheckRunStep(const World& world) {
  std::string broken;
  for (const std::string& rule : world.monitor.violations) broken += "\n    " + rule;
  for (const std::string& rule :
       CheckRun(RunRecord{world.events, world.inputs, world.dbx, world.unitsBefore,
                          world.designOpen, world.ending, !world.arrange})) {
    broken += "\n    " + rule;
  }
  if (world.arrange) {
    for (const std::string& rule : testing::CheckArrangeChanges(world.events, world.ending)) {
      broken += "\n    " + rule;
    }
  }
  FUZZ_CHECK(broken.empty(), "the run broke its rules:" + broken);
}

// Find over the components handed out: what it finds has two channels or more among them, and
// Replicate with its scheme, block size and anchor draws a picture from that anchor.
void CheckFind(const World& world) {
  const std::vector<TDbxComponent>& selection = world.host.handedOut;
  const std::string typed = world.arrange ? world.arrange->anchorText : std::string();
  const std::optional<TChannelFinding> found = FindChannels(selection, typed);
  if (!found) return;
  FUZZ_CHECK(found->channels >= 2 && found->copies <= found->channels &&
                 found->referenceParts <= selection.size(),
             "Find found " + FindingText(found) + " among " + std::to_string(selection.size()));
  TArrangeChoices choices;
  choices.pattern = TArrangePattern::Replicate;
  choices.channelScheme = found->scheme;
  choices.blockSizeText = std::to_string(found->blockSize);
  choices.anchorText = found->anchor;
  TSelectionHost memory(selection, kUnitsMils);
  const TPreview picture = MakeArrangePreview(memory, choices);
  FUZZ_CHECK(
      picture.failure.empty() &&
          picture.summary.find("(anchor " + found->anchor + ")") != std::string::npos,
      FindingText(found) + ", yet Replicate with it shows: " + picture.failure + picture.summary);
}

}  // namespace
}  // namespace kordane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kordane::fuzz;
  FuzzedDataProvider input(data, size);
  World world(input);
  RunStep(world);
  CheckRunStep(world);
  ReplayStep(world, true);
  ReplayStep(world, false);
  ReplayStep(world, true);
  CheckFind(world);
  return 0;
}
