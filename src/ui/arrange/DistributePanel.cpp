#include "ui/arrange/DistributePanel.h"

namespace kordane::ui {

void ShowDistributeChoices(const IArrangeControls& controls, const TArrangeChoices& choices) {
  const bool vertical = choices.distributeAxis == TArrangeAxis::Vertical;
  Check(controls.Control(kIdDistributeHorizontal), !vertical);
  Check(controls.Control(kIdDistributeVertical), vertical);
  Check(controls.Control(kIdLineUp), choices.lineUp);
}

void ReadDistributeChoices(const IArrangeControls& controls, TArrangeChoices& choices) {
  choices.distributeAxis = IsChecked(controls.Control(kIdDistributeVertical))
                               ? TArrangeAxis::Vertical
                               : TArrangeAxis::Horizontal;
  choices.lineUp = IsChecked(controls.Control(kIdLineUp));
}

}  // namespace kordane::ui
