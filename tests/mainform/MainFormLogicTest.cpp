#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/Conversions.h"
#include "host/DbxUtils.h"
#include "mainform/FakeMainFormControls.h"
#include "placement/RecordingHost.h"
#include "ui/MainFormLogic.h"

namespace kordane {
namespace {

using fakes::CountOf;
using fakes::FakeMainFormControls;
using ::testing::ElementsAre;

// DbUnits is program-wide; every test leaves it as it found it.
class MainFormLogic : public ::testing::Test {
 protected:
  void TearDown() override { DbUnits = savedUnits_; }

  FakeMainFormControls controls_;
  TfrmMainLogic logic_{controls_};

 private:
  std::int32_t savedUnits_ = DbUnits;
};

// ---- Enable routines and their check boxes ----

struct EnableRoutine {
  const char* name;
  TControl text;
  TControl box;
  void (TfrmMainLogic::*setEnabled)(bool);
  void (TfrmMainLogic::*boxClick)();
  void (TfrmMainLogic::*textChange)();
};

const EnableRoutine kSpacing{"Spacing",
                             TControl::eSpacing,
                             TControl::cbDoSpace,
                             &TfrmMainLogic::SetSpacingEnabled,
                             &TfrmMainLogic::cbDoSpaceClick,
                             &TfrmMainLogic::eSpacingChange};
const EnableRoutine kRotate{"Rotate",
                            TControl::cbRotation,
                            TControl::cbDoRotate,
                            &TfrmMainLogic::SetRotateEnabled,
                            &TfrmMainLogic::cbDoRotateClick,
                            &TfrmMainLogic::cbRotationChange};

class EnableRoutines : public MainFormLogic, public ::testing::WithParamInterface<EnableRoutine> {};

TEST_P(EnableRoutines, OffGreysTheTextAndUnchecksWithoutClearing) {
  const EnableRoutine& r = GetParam();
  controls_.SetText(r.text, "45");
  (logic_.*r.setEnabled)(true);
  EXPECT_TRUE(controls_.Checked(r.box));
  EXPECT_EQ(controls_.Colour(r.text), std::nullopt);

  (logic_.*r.setEnabled)(false);
  EXPECT_FALSE(controls_.Checked(r.box));
  EXPECT_EQ(controls_.Colour(r.text), kGreyTextColour);
  EXPECT_EQ(controls_.Text(r.text), "45");
}

TEST_P(EnableRoutines, SettingTheSameStateRunsNoClickHandler) {
  const EnableRoutine& r = GetParam();
  (logic_.*r.setEnabled)(false);  // the box starts unchecked
  EXPECT_EQ(CountOf(controls_.log, std::string("check ") + fakes::ControlName(r.box) + " 0"), 0u);
  EXPECT_EQ(controls_.log.size(), 1u);  // the colour only
}

TEST_P(EnableRoutines, ChangingTheStateEndsAfterOneRoundThroughTheClickHandler) {
  const EnableRoutine& r = GetParam();
  (logic_.*r.setEnabled)(true);
  // Outer colour, the box, the click handler's colour; the handler's own check is a no-op.
  EXPECT_EQ(controls_.log.size(), 3u);
  EXPECT_EQ(CountOf(controls_.log, std::string("check ") + fakes::ControlName(r.box) + " 1"), 1u);
}

TEST_P(EnableRoutines, UserClickOnTheBoxFollowsItsState) {
  const EnableRoutine& r = GetParam();
  controls_.SetChecked(r.box, true);  // the click has already toggled the box
  (logic_.*r.boxClick)();
  EXPECT_TRUE(controls_.Checked(r.box));
  EXPECT_EQ(controls_.Colour(r.text), std::nullopt);

  (logic_.*r.setEnabled)(true);
  controls_.SetChecked(r.box, false);
  (logic_.*r.boxClick)();
  EXPECT_FALSE(controls_.Checked(r.box));
  EXPECT_EQ(controls_.Colour(r.text), kGreyTextColour);
}

TEST_P(EnableRoutines, TypingEnables) {
  const EnableRoutine& r = GetParam();
  (logic_.*r.setEnabled)(false);
  (logic_.*r.textChange)();
  EXPECT_TRUE(controls_.Checked(r.box));
  EXPECT_EQ(controls_.Colour(r.text), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Both, EnableRoutines, ::testing::Values(kSpacing, kRotate),
                         [](const auto& row) { return std::string(row.param.name); });

// ---- Event rules for changes made from code ----

TEST_F(MainFormLogic, OnTopClickRunsOnlyWhenTheStateChanges) {
  logic_.SetOnTopChecked(false);
  EXPECT_TRUE(controls_.topMostCalls.empty());
  logic_.SetOnTopChecked(true);
  logic_.SetOnTopChecked(true);
  logic_.SetOnTopChecked(false);
  EXPECT_THAT(controls_.topMostCalls, ElementsAre(true, false));
}

TEST_F(MainFormLogic, SpacingTextFromCodeRunsTheChangeHandlerOnlyWhenItDiffers) {
  logic_.SetSpacingText("0");  // the edit's design text
  EXPECT_FALSE(controls_.Checked(TControl::cbDoSpace));
  EXPECT_EQ(CountOf(controls_.log, "text eSpacing 0"), 0u);
  logic_.SetSpacingText("1");
  EXPECT_TRUE(controls_.Checked(TControl::cbDoSpace));
}

TEST_F(MainFormLogic, RotationTextFromCodeRunsNoHandler) {
  logic_.SetRotationText("90");
  EXPECT_EQ(controls_.Text(TControl::cbRotation), "90");
  EXPECT_FALSE(controls_.Checked(TControl::cbDoRotate));
  EXPECT_THAT(controls_.log, ElementsAre("text cbRotation 90"));
}

TEST_F(MainFormLogic, OrderAndAlignmentButtonsAreExclusive) {
  logic_.SetHorizontalChecked(false);
  EXPECT_FALSE(logic_.HorizontalChecked());
  EXPECT_TRUE(controls_.Checked(TControl::rbVertical));
  for (const TSortOrder order :
       {TSortOrder::Decreasing, TSortOrder::Unchanged, TSortOrder::Increasing}) {
    logic_.SetSortOrderChecked(order);
    EXPECT_EQ(logic_.SortOrderChecked(), order);
    const int checked = controls_.Checked(TControl::rbUp) + controls_.Checked(TControl::rbDown) +
                        controls_.Checked(TControl::rbNone);
    EXPECT_EQ(checked, 1);
  }
  controls_.SetChecked(TControl::rbUp, false);
  EXPECT_EQ(logic_.SortOrderChecked(), std::nullopt);
}

// ---- Unit switch ----

struct UnitCase {
  const char* name;
  int tag;
  std::string before;
  std::string after;
};

class ChangeUnits : public MainFormLogic, public ::testing::WithParamInterface<UnitCase> {};

// The present text is always read as the other unit.
TEST_P(ChangeUnits, ConvertsTheTextFromTheOtherUnit) {
  const UnitCase& c = GetParam();
  controls_.SetText(TControl::eSpacing, c.before);
  logic_.ChangeUnits(c.tag);
  EXPECT_EQ(controls_.Text(TControl::eSpacing), c.after);
  EXPECT_EQ(DbUnits, c.tag);
  EXPECT_EQ(controls_.Text(TControl::lUnits), c.tag == kUnitsMils ? "mils" : "mm");
}

INSTANTIATE_TEST_SUITE_P(Rows, ChangeUnits,
                         ::testing::Values(UnitCase{"MmToMils", kUnitsMils, "5.08", "200"},
                                           UnitCase{"MilsPressedOnMils", kUnitsMils, "200",
                                                    "7874.0157480315"},
                                           UnitCase{"MilsToMm", kUnitsMm, "200", "5.08"},
                                           UnitCase{"MmPressedOnMm", kUnitsMm, "5.08", "0.12903"},
                                           UnitCase{"ZeroToMils", kUnitsMils, "0", "0"},
                                           UnitCase{"ZeroToMm", kUnitsMm, "0", "0"},
                                           UnitCase{"NegativeToMils", kUnitsMils, "-2.54", "-100"}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(MainFormLogic, MilsPressedTwiceConvertsTwice) {
  controls_.SetText(TControl::eSpacing, "5.08");
  logic_.ChangeUnits(kUnitsMils);
  EXPECT_EQ(controls_.Text(TControl::eSpacing), "200");
  logic_.ChangeUnits(kUnitsMils);
  EXPECT_EQ(controls_.Text(TControl::eSpacing), "7874.0157480315");
}

TEST_F(MainFormLogic, ConvertedTextEnablesSpacing) {
  controls_.SetText(TControl::eSpacing, "5.08");
  logic_.SetSpacingEnabled(false);
  logic_.ChangeUnits(kUnitsMils);
  EXPECT_TRUE(controls_.Checked(TControl::cbDoSpace));
  EXPECT_EQ(controls_.Colour(TControl::eSpacing), std::nullopt);
}

TEST_F(MainFormLogic, TextThatConvertsToItselfKeepsTheEnableState) {
  for (const bool enabled : {false, true}) {
    logic_.SetSpacingEnabled(enabled);
    logic_.ChangeUnits(kUnitsMm);
    EXPECT_EQ(controls_.Text(TControl::eSpacing), "0");
    EXPECT_EQ(controls_.Checked(TControl::cbDoSpace), enabled);
    EXPECT_EQ(controls_.Greyed(TControl::eSpacing), !enabled);
  }
}

TEST_F(MainFormLogic, BadTextThrowsAfterTheUnitChangedAndKeepsTheText) {
  DbUnits = kUnitsMm;
  controls_.SetText(TControl::lUnits, "mm");
  controls_.SetText(TControl::eSpacing, "abc");
  try {
    logic_.ChangeUnits(kUnitsMils);
    FAIL() << "no error";
  } catch (const ConversionError& error) {
    EXPECT_STREQ(error.what(), "'abc' is not a valid floating point value");
  }
  EXPECT_EQ(DbUnits, kUnitsMils);
  EXPECT_EQ(controls_.Text(TControl::lUnits), "mils");
  EXPECT_EQ(controls_.Text(TControl::eSpacing), "abc");
  EXPECT_FALSE(controls_.Checked(TControl::cbDoSpace));
}

TEST_F(MainFormLogic, UnknownTagChangesNothing) {
  DbUnits = kUnitsUnknown;
  controls_.SetText(TControl::eSpacing, "200");
  controls_.log.clear();
  logic_.ChangeUnits(0);
  EXPECT_EQ(DbUnits, kUnitsUnknown);
  EXPECT_TRUE(controls_.log.empty());
}

TEST_F(MainFormLogic, ShowUnitsNamesKnownUnitsOnly) {
  const std::pair<std::int32_t, const char*> rows[] = {
      {kUnitsUnknown, "Unit"}, {kUnitsMils, "mils"}, {kUnitsMm, "mm"}, {3, "Unit"}, {0, "Unit"}};
  for (const auto& [units, label] : rows) {
    FakeMainFormControls controls;
    TfrmMainLogic logic(controls);
    DbUnits = units;
    logic.ShowUnits();
    EXPECT_EQ(controls.Text(TControl::lUnits), label) << units;
  }
}

// ---- The units at creation ----

struct CreationUnitsCase {
  const char* name;
  std::int32_t openStatus;
  std::int32_t infoStatus;
  std::int32_t unitsInBuffer;  // what the host writes, whether it grants the request or not
  std::int32_t units;
  const char* label;
  std::vector<std::string> calls;
};

class CreationUnits : public MainFormLogic,
                      public ::testing::WithParamInterface<CreationUnitsCase> {};

TEST_P(CreationUnits, FollowTheRunsRuleForARefusedRequest) {
  const CreationUnitsCase& row = GetParam();
  testing::Log log;
  testing::FakeDesign design(log);
  design.FailAt("open", 0, row.openStatus);
  design.FailAt("info", 0, row.infoStatus);
  design.units = row.unitsInBuffer;
  design.unitsOnRefusal = row.unitsInBuffer;
  DbxHost host(testing::FakeDesign::Api());
  DbUnits = kUnitsUnknown;  // as FormCreate sets it
  bool designOpen = true;   // stale on purpose

  logic_.LearnDesignUnits(host, designOpen);
  EXPECT_EQ(DbUnits, row.units);
  EXPECT_EQ(controls_.Text(TControl::lUnits), row.label);
  EXPECT_THAT(log, ::testing::ElementsAreArray(row.calls));
  EXPECT_FALSE(designOpen);
  EXPECT_FALSE(design.open);
  EXPECT_THAT(design.violations, ::testing::IsEmpty());
}

constexpr std::int32_t kServerError = 32004;
constexpr std::int32_t kNoConnection = 32105;

INSTANTIATE_TEST_SUITE_P(
    Rows, CreationUnits,
    ::testing::Values(
        CreationUnitsCase{"Mils", 0, 0, kUnitsMils, kUnitsMils, "mils", {"open", "info", "close"}},
        CreationUnitsCase{"Mm", 0, 0, kUnitsMm, kUnitsMm, "mm", {"open", "info", "close"}},
        CreationUnitsCase{"OtherCode", 0, 0, 7, 7, "Unit", {"open", "info", "close"}},
        CreationUnitsCase{"RefusedWithMmInTheBuffer",
                          0,
                          kServerError,
                          kUnitsMm,
                          kUnitsUnknown,
                          "Unit",
                          {"open", "info", "close"}},
        CreationUnitsCase{"RefusedWithMilsInTheBuffer",
                          0,
                          -1,
                          kUnitsMils,
                          kUnitsUnknown,
                          "Unit",
                          {"open", "info", "close"}},
        CreationUnitsCase{
            "NoConnection", kNoConnection, 0, kUnitsMm, kUnitsUnknown, "Unit", {"open"}}),
    [](const auto& row) { return std::string(row.param.name); });

// ---- The run's inputs ----

TEST_F(MainFormLogic, InputsReflectTheControls) {
  PlacementInputs inputs = logic_.Inputs();
  EXPECT_TRUE(inputs.horizontal);
  EXPECT_EQ(inputs.order, TSortOrder::Increasing);
  EXPECT_FALSE(inputs.spacingEnabled);
  EXPECT_EQ(inputs.spacingText, "0");
  EXPECT_FALSE(inputs.rotateEnabled);

  logic_.SetHorizontalChecked(false);
  logic_.SetSortOrderChecked(TSortOrder::Decreasing);
  logic_.SetSpacingText("12,5");
  logic_.SetRotateEnabled(true);
  inputs = logic_.Inputs();
  EXPECT_FALSE(inputs.horizontal);
  EXPECT_EQ(inputs.order, TSortOrder::Decreasing);
  EXPECT_TRUE(inputs.spacingEnabled);
  EXPECT_EQ(inputs.spacingText, "12,5");
  EXPECT_TRUE(inputs.rotateEnabled);

  // No order button checked counts as unchanged.
  controls_.SetChecked(TControl::rbDown, false);
  EXPECT_EQ(logic_.Inputs().order, TSortOrder::Unchanged);
}

}  // namespace
}  // namespace kordane
