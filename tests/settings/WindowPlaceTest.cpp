// The preview window's place in the settings file: a round trip, and stored values that are
// unusable give no place at all rather than a half-made one.
#include <gtest/gtest.h>

#include "MemoryProfile.h"
#include "settings/WindowPlace.h"

namespace kordane {
namespace {

using fakes::MemoryProfile;

TEST(WindowPlaceTest, SavedPlaceLoadsBack) {
  MemoryProfile profile;
  SaveWindowPlace(profile, {-20, 30, 640, 480});
  EXPECT_EQ(profile.values.at("Left"), "-20");
  EXPECT_EQ(profile.values.at("Height"), "480");
  EXPECT_EQ(LoadWindowPlace(profile), (TWindowPlace{-20, 30, 640, 480}));
}

TEST(WindowPlaceTest, UnusableValuesGiveNoPlace) {
  const std::map<std::string, std::string> rows[] = {
      {},                                                                 // no file
      {{"Left", "1"}, {"Top", "2"}, {"Width", "300"}},                    // a key missing
      {{"Left", "1"}, {"Top", "2"}, {"Width", "wide"}, {"Height", "9"}},  // not a number
      {{"Left", "1"}, {"Top", "2"}, {"Width", "0"}, {"Height", "200"}},   // no size
      {{"Left", "1"}, {"Top", "2"}, {"Width", "300"}, {"Height", "-5"}},
  };
  for (const auto& stored : rows) {
    MemoryProfile profile;
    profile.values = stored;
    EXPECT_EQ(LoadWindowPlace(profile), std::nullopt) << stored.size();
  }
  MemoryProfile hex{{"Left", "$10"}, {"Top", "2"}, {"Width", "300"}, {"Height", "200"}};
  EXPECT_EQ(LoadWindowPlace(hex), (TWindowPlace{16, 2, 300, 200}))
      << "the program's integer syntax";
}

TEST(WindowPlaceTest, WriteFailureIsReported) {
  MemoryProfile profile;
  profile.failAt = "Width";
  EXPECT_THROW(SaveWindowPlace(profile, {1, 2, 3, 4}), SettingsWriteError);
}

}  // namespace
}  // namespace kordane
