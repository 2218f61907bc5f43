// Transform: the whole selection mirrored, turned about a pivot and moved, as one piece.
#pragma once

#include "ui/arrange/ArrangePanel.h"

namespace kordane::ui {

enum TransformControlId : int {
  kIdPatternTransform = 415,
  kIdMirrorLabel = 610,  // after the setups' ids
  kIdMirror,
  kIdMirrorTurns,
  kIdTurnByLabel,
  kIdTurnBy,
  kIdTurnByDegrees,
  kIdPivotLabel,
  kIdPivot,
  kIdPivotPartLabel,
  kIdPivotPart,
  kIdPivotXLabel,
  kIdPivotX,
  kIdPivotXUnit,
  kIdPivotYLabel,
  kIdPivotY,
  kIdPivotYUnit,
  kIdMoveXLabel,
  kIdMoveX,
  kIdMoveXUnit,
  kIdMoveYLabel,
  kIdMoveY,
  kIdMoveYUnit,
};

namespace transform_layout {
using namespace arrange_style;
inline constexpr int kTop = kPanelTop;
inline constexpr ControlSpec kPatternButton[] = {
    {kIdPatternTransform, 0, "BUTTON", "Transfor&m", kVisible | kRadio, 0, 16, 116, 100, 17}};
inline constexpr ControlSpec kControls[] = {
    {kIdMirrorLabel, 0, "STATIC", "M&irror", kLabel, 0, 16, kTop + 23, 80, 13},
    {kIdMirror, 0, "COMBOBOX", "", kList, 0, 100, kTop + 20, 140, 21},
    {kIdMirrorTurns, 0, "BUTTON", "Turn the parts wit&h the mirror", kCheck, 0, 16, kTop + 46, 224,
     17},
    {kIdTurnByLabel, 0, "STATIC", "Tur&n by", kLabel, 0, 16, kTop + 75, 80, 13},
    {kIdTurnBy, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 72, 64, 21},
    {kIdTurnByDegrees, 0, "STATIC", kDegrees, kNote, 0, 168, kTop + 75, 72, 13},
    {kIdPivotLabel, 0, "STATIC", "&Pivot", kLabel, 0, 16, kTop + 101, 80, 13},
    {kIdPivot, 0, "COMBOBOX", "", kList, 0, 100, kTop + 98, 140, 21},
    {kIdPivotPartLabel, 0, "STATIC", "Pivot pa&rt", kLabel, 0, 32, kTop + 127, 64, 13},
    {kIdPivotPart, 0, "COMBOBOX", "", kEditableList, 0, 100, kTop + 124, 140, 21},
    {kIdPivotXLabel, 0, "STATIC", "Pivot &X", kLabel, 0, 32, kTop + 153, 64, 13},
    {kIdPivotX, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 150, 64, 21},
    {kIdPivotXUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 153, 72, 13},
    {kIdPivotYLabel, 0, "STATIC", "Pivo&t Y", kLabel, 0, 32, kTop + 179, 64, 13},
    {kIdPivotY, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 176, 64, 21},
    {kIdPivotYUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 179, 72, 13},
    {kIdMoveXLabel, 0, "STATIC", "Mo&ve X", kLabel, 0, 16, kTop + 209, 80, 13},
    {kIdMoveX, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 206, 64, 21},
    {kIdMoveXUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 209, 72, 13},
    {kIdMoveYLabel, 0, "STATIC", "Move &Y", kLabel, 0, 16, kTop + 235, 80, 13},
    {kIdMoveY, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 232, 64, 21},
    {kIdMoveYUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 235, 72, 13},
};
inline constexpr int kLengths[] = {kIdPivotX, kIdPivotY, kIdMoveX, kIdMoveY};
inline constexpr int kLengthUnits[] = {kIdPivotXUnit, kIdPivotYUnit, kIdMoveXUnit, kIdMoveYUnit};
}  // namespace transform_layout

void FillTransformLists(const IArrangeControls& controls);
void ShowTransformChoices(const IArrangeControls& controls, const TArrangeChoices& choices);
void ReadTransformChoices(const IArrangeControls& controls, TArrangeChoices& choices);
void UpdateTransformControls(const IArrangeControls& controls, const TArrangeChoices& choices);

// The selection moves as one piece: no order, and its own angle instead of "Turn to".
inline constexpr TArrangePanel kTransformPanel{TArrangePattern::Transform,
                                               " Transform ",
                                               transform_layout::kPatternButton,
                                               transform_layout::kControls,
                                               transform_layout::kLengths,
                                               transform_layout::kLengthUnits,
                                               false,
                                               &FillTransformLists,
                                               &ShowTransformChoices,
                                               &ReadTransformChoices,
                                               &UpdateTransformControls};

}  // namespace kordane::ui
