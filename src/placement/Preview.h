// What a placement run would do, worked out by the run itself over a host that makes no change
// (DryRunHost): every selected component where it is and where it would go, group by group. It
// opens a connection, reads the selection and closes the connection; it never rotates or moves.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/DbxCalls.h"
#include "placement/HostAdapters.h"
#include "placement/PlacementRun.h"

namespace kordane {

struct TPreviewPart {
  std::string refDes;
  std::size_t group = 0;                          // index into TPreview::groups
  std::int32_t x = 0, y = 0, rotation = 0;        // as it stands
  std::int32_t toX = 0, toY = 0, toRotation = 0;  // after the run
  bool moves = false;                             // a move that changes its place
  bool rotates = false;                           // a rotation that changes its angle
  bool unplaced = false;  // its slot lies outside the host's coordinates: it is not moved
  // Replicate: a part of the channel that is copied, and a channel's anchor.
  bool reference = false;
  bool anchor = false;
};

struct TPreviewPoint {
  std::int32_t x = 0, y = 0;
};

struct TPreviewGroup {
  std::string prefix;
  std::size_t count = 0;
};

struct TPreview {
  std::vector<TPreviewGroup> groups;  // in the run's prefix order
  std::vector<TPreviewPart> parts;    // in the order the selection was read
  // What stops the run: a failed open (the library's status text) or a spacing text that is not
  // a number (the run's own message). Empty when the run would go through.
  std::string failure;
  // Replicate's messages end with a line for each part left alone.
  std::vector<std::string> messages;  // the RefDes messages, in the run's order
  // Of the scale bar: DbUnits after Go's run, the design's own after an Arrange run.
  std::int32_t units = -1;
  std::string summary;  // "11 components in 3 groups: 11 moves, 9 rotations; pitch 200 mils"
  // Transform: the point it mirrors and turns about, marked in the picture.
  std::optional<TPreviewPoint> pivot;
};

// The window's choices and rotation text, as a run would read them; the units label goes to
// unitsLabel when the connection learns the units.
TPreview MakePreview(IDbxCalls& host, const PlacementInputs& inputs,
                     const std::string& rotationText, IPlacementView* unitsLabel = nullptr);
// The same over a selection served from memory.
TPreview MakePreview(TSelectionHost& host, const PlacementInputs& inputs,
                     const std::string& rotationText, IPlacementView* unitsLabel = nullptr);

// Receives the record of every member a run leaves where it is because its slot does not fit.
using TUnplacedReport = std::function<void(const TDbxComponent& record)>;
// A run to preview, made over the host and the view it is given.
using TPreviewedRun = std::function<void(IDbxCalls& host, IPlacementView& view, bool& designOpen,
                                         const TUnplacedReport& unplaced)>;

// What any run over the selection would do, worked out as MakePreview does: the run goes over
// host, which makes no change and keeps notes of it. The summary is
// "<n> components in <g> groups: <m> moves, <r> rotations", then "; <k> out of range, not moved"
// when there are such members, then summaryTail.
TPreview PreviewOfRun(IDbxCalls& host, IChangeNotes& notes, const TPreviewedRun& run,
                      const std::string& rotationText, IPlacementView* unitsLabel,
                      const std::string& summaryTail);

// The selection as one connection reads it (opens, reads, closes, changes nothing): every
// component in the order read, and what kept it from being read (the library's status text of a
// failed open), else empty. The units label and the cursor go to unitsLabel when there is one.
struct TSelectionRead {
  std::vector<TDbxComponent> components;
  std::string failure;
  std::int32_t units = -1;  // the design's own, which that connection asks for
};
TSelectionRead ReadSelection(IDbxCalls& host, IPlacementView* unitsLabel = nullptr);

// Whether two readings show the same parts, in the same order, each with the same designator,
// place and angle: what a picture drawn from one would show of the other.
bool SameParts(const std::vector<TDbxComponent>& a, const std::vector<TDbxComponent>& b);

// Name of a units code for texts: "mils", "mm", or "database units".
std::string UnitsName(std::int32_t units);

// "1 move", "3 moves": a count and its noun for the summaries.
std::string Counted(std::size_t count, const char* one, const char* many);

// How many parts of a picture move, turn, and cannot be moved (out of range).
struct TPreviewCounts {
  std::size_t moves = 0;
  std::size_t rotations = 0;
  std::size_t unplaced = 0;
};
TPreviewCounts CountChanges(const TPreview& preview);

}  // namespace kordane
