// Placement tables: the designators, places and angles of parts as a pick-and-place file, a
// spreadsheet or a script writes them. The reader takes the text of such a file and refuses a
// table that does not read completely; the writer writes the selection so that reading it back
// gives every part's place to the database unit. Lengths are in database units (+Y up), angles
// in tenths of a degree, counter-clockwise, as the host's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/Dbx32.h"
#include "placement/ArrangeGeometry.h"
#include "placement/Replicate.h"

namespace kordane {

// The units of a table's lengths, in the order of the "Units" list and its INI code.
enum class TTableUnit { Mm, Mils, Inches };

// A table larger than this is not read.
inline constexpr std::uint64_t kLargestTableBytes = 50u * 1024 * 1024;
// Why a file of so many bytes is not read ("The table is 61.3 MB: at most 50 MB is read"), empty
// when it is read.
std::string TableSizeProblem(std::uint64_t bytes);

// A number as the table writes it: exactly, as digits and a power of ten.
struct TTableNumber {
  bool negative = false;
  std::uint64_t digits = 0;  // at most 16 significant digits are kept
  std::int32_t exponent = 0;
  std::optional<TTableUnit> unit;  // its own, else its column's, else the table's
  std::string_view text;           // as written, for the messages
};

struct TTableRow {
  std::size_t line = 0;  // from 1
  std::string_view designator;
  TTableNumber x, y;
  std::optional<double> degrees;  // none without a rotation column
};

// A table as read. Its views point into the text, which it keeps.
struct TPlacementTable {
  std::shared_ptr<const std::string> text;
  std::deque<std::string> unquoted;  // quoted fields that held "", as they read
  std::vector<TTableRow> rows;
  std::string xName = "X", yName = "Y", rotationName = "Rotation";  // as the header names them
  // Why the table is refused, naming the line, the column and the text; empty when it read.
  std::string error;
};

// A table's file as the window last read it: its name, and the table or why it was not read.
// Shared by every copy of the choices, which are copied on every keystroke.
struct TTableFile {
  std::string path;
  std::string failure;
  std::shared_ptr<const TPlacementTable> table;
  friend bool operator==(const TTableFile&, const TTableFile&) = default;
};

// Reads a table's text (see the README for every rule).
std::shared_ptr<const TPlacementTable> ReadPlacementTable(std::string text);

// A row's target: where its part goes, the origin added, and its angle.
struct TTableTarget {
  std::size_t line = 0;
  std::string_view designator;
  std::int32_t x = 0, y = 0;
  std::optional<std::int32_t> rotation;  // tenths in [0, 3600)
};

// The table's targets in database units: numbers without a unit of their own, their column's or
// the table's are in units; every length is rounded once, halves away from zero, then the origin
// is added. Throws ConversionError for a table that was refused and for a target beyond the
// host's 32-bit coordinates, naming its line, column and text.
std::vector<TTableTarget> ResolveTable(const TPlacementTable& table, TTableUnit units,
                                       std::int32_t originX, std::int32_t originY);

// A length as the table writes it in database units: its digits times the unit's size, rounded
// once; none when it does not fit 64 bits.
std::optional<std::int64_t> TableLengthToDb(const TTableNumber& number, TTableUnit unit);

// Why a row or a selected part is left alone.
enum class TTableLeftOut {
  NoPart,         // a row that names no selected part
  NoRow,          // a selected part that no row names
  RowsShareName,  // a designator named by more than one row
  PartsShareName  // a designator held by more than one selected part
};

struct TTableNote {
  bool row = false;   // a row of the table, else a selected part
  std::size_t index;  // into the targets or the parts
  TTableLeftOut why;
  std::size_t count;  // how many rows or parts share the designator
};

struct TTablePlan {
  std::vector<TMemberTarget> targets;  // one per part; a part left alone neither moves nor turns
  std::size_t placed = 0;              // parts given a target
  std::size_t rowsWithoutPart = 0;
  std::size_t partsWithoutRow = 0;
  std::size_t ambiguous = 0;      // designators named twice
  std::vector<TTableNote> notes;  // the rows by line, then the parts in their order
};

// Matches each row's designator, byte for byte, with the selected part's.
TTablePlan PlanFromTable(std::span<const TReplicatePart> parts,
                         std::span<const TTableTarget> targets);

// The line that lists a row or part left alone, for example "line 12: R99 matches no selected
// part".
std::string TableNoteText(const TTableNote& note, std::span<const TReplicatePart> parts,
                          std::span<const TTableTarget> targets);

// The shortest decimal, "." its separator, that reads back as db database units in unit.
std::string TableLengthText(std::int64_t db, TTableUnit unit);

// The selection as a comma-separated table in unit, one row per part in Go's group order, the
// origin (database units) taken off each place.
std::string WritePlacementTable(const std::vector<TDbxComponent>& selection, TTableUnit unit,
                                std::int32_t originX, std::int32_t originY);

}  // namespace kordane
