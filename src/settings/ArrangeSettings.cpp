#include "settings/ArrangeSettings.h"

#include <cstdint>
#include <optional>
#include <string>

#include "host/Conversions.h"

namespace kordane {

namespace {

namespace keys = arrange_keys;

struct TextKey {
  const char* key;
  std::string TArrangeChoices::*field;
};

struct FlagKey {
  const char* key;
  bool TArrangeChoices::*field;
};

constexpr TextKey kTexts[] = {
    {keys::kTurnTo, &TArrangeChoices::turnText},
    {keys::kColumns, &TArrangeChoices::columnsText},
    {keys::kPitchX, &TArrangeChoices::pitchXText},
    {keys::kPitchY, &TArrangeChoices::pitchYText},
    {keys::kCentreX, &TArrangeChoices::centreXText},
    {keys::kCentreY, &TArrangeChoices::centreYText},
    {keys::kRadius, &TArrangeChoices::radiusText},
    {keys::kRingStep, &TArrangeChoices::ringStepText},
    {keys::kStartAngle, &TArrangeChoices::startAngleText},
    {keys::kSpan, &TArrangeChoices::spanText},
    {keys::kOffset, &TArrangeChoices::offsetText},
    {keys::kBlockSize, &TArrangeChoices::blockSizeText},
    {keys::kAnchor, &TArrangeChoices::anchorText},
    {keys::kStepX, &TArrangeChoices::stepXText},
    {keys::kStepY, &TArrangeChoices::stepYText},
    {keys::kGridX, &TArrangeChoices::gridXText},
    {keys::kGridY, &TArrangeChoices::gridYText},
    {keys::kOriginX, &TArrangeChoices::originXText},
    {keys::kOriginY, &TArrangeChoices::originYText},
    {keys::kTableFile, &TArrangeChoices::tableFileText},
    {keys::kTableOriginX, &TArrangeChoices::tableOriginXText},
    {keys::kTableOriginY, &TArrangeChoices::tableOriginYText},
    {keys::kTurnBy, &TArrangeChoices::turnByText},
    {keys::kPivotPart, &TArrangeChoices::pivotPartText},
    {keys::kPivotX, &TArrangeChoices::pivotXText},
    {keys::kPivotY, &TArrangeChoices::pivotYText},
    {keys::kMoveX, &TArrangeChoices::moveXText},
    {keys::kMoveY, &TArrangeChoices::moveYText},
};

constexpr FlagKey kFlags[] = {
    {keys::kTurn, &TArrangeChoices::turn},
    {keys::kFill, &TArrangeChoices::columnsFirst},
    {keys::kSnake, &TArrangeChoices::snake},
    {keys::kTurnOddRows, &TArrangeChoices::turnOddLines},
    {keys::kStagger, &TArrangeChoices::stagger},
    {keys::kKeepFirst, &TArrangeChoices::keepFirst},
    {keys::kLineUp, &TArrangeChoices::lineUp},
    {keys::kCentreAt, &TArrangeChoices::centreAt},
    {keys::kClockwise, &TArrangeChoices::clockwise},
    {keys::kTurnWithCircle, &TArrangeChoices::turnWithCircle},
    {keys::kChannels, &TArrangeChoices::inSteps},
    {keys::kMirrorTurns, &TArrangeChoices::mirrorTurns},
};

std::optional<std::int32_t> ReadInteger(IProfileSection& profile, const char* key) {
  const std::optional<std::string> text = profile.ReadString(key);
  if (!text) return std::nullopt;
  try {
    return ParseInt(*text);
  } catch (const ConversionError&) {
    return std::nullopt;
  }
}

// A choice among count options, stored as its index.
template <typename Enum>
void ReadChoice(IProfileSection& profile, const char* key, int count, Enum& choice) {
  const std::optional<std::int32_t> stored = ReadInteger(profile, key);
  if (stored && *stored >= 0 && *stored < count) choice = static_cast<Enum>(*stored);
}

template <typename Enum>
void WriteChoice(IProfileSection& profile, const char* key, Enum choice) {
  profile.WriteString(key, std::to_string(static_cast<int>(choice)));
}

}  // namespace

TArrangeChoices LoadArrangeChoices(IProfileSection& profile) {
  TArrangeChoices choices;
  ReadChoice(profile, keys::kPattern, 9, choices.pattern);
  ReadChoice(profile, keys::kOrder, 3, choices.order);
  ReadChoice(profile, keys::kStart, 4, choices.start);
  ReadChoice(profile, keys::kDistributeAxis, 2, choices.distributeAxis);
  ReadChoice(profile, keys::kAlignAxis, 2, choices.alignAxis);
  ReadChoice(profile, keys::kAlignTo, 3, choices.alignEdge);
  ReadChoice(profile, keys::kChannelScheme, 2, choices.channelScheme);
  ReadChoice(profile, keys::kTableUnits, 3, choices.tableUnits);
  ReadChoice(profile, keys::kMirror, 3, choices.mirror);
  ReadChoice(profile, keys::kPivot, 3, choices.pivot);
  for (const FlagKey& flag : kFlags) {
    const std::optional<std::int32_t> stored = ReadInteger(profile, flag.key);
    if (stored) choices.*flag.field = *stored != 0;
  }
  for (const TextKey& text : kTexts) {
    if (std::optional<std::string> stored = profile.ReadString(text.key)) {
      choices.*text.field = std::move(*stored);
    }
  }
  // Without it (files of earlier versions), the lengths are the design's, whatever its units.
  const std::optional<std::int32_t> units = ReadInteger(profile, keys::kUnits);
  if (units == kUnitsMils || units == kUnitsMm) choices.lengthUnits = *units;
  return choices;
}

bool StoresArrangeLengths(IProfileSection& profile) {
  for (const char* key :
       {keys::kPitchX, keys::kPitchY, keys::kCentreX, keys::kCentreY, keys::kRadius,
        keys::kRingStep, keys::kStepX, keys::kStepY, keys::kGridX, keys::kGridY, keys::kOriginX,
        keys::kOriginY, keys::kPivotX, keys::kPivotY, keys::kMoveX, keys::kMoveY,
        keys::kTableOriginX, keys::kTableOriginY}) {
    if (profile.ReadString(key)) return true;
  }
  return false;
}

void SaveArrangeChoices(IProfileSection& profile, const TArrangeChoices& choices) {
  WriteChoice(profile, keys::kPattern, choices.pattern);
  WriteChoice(profile, keys::kOrder, choices.order);
  WriteChoice(profile, keys::kStart, choices.start);
  WriteChoice(profile, keys::kDistributeAxis, choices.distributeAxis);
  WriteChoice(profile, keys::kAlignAxis, choices.alignAxis);
  WriteChoice(profile, keys::kAlignTo, choices.alignEdge);
  WriteChoice(profile, keys::kChannelScheme, choices.channelScheme);
  WriteChoice(profile, keys::kTableUnits, choices.tableUnits);
  WriteChoice(profile, keys::kMirror, choices.mirror);
  WriteChoice(profile, keys::kPivot, choices.pivot);
  for (const FlagKey& flag : kFlags) {
    profile.WriteString(flag.key, choices.*flag.field ? "1" : "0");
  }
  for (const TextKey& text : kTexts) profile.WriteString(text.key, choices.*text.field);
  if (choices.lengthUnits == kUnitsMils || choices.lengthUnits == kUnitsMm) {
    profile.WriteString(keys::kUnits, std::to_string(choices.lengthUnits));
  }
}

}  // namespace kordane
