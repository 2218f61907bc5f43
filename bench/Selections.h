// Selections the benchmarks time: realistic mixes of components, from memory.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "host/Dbx32.h"

namespace kordane::bench {

// A realistic mix: most components in a few large groups, in no order.
inline std::vector<kordane::TDbxComponent> MakeSelection(std::int64_t count) {
  const char* prefixes[] = {"R", "R", "R", "R", "C", "C", "C", "U", "D", "LED"};
  std::mt19937 random(11u);
  std::vector<kordane::TDbxComponent> selection(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < selection.size(); ++i) {
    selection[i].SetRefDes(prefixes[random() % 10] + std::to_string(i + 1));
    selection[i].SetX(static_cast<std::int32_t>(random() % 10000000));
    selection[i].SetY(static_cast<std::int32_t>(random() % 10000000));
    selection[i].SetRotation(static_cast<std::int32_t>(random() % 4) * 900);
  }
  return selection;
}

}  // namespace kordane::bench
