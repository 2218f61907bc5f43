#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "host/Conversions.h"
#include "host/DbxUtils.h"

namespace kordane {
namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// Puts the program-wide units and separator back after each test.
class DbxUtilsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    DbUnits = kUnitsUnknown;
    SetDecimalSeparator('.');
  }
};

TEST_F(DbxUtilsTest, UnitsStartUnknown) {
  EXPECT_EQ(DbUnits, kUnitsUnknown);
}

struct RoundRow {
  const char* name;
  std::int32_t units;
  double value;
  std::int32_t db;
};

TEST_F(DbxUtilsTest, ToDbUnitsScalesByUnitsAndRoundsHalvesToEven) {
  const RoundRow rows[] = {
      {"half rounds down to even", kUnitsUnknown, 2.5, 2},
      {"half rounds up to even", kUnitsUnknown, 3.5, 4},
      {"12.5 rounds to 12", kUnitsUnknown, 12.5, 12},
      {"13.5 rounds to 14", kUnitsUnknown, 13.5, 14},
      {"negative half rounds up to even", kUnitsUnknown, -2.5, -2},
      {"negative half rounds down to even", kUnitsUnknown, -3.5, -4},
      {"below half rounds down", kUnitsUnknown, 2.4999999, 2},
      {"above half rounds up", kUnitsUnknown, 2.5000001, 3},
      {"negative above half rounds away", kUnitsUnknown, -2.5000001, -3},
      {"zero units code scales by one", 0, 1.5, 2},
      {"unlisted units code scales by one", 3, 7.0, 7},
      {"mils", kUnitsMils, 1.0, 2540},
      {"half a mil", kUnitsMils, 0.5, 1270},
      {"negative mils", kUnitsMils, -200.0, -508000},
      {"millimetres", kUnitsMm, 1.0, 100000},
      {"fraction of a millimetre", kUnitsMm, 0.00508, 508},
      {"largest", kUnitsUnknown, 2147483647.0, kInt32Max},
      {"smallest", kUnitsUnknown, -2147483648.0, kInt32Min},
      {"half below the smallest rounds to it", kUnitsUnknown, -2147483648.5, kInt32Min},
      {"half below the largest rounds to even", kUnitsUnknown, 2147483646.5, 2147483646},
  };
  for (const RoundRow& row : rows) {
    SCOPED_TRACE(row.name);
    DbUnits = row.units;
    EXPECT_EQ(ToDbUnits(row.value), row.db);
  }
}

// Each of these products is exactly a half in double arithmetic but not in the exact product,
// which extended precision keeps.
TEST_F(DbxUtilsTest, ProductIsFormedInExtendedPrecision) {
  EXPECT_EQ(MmToDb(0.000005), 1);                 // just above 0.5
  EXPECT_EQ(MmToDb(0.000025), 3);                 // just above 2.5
  EXPECT_EQ(MilsToDb(0.0005905511811023622), 1);  // 1.5 / 2540; just below 1.5
}

TEST_F(DbxUtilsTest, FixedScalesIgnoreUnits) {
  DbUnits = kUnitsMm;
  EXPECT_EQ(MilsToDb(200.0), 508000);
  DbUnits = kUnitsMils;
  EXPECT_EQ(MmToDb(1.0), 100000);
}

struct RangeRow {
  const char* name;
  std::function<std::int32_t()> convert;
  const char* message;
};

TEST_F(DbxUtilsTest, ResultsThatDoNotFitAreOutOfRange) {
  const double inf = std::numeric_limits<double>::infinity();
  const RangeRow rows[] = {
      {"half above the largest rounds up to even", [] { return ToDbUnits(2147483647.5); },
       "'2147483647.5' is out of range"},
      {"below the smallest", [] { return ToDbUnits(-2147483648.6); },
       "'-2147483648.6' is out of range"},
      {"mils past the largest", [] { return MilsToDb(845467.0); }, "'845467' is out of range"},
      {"millimetres past the largest", [] { return MmToDb(21475.0); }, "'21475' is out of range"},
      {"millimetres past the smallest", [] { return MmToDb(-21475.0); },
       "'-21475' is out of range"},
      {"huge value", [] { return MilsToDb(1e300); }, "'1E300' is out of range"},
      {"not a number", [] { return ToDbUnits(std::numeric_limits<double>::quiet_NaN()); },
       "'NAN' is out of range"},
      {"infinity", [inf] { return MmToDb(inf); }, "'INF' is out of range"},
      {"negative infinity", [inf] { return MilsToDb(-inf); }, "'-INF' is out of range"},
      {"text keeps its own spelling", [] { return MilsTextToDb(" 1e10 "); },
       "' 1e10 ' is out of range"},
      {"millimetre text", [] { return MmTextToDb("-21475"); }, "'-21475' is out of range"},
      {"text that does not parse", [] { return MilsTextToDb("abc"); },
       "'abc' is not a valid floating point value"},
      {"empty text", [] { return MmTextToDb(""); }, "'' is not a valid floating point value"},
  };
  for (const RangeRow& row : rows) {
    SCOPED_TRACE(row.name);
    try {
      const std::int32_t db = row.convert();
      ADD_FAILURE() << "converted to " << db;
    } catch (const ConversionError& error) {
      EXPECT_EQ(std::string(error.what()), row.message);
    }
  }
}

TEST_F(DbxUtilsTest, LargestMilsStillFit) {
  EXPECT_EQ(MilsToDb(845466.0), 2147483640);
}

TEST_F(DbxUtilsTest, TextsConvertBothWays) {
  EXPECT_EQ(MilsTextToDb("200"), 508000);
  EXPECT_EQ(DbToMmText(508000), "5.08");
  EXPECT_EQ(MmTextToDb("1"), 100000);
  EXPECT_EQ(DbToMilsText(100000), "39.3700787401575");
  EXPECT_EQ(MilsTextToDb(" 1.5 "), 3810);
  EXPECT_EQ(DbToMilsText(2540), "1");
  EXPECT_EQ(DbToMilsText(0), "0");
  EXPECT_EQ(DbToMmText(-150000), "-1.5");
  EXPECT_EQ(DbToMmText(1), "1E-5");
  EXPECT_EQ(DbToMmText(kInt32Min), "-21474.83648");
}

TEST_F(DbxUtilsTest, TextsUseTheProgramSeparator) {
  SetDecimalSeparator(',');
  EXPECT_EQ(MmTextToDb("0,5"), 50000);
  EXPECT_EQ(DbToMmText(508000), "5,08");
  EXPECT_THROW(MmTextToDb("0.5"), ConversionError);
}

struct StatusRow {
  std::int32_t code;
  const char* text;
};

// The status texts are the library's contract, so the whole table is checked.
TEST(DbxStatusTextTest, ListedCodesGiveTheirText) {
  const StatusRow rows[] = {
      {32001, "Connection Error"},
      {32002, "Disconnect Error"},
      {32003, "Bad Server Data"},
      {32004, "Server Error"},
      {32005, "Fatal DBX Error"},
      {32006, "Version Incompatible"},
      {32007, "Client Error"},
      {32008, "Security Error"},
      {32009, "Flip Error"},
      {32010, "Rotate Error"},
      {32011, "Move Error"},
      {32012, "Highlight Error"},
      {32013, "Delete Error"},
      {32014, "Modify Error"},
      {32015, "Create Error"},
      {32016, "Database Error"},
      {32101, "Invalid Conv Handle"},
      {32102, "Server Terminated"},
      {32103, "Low Memory"},
      {32104, "Already Connected"},
      {32105, "No Connection"},
      {32106, "Server Busy"},
      {32121, "Illegal Operation"},
      {32122, "Bad Input"},
      {32123, "Array Too Small"},
      {32124, "Invalid Item ID"},
      {32141, "Item Not Found"},
      {32142, "Item Not Supported"},
      {32143, "Illegal Item"},
      {32144, "Shape Not Defined"},
      {32145, "GetFirst Not Called"},
      {32161, "No More Layers"},
      {32162, "No More Nets"},
      {32163, "No More Items"},
      {32164, "No More Net Classes"},
      {32165, "No More Class To Class Rules"},
      {32166, "No More Rooms"},
      {32167, "No More Room Points"},
      {32168, "No More Components"},
      {32170, "Invalid Angle"},
      {32171, "Invalid Highlight Color"},
      {32172, "Invalid Item Type"},
      {32173, "Invalid Justification"},
      {32174, "Invalid Layer"},
      {32175, "Invalid Location"},
      {32176, "Invalid Net Id"},
      {32177, "Invalid Netname"},
      {32178, "Invalid Padstyle"},
      {32180, "Invalid Radius"},
      {32181, "Invalid Refdes"},
      {32182, "Invalid Rotation Angle"},
      {32183, "Invalid TextStyle"},
      {32184, "Invalid Width"},
      {32185, "Invalid Layer Name"},
      {32186, "Invalid Component Name"},
      {32187, "Mismatched Part Numbers"},
      {32188, "Mismatched Pin Numbers"},
      {32189, "Mismatched Component Type"},
      {32190, "Mismatched Hetero"},
      {32191, "Invalid Line Style"},
      {32192, "Invalid Pin Length"},
      {32193, "Invalid Pin Style"},
      {32194, "Invalid Alt Type"},
      {32195, "Invalid Net Class Name"},
      {32196, "Invalid Class To Class Id"},
      {32197, "Invalid Net Class Id"},
      {32198, "Invalid Layer Id"},
      {32199, "Invalid Room Name"},
      {32200, "Invalid Attribute Value"},
      {32201, "Invalid Attribute Name"},
      {32205, "Duplicate Attribute"},
      {32206, "Duplicate Netname"},
      {32207, "Duplicate Net Class Name"},
      {32208, "Duplicate Class To Class Name"},
      {32209, "Duplicate Refdes"},
      {32215, "Component Not Found"},
      {32216, "Layer Not Found"},
      {32217, "Net Not Found"},
      {32218, "Net Not Empty"},
      {32219, "Net Exists"},
      {32220, "Net Conflict"},
      {32221, "Net Class Not Found"},
      {32222, "Net Class Not Empty"},
      {32223, "Net Class Exists"},
      {32224, "Class To Class Not Found"},
      {32225, "Room Not Found"},
      {32230, "Component Cache Conflict"},
      {32231, "Library Not Open"},
      {32232, "Item Outside Workspace"},
      {32233, "No Attached Pattern"},
      {32234, "Too Few Pins"},
      {32235, "Pindes Not Found"},
      {32236, "Name Too LongInt"},
      {32237, "Print Job Not Found"},
      {32238, "No Print Jobs Selected"},
      {32239, "Unable to open file"},
      {32250, "Invalid Library Name"},
      {32251, "Unable to open Library"},
      {32252, "Component Already Open"},
      {32253, "Open Component Not Called"},
      {32254, "Save Component Failed"},
      {32255, "Library is READ Only"},
      {32256, "Save Symbol Failed"},
      {32257, "Save Pattern Failed"},
      {32258, "Internal Parameter Error"},
      {32279, "Invalid Pin Number"},
  };
  for (const StatusRow& row : rows) {
    EXPECT_EQ(DbxStatusText(row.code), row.text) << "code " << row.code;
  }
}

TEST(DbxStatusTextTest, OtherCodesGiveTheNumber) {
  EXPECT_EQ(DbxStatusText(0), "Status: OK");
  const StatusRow rows[] = {
      {-3, "Status: -3"},
      {-32001, "Status: -32001"},
      {1, "Status: 1"},
      {32000, "Status: 32000"},
      {32017, "Status: 32017"},
      {32100, "Status: 32100"},
      {32107, "Status: 32107"},
      {32120, "Status: 32120"},
      {32125, "Status: 32125"},
      {32146, "Status: 32146"},
      {32169, "Status: 32169"},
      {32179, "Status: 32179"},
      {32202, "Status: 32202"},
      {32210, "Status: 32210"},
      {32226, "Status: 32226"},
      {32240, "Status: 32240"},
      {32259, "Status: 32259"},
      {32278, "Status: 32278"},
      {32280, "Status: 32280"},
      {kInt32Max, "Status: 2147483647"},
      {kInt32Min, "Status: -2147483648"},
  };
  for (const StatusRow& row : rows) {
    EXPECT_EQ(DbxStatusText(row.code), row.text) << "code " << row.code;
  }
}

}  // namespace
}  // namespace kordane
