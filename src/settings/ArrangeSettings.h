// The Arrange window's choices, kept in section "Arrange" of the settings file beside its frame
// ("Left", "Top", "Width", "Height"). Texts are kept as typed; a choice stored as a number that
// names none of its options, or missing, takes its default.
#pragma once

#include "placement/Arrange.h"
#include "settings/GlobalSettings.h"

namespace kordane {

namespace arrange_keys {
inline constexpr const char* kSection = "Arrange";
inline constexpr const char* kPattern = "Pattern";  // 0 rows or columns, 1 grid, 2 distribute,
                                                    // 3 align, 4 circle, 5 replicate,
                                                    // 6 snap to grid, 7 from a table, 8 transform
inline constexpr const char* kOrder = "Order";      // 0 increasing, 1 decreasing, 2 by position
inline constexpr const char* kTurn = "Turn";
inline constexpr const char* kTurnTo = "Turn To";
inline constexpr const char* kColumns = "Columns";
inline constexpr const char* kPitchX = "Pitch X";
inline constexpr const char* kPitchY = "Pitch Y";
inline constexpr const char* kFill = "Fill";  // 0 rows first, 1 columns first
inline constexpr const char* kStart =
    "Start";  // 0 top left, 1 top right, 2 bottom left, 3 bottom right
inline constexpr const char* kSnake = "Snake";
inline constexpr const char* kTurnOddRows = "Turn Odd Rows";
inline constexpr const char* kStagger = "Stagger";
inline constexpr const char* kKeepFirst = "Keep First";
inline constexpr const char* kDistributeAxis = "Distribute Axis";  // 0 horizontal, 1 vertical
inline constexpr const char* kLineUp = "Line Up";
inline constexpr const char* kAlignAxis = "Align Axis";  // 0 horizontal, 1 vertical
inline constexpr const char* kAlignTo = "Align To";    // 0 top or left, 1 centre, 2 bottom or right
inline constexpr const char* kCentreAt = "Centre At";  // 0 centre of the selection, 1 at the point
inline constexpr const char* kCentreX = "Centre X";
inline constexpr const char* kCentreY = "Centre Y";
inline constexpr const char* kRadius = "Radius";
inline constexpr const char* kRingStep = "Ring Step";
inline constexpr const char* kStartAngle = "Start Angle";
inline constexpr const char* kSpan = "Span";
inline constexpr const char* kClockwise = "Clockwise";
inline constexpr const char* kTurnWithCircle = "Turn With Circle";
inline constexpr const char* kOffset = "Offset";
inline constexpr const char* kChannelScheme =
    "Channel Scheme";  // 0 numbers in blocks, 1 tag after a separator
inline constexpr const char* kBlockSize = "Block Size";
inline constexpr const char* kAnchor = "Anchor";
inline constexpr const char* kChannels = "Channels";  // 0 at each channel's anchor, 1 in steps
inline constexpr const char* kStepX = "Step X";
inline constexpr const char* kStepY = "Step Y";
inline constexpr const char* kGridX = "Grid X";
inline constexpr const char* kGridY = "Grid Y";
inline constexpr const char* kOriginX = "Origin X";
inline constexpr const char* kOriginY = "Origin Y";
inline constexpr const char* kMirror = "Mirror";  // 0 none, 1 left to right, 2 top to bottom
inline constexpr const char* kMirrorTurns = "Mirror Turns";
inline constexpr const char* kTurnBy = "Turn By";
inline constexpr const char* kPivot =
    "Pivot";  // 0 centre of the selection, 1 a component, 2 a point
inline constexpr const char* kPivotPart = "Pivot Part";
inline constexpr const char* kPivotX = "Pivot X";
inline constexpr const char* kPivotY = "Pivot Y";
inline constexpr const char* kMoveX = "Move X";
inline constexpr const char* kMoveY = "Move Y";
inline constexpr const char* kUnits = "Units";  // 1 mils, 2 mm: the lengths' units
inline constexpr const char* kTableFile = "Table File";
inline constexpr const char* kTableUnits = "Table Units";  // 0 mm, 1 mils, 2 inches
inline constexpr const char* kTableOriginX = "Table Origin X";
inline constexpr const char* kTableOriginY = "Table Origin Y";
}  // namespace arrange_keys

TArrangeChoices LoadArrangeChoices(IProfileSection& profile);
// Whether any length is stored; until one is, a window takes the defaults in the design's units.
bool StoresArrangeLengths(IProfileSection& profile);

// Throws SettingsWriteError when the file cannot be written.
void SaveArrangeChoices(IProfileSection& profile, const TArrangeChoices& choices);

}  // namespace kordane
