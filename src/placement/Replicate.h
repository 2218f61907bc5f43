// Replicate: one channel's placement copied to the other channels of a repeated circuit. Parts
// are matched by designator, as multi-channel boards number them: in blocks (with block size B, a
// part's channel is ⌊n / B⌋ and its role is its prefix with n mod B) or by a tag after a
// separator (R5_A is channel A's R5). Everything is worked out in 64 bits from the places as
// read, so that a second run on the result changes nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/Dbx32.h"
#include "placement/ArrangeGeometry.h"
#include "placement/ReplicateChannels.h"

namespace kordane {

struct TReplicateParams {
  std::int32_t blockSize = 100;  // 1 or more
  std::string anchor;            // as typed
  bool inSteps = false;          // else at each channel's anchor
  std::int32_t stepX = 0;        // database units, per channel
  std::int32_t stepY = 0;
  TChannelScheme scheme = TChannelScheme::NumbersInBlocks;
};

// Why a part is left where it is.
enum class TLeftAlone {
  NoNumber,         // in no channel
  SharedRole,       // another part of its channel holds its role too
  NoCounterpart,    // no part of the reference channel holds its role
  NoChannelAnchor,  // its channel has no part in the anchor's role
  NoStep,           // in steps, its channel's tag is neither a number nor one letter
  DoesNotFit,       // its target is beyond 32-bit coordinates: the run refuses the move
};

struct TLeftAloneNote {
  std::size_t part = 0;  // index into the parts given
  TLeftAlone why = TLeftAlone::NoNumber;
  std::int64_t channel = 0;  // not for NoNumber
  std::size_t other = 0;     // SharedRole: another part that holds the role
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
  TChannelScheme scheme = TChannelScheme::NumbersInBlocks;
  std::vector<std::string> tags;  // with tags, each channel's tag

  std::string ChannelName(std::int64_t channel) const;
};

// The plan over every selected part. Throws ConversionError naming "Anchor" when the anchor is
// empty, not selected, names more than one selected part, has no number (no tag), or shares its
// role, and, in steps, when its tag has no place in them.
TReplicatePlan PlanReplicate(std::span<const TReplicatePart> parts, const TReplicateParams& params);

// The same over an index of the parts, with the reference anchor found: Find scores its copy.
TReplicatePlan PlanReplicate(std::span<const TReplicatePart> parts, const TChannelIndex& index,
                             std::size_t anchor, const TReplicateParams& params);

// The line that lists a part left alone, for example "C299: no part of channel 1 in its role;
// left alone".
std::string LeftAloneText(std::span<const TReplicatePart> parts, const TLeftAloneNote& note,
                          const TReplicatePlan& plan);

// Whether the anchor as typed names the designator: spaces around it and the case of letters do
// not matter.
bool NamesPart(std::string_view typed, std::string_view refDes);

// The designators the anchor may be, in the order Go's groups give them: by prefix, then by
// number; each once, those without a channel in the scheme left out.
std::vector<std::string> AnchorCandidates(const std::vector<TDbxComponent>& selection,
                                          TChannelScheme scheme = TChannelScheme::NumbersInBlocks);

// The selection in Go's group order: by prefix, then by number.
std::vector<const TDbxComponent*> InGroupOrder(const std::vector<TDbxComponent>& selection);

}  // namespace kordane
