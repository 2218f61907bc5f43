// Distribute: each group spread evenly between its outermost members.
#pragma once

#include "ui/arrange/ArrangePanel.h"

namespace kordane::ui {

enum DistributeControlId : int {
  kIdPatternDistribute = 403,
  kIdDistributeHorizontal = 450,
  kIdDistributeVertical,
  kIdLineUp,
};

namespace distribute_layout {
using namespace arrange_style;
inline constexpr int kTop = kPanelTop;
inline constexpr ControlSpec kPatternButton[] = {
    {kIdPatternDistribute, 0, "BUTTON", "Distri&bute", kVisible | kRadio, 0, 16, 72, 76, 17}};
inline constexpr ControlSpec kControls[] = {
    {kIdDistributeHorizontal, 0, "BUTTON", "&Horizontal", kFirstRadio, 0, 16, kTop + 22, 100, 17},
    {kIdDistributeVertical, 0, "BUTTON", "&Vertical", kRadio, 0, 16, kTop + 44, 100, 17},
    {kIdLineUp, 0, "BUTTON", "Li&ne up too", kCheck, 0, 16, kTop + 70, 200, 17},
};
}  // namespace distribute_layout

void ShowDistributeChoices(const IArrangeControls& controls, const TArrangeChoices& choices);
void ReadDistributeChoices(const IArrangeControls& controls, TArrangeChoices& choices);

inline constexpr TArrangePanel kDistributePanel{TArrangePattern::Distribute,
                                                " Distribute ",
                                                distribute_layout::kPatternButton,
                                                distribute_layout::kControls,
                                                {},
                                                {},
                                                true,
                                                nullptr,
                                                &ShowDistributeChoices,
                                                &ReadDistributeChoices,
                                                nullptr};

}  // namespace kordane::ui
