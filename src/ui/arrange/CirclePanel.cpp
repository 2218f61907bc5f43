#include "ui/arrange/CirclePanel.h"

namespace kordane::ui {

namespace {
constexpr const char* kDirections[] = {"Counter-clockwise", "Clockwise"};
}  // namespace

void FillCircleLists(const IArrangeControls& controls) {
  FillList(controls.Control(kIdDirection), kDirections);
}

void ShowCircleChoices(const IArrangeControls& controls, const TArrangeChoices& choices) {
  Check(controls.Control(kIdCentreSelection), !choices.centreAt);
  Check(controls.Control(kIdCentreAt), choices.centreAt);
  SetText(controls.Control(kIdCentreX), choices.centreXText);
  SetText(controls.Control(kIdCentreY), choices.centreYText);
  SetText(controls.Control(kIdRadius), choices.radiusText);
  SetText(controls.Control(kIdRingStep), choices.ringStepText);
  SetText(controls.Control(kIdStartAngle), choices.startAngleText);
  SetText(controls.Control(kIdSpan), choices.spanText);
  SendMessageA(controls.Control(kIdDirection), CB_SETCURSEL, choices.clockwise ? 1 : 0, 0);
  Check(controls.Control(kIdTurnWithCircle), choices.turnWithCircle);
  SetText(controls.Control(kIdOffset), choices.offsetText);
  Check(controls.Control(kIdCircleKeepFirst), choices.keepFirst);
}

void ReadCircleChoices(const IArrangeControls& controls, TArrangeChoices& choices) {
  choices.centreAt = IsChecked(controls.Control(kIdCentreAt));
  choices.centreXText = WindowText(controls.Control(kIdCentreX));
  choices.centreYText = WindowText(controls.Control(kIdCentreY));
  choices.radiusText = WindowText(controls.Control(kIdRadius));
  choices.ringStepText = WindowText(controls.Control(kIdRingStep));
  choices.startAngleText = WindowText(controls.Control(kIdStartAngle));
  choices.spanText = WindowText(controls.Control(kIdSpan));
  choices.clockwise = Selected(controls.Control(kIdDirection)) == 1;
  choices.turnWithCircle = IsChecked(controls.Control(kIdTurnWithCircle));
  choices.offsetText = WindowText(controls.Control(kIdOffset));
  // keepFirst is Grid's box's: the window keeps the two alike.
}

void UpdateCircleControls(const IArrangeControls& controls, const TArrangeChoices& choices) {
  for (const int id : {kIdOffsetLabel, kIdOffset}) {
    EnableWindow(controls.Control(id), choices.turnWithCircle);
  }
  for (const int id : {kIdCentreXLabel, kIdCentreX, kIdCentreYLabel, kIdCentreY}) {
    EnableWindow(controls.Control(id), choices.centreAt);
  }
}

}  // namespace kordane::ui
