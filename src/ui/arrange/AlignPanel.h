// Align: each group lined up on its first, centre or last edge.
#pragma once

#include "ui/arrange/ArrangePanel.h"

namespace kordane::ui {

enum AlignControlId : int {
  kIdPatternAlign = 404,
  kIdAlignHorizontal = 460,
  kIdAlignVertical,
  kIdAlignFirst,
  kIdAlignCentre,
  kIdAlignLast,
};

namespace align_layout {
using namespace arrange_style;
inline constexpr int kTop = kPanelTop;
inline constexpr ControlSpec kPatternButton[] = {
    {kIdPatternAlign, 0, "BUTTON", "A&lign", kVisible | kRadio, 0, 96, 72, 54, 17}};
// The edges are named for the axis (update): Top and Bottom, or Left and Right.
inline constexpr ControlSpec kControls[] = {
    {kIdAlignHorizontal, 0, "BUTTON", "&Horizontal", kFirstRadio, 0, 16, kTop + 22, 96, 17},
    {kIdAlignVertical, 0, "BUTTON", "&Vertical", kRadio, 0, 16, kTop + 44, 96, 17},
    {kIdAlignFirst, 0, "BUTTON", "To&p", kFirstRadio, 0, 124, kTop + 22, 100, 17},
    {kIdAlignCentre, 0, "BUTTON", "Ce&ntre", kRadio, 0, 124, kTop + 44, 100, 17},
    {kIdAlignLast, 0, "BUTTON", "Bo&ttom", kRadio, 0, 124, kTop + 66, 100, 17},
};
inline constexpr const char* kLeft = "Lef&t";
inline constexpr const char* kRight = "&Right";
}  // namespace align_layout

void ShowAlignChoices(const IArrangeControls& controls, const TArrangeChoices& choices);
void ReadAlignChoices(const IArrangeControls& controls, TArrangeChoices& choices);
void UpdateAlignControls(const IArrangeControls& controls, const TArrangeChoices& choices);

inline constexpr TArrangePanel kAlignPanel{TArrangePattern::Align,
                                           " Align ",
                                           align_layout::kPatternButton,
                                           align_layout::kControls,
                                           {},
                                           {},
                                           true,
                                           nullptr,
                                           &ShowAlignChoices,
                                           &ReadAlignChoices,
                                           &UpdateAlignControls};

}  // namespace kordane::ui
