#include "placement/Preview.h"

#include <algorithm>
#include <limits>
#include <map>
#include <optional>
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

  const std::string& Status() const { return status_; }

 private:
  std::string rotationText_;
  IPlacementView* unitsLabel_;
  TPreview& preview_;
  std::string status_;
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
  std::vector<std::string> prefixes;
  prefixes.reserve(preview.parts.size());
  std::map<std::string, std::size_t> counts;
  for (const TPreviewPart& part : preview.parts) {
    prefixes.push_back(SplitRefDes(part.refDes, silent).prefix);
    ++counts[prefixes.back()];
  }
  std::map<std::string, std::size_t> indexOf;
  for (const auto& [prefix, count] : counts) {
    indexOf[prefix] = preview.groups.size();
    preview.groups.push_back({prefix, count});
  }
  for (std::size_t i = 0; i < preview.parts.size(); ++i) {
    preview.parts[i].group = indexOf[prefixes[i]];
  }
}

std::string Summary(const TPreview& preview, const std::string& tail) {
  const TPreviewCounts counts = CountChanges(preview);
  std::string text = Counted(preview.parts.size(), "component", "components") + " in " +
                     Counted(preview.groups.size(), "group", "groups") + ": " +
                     Counted(counts.moves, "move", "moves") + ", " +
                     Counted(counts.rotations, "rotation", "rotations");
  if (counts.unplaced > 0) {
    text += "; " + std::to_string(counts.unplaced) + " out of range, not moved";
  }
  return text + tail;
}

// Go's run over a host that makes no change, with its pitch in the summary.
TPreview PreviewOfPlacement(IDbxCalls& host, IChangeNotes& notes, const PlacementInputs& inputs,
                            const std::string& rotationText, IPlacementView* unitsLabel) {
  const auto run = [&inputs](IDbxCalls& runHost, IPlacementView& view, bool& designOpen,
                             const TUnplacedReport&) {
    RunPlacement(runHost, inputs, view, designOpen);
  };
  TPreview preview = PreviewOfRun(host, notes, run, rotationText, unitsLabel, "");
  preview.summary += inputs.spacingEnabled
                         ? "; pitch " + inputs.spacingText + " " + UnitsName(preview.units)
                         : "; spacing off";
  return preview;
}

}  // namespace

std::string Counted(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

TPreviewCounts CountChanges(const TPreview& preview) {
  TPreviewCounts counts;
  for (const TPreviewPart& part : preview.parts) {
    counts.moves += part.moves ? 1 : 0;
    counts.rotations += part.rotates ? 1 : 0;
    counts.unplaced += part.unplaced ? 1 : 0;
  }
  return counts;
}

std::string UnitsName(std::int32_t units) {
  if (units == kUnitsMils) return "mils";
  if (units == kUnitsMm) return "mm";
  return "database units";
}

TPreview MakePreview(IDbxCalls& host, const PlacementInputs& inputs,
                     const std::string& rotationText, IPlacementView* unitsLabel) {
  DryRunHost dryRun(host);
  return PreviewOfPlacement(dryRun, dryRun, inputs, rotationText, unitsLabel);
}

TPreview MakePreview(TSelectionHost& host, const PlacementInputs& inputs,
                     const std::string& rotationText, IPlacementView* unitsLabel) {
  return PreviewOfPlacement(host, host, inputs, rotationText, unitsLabel);
}

TPreview PreviewOfRun(IDbxCalls& host, IChangeNotes& notes, const TPreviewedRun& run,
                      const std::string& rotationText, IPlacementView* unitsLabel,
                      const std::string& summaryTail) {
  TPreview preview;
  PreviewView view(rotationText, unitsLabel, preview);
  bool designOpen = false;
  // Matched while the run still holds the record, as its changes are.
  std::vector<std::size_t> unplaced;
  try {
    run(host, view, designOpen, [&notes, &unplaced](const TDbxComponent& record) {
      if (const std::optional<std::size_t> found = notes.Claim(record)) unplaced.push_back(*found);
    });
  } catch (const ConversionError& error) {
    preview.failure = error.what();
  }
  // A failed open leaves its status text standing; a connection that was made clears it.
  if (preview.failure.empty() && !view.Status().empty()) preview.failure = view.Status();
  preview.units = DbUnits;

  const std::vector<TDbxComponent>& selection = notes.Selection();
  preview.parts.reserve(selection.size());
  for (const TDbxComponent& record : selection) {
    TPreviewPart part;
    part.refDes = record.RefDes();
    part.x = part.toX = record.X();
    part.y = part.toY = record.Y();
    part.rotation = part.toRotation = record.Rotation();
    preview.parts.push_back(std::move(part));
  }
  // The run hands back the records as they were read: each change starts from its part as read.
  for (const TIntendedChange& change : notes.Intended()) {
    if (!change.part) continue;
    TPreviewPart& part = preview.parts[*change.part];
    if (change.kind == TComponentChange::Kind::Rotate) {
      part.toRotation = Clamped(std::int64_t{part.rotation} + change.angle);
      part.rotates = part.rotates || change.angle != 0;
    } else {
      part.toX = Clamped(std::int64_t{part.x} + change.dx);
      part.toY = Clamped(std::int64_t{part.y} + change.dy);
      part.moves = part.moves || change.dx != 0 || change.dy != 0;
    }
  }
  for (const std::size_t part : unplaced) preview.parts[part].unplaced = true;
  GroupParts(preview);
  preview.summary = Summary(preview, summaryTail);
  return preview;
}

bool SameParts(const std::vector<TDbxComponent>& a, const std::vector<TDbxComponent>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const TDbxComponent& x, const TDbxComponent& y) {
                      return x.X() == y.X() && x.Y() == y.Y() && x.Rotation() == y.Rotation() &&
                             x.RefDesView() == y.RefDesView();
                    });
}

TSelectionRead ReadSelection(IDbxCalls& host, IPlacementView* unitsLabel) {
  TPreview unused;
  DryRunHost dryRun(host);
  PreviewView view("", unitsLabel, unused);
  bool designOpen = false;
  std::int32_t units = kUnitsUnknown;
  RunOverSelection(
      dryRun, view, designOpen, [&units](TSelectionStep& step) { units = step.designUnits; }, true);
  return {dryRun.Selection(), view.Status(), units};
}

}  // namespace kordane
