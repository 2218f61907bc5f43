#include "placement/CompSort.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <utility>

#include "host/Conversions.h"

namespace kordane {

namespace {

constexpr const char* kRefDesErrorPrefix = "Error converting RefDes: ";

bool IsDecimalDigit(char c) {
  return c >= '0' && c <= '9';
}

// The split itself, without reporting.
TRefDes SplitQuietly(const std::string& designator) {
  std::size_t digitsStart = designator.size();
  while (digitsStart > 0 && IsDecimalDigit(designator[digitsStart - 1])) {
    --digitsStart;
  }
  TRefDes result;
  result.prefix = designator.substr(0, digitsStart);
  const std::string digits = designator.substr(digitsStart);
  if (!digits.empty()) {
    try {
      result.number = ParseInt(digits);
    } catch (const ConversionError&) {
      // Beyond 2147483647: no number, like an empty digit run.
    }
  }
  return result;
}

void Report(IRefDesReporter& reporter, const std::string& designator) {
  reporter.ReportRefDesError(kRefDesErrorPrefix + designator);
}

// A designator without a number sorts before every numbered one, and such designators are
// equal among themselves (they end in the reverse of their previous order, like equal numbers).
constexpr std::int64_t kNoNumberKey = std::numeric_limits<std::int64_t>::min();

std::int64_t NumberKey(const TRefDes& split) {
  return split.number ? *split.number : kNoNumberKey;
}

}  // namespace

TRefDes SplitRefDes(const std::string& designator, IRefDesReporter& reporter) {
  TRefDes result = SplitQuietly(designator);
  if (!result.number) {
    Report(reporter, designator);
  }
  return result;
}

TCompTypeList::TCompTypeList(std::string prefix, IRefDesReporter& reporter)
    : prefix_(std::move(prefix)), reporter_(reporter) {}

bool TCompTypeList::AddComponent(TDbxComponent* component) {
  const TRefDes split = SplitRefDes(component->RefDes(), reporter_);
  if (split.prefix != prefix_) {
    return false;
  }
  Append(component, split);
  return true;
}

void TCompTypeList::Append(TDbxComponent* component, const TRefDes& split) {
  components_.push_back(component);
  numbers_.push_back({component->RefDes(), NumberKey(split)});
}

void TCompTypeList::RefreshNumbers() {
  for (std::size_t i = 0; i < components_.size(); ++i) {
    const std::string_view designator = components_[i]->RefDesView();
    TSplitNumber& number = numbers_[i];
    if (designator != number.designator) {
      number.designator.assign(designator);
      number.key = NumberKey(SplitQuietly(number.designator));
    }
  }
}

TDbxComponent* TCompTypeList::GetItem(std::int32_t index) const {
  if (index < 0 || index >= Count()) {
    return nullptr;
  }
  return components_[static_cast<std::size_t>(index)];
}

void TCompTypeList::ReorderByKeys(const std::vector<std::int64_t>& keys) {
  // Each member's place is fixed by its key and then by its previous index, reversed; the pairs
  // are distinct, so any sort gives the one order.
  struct Ranked {
    std::int64_t key;
    std::size_t index;
  };
  const std::size_t n = components_.size();
  std::vector<Ranked> ranked(n);
  for (std::size_t i = 0; i < n; ++i) {
    ranked[i] = {keys[i], i};
  }
  std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
    return a.key != b.key ? a.key < b.key : a.index > b.index;
  });
  std::vector<TDbxComponent*> components(n);
  std::vector<TSplitNumber> numbers(n);
  for (std::size_t i = 0; i < n; ++i) {
    components[i] = components_[ranked[i].index];
    numbers[i] = std::move(numbers_[ranked[i].index]);
  }
  components_ = std::move(components);
  numbers_ = std::move(numbers);
}

void TCompTypeList::SortByPosition(std::int32_t axis) {
  std::vector<std::int64_t> keys;
  keys.reserve(components_.size());
  for (const TDbxComponent* component : components_) {
    keys.push_back(axis == kAxisX ? component->X() : component->Y());
  }
  ReorderByKeys(keys);
}

void TCompTypeList::SortByNumber() {
  // The insertion the order stands for splits designators at set moments, and each split of a
  // designator without a number is reported; those moments are replayed here from one split of
  // each designator as its record stands (nothing changes a record while a group is ordered).
  // Designators without a number sort first, so at every step they form the front of the list,
  // newest first.
  RefreshNumbers();
  const std::size_t n = components_.size();
  std::vector<std::int64_t> keys(n);
  for (std::size_t i = 0; i < n; ++i) {
    keys[i] = numbers_[i].key;
  }
  const auto fails = [&keys](std::size_t i) { return keys[i] == kNoNumberKey; };
  const auto report = [this](std::size_t i) { Report(reporter_, components_[i]->RefDes()); };

  std::size_t first = 0;  // members at the ends of the list built so far
  std::size_t last = 0;
  std::vector<std::size_t> failingTaken;  // in the order taken; the list holds them reversed
  if (n > 0 && fails(0)) {
    failingTaken.push_back(0);
  }
  for (std::size_t j = 1; j < n; ++j) {
    if (fails(j)) {
      report(j);
    }
    if (fails(last)) {
      report(last);
    }
    if (keys[last] < keys[j]) {
      last = j;  // appended
    } else if (fails(j)) {
      // The walk from the front stops at the first element: every key is at or above this one.
      if (fails(first)) {
        report(first);
      }
    } else {
      // The walk passes every member without a number before it meets a numbered one.
      for (auto it = failingTaken.rbegin(); it != failingTaken.rend(); ++it) {
        report(*it);
      }
    }
    if (keys[j] <= keys[first]) {
      first = j;
    }
    if (fails(j)) {
      failingTaken.push_back(j);
    }
  }
  ReorderByKeys(keys);
}

TSortedComp::TSortedComp(IRefDesReporter& reporter) : reporter_(reporter) {}

void TSortedComp::AddComponent(TDbxComponent* component) {
  // Split once; the group's own split of the same designator is replayed by reporting again.
  const std::string designator = component->RefDes();
  const TRefDes split = SplitRefDes(designator, reporter_);
  const auto at =
      std::lower_bound(groups_.begin(), groups_.end(), split.prefix,
                       [](const std::unique_ptr<TCompTypeList>& group, const std::string& prefix) {
                         return group->Prefix() < prefix;
                       });
  if (!split.number) {
    Report(reporter_, designator);
  }
  if (at != groups_.end() && (*at)->Prefix() == split.prefix) {
    (*at)->Append(component, split);
    return;
  }
  auto group = std::make_unique<TCompTypeList>(split.prefix, reporter_);
  group->Append(component, split);
  const auto position = static_cast<std::size_t>(at - groups_.begin());
  groups_.insert(at, std::move(group));
  // Same result as RebuildPrefixes, without copying every prefix again.
  prefixes_.insert(prefixes_.begin() + static_cast<std::ptrdiff_t>(position), split.prefix);
}

TCompTypeList* TSortedComp::FindGroup(const std::string& prefix) const {
  const auto at =
      std::lower_bound(groups_.begin(), groups_.end(), prefix,
                       [](const std::unique_ptr<TCompTypeList>& group, const std::string& wanted) {
                         return group->Prefix() < wanted;
                       });
  if (at == groups_.end() || (*at)->Prefix() != prefix) {
    return nullptr;
  }
  return at->get();
}

void TSortedComp::RebuildPrefixes() {
  prefixes_.clear();
  for (const auto& group : groups_) {
    prefixes_.push_back(group->Prefix());
  }
}

}  // namespace kordane
