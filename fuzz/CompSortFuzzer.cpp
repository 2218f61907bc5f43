// Grouping and orders against the literal insertions of the program's rules: SplitRefDes, the
// groups in prefix order, SortByPosition and SortByNumber, each with the RefDes messages in the
// order those insertions show them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "ReferenceModels.h"
#include "host/Dbx32.h"
#include "placement/CompSort.h"

namespace kordane::fuzz {
namespace {

class Messages : public IRefDesReporter {
 public:
  void ReportRefDesError(const std::string& message) override { list.push_back(message); }
  std::vector<std::string> list;
};

std::string ShownList(const std::vector<std::string>& list) {
  std::string shown;
  for (const std::string& entry : list) shown += "\n    " + Shown(entry);
  return shown;
}

// A designator: mostly a prefix from a few letters (so that groups fill up) and a digit run that
// may be empty or too large; sometimes any 100 bytes, which need not end in a NUL.
void WriteDesignator(FuzzedDataProvider& data, TDbxComponent& record) {
  std::memset(record.bytes + TDbxComponent::kRefDesOffset, 0, TDbxComponent::kRefDesSize);
  if (data.ConsumeIntegralInRange<int>(0, 9) == 0) {
    const std::vector<std::uint8_t> raw =
        data.ConsumeBytes<std::uint8_t>(data.ConsumeIntegralInRange<std::size_t>(0, 100));
    std::copy(raw.begin(), raw.end(), record.bytes + TDbxComponent::kRefDesOffset);
    return;
  }
  static const std::vector<std::string> kPrefixes = {"",  "R",    "C",    "CR", "r", "U1A",
                                                     "U", "RN1-", "\xE9", "R_", "C0"};
  std::string designator = TextFrom(data, kPrefixes, 6);
  static const std::vector<std::string> kNumbers = {
      "", "1", "2", "10", "007", "9", "2147483647", "2147483648", "99999999999"};
  designator += TextFrom(data, kNumbers, 12);
  record.SetRefDes(designator);
}

// The model's view of the program's groups must be the program's, member by member.
void CheckGroups(const TSortedComp& sorted, const model::SortedComp& model) {
  FUZZ_CHECK(sorted.Prefixes() == model.prefixes, "prefixes differ");
  FUZZ_CHECK(sorted.Groups().size() == model.groups.size(), "group counts differ");
  for (std::size_t g = 0; g < model.groups.size(); ++g) {
    const TCompTypeList& group = *sorted.Groups()[g];
    FUZZ_CHECK(group.Prefix() == model.groups[g].prefix, "group " + std::to_string(g));
    FUZZ_CHECK(group.Components() == model.groups[g].components,
               "members of group " + Shown(group.Prefix()));
    FUZZ_CHECK(sorted.FindGroup(group.Prefix()) == &group, "FindGroup " + Shown(group.Prefix()));
    FUZZ_CHECK(group.GetItem(-1) == nullptr && group.GetItem(group.Count()) == nullptr,
               "GetItem out of range");
    for (std::int32_t i = 0; i < group.Count(); ++i) {
      FUZZ_CHECK(group.GetItem(i) == model.groups[g].components[static_cast<std::size_t>(i)],
                 "GetItem");
    }
  }
}

void CheckMessages(const Messages& program, const std::vector<std::string>& model,
                   const std::string& when) {
  FUZZ_CHECK(program.list == model, "RefDes messages of " + when + ":" + ShownList(program.list) +
                                        "\n  expected:" + ShownList(model));
}

void CheckSplit(const std::string& designator) {
  Messages messages;
  const TRefDes split = SplitRefDes(designator, messages);
  const model::Split model = model::SplitOf(designator);
  FUZZ_CHECK(designator.compare(0, split.prefix.size(), split.prefix) == 0,
             "prefix " + Shown(split.prefix) + " does not begin " + Shown(designator));
  FUZZ_CHECK(split.prefix == model.prefix, "prefix of " + Shown(designator));
  FUZZ_CHECK(split.number == model.number, "number of " + Shown(designator));
  const std::vector<std::string> expected =
      split.number ? std::vector<std::string>{}
                   : std::vector<std::string>{model::RefDesMessage(designator)};
  CheckMessages(messages, expected, "SplitRefDes");
}

}  // namespace
}  // namespace kordane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kordane;
  using namespace kordane::fuzz;
  FuzzedDataProvider input(data, size);

  const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 40);
  std::vector<std::unique_ptr<TDbxComponent>> records;
  for (std::size_t i = 0; i < count; ++i) {
    auto record = std::make_unique<TDbxComponent>();
    std::memset(record->bytes, 0, sizeof record->bytes);
    WriteDesignator(input, *record);
    // Few distinct places, so that equal coordinates are common.
    record->SetX(input.ConsumeBool() ? input.ConsumeIntegralInRange<std::int32_t>(-3, 3)
                                     : Int32Near(input, 0));
    record->SetY(input.ConsumeBool() ? input.ConsumeIntegralInRange<std::int32_t>(-3, 3)
                                     : Int32Near(input, 0));
    CheckSplit(record->RefDes());
    records.push_back(std::move(record));
  }

  Messages messages;
  TSortedComp sorted(messages);
  std::vector<std::string> modelMessages;
  const model::Splitter split(modelMessages);
  model::SortedComp model;
  for (const auto& record : records) {
    sorted.AddComponent(record.get());
    model.AddComponent(record.get(), split);
    CheckMessages(messages, modelMessages, "AddComponent of " + Shown(record->RefDes()));
  }
  CheckGroups(sorted, model);
  FUZZ_CHECK(sorted.FindGroup("\x01not a prefix") == nullptr ||
                 sorted.FindGroup("\x01not a prefix")->Prefix() == "\x01not a prefix",
             "FindGroup of a missing prefix");

  // Orders, in any sequence, over any group: each starts from the order the last one left.
  for (int step = 0; step < 12 && input.remaining_bytes() > 0 && !model.groups.empty(); ++step) {
    const std::size_t g = input.ConsumeIntegralInRange<std::size_t>(0, model.groups.size() - 1);
    TCompTypeList& group = *sorted.Groups()[g];
    messages.list.clear();
    modelMessages.clear();
    switch (input.ConsumeIntegralInRange<int>(0, 3)) {
      case 0: {
        group.SortByNumber();
        model::SortByNumber(model.groups[g], split);
        CheckMessages(messages, modelMessages, "SortByNumber of " + Shown(group.Prefix()));
        break;
      }
      case 1:
      case 2: {
        const std::int32_t axis = input.ConsumeBool() ? input.ConsumeIntegralInRange<int>(1, 2)
                                                      : input.ConsumeIntegral<std::int32_t>();
        group.SortByPosition(axis);
        model::SortByPosition(model.groups[g], axis);
        CheckMessages(messages, {}, "SortByPosition");
        break;
      }
      default:
        sorted.RebuildPrefixes();
        model.RebuildPrefixes();
        break;
    }
    CheckGroups(sorted, model);
  }
  return 0;
}
