#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "mainform/FakeMainFormControls.h"
#include "settings/GlobalSettings.h"
#include "settings/MemoryProfile.h"
#include "ui/MainFormLogic.h"

namespace kordane {
namespace {

using fakes::CountOf;
using fakes::FakeMainFormControls;
using fakes::FirstOf;
using fakes::MemoryProfile;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
namespace keys = settings_keys;

// The real window's behaviour over fake controls: what the settings see at start-up.
struct Window {
  FakeMainFormControls controls;
  TfrmMainLogic logic{controls};
  TGlobalSettings settings{logic};
};

// Records what Load applies, in order, without any handler behind it.
class RecordingTarget : public ISettingsTarget {
 public:
  int Left() const override { return 0; }
  int Top() const override { return 0; }
  void SetLeft(int left) override { Record("Left", std::to_string(left)); }
  void SetTop(int top) override { Record("Top", std::to_string(top)); }
  TWindowState WindowState() const override { return TWindowState::Normal; }
  void SetWindowState(TWindowState state) override {
    Record("WindowState", std::to_string(static_cast<int>(state)));
  }
  bool OnTopChecked() const override { return false; }
  void SetOnTopChecked(bool checked) override { Record("OnTop", checked ? "1" : "0"); }
  bool HorizontalChecked() const override { return false; }
  void SetHorizontalChecked(bool horizontal) override {
    Record("Horizontal", horizontal ? "1" : "0");
  }
  std::optional<TSortOrder> SortOrderChecked() const override { return std::nullopt; }
  void SetSortOrderChecked(TSortOrder order) override {
    Record("SortOrder", std::to_string(static_cast<int>(order)));
  }
  bool RotateChecked() const override { return false; }
  void SetRotateEnabled(bool on) override { Record("RotateEnabled", on ? "1" : "0"); }
  std::string RotationText() const override { return {}; }
  void SetRotationText(const std::string& text) override { Record("RotationText", text); }
  std::string SpacingText() const override { return {}; }
  void SetSpacingText(const std::string& text) override { Record("SpacingText", text); }
  bool SpacingChecked() const override { return false; }
  void SetSpacingEnabled(bool on) override { Record("SpacingEnabled", on ? "1" : "0"); }

  // What was applied under name, or nullopt.
  std::optional<std::string> Applied(const std::string& name) const {
    for (const auto& [what, value] : applied) {
      if (what == name) return value;
    }
    return std::nullopt;
  }

  std::vector<std::pair<std::string, std::string>> applied;

 private:
  void Record(std::string what, std::string value) {
    applied.emplace_back(std::move(what), std::move(value));
  }
};

std::vector<std::pair<std::string, std::string>> LoadApplied(MemoryProfile& profile) {
  RecordingTarget target;
  TGlobalSettings(target).Load(profile);
  return target.applied;
}

// ---- Load: order and defaults ----

TEST(SettingsLoad, EmptyProfileAppliesEveryDefaultInKeyOrder) {
  MemoryProfile profile;
  EXPECT_THAT(LoadApplied(profile),
              ElementsAre(std::pair{"Left", "50"}, std::pair{"Top", "50"},
                          std::pair{"WindowState", "0"}, std::pair{"OnTop", "1"},
                          std::pair{"Horizontal", "1"}, std::pair{"SortOrder", "0"},
                          std::pair{"RotateEnabled", "1"}, std::pair{"RotationText", "0"},
                          std::pair{"SpacingText", "200"}, std::pair{"SpacingEnabled", "1"}));
  EXPECT_THAT(profile.reads,
              ElementsAre("Left", "Top", "Window State", "On Top", "Alignment", "Sort Order",
                          "Rotate", "Rotation", "Spacing", "EnableSpacing"));
}

TEST(SettingsLoad, StoredValuesAreAppliedInKeyOrder) {
  MemoryProfile profile{{"EnableSpacing", "0"}, {"Spacing", "12.5"},   {"Rotation", "-45"},
                        {"Rotate", "0"},        {"Sort Order", "1"},   {"Alignment", "0"},
                        {"On Top", "0"},        {"Window State", "2"}, {"Top", "-300"},
                        {"Left", "4000"}};
  EXPECT_THAT(LoadApplied(profile),
              ElementsAre(std::pair{"Left", "4000"}, std::pair{"Top", "-300"},
                          std::pair{"WindowState", "2"}, std::pair{"OnTop", "0"},
                          std::pair{"Horizontal", "0"}, std::pair{"SortOrder", "1"},
                          std::pair{"RotateEnabled", "0"}, std::pair{"RotationText", "-45"},
                          std::pair{"SpacingText", "12.5"}, std::pair{"SpacingEnabled", "0"}));
}

TEST(SettingsLoad, NoFileOpensTheWindowWithTheDefaults) {
  Window window;
  MemoryProfile profile;
  window.settings.Load(profile);
  const FakeMainFormControls& c = window.controls;
  EXPECT_EQ(c.Left(), 50);
  EXPECT_EQ(c.Top(), 50);
  EXPECT_EQ(c.WindowState(), TWindowState::Normal);
  EXPECT_TRUE(c.Checked(TControl::cbOnTop));
  EXPECT_THAT(c.topMostCalls, ElementsAre(true));
  EXPECT_TRUE(c.Checked(TControl::rbHorizontal));
  EXPECT_FALSE(c.Checked(TControl::rbVertical));
  EXPECT_TRUE(c.Checked(TControl::rbUp));
  EXPECT_FALSE(c.Checked(TControl::rbDown));
  EXPECT_FALSE(c.Checked(TControl::rbNone));
  EXPECT_TRUE(c.Checked(TControl::cbDoRotate));
  EXPECT_EQ(c.Text(TControl::cbRotation), "0");
  EXPECT_FALSE(c.Greyed(TControl::cbRotation));
  EXPECT_TRUE(c.Checked(TControl::cbDoSpace));
  EXPECT_EQ(c.Text(TControl::eSpacing), "200");
  EXPECT_FALSE(c.Greyed(TControl::eSpacing));
}

// ---- Load: parse rules, one row per case ----

struct IntegerCase {
  const char* name;
  std::optional<std::string> stored;  // nullopt: key missing
  std::string applied;
};

class SettingsLoadPosition : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(SettingsLoadPosition, ParsesOrFallsBackToTheDefault) {
  for (const char* key : {keys::kLeft, keys::kTop}) {
    MemoryProfile profile;
    if (GetParam().stored) profile.values[key] = *GetParam().stored;
    RecordingTarget target;
    TGlobalSettings(target).Load(profile);
    EXPECT_EQ(target.Applied(key), GetParam().applied) << key;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SettingsLoadPosition,
    ::testing::Values(
        IntegerCase{"Missing", std::nullopt, "50"}, IntegerCase{"Empty", "", "50"},
        IntegerCase{"Word", "left", "50"}, IntegerCase{"Decimal", "123", "123"},
        IntegerCase{"OffScreenUnchanged", "-5000", "-5000"}, IntegerCase{"Hex", "$10", "16"},
        IntegerCase{"HexPrefix0x", "0x1F", "31"}, IntegerCase{"LeadingSpaces", "  7", "7"},
        IntegerCase{"TrailingGarbage", "7px", "50"}, IntegerCase{"Fraction", "7.5", "50"},
        IntegerCase{"Largest", "2147483647", "2147483647"},
        IntegerCase{"Smallest", "-2147483648", "-2147483648"},
        IntegerCase{"TooLarge", "2147483648", "50"}, IntegerCase{"TooSmall", "-2147483649", "50"}),
    [](const auto& row) { return std::string(row.param.name); });

struct BooleanCase {
  const char* name;
  std::optional<std::string> stored;
  bool applied;
};

class SettingsLoadBoolean : public ::testing::TestWithParam<BooleanCase> {};

// All four boolean keys default to true, so a bad value reads as true ("On Top" = false is a
// word and keeps the window on top).
TEST_P(SettingsLoadBoolean, NonZeroIsTrueAndBadValuesGiveTheDefault) {
  const std::pair<const char*, const char*> keyAndApplied[] = {
      {keys::kOnTop, "OnTop"},
      {keys::kAlignment, "Horizontal"},
      {keys::kRotate, "RotateEnabled"},
      {keys::kEnableSpacing, "SpacingEnabled"}};
  for (const auto& [key, applied] : keyAndApplied) {
    MemoryProfile profile;
    if (GetParam().stored) profile.values[key] = *GetParam().stored;
    RecordingTarget target;
    TGlobalSettings(target).Load(profile);
    EXPECT_EQ(target.Applied(applied), GetParam().applied ? "1" : "0") << key;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SettingsLoadBoolean,
    ::testing::Values(BooleanCase{"Missing", std::nullopt, true}, BooleanCase{"Zero", "0", false},
                      BooleanCase{"One", "1", true}, BooleanCase{"Two", "2", true},
                      BooleanCase{"MinusOne", "-1", true}, BooleanCase{"HexZero", "$0", false},
                      BooleanCase{"HexTen", "$10", true}, BooleanCase{"WordFalse", "false", true},
                      BooleanCase{"Empty", "", true},
                      BooleanCase{"OutOfRange", "99999999999", true}),
    [](const auto& row) { return std::string(row.param.name); });

struct WindowStateCase {
  const char* name;
  std::optional<std::string> stored;
  TWindowState applied;
};

class SettingsLoadWindowState : public ::testing::TestWithParam<WindowStateCase> {};

TEST_P(SettingsLoadWindowState, OnlyTheLowByteCounts) {
  MemoryProfile profile;
  if (GetParam().stored) profile.values[keys::kWindowState] = *GetParam().stored;
  RecordingTarget target;
  TGlobalSettings(target).Load(profile);
  EXPECT_EQ(target.Applied("WindowState"), std::to_string(static_cast<int>(GetParam().applied)));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SettingsLoadWindowState,
    ::testing::Values(WindowStateCase{"Missing", std::nullopt, TWindowState::Normal},
                      WindowStateCase{"Normal", "0", TWindowState::Normal},
                      WindowStateCase{"Minimised", "1", TWindowState::Minimized},
                      WindowStateCase{"Maximised", "2", TWindowState::Maximized},
                      // Low bytes without meaning are taken as normal.
                      WindowStateCase{"Three", "3", TWindowState::Normal},
                      WindowStateCase{"LowByte255", "255", TWindowState::Normal},
                      WindowStateCase{"MinusOneIsLowByte255", "-1", TWindowState::Normal},
                      // Higher bits are ignored.
                      WindowStateCase{"LowByteOf256", "256", TWindowState::Normal},
                      WindowStateCase{"LowByteOf257", "257", TWindowState::Minimized},
                      WindowStateCase{"LowByteOfHex102", "$102", TWindowState::Maximized},
                      WindowStateCase{"LowByteOfMinus255", "-255", TWindowState::Minimized},
                      WindowStateCase{"Word", "maximized", TWindowState::Normal}),
    [](const auto& row) { return std::string(row.param.name); });

struct SortOrderCase {
  const char* name;
  std::optional<std::string> stored;
  TSortOrder applied;
};

class SettingsLoadSortOrder : public ::testing::TestWithParam<SortOrderCase> {};

TEST_P(SettingsLoadSortOrder, ZeroUpOneDownAnythingElseUnchanged) {
  Window window;
  MemoryProfile profile;
  if (GetParam().stored) profile.values[keys::kSortOrder] = *GetParam().stored;
  window.settings.Load(profile);
  const FakeMainFormControls& c = window.controls;
  EXPECT_EQ(c.Checked(TControl::rbUp), GetParam().applied == TSortOrder::Increasing);
  EXPECT_EQ(c.Checked(TControl::rbDown), GetParam().applied == TSortOrder::Decreasing);
  EXPECT_EQ(c.Checked(TControl::rbNone), GetParam().applied == TSortOrder::Unchanged);
}

INSTANTIATE_TEST_SUITE_P(Rows, SettingsLoadSortOrder,
                         ::testing::Values(SortOrderCase{"Missing", std::nullopt,
                                                         TSortOrder::Increasing},
                                           SortOrderCase{"Zero", "0", TSortOrder::Increasing},
                                           SortOrderCase{"One", "1", TSortOrder::Decreasing},
                                           SortOrderCase{"Two", "2", TSortOrder::Unchanged},
                                           SortOrderCase{"Seven", "7", TSortOrder::Unchanged},
                                           SortOrderCase{"Negative", "-1", TSortOrder::Unchanged},
                                           SortOrderCase{"HexOne", "$1", TSortOrder::Decreasing},
                                           SortOrderCase{"Word", "down", TSortOrder::Increasing},
                                           SortOrderCase{"Empty", "", TSortOrder::Increasing}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(SettingsLoad, TextKeysAreTakenAsStoredAndOnlyAMissingKeyGivesTheDefault) {
  {
    MemoryProfile profile{{"Rotation", ""}, {"Spacing", ""}};
    RecordingTarget target;
    TGlobalSettings(target).Load(profile);
    EXPECT_EQ(target.Applied("RotationText"), "");
    EXPECT_EQ(target.Applied("SpacingText"), "");
  }
  {
    // Unparsable texts are kept; a run rejects them later.
    MemoryProfile profile{{"Rotation", "left"}, {"Spacing", " 1,5 mm"}};
    RecordingTarget target;
    TGlobalSettings(target).Load(profile);
    EXPECT_EQ(target.Applied("RotationText"), "left");
    EXPECT_EQ(target.Applied("SpacingText"), " 1,5 mm");
  }
}

// ---- Load: handler effects through the real window behaviour ----

TEST(SettingsLoad, StoredSpacingTextEnablesSpacingBeforeEnableSpacingIsApplied) {
  Window window;
  MemoryProfile profile{{"Spacing", "300"}, {"EnableSpacing", "0"}};
  window.settings.Load(profile);
  const FakeMainFormControls& c = window.controls;
  EXPECT_EQ(c.Text(TControl::eSpacing), "300");
  EXPECT_FALSE(c.Checked(TControl::cbDoSpace));
  EXPECT_TRUE(c.Greyed(TControl::eSpacing));
  // The change handler checked the box first; the stored value then cleared it.
  const std::size_t text = FirstOf(c.log, "text eSpacing 300");
  const std::size_t on = FirstOf(c.log, "check cbDoSpace 1");
  const std::size_t off = FirstOf(c.log, "check cbDoSpace 0");
  ASSERT_LT(off, c.log.size());
  EXPECT_LT(text, on);
  EXPECT_LT(on, off);
}

TEST(SettingsLoad, SpacingTextEqualToTheEditsRunsNoChangeHandler) {
  Window window;
  // The edit starts with "0".
  MemoryProfile profile{{"Spacing", "0"}, {"EnableSpacing", "0"}};
  window.settings.Load(profile);
  const FakeMainFormControls& c = window.controls;
  EXPECT_EQ(CountOf(c.log, "check cbDoSpace 1"), 0u);
  EXPECT_EQ(CountOf(c.log, "text eSpacing 0"), 0u);
  EXPECT_FALSE(c.Checked(TControl::cbDoSpace));
  EXPECT_TRUE(c.Greyed(TControl::eSpacing));
}

TEST(SettingsLoad, RotationDisabledWithTextNinetyLoadsGreyed) {
  Window window;
  MemoryProfile profile{{"Rotate", "0"}, {"Rotation", "90"}};
  window.settings.Load(profile);
  const FakeMainFormControls& c = window.controls;
  EXPECT_FALSE(c.Checked(TControl::cbDoRotate));
  EXPECT_EQ(c.Text(TControl::cbRotation), "90");
  EXPECT_TRUE(c.Greyed(TControl::cbRotation));
}

TEST(SettingsLoad, CheckBoxesShowTheStoredEnableStates) {
  for (const bool rotate : {false, true}) {
    for (const bool spacing : {false, true}) {
      Window window;
      MemoryProfile profile{{"Rotate", rotate ? "1" : "0"},
                            {"Rotation", "45"},
                            {"Spacing", "150"},
                            {"EnableSpacing", spacing ? "1" : "0"}};
      window.settings.Load(profile);
      const FakeMainFormControls& c = window.controls;
      EXPECT_EQ(c.Checked(TControl::cbDoRotate), rotate);
      EXPECT_EQ(c.Greyed(TControl::cbRotation), !rotate);
      EXPECT_EQ(c.Checked(TControl::cbDoSpace), spacing);
      EXPECT_EQ(c.Greyed(TControl::eSpacing), !spacing);
    }
  }
}

TEST(SettingsLoad, StoredOnTopRunsTheClickHandlerOnce) {
  Window window;
  MemoryProfile profile{{"On Top", "1"}};
  window.settings.Load(profile);
  EXPECT_THAT(window.controls.topMostCalls, ElementsAre(true));
}

TEST(SettingsLoad, StoredOnTopFalseChangesNothing) {
  Window window;
  MemoryProfile profile{{"On Top", "0"}};
  window.settings.Load(profile);
  EXPECT_FALSE(window.controls.Checked(TControl::cbOnTop));
  EXPECT_TRUE(window.controls.topMostCalls.empty());
}

TEST(SettingsLoad, VerticalAlignmentUnchecksHorizontal) {
  Window window;
  MemoryProfile profile{{"Alignment", "0"}};
  window.settings.Load(profile);
  EXPECT_FALSE(window.controls.Checked(TControl::rbHorizontal));
  EXPECT_TRUE(window.controls.Checked(TControl::rbVertical));
}

// ---- Save ----

using Writes = std::vector<std::pair<std::string, std::string>>;

// The window after a default load, then changed as a user would.
struct LoadedWindow : Window {
  LoadedWindow() {
    MemoryProfile profile;
    settings.Load(profile);
  }
};

TEST(SettingsSave, WritesEveryKeyInOrder) {
  LoadedWindow window;
  window.controls.SetLeft(-120);
  window.controls.SetTop(4000);
  window.logic.SetOnTopChecked(false);
  window.logic.SetHorizontalChecked(false);
  window.logic.SetSortOrderChecked(TSortOrder::Decreasing);
  window.logic.SetRotateEnabled(false);
  window.logic.SetRotationText("-135");
  window.logic.SetSpacingText("2,54");
  window.logic.SetSpacingEnabled(false);

  MemoryProfile profile;
  window.settings.Save(profile);
  EXPECT_THAT(profile.writes, ElementsAreArray(Writes{{"Window State", "0"},
                                                      {"Left", "-120"},
                                                      {"Top", "4000"},
                                                      {"On Top", "0"},
                                                      {"Alignment", "0"},
                                                      {"Sort Order", "1"},
                                                      {"Rotate", "0"},
                                                      {"Rotation", "-135"},
                                                      {"Spacing", "2,54"},
                                                      {"EnableSpacing", "0"}}));
}

TEST(SettingsSave, DefaultsWriteOnesAndTheDefaultTexts) {
  LoadedWindow window;
  MemoryProfile profile;
  window.settings.Save(profile);
  EXPECT_THAT(profile.writes, ElementsAreArray(Writes{{"Window State", "0"},
                                                      {"Left", "50"},
                                                      {"Top", "50"},
                                                      {"On Top", "1"},
                                                      {"Alignment", "1"},
                                                      {"Sort Order", "0"},
                                                      {"Rotate", "1"},
                                                      {"Rotation", "0"},
                                                      {"Spacing", "200"},
                                                      {"EnableSpacing", "1"}}));
}

TEST(SettingsSave, MinimisedOrMaximisedLeavesLeftAndTopAlone) {
  const std::pair<TWindowState, const char*> rows[] = {{TWindowState::Minimized, "1"},
                                                       {TWindowState::Maximized, "2"}};
  for (const auto& [state, stored] : rows) {
    LoadedWindow window;
    window.controls.SetWindowState(state);
    MemoryProfile profile{{"Left", "10"}, {"Top", "20"}};
    window.settings.Save(profile);
    ASSERT_FALSE(profile.writes.empty());
    EXPECT_EQ(profile.writes.front(),
              (std::pair<std::string, std::string>{"Window State", stored}));
    for (const auto& [key, value] : profile.writes) {
      EXPECT_NE(key, "Left");
      EXPECT_NE(key, "Top");
    }
    EXPECT_EQ(profile.values["Left"], "10");
    EXPECT_EQ(profile.values["Top"], "20");
    EXPECT_EQ(profile.writes.size(), 8u);
  }
}

TEST(SettingsSave, SortOrderValuePerButton) {
  const std::pair<TSortOrder, const char*> rows[] = {
      {TSortOrder::Increasing, "0"}, {TSortOrder::Decreasing, "1"}, {TSortOrder::Unchanged, "2"}};
  for (const auto& [order, stored] : rows) {
    LoadedWindow window;
    window.logic.SetSortOrderChecked(order);
    MemoryProfile profile;
    window.settings.Save(profile);
    EXPECT_EQ(profile.values["Sort Order"], stored);
  }
}

TEST(SettingsSave, NoOrderButtonCheckedWritesNoSortOrder) {
  LoadedWindow window;
  window.controls.SetChecked(TControl::rbUp, false);
  MemoryProfile profile{{"Sort Order", "1"}};
  window.settings.Save(profile);
  for (const auto& [key, value] : profile.writes) EXPECT_NE(key, "Sort Order");
  EXPECT_EQ(profile.values["Sort Order"], "1");
  EXPECT_EQ(profile.writes.size(), 9u);
}

TEST(SettingsSave, AFailedWriteStopsTheSaveAtThatKey) {
  const char* const order[] = {"Window State", "Left",   "Top",      "On Top",  "Alignment",
                               "Sort Order",   "Rotate", "Rotation", "Spacing", "EnableSpacing"};
  for (std::size_t failing = 0; failing < std::size(order); ++failing) {
    LoadedWindow window;
    MemoryProfile profile;
    profile.failAt = order[failing];
    try {
      window.settings.Save(profile);
      ADD_FAILURE() << "no error for " << order[failing];
    } catch (const SettingsWriteError& error) {
      EXPECT_STREQ(error.what(), "Unable to write to C:\\Programs\\Kordane.INI");
    }
    std::vector<std::string> written;
    for (const auto& [key, value] : profile.writes) written.push_back(key);
    EXPECT_THAT(written, ElementsAreArray(order, failing)) << order[failing];
  }
}

TEST(SettingsSave, RoundTripRestoresEveryChoice) {
  LoadedWindow before;
  before.controls.SetLeft(333);
  before.controls.SetTop(-7);
  before.logic.SetOnTopChecked(false);
  before.logic.SetHorizontalChecked(false);
  before.logic.SetSortOrderChecked(TSortOrder::Unchanged);
  before.logic.SetRotateEnabled(false);
  before.logic.SetRotationText("abc");
  before.logic.SetSpacingText("0");
  before.logic.SetSpacingEnabled(false);
  MemoryProfile profile;
  before.settings.Save(profile);

  Window after;
  profile.writes.clear();
  after.settings.Load(profile);
  const FakeMainFormControls& c = after.controls;
  EXPECT_EQ(c.Left(), 333);
  EXPECT_EQ(c.Top(), -7);
  EXPECT_FALSE(c.Checked(TControl::cbOnTop));
  EXPECT_TRUE(c.Checked(TControl::rbVertical));
  EXPECT_TRUE(c.Checked(TControl::rbNone));
  EXPECT_FALSE(c.Checked(TControl::rbUp));
  EXPECT_FALSE(c.Checked(TControl::cbDoRotate));
  EXPECT_EQ(c.Text(TControl::cbRotation), "abc");
  EXPECT_EQ(c.Text(TControl::eSpacing), "0");
  EXPECT_FALSE(c.Checked(TControl::cbDoSpace));
  EXPECT_TRUE(profile.writes.empty());  // Load never writes
}

}  // namespace
}  // namespace kordane
