#include "placement/Transform.h"

#include <optional>
#include <string_view>

#include "host/Conversions.h"
#include "placement/ExactTurn.h"

namespace kordane {

namespace {

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

const TMemberPlace& NamedPart(std::span<const TTransformPart> parts, const std::string& typed) {
  const std::string named(Trimmed(typed));
  if (named.empty()) throw ConversionError("Pivot part must be the designator of a selected part");
  const TTransformPart* found = nullptr;
  for (const TTransformPart& part : parts) {
    if (!SameIgnoringCase(part.refDes, named)) continue;
    if (found != nullptr) {
      throw ConversionError("Pivot part " + named + " names more than one selected part");
    }
    found = &part;
  }
  if (found == nullptr) throw ConversionError("Pivot part " + named + " is not selected");
  return found->place;
}

}  // namespace

TPoint64 TransformPivot(std::span<const TTransformPart> parts, const TTransformParams& params) {
  switch (params.pivot) {
    case TPivot::SelectionCentre: {
      std::vector<TMemberPlace> places;
      places.reserve(parts.size());
      for (const TTransformPart& part : parts) places.push_back(part.place);
      return SelectionCentre(places);
    }
    case TPivot::Component: {
      const TMemberPlace& place = NamedPart(parts, params.pivotPart);
      return {place.x, place.y};
    }
    case TPivot::Point:
      break;
  }
  return {params.pivotX, params.pivotY};
}

std::vector<TMemberTarget> TransformTargets(std::span<const TTransformPart> parts,
                                            const TTransformParams& params) {
  const TPoint64 pivot = TransformPivot(parts, params);
  const TExactTurn turn(params.turn);
  const bool mirrorTurns = params.mirror != TMirror::None && params.mirrorTurns;
  const bool turnsParts = mirrorTurns || turn.Tenths() != 0;
  std::vector<TMemberTarget> targets;
  targets.reserve(parts.size());
  for (const TTransformPart& part : parts) {
    std::int64_t x = part.place.x;
    std::int64_t y = part.place.y;
    std::int64_t angle = part.place.rotation;
    if (params.mirror == TMirror::LeftToRight) {
      x = 2 * pivot.x - x;
      if (mirrorTurns) angle = 1800 - angle;
    } else if (params.mirror == TMirror::TopToBottom) {
      y = 2 * pivot.y - y;
      if (mirrorTurns) angle = -angle;
    }
    const TPoint64 turned = turn.Turned(x - pivot.x, y - pivot.y);
    TMemberTarget& target = targets.emplace_back();
    target.x = pivot.x + turned.x + params.moveX;
    target.y = pivot.y + turned.y + params.moveY;
    if (turnsParts) target.rotation = NormalisedTenths(angle + turn.Tenths());
  }
  return targets;
}

}  // namespace kordane
