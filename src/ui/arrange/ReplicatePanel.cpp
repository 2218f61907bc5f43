#include "ui/arrange/ReplicatePanel.h"

#include <optional>

#include "placement/ChannelFind.h"

namespace kordane::ui {

void ShowReplicateChoices(const IArrangeControls& controls, const TArrangeChoices& choices) {
  const bool tags = choices.channelScheme == TChannelScheme::TagAfterSeparator;
  Check(controls.Control(kIdChannelNumbers), !tags);
  Check(controls.Control(kIdChannelTags), tags);
  SetText(controls.Control(kIdBlockSize), choices.blockSizeText);
  SetText(controls.Control(kIdAnchor), choices.anchorText);
  Check(controls.Control(kIdAtChannelAnchors), !choices.inSteps);
  Check(controls.Control(kIdInSteps), choices.inSteps);
  SetText(controls.Control(kIdStepX), choices.stepXText);
  SetText(controls.Control(kIdStepY), choices.stepYText);
}

void ReadReplicateChoices(const IArrangeControls& controls, TArrangeChoices& choices) {
  choices.channelScheme = IsChecked(controls.Control(kIdChannelTags))
                              ? TChannelScheme::TagAfterSeparator
                              : TChannelScheme::NumbersInBlocks;
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
  const bool blocks = choices.channelScheme == TChannelScheme::NumbersInBlocks;
  for (const int id : {kIdBlockSizeLabel, kIdBlockSize}) {
    EnableWindow(controls.Control(id), blocks);
  }
  const char* note = blocks ? replicate_layout::kBlocksNote : replicate_layout::kTagsNote;
  if (WindowText(controls.Control(kIdReplicateNote)) != note) {
    SetText(controls.Control(kIdReplicateNote), note);
  }
}

std::string ShowFoundChannels(const IArrangeControls& controls,
                              const std::vector<TDbxComponent>& selection) {
  const std::optional<TChannelFinding> found =
      FindChannels(selection, WindowText(controls.Control(kIdAnchor)));
  if (found) {
    const bool tags = found->scheme == TChannelScheme::TagAfterSeparator;
    Check(controls.Control(kIdChannelNumbers), !tags);
    Check(controls.Control(kIdChannelTags), tags);
    if (!tags) SetText(controls.Control(kIdBlockSize), std::to_string(found->blockSize));
    SetText(controls.Control(kIdAnchor), found->anchor);
  }
  return FindingText(found);
}

}  // namespace kordane::ui
