#include "ui/arrange/ReplicatePanel.h"

namespace kordane::ui {

void ShowReplicateChoices(const IArrangeControls& controls, const TArrangeChoices& choices) {
  SetText(controls.Control(kIdBlockSize), choices.blockSizeText);
  SetText(controls.Control(kIdAnchor), choices.anchorText);
  Check(controls.Control(kIdAtChannelAnchors), !choices.inSteps);
  Check(controls.Control(kIdInSteps), choices.inSteps);
  SetText(controls.Control(kIdStepX), choices.stepXText);
  SetText(controls.Control(kIdStepY), choices.stepYText);
}

void ReadReplicateChoices(const IArrangeControls& controls, TArrangeChoices& choices) {
  choices.blockSizeText = WindowText(controls.Control(kIdBlockSize));
  choices.anchorText = WindowText(controls.Control(kIdAnchor));
  choices.inSteps = IsChecked(controls.Control(kIdInSteps));
  choices.stepXText = WindowText(controls.Control(kIdStepX));
  choices.stepYText = WindowText(controls.Control(kIdStepY));
}

void UpdateReplicateControls(const IArrangeControls& controls, const TArrangeChoices& choices) {
  for (const int id :
       {kIdStepXLabel, kIdStepX, kIdStepXUnit, kIdStepYLabel, kIdStepY, kIdStepYUnit}) {
    EnableWindow(controls.Control(id), choices.inSteps);
  }
}

}  // namespace kordane::ui
