#include "ui/arrange/TransformPanel.h"

namespace kordane::ui {

namespace {
constexpr const char* kMirrors[] = {"None", "Left to right", "Top to bottom"};
constexpr const char* kPivots[] = {"Centre of the selection", "A component", "A point"};
}  // namespace

void FillTransformLists(const IArrangeControls& controls) {
  FillList(controls.Control(kIdMirror), kMirrors);
  FillList(controls.Control(kIdPivot), kPivots);
}

void ShowTransformChoices(const IArrangeControls& controls, const TArrangeChoices& choices) {
  SendMessageA(controls.Control(kIdMirror), CB_SETCURSEL, static_cast<WPARAM>(choices.mirror), 0);
  Check(controls.Control(kIdMirrorTurns), choices.mirrorTurns);
  SetText(controls.Control(kIdTurnBy), choices.turnByText);
  SendMessageA(controls.Control(kIdPivot), CB_SETCURSEL, static_cast<WPARAM>(choices.pivot), 0);
  SetText(controls.Control(kIdPivotPart), choices.pivotPartText);
  SetText(controls.Control(kIdPivotX), choices.pivotXText);
  SetText(controls.Control(kIdPivotY), choices.pivotYText);
  SetText(controls.Control(kIdMoveX), choices.moveXText);
  SetText(controls.Control(kIdMoveY), choices.moveYText);
}

void ReadTransformChoices(const IArrangeControls& controls, TArrangeChoices& choices) {
  choices.mirror = static_cast<TMirror>(Selected(controls.Control(kIdMirror)));
  choices.mirrorTurns = IsChecked(controls.Control(kIdMirrorTurns));
  choices.turnByText = WindowText(controls.Control(kIdTurnBy));
  choices.pivot = static_cast<TPivot>(Selected(controls.Control(kIdPivot)));
  choices.pivotPartText = WindowText(controls.Control(kIdPivotPart));
  choices.pivotXText = WindowText(controls.Control(kIdPivotX));
  choices.pivotYText = WindowText(controls.Control(kIdPivotY));
  choices.moveXText = WindowText(controls.Control(kIdMoveX));
  choices.moveYText = WindowText(controls.Control(kIdMoveY));
}

void UpdateTransformControls(const IArrangeControls& controls, const TArrangeChoices& choices) {
  EnableWindow(controls.Control(kIdMirrorTurns), choices.mirror != TMirror::None);
  for (const int id : {kIdPivotPartLabel, kIdPivotPart}) {
    EnableWindow(controls.Control(id), choices.pivot == TPivot::Component);
  }
  for (const int id :
       {kIdPivotXLabel, kIdPivotX, kIdPivotXUnit, kIdPivotYLabel, kIdPivotY, kIdPivotYUnit}) {
    EnableWindow(controls.Control(id), choices.pivot == TPivot::Point);
  }
}

}  // namespace kordane::ui
