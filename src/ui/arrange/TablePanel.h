// From a table: each selected part placed where a placement table's row of its designator says,
// and the selection written to such a table.
#pragma once

#include <string>

#include "placement/PlacementTable.h"
#include "ui/arrange/ArrangePanel.h"

namespace kordane::ui {

enum TableControlId : int {
  kIdPatternTable = 414,
  kIdTableFileLabel = 580,
  kIdTableFile,
  kIdTableBrowse,
  kIdTableUnitsLabel,
  kIdTableUnits,
  kIdTableOriginXLabel,
  kIdTableOriginX,
  kIdTableOriginXUnit,
  kIdTableOriginYLabel,
  kIdTableOriginY,
  kIdTableOriginYUnit,
  kIdTableExport,
  kIdTableNote,
};

namespace table_layout {
using namespace arrange_style;
inline constexpr int kTop = kPanelTop;
inline constexpr ControlSpec kPatternButton[] = {
    {kIdPatternTable, 0, "BUTTON", "&From a table", kVisible | kRadio, 0, 124, 94, 110, 17}};
inline constexpr ControlSpec kControls[] = {
    {kIdTableFileLabel, 0, "STATIC", "F&ile", kLabel, 0, 16, kTop + 23, 40, 13},
    {kIdTableFile, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 60, kTop + 20, 180, 21},
    {kIdTableBrowse, 0, "BUTTON", "B&rowse...", kPushButton, 0, 160, kTop + 45, 80, 23},
    {kIdTableUnitsLabel, 0, "STATIC", "U&nits", kLabel, 0, 16, kTop + 77, 80, 13},
    {kIdTableUnits, 0, "COMBOBOX", "", kList, 0, 100, kTop + 73, 64, 21},
    {kIdTableOriginXLabel, 0, "STATIC", "Origin &X", kLabel, 0, 16, kTop + 103, 80, 13},
    {kIdTableOriginX, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 100, 64, 21},
    {kIdTableOriginXUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 103, 72, 13},
    {kIdTableOriginYLabel, 0, "STATIC", "Origin &Y", kLabel, 0, 16, kTop + 129, 80, 13},
    {kIdTableOriginY, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, kTop + 126, 64, 21},
    {kIdTableOriginYUnit, 0, "STATIC", "", kNote, 0, 168, kTop + 129, 72, 13},
    {kIdTableExport, 0, "BUTTON", "Ex&port selection", kPushButton, 0, 16, kTop + 156, 120, 23},
    {kIdTableNote, 0, "STATIC",
     "Each row places the selected part of its designator; Units is the table's unit where it "
     "names none, Origin where its (0, 0) lies.",
     kNote, 0, 16, kTop + 190, 224, 56},
};
inline constexpr int kLengths[] = {kIdTableOriginX, kIdTableOriginY};
inline constexpr int kLengthUnits[] = {kIdTableOriginXUnit, kIdTableOriginYUnit};
}  // namespace table_layout

void FillTableLists(const IArrangeControls& controls);
void ShowTableChoices(const IArrangeControls& controls, const TArrangeChoices& choices);
void ReadTableChoices(const IArrangeControls& controls, TArrangeChoices& choices);
void UpdateTableControls(const IArrangeControls& controls, const TArrangeChoices& choices);

// The order and the angles come from the table.
inline constexpr TArrangePanel kTablePanel{TArrangePattern::Table,
                                           " From a table ",
                                           table_layout::kPatternButton,
                                           table_layout::kControls,
                                           table_layout::kLengths,
                                           table_layout::kLengthUnits,
                                           false,
                                           &FillTableLists,
                                           &ShowTableChoices,
                                           &ReadTableChoices,
                                           &UpdateTableControls};

// The file as read now: the table, or why it was not read (named with the system's reason).
TTableFile ReadTableFile(const std::string& path);
// Whether two readings show the same content.
bool SameTableContent(const TTableFile& a, const TTableFile& b);
// The standard Open dialog over the tables; the file chosen goes into the File field.
void BrowseForTable(HWND owner, HWND fileField);
// Writes text to the file, after asking "Replace <path>?" when it exists. False when the user
// kept the file or it could not be written, which a message box names with the system's reason.
bool WriteTableFile(HWND owner, const std::string& path, const std::string& text);

}  // namespace kordane::ui
