#include "placement/Preview.h"

#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "host/Conversions.h"
#include "host/DbxUtils.h"
#include "placement/CompSort.h"
#include "placement/HostAdapters.h"
#include "placement/SelectionRun.h"

namespace kordane {

namespace {

// The run's view while it previews: messages are kept instead of shown, the status line is left
// alone, and only the units label goes on to the window.
class PreviewView final : public IPlacementView {
 public:
  PreviewView(std::string rotationText, IPlacementView* unitsLabel, TPreview& preview)
      : rotationText_(std::move(rotationText)), unitsLabel_(unitsLabel), preview_(preview) {}

  void SetStatusText(const std::string& text) override { status_ = text; }
  void SetUnitsLabel(const std::string& text) override {
    if (unitsLabel_ != nullptr) unitsLabel_->SetUnitsLabel(text);
  }
  void BeginWaitCursor() override {
    if (unitsLabel_ != nullptr) unitsLabel_->BeginWaitCursor();
  }
  void EndWaitCursor() override {
    if (unitsLabel_ != nullptr) unitsLabel_->EndWaitCursor();
  }
  std::string RotationText() override { return rotationText_; }
  void ShowRefDesError(const std::string& message) override {
    preview_.messages.push_back(message);
  }

  void NoteUnplaced(const TDbxComponent& record) { unplaced_.push_back(record); }

  const std::string& Status() const { return status_; }
  const std::vector<TDbxComponent>& Unplaced() const { return unplaced_; }

 private:
  std::string rotationText_;
  IPlacementView* unitsLabel_;
  TPreview& preview_;
  std::string status_;
  std::vector<TDbxComponent> unplaced_;
};

std::string_view BytesOf(const TDbxComponent& record) {
  return {reinterpret_cast<const char*>(record.bytes), sizeof record.bytes};
}

// A record's hash from the fields that tell components apart (the designator's first bytes, place,
// angle); equal keys still compare all their bytes.
struct RecordHash {
  std::size_t operator()(std::string_view bytes) const noexcept {
    const auto field = [bytes](std::size_t offset) {
      std::uint32_t value = 0;
      std::memcpy(&value, bytes.data() + offset, sizeof value);
      return std::size_t{value};
    };
    const std::string_view refDes = bytes.substr(TDbxComponent::kRefDesOffset, 16);
    std::size_t hash = std::hash<std::string_view>{}(refDes);
    hash = hash * 1000003u ^ field(TDbxComponent::kXOffset);
    hash = hash * 1000003u ^ field(TDbxComponent::kYOffset);
    return hash * 1000003u ^ field(TDbxComponent::kRotationOffset);
  }
};

// Parts by their record's bytes. The dry run leaves every record as it was read, so a change's
// record is byte for byte the one its component was read with; components whose records are
// identical are told apart by the order in which their changes come.
class PartIndex {
 public:
  // The selection must outlive the index: its bytes are the keys.
  explicit PartIndex(const std::vector<TDbxComponent>& selection) {
    parts_.reserve(selection.size());
    for (std::size_t i = 0; i < selection.size(); ++i) {
      parts_[BytesOf(selection[i])].parts.push_back(i);
    }
  }
  // The next part of these bytes not yet given a claim of this kind (0 to 2).
  std::optional<std::size_t> Claim(const TDbxComponent& record, std::size_t kind) {
    const auto found = parts_.find(BytesOf(record));
    if (found == parts_.end()) return std::nullopt;
    Entry& entry = found->second;
    if (entry.next[kind] >= entry.parts.size()) return std::nullopt;
    return entry.parts[entry.next[kind]++];
  }

 private:
  struct Entry {
    std::vector<std::size_t> parts;
    std::size_t next[3] = {};
  };
  std::unordered_map<std::string_view, Entry, RecordHash> parts_;
};

// A target the host could not reach is drawn at the edge of the coordinate range.
std::int32_t Clamped(std::int64_t value) {
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value < kMin ? kMin : value > kMax ? kMax : value);
}

// Files the parts into the groups a run makes, in the run's prefix order.
void GroupParts(TPreview& preview) {
  class Silent final : public IRefDesReporter {
    void ReportRefDesError(const std::string&) override {}
  } silent;
  std::map<std::string, std::size_t> counts;
  for (const TPreviewPart& part : preview.parts) {
    ++counts[SplitRefDes(part.refDes, silent).prefix];
  }
  std::map<std::string, std::size_t> indexOf;
  for (const auto& [prefix, count] : counts) {
    indexOf[prefix] = preview.groups.size();
    preview.groups.push_back({prefix, count});
  }
  for (TPreviewPart& part : preview.parts) {
    part.group = indexOf[SplitRefDes(part.refDes, silent).prefix];
  }
}

std::string Plural(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Summary(const TPreview& preview, const std::string& tail) {
  std::size_t moves = 0;
  std::size_t rotations = 0;
  std::size_t unplaced = 0;
  for (const TPreviewPart& part : preview.parts) {
    moves += part.moves ? 1 : 0;
    rotations += part.rotates ? 1 : 0;
    unplaced += part.unplaced ? 1 : 0;
  }
  std::string text = Plural(preview.parts.size(), "component", "components") + " in " +
                     Plural(preview.groups.size(), "group", "groups") + ": " +
                     Plural(moves, "move", "moves") + ", " +
                     Plural(rotations, "rotation", "rotations");
  if (unplaced > 0) text += "; " + std::to_string(unplaced) + " out of range, not moved";
  return text + tail;
}

constexpr std::size_t kUnplacedClaim = 2;

}  // namespace

std::string UnitsName(std::int32_t units) {
  if (units == kUnitsMils) return "mils";
  if (units == kUnitsMm) return "mm";
  return "database units";
}

TPreview MakePreview(IDbxCalls& host, const PlacementInputs& inputs,
                     const std::string& rotationText, IPlacementView* unitsLabel) {
  const auto run = [&inputs](IDbxCalls& runHost, IPlacementView& view, bool& designOpen,
                             const TUnplacedReport&) {
    RunPlacement(runHost, inputs, view, designOpen);
  };
  TPreview preview = PreviewOfRun(host, run, rotationText, unitsLabel, "");
  preview.summary += inputs.spacingEnabled
                         ? "; pitch " + inputs.spacingText + " " + UnitsName(preview.units)
                         : "; spacing off";
  return preview;
}

TPreview PreviewOfRun(IDbxCalls& host, const TPreviewedRun& run, const std::string& rotationText,
                      IPlacementView* unitsLabel, const std::string& summaryTail) {
  TPreview preview;
  DryRunHost dryRun(host);
  PreviewView view(rotationText, unitsLabel, preview);
  bool designOpen = false;
  try {
    run(dryRun, view, designOpen,
        [&view](const TDbxComponent& record) { view.NoteUnplaced(record); });
  } catch (const ConversionError& error) {
    preview.failure = error.what();
  }
  // A failed open leaves its status text standing; a connection that was made clears it.
  if (preview.failure.empty() && !view.Status().empty()) preview.failure = view.Status();
  preview.units = DbUnits;

  for (const TDbxComponent& record : dryRun.Selection()) {
    TPreviewPart part;
    part.refDes = record.RefDes();
    part.x = part.toX = record.X();
    part.y = part.toY = record.Y();
    part.rotation = part.toRotation = record.Rotation();
    preview.parts.push_back(part);
  }
  PartIndex index(dryRun.Selection());
  for (const TComponentChange& change : dryRun.Intended()) {
    const std::optional<std::size_t> found =
        index.Claim(change.record, static_cast<std::size_t>(change.kind));
    if (!found) continue;
    TPreviewPart& part = preview.parts[*found];
    if (change.kind == TComponentChange::Kind::Rotate) {
      part.toRotation = Clamped(std::int64_t{change.record.Rotation()} + change.angle);
      part.rotates = part.rotates || change.angle != 0;
    } else {
      part.toX = Clamped(std::int64_t{change.record.X()} + change.dx);
      part.toY = Clamped(std::int64_t{change.record.Y()} + change.dy);
      part.moves = part.moves || change.dx != 0 || change.dy != 0;
    }
  }
  for (const TDbxComponent& record : view.Unplaced()) {
    const std::optional<std::size_t> found = index.Claim(record, kUnplacedClaim);
    if (found) preview.parts[*found].unplaced = true;
  }
  GroupParts(preview);
  preview.summary = Summary(preview, summaryTail);
  return preview;
}

TSelectionRead ReadSelection(IDbxCalls& host, IPlacementView* unitsLabel) {
  TPreview unused;
  DryRunHost dryRun(host);
  PreviewView view("", unitsLabel, unused);
  bool designOpen = false;
  RunOverSelection(dryRun, view, designOpen, [](TSelectionStep&) {});
  return {dryRun.Selection(), view.Status()};
}

}  // namespace kordane
