// Component records for the core's tests, written the short way.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "host/Dbx32.h"

namespace kordane::testing {

inline TDbxComponent Part(const std::string& refDes, std::int32_t x, std::int32_t y,
                          std::int32_t rotation) {
  TDbxComponent part{};
  part.SetRefDes(refDes);
  part.SetX(x);
  part.SetY(y);
  part.SetRotation(rotation);
  return part;
}

// "U101 0 0 0, R101 100 0 900": designators with x, y and rotation.
inline std::vector<TDbxComponent> Records(const std::string& text) {
  std::vector<TDbxComponent> records;
  std::istringstream parts(text);
  for (std::string part; std::getline(parts, part, ',');) {
    std::istringstream fields(part);
    std::string refDes;
    std::int32_t x = 0, y = 0, rotation = 0;
    fields >> refDes >> x >> y >> rotation;
    records.push_back(Part(refDes, x, y, rotation));
  }
  return records;
}

}  // namespace kordane::testing
