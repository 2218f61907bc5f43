#include "StatusLine.h"

#include <cstdio>

#include "ViewTransform.h"

namespace standin::boardview {

std::string StepText(double dbUnits, std::int32_t units) {
  char text[64];
  std::snprintf(text, sizeof text, "%.6g", dbUnits / UnitLength(units));
  return text;
}

std::string StatusText(const StatusInfo& info) {
  std::string text;
  const auto part = [&text](const std::string& piece) {
    if (!text.empty()) {
      text += " | ";
    }
    text += piece;
  };
  if (info.error) {
    part(*info.error + " (showing the last good board)");
  }
  if (info.note) {
    part(*info.note);
  }
  const std::string unit = UnitName(info.units);
  if (info.pointer) {
    part("X " + LengthText(info.pointer->x, info.units) + "  Y " +
         LengthText(info.pointer->y, info.units) + " " + unit);
  }
  if (info.under) {
    part(*info.under);
  }
  if (info.gridStep > 0) {
    part("grid " + StepText(info.gridStep, info.units) + " " + unit);
  }
  part(std::to_string(info.selected) + " of " + std::to_string(info.items) + " selected");
  return text;
}

}  // namespace standin::boardview
