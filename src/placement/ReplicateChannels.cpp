#include "placement/ReplicateChannels.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <string>

#include "placement/CompSort.h"

namespace kordane {

namespace {

class SilentReporter final : public IRefDesReporter {
  void ReportRefDesError(const std::string&) override {}
};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Everything before the trailing digits, as grouping splits a designator.
std::string_view PrefixOf(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && IsDigit(text[end - 1])) --end;
  return text.substr(0, end);
}

}  // namespace

std::optional<TTaggedRefDes> SplitChannelTag(std::string_view refDes) {
  const std::size_t separator = refDes.find_last_of("_.-");
  if (separator == std::string_view::npos || separator == 0) return std::nullopt;
  const std::string_view tag = refDes.substr(separator + 1);
  if (tag.empty() || !std::ranges::all_of(tag, [](char c) { return IsDigit(c) || IsLetter(c); }))
    return std::nullopt;
  return TTaggedRefDes{refDes.substr(0, separator), tag};
}

std::optional<std::int64_t> TagStepIndex(std::string_view tag) {
  if (tag.size() == 1 && IsLetter(tag[0])) return (tag[0] | 0x20) - 'a' + 1;
  if (tag.empty() || !std::ranges::all_of(tag, IsDigit)) return std::nullopt;
  // As far as a designator's number goes, so that steps times the index stay in 64 bits.
  std::int64_t index = 0;
  for (const char c : tag) {
    index = index * 10 + (c - '0');
    if (index > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  }
  return index;
}

std::uint32_t TTextIds::Of(std::string_view text) {
  if (many_.empty()) {
    for (std::size_t i = 0; i < texts_.size(); ++i) {
      if (texts_[i] == text) return static_cast<std::uint32_t>(i);
    }
    if (texts_.size() == kFew) {
      for (std::size_t i = 0; i < texts_.size(); ++i) {
        many_.emplace(texts_[i], static_cast<std::uint32_t>(i));
      }
    }
  }
  const auto next = static_cast<std::uint32_t>(texts_.size());
  if (!many_.empty()) {
    const auto [found, added] = many_.try_emplace(text, next);
    if (!added) return found->second;
  }
  texts_.push_back(text);
  return next;
}

TChannelIndex::TChannelIndex(std::span<const TReplicatePart> parts, TChannelScheme scheme,
                             std::int32_t blockSize)
    : scheme_(scheme),
      keys_(parts.size()),
      slotOf_(parts.size(), 0),
      slots_(std::bit_ceil(std::max<std::size_t>(2 * parts.size(), 16))) {
  const std::int64_t block = std::max(blockSize, 1);
  SilentReporter silent;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::string_view refDes = parts[i].refDes;
    if (scheme == TChannelScheme::TagAfterSeparator) {
      const std::optional<TTaggedRefDes> tagged = SplitChannelTag(refDes);
      if (!tagged) continue;
      keys_[i] = TRoleKey{tags_.Of(tagged->tag), 0, roles_.Of(tagged->role)};
    } else {
      // Split as the grouping splits, so that a part's prefix is its group's.
      const TRefDes split = SplitRefDes(std::string(refDes), silent);
      if (!split.number) continue;
      keys_[i] = TRoleKey{*split.number / block, static_cast<std::int32_t>(*split.number % block),
                          roles_.Of(refDes.substr(0, split.prefix.size()))};
    }
    const std::size_t slot = SlotOf(*keys_[i]);
    Slot& found = slots_[slot];
    found.key = *keys_[i];
    Holding& holding = found.holding;
    if (holding.count == 0) holding.first = static_cast<std::uint32_t>(i);
    if (holding.count == 1) holding.second = static_cast<std::uint32_t>(i);
    ++holding.count;
    slotOf_[i] = static_cast<std::uint32_t>(slot);
  }
}

std::size_t TChannelIndex::SlotOf(const TRoleKey& key) const {
  std::uint64_t hash = static_cast<std::uint64_t>(key.channel) * 0x9e3779b97f4a7c15ULL;
  hash ^= static_cast<std::uint64_t>(std::uint32_t(key.remainder)) * 0xc2b2ae3d27d4eb4fULL;
  hash ^= std::uint64_t{key.prefix} * 0x165667b19e3779f9ULL;
  hash ^= hash >> 29;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = static_cast<std::size_t>(hash) & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.holding.count == 0 || slot.key == key) return i;
  }
}

std::size_t TChannelIndex::Holders(std::size_t part) const {
  return keys_[part] ? slots_[slotOf_[part]].holding.count : 0;
}

std::optional<std::size_t> TChannelIndex::OtherHolder(std::size_t part) const {
  if (Holders(part) < 2) return std::nullopt;
  const Holding& holding = slots_[slotOf_[part]].holding;
  return holding.first == part ? holding.second : holding.first;
}

std::optional<std::size_t> TChannelIndex::FirstHolder(const TRoleKey& key) const {
  const Holding& holding = slots_[SlotOf(key)].holding;
  if (holding.count == 0) return std::nullopt;
  return holding.first;
}

std::size_t TChannelIndex::HoldersOf(const TRoleKey& key) const {
  return slots_[SlotOf(key)].holding.count;
}

std::string TChannelIndex::ChannelName(std::int64_t channel) const {
  if (scheme_ == TChannelScheme::TagAfterSeparator) {
    return std::string(tags_.Text(static_cast<std::uint32_t>(channel)));
  }
  return std::to_string(channel);
}

std::optional<std::int64_t> TChannelIndex::StepIndex(std::int64_t channel) const {
  if (scheme_ == TChannelScheme::TagAfterSeparator) {
    return TagStepIndex(tags_.Text(static_cast<std::uint32_t>(channel)));
  }
  return channel;
}

std::string_view TChannelIndex::RolePrefix(std::size_t part) const {
  if (!keys_[part]) return {};
  const std::string_view role = roles_.Text(keys_[part]->prefix);
  return scheme_ == TChannelScheme::TagAfterSeparator ? PrefixOf(role) : role;
}

}  // namespace kordane
