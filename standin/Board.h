// The stand-in host: a simulated board design that answers the seven library operations. A
// `Design` works purely in memory; a `BoardHost` keeps its design in a plain-text board file and
// writes a journal of the calls it receives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/Dbx32.h"

namespace standin {

using kordane::TDbxComponent;
using kordane::TDbxContext;
using kordane::TDbxItem;
using kordane::TDesignInfo;

// Status codes the stand-in returns.
inline constexpr std::int32_t kOk = 0;
inline constexpr std::int32_t kConnectionError = 32001;
inline constexpr std::int32_t kBadServerData = 32003;
inline constexpr std::int32_t kFatalError = 32005;
inline constexpr std::int32_t kLowMemory = 32103;
inline constexpr std::int32_t kNoConnection = 32105;
inline constexpr std::int32_t kBadInput = 32122;
inline constexpr std::int32_t kGetFirstNotCalled = 32145;
inline constexpr std::int32_t kNoMoreItems = 32163;
inline constexpr std::int32_t kInvalidLocation = 32175;
inline constexpr std::int32_t kComponentNotFound = 32215;
inline constexpr std::int32_t kUnableToOpenFile = 32239;

inline constexpr std::int32_t kUnitsMils = 1;
inline constexpr std::int32_t kUnitsMm = 2;
inline constexpr std::int32_t kFullTurn = 3600;  // tenths of a degree

// The outline of a component's body at rotation 0, in database units: width along X, height
// along Y, centred on the component's origin. The host never looks at it; the board view draws it.
struct BodySize {
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const BodySize&, const BodySize&) = default;
};

// One object of the design: a component (type 9) or another selectable item.
struct Item {
  std::int32_t type = TDbxItem::kComponentType;
  std::string refDes;
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t rotation = 0;
  bool selected = true;
  std::optional<BodySize> body;  // a component's, when its line gives one

  bool IsComponent() const { return type == TDbxItem::kComponentType; }
  static Item Component(std::string refDes, std::int32_t x, std::int32_t y, std::int32_t rotation,
                        bool selected = true);
  static Item Other(std::int32_t type, bool selected = true);
  friend bool operator==(const Item&, const Item&) = default;
};

// Statuses forced onto calls, so that a client's handling of failures can be exercised. A
// forced call returns its status and changes nothing.
struct Faults {
  std::optional<std::int32_t> open;
  std::optional<std::int32_t> designInfo;
  std::optional<std::int32_t> close;
  std::map<std::int32_t, std::int32_t> item;   // n-th call of an iteration (1 = first) -> status
  std::map<std::string, std::int32_t> rotate;  // designator -> status
  std::map<std::string, std::int32_t> move;    // designator -> status
};

// The design and the operations' rules. A connection is identified by the context that Open
// filled; every later call checks it. A captured record names its component by the designator
// it carries and by which of the components of that designator it is (its ordinal, at byte 0, a
// part of the record its reader does not look at), so that it still names the same component
// after other lines of the board are added, removed or reordered; a record whose component is gone
// is refused with kComponentNotFound, never taken for another.
class Design {
 public:
  explicit Design(std::vector<Item> items = {}, std::int32_t units = kUnitsMils,
                  Faults faults = {});

  // Replaces the whole design; an open connection ends without further effect.
  void Load(std::vector<Item> items, std::int32_t units, Faults faults);

  std::int32_t Open(TDbxContext* context);
  std::int32_t Close(TDbxContext* context);
  std::int32_t GetDesignInfo(TDbxContext* context, TDesignInfo* info) const;
  std::int32_t GetFirst(TDbxContext* context, TDbxItem* item);
  std::int32_t GetNext(TDbxContext* context, TDbxItem* item);
  std::int32_t Rotate(TDbxContext* context, std::int32_t angle, const std::int32_t* rotationPoint,
                      const TDbxComponent* component);
  std::int32_t Move(TDbxContext* context, std::int32_t dx, std::int32_t dy,
                    const TDbxComponent* component);

  const std::vector<Item>& Items() const { return items_; }
  std::int32_t Units() const { return units_; }
  bool IsOpen() const { return open_; }
  // The component a captured record stands for, or nullptr.
  const Item* Find(const TDbxComponent* component) const;

 private:
  bool IsCurrent(const TDbxContext* context) const;
  std::int32_t NextSelected(TDbxItem* item);
  Item* FindMutable(const TDbxComponent* component);
  // The indices of the components of the designator.
  const std::vector<std::size_t>& Namesakes(const std::string& refDes) const;

  std::vector<Item> items_;
  std::int32_t units_ = kUnitsMils;
  Faults faults_;
  bool open_ = false;
  std::int32_t session_ = 0;         // bumped by every open, so a stale context is refused
  std::int32_t iterationCalls_ = 0;  // calls of the running iteration; 0 before the first
  std::size_t cursor_ = 0;           // next item the iteration looks at
  // The components of each designator, in the design's order; made when first needed.
  mutable std::unordered_map<std::string, std::vector<std::size_t>> byDesignator_;
  mutable bool indexed_ = false;
};

// A board file as read: its lines, kept for writing back, and the design they describe.
struct Board {
  std::vector<std::string> lines;  // the text split at '\n', terminators removed
  std::vector<Item> items;
  std::int32_t units = kUnitsMils;
  Faults faults;

  // Where each item's numbers stand in its line, to rewrite them in place.
  struct Span {
    std::size_t begin = 0;
    std::size_t length = 0;
  };
  struct Source {
    std::size_t line = 0;
    Span x, y, rotation;
    // The selected flag's token (length 0 when absent) and where the line's last other token
    // ends: the flag is removed with the blanks before it, or inserted there with one blank.
    Span selected;
    std::size_t flagAt = 0;
  };
  std::vector<Source> sources;  // parallel to items
};

struct ParseError {
  std::size_t line = 0;  // 1-based
  std::string reason;
};

// Parses board text. Returns std::nullopt and fills error when a line does not parse.
std::optional<Board> ParseBoard(std::string_view text, ParseError& error);

// The board's text with the numbers of every changed component and the selected flag of every
// item whose selection changed replaced by those of items; all other bytes stay as they were read.
// Body sizes are never rewritten.
std::string WriteBoard(const Board& board, const std::vector<Item>& items);

// The whole file, or std::nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// Writes text beside path and renames it over path, so that a reader sees the old or the new
// file, never a part of one. False when either step fails; no temporary file is left then.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view text);

// The library's host: reads the board at each open, writes it back atomically at each close (onto
// the file as it is then, under the board's lock, so that a selection the board view wrote
// meanwhile stays) and
// appends one journal line per call when a journal is named. The board is named by env
// DBX32_BOARD, else board.txt in the given folder; the journal by env DBX32_JOURNAL.
class BoardHost {
 public:
  explicit BoardHost(std::filesystem::path libraryFolder);

  std::int32_t Open(std::int32_t dbType, std::int32_t timeout, const char* name,
                    TDbxContext* context);
  std::int32_t Close(TDbxContext* context, const char* message);
  std::int32_t GetDesignInfo(TDbxContext* context, TDesignInfo* info);
  std::int32_t GetFirst(TDbxContext* context, TDbxItem* item);
  std::int32_t GetNext(TDbxContext* context, TDbxItem* item);
  std::int32_t Rotate(TDbxContext* context, std::int32_t angle, std::int32_t* rotationPoint,
                      TDbxComponent* component);
  std::int32_t Move(TDbxContext* context, std::int32_t dx, std::int32_t dy,
                    TDbxComponent* component);

  const Design& CurrentDesign() const { return design_; }
  std::filesystem::path BoardPath() const;

 private:
  std::int32_t ReadBoard();
  std::int32_t SaveBoard() const;
  std::string ComponentName(const TDbxComponent* component) const;
  // Appends the words, empty ones left out, and the status as one journal line.
  void Journal(std::initializer_list<std::string> words, std::int32_t status) const;

  std::filesystem::path libraryFolder_;
  std::filesystem::path boardPath_;  // the board of the present design
  Board board_;
  Design design_;
};

// Value of an environment variable; empty when it is not set.
std::string Environment(const char* name);

}  // namespace standin
