#include "settings/WindowPlace.h"

#include <string>

#include "host/Conversions.h"

namespace kordane {

namespace {

constexpr const char* kLeft = "Left";
constexpr const char* kTop = "Top";
constexpr const char* kWidth = "Width";
constexpr const char* kHeight = "Height";

std::optional<int> ReadInt(IProfileSection& profile, const char* key) {
  const std::optional<std::string> text = profile.ReadString(key);
  if (!text) return std::nullopt;
  try {
    return ParseInt(*text);
  } catch (const ConversionError&) {
    return std::nullopt;
  }
}

}  // namespace

std::optional<TWindowPlace> LoadWindowPlace(IProfileSection& profile) {
  const std::optional<int> left = ReadInt(profile, kLeft);
  const std::optional<int> top = ReadInt(profile, kTop);
  const std::optional<int> width = ReadInt(profile, kWidth);
  const std::optional<int> height = ReadInt(profile, kHeight);
  if (!left || !top || !width || !height || *width <= 0 || *height <= 0) return std::nullopt;
  return TWindowPlace{*left, *top, *width, *height};
}

void SaveWindowPlace(IProfileSection& profile, const TWindowPlace& place) {
  profile.WriteString(kLeft, std::to_string(place.left));
  profile.WriteString(kTop, std::to_string(place.top));
  profile.WriteString(kWidth, std::to_string(place.width));
  profile.WriteString(kHeight, std::to_string(place.height));
}

}  // namespace kordane
