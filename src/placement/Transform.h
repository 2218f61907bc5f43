// Transform: the whole selection moved as one piece. Every part is mirrored about the pivot, then
// turned about it, then moved, each from its place as read and in 64 bits, so that nothing drifts
// and a part's target never depends on another's.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "placement/ArrangeGeometry.h"
#include "placement/Replicate.h"

namespace kordane {

enum class TMirror { None, LeftToRight, TopToBottom };
enum class TPivot { SelectionCentre, Component, Point };

struct TTransformParams {
  TMirror mirror = TMirror::None;
  bool mirrorTurns = true;  // a mirrored part's angle is mirrored with it
  std::int32_t turn = 0;    // tenths, counter-clockwise, in [0, 3600)
  TPivot pivot = TPivot::SelectionCentre;
  std::string pivotPart;                // as typed
  std::int32_t pivotX = 0, pivotY = 0;  // database units
  std::int32_t moveX = 0, moveY = 0;
};

// A selected part as read: its designator and place.
using TTransformPart = TReplicatePart;

// The point the parts are mirrored and turned about: the centre of the bounding box of every
// origin (halves rounded down), the origin of the part named, or the point given. Throws
// ConversionError naming "Pivot part" when it is empty, not selected, or names more than one
// selected part (spaces around it ignored, letters compared without regard to case).
TPoint64 TransformPivot(std::span<const TTransformPart> parts, const TTransformParams& params);

// One target per part: mirrored, turned about the pivot, then moved. A part's angle is changed
// only where the mirror turns it or the turn is not 0, and then brought into [0°, 360°).
std::vector<TMemberTarget> TransformTargets(std::span<const TTransformPart> parts,
                                            const TTransformParams& params);

}  // namespace kordane
