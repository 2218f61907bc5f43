#include "placement/Replicate.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "host/Conversions.h"
#include "placement/CompSort.h"
#include "placement/ExactTurn.h"

namespace kordane {

namespace {

class SilentReporter final : public IRefDesReporter {
  void ReportRefDesError(const std::string&) override {}
};

// A channel and a role: its prefix, numbered in the order first met, and the number's remainder.
struct RoleKey {
  std::int64_t channel = 0;
  std::int32_t remainder = 0;  // below the block size
  std::uint32_t prefix = 0;
  friend bool operator==(const RoleKey&, const RoleKey&) = default;
};

// The parts that hold one role in one channel: the first of them and how many.
struct RoleHolders {
  std::uint32_t first = 0;
  std::uint32_t count = 0;
};

// Every role of every channel, in one block of memory: the live picture works this out for
// thousands of parts on every keystroke.
class RoleTable {
 public:
  explicit RoleTable(std::size_t parts)
      : slots_(std::bit_ceil(std::max<std::size_t>(2 * parts, 16))) {}

  RoleHolders& Add(const RoleKey& key) {
    Slot& slot = Find(key);
    slot.key = key;
    return slot.holders;
  }
  // The part holding a role alone, if one does.
  std::optional<std::size_t> SoleHolder(const RoleKey& key) {
    const RoleHolders& holders = Find(key).holders;
    if (holders.count != 1) return std::nullopt;
    return holders.first;
  }
  std::size_t Holders(const RoleKey& key) { return Find(key).holders.count; }

 private:
  struct Slot {
    RoleKey key;
    RoleHolders holders;  // count 0: free
  };

  // The slot of the key, or the free slot where it would go; at most half the slots are taken.
  Slot& Find(const RoleKey& key) {
    std::uint64_t hash = static_cast<std::uint64_t>(key.channel) * 0x9e3779b97f4a7c15ULL;
    hash ^= static_cast<std::uint64_t>(std::uint32_t(key.remainder)) * 0xc2b2ae3d27d4eb4fULL;
    hash ^= std::uint64_t{key.prefix} * 0x165667b19e3779f9ULL;
    hash ^= hash >> 29;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = static_cast<std::size_t>(hash) & mask;; i = (i + 1) & mask) {
      Slot& slot = slots_[i];
      if (slot.holders.count == 0 || slot.key == key) return slot;
    }
  }

  std::vector<Slot> slots_;
};

// Numbers for prefixes in the order first met. Boards have a handful of prefixes: a short list is
// searched before anything is hashed.
class PrefixIds {
 public:
  std::uint32_t Of(std::string_view prefix) {
    for (const auto& [known, id] : few_) {
      if (known == prefix) return id;
    }
    const auto next = static_cast<std::uint32_t>(few_.size() + many_.size());
    if (few_.size() < kFew) {
      few_.emplace_back(prefix, next);
      return next;
    }
    return many_.try_emplace(prefix, next).first->second;
  }

 private:
  static constexpr std::size_t kFew = 16;
  std::vector<std::pair<std::string_view, std::uint32_t>> few_;
  std::unordered_map<std::string_view, std::uint32_t> many_;
};

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

[[noreturn]] void Refuse(const std::string& message) {
  throw ConversionError(message);
}

// Turns offsets counter-clockwise by tenths of a degree. Each angle's cosine and sine are worked
// out once: every part of a channel turns by the same angle.
class Turner {
 public:
  TPoint64 Turned(std::int64_t dx, std::int64_t dy, std::int64_t tenths) {
    const std::int32_t angle = NormalisedTenths(tenths);
    if (table_.empty()) table_.resize(3600);
    std::optional<TExactTurn>& turn = table_[static_cast<std::size_t>(angle)];
    if (!turn) turn.emplace(angle);
    return turn->Turned(dx, dy);
  }

 private:
  std::vector<std::optional<TExactTurn>> table_;
};

}  // namespace

TReplicatePlan PlanReplicate(std::span<const TReplicatePart> parts,
                             const TReplicateParams& params) {
  const std::int64_t block = params.blockSize;
  TReplicatePlan plan;
  plan.targets.reserve(parts.size());
  plan.marks.assign(parts.size(), TReplicateMark::None);
  std::vector<std::optional<RoleKey>> keys(parts.size());
  // Each part's holders: the table keeps its place in memory.
  std::vector<const RoleHolders*> holdersOf(parts.size(), nullptr);
  RoleTable roles(parts.size());
  PrefixIds prefixes;
  SilentReporter silent;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const TMemberPlace& place = parts[i].place;
    plan.targets.push_back({place.x, place.y, false, std::nullopt});
    // Split as the grouping splits, so that a part's prefix is its group's.
    const TRefDes split = SplitRefDes(std::string(parts[i].refDes), silent);
    if (!split.number) continue;
    const RoleKey key{*split.number / block, static_cast<std::int32_t>(*split.number % block),
                      prefixes.Of(parts[i].refDes.substr(0, split.prefix.size()))};
    keys[i] = key;
    RoleHolders& holders = roles.Add(key);
    if (holders.count++ == 0) holders.first = static_cast<std::uint32_t>(i);
    holdersOf[i] = &holders;
  }

  const std::string_view typed = Trimmed(params.anchor);
  if (typed.empty()) Refuse("Anchor must be the designator of a selected part");
  const std::string named(typed);
  std::optional<std::size_t> anchor;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (!SameIgnoringCase(parts[i].refDes, typed)) continue;
    if (anchor) Refuse("Anchor " + named + " names more than one selected part");
    anchor = i;
  }
  if (!anchor) Refuse("Anchor " + named + " is not selected");
  if (!keys[*anchor]) Refuse("Anchor " + named + " has no number");
  const RoleKey anchorKey = *keys[*anchor];
  if (roles.Holders(anchorKey) > 1) {
    Refuse("Anchor " + named + " shares its role with another part of channel " +
           std::to_string(anchorKey.channel));
  }
  plan.anchor = *anchor;
  const std::int64_t c0 = anchorKey.channel;
  plan.referenceChannel = c0;
  const TMemberPlace& from = parts[*anchor].place;

  std::unordered_set<std::int64_t> copied;
  Turner turner;
  // The last channel met and its anchor: a channel's parts are often read one after another.
  std::optional<std::int64_t> lastChannel;
  std::optional<std::size_t> own;
  std::optional<std::int64_t> lastCopied;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (!keys[i]) {
      plan.leftAlone.push_back({i, TLeftAlone::NoNumber, 0});
      continue;
    }
    const RoleKey& key = *keys[i];
    const bool shared = holdersOf[i]->count > 1;
    if (key.channel == c0) {
      plan.marks[i] = i == *anchor ? TReplicateMark::ReferenceAnchor : TReplicateMark::Reference;
      if (shared) plan.leftAlone.push_back({i, TLeftAlone::SharedRole, c0});
      continue;
    }
    const auto note = [&plan, i, &key](TLeftAlone why) {
      plan.leftAlone.push_back({i, why, key.channel});
    };
    if (shared) {
      note(TLeftAlone::SharedRole);
      continue;
    }
    if (key.channel != lastChannel) {
      lastChannel = key.channel;
      own = roles.SoleHolder({key.channel, anchorKey.remainder, anchorKey.prefix});
    }
    if (own == i) plan.marks[i] = TReplicateMark::ChannelAnchor;
    if (!own && !params.inSteps) {
      note(TLeftAlone::NoChannelAnchor);
      continue;
    }
    const std::optional<std::size_t> counterpart =
        roles.SoleHolder({c0, key.remainder, key.prefix});
    if (!counterpart) {
      note(TLeftAlone::NoCounterpart);
      continue;
    }
    if (key.channel != lastCopied) copied.insert(key.channel);
    lastCopied = key.channel;
    const TMemberPlace& m = parts[*counterpart].place;
    TMemberTarget& target = plan.targets[i];
    if (params.inSteps) {
      const std::int64_t offset = key.channel - c0;
      target = {m.x + offset * params.stepX, m.y + offset * params.stepY, true,
                NormalisedTenths(m.rotation)};
      continue;
    }
    if (own == i) continue;  // a channel's anchor stays as it is
    const TMemberPlace& to = parts[*own].place;
    const std::int64_t turn = std::int64_t{to.rotation} - from.rotation;
    const TPoint64 offset =
        turner.Turned(std::int64_t{m.x} - from.x, std::int64_t{m.y} - from.y, turn);
    target = {to.x + offset.x, to.y + offset.y, true, NormalisedTenths(m.rotation + turn)};
  }
  plan.channelsCopied = copied.size();
  return plan;
}

std::string LeftAloneText(std::string_view refDes, const TLeftAloneNote& note,
                          std::int64_t referenceChannel) {
  std::string text(refDes);
  const std::string channel = std::to_string(note.channel);
  switch (note.why) {
    case TLeftAlone::NoNumber:
      return text + ": no number, so in no channel; left alone";
    case TLeftAlone::SharedRole:
      return text + ": shares its role with another part of channel " + channel +
             (note.channel == referenceChannel ? "; not copied" : "; left alone");
    case TLeftAlone::NoCounterpart:
      return text + ": no part of channel " + std::to_string(referenceChannel) +
             " in its role; left alone";
    case TLeftAlone::NoChannelAnchor:
      return text + ": channel " + channel + " has no part in the anchor's role; left alone";
  }
  return text;
}

std::vector<std::string> AnchorCandidates(const std::vector<TDbxComponent>& selection) {
  std::vector<TDbxComponent> records = selection;
  SilentReporter silent;
  TSortedComp sorted(silent);
  for (TDbxComponent& record : records) sorted.AddComponent(&record);
  std::vector<std::string> candidates;
  std::unordered_set<std::string> seen;
  for (const std::string& prefix : sorted.Prefixes()) {
    TCompTypeList* group = sorted.FindGroup(prefix);
    if (group == nullptr) continue;
    group->SortByNumber();
    for (const TDbxComponent* member : group->Components()) {
      std::string refDes = member->RefDes();
      if (!SplitRefDes(refDes, silent).number || !seen.insert(refDes).second) continue;
      candidates.push_back(std::move(refDes));
    }
  }
  return candidates;
}

}  // namespace kordane
