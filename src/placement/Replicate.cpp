#include "placement/Replicate.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <unordered_set>

#include "host/Conversions.h"
#include "placement/CompSort.h"
#include "placement/ExactTurn.h"
#include "placement/SelectionRun.h"

namespace kordane {

namespace {

class SilentReporter final : public IRefDesReporter {
  void ReportRefDesError(const std::string&) override {}
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
  const TChannelIndex index(parts, params.scheme, params.blockSize);
  const bool tags = params.scheme == TChannelScheme::TagAfterSeparator;
  const std::string_view typed = Trimmed(params.anchor);
  if (typed.empty()) Refuse("Anchor must be the designator of a selected part");
  const std::string named(typed);
  std::optional<std::size_t> anchor;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (!NamesPart(typed, parts[i].refDes)) continue;
    if (anchor) Refuse("Anchor " + named + " names more than one selected part");
    anchor = i;
  }
  if (!anchor) Refuse("Anchor " + named + " is not selected");
  const std::optional<TRoleKey>& key = index.Key(*anchor);
  if (!key) Refuse("Anchor " + named + (tags ? " has no tag after _, . or -" : " has no number"));
  if (index.Holders(*anchor) > 1) {
    Refuse("Anchor " + named + " shares its role with another part of channel " +
           index.ChannelName(key->channel));
  }
  if (params.inSteps && !index.StepIndex(key->channel)) {
    Refuse("Anchor " + named + " is in channel " + index.ChannelName(key->channel) +
           ", whose tag has no place in steps: it must be a number or one letter");
  }
  return PlanReplicate(parts, index, *anchor, params);
}

TReplicatePlan PlanReplicate(std::span<const TReplicatePart> parts, const TChannelIndex& index,
                             std::size_t anchor, const TReplicateParams& params) {
  TReplicatePlan plan;
  plan.scheme = index.Scheme();
  plan.targets.reserve(parts.size());
  plan.marks.assign(parts.size(), TReplicateMark::None);
  for (const TReplicatePart& part : parts) {
    plan.targets.push_back({part.place.x, part.place.y, false, std::nullopt});
  }
  const TRoleKey anchorKey = *index.Key(anchor);
  plan.anchor = anchor;
  const std::int64_t c0 = anchorKey.channel;
  plan.referenceChannel = c0;
  const std::int64_t step0 = params.inSteps ? index.StepIndex(c0).value_or(0) : 0;
  const TMemberPlace& from = parts[anchor].place;

  std::unordered_set<std::int64_t> copied;
  std::int64_t channels = 0;  // one more than the largest channel met, for the tags' names
  Turner turner;
  // The last channel met and its anchor: a channel's parts are often read one after another.
  std::optional<std::int64_t> lastChannel;
  std::optional<std::size_t> own;
  std::optional<std::int64_t> step;
  std::optional<std::int64_t> lastCopied;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (!index.Key(i)) {
      plan.leftAlone.push_back({i, TLeftAlone::NoNumber, 0, 0});
      continue;
    }
    const TRoleKey& key = *index.Key(i);
    channels = std::max(channels, key.channel + 1);
    const std::optional<std::size_t> other = index.OtherHolder(i);
    const auto note = [&plan, i, &key, &other](TLeftAlone why) {
      plan.leftAlone.push_back({i, why, key.channel, other.value_or(0)});
    };
    if (key.channel == c0) {
      plan.marks[i] = i == anchor ? TReplicateMark::ReferenceAnchor : TReplicateMark::Reference;
      if (other) note(TLeftAlone::SharedRole);
      continue;
    }
    if (other) {
      note(TLeftAlone::SharedRole);
      continue;
    }
    if (key.channel != lastChannel) {
      lastChannel = key.channel;
      own = index.SoleHolder({key.channel, anchorKey.remainder, anchorKey.prefix});
      step = index.StepIndex(key.channel);
    }
    if (own == i) plan.marks[i] = TReplicateMark::ChannelAnchor;
    if (!own && !params.inSteps) {
      note(TLeftAlone::NoChannelAnchor);
      continue;
    }
    if (params.inSteps && !step) {
      note(TLeftAlone::NoStep);
      continue;
    }
    const std::optional<std::size_t> counterpart =
        index.SoleHolder({c0, key.remainder, key.prefix});
    if (!counterpart) {
      note(TLeftAlone::NoCounterpart);
      continue;
    }
    if (key.channel != lastCopied) copied.insert(key.channel);
    lastCopied = key.channel;
    const TMemberPlace& m = parts[*counterpart].place;
    TMemberTarget& target = plan.targets[i];
    if (params.inSteps) {
      const std::int64_t offset = *step - step0;
      target = {m.x + offset * params.stepX, m.y + offset * params.stepY, true,
                NormalisedTenths(m.rotation)};
    } else if (own != i) {  // a channel's anchor stays as it is
      const TMemberPlace& to = parts[*own].place;
      const std::int64_t turn = std::int64_t{to.rotation} - from.rotation;
      const TPoint64 offset =
          turner.Turned(std::int64_t{m.x} - from.x, std::int64_t{m.y} - from.y, turn);
      target = {to.x + offset.x, to.y + offset.y, true, NormalisedTenths(m.rotation + turn)};
    }
    // The run refuses the move and reports the part; the list says why.
    const TMemberPlace& place = parts[i].place;
    if (target.move && !(ToInt32(target.x) && ToInt32(target.y) && ToInt32(target.x - place.x) &&
                         ToInt32(target.y - place.y))) {
      note(TLeftAlone::DoesNotFit);
    }
  }
  plan.channelsCopied = copied.size();
  if (plan.scheme == TChannelScheme::TagAfterSeparator) {
    for (std::int64_t c = 0; c < channels; ++c) plan.tags.push_back(index.ChannelName(c));
  }
  return plan;
}

std::string TReplicatePlan::ChannelName(std::int64_t channel) const {
  if (scheme == TChannelScheme::TagAfterSeparator) {
    return static_cast<std::size_t>(channel) < tags.size() ? tags[static_cast<std::size_t>(channel)]
                                                           : std::string();
  }
  return std::to_string(channel);
}

std::string LeftAloneText(std::span<const TReplicatePart> parts, const TLeftAloneNote& note,
                          const TReplicatePlan& plan) {
  std::string text(parts[note.part].refDes);
  const std::string channel = plan.ChannelName(note.channel);
  switch (note.why) {
    case TLeftAlone::NoNumber:
      return text + (plan.scheme == TChannelScheme::TagAfterSeparator
                         ? ": no tag after _, . or -, so in no channel; left alone"
                         : ": no number, so in no channel; left alone");
    case TLeftAlone::SharedRole:
      return text + ": holds its role in channel " + channel + " together with " +
             std::string(parts[note.other].refDes) +
             (note.channel == plan.referenceChannel ? "; not copied" : "; left alone");
    case TLeftAlone::NoCounterpart:
      return text + ": no part of channel " + plan.ChannelName(plan.referenceChannel) +
             " in its role; left alone";
    case TLeftAlone::NoChannelAnchor:
      return text + ": channel " + channel + " has no part in the anchor's role (" +
             std::string(parts[plan.anchor].refDes) + "'s); left alone";
    case TLeftAlone::NoStep:
      return text + ": channel " + channel +
             " has no place in steps (its tag is neither a number nor one letter); left alone";
    case TLeftAlone::DoesNotFit:
      return text + ": its place would be beyond the coordinates the host holds; not moved";
  }
  return text;
}

bool NamesPart(std::string_view typed, std::string_view refDes) {
  return SameIgnoringCase(refDes, Trimmed(typed));
}

std::vector<const TDbxComponent*> InGroupOrder(const std::vector<TDbxComponent>& selection) {
  std::vector<TDbxComponent> records = selection;
  SilentReporter silent;
  TSortedComp sorted(silent);
  for (TDbxComponent& record : records) sorted.AddComponent(&record);
  std::vector<const TDbxComponent*> ordered;
  ordered.reserve(selection.size());
  for (const std::string& prefix : sorted.Prefixes()) {
    TCompTypeList* group = sorted.FindGroup(prefix);
    if (group == nullptr) continue;
    group->SortByNumber();
    for (const TDbxComponent* member : group->Components()) {
      // Back to the caller's own record.
      ordered.push_back(&selection[static_cast<std::size_t>(member - records.data())]);
    }
  }
  return ordered;
}

std::vector<std::string> AnchorCandidates(const std::vector<TDbxComponent>& selection,
                                          TChannelScheme scheme) {
  std::vector<std::string> candidates;
  std::unordered_set<std::string> seen;
  SilentReporter silent;
  for (const TDbxComponent* member : InGroupOrder(selection)) {
    std::string refDes = member->RefDes();
    const bool inChannel = scheme == TChannelScheme::TagAfterSeparator
                               ? SplitChannelTag(refDes).has_value()
                               : SplitRefDes(refDes, silent).number.has_value();
    if (!inChannel || !seen.insert(refDes).second) continue;
    candidates.push_back(std::move(refDes));
  }
  return candidates;
}

}  // namespace kordane
