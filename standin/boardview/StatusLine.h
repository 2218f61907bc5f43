// The board view's status bar as one line of text: a read error first when there is one (the
// picture is then the last good board), the pointer's board coordinates in the board's units,
// the item under the pointer, the grid step and the size of the selection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "BoardScene.h"

namespace standin::boardview {

struct StatusInfo {
  std::optional<std::string> error;
  std::optional<std::string> note;  // what the last action could not do, e.g. write the file
  std::int32_t units = kUnitsMils;
  std::optional<Point> pointer;      // board point under the pointer, while it is in the view
  std::optional<std::string> under;  // label of the item under the pointer
  double gridStep = 0;               // database units
  std::size_t selected = 0;
  std::size_t items = 0;
};

// E.g. "X 1000.0  Y -250.5 mils | R12 | grid 100 mils | 14 of 22 selected".
std::string StatusText(const StatusInfo& info);

// A length of a whole number of steps in the board's units, shortest form: "100", "0.5", "2.54".
std::string StepText(double dbUnits, std::int32_t units);

}  // namespace standin::boardview
