// Grouping of captured components by designator prefix, and the orders of a group.
//
// A designator splits into a prefix (everything before its trailing decimal digits) and the
// number those digits make. Groups are kept in prefix order, compared byte by byte as unsigned
// values (a text that is a proper beginning of another sorts first: C, CR, R, c), which is
// exactly std::string's ordering.
//
// A designator whose number does not convert is reported at every moment a split of it is due,
// even where the split result itself is taken from an earlier split of the same operation.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/Dbx32.h"

namespace kordane {

// Receives "Error converting RefDes: <designator>"; the window shows it as a modal error box.
class IRefDesReporter {
 public:
  virtual ~IRefDesReporter() = default;
  virtual void ReportRefDesError(const std::string& message) = 0;
};

struct TRefDes {
  std::string prefix;
  std::optional<std::int32_t> number;  // empty when the trailing digits do not convert
};

// The prefix is produced in any case; a missing or out-of-range number is reported.
TRefDes SplitRefDes(const std::string& designator, IRefDesReporter& reporter);

// Axis codes of SortByPosition.
inline constexpr std::int32_t kAxisX = 1;
inline constexpr std::int32_t kAxisY = 2;

// One group: the components of one prefix. Refers to records it does not own.
class TCompTypeList {
 public:
  TCompTypeList(std::string prefix, IRefDesReporter& reporter);
  TCompTypeList(const TCompTypeList&) = delete;
  TCompTypeList& operator=(const TCompTypeList&) = delete;

  // Appends the record when its designator's prefix is this group's; true when appended.
  bool AddComponent(TDbxComponent* component);

  std::int32_t Count() const { return static_cast<std::int32_t>(components_.size()); }
  // Null for an index below 0 or at or beyond Count.
  TDbxComponent* GetItem(std::int32_t index) const;

  // Ascending by X (axis 1) or Y (any other axis); equal coordinates end in the reverse of their
  // previous order.
  void SortByPosition(std::int32_t axis);
  // Ascending by designator number, equal numbers in the reverse of their previous order.
  void SortByNumber();

  const std::vector<TDbxComponent*>& Components() const { return components_; }
  const std::string& Prefix() const { return prefix_; }

 private:
  friend class TSortedComp;
  // A member's designator as it was last split, and the sort key of its number.
  struct TSplitNumber {
    std::string designator;
    std::int64_t key;
  };

  void Append(TDbxComponent* component, const TRefDes& split);
  // Splits again every designator that the host rewrote (through the record's address) since it
  // was last split, so that the keys follow the records as they stand.
  void RefreshNumbers();
  // Ascending by keys[i] with ties reversed: the result of taking the members one by one into a
  // list, appending after a smaller last key and otherwise inserting before the first key at or
  // above it, without that insertion's quadratic cost.
  void ReorderByKeys(const std::vector<std::int64_t>& keys);

  std::vector<TDbxComponent*> components_;
  // One per member, in the order of components_.
  std::vector<TSplitNumber> numbers_;
  std::string prefix_;
  IRefDesReporter& reporter_;
};

// The groups of one run, ascending by prefix. Owns its groups.
class TSortedComp {
 public:
  explicit TSortedComp(IRefDesReporter& reporter);
  TSortedComp(const TSortedComp&) = delete;
  TSortedComp& operator=(const TSortedComp&) = delete;

  // Files the record into the group of its prefix, creating the group when there is none.
  void AddComponent(TDbxComponent* component);
  // The group whose prefix equals prefix, or null.
  TCompTypeList* FindGroup(const std::string& prefix) const;
  // Prefixes := every group's prefix in group order.
  void RebuildPrefixes();

  const std::vector<std::unique_ptr<TCompTypeList>>& Groups() const { return groups_; }
  const std::vector<std::string>& Prefixes() const { return prefixes_; }

 private:
  std::vector<std::unique_ptr<TCompTypeList>> groups_;
  std::vector<std::string> prefixes_;
  IRefDesReporter& reporter_;
};

}  // namespace kordane
