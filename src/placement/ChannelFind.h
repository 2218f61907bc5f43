// Replicate's Find: the channel scheme, block size and anchor that the selection's designators
// say. Each scheme (tags after a separator, and numbers in blocks of 1, 10, 100, 1000 and 10000)
// is scored by the copy "at each channel's anchor" would make from its reference channel: the
// parts it would place outside that channel, less the parts it would leave alone, less the
// reference's roles that each target channel with an anchor lacks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/Dbx32.h"
#include "placement/ReplicateChannels.h"

namespace kordane {

struct TChannelFinding {
  TChannelScheme scheme = TChannelScheme::NumbersInBlocks;
  std::int32_t blockSize = 0;  // in blocks
  std::string anchor;
  std::size_t channels = 0;        // channels that hold selected parts
  std::size_t copies = 0;          // the reference and the channels with an anchor
  std::size_t referenceParts = 0;  // the reference channel's parts
  std::int64_t score = 0;
};

// The scheme that scores highest among those giving at least two channels; on a tie the one
// with fewer channels, then tags (their separator says so outright), then the larger block. The
// typed anchor decides the reference channel, and is the anchor, wherever it can be; otherwise
// the better of two references is kept: the channel with the most parts and the first of the
// size most channels have. The reference's anchor is the one of its parts, each holding its role
// alone and named by no other part, that comes first by its prefix in U, IC, J, P, SW, S, K, Q,
// T, Y, X (any other prefix after those), then whose role most channels hold, then whose prefix
// has the fewest parts in the channel, then first in Go's group order.
std::optional<TChannelFinding> FindChannels(const std::vector<TDbxComponent>& selection,
                                            std::string_view typedAnchor);

// "Found 8 channels of 29 parts, numbered in blocks of 100; anchor U201": the reference and the
// channels with an anchor, the reference's parts; or that none was found.
std::string FindingText(const std::optional<TChannelFinding>& finding);

}  // namespace kordane
