// Snap to grid: each part's origin to the nearest point of a grid.
#pragma once

#include "ui/arrange/ArrangePanel.h"

namespace kordane::ui {

enum SnapControlId : int {
  kIdPatternSnap = 413,
  kIdGridXLabel = 540,
  kIdGridX,
  kIdGridXUnit,
  kIdGridYLabel,
  kIdGridY,
  kIdGridYUnit,
  kIdOriginXLabel,
  kIdOriginX,
  kIdOriginXUnit,
  kIdOriginYLabel,
  kIdOriginY,
  kIdOriginYUnit,
};

namespace snap_layout {
using namespace arrange_style;
inline constexpr int kTop = kPanelTop;
// d is the only letter of its caption that the other controls leave free.
inline constexpr ControlSpec kPatternButton[] = {
    {kIdPatternSnap, 0, "BUTTON", "Snap to gri&d", kVisible | kRadio, 0, 16, 94, 100, 17}};
inline constexpr ControlSpec kControls[] = {
    {kIdGridXLabel, 0, "STATIC", "Grid &X", kLabel, 0, 16, kTop + 23, 80, 13},
    {kIdGridX, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 20, 64, 21},
    {kIdGridXUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 23, 72, 13},
    {kIdGridYLabel, 0, "STATIC", "Grid &Y", kLabel, 0, 16, kTop + 49, 80, 13},
    {kIdGridY, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 46, 64, 21},
    {kIdGridYUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 49, 72, 13},
    {kIdOriginXLabel, 0, "STATIC", "O&rigin X", kLabel, 0, 16, kTop + 75, 80, 13},
    {kIdOriginX, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 72, 64, 21},
    {kIdOriginXUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 75, 72, 13},
    {kIdOriginYLabel, 0, "STATIC", "Orig&in Y", kLabel, 0, 16, kTop + 101, 80, 13},
    {kIdOriginY, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 98, 64, 21},
    {kIdOriginYUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 101, 72, 13},
};
inline constexpr int kLengths[] = {kIdGridX, kIdGridY, kIdOriginX, kIdOriginY};
inline constexpr int kLengthUnits[] = {kIdGridXUnit, kIdGridYUnit, kIdOriginXUnit, kIdOriginYUnit};
}  // namespace snap_layout

void ShowSnapChoices(const IArrangeControls& controls, const TArrangeChoices& choices);
void ReadSnapChoices(const IArrangeControls& controls, TArrangeChoices& choices);

// Snapping keeps each part where it is in its group: no order.
inline constexpr TArrangePanel kSnapPanel{TArrangePattern::Snap,
                                          " Snap to grid ",
                                          snap_layout::kPatternButton,
                                          snap_layout::kControls,
                                          snap_layout::kLengths,
                                          snap_layout::kLengthUnits,
                                          false,
                                          nullptr,
                                          &ShowSnapChoices,
                                          &ReadSnapChoices,
                                          nullptr};

}  // namespace kordane::ui
