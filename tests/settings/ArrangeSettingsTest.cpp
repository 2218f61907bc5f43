// The Arrange window's choices in the settings file.
#include <gtest/gtest.h>

#include "MemoryProfile.h"
#include "settings/ArrangeSettings.h"

namespace kordane {
namespace {

TEST(ArrangeSettings, EveryChoiceComesBackAsSaved) {
  TArrangeChoices choices;
  choices.pattern = TArrangePattern::Circle;
  choices.order = TArrangeOrder::ByPosition;
  choices.turn = true;
  choices.turnText = " 22,5 ";
  choices.columnsText = "\"8\"";
  choices.start = TGridCorner::BottomRight;
  choices.snake = choices.turnOddLines = choices.lineUp = choices.clockwise = true;
  choices.distributeAxis = choices.alignAxis = TArrangeAxis::Vertical;
  choices.alignEdge = TAlignEdge::BottomOrRight;
  choices.radiusText = "";
  choices.offsetText = "-90";
  choices.channelScheme = TChannelScheme::TagAfterSeparator;
  choices.blockSizeText = " 10 ";
  choices.anchorText = " u101 ";
  choices.inSteps = true;
  choices.stepXText = "-2,5";
  choices.stagger = choices.keepFirst = true;
  choices.originYText = " -0,5 ";
  choices.lengthUnits = kUnitsMm;
  fakes::MemoryProfile profile;
  SaveArrangeChoices(profile, choices);
  EXPECT_EQ(profile.ReadString("Units"), "2");
  EXPECT_EQ(LoadArrangeChoices(profile), choices);
  choices.pattern = TArrangePattern::Replicate;
  SaveArrangeChoices(profile, choices);
  EXPECT_EQ(profile.ReadString("Pattern"), "5");
  EXPECT_EQ(profile.ReadString("Channels"), "1");
  EXPECT_EQ(profile.ReadString("Channel Scheme"), "1");
  EXPECT_EQ(LoadArrangeChoices(profile), choices);
  choices.pattern = TArrangePattern::Snap;
  SaveArrangeChoices(profile, choices);
  EXPECT_EQ(profile.ReadString("Pattern"), "6");
  EXPECT_EQ(LoadArrangeChoices(profile), choices);
  choices.tableFileText = " C:\\boards\\rev B.csv ";
  choices.tableUnits = TTableUnit::Inches;
  choices.tableOriginXText = " 1,5 ";
  choices.tableOriginYText = "-2e1";
  choices.pattern = TArrangePattern::Transform;
  choices.mirror = TMirror::TopToBottom;
  choices.mirrorTurns = false;
  choices.turnByText = " -22,5 ";
  choices.pivot = TPivot::Point;
  choices.pivotPartText = " u1 ";
  choices.pivotXText = "1e3";
  choices.moveYText = "-0,25 ";
  SaveArrangeChoices(profile, choices);
  EXPECT_EQ(profile.ReadString("Pattern"), "8");
  EXPECT_EQ(profile.ReadString("Mirror Turns"), "0");
  EXPECT_EQ(profile.ReadString("Turn By"), " -22,5 ");
  EXPECT_EQ(profile.ReadString("Table Units"), "2");
  EXPECT_EQ(LoadArrangeChoices(profile), choices);
}

TEST(ArrangeSettings, ChoicesThatNameNoOptionTakeTheirDefaults) {
  fakes::MemoryProfile profile{{"Pattern", "9"},       {"Order", "-1"}, {"Start", "two"},
                               {"Align To", "3"},      {"Snake", "x"},  {"Pitch X", "12.5"},
                               {"Units", "3"},         {"Mirror", "3"}, {"Table Units", "3"},
                               {"Channel Scheme", "2"}};
  TArrangeChoices expected;
  expected.pitchXText = "12.5";
  EXPECT_EQ(LoadArrangeChoices(profile), expected);
}

}  // namespace
}  // namespace kordane
