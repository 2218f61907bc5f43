// Replicate's channel schemes: how a designator names its channel and its role in it, and the
// index of every role of every channel that Replicate's plan and Find work from. Roles and tags
// compare byte for byte, as grouping compares prefixes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "placement/ArrangeGeometry.h"

namespace kordane {

enum class TChannelScheme {
  NumbersInBlocks,    // with block size B, channel ⌊n / B⌋, role the prefix with n mod B
  TagAfterSeparator,  // R5_A: channel A, role R5
};

// A selected part as read.
struct TReplicatePart {
  std::string_view refDes;
  TMemberPlace place;
};

struct TTaggedRefDes {
  std::string_view role;
  std::string_view tag;
};

// The text after the last '_', '.' or '-' when it is one or more ASCII letters or digits and the
// text before it is not empty; none otherwise.
std::optional<TTaggedRefDes> SplitChannelTag(std::string_view refDes);

// A tag's place in steps: its number when it is all digits (up to 2147483647, as designators'
// numbers go), its letter's place in the alphabet when it is one letter (A and a are 1); none
// otherwise.
std::optional<std::int64_t> TagStepIndex(std::string_view tag);

// A part's channel and role. In blocks the channel is the number's block and the role its
// prefix, numbered in the order first met, with the remainder; with tags the channel is the tag
// and the role the text before it, each numbered in the order first met.
struct TRoleKey {
  std::int64_t channel = 0;
  std::int32_t remainder = 0;
  std::uint32_t prefix = 0;
  friend bool operator==(const TRoleKey&, const TRoleKey&) = default;
};

// Numbers for texts in the order first met. Boards have a handful of prefixes: a short list is
// searched before anything is hashed.
class TTextIds {
 public:
  std::uint32_t Of(std::string_view text);
  std::string_view Text(std::uint32_t id) const { return texts_[id]; }

 private:
  static constexpr std::size_t kFew = 16;
  std::vector<std::string_view> texts_;
  std::unordered_map<std::string_view, std::uint32_t> many_;
};

// Every part's channel and role under one scheme, and who holds each role of each channel: the
// live picture works this out for thousands of parts on every keystroke.
class TChannelIndex {
 public:
  TChannelIndex(std::span<const TReplicatePart> parts, TChannelScheme scheme,
                std::int32_t blockSize);

  TChannelScheme Scheme() const { return scheme_; }
  const std::optional<TRoleKey>& Key(std::size_t part) const { return keys_[part]; }
  // How many parts hold the part's role in its channel (0 for a part without a channel), and
  // another of them.
  std::size_t Holders(std::size_t part) const;
  std::optional<std::size_t> OtherHolder(std::size_t part) const;
  // The first part met that holds a role, and how many do.
  std::optional<std::size_t> FirstHolder(const TRoleKey& key) const;
  std::size_t HoldersOf(const TRoleKey& key) const;
  std::optional<std::size_t> SoleHolder(const TRoleKey& key) const {
    return HoldersOf(key) == 1 ? FirstHolder(key) : std::nullopt;
  }
  // "2" in blocks, "A" with tags.
  std::string ChannelName(std::int64_t channel) const;
  // Where a channel goes in steps: its number in blocks, its tag's index with tags.
  std::optional<std::int64_t> StepIndex(std::int64_t channel) const;
  // The prefix of the part's role, as grouping splits it ("U" for U101 and for U1_A).
  std::string_view RolePrefix(std::size_t part) const;

 private:
  struct Holding {
    std::uint32_t first = 0;
    std::uint32_t second = 0;
    std::uint32_t count = 0;  // 0: a free slot
  };
  struct Slot {
    TRoleKey key;
    Holding holding;
  };

  // The slot of the key, or the free slot where it would go; at most half the slots are taken.
  std::size_t SlotOf(const TRoleKey& key) const;

  TChannelScheme scheme_;
  std::vector<std::optional<TRoleKey>> keys_;
  std::vector<std::uint32_t> slotOf_;  // each part's slot, for parts with a channel
  std::vector<Slot> slots_;
  TTextIds roles_;  // prefixes in blocks, roles with tags
  TTextIds tags_;
};

}  // namespace kordane
