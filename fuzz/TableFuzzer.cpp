// The placement table reader over any text: it never crashes or hangs, a table it reads either
// is refused with a message naming a line or gives every row a target within 32 bits, and each
// place written in any unit reads back to the same database unit.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "host/Conversions.h"
#include "placement/PlacementTable.h"

namespace kordane::fuzz {
namespace {

void Check(FuzzedDataProvider& data) {
  const auto unit = static_cast<TTableUnit>(data.ConsumeIntegralInRange<int>(0, 2));
  const std::int32_t originX = data.ConsumeIntegral<std::int32_t>();
  const std::int64_t place = data.ConsumeIntegral<std::int64_t>() >> 28;
  const std::string written = TableLengthText(place, unit);
  const auto back = ReadPlacementTable("Ref,X,Y\nR1," + written + ",0\n");
  FUZZ_CHECK(back->rows.size() == 1 && TableLengthToDb(back->rows[0].x, unit) == place, written);

  const auto table = ReadPlacementTable(data.ConsumeRemainingBytesAsString());
  if (!table->error.empty()) {
    FUZZ_CHECK(table->rows.empty(), table->error);
    return;
  }
  std::vector<TTableTarget> targets;
  try {
    targets = ResolveTable(*table, unit, originX, 0);
  } catch (const ConversionError& error) {
    FUZZ_CHECK(std::string(error.what()).rfind("line ", 0) == 0, error.what());
    return;
  }
  FUZZ_CHECK(targets.size() == table->rows.size(), "a row without a target");
  std::vector<TReplicatePart> parts;
  for (const TTableTarget& target : targets) parts.push_back({target.designator, {}});
  const TTablePlan plan = PlanFromTable(parts, targets);
  FUZZ_CHECK(plan.targets.size() == parts.size(), "a part without a target");
}

}  // namespace
}  // namespace kordane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  kordane::fuzz::Check(data);
  return 0;
}
