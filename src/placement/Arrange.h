// The Arrange patterns over the host's selection: grid, distribute, align and circle, each group
// by designator prefix, replicate, each channel by designator, and transform, the whole
// selection as one piece, as one run with Go's
// connection, capture, grouping and tally. The texts are the window's as typed; lengths are in
// the design's own units, angles in degrees.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/DbxCalls.h"
#include "host/DbxUtils.h"
#include "placement/ArrangeGeometry.h"
#include "placement/HostAdapters.h"
#include "placement/PlacementRun.h"
#include "placement/PlacementTable.h"
#include "placement/Preview.h"
#include "placement/Replicate.h"
#include "placement/Transform.h"

namespace kordane {

// The values are the settings file's "Pattern".
enum class TArrangePattern {
  RowsOrColumns,
  Grid,
  Distribute,
  Align,
  Circle,
  Replicate,
  Snap,
  Table,
  Transform,
};
inline constexpr TArrangePattern kArrangePatterns[] = {
    TArrangePattern::RowsOrColumns, TArrangePattern::Grid,   TArrangePattern::Distribute,
    TArrangePattern::Align,         TArrangePattern::Circle, TArrangePattern::Replicate,
    TArrangePattern::Snap,          TArrangePattern::Table,  TArrangePattern::Transform,
};
enum class TArrangeOrder { Increasing, Decreasing, ByPosition };

// What an Apply of the pattern is called in the undo history ("Grid"); "Rows or columns" is Go.
const char* ArrangeStepName(TArrangePattern pattern);

// Everything the Arrange window holds, as the user set it.
struct TArrangeChoices {
  TArrangePattern pattern = TArrangePattern::Grid;
  TArrangeOrder order = TArrangeOrder::Increasing;
  bool turn = false;
  std::string turnText = "0";
  // Grid.
  std::string columnsText = "4";
  std::string pitchXText = "100";
  std::string pitchYText = "100";
  bool columnsFirst = false;
  TGridCorner start = TGridCorner::TopLeft;
  bool snake = false;
  bool turnOddLines = false;
  bool stagger = false;
  bool keepFirst = false;  // Grid and Circle
  // Distribute.
  TArrangeAxis distributeAxis = TArrangeAxis::Horizontal;
  bool lineUp = false;
  // Align.
  TArrangeAxis alignAxis = TArrangeAxis::Horizontal;
  TAlignEdge alignEdge = TAlignEdge::Centre;
  // Circle.
  bool centreAt = false;  // at the given point rather than the centre of the selection
  std::string centreXText = "0";
  std::string centreYText = "0";
  std::string radiusText = "500";
  std::string ringStepText = "0";
  std::string startAngleText = "0";
  std::string spanText = "360";
  bool clockwise = false;
  bool turnWithCircle = false;
  std::string offsetText = "0";
  // Replicate.
  TChannelScheme channelScheme = TChannelScheme::NumbersInBlocks;
  std::string blockSizeText = "100";
  std::string anchorText;
  bool inSteps = false;  // else at each channel's anchor
  std::string stepXText = "1000";
  std::string stepYText = "0";
  // Snap to grid.
  std::string gridXText = "100";
  std::string gridYText = "100";
  std::string originXText = "0";
  std::string originYText = "0";
  // Transform.
  TMirror mirror = TMirror::None;
  bool mirrorTurns = true;
  std::string turnByText = "0";
  TPivot pivot = TPivot::SelectionCentre;
  std::string pivotPartText;
  std::string pivotXText = "0";
  std::string pivotYText = "0";
  std::string moveXText = "0";
  std::string moveYText = "0";
  // The units the length texts are written in (mils or mm); unknown: the design's, whatever
  // they are.
  std::int32_t lengthUnits = -1;
  // From a table: lengths in the table's units, its origin in the design's.
  std::string tableFileText;
  TTableUnit tableUnits = TTableUnit::Mm;
  std::string tableOriginXText = "0";
  std::string tableOriginYText = "0";
  // Not a choice and never stored: the file as last read, which the pattern places from.
  TTableFile tableFile;

  friend bool operator==(const TArrangeChoices&, const TArrangeChoices&) = default;
};

// Every length text of the choices, in the design's units: one list for every pattern's lengths.
inline constexpr std::string TArrangeChoices::*kArrangeLengths[] = {
    &TArrangeChoices::pitchXText,       &TArrangeChoices::pitchYText,
    &TArrangeChoices::centreXText,      &TArrangeChoices::centreYText,
    &TArrangeChoices::radiusText,       &TArrangeChoices::ringStepText,
    &TArrangeChoices::stepXText,        &TArrangeChoices::stepYText,
    &TArrangeChoices::gridXText,        &TArrangeChoices::gridYText,
    &TArrangeChoices::originXText,      &TArrangeChoices::originYText,
    &TArrangeChoices::pivotXText,       &TArrangeChoices::pivotYText,
    &TArrangeChoices::moveXText,        &TArrangeChoices::moveYText,
    &TArrangeChoices::tableOriginXText, &TArrangeChoices::tableOriginYText};

// The lengths written in `units` (mils or mm; any other: nothing changes). Lengths written in the
// other unit are converted as the main window's unit buttons convert the spacing; a text that
// does not read as a length stays as it is. Lengths of unknown units are taken as written in them.
void ConvertLengths(TArrangeChoices& choices, std::int32_t units);

// The choices as numbers: lengths in database units, angles in tenths or degrees.
struct TArrangeParams {
  TArrangePattern pattern = TArrangePattern::Grid;
  TArrangeOrder order = TArrangeOrder::Increasing;
  TTurnTo turn;
  TGridParams grid;
  TDistributeParams distribute;
  TAlignParams align;
  TCircleParams circle;
  TReplicateParams replicate;
  TSnapParams snap;
  // From a table: every row's target; the table is kept for the designators they show.
  std::shared_ptr<const TPlacementTable> table;
  std::vector<TTableTarget> tableTargets;
  TTransformParams transform;
};

// Whether "Turn to" plays a part: Replicate and a table give the angles,
// Transform turns the parts by its own angle, and a circle that turns its members with it
// overrides it. Where it plays none, its text is not judged.
bool UsesTurnTo(const TArrangeChoices& choices);

// Reads the texts of the chosen pattern (and "Turn to" when it is checked), lengths in the given
// units code: the design's. Throws ConversionError naming the first parameter that is not valid,
// for example "Columns must be a whole number of 1 or more".
TArrangeParams ParseArrangeChoices(const TArrangeChoices& choices, std::int32_t units = DbUnits);

// The selection as a table in the chosen units, the origin (lengths in units, the design's)
// taken off; throws ConversionError naming an origin that is not valid.
std::string TableOfSelection(const std::vector<TDbxComponent>& selection,
                             const TArrangeChoices& choices, std::int32_t units);

// The lengths a window starts with before any are stored: a pitch and a snap grid of 100 mils, a
// radius of 500 mils and a step of 1000 mils, written in units (mils or mm; any other code leaves
// them as they are).
void SetDefaultLengths(TArrangeChoices& choices, std::int32_t units);

// Arranges the selection by one of the patterns other than "Rows or columns": the hour-glass,
// "Connected", the design's units (lengths are in them, whatever DbUnits holds), a fresh read of
// the selection, each group ordered and its members turned and moved
// to their targets, and the status line as after Go. Members whose slot or move does not fit a
// signed 32-bit value are not moved and are given to unplaced. A parameter that is not valid
// ends the run, after its cleanup and before any change, with its ConversionError.
void RunArrange(IDbxCalls& host, const TArrangeChoices& choices, IPlacementView& view,
                bool& designOpen, const TUnplacedReport& unplaced = {});

// What RunArrange would do over host, worked out without a change.
TPreview MakeArrangePreview(IDbxCalls& host, const TArrangeChoices& choices);
// The same over a selection served from memory: the Arrange window's live picture. Replicate's
// picture marks the reference channel and every channel's anchor, its summary counts channels
// and parts left alone, and its messages end with a line for each part left alone; a table's
// summary counts the parts placed and the rows and parts left out, each of which it lists.
// Transform's picture marks its pivot.
TPreview MakeArrangePreview(TSelectionHost& host, const TArrangeChoices& choices);

}  // namespace kordane
