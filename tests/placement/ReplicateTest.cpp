// Replicate: channels and roles by designator number, the copy at each channel's anchor and in
// steps, the parts left alone and why, the refused parameters, and a whole run over the stand-in
// that ends where its picture said, changes nothing when applied again, and is undone.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Board.h"
#include "MemoryHost.h"
#include "RecordingHost.h"
#include "host/DbxLoader.h"
#include "host/DbxUtils.h"
#include "placement/Arrange.h"
#include "placement/Replicate.h"
#include "placement/Undo.h"

namespace kordane::testing {
namespace {

using standin::Item;

struct Part {
  const char* refDes;
  std::int32_t x, y, rotation;
};

// Where a part ends: its target, or none when it stays as it is.
struct End {
  std::int64_t x, y;
  std::int32_t rotation;
  friend bool operator==(const End&, const End&) = default;
};

using Ends = std::vector<std::optional<End>>;
using Notes = std::vector<std::pair<std::size_t, TLeftAlone>>;

struct ReplicateRow {
  const char* name;
  std::vector<Part> parts;
  TReplicateParams params;
  Ends expected;
  Notes leftAlone;
};

void PrintTo(const ReplicateRow& row, std::ostream* out) {
  *out << row.name;
}

void PrintTo(const End& end, std::ostream* out) {
  *out << "(" << end.x << ", " << end.y << " @" << end.rotation << ")";
}

class ReplicateTargets : public ::testing::TestWithParam<ReplicateRow> {};

TEST_P(ReplicateTargets, FollowTheReferenceChannel) {
  const ReplicateRow& row = GetParam();
  std::vector<TReplicatePart> parts;
  for (const Part& part : row.parts)
    parts.push_back({part.refDes, {part.x, part.y, part.rotation}});
  const TReplicatePlan plan = PlanReplicate(parts, row.params);
  Ends ends;
  for (const TMemberTarget& target : plan.targets) {
    if (!target.move && !target.rotation) {
      ends.push_back(std::nullopt);
    } else {
      ends.push_back(End{target.x, target.y, target.rotation.value_or(-1)});
    }
  }
  EXPECT_EQ(ends, row.expected);
  Notes notes;
  for (const TLeftAloneNote& note : plan.leftAlone) notes.emplace_back(note.part, note.why);
  EXPECT_EQ(notes, row.leftAlone);
}

TReplicateParams AtAnchor(std::int32_t block, const char* anchor) {
  return {block, anchor, false, 0, 0};
}

TReplicateParams InSteps(std::int32_t block, const char* anchor, std::int32_t x, std::int32_t y) {
  return {block, anchor, true, x, y};
}

const auto kStays = std::nullopt;
using L = TLeftAlone;

INSTANTIATE_TEST_SUITE_P(
    Rules, ReplicateTargets,
    ::testing::Values(
        ReplicateRow{"BlocksOfAHundredWithoutATurn",
                     {{"U101", 0, 0, 0},
                      {"R101", 100, 0, 0},
                      {"C102", 0, 50, 900},
                      {"U201", 1000, 0, 0},
                      {"R201", 5, 5, 0},
                      {"C202", 7, 7, 0}},
                     AtAnchor(100, " u101 "),
                     {kStays, kStays, kStays, kStays, End{1100, 0, 0}, End{1000, 50, 900}},
                     {}},
        ReplicateRow{"AQuarterTurnIsExact",
                     {{"U101", 0, 0, 0},
                      {"R101", 100, 0, 0},
                      {"C102", 0, 50, 2700},
                      {"U201", 1000, 1000, 900},
                      {"R201", 0, 0, 0},
                      {"C202", 0, 0, 0}},
                     AtAnchor(100, "U101"),
                     {kStays, kStays, kStays, kStays, End{1000, 1100, 900}, End{950, 1000, 0}},
                     {}},
        ReplicateRow{"AnyOtherAngleRoundsEachCoordinateOnce",
                     {{"U101", 10, 10, 300},
                      {"R101", 110, 10, 300},
                      {"U201", 0, 0, 0},
                      {"R201", 0, 0, 0},
                      {"U301", 0, 0, 1200},
                      {"R301", 0, 0, 0}},
                     AtAnchor(100, "U101"),
                     // -30°: (86.60, -50); +90° exact: (0, 100).
                     {kStays, kStays, kStays, End{87, -50, 0}, kStays, End{0, 100, 1200}},
                     {}},
        ReplicateRow{"PairsByNumberWithABlockOfOne",
                     {{"SW7", 0, 0, 0},
                      {"D7", 0, -200, 1800},
                      {"LED7", 50, 0, 0},
                      {"SW8", 1000, 500, 1800},
                      {"D8", 1, 1, 0},
                      {"LED8", 2, 2, 0},
                      {"SW10", 3000, 0, 0},
                      {"D10", 0, 0, 0}},
                     AtAnchor(1, "SW7"),
                     {kStays, kStays, kStays, kStays, End{1000, 700, 0}, End{950, 500, 1800},
                      kStays, End{3000, -200, 1800}},
                     {}},
        ReplicateRow{"StepsGoTheOtherWayBelowTheReferenceAndKeepGaps",
                     {{"R101", 0, 0, 0},
                      {"U201", 10, 20, 900},
                      {"R201", 30, 20, 0},
                      {"U101", 7, 7, 0},
                      {"U401", 0, 0, 0}},
                     InSteps(100, "U201", 1000, -5),
                     {End{-970, 25, 0}, kStays, kStays, End{-990, 25, 900}, End{2010, 10, 900}},
                     {}},
        ReplicateRow{
            "SharedRolesUnnumberedPartsAndMissingCounterparts",
            {{"R101", 0, 0, 0},
             {"R0101", 1, 1, 0},
             {"U101", 0, 0, 0},
             {"R201", 9, 9, 0},
             {"U201", 100, 0, 0},
             {"C202", 0, 0, 0},
             {"C0202", 0, 0, 0},
             {"TP", 0, 0, 0},
             {"R301", 0, 0, 0},
             {"C399", 0, 0, 0}},
            AtAnchor(100, "U101"),
            {kStays, kStays, kStays, kStays, kStays, kStays, kStays, kStays, kStays, kStays},
            {{0, L::SharedRole},
             {1, L::SharedRole},
             {3, L::NoCounterpart},
             {5, L::SharedRole},
             {6, L::SharedRole},
             {7, L::NoNumber},
             {8, L::NoChannelAnchor},
             {9, L::NoChannelAnchor}}},
        ReplicateRow{"InStepsAChannelNeedsNoAnchor",
                     {{"U101", 0, 0, 0}, {"R101", 5, 0, 0}, {"R301", 0, 0, 0}, {"C399", 0, 0, 0}},
                     InSteps(100, "U101", 0, 100),
                     {kStays, kStays, End{5, 200, 0}, kStays},
                     {{3, L::NoCounterpart}}},
        ReplicateRow{"TargetsBeyond32BitsAreGivenForTheRunToRefuse",
                     {{"U1", 2147483647, 0, 0}, {"U2", 0, 0, 0}, {"U3", 0, 0, 0}},
                     InSteps(1, "U1", 2147483647, 0),
                     {kStays, End{4294967294, 0, 0}, End{6442450941, 0, 0}},
                     {}}));

// The picture of a run over a selection served from memory.
TPreview Picture(const std::vector<Part>& parts, const TArrangeChoices& choices) {
  std::vector<TDbxComponent> records(parts.size());
  for (std::size_t i = 0; i < parts.size(); ++i) {
    records[i].SetRefDes(parts[i].refDes);
    records[i].SetX(parts[i].x);
    records[i].SetY(parts[i].y);
    records[i].SetRotation(parts[i].rotation);
  }
  DbUnits = kUnitsMils;
  TSelectionHost memory(records, kUnitsMils);
  return MakeArrangePreview(memory, choices);
}

struct RefusedRow {
  const char* name;
  void (*change)(TArrangeChoices&);
  const char* message;
};

void PrintTo(const RefusedRow& row, std::ostream* out) {
  *out << row.name;
}

class ReplicateRefused : public ::testing::TestWithParam<RefusedRow> {};

TEST_P(ReplicateRefused, NamesTheFieldInThePicture) {
  TArrangeChoices choices;
  choices.pattern = TArrangePattern::Replicate;
  choices.anchorText = "U101";
  GetParam().change(choices);
  const TPreview picture = Picture({{"U101", 0, 0, 0},
                                    {"u101", 0, 0, 0},
                                    {"R101", 0, 0, 0},
                                    {"R0101", 0, 0, 0},
                                    {"TP", 0, 0, 0}},
                                   choices);
  EXPECT_EQ(picture.failure, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Parameters, ReplicateRefused,
    ::testing::Values(
        RefusedRow{"BlockSizeZero", [](TArrangeChoices& c) { c.blockSizeText = "0"; },
                   "Block size must be a whole number of 1 or more"},
        RefusedRow{"BlockSizeDecimal", [](TArrangeChoices& c) { c.blockSizeText = "1.5"; },
                   "Block size must be a whole number of 1 or more"},
        RefusedRow{"AnchorBlank", [](TArrangeChoices& c) { c.anchorText = "  "; },
                   "Anchor must be the designator of a selected part"},
        RefusedRow{"AnchorNotSelected", [](TArrangeChoices& c) { c.anchorText = "U102"; },
                   "Anchor U102 is not selected"},
        RefusedRow{"AnchorTwiceIgnoringCase", [](TArrangeChoices&) {},
                   "Anchor U101 names more than one selected part"},
        RefusedRow{"AnchorWithoutNumber", [](TArrangeChoices& c) { c.anchorText = "tp"; },
                   "Anchor tp has no number"},
        RefusedRow{"AnchorRoleShared", [](TArrangeChoices& c) { c.anchorText = "R101"; },
                   "Anchor R101 shares its role with another part of channel 1"},
        RefusedRow{"StepNotANumber",
                   [](TArrangeChoices& c) {
                     c.anchorText = "TP";
                     c.inSteps = true;
                     c.stepXText = "east";
                   },
                   "Step X must be a number"},
        RefusedRow{"StepBeyondTheHostsCoordinates",
                   [](TArrangeChoices& c) {
                     c.inSteps = true;
                     c.stepYText = "1e7";
                   },
                   "Step Y is out of range"}));

TEST(ReplicatePicture, SummaryMarksAndListOfPartsLeftAlone) {
  TArrangeChoices choices;
  choices.pattern = TArrangePattern::Replicate;
  choices.anchorText = "U101";
  choices.turn = true;
  choices.turnText = "not an angle";  // plays no part
  const TPreview picture = Picture({{"U101", 0, 0, 0},
                                    {"R101", 100, 0, 900},
                                    {"U201", 1000, 0, 0},
                                    {"R201", 0, 0, 0},
                                    {"C299", 0, 0, 0},
                                    {"U301", 2000, 0, 0},
                                    {"R301", 2100, 0, 900}},
                                   choices);
  ASSERT_EQ(picture.failure, "");
  EXPECT_EQ(picture.summary,
            "2 channels copied from channel 1 (anchor U101): 1 move, 1 rotation; 1 part without "
            "a counterpart");
  EXPECT_EQ(picture.messages,
            std::vector<std::string>{"C299: no part of channel 1 in its role; left alone"});
  std::vector<std::pair<bool, bool>> marks;
  for (const TPreviewPart& part : picture.parts) marks.emplace_back(part.reference, part.anchor);
  EXPECT_EQ(marks, (std::vector<std::pair<bool, bool>>{{true, true},
                                                       {true, false},
                                                       {false, true},
                                                       {false, false},
                                                       {false, false},
                                                       {false, true},
                                                       {false, false}}));
}

TEST(ReplicateAnchors, OfferNumberedDesignatorsInGroupOrderEachOnce) {
  std::vector<TDbxComponent> records(6);
  const char* names[] = {"U2", "R10", "TP", "R9", "U2", "C1"};
  for (std::size_t i = 0; i < records.size(); ++i) records[i].SetRefDes(names[i]);
  EXPECT_EQ(AnchorCandidates(records), (std::vector<std::string>{"C1", "R9", "R10", "U2"}));
}

// A whole run over the stand-in's in-memory design: two channels in steps, one of whose parts
// would land beyond the host's coordinates.
TEST(ReplicateRun, EndsWhereThePictureSaidChangesNothingAgainAndIsUndone) {
  standin::Design design{{Item::Component("U101", 0, 0, 0), Item::Component("R101", 2540, 0, 900),
                          Item::Component("U201", 7, 7, 0), Item::Component("R201", 9, 9, 0),
                          Item::Component("U301", 5, 5, 1800), Item::Component("C301", 1, 1, 0),
                          Item::Component("R301", 2147483000, 0, 0)}};
  standin::MemoryHost bound{design};
  DbxHost host{standin::MemoryHost::Api()};
  Log log;
  RecordingView view{log};
  bool designOpen = false;
  const auto components = [&design] {
    std::map<std::string, Item> byName;
    for (const Item& item : design.Items()) byName[item.refDes] = item;
    return byName;
  };
  const auto picture = [&host](const TArrangeChoices& choices) {
    const TSelectionRead read = ReadSelection(host);
    TSelectionHost memory(read.components, DbUnits);
    return MakeArrangePreview(memory, choices);
  };
  DbUnits = kUnitsUnknown;
  TArrangeChoices choices;
  choices.pattern = TArrangePattern::Replicate;
  choices.anchorText = "U101";
  choices.inSteps = true;
  choices.stepXText = "8e5";  // mils: 2.032e9 database units per channel
  const std::map<std::string, Item> before = components();
  const TPreview first = picture(choices);
  ASSERT_EQ(first.failure, "");
  EXPECT_EQ(first.summary,
            "2 channels copied from channel 1 (anchor U101): 2 moves, 3 rotations; 1 part without "
            "a counterpart; 2 out of range, not moved");

  TUndoLastRun undo;
  undo.Run(host, [&](IDbxCalls& recorded) { RunArrange(recorded, choices, view, designOpen); });
  const std::map<std::string, Item> after = components();
  for (const TPreviewPart& part : first.parts) {
    const Item& item = after.at(part.refDes);
    EXPECT_EQ(item.x, part.unplaced ? part.x : part.toX) << part.refDes;
    EXPECT_EQ(item.y, part.unplaced ? part.y : part.toY) << part.refDes;
    EXPECT_EQ(item.rotation, part.toRotation) << part.refDes;
  }
  EXPECT_EQ(after.at("R201").x, 2032002540);

  const TPreview second = picture(choices);
  EXPECT_EQ(second.summary,
            "2 channels copied from channel 1 (anchor U101): 0 moves, 0 rotations; 1 part without "
            "a counterpart; 2 out of range, not moved")
      << "a second Apply changes nothing";

  undo.Undo(host, view, designOpen);
  EXPECT_EQ(components(), before);
}

}  // namespace
}  // namespace kordane::testing
