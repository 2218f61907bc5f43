// The stand-in's board file: a text that parses is written back byte for byte when nothing
// changed, and a write of changed items parses back to exactly those items. The input is the
// board text itself; the changes come from a generator seeded by it, so that every board is
// written back with several different sets of new numbers.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "Board.h"
#include "FuzzSupport.h"

namespace kordane::fuzz {
namespace {

using standin::Board;
using standin::Item;
using standin::ParseBoard;
using standin::ParseError;
using standin::WriteBoard;

std::size_t LineCount(std::string_view text) {
  std::size_t lines = 1;
  for (const char c : text) lines += c == '\n' ? 1 : 0;
  return lines;
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines(1);
  for (const char c : text) {
    if (c == '\n') {
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

// A new value for a number: one of the edges, a neighbour, a value of another width.
std::int32_t NewNumber(std::mt19937& random, std::int32_t old) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  switch (random() % 8) {
    case 0:
      return kMin;
    case 1:
      return kMax;
    case 2:
      return 0;
    case 3:
      return old == kMax ? kMin : old + 1;
    case 4:
      return old == kMin ? kMax : old - 1;
    case 5:
      return old == kMin ? kMax : -old;
    case 6:
      return static_cast<std::int32_t>(random() % 10);
    default:
      return static_cast<std::int32_t>(random());
  }
}

void CheckSameBoard(const Board& read, const Board& written, const std::string& what) {
  FUZZ_CHECK(read.units == written.units, what + ": units");
  FUZZ_CHECK(
      read.faults.open == written.faults.open &&
          read.faults.designInfo == written.faults.designInfo &&
          read.faults.close == written.faults.close && read.faults.item == written.faults.item &&
          read.faults.rotate == written.faults.rotate && read.faults.move == written.faults.move,
      what + ": faults");
  FUZZ_CHECK(read.lines.size() == written.lines.size(), what + ": line count");
}

}  // namespace
}  // namespace kordane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kordane::fuzz;
  const std::string text(reinterpret_cast<const char*>(data), size);

  ParseError error;
  const std::optional<Board> board = ParseBoard(text, error);
  if (!board) {
    FUZZ_CHECK(error.line >= 1 && error.line <= LineCount(text),
               "error on line " + std::to_string(error.line));
    FUZZ_CHECK(!error.reason.empty(), "error without a reason");
    return 0;
  }
  FUZZ_CHECK(board->sources.size() == board->items.size(), "a source per item");
  FUZZ_CHECK(board->lines == Lines(text), "lines as read");
  for (const Item& item : board->items) {
    FUZZ_CHECK(item.refDes.size() <= kordane::TDbxComponent::kRefDesSize,
               "designator " + Shown(item.refDes));
    FUZZ_CHECK(item.IsComponent() || item.refDes.empty(), "an item with a designator");
  }

  const std::string unchanged = WriteBoard(*board, board->items);
  FUZZ_CHECK(unchanged == text, "unchanged items written as " + Shown(unchanged));

  std::seed_seq seed(text.begin(), text.end());
  std::mt19937 random(seed);
  for (int round = 0; round < 4; ++round) {
    std::vector<Item> changed = board->items;
    std::vector<bool> touched(changed.size(), false);
    for (std::size_t i = 0; i < changed.size(); ++i) {
      Item& item = changed[i];
      if (!item.IsComponent() || random() % 2 == 0) continue;
      touched[i] = true;
      if (random() % 2 == 0) item.x = NewNumber(random, item.x);
      if (random() % 2 == 0) item.y = NewNumber(random, item.y);
      if (random() % 2 == 0) item.rotation = NewNumber(random, item.rotation);
    }
    const std::string written = WriteBoard(*board, changed);
    const std::string what = "write " + std::to_string(round) + " " + Shown(written);
    ParseError writtenError;
    const std::optional<Board> back = ParseBoard(written, writtenError);
    FUZZ_CHECK(back.has_value(), what + " does not parse: line " +
                                     std::to_string(writtenError.line) + ": " +
                                     writtenError.reason);
    FUZZ_CHECK(back->items == changed, what + ": items differ");
    CheckSameBoard(*board, *back, what);
    // Only the lines of changed components differ.
    for (std::size_t line = 0; line < back->lines.size(); ++line) {
      bool ofTouched = false;
      for (std::size_t i = 0; i < changed.size(); ++i) {
        ofTouched = ofTouched || (touched[i] && board->sources[i].line == line);
      }
      FUZZ_CHECK(ofTouched || back->lines[line] == board->lines[line],
                 what + ": line " + std::to_string(line + 1) + " changed");
    }
    FUZZ_CHECK(WriteBoard(*back, back->items) == written, what + ": not written back the same");
  }
  return 0;
}
