// The place and size of a window other than the main one, kept in a section of its own of the
// settings file: "Left", "Top", "Width" and "Height" of its frame, in pixels.
#pragma once

#include <optional>

#include "settings/GlobalSettings.h"

namespace kordane {

namespace preview_keys {
inline constexpr const char* kSection = "Preview Window";
}  // namespace preview_keys

struct TWindowPlace {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const TWindowPlace&, const TWindowPlace&) = default;
};

// The stored place, or nothing when a key is missing or does not convert, or the size is not
// positive: the window then takes its own default place.
std::optional<TWindowPlace> LoadWindowPlace(IProfileSection& profile);

// Throws SettingsWriteError when the file cannot be written.
void SaveWindowPlace(IProfileSection& profile, const TWindowPlace& place);

}  // namespace kordane
