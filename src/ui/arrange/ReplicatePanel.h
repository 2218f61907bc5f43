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
};

namespace replicate_layout {
using namespace arrange_style;
inline constexpr int kTop = kPanelTop;
inline constexpr ControlSpec kPatternButton[] = {
    {kIdPatternReplicate, 0, "BUTTON", "Replicat&e", kVisible | kRadio, 0, 174, 50, 68, 17}};
inline constexpr ControlSpec kControls[] = {
    {kIdBlockSizeLabel, 0, "STATIC", "Block si&ze", kLabel, 0, 16, kTop + 23, 80, 13},
    {kIdBlockSize, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 20, 64, 21},
    {kIdAnchorLabel, 0, "STATIC", "A&nchor", kLabel, 0, 16, kTop + 49, 80, 13},
    {kIdAnchor, 0, "COMBOBOX", "", kEditableList, 0, 100, kTop + 46, 140, 21},
    {kIdAtChannelAnchors, 0, "BUTTON", "At each channel's ancho&r", kFirstRadio, 0, 16, kTop + 74,
     200, 17},
    {kIdInSteps, 0, "BUTTON", "In ste&ps", kRadio, 0, 16, kTop + 96, 200, 17},
    {kIdStepXLabel, 0, "STATIC", "Step &X", kLabel, 0, 32, kTop + 123, 64, 13},
    {kIdStepX, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 120, 64, 21},
    {kIdStepXUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 123, 72, 13},
    {kIdStepYLabel, 0, "STATIC", "Step &Y", kLabel, 0, 32, kTop + 149, 64, 13},
    {kIdStepY, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 146, 64, 21},
    {kIdStepYUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 149, 72, 13},
    {kIdReplicateNote, 0, "STATIC",
     "Channel = number / block size, role = prefix and the rest: with 100, R205 is channel 2's "
     "R5; with 1, D7 goes with SW7.",
     kNote, 0, 16, kTop + 178, 224, 56},
};
inline constexpr int kLengths[] = {kIdStepX, kIdStepY};
inline constexpr int kLengthUnits[] = {kIdStepXUnit, kIdStepYUnit};
}  // namespace replicate_layout

void ShowReplicateChoices(const IArrangeControls& controls, const TArrangeChoices& choices);
void ReadReplicateChoices(const IArrangeControls& controls, TArrangeChoices& choices);
void UpdateReplicateControls(const IArrangeControls& controls, const TArrangeChoices& choices);

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
