#include "settings/GlobalSettings.h"

#include <cstdint>
#include <string>

#include "host/Conversions.h"

namespace kordane {

namespace {

namespace keys = settings_keys;

constexpr std::int32_t kDefaultLeft = 50;
constexpr std::int32_t kDefaultTop = 50;
constexpr std::int32_t kDefaultWindowState = 0;
constexpr bool kDefaultOnTop = true;
constexpr bool kDefaultAlignment = true;  // horizontal
constexpr std::int32_t kDefaultSortOrder = 0;
constexpr bool kDefaultRotate = true;
constexpr const char* kDefaultRotation = "0";
constexpr const char* kDefaultSpacing = "200";
constexpr bool kDefaultEnableSpacing = true;

constexpr std::int32_t kSortUp = 0;
constexpr std::int32_t kSortDown = 1;
constexpr std::int32_t kSortNone = 2;

// A missing key or a value that the integer parse rejects (empty, a word, out of range) yields
// the default.
std::int32_t ReadInteger(IProfileSection& profile, const char* key, std::int32_t fallback) {
  const std::optional<std::string> text = profile.ReadString(key);
  if (!text) return fallback;
  try {
    return ParseInt(*text);
  } catch (const ConversionError&) {
    return fallback;
  }
}

bool ReadBoolean(IProfileSection& profile, const char* key, bool fallback) {
  return ReadInteger(profile, key, fallback ? 1 : 0) != 0;
}

std::string ReadText(IProfileSection& profile, const char* key, const char* fallback) {
  return profile.ReadString(key).value_or(fallback);
}

void WriteInteger(IProfileSection& profile, const char* key, std::int32_t value) {
  profile.WriteString(key, std::to_string(value));
}

void WriteBoolean(IProfileSection& profile, const char* key, bool value) {
  profile.WriteString(key, value ? "1" : "0");
}

// Only the low byte of the stored value counts. A low byte other than 0, 1 or 2 has no meaning;
// such a value is treated as normal so that a damaged file cannot leave the window in a state
// the window does not know.
TWindowState WindowStateFromStored(std::int32_t stored) {
  switch (static_cast<std::uint32_t>(stored) & 0xFFu) {
    case 1:
      return TWindowState::Minimized;
    case 2:
      return TWindowState::Maximized;
    default:
      return TWindowState::Normal;
  }
}

std::int32_t StoredWindowState(TWindowState state) {
  switch (state) {
    case TWindowState::Minimized:
      return 1;
    case TWindowState::Maximized:
      return 2;
    case TWindowState::Normal:
      break;
  }
  return 0;
}

TSortOrder SortOrderFromStored(std::int32_t stored) {
  if (stored == kSortUp) return TSortOrder::Increasing;
  if (stored == kSortDown) return TSortOrder::Decreasing;
  return TSortOrder::Unchanged;
}

}  // namespace

// The order matters: checking "On Top" runs its click handler, and a spacing text that differs
// from the edit's enables spacing, which "EnableSpacing" then overrides.
void TGlobalSettings::Load(IProfileSection& profile) {
  target_.SetLeft(ReadInteger(profile, keys::kLeft, kDefaultLeft));
  target_.SetTop(ReadInteger(profile, keys::kTop, kDefaultTop));
  target_.SetWindowState(
      WindowStateFromStored(ReadInteger(profile, keys::kWindowState, kDefaultWindowState)));
  target_.SetOnTopChecked(ReadBoolean(profile, keys::kOnTop, kDefaultOnTop));
  target_.SetHorizontalChecked(ReadBoolean(profile, keys::kAlignment, kDefaultAlignment));
  target_.SetSortOrderChecked(
      SortOrderFromStored(ReadInteger(profile, keys::kSortOrder, kDefaultSortOrder)));
  target_.SetRotateEnabled(ReadBoolean(profile, keys::kRotate, kDefaultRotate));
  target_.SetRotationText(ReadText(profile, keys::kRotation, kDefaultRotation));
  target_.SetSpacingText(ReadText(profile, keys::kSpacing, kDefaultSpacing));
  target_.SetSpacingEnabled(ReadBoolean(profile, keys::kEnableSpacing, kDefaultEnableSpacing));
}

// A failed write throws and leaves the later keys unwritten.
void TGlobalSettings::Save(IProfileSection& profile) {
  const TWindowState state = target_.WindowState();
  WriteInteger(profile, keys::kWindowState, StoredWindowState(state));
  // A minimised or maximised window's edges are not the place to come back to.
  if (state == TWindowState::Normal) {
    WriteInteger(profile, keys::kLeft, target_.Left());
    WriteInteger(profile, keys::kTop, target_.Top());
  }
  WriteBoolean(profile, keys::kOnTop, target_.OnTopChecked());
  WriteBoolean(profile, keys::kAlignment, target_.HorizontalChecked());
  const std::optional<TSortOrder> order = target_.SortOrderChecked();
  if (order == TSortOrder::Increasing) WriteInteger(profile, keys::kSortOrder, kSortUp);
  if (order == TSortOrder::Decreasing) WriteInteger(profile, keys::kSortOrder, kSortDown);
  if (order == TSortOrder::Unchanged) WriteInteger(profile, keys::kSortOrder, kSortNone);
  WriteBoolean(profile, keys::kRotate, target_.RotateChecked());
  profile.WriteString(keys::kRotation, target_.RotationText());
  profile.WriteString(keys::kSpacing, target_.SpacingText());
  WriteBoolean(profile, keys::kEnableSpacing, target_.SpacingChecked());
}

}  // namespace kordane
