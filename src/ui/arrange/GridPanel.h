// Grid: each group in columns and rows.
#pragma once

#include "ui/arrange/ArrangePanel.h"

namespace kordane::ui {

enum GridControlId : int {
  kIdPatternGrid = 402,
  kIdColumnsLabel = 430,
  kIdColumns,
  kIdPitchXLabel,
  kIdPitchX,
  kIdPitchXUnit,
  kIdPitchYLabel,
  kIdPitchY,
  kIdPitchYUnit,
  kIdFillLabel,
  kIdFill,
  kIdStartLabel,
  kIdStart,
  kIdSnake,
  kIdTurnOddRows,
  kIdStagger,
  kIdGridKeepFirst,  // one choice with Circle's
};

namespace grid_layout {
using namespace arrange_style;
inline constexpr int kTop = kPanelTop;
inline constexpr ControlSpec kPatternButton[] = {
    {kIdPatternGrid, 0, "BUTTON", "&Grid", kVisible | kRadio, 0, 124, 50, 46, 17}};
inline constexpr ControlSpec kControls[] = {
    {kIdColumnsLabel, 0, "STATIC", "Colum&ns", kLabel, 0, 16, kTop + 23, 80, 13},
    {kIdColumns, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 20, 64, 21},
    {kIdPitchXLabel, 0, "STATIC", "Pitch &X", kLabel, 0, 16, kTop + 49, 80, 13},
    {kIdPitchX, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 46, 64, 21},
    {kIdPitchXUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 49, 72, 13},
    {kIdPitchYLabel, 0, "STATIC", "Pitch &Y", kLabel, 0, 16, kTop + 75, 80, 13},
    {kIdPitchY, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 72, 64, 21},
    {kIdPitchYUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 75, 72, 13},
    {kIdFillLabel, 0, "STATIC", "F&ill", kLabel, 0, 16, kTop + 101, 80, 13},
    {kIdFill, 0, "COMBOBOX", "", kList, 0, 100, kTop + 98, 140, 21},
    {kIdStartLabel, 0, "STATIC", "S&tart", kLabel, 0, 16, kTop + 127, 80, 13},
    {kIdStart, 0, "COMBOBOX", "", kList, 0, 100, kTop + 124, 140, 21},
    {kIdSnake, 0, "BUTTON", "Sna&ke", kCheck, 0, 16, kTop + 152, 200, 17},
    {kIdTurnOddRows, 0, "BUTTON", "Tu&rn every other row by 180\xB0", kCheck, 0, 16, kTop + 174,
     224, 17},
    {kIdStagger, 0, "BUTTON", "Stagger e&very other line", kCheck, 0, 16, kTop + 196, 224, 17},
    {kIdGridKeepFirst, 0, "BUTTON", "Kee&p the first in place", kCheck, 0, 16, kTop + 218, 224, 17},
};
inline constexpr int kLengths[] = {kIdPitchX, kIdPitchY};
inline constexpr int kLengthUnits[] = {kIdPitchXUnit, kIdPitchYUnit};
}  // namespace grid_layout

void FillGridLists(const IArrangeControls& controls);
void ShowGridChoices(const IArrangeControls& controls, const TArrangeChoices& choices);
void ReadGridChoices(const IArrangeControls& controls, TArrangeChoices& choices);

inline constexpr TArrangePanel kGridPanel{TArrangePattern::Grid,
                                          " Grid ",
                                          grid_layout::kPatternButton,
                                          grid_layout::kControls,
                                          grid_layout::kLengths,
                                          grid_layout::kLengthUnits,
                                          true,
                                          &FillGridLists,
                                          &ShowGridChoices,
                                          &ReadGridChoices,
                                          nullptr};

}  // namespace kordane::ui
