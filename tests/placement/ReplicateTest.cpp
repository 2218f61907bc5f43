// Replicate: channels and roles by designator number, the copy at each channel's anchor and in
// steps, the parts left alone and why, the refused parameters, and the picture's summary, marks
// and list. Whole runs over the stand-in are among the Arrange runs (ArrangeTest.cpp).
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "host/DbxUtils.h"
#include "placement/Arrange.h"
#include "placement/Replicate.h"

namespace kordane::testing {
namespace {

// "U101 0 0 0, R101 100 0 900": designators with x, y and rotation.
std::vector<TDbxComponent> Records(const std::string& text) {
  std::vector<TDbxComponent> records;
  std::istringstream parts(text);
  for (std::string part; std::getline(parts, part, ',');) {
    std::istringstream fields(part);
    std::string refDes;
    std::int32_t x = 0, y = 0, rotation = 0;
    fields >> refDes >> x >> y >> rotation;
    records.emplace_back().SetRefDes(refDes);
    records.back().SetX(x);
    records.back().SetY(y);
    records.back().SetRotation(rotation);
  }
  return records;
}

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
                     "U2:fit U3:fit"}));

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

}  // namespace
}  // namespace kordane::testing
