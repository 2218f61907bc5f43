#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "RecordingHost.h"
#include "placement/CompSort.h"

namespace kordane {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using testing::RecordingReporter;

std::string Message(const std::string& designator) {
  return "Error converting RefDes: " + designator;
}

// Records with stable addresses, as the run keeps them.
class Records {
 public:
  TDbxComponent* Add(const std::string& refDes, std::int32_t x = 0, std::int32_t y = 0) {
    records_.push_back(std::make_unique<TDbxComponent>());
    TDbxComponent* record = records_.back().get();
    record->SetRefDes(refDes);
    record->SetX(x);
    record->SetY(y);
    return record;
  }

 private:
  std::vector<std::unique_ptr<TDbxComponent>> records_;
};

std::vector<std::string> RefDesList(const TCompTypeList& group) {
  std::vector<std::string> names;
  for (const TDbxComponent* component : group.Components()) {
    names.push_back(component->RefDes());
  }
  return names;
}

struct SplitCase {
  std::string designator;
  std::string prefix;
  std::optional<std::int32_t> number;
};

TEST(SplitRefDesTest, SplitsTrailingDigitsAndReportsOnlyFailures) {
  const SplitCase cases[] = {
      {"R12", "R", 12},
      {"C100", "C", 100},
      {"R007", "R", 7},
      {"RN1-4", "RN1-", 4},
      {"123", "", 123},
      {"R2147483647", "R", 2147483647},
      {"U1A", "U1A", std::nullopt},
      {"", "", std::nullopt},
      {"R2147483648", "R", std::nullopt},
      {"R-5", "R-", 5},  // the sign belongs to the prefix
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.designator);
    RecordingReporter reporter;
    const TRefDes split = SplitRefDes(c.designator, reporter);
    EXPECT_EQ(split.prefix, c.prefix);
    EXPECT_EQ(split.number, c.number);
    if (c.number) {
      EXPECT_THAT(reporter.messages, IsEmpty());
    } else {
      EXPECT_THAT(reporter.messages, ElementsAre(Message(c.designator)));
    }
  }
}

TEST(TSortedCompTest, GroupsInByteWisePrefixOrder) {
  Records records;
  RecordingReporter reporter;
  TSortedComp sorted(reporter);
  for (const char* refDes : {"R1", "c1", "R2", "C1", "CR1", "r1",
                             "\xC4"
                             "1",
                             "z1", "123"}) {
    sorted.AddComponent(records.Add(refDes));
  }
  EXPECT_THAT(sorted.Prefixes(), ElementsAre("", "C", "CR", "R", "c", "r", "z", "\xC4"));
  ASSERT_EQ(sorted.Groups().size(), 8u);
  EXPECT_EQ(sorted.Groups()[3]->Prefix(), "R");
  EXPECT_THAT(RefDesList(*sorted.Groups()[3]), ElementsAre("R1", "R2"));
  EXPECT_THAT(reporter.messages, IsEmpty());
}

TEST(TSortedCompTest, FindGroupAndRebuildPrefixes) {
  Records records;
  RecordingReporter reporter;
  TSortedComp sorted(reporter);
  sorted.AddComponent(records.Add("R1"));
  sorted.AddComponent(records.Add("C1"));
  ASSERT_NE(sorted.FindGroup("R"), nullptr);
  EXPECT_EQ(sorted.FindGroup("R")->Prefix(), "R");
  EXPECT_EQ(sorted.FindGroup("r"), nullptr);
  EXPECT_EQ(sorted.FindGroup("RR"), nullptr);
  EXPECT_EQ(sorted.FindGroup(""), nullptr);
  const std::vector<std::string> before = sorted.Prefixes();
  sorted.RebuildPrefixes();
  EXPECT_EQ(sorted.Prefixes(), before);
}

TEST(TSortedCompTest, ReportsEachFailingDesignatorTwiceWhileGrouping) {
  Records records;
  RecordingReporter reporter;
  TSortedComp sorted(reporter);
  sorted.AddComponent(records.Add("U1A"));  // new group
  sorted.AddComponent(records.Add("R1"));
  sorted.AddComponent(records.Add("U1A"));  // existing group
  sorted.AddComponent(records.Add(""));
  EXPECT_THAT(reporter.messages, ElementsAre(Message("U1A"), Message("U1A"), Message("U1A"),
                                             Message("U1A"), Message(""), Message("")));
  EXPECT_THAT(sorted.Prefixes(), ElementsAre("", "R", "U1A"));
  EXPECT_EQ(sorted.FindGroup("U1A")->Count(), 2);
}

TEST(TCompTypeListTest, AddsOnlyItsOwnPrefix) {
  Records records;
  RecordingReporter reporter;
  TCompTypeList group("R", reporter);
  EXPECT_TRUE(group.AddComponent(records.Add("R5")));
  EXPECT_FALSE(group.AddComponent(records.Add("RN5")));
  EXPECT_FALSE(group.AddComponent(records.Add("r5")));
  EXPECT_FALSE(group.AddComponent(records.Add("RX")));
  EXPECT_THAT(reporter.messages, ElementsAre(Message("RX")));
  EXPECT_EQ(group.Count(), 1);
}

TEST(TCompTypeListTest, GetItemOutsideTheGroupIsNull) {
  Records records;
  RecordingReporter reporter;
  TCompTypeList group("R", reporter);
  EXPECT_EQ(group.GetItem(0), nullptr);
  TDbxComponent* r1 = records.Add("R1");
  group.AddComponent(r1);
  EXPECT_EQ(group.GetItem(0), r1);
  EXPECT_EQ(group.GetItem(-1), nullptr);
  EXPECT_EQ(group.GetItem(group.Count()), nullptr);
  EXPECT_EQ(group.GetItem(std::numeric_limits<std::int32_t>::min()), nullptr);
}

struct NumberOrderCase {
  const char* name;
  std::vector<std::string> before;
  std::vector<std::string> after;
};

TEST(TCompTypeListTest, SortByNumberOrders) {
  const NumberOrderCase cases[] = {
      {"ascending", {"R3", "R1", "R2"}, {"R1", "R2", "R3"}},
      {"numeric, not textual", {"R10", "R9", "R100"}, {"R9", "R10", "R100"}},
      {"single member", {"R7"}, {"R7"}},
      {"empty group", {}, {}},
      // Designators without a number come first, in the reverse of their previous order.
      {"no number first", {"R5", "R", "R99999999999", "R1"}, {"R99999999999", "R", "R1", "R5"}},
  };
  for (const NumberOrderCase& c : cases) {
    SCOPED_TRACE(c.name);
    Records records;
    RecordingReporter reporter;
    TCompTypeList group("R", reporter);
    for (const std::string& refDes : c.before) {
      group.AddComponent(records.Add(refDes));
    }
    group.SortByNumber();
    EXPECT_THAT(RefDesList(group), ElementsAreArray(c.after));
  }
}

TEST(TCompTypeListTest, SortByNumberPutsEqualNumbersInReverse) {
  Records records;
  RecordingReporter reporter;
  TCompTypeList group("R", reporter);
  TDbxComponent* first = records.Add("R2");
  TDbxComponent* second = records.Add("R02");
  TDbxComponent* third = records.Add("R1");
  for (TDbxComponent* record : {first, second, third}) {
    group.AddComponent(record);
  }
  group.SortByNumber();
  EXPECT_THAT(group.Components(), ElementsAre(third, second, first));
}

TEST(TCompTypeListTest, SortByNumberReportsAtEverySplitMoment) {
  Records records;
  RecordingReporter reporter;
  TCompTypeList group("R", reporter);
  for (const char* refDes : {"R2", "R", "R1"}) {
    group.AddComponent(records.Add(refDes));
  }
  reporter.messages.clear();
  group.SortByNumber();
  // "R" is split when taken, then met first in the walk that places R1.
  EXPECT_THAT(reporter.messages, ElementsAre(Message("R"), Message("R")));
  EXPECT_THAT(RefDesList(group), ElementsAre("R", "R1", "R2"));
}

struct PositionCase {
  const char* name;
  std::int32_t axis;
  std::vector<std::pair<std::int32_t, std::int32_t>> before;  // (x, y), named by index
  std::vector<int> after;
};

TEST(TCompTypeListTest, SortByPositionOrders) {
  const PositionCase cases[] = {
      {"by X", kAxisX, {{300, 0}, {100, 9}, {200, 5}}, {1, 2, 0}},
      {"by Y", kAxisY, {{300, 0}, {100, 9}, {200, 5}}, {0, 2, 1}},
      {"any other axis is Y", 0, {{300, 0}, {100, 9}, {200, 5}}, {0, 2, 1}},
      {"equal in reverse", kAxisX, {{5, 0}, {1, 0}, {5, 1}, {5, 2}}, {1, 3, 2, 0}},
      {"negative coordinates", kAxisX, {{0, 0}, {-2147483647 - 1, 0}, {2147483647, 0}}, {1, 0, 2}},
      {"single member", kAxisX, {{4, 4}}, {0}},
  };
  for (const PositionCase& c : cases) {
    SCOPED_TRACE(c.name);
    Records records;
    RecordingReporter reporter;
    TCompTypeList group("R", reporter);
    std::vector<TDbxComponent*> added;
    for (const auto& [x, y] : c.before) {
      added.push_back(records.Add("R1", x, y));
      group.AddComponent(added.back());
    }
    group.SortByPosition(c.axis);
    std::vector<TDbxComponent*> expected;
    for (const int index : c.after) {
      expected.push_back(added[static_cast<std::size_t>(index)]);
    }
    EXPECT_THAT(group.Components(), ElementsAreArray(expected));
  }
}

// The insertion the orders stand for, done literally: a designator is split at every moment the
// insertion needs its number.
std::vector<TDbxComponent*> InsertByNumber(const std::vector<TDbxComponent*>& members,
                                           IRefDesReporter& reporter) {
  const auto key = [&reporter](const TDbxComponent* member) {
    const TRefDes split = SplitRefDes(member->RefDes(), reporter);
    return split.number ? std::int64_t{*split.number} : std::numeric_limits<std::int64_t>::min();
  };
  std::vector<TDbxComponent*> list;
  for (TDbxComponent* member : members) {
    if (list.empty()) {
      list.push_back(member);
      continue;
    }
    const std::int64_t own = key(member);
    if (key(list.back()) < own) {
      list.push_back(member);
      continue;
    }
    auto at = list.begin();
    while (key(*at) < own) {
      ++at;
    }
    list.insert(at, member);
  }
  return list;
}

std::vector<TDbxComponent*> InsertByX(const std::vector<TDbxComponent*>& members) {
  std::vector<TDbxComponent*> list;
  for (TDbxComponent* member : members) {
    if (list.empty() || list.back()->X() < member->X()) {
      list.push_back(member);
      continue;
    }
    auto at = list.begin();
    while ((*at)->X() < member->X()) {
      ++at;
    }
    list.insert(at, member);
  }
  return list;
}

TEST(TCompTypeListTest, OrdersAndMessagesMatchTheLiteralInsertion) {
  const char* const pool[] = {"R1", "R2", "R3", "R10", "R02", "R", "R99999999999", "R0"};
  std::mt19937 random(20240611u);
  for (int round = 0; round < 400; ++round) {
    SCOPED_TRACE(round);
    const std::size_t count = random() % 13;
    Records records;
    std::vector<TDbxComponent*> members;
    for (std::size_t i = 0; i < count; ++i) {
      members.push_back(records.Add(pool[random() % std::size(pool)],
                                    static_cast<std::int32_t>(random() % 5), 0));
    }
    RecordingReporter expectedReporter;
    const std::vector<TDbxComponent*> expected = InsertByNumber(members, expectedReporter);

    RecordingReporter reporter;
    TCompTypeList group("R", reporter);
    for (TDbxComponent* member : members) {
      group.AddComponent(member);
    }
    reporter.messages.clear();
    group.SortByNumber();
    EXPECT_THAT(group.Components(), ElementsAreArray(expected));
    EXPECT_THAT(reporter.messages, ElementsAreArray(expectedReporter.messages));

    group.SortByPosition(kAxisX);
    EXPECT_THAT(group.Components(), ElementsAreArray(InsertByX(expected)));
  }
}

// The host may rewrite a designator through the record's address after the member was grouped
// (the run rotates before it orders): the order and its messages follow the record as it stands.
TEST(TCompTypeListTest, SortByNumberFollowsDesignatorsRewrittenSinceGrouping) {
  Records records;
  RecordingReporter reporter;
  TCompTypeList group("R", reporter);
  TDbxComponent* r1 = records.Add("R1");
  TDbxComponent* r2 = records.Add("R2");
  TDbxComponent* r3 = records.Add("R3");
  for (TDbxComponent* record : {r1, r2, r3}) {
    group.AddComponent(record);
  }
  r1->SetRefDes("R30");
  r3->SetRefDes("R");
  group.SortByNumber();
  EXPECT_THAT(group.Components(), ElementsAre(r3, r2, r1));
  // Taking R30, R2 and R in turn, R is split once: when it is taken.
  EXPECT_THAT(reporter.messages, ElementsAre(Message("R")));
  r3->SetRefDes("R40");
  reporter.messages.clear();
  group.SortByNumber();
  EXPECT_THAT(group.Components(), ElementsAre(r2, r1, r3));
  EXPECT_THAT(reporter.messages, IsEmpty());
}

TEST(TCompTypeListTest, RewrittenDesignatorsOrderAndReportLikeTheLiteralInsertion) {
  const char* const pool[] = {"R1", "R2", "R3", "R10", "R02", "R", "R99999999999", "R0"};
  std::mt19937 random(20240612u);
  const auto rewriteSome = [&](const std::vector<TDbxComponent*>& members) {
    for (TDbxComponent* member : members) {
      if (random() % 3 == 0) member->SetRefDes(pool[random() % std::size(pool)]);
    }
  };
  for (int round = 0; round < 400; ++round) {
    SCOPED_TRACE(round);
    const std::size_t count = random() % 13;
    Records records;
    std::vector<TDbxComponent*> members;
    for (std::size_t i = 0; i < count; ++i) {
      members.push_back(records.Add(pool[random() % std::size(pool)],
                                    static_cast<std::int32_t>(random() % 5), 0));
    }
    RecordingReporter reporter;
    TCompTypeList group("R", reporter);
    for (TDbxComponent* member : members) {
      group.AddComponent(member);
    }
    // Twice: once after grouping, once after a position order has moved the members about.
    for (int pass = 0; pass < 2; ++pass) {
      rewriteSome(members);
      RecordingReporter expectedReporter;
      const std::vector<TDbxComponent*> expected =
          InsertByNumber(group.Components(), expectedReporter);
      reporter.messages.clear();
      group.SortByNumber();
      EXPECT_THAT(group.Components(), ElementsAreArray(expected)) << "pass " << pass;
      EXPECT_THAT(reporter.messages, ElementsAreArray(expectedReporter.messages))
          << "pass " << pass;
      group.SortByPosition(kAxisX);
    }
  }
}

}  // namespace
}  // namespace kordane
