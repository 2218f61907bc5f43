// Replicate: one channel's placement copied to the other channels of a repeated circuit.
#pragma once

#include "ui/arrange/ArrangePanel.h"

namespace kordane::ui {

enum ReplicateControlId : int {
  kIdPatternReplicate = 412,
  kIdBlockSizeLabel = 520,
  kIdBlockSize,
  kIdAnchorLabel,
  kIdAnchor,
  kIdAtChannelAnchors,
  kIdInSteps,
  kIdStepXLabel,
  kIdStepX,
  kIdStepXUnit,
  kIdStepYLabel,
  kIdStepY,
  kIdStepYUnit,
  kIdReplicateNote,
  kIdChannelsLabel,
  kIdChannelNumbers,
  kIdChannelTags,
  kIdFindChannels,
};

namespace replicate_layout {
using namespace arrange_style;
inline constexpr int kTop = kPanelTop;
inline constexpr const char* kBlocksNote =
    "Channel = number / block size, role = prefix and the rest: with 100, R205 is channel 2's "
    "R5; with 1, D7 goes with SW7.";
inline constexpr const char* kTagsNote =
    "Channel = the tag after the last _, . or -, role = the text before it: R5_B is channel B's "
    "R5.";
inline constexpr ControlSpec kPatternButton[] = {
    {kIdPatternReplicate, 0, "BUTTON", "Replicat&e", kVisible | kRadio, 0, 174, 50, 68, 17}};
inline constexpr ControlSpec kControls[] = {
    {kIdChannelsLabel, 0, "STATIC", "C&hannels", kLabel, 0, 16, kTop + 23, 80, 13},
    {kIdChannelNumbers, 0, "BUTTON", "Numbers in bloc&ks", kFirstRadio, 0, 100, kTop + 21, 140, 17},
    {kIdChannelTags, 0, "BUTTON", "&Tag after a separator", kRadio, 0, 100, kTop + 41, 140, 17},
    {kIdBlockSizeLabel, 0, "STATIC", "Block si&ze", kLabel, 0, 16, kTop + 67, 80, 13},
    {kIdBlockSize, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 64, 64, 21},
    {kIdFindChannels, 0, "BUTTON", "F&ind", kPushButton, 0, 176, kTop + 63, 64, 23},
    {kIdAnchorLabel, 0, "STATIC", "A&nchor", kLabel, 0, 16, kTop + 93, 80, 13},
    {kIdAnchor, 0, "COMBOBOX", "", kEditableList, 0, 100, kTop + 90, 140, 21},
    {kIdAtChannelAnchors, 0, "BUTTON", "At each channel's ancho&r", kFirstRadio, 0, 16, kTop + 118,
     200, 17},
    {kIdInSteps, 0, "BUTTON", "In ste&ps", kRadio, 0, 16, kTop + 140, 200, 17},
    {kIdStepXLabel, 0, "STATIC", "Step &X", kLabel, 0, 32, kTop + 167, 64, 13},
    {kIdStepX, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 164, 64, 21},
    {kIdStepXUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 167, 72, 13},
    {kIdStepYLabel, 0, "STATIC", "Step &Y", kLabel, 0, 32, kTop + 193, 64, 13},
    {kIdStepY, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 190, 64, 21},
    {kIdStepYUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 193, 72, 13},
    {kIdReplicateNote, 0, "STATIC", kBlocksNote, kNote, 0, 16, kTop + 222, 224, 56},
};
inline constexpr int kLengths[] = {kIdStepX, kIdStepY};
inline constexpr int kLengthUnits[] = {kIdStepXUnit, kIdStepYUnit};
}  // namespace replicate_layout

void ShowReplicateChoices(const IArrangeControls& controls, const TArrangeChoices& choices);
void ReadReplicateChoices(const IArrangeControls& controls, TArrangeChoices& choices);
void UpdateReplicateControls(const IArrangeControls& controls, const TArrangeChoices& choices);
// Find: the scheme, block size and anchor that the selection's designators say, shown in the
// controls (nothing changes when none is found); what was found, for the summary line.
std::string ShowFoundChannels(const IArrangeControls& controls,
                              const std::vector<TDbxComponent>& selection);

// The order and the angles come from the reference channel.
inline constexpr TArrangePanel kReplicatePanel{TArrangePattern::Replicate,
                                               " Replicate ",
                                               replicate_layout::kPatternButton,
                                               replicate_layout::kControls,
                                               replicate_layout::kLengths,
                                               replicate_layout::kLengthUnits,
                                               false,
                                               nullptr,
                                               &ShowReplicateChoices,
                                               &ReadReplicateChoices,
                                               &UpdateReplicateControls};

}  // namespace kordane::ui
