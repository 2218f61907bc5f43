// Placement tables: the reading rules over small texts, matching and ambiguity in the picture,
// and the round trip of the writer in each unit up to the host's 32-bit limits.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "Records.h"
#include "host/Conversions.h"
#include "placement/Arrange.h"
#include "placement/PlacementTable.h"

namespace kordane::testing {
namespace {

struct ReadingRow {
  const char* name;
  const char* text;
  TTableUnit units;
  // Each row "[designator] x y tenths" ("-" without a rotation), or the refusal.
  const char* expected;
};

void PrintTo(const ReadingRow& row, std::ostream* out) {
  *out << row.name;
}

std::string Shown(const std::string& text, TTableUnit units) {
  const auto table = ReadPlacementTable(text);
  try {
    std::string shown;
    for (const TTableTarget& t : ResolveTable(*table, units, 0, 0)) {
      shown += (shown.empty() ? "[" : "; [") + std::string(t.designator) + "] " +
               std::to_string(t.x) + " " + std::to_string(t.y) + " " +
               (t.rotation ? std::to_string(*t.rotation) : "-");
    }
    return shown;
  } catch (const ConversionError& error) {
    return error.what();
  }
}

class TableReading : public ::testing::TestWithParam<ReadingRow> {};

TEST_P(TableReading, FollowsItsRules) {
  EXPECT_EQ(Shown(GetParam().text, GetParam().units), GetParam().expected);
}

constexpr TTableUnit kMm = TTableUnit::Mm;
constexpr TTableUnit kMils = TTableUnit::Mils;

INSTANTIATE_TEST_SUITE_P(
    , TableReading,
    ::testing::Values(
        ReadingRow{"Commas", "# by a script\nDesignator,X,Y,Rotation\nR1,1.5,-2,90\n", kMm,
                   "[R1] 150000 -200000 900"},
        ReadingRow{"SemicolonsQuotesCommaDecimals", "Ref;PosX;PosY;Rot\n\"R;1\" ; 1,5;2;-90\n", kMm,
                   "[R;1] 150000 200000 2700"},
        ReadingRow{"TabsAndNumbersUnits", "Part\tMid X\tMid_Y\tValue\nC1\t10mil\t0.1 IN\t4k7\n",
                   kMm, "[C1] 25400 25400 -"},
        ReadingRow{
            "SpacesCommentHeaderUnitLine",
            "### Module positions\n## Unit = Inches, Angle = deg.\n"
            "# Ref  Val  Package  PosX  PosY  Rot  Side\nU1  10k  0603  1,0  -0.5  270 top\n",
            kMm, "[U1] 254000 -127000 2700"},
        ReadingRow{"ColumnUnitsOverTheChoice", "RefDes,X (mil),Y [mm],Angle\nR2,100,1,370.04\n",
                   kMils, "[R2] 254000 100000 100"},
        ReadingRow{"UnitsChoice", "Ref,X,Y\nR3,1,2e1\n", kMils, "[R3] 2540 50800 -"},
        ReadingRow{"BomBlankLinesQuotedBlanks",
                   "\xEF\xBB\xBFRef,X,Y\r\n\r\n  \r\n\" R\"\"4 \",0,0\r\n  R5  ,0,0", kMm,
                   "[ R\"4 ] 0 0 -; [R5] 0 0 -"},
        ReadingRow{"RoundedOnceHalvesAwayFromZero",
                   "Ref,X,Y\nA,0.000005,-0.000005\nB,0.0000049999999,1.23456789012345678e2\n", kMm,
                   "[A] 1 -1 -; [B] 0 12345679 -"},
        ReadingRow{"Limits32Bits", "Ref,X,Y\nA,21474.83647,-21474.83648mm\n", kMm,
                   "[A] 2147483647 -2147483648 -"},
        ReadingRow{"BeyondThem", "Ref,X,Y\nA,21474.83648,0\n", kMm,
                   "line 2: X is out of range: 21474.83648"},
        ReadingRow{"HugeExponent", "Ref,X,Y\nA,0,1e99999999\n", kMm,
                   "line 2: Y is out of range: 1e99999999"},
        ReadingRow{"NoHeader", "# nothing\n\n", kMm,
                   "The file holds no table: no line names the columns"},
        ReadingRow{"MissingColumns", "\n\nRef;Value\nR1;10k\n", kMm,
                   "line 3: the header has no X or Y column: Ref;Value"},
        ReadingRow{"CommentHeaderWithoutY", "# Ref PosX\n", kMm,
                   "line 1: the header has no Y column: Ref PosX"},
        ReadingRow{"ColumnUnitUnknown", "Ref,X (px),Y\n", kMm,
                   "line 1: X names no unit of length: px"},
        ReadingRow{"UnitLineUnknown", "## Unit = furlongs\nRef,X,Y\n", kMm,
                   "line 1: no unit of length: furlongs"},
        ReadingRow{"FewerFields", "Ref,X,Y,Comment\nR1,1\n", kMm, "line 2: Y is missing: R1,1"},
        ReadingRow{"CommaInACommaTable", "Ref,X,Y\nR1,\"12,5.3\",0\n", kMm,
                   "line 2: X is not a number: 12,5.3"},
        ReadingRow{"TwoPoints", "Ref;X;Y\nR1;12,5.3;0\n", kMm, "line 2: X is not a number: 12,5.3"},
        ReadingRow{"UnknownUnit", "Ref,X,Y\nR1,5cm,0\n", kMm, "line 2: X is not a number: 5cm"},
        ReadingRow{"AngleNotANumber", "Ref,X,Y,Rot\nR1,0,0,90mm\n", kMm,
                   "line 2: Rot is not a number: 90mm"},
        ReadingRow{"AngleTooLarge", "Ref,X,Y,Rot\nR1,0,0,1e10\n", kMm,
                   "line 2: Rot is out of range: 1e10"},
        ReadingRow{"QuoteNotClosed", "Ref,X,Y\n\"R1,1,2\n", kMm,
                   "line 2: a quote is not closed: \"R1,1,2"}));

TEST(TableSize, AboveFiftyMegabytesIsRefusedWithItsSize) {
  EXPECT_EQ(TableSizeProblem(kLargestTableBytes), "");
  EXPECT_EQ(TableSizeProblem(kLargestTableBytes + 1),
            "The table is 50.1 MB: at most 50 MB is read");
}

TArrangeChoices TableChoices(const std::string& text, TTableUnit units) {
  TArrangeChoices choices;
  choices.pattern = TArrangePattern::Table;
  choices.tableFileText = "placement.csv";
  choices.tableUnits = units;
  choices.tableFile = {"placement.csv", "", ReadPlacementTable(text)};
  return choices;
}

TEST(TablePicture, MatchesByDesignatorAndLeavesAmbiguousOnesAlone) {
  TSelectionHost memory({Part("R1", 0, 0, 0), Part("R2", 0, 0, 0), Part("R3", 0, 0, 0),
                         Part("R3", 5, 5, 0), Part("R5", 0, 0, 0)},
                        kUnitsMils);
  const TPreview picture = MakeArrangePreview(
      memory,
      TableChoices("Ref,X,Y,Rot\nR1,1,0,90\nR2,1,1,0\nR2,2,2,0\nR3,0,0,0\nR9,0,0,0\n", kMm));
  EXPECT_EQ(picture.failure, "");
  EXPECT_EQ(picture.summary,
            "1 component placed from 5 rows: 1 move, 1 rotation; 1 row matches no selected part; 1 "
            "selected part has no row; 2 designators ambiguous");
  const std::vector<std::string> expected{"line 3: R2 is named by 2 rows; left alone",
                                          "line 4: R2 is named by 2 rows; left alone",
                                          "line 5: R3 is held by 2 selected parts; left alone",
                                          "line 6: R9 matches no selected part",
                                          "R2: named by 2 rows; left alone",
                                          "R3: held by 2 selected parts; left alone",
                                          "R3: held by 2 selected parts; left alone",
                                          "R5: no row names it; left alone"};
  EXPECT_EQ(picture.messages, expected);
  EXPECT_EQ(picture.parts[0].toX, 100000);
  EXPECT_EQ(MakeArrangePreview(memory, TableChoices("Ref,X\n", kMm)).failure,
            "line 1: the header has no Y column: Ref,X");
}

// Written and read back in each unit, with the origin taken off and added again: nothing moves
// or turns, down to the database unit and up to the 32-bit limits.
TEST(TableRoundTrip, IsExactInEveryUnit) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  std::vector<TDbxComponent> selection{Part("R1", kMin, kMax, 3599), Part("R2", kMax, kMin, 1),
                                       Part("\"R,3\" ", -1, 1, 900), Part("#4", 0, 0, 0)};
  std::mt19937 random(29u);
  for (int i = 0; i < 200; ++i) {
    std::string name = "C";  // not "C" + ...: GCC 12's -Wrestrict misfires on it at -O2
    name += std::to_string(i);
    selection.push_back(Part(name, static_cast<std::int32_t>(random()),
                             static_cast<std::int32_t>(random()),
                             static_cast<std::int32_t>(random() % 3600)));
  }
  for (const TTableUnit unit : {TTableUnit::Mm, TTableUnit::Mils, TTableUnit::Inches}) {
    for (const std::int32_t mils : {0, -487}) {  // the origin, in the design's units
      TArrangeChoices choices =
          TableChoices(WritePlacementTable(selection, unit, mils * 2540, -mils * 2540), unit);
      choices.tableOriginXText = std::to_string(mils);
      choices.tableOriginYText = std::to_string(-mils);
      TSelectionHost memory(selection, kUnitsMils);
      EXPECT_EQ(MakeArrangePreview(memory, choices).summary,
                "204 components placed from 204 rows: 0 moves, 0 rotations")
          << static_cast<int>(unit) << " " << mils;
    }
  }
  EXPECT_EQ(TableLengthText(-1, TTableUnit::Mils), "-0.0004");
  EXPECT_EQ(TableLengthText(254000, TTableUnit::Inches), "1");
  EXPECT_EQ(TableLengthText(12345, TTableUnit::Mm), "0.12345");
}

}  // namespace
}  // namespace kordane::testing
