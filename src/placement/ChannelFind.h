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
  std::size_t channels = 0;  // channels that hold selected parts
  std::size_t parts = 0;     // the parts in them
  std::int64_t score = 0;
};

// The scheme that scores highest among those giving at least two channels; on a tie the one
// with fewer channels, then tags (their separator says so outright), then the larger block. The
// typed anchor decides the reference channel, and is the anchor, wherever it can be.
std::optional<TChannelFinding> FindChannels(const std::vector<TDbxComponent>& selection,
                                            std::string_view typedAnchor);

// "Found 8 channels of 29 parts, numbered in blocks of 100; anchor U201", or that none was found.
std::string FindingText(const std::optional<TChannelFinding>& finding);

}  // namespace kordane
