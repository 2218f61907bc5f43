// Circle: each group on a ring (or an arc), turned with it if wanted.
#pragma once

#include "ui/arrange/ArrangePanel.h"

namespace kordane::ui {

enum CircleControlId : int {
  kIdPatternCircle = 405,
  kIdCentreSelection = 470,
  kIdCentreAt,
  kIdCentreXLabel,
  kIdCentreX,
  kIdCentreXUnit,
  kIdCentreYLabel,
  kIdCentreY,
  kIdCentreYUnit,
  kIdRadiusLabel,
  kIdRadius,
  kIdRadiusUnit,
  kIdRingStepLabel,
  kIdRingStep,
  kIdRingStepUnit,
  kIdStartAngleLabel,
  kIdStartAngle,
  kIdStartAngleDegrees,
  kIdSpanLabel,
  kIdSpan,
  kIdSpanDegrees,
  kIdDirectionLabel,
  kIdDirection,
  kIdTurnWithCircle,
  kIdOffsetLabel,
  kIdOffset,
  kIdOffsetDegrees,
  kIdCircleKeepFirst,  // one choice with Grid's
};

namespace circle_layout {
using namespace arrange_style;
inline constexpr int kTop = kPanelTop;
inline constexpr ControlSpec kPatternButton[] = {
    {kIdPatternCircle, 0, "BUTTON", "&Circle", kVisible | kRadio, 0, 156, 72, 60, 17}};
// Twelve controls beside the thirteen always shown leave no letter for Ring step, Turn with the
// circle and Offset; their fields are a Tab away from the ones before them.
inline constexpr ControlSpec kControls[] = {
    {kIdCentreSelection, 0, "BUTTON", "Centre of t&he selection", kFirstRadio, 0, 16, kTop + 20,
     200, 17},
    {kIdCentreAt, 0, "BUTTON", "A&t", kRadio, 0, 16, kTop + 40, 60, 17},
    {kIdCentreXLabel, 0, "STATIC", "Centre &X", kLabel, 0, 16, kTop + 67, 80, 13},
    {kIdCentreX, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 64, 64, 21},
    {kIdCentreXUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 67, 72, 13},
    {kIdCentreYLabel, 0, "STATIC", "Centre &Y", kLabel, 0, 16, kTop + 93, 80, 13},
    {kIdCentreY, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 90, 64, 21},
    {kIdCentreYUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 93, 72, 13},
    {kIdRadiusLabel, 0, "STATIC", "&Radius", kLabel, 0, 16, kTop + 119, 80, 13},
    {kIdRadius, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 116, 64, 21},
    {kIdRadiusUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 119, 72, 13},
    {kIdRingStepLabel, 0, "STATIC", "Ring step", kLabel, 0, 16, kTop + 145, 80, 13},
    {kIdRingStep, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 142, 64, 21},
    {kIdRingStepUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 145, 72, 13},
    {kIdStartAngleLabel, 0, "STATIC", "Start a&ngle", kLabel, 0, 16, kTop + 171, 80, 13},
    {kIdStartAngle, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 168, 64, 21},
    {kIdStartAngleDegrees, 0, "STATIC", kDegrees, kNote, 0, 168, kTop + 171, 72, 13},
    {kIdSpanLabel, 0, "STATIC", "S&pan", kLabel, 0, 16, kTop + 197, 80, 13},
    {kIdSpan, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 194, 64, 21},
    {kIdSpanDegrees, 0, "STATIC", kDegrees, kNote, 0, 168, kTop + 197, 72, 13},
    {kIdDirectionLabel, 0, "STATIC", "D&irection", kLabel, 0, 16, kTop + 223, 80, 13},
    {kIdDirection, 0, "COMBOBOX", "", kList, 0, 100, kTop + 220, 140, 21},
    {kIdTurnWithCircle, 0, "BUTTON", "Turn with the circle", kCheck, 0, 16, kTop + 247, 200, 17},
    {kIdOffsetLabel, 0, "STATIC", "Offset", kLabel, 0, 16, kTop + 273, 80, 13},
    {kIdOffset, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 270, 64, 21},
    {kIdOffsetDegrees, 0, "STATIC", kDegrees, kNote, 0, 168, kTop + 273, 72, 13},
    {kIdCircleKeepFirst, 0, "BUTTON", "&Keep the first in place", kCheck, 0, 16, kTop + 297, 224,
     17},
};
inline constexpr int kLengths[] = {kIdCentreX, kIdCentreY, kIdRadius, kIdRingStep};
inline constexpr int kLengthUnits[] = {kIdCentreXUnit, kIdCentreYUnit, kIdRadiusUnit,
                                       kIdRingStepUnit};
}  // namespace circle_layout

void FillCircleLists(const IArrangeControls& controls);
void ShowCircleChoices(const IArrangeControls& controls, const TArrangeChoices& choices);
void ReadCircleChoices(const IArrangeControls& controls, TArrangeChoices& choices);
void UpdateCircleControls(const IArrangeControls& controls, const TArrangeChoices& choices);

inline constexpr TArrangePanel kCirclePanel{TArrangePattern::Circle,
                                            " Circle ",
                                            circle_layout::kPatternButton,
                                            circle_layout::kControls,
                                            circle_layout::kLengths,
                                            circle_layout::kLengthUnits,
                                            true,
                                            &FillCircleLists,
                                            &ShowCircleChoices,
                                            &ReadCircleChoices,
                                            &UpdateCircleControls};

}  // namespace kordane::ui
