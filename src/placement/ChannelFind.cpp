#include "placement/ChannelFind.h"

#include <span>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "placement/Preview.h"
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

// The part of the reference channel c0 that anchors best, among those whose role it holds alone
// and whose designator names no other part.
std::optional<std::size_t> BestAnchor(std::span<const TReplicatePart> parts,
                                      const std::vector<bool>& namesOne, const TChannelIndex& index,
                                      std::int64_t c0) {
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
    if (!index.Key(i) || index.Key(i)->channel != c0 || index.Holders(i) != 1 || !namesOne[i])
      continue;
    if (!best || rankOf(i) < rankOf(*best)) best = i;
  }
  return best;
}

// The copy from the anchor, scored. The parts are in Go's group order.
TChannelFinding Score(std::span<const TReplicatePart> parts, const TChannelIndex& index,
                      std::size_t anchor, std::int32_t blockSize) {
  TReplicateParams params;
  params.scheme = index.Scheme();
  params.blockSize = blockSize;
  const TReplicatePlan plan = PlanReplicate(parts, index, anchor, params);
  const std::int64_t c0 = plan.referenceChannel;
  std::vector<bool> leftAlone(parts.size(), false);
  std::int64_t score = 0;
  for (const TLeftAloneNote& note : plan.leftAlone) {
    leftAlone[note.part] = true;
    if (note.why == TLeftAlone::NoNumber || note.channel != c0) --score;
  }
  std::unordered_set<std::int64_t> anchored;
  std::int64_t referenceRoles = 0;
  std::size_t referenceParts = 0;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (plan.marks[i] == TReplicateMark::ChannelAnchor) anchored.insert(index.Key(i)->channel);
    if (!index.Key(i)) continue;
    if (index.Key(i)->channel == c0) {
      ++referenceParts;
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
  finding.scheme = index.Scheme();
  finding.blockSize = blockSize;
  finding.anchor = std::string(parts[anchor].refDes);
  finding.copies = anchored.size() + 1;
  finding.referenceParts = referenceParts;
  finding.score = score;
  return finding;
}

// The scheme's finding, when it gives two channels or more and an anchor. Without a typed anchor
// that works, two reference channels are tried: the one with the most parts, and the first of
// the size that most channels have, for the largest is often where a board keeps what it does
// not repeat (R1, C1 beside R101, R201) or one-offs that share a channel's number (MCU1 beside
// S1, D1).
std::optional<TChannelFinding> Try(std::span<const TReplicatePart> parts,
                                   const std::vector<bool>& namesOne, std::string_view typedAnchor,
                                   TChannelScheme scheme, std::int32_t blockSize) {
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
  std::vector<std::int64_t> references;
  if (typedCount == 1 && index.Key(*typed)) {
    references.push_back(index.Key(*typed)->channel);
  } else {
    // By size, the first in Go's order on a tie.
    const auto larger = [&](std::int64_t a, std::int64_t b) {
      return std::pair(sizes[a], firstPart[b]) > std::pair(sizes[b], firstPart[a]);
    };
    std::unordered_map<std::size_t, std::size_t> channelsOfSize;
    for (const auto& [channel, size] : sizes) ++channelsOfSize[size];
    std::optional<std::int64_t> largest;
    std::optional<std::int64_t> usual;
    const auto usualer = [&](std::int64_t a, std::int64_t b) {
      return std::pair(channelsOfSize[sizes[a]], sizes[a]) >
                 std::pair(channelsOfSize[sizes[b]], sizes[b]) ||
             (sizes[a] == sizes[b] && firstPart[a] < firstPart[b]);
    };
    for (const auto& [channel, size] : sizes) {
      if (!largest || larger(channel, *largest)) largest = channel;
      if (!usual || usualer(channel, *usual)) usual = channel;
    }
    references.push_back(*largest);
    if (*usual != *largest) references.push_back(*usual);
  }
  std::optional<TChannelFinding> best;
  for (const std::int64_t c0 : references) {
    const bool typedAnchors = typedCount == 1 && index.Key(*typed) &&
                              index.Key(*typed)->channel == c0 && index.Holders(*typed) == 1;
    const std::optional<std::size_t> anchor =
        typedAnchors ? typed : BestAnchor(parts, namesOne, index, c0);
    if (!anchor) continue;
    TChannelFinding found = Score(parts, index, *anchor, blockSize);
    if (!best || found.score > best->score) best = std::move(found);
  }
  if (best) best->channels = sizes.size();
  return best;
}

}  // namespace

std::optional<TChannelFinding> FindChannels(const std::vector<TDbxComponent>& selection,
                                            std::string_view typedAnchor) {
  std::vector<TReplicatePart> parts;
  parts.reserve(selection.size());
  for (const TDbxComponent* record : InGroupOrder(selection)) {
    parts.push_back({record->RefDesView(), {record->X(), record->Y(), record->Rotation()}});
  }
  // An anchor must name one part, as typed: R1 names r1 too.
  std::unordered_map<std::string, std::size_t> named;
  const auto lower = [](std::string_view refDes) {
    std::string text(refDes);
    for (char& c : text) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return text;
  };
  for (const TReplicatePart& part : parts) ++named[lower(part.refDes)];
  std::vector<bool> namesOne;
  namesOne.reserve(parts.size());
  for (const TReplicatePart& part : parts) {
    // Spaces around a designator would be taken off the anchor typed.
    namesOne.push_back(named[lower(part.refDes)] == 1 && NamesPart(part.refDes, part.refDes));
  }
  // In the order ties are settled: tags, then the larger block first.
  constexpr std::pair<TChannelScheme, std::int32_t> kSchemes[] = {
      {TChannelScheme::TagAfterSeparator, 0},  {TChannelScheme::NumbersInBlocks, 10000},
      {TChannelScheme::NumbersInBlocks, 1000}, {TChannelScheme::NumbersInBlocks, 100},
      {TChannelScheme::NumbersInBlocks, 10},   {TChannelScheme::NumbersInBlocks, 1}};
  std::optional<TChannelFinding> best;
  for (const auto& [scheme, block] : kSchemes) {
    std::optional<TChannelFinding> found = Try(parts, namesOne, typedAnchor, scheme, block);
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
  return "Found " + Counted(finding->copies, "channel", "channels") + " of " +
         Counted(finding->referenceParts, "part", "parts") + ", " + scheme + "; anchor " +
         finding->anchor;
}

}  // namespace kordane
