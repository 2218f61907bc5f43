#include "ui/arrange/GridPanel.h"

namespace kordane::ui {

namespace {
constexpr const char* kFills[] = {"Rows first", "Columns first"};
constexpr const char* kCorners[] = {"Top left", "Top right", "Bottom left", "Bottom right"};
}  // namespace

void FillGridLists(const IArrangeControls& controls) {
  FillList(controls.Control(kIdFill), kFills);
  FillList(controls.Control(kIdStart), kCorners);
}

void ShowGridChoices(const IArrangeControls& controls, const TArrangeChoices& choices) {
  SetText(controls.Control(kIdColumns), choices.columnsText);
  SetText(controls.Control(kIdPitchX), choices.pitchXText);
  SetText(controls.Control(kIdPitchY), choices.pitchYText);
  SendMessageA(controls.Control(kIdFill), CB_SETCURSEL, choices.columnsFirst ? 1 : 0, 0);
  SendMessageA(controls.Control(kIdStart), CB_SETCURSEL, static_cast<WPARAM>(choices.start), 0);
  Check(controls.Control(kIdSnake), choices.snake);
  Check(controls.Control(kIdTurnOddRows), choices.turnOddLines);
  Check(controls.Control(kIdStagger), choices.stagger);
  Check(controls.Control(kIdGridKeepFirst), choices.keepFirst);
}

void ReadGridChoices(const IArrangeControls& controls, TArrangeChoices& choices) {
  choices.columnsText = WindowText(controls.Control(kIdColumns));
  choices.pitchXText = WindowText(controls.Control(kIdPitchX));
  choices.pitchYText = WindowText(controls.Control(kIdPitchY));
  choices.columnsFirst = Selected(controls.Control(kIdFill)) == 1;
  choices.start = static_cast<TGridCorner>(Selected(controls.Control(kIdStart)));
  choices.snake = IsChecked(controls.Control(kIdSnake));
  choices.turnOddLines = IsChecked(controls.Control(kIdTurnOddRows));
  choices.stagger = IsChecked(controls.Control(kIdStagger));
  // Grid's and Circle's boxes are one choice: the window copies the one clicked to the other.
  choices.keepFirst = IsChecked(controls.Control(kIdGridKeepFirst));
}

}  // namespace kordane::ui
