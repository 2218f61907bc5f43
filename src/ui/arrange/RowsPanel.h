// "Rows or columns": the main window's run with the main window's present choices.
#pragma once

#include "ui/arrange/ArrangePanel.h"

namespace kordane::ui {

enum RowsControlId : int {
  kIdPatternRows = 401,
  kIdRowsNote = 420,
};

namespace rows_layout {
using namespace arrange_style;
inline constexpr ControlSpec kPatternButton[] = {
    {kIdPatternRows, 0, "BUTTON", "Ro&ws or columns", kVisible | kFirstRadio, 0, 16, 50, 104, 17}};
inline constexpr ControlSpec kControls[] = {
    {kIdRowsNote, 0, "STATIC",
     "The main window's run, with the main window's present choices: Apply is its Go.", kNote, 0,
     16, kPanelTop + 20, 224, 42}};
}  // namespace rows_layout

// Order and turn are the main window's; the panel only explains.
inline constexpr TArrangePanel kRowsPanel{TArrangePattern::RowsOrColumns,
                                          " Rows or columns ",
                                          rows_layout::kPatternButton,
                                          rows_layout::kControls,
                                          {},
                                          {},
                                          false,
                                          nullptr,
                                          nullptr,
                                          nullptr,
                                          nullptr};

}  // namespace kordane::ui
