#include "placement/Arrange.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "host/Conversions.h"
#include "host/DbxUtils.h"
#include "placement/CompSort.h"
#include "placement/HostAdapters.h"
#include "placement/SelectionRun.h"

namespace kordane {

namespace {

// Angles beyond this many degrees are not angles anyone means, and would lose their tenths.
constexpr double kLargestAngle = 1e9;

[[noreturn]] void Invalid(const std::string& message) {
  throw ConversionError(message);
}

double Number(const std::string& text, const std::string& name, const char* rule) {
  try {
    return ParseFloat(text);
  } catch (const ConversionError&) {
    Invalid(name + rule);
  }
}

// A length in units, as database units.
std::int32_t Length(const std::string& text, const std::string& name, bool positive,
                    std::int32_t units) {
  const char* rule = positive ? " must be a number greater than 0" : " must be a number";
  const double value = Number(text, name, rule);
  if (positive && !(value > 0)) Invalid(name + rule);
  std::int32_t db = 0;
  try {
    db = ToDbUnits(value, units);
  } catch (const ConversionError&) {
    Invalid(name + " is out of range");
  }
  if (positive && db <= 0) Invalid(name + " is too small for the design's units");
  return db;
}

double Angle(const std::string& text, const std::string& name) {
  const double value = Number(text, name, " must be a number of degrees");
  if (!(std::fabs(value) <= kLargestAngle)) Invalid(name + " is out of range");
  return value;
}

// A whole number of 1 or more.
std::int32_t Count(const std::string& text, const std::string& name) {
  const std::string rule = name + " must be a whole number of 1 or more";
  std::int32_t count = 0;
  try {
    count = ParseInt(text);
  } catch (const ConversionError&) {
    // A whole number that the integer field cannot hold is named as such.
    double value = 0;
    try {
      value = ParseFloat(text);
    } catch (const ConversionError&) {
      Invalid(rule);
    }
    if (value > std::numeric_limits<std::int32_t>::max() && value == std::floor(value)) {
      Invalid(name + " is too large: at most " +
              std::to_string(std::numeric_limits<std::int32_t>::max()));
    }
    Invalid(rule);
  }
  if (count < 1) Invalid(rule);
  return count;
}

std::vector<TMemberPlace> PlacesOf(const std::vector<TDbxComponent*>& members) {
  std::vector<TMemberPlace> places;
  places.reserve(members.size());
  for (const TDbxComponent* member : members) {
    places.push_back({member->X(), member->Y(), member->Rotation()});
  }
  return places;
}

template <typename T>
std::vector<T> Reordered(const std::vector<T>& items, const std::vector<std::size_t>& order) {
  std::vector<T> result;
  result.reserve(order.size());
  for (const std::size_t i : order) result.push_back(items[i]);
  return result;
}

// One group on its way: its members in the chosen order and their targets.
struct TPlannedGroup {
  std::vector<TDbxComponent*> members;
  std::vector<TMemberPlace> places;
  std::vector<TMemberTarget> targets;
};

// The members in the chosen order. Increasing is Go's order by designator number, decreasing its
// reverse; by position is the pattern's own, from the order of reading.
std::vector<TDbxComponent*> OrderedMembers(TCompTypeList& group, const TArrangeParams& params,
                                           TPoint64 circleCentre) {
  if (params.order != TArrangeOrder::ByPosition) {
    group.SortByNumber();
    std::vector<TDbxComponent*> members = group.Components();
    if (params.order == TArrangeOrder::Decreasing) std::reverse(members.begin(), members.end());
    return members;
  }
  const std::vector<TDbxComponent*>& read = group.Components();
  const std::vector<TMemberPlace> places = PlacesOf(read);
  switch (params.pattern) {
    case TArrangePattern::Grid:
      return Reordered(read, GridPositionOrder(places, params.grid));
    case TArrangePattern::Distribute:
      return Reordered(read, AxisPositionOrder(places, params.distribute.axis));
    case TArrangePattern::Circle:
      return Reordered(read,
                       CirclePositionOrder(places, circleCentre.x, circleCentre.y, params.circle));
    case TArrangePattern::Align:
    case TArrangePattern::Replicate:
    case TArrangePattern::Snap:
    case TArrangePattern::Table:
    case TArrangePattern::Transform:
    case TArrangePattern::RowsOrColumns:
      break;
  }
  return read;  // the order plays no part
}

// The index, in the chosen order, of the first member read that sits at the low end of the axis.
std::size_t FirstAtLow(const std::vector<TDbxComponent*>& read,
                       const std::vector<TDbxComponent*>& ordered, TArrangeAxis axis) {
  const auto along = [axis](const TDbxComponent* member) {
    return axis == TArrangeAxis::Horizontal ? member->X() : member->Y();
  };
  const TDbxComponent* first = nullptr;
  for (const TDbxComponent* member : read) {
    if (first == nullptr || along(member) < along(first)) first = member;
  }
  const auto found = std::find(ordered.begin(), ordered.end(), first);
  return static_cast<std::size_t>(found - ordered.begin());
}

// A pattern over every group at once (Replicate, From a table, Transform): each group's members as
// read, with the targets that targetsOf gives the whole selection, part for part.
template <typename TargetsOf>
std::vector<TPlannedGroup> PlanAsOnePiece(const std::vector<TCompTypeList*>& groups,
                                          const TargetsOf& targetsOf) {
  std::vector<TPlannedGroup> plan;
  std::vector<TReplicatePart> parts;
  for (const TCompTypeList* group : groups) {
    TPlannedGroup planned;
    planned.members = group->Components();
    planned.places = PlacesOf(planned.members);
    for (std::size_t i = 0; i < planned.members.size(); ++i) {
      parts.push_back({planned.members[i]->RefDesView(), planned.places[i]});
    }
    plan.push_back(std::move(planned));
  }
  std::vector<TMemberTarget> targets = targetsOf(std::span<const TReplicatePart>(parts));
  auto next = targets.begin();
  for (TPlannedGroup& planned : plan) {
    const auto end = next + static_cast<std::ptrdiff_t>(planned.members.size());
    planned.targets.assign(next, end);
    next = end;
  }
  return plan;
}

std::vector<TPlannedGroup> Plan(TSortedComp& sorted, const TArrangeParams& params) {
  std::vector<TCompTypeList*> groups;
  for (const std::string& prefix : sorted.Prefixes()) {
    TCompTypeList* group = sorted.FindGroup(prefix);
    if (group != nullptr && group->Count() > 0) groups.push_back(group);
  }
  if (params.pattern == TArrangePattern::Replicate) {
    return PlanAsOnePiece(groups, [&params](std::span<const TReplicatePart> parts) {
      return PlanReplicate(parts, params.replicate).targets;
    });
  }
  if (params.pattern == TArrangePattern::Transform) {
    return PlanAsOnePiece(groups, [&params](std::span<const TTransformPart> parts) {
      return TransformTargets(parts, params.transform);
    });
  }
  if (params.pattern == TArrangePattern::Table) {
    return PlanAsOnePiece(groups, [&params](std::span<const TReplicatePart> parts) {
      return PlanFromTable(parts, params.tableTargets).targets;
    });
  }

  TPoint64 centre{params.circle.centreX, params.circle.centreY};
  if (params.pattern == TArrangePattern::Circle) {
    if (params.circle.ringStep != 0) {
      for (std::size_t g = 0; g < groups.size(); ++g) {
        if (RingRadius(params.circle, g) <= 0) {
          Invalid("Ring step gives ring " + std::to_string(g + 1) + " a radius of 0 or less");
        }
      }
    }
    if (params.circle.centreOfSelection) {
      std::vector<TMemberPlace> all;
      for (const TCompTypeList* group : groups) {
        const std::vector<TMemberPlace> places = PlacesOf(group->Components());
        all.insert(all.end(), places.begin(), places.end());
      }
      centre = SelectionCentre(all);
    }
  }

  std::vector<TPlannedGroup> plan;
  for (TCompTypeList* group : groups) {
    const std::vector<TDbxComponent*> read = group->Components();
    TPlannedGroup planned;
    // Snap needs no order, nor the numbers an order would split and report.
    planned.members =
        params.pattern == TArrangePattern::Snap ? read : OrderedMembers(*group, params, centre);
    planned.places = PlacesOf(planned.members);
    switch (params.pattern) {
      case TArrangePattern::Grid:
        planned.targets = GridTargets(planned.places, params.grid, params.turn);
        break;
      case TArrangePattern::Distribute:
        planned.targets = DistributeTargets(
            planned.places, FirstAtLow(read, planned.members, params.distribute.axis),
            params.distribute, params.turn);
        break;
      case TArrangePattern::Align:
        planned.targets = AlignTargets(planned.places, params.align, params.turn);
        break;
      case TArrangePattern::Snap:
        planned.targets = SnapTargets(planned.places, params.snap, params.turn);
        break;
      case TArrangePattern::Circle:
      case TArrangePattern::Replicate:
      case TArrangePattern::Table:
      case TArrangePattern::Transform:
      case TArrangePattern::RowsOrColumns:
        break;
    }
    plan.push_back(std::move(planned));
  }

  if (params.pattern == TArrangePattern::Circle) {
    std::vector<std::vector<TMemberPlace>> places;
    for (const TPlannedGroup& planned : plan) places.push_back(planned.places);
    std::vector<std::vector<TMemberTarget>> targets =
        CircleTargets(places, centre, params.circle, params.turn);
    for (std::size_t g = 0; g < plan.size(); ++g) plan[g].targets = std::move(targets[g]);
  }
  return plan;
}

// Turns, then moves, each group's members, group by group.
void MakeChanges(TSelectionStep& step, const std::vector<TPlannedGroup>& plan,
                 const TUnplacedReport& unplaced) {
  for (const TPlannedGroup& planned : plan) {
    for (std::size_t i = 0; i < planned.members.size(); ++i) {
      TDbxComponent* member = planned.members[i];
      const std::optional<std::int32_t> rotation = planned.targets[i].rotation;
      if (!rotation) continue;
      const std::optional<std::int32_t> change =
          ToInt32(std::int64_t{*rotation} - member->Rotation());
      if (!change || *change == 0) continue;
      step.tally.Count(step.host.RotateComponent(&DbxContext, *change, step.rotationPoint, member));
    }
    for (std::size_t i = 0; i < planned.members.size(); ++i) {
      TDbxComponent* member = planned.members[i];
      const TMemberTarget& target = planned.targets[i];
      if (!target.move) continue;
      // Read again: a rotation may have rewritten the record.
      const std::optional<std::int32_t> x = ToInt32(target.x);
      const std::optional<std::int32_t> y = ToInt32(target.y);
      const std::optional<std::int32_t> dx =
          x ? ToInt32(std::int64_t{*x} - member->X()) : std::nullopt;
      const std::optional<std::int32_t> dy =
          y ? ToInt32(std::int64_t{*y} - member->Y()) : std::nullopt;
      if (!dx || !dy) {
        if (unplaced) unplaced(*member);
        continue;
      }
      if (*dx == 0 && *dy == 0) continue;
      step.tally.Count(step.host.MoveComponent(&DbxContext, *dx, *dy, member));
    }
  }
}

// The selection as the picture read it, for the patterns that plan over every part at once.
std::vector<TReplicatePart> PartsAsRead(const TPreview& preview) {
  std::vector<TReplicatePart> parts;
  parts.reserve(preview.parts.size());
  for (const TPreviewPart& part : preview.parts) {
    parts.push_back({part.refDes, {part.x, part.y, part.rotation}});
  }
  return parts;
}

// Replicate's marks, summary and list of the parts left alone, from the plan over the parts as
// read; the moves and rotations are the run's.
void DescribeReplicate(TPreview& preview, const TReplicateParams& params) {
  const std::vector<TReplicatePart> parts = PartsAsRead(preview);
  const TReplicatePlan plan = PlanReplicate(parts, params);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    TPreviewPart& part = preview.parts[i];
    const TReplicateMark mark = plan.marks[i];
    part.reference = mark == TReplicateMark::Reference || mark == TReplicateMark::ReferenceAnchor;
    part.anchor = mark == TReplicateMark::ReferenceAnchor || mark == TReplicateMark::ChannelAnchor;
  }
  // Tags need no number: the grouping's reports of designators without one would only bury the
  // reasons below.
  if (plan.scheme == TChannelScheme::TagAfterSeparator) preview.messages.clear();
  const TPreviewCounts counts = CountChanges(preview);
  std::size_t withoutCounterpart = 0;
  std::size_t withoutStep = 0;
  std::size_t others = 0;
  for (const TLeftAloneNote& note : plan.leftAlone) {
    switch (note.why) {
      case TLeftAlone::NoCounterpart:
      case TLeftAlone::NoChannelAnchor:
        ++withoutCounterpart;
        break;
      case TLeftAlone::NoStep:
        ++withoutStep;
        break;
      case TLeftAlone::NoNumber:
      case TLeftAlone::SharedRole:
        ++others;
        break;
      case TLeftAlone::DoesNotFit:  // counted with the run's other moves out of range
        break;
    }
    preview.messages.push_back(LeftAloneText(parts, note, plan));
  }
  std::string& text = preview.summary;
  text = Counted(plan.channelsCopied, "channel", "channels") + " copied from channel " +
         plan.ChannelName(plan.referenceChannel) + " (anchor " + preview.parts[plan.anchor].refDes +
         "): " + Counted(counts.moves, "move", "moves") + ", " +
         Counted(counts.rotations, "rotation", "rotations");
  if (withoutCounterpart > 0) {
    text += "; " + Counted(withoutCounterpart, "part", "parts") + " without a counterpart";
  }
  if (withoutStep > 0) {
    text += "; " + Counted(withoutStep, "part", "parts") + " in channels without a step";
  }
  if (others > 0) {
    text +=
        "; " + Counted(others, "part", "parts") +
        (plan.scheme == TChannelScheme::TagAfterSeparator ? " without a tag or sharing a role"
                                                          : " without a number or sharing a role");
  }
  if (counts.unplaced > 0) {
    text += "; " + std::to_string(counts.unplaced) + " out of range, not moved";
  }
}

// The table's summary and list of the rows and parts left out, from the plan over the parts as
// read; the moves and rotations are the run's.
void DescribeTable(TPreview& preview, const TArrangeParams& params) {
  const std::vector<TReplicatePart> parts = PartsAsRead(preview);
  const TTablePlan plan = PlanFromTable(parts, params.tableTargets);
  for (const TTableNote& note : plan.notes) {
    preview.messages.push_back(TableNoteText(note, parts, params.tableTargets));
  }
  const TPreviewCounts counts = CountChanges(preview);
  std::string& text = preview.summary;
  text = Counted(plan.placed, "component", "components") + " placed from " +
         Counted(params.tableTargets.size(), "row", "rows") + ": " +
         Counted(counts.moves, "move", "moves") + ", " +
         Counted(counts.rotations, "rotation", "rotations");
  if (plan.rowsWithoutPart > 0) {
    text += "; " + Counted(plan.rowsWithoutPart, "row matches", "rows match") + " no selected part";
  }
  if (plan.partsWithoutRow > 0) {
    text += "; " + Counted(plan.partsWithoutRow, "selected part has", "selected parts have") +
            " no row";
  }
  if (plan.ambiguous > 0) {
    text += "; " + Counted(plan.ambiguous, "designator", "designators") + " ambiguous";
  }
  if (counts.unplaced > 0) {
    text += "; " + std::to_string(counts.unplaced) + " out of range, not moved";
  }
}

// A length in database units as the design's units show it, mils to four decimals.
std::string LengthText(std::int64_t db, std::int32_t units) {
  if (units == kUnitsMils)
    return FloatToText(std::round(static_cast<double>(db) * 10000 / kDbPerMil) / 10000);
  if (units == kUnitsMm) return DbToMmText(static_cast<std::int32_t>(db));
  return std::to_string(db);
}

// Transform's pivot, from the parts as read, and where it is in the summary.
void DescribeTransform(TPreview& preview, const TTransformParams& params) {
  const std::vector<TReplicatePart> parts = PartsAsRead(preview);
  const TPoint64 pivot = TransformPivot(parts, params);
  // Within 32 bits: a centre or an origin of parts as read, or a point typed as a length.
  preview.pivot =
      TPreviewPoint{static_cast<std::int32_t>(pivot.x), static_cast<std::int32_t>(pivot.y)};
  preview.summary += "; pivot at (" + LengthText(pivot.x, preview.units) + ", " +
                     LengthText(pivot.y, preview.units) + ") " + UnitsName(preview.units);
}

// RunArrange over a host that makes no change.
TPreview PreviewOfArrange(IDbxCalls& host, IChangeNotes& notes, const TArrangeChoices& choices) {
  const auto run = [&choices](IDbxCalls& runHost, IPlacementView& view, bool& designOpen,
                              const TUnplacedReport& unplaced) {
    RunArrange(runHost, choices, view, designOpen, unplaced);
  };
  TPreview preview = PreviewOfRun(host, notes, run, "", nullptr, "");
  preview.units = notes.DesignUnits();  // the scale bar's, as the lengths'
  if (!preview.failure.empty()) return preview;
  try {
    if (choices.pattern == TArrangePattern::Replicate) {
      DescribeReplicate(preview, ParseArrangeChoices(choices, preview.units).replicate);
    } else if (choices.pattern == TArrangePattern::Table) {
      DescribeTable(preview, ParseArrangeChoices(choices, preview.units));
    } else if (choices.pattern == TArrangePattern::Transform) {
      DescribeTransform(preview, ParseArrangeChoices(choices, preview.units).transform);
    }
  } catch (const ConversionError& error) {
    preview.failure = error.what();
  }
  return preview;
}

}  // namespace

const char* ArrangeStepName(TArrangePattern pattern) {
  switch (pattern) {
    case TArrangePattern::RowsOrColumns:
      return "Rows or columns";
    case TArrangePattern::Grid:
      return "Grid";
    case TArrangePattern::Distribute:
      return "Distribute";
    case TArrangePattern::Align:
      return "Align";
    case TArrangePattern::Circle:
      return "Circle";
    case TArrangePattern::Replicate:
      return "Replicate";
    case TArrangePattern::Snap:
      return "Snap to grid";
    case TArrangePattern::Table:
      return "From a table";
    case TArrangePattern::Transform:
      return "Transform";
  }
  return "Arrange";
}

bool UsesTurnTo(const TArrangeChoices& choices) {
  switch (choices.pattern) {
    case TArrangePattern::RowsOrColumns:  // the main window's own
    case TArrangePattern::Replicate:
    case TArrangePattern::Table:      // the angles come from the table
    case TArrangePattern::Transform:  // it turns by its own angle
      return false;
    case TArrangePattern::Circle:
      return !choices.turnWithCircle;
    default:
      return true;
  }
}

TArrangeParams ParseArrangeChoices(const TArrangeChoices& choices, std::int32_t units) {
  TArrangeParams params;
  params.pattern = choices.pattern;
  params.order = choices.order;
  if (choices.turn && UsesTurnTo(choices))
    params.turn = DegreesToTenths(Angle(choices.turnText, "Turn to"));
  switch (choices.pattern) {
    case TArrangePattern::Grid:
      params.grid.columns = Count(choices.columnsText, "Columns");
      params.grid.pitchX = Length(choices.pitchXText, "Pitch X", true, units);
      params.grid.pitchY = Length(choices.pitchYText, "Pitch Y", true, units);
      params.grid.columnsFirst = choices.columnsFirst;
      params.grid.start = choices.start;
      params.grid.snake = choices.snake;
      params.grid.turnOddLines = choices.turnOddLines;
      params.grid.stagger = choices.stagger;
      params.grid.keepFirst = choices.keepFirst;
      break;
    case TArrangePattern::Distribute:
      params.distribute = {choices.distributeAxis, choices.lineUp};
      break;
    case TArrangePattern::Align:
      params.align = {choices.alignAxis, choices.alignEdge};
      break;
    case TArrangePattern::Circle: {
      TCircleParams& circle = params.circle;
      circle.centreOfSelection = !choices.centreAt;
      if (choices.centreAt) {
        circle.centreX = Length(choices.centreXText, "Centre X", false, units);
        circle.centreY = Length(choices.centreYText, "Centre Y", false, units);
      }
      circle.radius = Length(choices.radiusText, "Radius", true, units);
      circle.ringStep = Length(choices.ringStepText, "Ring step", false, units);
      circle.startDegrees = Angle(choices.startAngleText, "Start angle");
      circle.spanDegrees =
          Number(choices.spanText, "Span", " must be greater than 0 and at most 360");
      if (!(circle.spanDegrees > 0 && circle.spanDegrees <= 360)) {
        Invalid("Span must be greater than 0 and at most 360");
      }
      circle.clockwise = choices.clockwise;
      circle.turnWithCircle = choices.turnWithCircle;
      if (choices.turnWithCircle) circle.offsetDegrees = Angle(choices.offsetText, "Offset");
      circle.keepFirst = choices.keepFirst;
      break;
    }
    case TArrangePattern::Replicate: {
      TReplicateParams& replicate = params.replicate;
      replicate.scheme = choices.channelScheme;
      // With tags the block size plays no part, and its text is not judged.
      if (choices.channelScheme == TChannelScheme::NumbersInBlocks) {
        replicate.blockSize = Count(choices.blockSizeText, "Block size");
      }
      replicate.anchor = choices.anchorText;
      replicate.inSteps = choices.inSteps;
      if (choices.inSteps) {
        replicate.stepX = Length(choices.stepXText, "Step X", false, units);
        replicate.stepY = Length(choices.stepYText, "Step Y", false, units);
      }
      break;
    }
    case TArrangePattern::Snap:
      params.snap.gridX = Length(choices.gridXText, "Grid X", true, units);
      params.snap.gridY = Length(choices.gridYText, "Grid Y", true, units);
      params.snap.originX = Length(choices.originXText, "Origin X", false, units);
      params.snap.originY = Length(choices.originYText, "Origin Y", false, units);
      break;
    case TArrangePattern::Table: {
      const std::int32_t originX = Length(choices.tableOriginXText, "Origin X", false, units);
      const std::int32_t originY = Length(choices.tableOriginYText, "Origin Y", false, units);
      const TTableFile& file = choices.tableFile;
      if (choices.tableFileText.find_first_not_of(' ') == std::string::npos) {
        Invalid("File must name a table: type its name or choose it with Browse");
      }
      if (!file.failure.empty()) Invalid(file.failure);
      if (!file.table) Invalid("The table has not been read");
      params.table = file.table;
      params.tableTargets = ResolveTable(*file.table, choices.tableUnits, originX, originY);
      break;
    }
    case TArrangePattern::Transform: {
      TTransformParams& transform = params.transform;
      transform.mirror = choices.mirror;
      transform.mirrorTurns = choices.mirrorTurns;
      transform.turn = DegreesToTenths(Angle(choices.turnByText, "Turn by"));
      transform.pivot = choices.pivot;
      transform.pivotPart = choices.pivotPartText;
      if (choices.pivot == TPivot::Point) {
        transform.pivotX = Length(choices.pivotXText, "Pivot X", false, units);
        transform.pivotY = Length(choices.pivotYText, "Pivot Y", false, units);
      }
      transform.moveX = Length(choices.moveXText, "Move X", false, units);
      transform.moveY = Length(choices.moveYText, "Move Y", false, units);
      break;
    }
    case TArrangePattern::RowsOrColumns:
      break;
  }
  return params;
}

void ConvertLengths(TArrangeChoices& choices, std::int32_t units) {
  if (units != kUnitsMils && units != kUnitsMm) return;
  const std::int32_t from = choices.lengthUnits;
  choices.lengthUnits = units;
  if ((from != kUnitsMils && from != kUnitsMm) || from == units) return;
  for (std::string TArrangeChoices::*length : kArrangeLengths) {
    std::string& text = choices.*length;
    try {
      text = units == kUnitsMm ? DbToMmText(MilsTextToDb(text)) : DbToMilsText(MmTextToDb(text));
    } catch (const std::exception&) {
      // Not a length (yet): the summary names it as it stands.
    }
  }
}

std::string TableOfSelection(const std::vector<TDbxComponent>& selection,
                             const TArrangeChoices& choices, std::int32_t units) {
  const std::int32_t originX = Length(choices.tableOriginXText, "Origin X", false, units);
  const std::int32_t originY = Length(choices.tableOriginYText, "Origin Y", false, units);
  return WritePlacementTable(selection, choices.tableUnits, originX, originY);
}

void SetDefaultLengths(TArrangeChoices& choices, std::int32_t units) {
  if (units != kUnitsMils && units != kUnitsMm) return;
  const auto text = [units](std::int32_t mils) {
    return units == kUnitsMils ? std::to_string(mils) : DbToMmText(mils * kDbPerMil);
  };
  const TArrangeChoices defaults;
  choices.pitchXText = text(100);
  choices.pitchYText = choices.pitchXText;
  choices.gridXText = choices.pitchXText;
  choices.gridYText = choices.pitchXText;
  choices.originXText = defaults.originXText;
  choices.originYText = defaults.originYText;
  choices.radiusText = text(500);
  choices.centreXText = defaults.centreXText;
  choices.centreYText = defaults.centreYText;
  choices.ringStepText = defaults.ringStepText;
  choices.stepXText = text(1000);
  choices.stepYText = defaults.stepYText;
  choices.pivotXText = defaults.pivotXText;
  choices.pivotYText = defaults.pivotYText;
  choices.moveXText = defaults.moveXText;
  choices.moveYText = defaults.moveYText;
  choices.lengthUnits = units;
  choices.tableOriginXText = defaults.tableOriginXText;
  choices.tableOriginYText = defaults.tableOriginYText;
}

void RunArrange(IDbxCalls& host, const TArrangeChoices& choices, IPlacementView& view,
                bool& designOpen, const TUnplacedReport& unplaced) {
  const auto step = [&choices, &unplaced](TSelectionStep& selection) {
    // Read once the connection has told the design's units.
    const TArrangeParams params = ParseArrangeChoices(choices, selection.designUnits);
    const std::vector<TPlannedGroup> plan = Plan(selection.groups, params);
    MakeChanges(selection, plan, unplaced);
  };
  RunOverSelection(host, view, designOpen, step, true);
}

TPreview MakeArrangePreview(IDbxCalls& host, const TArrangeChoices& choices) {
  DryRunHost dryRun(host);
  return PreviewOfArrange(dryRun, dryRun, choices);
}

TPreview MakeArrangePreview(TSelectionHost& host, const TArrangeChoices& choices) {
  return PreviewOfArrange(host, host, choices);
}

}  // namespace kordane
