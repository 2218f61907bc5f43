#include "ui/arrange/SnapPanel.h"

namespace kordane::ui {

void ShowSnapChoices(const IArrangeControls& controls, const TArrangeChoices& choices) {
  SetText(controls.Control(kIdGridX), choices.gridXText);
  SetText(controls.Control(kIdGridY), choices.gridYText);
  SetText(controls.Control(kIdOriginX), choices.originXText);
  SetText(controls.Control(kIdOriginY), choices.originYText);
}

void ReadSnapChoices(const IArrangeControls& controls, TArrangeChoices& choices) {
  choices.gridXText = WindowText(controls.Control(kIdGridX));
  choices.gridYText = WindowText(controls.Control(kIdGridY));
  choices.originXText = WindowText(controls.Control(kIdOriginX));
  choices.originYText = WindowText(controls.Control(kIdOriginY));
}

}  // namespace kordane::ui
