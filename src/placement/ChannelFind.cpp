#include "placement/ChannelFind.h"

#include <span>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "placement/Replicate.h"

namespace kordane {

namespace {

// The prefixes that anchor a channel, the likeliest first: an IC rather than its resistors, a
// switch rather than its diode.
constexpr std::string_view kAnchorPrefixes[] = {"U", "IC", "J", "P", "SW", "S",
                                                "K", "Q",  "T", "Y", "X"};

std::size_t AnchorRank(std::string_view prefix) {
  for (std::size_t rank = 0; rank < std::size(kAnchorPrefixes); ++rank) {
    if (NamesPart(kAnchorPrefixes[rank], prefix)) return rank;
  }
  return std::size(kAnchorPrefixes);
}

std::uint64_t RoleOf(const TRoleKey& key) {
  return std::uint64_t{key.prefix} << 32 | std::uint32_t(key.remainder);
}

// The part of the reference channel c0 that anchors best, among those whose role it holds alone.
std::optional<std::size_t> BestAnchor(std::span<const TReplicatePart> parts,
                                      const TChannelIndex& index, std::int64_t c0) {
  std::unordered_map<std::uint64_t, std::size_t> channelsHolding;  // the reference's roles
  std::unordered_map<std::string_view, std::size_t> prefixParts;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (!index.Key(i) || index.Key(i)->channel != c0) continue;
    channelsHolding.emplace(RoleOf(*index.Key(i)), 0);
    ++prefixParts[index.RolePrefix(i)];
  }
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::optional<TRoleKey>& key = index.Key(i);
    if (!key || index.FirstHolder(*key) != i) continue;  // each channel once
    const auto found = channelsHolding.find(RoleOf(*key));
    if (found != channelsHolding.end()) ++found->second;
  }
  std::optional<std::size_t> best;
  auto rankOf = [&](std::size_t i) {
    // Negated: the more channels hold the role, the better.
    return std::tuple(AnchorRank(index.RolePrefix(i)),
                      -static_cast<std::int64_t>(channelsHolding[RoleOf(*index.Key(i))]),
                      prefixParts[index.RolePrefix(i)], i);
  };
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (!index.Key(i) || index.Key(i)->channel != c0 || index.Holders(i) != 1) continue;
    if (!best || rankOf(i) < rankOf(*best)) best = i;
  }
  return best;
}

// The scheme's finding, when it gives two channels or more and an anchor. The parts are in Go's
// group order.
std::optional<TChannelFinding> Try(std::span<const TReplicatePart> parts,
                                   std::string_view typedAnchor, TChannelScheme scheme,
                                   std::int32_t blockSize) {
  const TChannelIndex index(parts, scheme, blockSize);
  std::unordered_map<std::int64_t, std::size_t> sizes;
  std::unordered_map<std::int64_t, std::size_t> firstPart;
  std::optional<std::size_t> typed;
  std::size_t typedCount = 0;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (NamesPart(typedAnchor, parts[i].refDes)) {
      typed = i;
      ++typedCount;
    }
    if (!index.Key(i)) continue;
    ++sizes[index.Key(i)->channel];
    firstPart.try_emplace(index.Key(i)->channel, i);
  }
  if (sizes.size() < 2) return std::nullopt;
  const bool typedWorks = typedCount == 1 && index.Key(*typed);
  std::int64_t c0 = 0;
  if (typedWorks) {
    c0 = index.Key(*typed)->channel;
  } else {
    std::optional<std::int64_t> largest;
    for (const auto& [channel, size] : sizes) {
      if (!largest ||
          std::pair(size, -static_cast<std::int64_t>(firstPart[channel])) >
              std::pair(sizes[*largest], -static_cast<std::int64_t>(firstPart[*largest])))
        largest = channel;
    }
    c0 = *largest;
  }
  std::optional<std::size_t> anchor;
  if (typedWorks && index.Holders(*typed) == 1) anchor = typed;
  if (!anchor) anchor = BestAnchor(parts, index, c0);
  if (!anchor) return std::nullopt;

  TReplicateParams params;
  params.scheme = scheme;
  params.blockSize = blockSize;
  const TReplicatePlan plan = PlanReplicate(parts, index, *anchor, params);
  std::vector<bool> leftAlone(parts.size(), false);
  std::int64_t score = 0;
  for (const TLeftAloneNote& note : plan.leftAlone) {
    leftAlone[note.part] = true;
    if (note.why == TLeftAlone::NoNumber || note.channel != c0) --score;
  }
  std::unordered_set<std::int64_t> anchored;
  std::int64_t referenceRoles = 0;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (plan.marks[i] == TReplicateMark::ChannelAnchor) anchored.insert(index.Key(i)->channel);
    if (!index.Key(i)) continue;
    if (index.Key(i)->channel == c0) {
      referenceRoles += index.Holders(i) == 1 ? 1 : 0;
    } else if (!leftAlone[i]) {
      ++score;
    }
  }
  // The reference's roles that each channel with an anchor lacks: all of them, less those it has.
  score -= static_cast<std::int64_t>(anchored.size()) * referenceRoles;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::optional<TRoleKey>& key = index.Key(i);
    if (!key || key->channel == c0 || !anchored.contains(key->channel)) continue;
    if (index.FirstHolder(*key) == i && index.SoleHolder({c0, key->remainder, key->prefix})) {
      ++score;
    }
  }

  TChannelFinding finding;
  finding.scheme = scheme;
  finding.blockSize = blockSize;
  finding.anchor = std::string(parts[*anchor].refDes);
  finding.channels = sizes.size();
  for (const auto& [channel, size] : sizes) finding.parts += size;
  finding.score = score;
  return finding;
}

}  // namespace

std::optional<TChannelFinding> FindChannels(const std::vector<TDbxComponent>& selection,
                                            std::string_view typedAnchor) {
  std::vector<TReplicatePart> parts;
  parts.reserve(selection.size());
  for (const TDbxComponent* record : InGroupOrder(selection)) {
    parts.push_back({record->RefDesView(), {record->X(), record->Y(), record->Rotation()}});
  }
  // In the order ties are settled: tags, then the larger block first.
  constexpr std::pair<TChannelScheme, std::int32_t> kSchemes[] = {
      {TChannelScheme::TagAfterSeparator, 0},  {TChannelScheme::NumbersInBlocks, 10000},
      {TChannelScheme::NumbersInBlocks, 1000}, {TChannelScheme::NumbersInBlocks, 100},
      {TChannelScheme::NumbersInBlocks, 10},   {TChannelScheme::NumbersInBlocks, 1}};
  std::optional<TChannelFinding> best;
  for (const auto& [scheme, block] : kSchemes) {
    std::optional<TChannelFinding> found = Try(parts, typedAnchor, scheme, block);
    if (found && (!best || found->score > best->score ||
                  (found->score == best->score && found->channels < best->channels))) {
      best = std::move(found);
    }
  }
  return best;
}

std::string FindingText(const std::optional<TChannelFinding>& finding) {
  if (!finding) {
    return "Found no channels: neither numbers in blocks nor tags after a separator give two "
           "channels with an anchor; nothing changed";
  }
  const std::string scheme = finding->scheme == TChannelScheme::TagAfterSeparator
                                 ? "tagged after a separator"
                                 : "numbered in blocks of " + std::to_string(finding->blockSize);
  return "Found " + std::to_string(finding->channels) + " channels of " +
         std::to_string(finding->parts) + " parts, " + scheme + "; anchor " + finding->anchor;
}

}  // namespace kordane
