// Replicate: channels and roles by designator number, the copy at each channel's anchor and in
// steps, the parts left alone and why, the refused parameters, and the picture's summary, marks
// and list. Whole runs over the stand-in are among the Arrange runs (ArrangeTest.cpp).
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Records.h"
#include "host/DbxUtils.h"
#include "placement/Arrange.h"
#include "placement/ChannelFind.h"
#include "placement/Replicate.h"

namespace kordane::testing {
namespace {

const char* const kWhy[] = {"number", "shared", "counterpart", "anchor", "step", "fit"};

struct ReplicateRow {
  const char* name;
  const char* parts;
  TReplicateParams params;
  // Each part's end, "x y rotation", or "-" where it stays; then each part left alone and why.
  const char* ends;
  const char* leftAlone = "";
};

void PrintTo(const ReplicateRow& row, std::ostream* out) {
  *out << row.name;
}

class ReplicateTargets : public ::testing::TestWithParam<ReplicateRow> {};

TEST_P(ReplicateTargets, FollowTheReferenceChannel) {
  const std::vector<TDbxComponent> records = Records(GetParam().parts);
  std::vector<TReplicatePart> parts;
  for (const TDbxComponent& r : records)
    parts.push_back({r.RefDesView(), {r.X(), r.Y(), r.Rotation()}});
  const TReplicatePlan plan = PlanReplicate(parts, GetParam().params);
  std::string ends;
  for (const TMemberTarget& target : plan.targets) {
    ends += ends.empty() ? "" : ", ";
    const bool stays = !target.move && !target.rotation;
    ends += stays ? "-"
                  : std::to_string(target.x) + " " + std::to_string(target.y) + " " +
                        std::to_string(target.rotation.value_or(-1));
  }
  std::string leftAlone;
  for (const TLeftAloneNote& note : plan.leftAlone) {
    leftAlone += (leftAlone.empty() ? "" : " ") + std::string(parts[note.part].refDes) + ":" +
                 kWhy[static_cast<int>(note.why)];
  }
  EXPECT_EQ(ends, GetParam().ends);
  EXPECT_EQ(leftAlone, GetParam().leftAlone);
}

TReplicateParams AtAnchor(std::int32_t block, const char* anchor) {
  return {block, anchor, false, 0, 0};
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ReplicateTargets,
    ::testing::Values(
        ReplicateRow{
            "BlocksOfAHundred",
            "U101 0 0 0, R101 100 0 0, C102 0 50 900, U201 1000 0 0, R201 5 5 0, C202 7 7 0",
            AtAnchor(100, " u101 "), "-, -, -, -, 1100 0 0, 1000 50 900"},
        ReplicateRow{"AQuarterTurnIsExact",
                     "U101 0 0 0, R101 100 0 0, C102 0 50 2700, U201 1000 1000 900, R201 0 0 0, "
                     "C202 0 0 0",
                     AtAnchor(100, "U101"), "-, -, -, -, 1000 1100 900, 950 1000 0"},
        // -30°: (86.60, -50.00) rounded once; +90° exact.
        ReplicateRow{"AnyOtherAngleRoundsEachCoordinateOnce",
                     "U101 10 10 300, R101 110 10 300, U201 0 0 0, R201 0 0 0, U301 0 0 1200, "
                     "R301 0 0 0",
                     AtAnchor(100, "U101"), "-, -, -, 87 -50 0, -, 0 100 1200"},
        // sin 30° is exactly 1/2: R201 is 500.5 up, which rounds to 501.
        ReplicateRow{"ExactHalvesRoundAwayFromZero",
                     "U101 0 0 0, R101 1001 0 0, U201 0 0 300, R201 5 5 0", AtAnchor(100, "U101"),
                     "-, -, -, 867 501 300", ""},
        ReplicateRow{"PairsByNumberWithABlockOfOne",
                     "SW7 0 0 0, D7 0 -200 1800, LED7 50 0 0, SW8 1000 500 1800, D8 1 1 0, "
                     "LED8 2 2 0, SW10 3000 0 0, D10 0 0 0",
                     AtAnchor(1, "SW7"), "-, -, -, -, 1000 700 0, 950 500 1800, -, 3000 -200 1800"},
        ReplicateRow{"StepsGoTheOtherWayBelowTheReferenceAndKeepGaps",
                     "R101 0 0 0, U201 10 20 900, R201 30 20 0, U101 7 7 0, U401 0 0 0",
                     {100, "U201", true, 1000, -5},
                     "-970 25 0, -, -, -990 25 900, 2010 10 900"},
        ReplicateRow{"SharedRolesUnnumberedPartsAndMissingCounterparts",
                     "R101 0 0 0, R0101 1 1 0, U101 0 0 0, R201 9 9 0, U201 100 0 0, C202 0 0 0, "
                     "C0202 0 0 0, TP 0 0 0, R301 0 0 0, C399 0 0 0",
                     AtAnchor(100, "U101"), "-, -, -, -, -, -, -, -, -, -",
                     "R101:shared R0101:shared R201:counterpart C202:shared C0202:shared "
                     "TP:number R301:anchor C399:anchor"},
        ReplicateRow{"InStepsAChannelNeedsNoAnchor",
                     "U101 0 0 0, R101 5 0 0, R301 0 0 0, C399 0 0 0",
                     {100, "U101", true, 0, 100},
                     "-, -, 5 200 0, -",
                     "C399:counterpart"},
        ReplicateRow{"TargetsBeyond32BitsAreGivenForTheRunToRefuse",
                     "U1 2147483647 0 0, U2 0 0 0, U3 0 0 0",
                     {1, "U1", true, 2147483647, 0},
                     "-, 4294967294 0 0, 6442450941 0 0",
                     "U2:fit U3:fit"},
        // r5 is no R5: roles compare byte for byte; the anchor's text as ever.
        ReplicateRow{"TagsAtEachChannelsAnchor",
                     "U1_A 0 0 0, R5_A 100 0 0, U1_B 1000 0 900, R5_B 0 0 0, r5_B 0 0 0, "
                     "R5 0 0 0, C1_C 0 0 0",
                     {0, "u1_a", false, 0, 0, TChannelScheme::TagAfterSeparator},
                     "-, -, -, 1000 100 900, -, -, -",
                     "r5_B:counterpart R5:number C1_C:anchor"},
        ReplicateRow{"TagsInStepsByLetterOrNumber",
                     "U1_B 0 0 0, R5_B 10 0 900, R5_a 0 0 0, R5.10 0 0 0, R5-AB 0 0 0",
                     {0, "U1_B", true, 1000, 0, TChannelScheme::TagAfterSeparator},
                     "-, -, -990 0 900, 8010 0 900, -",
                     "R5-AB:step"}));

TEST(ChannelTags, SplitAfterTheLastSeparatorAndIndexInSteps) {
  const struct {
    const char* refDes;
    const char* split;  // "role|tag", or "" for none
    std::optional<std::int64_t> step;
  } rows[] = {
      {"R5_A", "R5|A", 1},
      {"RN1-4", "RN1|4", 4},
      {"R12.1", "R12|1", 1},
      {"C3-l", "C3|l", 12},
      {"R_5.007", "R_5|007", 7},
      {"Q2_AB", "Q2|AB", std::nullopt},
      {"Q2_1A", "Q2|1A", {}},
      {"R5", "", {}},
      {"_A", "", {}},
      {"R5_", "", {}},
      {"R5_A+", "", {}},
      {"R5_\xc3\x84", "", {}},
      {"R_2147483647", "R|2147483647", 2147483647},
      {"R_2147483648", "R|2147483648", {}},
  };
  for (const auto& row : rows) {
    const std::optional<TTaggedRefDes> tagged = SplitChannelTag(row.refDes);
    EXPECT_EQ(tagged ? std::string(tagged->role) + "|" + std::string(tagged->tag) : "", row.split)
        << row.refDes;
    EXPECT_EQ(tagged ? TagStepIndex(tagged->tag) : std::nullopt, row.step) << row.refDes;
  }
}

// Designators only: Find reads nothing else.
std::vector<TDbxComponent> Named(const std::string& refDeses) {
  std::vector<TDbxComponent> records;
  std::istringstream names(refDeses);
  for (std::string name; names >> name;) records.emplace_back().SetRefDes(name);
  return records;
}

TEST(FindChannels, SchemeBlockAndAnchorFromTheDesignators) {
  const struct {
    const char* name;
    const char* refDeses;
    const char* typed;
    const char* found;
  } rows[] = {
      // Channels 1 and 2 tie on size: C101 comes first in Go's order.
      {"HundredsWithAPartialChannelAndAChannel0",
       "R001 R002 C001 U101 R101 R102 C101 U201 R201 R202 C201 U301 R301", "",
       "Found 3 channels of 4 parts, numbered in blocks of 100; anchor U101"},
      {"TheTypedAnchorsChannelIsTheReference",
       "R001 R002 C001 U101 R101 R102 C101 U201 R201 R202 C201 U301 R301", " u201",
       "Found 3 channels of 4 parts, numbered in blocks of 100; anchor U201"},
      // Blocks of 100 copy the same: the larger block wins the tie.
      {"Thousands", "U1001 R1001 R1002 C1003 U2001 R2001 R2002 C2003", "",
       "Found 2 channels of 4 parts, numbered in blocks of 1000; anchor U1001"},
      {"KeysWithTheirDiodes", "S1 S2 S3 S4 S10 S11 D1 D2 D3 D4 D10 D11", "",
       "Found 6 channels of 2 parts, numbered in blocks of 1; anchor S1"},
      {"LetterTags", "U1_A R1_A R2_A C1_A U1_B R1_B R2_B C1_B R2_C TP1", "",
       "Found 2 channels of 4 parts, tagged after a separator; anchor U1_A"},
      // Blocks of 1 make the same copy: tags win the tie.
      {"NumberTags", "IC3.1 R12.1 R13.1 IC3.2 R12.2 R13.2", "",
       "Found 2 channels of 3 parts, tagged after a separator; anchor IC3.1"},
      // U102's role is held by all three channels, U101's by one.
      {"TheRoleMostChannelsHold", "U101 U102 R101 U202 R201 W201 U302 R301 W301", "",
       "Found 3 channels of 3 parts, numbered in blocks of 100; anchor U102"},
      // The largest channel, 0, is what the board does not repeat: channel 1, of the size most
      // channels have, copies better.
      {"CommonPartsBelowTheFirstBlock", "R1 R2 R3 C1 C2 J1 U101 R101 C101 U201 R201 C201", "",
       "Found 2 channels of 3 parts, numbered in blocks of 100; anchor U101"},
      // Neither prefix is in the list: R has fewer parts in the channel than C.
      {"TheRarestPrefix", "C101 C102 R101 C201 C202 R201", "",
       "Found 2 channels of 3 parts, numbered in blocks of 100; anchor R101"},
      {"AKeysSwitchNotItsDiode", "D7 SW7 D8 SW8", "",
       "Found 2 channels of 2 parts, numbered in blocks of 1; anchor SW7"},
      // Shared roles in the typed anchor's channel: another anchor in it.
      {"ATypedAnchorThatCannotAnchor", "R5 R05 C5 R6 C6", "r5",
       "Found 2 channels of 3 parts, numbered in blocks of 1; anchor C5"},
      // U1 names u1 too: no anchor.
      {"AnAnchorNamesOnePart", "U1 u1 R1 U2 u2 R2", "",
       "Found 2 channels of 3 parts, numbered in blocks of 1; anchor R1"},
      {"NothingRepeats", "R1 C1 TP_X", "",
       "Found no channels: neither numbers in blocks nor tags after a separator give two "
       "channels with an anchor; nothing changed"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FindingText(FindChannels(Named(row.refDeses), row.typed)), row.found) << row.name;
  }
}

TPreview Picture(const char* parts, const TArrangeChoices& choices) {
  DbUnits = kUnitsMils;
  TSelectionHost memory(Records(parts), kUnitsMils);
  return MakeArrangePreview(memory, choices);
}

TArrangeChoices Replicate(const char* anchor, const char* block = "100", bool inSteps = false,
                          const char* stepX = "0", const char* stepY = "0") {
  TArrangeChoices choices;
  choices.pattern = TArrangePattern::Replicate;
  choices.anchorText = anchor;
  choices.blockSizeText = block;
  choices.inSteps = inSteps;
  choices.stepXText = stepX;
  choices.stepYText = stepY;
  return choices;
}

TEST(ReplicatePicture, RefusedParametersAreNamed) {
  const struct {
    TArrangeChoices choices;
    const char* message;
  } rows[] = {
      {Replicate("U101", "0"), "Block size must be a whole number of 1 or more"},
      {Replicate("U101", "1.5"), "Block size must be a whole number of 1 or more"},
      {Replicate("  "), "Anchor must be the designator of a selected part"},
      {Replicate("U102"), "Anchor U102 is not selected"},
      {Replicate("U101"), "Anchor U101 names more than one selected part"},
      {Replicate("tp"), "Anchor tp has no number"},
      {Replicate("R101"), "Anchor R101 shares its role with another part of channel 1"},
      {Replicate("TP", "1", true, "east"), "Step X must be a number"},
      {Replicate("R1", "1", true, "0", "1e7"), "Step Y is out of range"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(
        Picture("U101 0 0 0, u101 0 0 0, R101 0 0 0, R0101 0 0 0, TP 0 0 0", row.choices).failure,
        row.message);
  }
}

TEST(ReplicatePicture, SummaryMarksAndListOfPartsLeftAlone) {
  TArrangeChoices choices = Replicate("U101");
  choices.turn = true;
  choices.turnText = "not an angle";  // plays no part
  const TPreview picture = Picture(
      "U101 0 0 0, R101 100 0 900, U201 1000 0 0, R201 0 0 0, C299 0 0 0, U301 2000 0 0, "
      "R301 2100 0 900",
      choices);
  ASSERT_EQ(picture.failure, "");
  EXPECT_EQ(picture.summary,
            "2 channels copied from channel 1 (anchor U101): 1 move, 1 rotation; 1 part without "
            "a counterpart");
  EXPECT_EQ(picture.messages,
            std::vector<std::string>{"C299: no part of channel 1 in its role; left alone"});
  std::string marks;  // R: the reference channel, A: an anchor
  for (const TPreviewPart& part : picture.parts) {
    marks += std::string(part.reference ? "R" : "") + (part.anchor ? "A" : "") + ".";
  }
  EXPECT_EQ(marks, "RA.R.A...A..");
  EXPECT_EQ(AnchorCandidates(Records("U2, R10, TP, R9, U2, C1")),
            (std::vector<std::string>{"C1", "R9", "R10", "U2"}))
      << "the numbered designators once each, in Go's group order";
}

// With tags the block size is not judged, and designators without a number are no news; every
// reason a part is left alone, worded.
TEST(ReplicatePicture, TaggedChannelsNameEachPartLeftAlone) {
  TArrangeChoices choices = Replicate("U1_A", "not a size", true);
  choices.channelScheme = TChannelScheme::TagAfterSeparator;
  const char* const parts =
      "U1_A 0 0 0, R1_A 5 0 0, C1_A 0 0 0, C1-A 0 0 0, R1_B 0 0 0, R1_XY 0 0 0, TP1 0 0 0, "
      "Q1_B 0 0 0";
  TPreview picture = Picture(parts, choices);
  EXPECT_EQ(picture.summary,
            "1 channel copied from channel A (anchor U1_A): 1 move, 0 rotations; 1 part without a "
            "counterpart; 1 part in channels without a step; 3 parts without a tag or sharing a "
            "role");
  EXPECT_EQ(picture.messages,
            (std::vector<std::string>{
                "C1_A: holds its role in channel A together with C1-A; not copied",
                "C1-A: holds its role in channel A together with C1_A; not copied",
                "R1_XY: channel XY has no place in steps (its tag is neither a number nor one "
                "letter); left alone",
                "TP1: no tag after _, . or -, so in no channel; left alone",
                "Q1_B: no part of channel A in its role; left alone"}));
  choices.inSteps = false;
  EXPECT_EQ(Picture("U1_A 0 0 0, R1_B 0 0 0", choices).messages,
            std::vector<std::string>{
                "R1_B: channel B has no part in the anchor's role (U1_A's); left alone"});
  const struct {
    const char* anchor;
    bool inSteps;
    const char* failure;
  } refusals[] = {
      {"TP1", false, "Anchor TP1 has no tag after _, . or -"},
      {"R1_XY", true,
       "Anchor R1_XY is in channel XY, whose tag has no place in steps: it must be a number or "
       "one letter"},
  };
  for (const auto& row : refusals) {
    choices.anchorText = row.anchor;
    choices.inSteps = row.inSteps;
    EXPECT_EQ(Picture(parts, choices).failure, row.failure) << row.anchor;
  }
}

}  // namespace
}  // namespace kordane::testing
