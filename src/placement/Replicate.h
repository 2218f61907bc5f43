// Replicate: one channel's placement copied to the other channels of a repeated circuit. Parts
// are matched by designator number, as multi-channel boards number them: with block size B, a
// part's channel is ⌊n / B⌋ and its role is its prefix with n mod B. Everything is worked out in
// 64 bits from the places as read, so that a second run on the result changes nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/Dbx32.h"
#include "placement/ArrangeGeometry.h"

namespace kordane {

struct TReplicateParams {
  std::int32_t blockSize = 100;  // 1 or more
  std::string anchor;            // as typed
  bool inSteps = false;          // else at each channel's anchor
  std::int32_t stepX = 0;        // database units, per channel
  std::int32_t stepY = 0;
};

// A selected part as read.
struct TReplicatePart {
  std::string_view refDes;
  TMemberPlace place;
};

// Why a part is left where it is.
enum class TLeftAlone {
  NoNumber,         // in no channel
  SharedRole,       // another part of its channel holds its role too
  NoCounterpart,    // no part of the reference channel holds its role
  NoChannelAnchor,  // its channel has no part in the anchor's role
};

struct TLeftAloneNote {
  std::size_t part = 0;  // index into the parts given
  TLeftAlone why = TLeftAlone::NoNumber;
  std::int64_t channel = 0;  // not for NoNumber
};

// What a part is to the copy, for the picture.
enum class TReplicateMark { None, Reference, ReferenceAnchor, ChannelAnchor };

struct TReplicatePlan {
  std::vector<TMemberTarget> targets;     // one per part; parts that stay neither move nor turn
  std::vector<TReplicateMark> marks;      // one per part
  std::vector<TLeftAloneNote> leftAlone;  // in the order of the parts
  std::size_t anchor = 0;                 // the reference anchor, an index into the parts
  std::int64_t referenceChannel = 0;
  std::size_t channelsCopied = 0;  // target channels that got at least one part's place
};

// The plan over every selected part. Throws ConversionError naming "Anchor" when the anchor is
// empty, not selected, names more than one selected part, has no number, or shares its role.
TReplicatePlan PlanReplicate(std::span<const TReplicatePart> parts, const TReplicateParams& params);

// The line that lists a part left alone, for example "C299: no part of channel 1 in its role;
// left alone".
std::string LeftAloneText(std::string_view refDes, const TLeftAloneNote& note,
                          std::int64_t referenceChannel);

// The designators the anchor may be, in the order Go's groups give them: by prefix, then by
// number; each once, those without a number left out.
std::vector<std::string> AnchorCandidates(const std::vector<TDbxComponent>& selection);

}  // namespace kordane
