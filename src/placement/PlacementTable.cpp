#include "placement/PlacementTable.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <unordered_map>

#include "host/Conversions.h"
#include "placement/CompSort.h"
#include "placement/Preview.h"
#include "placement/SelectionRun.h"

namespace kordane {

namespace {

// Beyond this many degrees an angle would lose its tenths.
constexpr double kLargestDegrees = 1e9;
// Digits past the sixteenth are not kept: the sixteen times 254 still fit 64 bits.
constexpr int kKeptDigits = 16;
constexpr std::int32_t kExponentClamp = 100000;

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// A column's name as it is compared: lower case, without spaces, '_' and '-'.
std::string Folded(std::string_view name) {
  std::string folded;
  for (const char c : name) {
    if (!IsBlank(c) && c != '_' && c != '-') folded += Lower(c);
  }
  return folded;
}

std::optional<TTableUnit> UnitNamed(std::string_view word) {
  const std::string unit = Folded(word);
  if (unit == "mm") return TTableUnit::Mm;
  if (unit == "mil" || unit == "mils") return TTableUnit::Mils;
  if (unit == "in" || unit == "inch" || unit == "inches") return TTableUnit::Inches;
  return std::nullopt;
}

// The unit's size in database units as digits times a power of ten: 100000 per mm, 254 × 10 per
// mil, 254 × 1000 per inch.
struct UnitSize {
  std::uint64_t digits;
  std::int32_t exponent;
};
UnitSize SizeOf(TTableUnit unit) {
  switch (unit) {
    case TTableUnit::Mils:
      return {254, 1};
    case TTableUnit::Inches:
      return {254, 3};
    case TTableUnit::Mm:
      break;
  }
  return {1, 5};
}

std::int64_t DbPer(TTableUnit unit) {
  const UnitSize size = SizeOf(unit);
  std::int64_t db = static_cast<std::int64_t>(size.digits);
  for (std::int32_t i = 0; i < size.exponent; ++i) db *= 10;
  return db;
}

enum class Role { Designator, X, Y, Rotation, Other };

Role RoleOf(const std::string& folded) {
  for (const char* name : {"designator", "ref", "refdes", "reference", "part"}) {
    if (folded == name) return Role::Designator;
  }
  for (const char* stem : {"", "pos", "mid", "center", "centre", "ref"}) {
    if (folded == std::string(stem) + "x") return Role::X;
    if (folded == std::string(stem) + "y") return Role::Y;
  }
  for (const char* name : {"rotation", "rot", "rotate", "angle", "orientation"}) {
    if (folded == name) return Role::Rotation;
  }
  return Role::Other;
}

struct Field {
  std::string_view text;
  bool quoted = false;
};

// Splits a line at the separator, or at runs of blanks when it is 0. A quoted field keeps its
// blanks, "" in it being one quote; the table keeps the text of such a field. False when a quote
// is not closed.
bool SplitFields(std::string_view line, char separator, std::vector<Field>& fields,
                 TPlacementTable& table) {
  fields.clear();
  const bool blanks = separator == 0;
  const auto ends = [&](char c) { return blanks ? IsBlank(c) : c == separator; };
  std::size_t pos = 0;
  while (true) {
    while (pos < line.size() && IsBlank(line[pos]) && (blanks || line[pos] != separator)) ++pos;
    if (blanks && pos == line.size()) return true;
    Field field;
    if (pos < line.size() && line[pos] == '"') {
      const std::size_t start = ++pos;
      std::string unquoted;
      bool escaped = false;
      while (true) {
        const std::size_t quote = line.find('"', pos);
        if (quote == std::string_view::npos) return false;
        unquoted.append(line.substr(pos, quote - pos));
        if (quote + 1 < line.size() && line[quote + 1] == '"') {
          unquoted += '"';
          escaped = true;
          pos = quote + 2;
          continue;
        }
        field.text = line.substr(start, quote - start);
        pos = quote + 1;
        break;
      }
      if (escaped) field.text = table.unquoted.emplace_back(std::move(unquoted));
      field.quoted = true;
      // Anything up to the next separator after the closing quote is not part of the field.
      while (pos < line.size() && !ends(line[pos])) ++pos;
    } else {
      const std::size_t start = pos;
      while (pos < line.size() && !ends(line[pos])) ++pos;
      field.text = Trimmed(line.substr(start, pos - start));
    }
    fields.push_back(field);
    if (pos == line.size()) return true;
    if (!blanks) ++pos;  // past the separator; a blank is skipped with the next field's
  }
}

// The separator of a header: the first of tab, ';' and ',' that it holds outside quotes.
char SeparatorOf(std::string_view header) {
  bool tab = false, semicolon = false, comma = false, quoted = false;
  for (const char c : header) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    tab = tab || c == '\t';
    semicolon = semicolon || c == ';';
    comma = comma || c == ',';
  }
  return tab ? '\t' : semicolon ? ';' : comma ? ',' : 0;
}

struct Column {
  std::optional<std::size_t> index;
  std::string name;
  std::optional<TTableUnit> unit;
};

struct Header {
  char separator = 0;
  Column designator, x, y, rotation;
  std::string problem;     // a column's unit that is not one
  std::size_t needed = 0;  // fields a row must have
};

// The columns a header names; a name's unit in parentheses or brackets is taken off.
Header ReadHeader(std::string_view text, std::vector<Field>& fields, TPlacementTable& table) {
  Header header;
  header.separator = SeparatorOf(text);
  if (!SplitFields(text, header.separator, fields, table)) return header;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    std::string_view name = fields[i].text;
    std::string_view unit;
    const char close = name.empty() ? '\0' : name.back();
    if (close == ')' || close == ']') {
      const std::size_t open = name.rfind(close == ')' ? '(' : '[');
      if (open != std::string_view::npos) {
        unit = Trimmed(name.substr(open + 1, name.size() - open - 2));
        name = Trimmed(name.substr(0, open));
      }
    }
    Column* column = nullptr;
    switch (RoleOf(Folded(name))) {
      case Role::Designator:
        column = &header.designator;
        break;
      case Role::X:
        column = &header.x;
        break;
      case Role::Y:
        column = &header.y;
        break;
      case Role::Rotation:
        column = &header.rotation;
        break;
      case Role::Other:
        break;
    }
    if (column == nullptr || column->index) continue;  // the first of a role counts
    column->index = i;
    column->name = std::string(name);
    if ((column == &header.x || column == &header.y) && !unit.empty()) {
      column->unit = UnitNamed(unit);
      if (!column->unit && header.problem.empty()) {
        header.problem = column->name + " names no unit of length: " + std::string(unit);
      }
    }
  }
  return header;
}

std::string_view AfterHashes(std::string_view comment) {
  while (!comment.empty() && comment.front() == '#') comment.remove_prefix(1);
  return Trimmed(comment);
}

// "## Unit = mm, ...": the table's unit; none when the line is no such line.
std::optional<std::string_view> UnitLine(std::string_view line) {
  if (line.substr(0, 2) != "##") return std::nullopt;
  std::string_view rest = AfterHashes(line);
  if (rest.size() < 4 || Folded(rest.substr(0, 4)) != "unit") return std::nullopt;
  rest = Trimmed(rest.substr(4));
  if (rest.empty() || rest.front() != '=') return std::nullopt;
  rest = rest.substr(1);
  return Trimmed(rest.substr(0, rest.find(',')));
}

// A decimal number with an optional sign and exponent, and for a length an optional unit after
// it; a comma reads as the decimal point where commaDecimal.
std::optional<TTableNumber> ReadNumber(std::string_view text, bool commaDecimal, bool length) {
  TTableNumber number;
  number.text = text;
  std::string_view rest = Trimmed(text);
  std::size_t pos = 0;
  if (pos < rest.size() && (rest[pos] == '+' || rest[pos] == '-')) {
    number.negative = rest[pos] == '-';
    ++pos;
  }
  int kept = 0;
  bool anyDigit = false;
  bool point = false;
  std::int64_t exponent = 0;
  for (; pos < rest.size(); ++pos) {
    const char c = rest[pos];
    if (c >= '0' && c <= '9') {
      anyDigit = true;
      if (kept < kKeptDigits && (kept > 0 || c != '0')) {
        number.digits = number.digits * 10 + static_cast<std::uint64_t>(c - '0');
        ++kept;
        if (point) --exponent;
      } else if (kept >= kKeptDigits && !point) {
        ++exponent;
      } else if (kept == 0 && point) {
        --exponent;  // a zero after the point, before the first significant digit
      }
    } else if (!point && (c == '.' || (c == ',' && commaDecimal))) {
      point = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return std::nullopt;
  if (pos < rest.size() && (rest[pos] == 'e' || rest[pos] == 'E')) {
    std::size_t at = pos + 1;
    bool negative = false;
    if (at < rest.size() && (rest[at] == '+' || rest[at] == '-')) negative = rest[at++] == '-';
    if (at == rest.size() || rest[at] < '0' || rest[at] > '9') return std::nullopt;
    std::int64_t value = 0;
    for (; at < rest.size() && rest[at] >= '0' && rest[at] <= '9'; ++at) {
      value = std::min<std::int64_t>(value * 10 + (rest[at] - '0'), kExponentClamp);
    }
    exponent += negative ? -value : value;
    pos = at;
  }
  number.exponent = static_cast<std::int32_t>(std::clamp<std::int64_t>(
      number.digits == 0 ? 0 : exponent, -4 * kExponentClamp, 4 * kExponentClamp));
  const std::string_view unit = Trimmed(rest.substr(pos));
  if (unit.empty()) return number;
  if (!length) return std::nullopt;
  number.unit = UnitNamed(unit);
  if (!number.unit) return std::nullopt;
  return number;
}

double DegreesOf(const TTableNumber& number) {
  if (number.digits == 0) return 0;
  // The digits and exponent as a text from_chars reads exactly.
  const std::string text = std::to_string(number.digits) + "e" + std::to_string(number.exponent);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) {
    value = number.exponent > 0 ? std::numeric_limits<double>::infinity() : 0;
  }
  return number.negative ? -value : value;
}

std::string LineText(std::size_t line) {
  return "line " + std::to_string(line) + ": ";
}

// Takes the header for the table's; false, the table refused, when it lacks a column it needs.
bool Accept(Header& header, std::string_view text, std::size_t line, TPlacementTable& table) {
  std::vector<const char*> lacking;
  if (!header.designator.index) lacking.push_back("designator");
  if (!header.x.index) lacking.push_back("X");
  if (!header.y.index) lacking.push_back("Y");
  std::string missing;
  for (std::size_t i = 0; i < lacking.size(); ++i) {
    missing += i == 0 ? "" : i + 1 == lacking.size() ? " or " : ", ";
    missing += lacking[i];
  }
  if (!missing.empty()) {
    table.error = LineText(line) + "the header has no " + missing + " column: " + std::string(text);
    return false;
  }
  if (!header.problem.empty()) {
    table.error = LineText(line) + header.problem;
    return false;
  }
  for (const Column* column : {&header.designator, &header.x, &header.y, &header.rotation}) {
    if (column->index) header.needed = std::max(header.needed, *column->index + 1);
  }
  table.xName = header.x.name;
  table.yName = header.y.name;
  if (header.rotation.index) table.rotationName = header.rotation.name;
  return true;
}

// The table read into table; its error set where it is refused.
void Read(TPlacementTable& table) {
  std::string_view text(*table.text);
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::optional<Header> header;
  std::optional<TTableUnit> tableUnit;
  std::vector<Field> fields;
  const auto refuse = [&table](std::size_t line, const std::string& what) {
    table.error = LineText(line) + what;
    table.rows.clear();
  };
  std::size_t lineNumber = 0;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::string_view trimmed = Trimmed(line);
    if (trimmed.empty()) continue;
    if (trimmed.front() == '#') {
      if (const std::optional<std::string_view> unit = UnitLine(trimmed)) {
        tableUnit = UnitNamed(*unit);
        if (!tableUnit) return refuse(lineNumber, "no unit of length: " + std::string(*unit));
        continue;
      }
      if (header) continue;
      // A comment naming the columns is the header.
      const std::string_view named = AfterHashes(trimmed);
      Header commented = ReadHeader(named, fields, table);
      if (!commented.designator.index || !commented.x.index) continue;
      header = std::move(commented);
      if (!Accept(*header, named, lineNumber, table)) return;
      continue;
    }
    if (!header) {
      header = ReadHeader(trimmed, fields, table);
      if (!Accept(*header, trimmed, lineNumber, table)) return;
      continue;
    }
    const std::size_t needed = header->needed;
    const bool commaDecimal = header->separator != ',';
    if (!SplitFields(trimmed, header->separator, fields, table)) {
      return refuse(lineNumber, "a quote is not closed: " + std::string(trimmed));
    }
    if (fields.size() < needed) {
      const Column* first = nullptr;
      for (const Column* column : {&header->designator, &header->x, &header->y, &header->rotation})
        if (column->index && *column->index >= fields.size() &&
            (first == nullptr || *column->index < *first->index))
          first = column;
      return refuse(lineNumber, first->name + " is missing: " + std::string(trimmed));
    }
    TTableRow row;
    row.line = lineNumber;
    const Field& designator = fields[*header->designator.index];
    row.designator = designator.quoted ? designator.text : Trimmed(designator.text);
    const auto length = [&](const Column& column, TTableNumber& number) {
      const std::string_view field = fields[*column.index].text;
      std::optional<TTableNumber> read = ReadNumber(field, commaDecimal, true);
      if (!read) {
        refuse(lineNumber, column.name + " is not a number: " + std::string(field));
        return false;
      }
      if (!read->unit) read->unit = column.unit;
      number = *read;
      return true;
    };
    if (!length(header->x, row.x) || !length(header->y, row.y)) return;
    if (header->rotation.index) {
      const std::string_view field = fields[*header->rotation.index].text;
      const std::optional<TTableNumber> angle = ReadNumber(field, commaDecimal, false);
      if (!angle) {
        return refuse(lineNumber,
                      header->rotation.name + " is not a number: " + std::string(field));
      }
      row.degrees = DegreesOf(*angle);
      if (!(std::fabs(*row.degrees) <= kLargestDegrees)) {
        return refuse(lineNumber,
                      header->rotation.name + " is out of range: " + std::string(field));
      }
    }
    table.rows.push_back(row);
  }
  if (!header) {
    table.error = "The file holds no table: no line names the columns";
    return;
  }
  if (tableUnit) {
    for (TTableRow& row : table.rows) {
      if (!row.x.unit) row.x.unit = tableUnit;
      if (!row.y.unit) row.y.unit = tableUnit;
    }
  }
}

}  // namespace

std::string TableSizeProblem(std::uint64_t bytes) {
  if (bytes <= kLargestTableBytes) return {};
  const std::uint64_t tenths = (bytes * 10 + 1048575) / 1048576;  // up: 50 MB and a byte is 50.1
  return "The table is " + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) +
         " MB: at most " + std::to_string(kLargestTableBytes / 1048576) + " MB is read";
}

std::shared_ptr<const TPlacementTable> ReadPlacementTable(std::string text) {
  auto table = std::make_shared<TPlacementTable>();
  table->text = std::make_shared<const std::string>(std::move(text));
  Read(*table);
  return table;
}

std::optional<std::int64_t> TableLengthToDb(const TTableNumber& number, TTableUnit unit) {
  const UnitSize size = SizeOf(number.unit.value_or(unit));
  std::uint64_t value = number.digits * size.digits;
  std::int64_t exponent = std::int64_t{number.exponent} + size.exponent;
  if (value == 0) return 0;
  if (exponent >= 0) {
    for (; exponent > 0; --exponent) {
      if (value > std::numeric_limits<std::uint64_t>::max() / 10) return std::nullopt;
      value *= 10;
    }
  } else {
    // Rounded once: the first digit dropped decides, halves away from zero.
    std::uint64_t dropped = 0;
    for (; exponent < 0 && value > 0; ++exponent) {
      dropped = value % 10;
      value /= 10;
    }
    if (exponent < 0) dropped = 0;  // every digit went before the last division
    value += dropped >= 5 ? 1 : 0;
  }
  if (value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
    return std::nullopt;
  }
  const auto magnitude = static_cast<std::int64_t>(value);
  return number.negative ? -magnitude : magnitude;
}

std::vector<TTableTarget> ResolveTable(const TPlacementTable& table, TTableUnit units,
                                       std::int32_t originX, std::int32_t originY) {
  if (!table.error.empty()) throw ConversionError(table.error);
  std::vector<TTableTarget> targets;
  targets.reserve(table.rows.size());
  const auto place = [&](const TTableRow& row, const TTableNumber& number, std::int32_t origin,
                         const std::string& name) {
    const std::optional<std::int64_t> db = TableLengthToDb(number, units);
    const std::optional<std::int32_t> at = db ? ToInt32(*db + origin) : std::nullopt;
    if (!at) {
      throw ConversionError(LineText(row.line) + name +
                            " is out of range: " + std::string(Trimmed(number.text)));
    }
    return *at;
  };
  for (const TTableRow& row : table.rows) {
    TTableTarget& target = targets.emplace_back();
    target.line = row.line;
    target.designator = row.designator;
    target.x = place(row, row.x, originX, table.xName);
    target.y = place(row, row.y, originY, table.yName);
    if (row.degrees) target.rotation = DegreesToTenths(*row.degrees);
  }
  return targets;
}

TTablePlan PlanFromTable(std::span<const TReplicatePart> parts,
                         std::span<const TTableTarget> targets) {
  struct Holders {
    std::uint32_t rows = 0, parts = 0;
    std::uint32_t row = 0;  // the first
  };
  std::unordered_map<std::string_view, Holders> names;
  names.reserve(parts.size() + targets.size());
  for (std::size_t i = 0; i < targets.size(); ++i) {
    Holders& holders = names[targets[i].designator];
    if (holders.rows++ == 0) holders.row = static_cast<std::uint32_t>(i);
  }
  for (const TReplicatePart& part : parts) ++names[part.refDes].parts;

  TTablePlan plan;
  for (const auto& [name, holders] : names) {
    const bool ambiguous =
        holders.rows > 0 && holders.parts > 0 && (holders.rows > 1 || holders.parts > 1);
    plan.ambiguous += ambiguous ? 1 : 0;
  }
  for (std::size_t i = 0; i < targets.size(); ++i) {
    const Holders& holders = names[targets[i].designator];
    if (holders.parts == 0) {
      plan.notes.push_back({true, i, TTableLeftOut::NoPart, 0});
      ++plan.rowsWithoutPart;
    } else if (holders.rows > 1) {
      plan.notes.push_back({true, i, TTableLeftOut::RowsShareName, holders.rows});
    } else if (holders.parts > 1) {
      plan.notes.push_back({true, i, TTableLeftOut::PartsShareName, holders.parts});
    }
  }
  plan.targets.reserve(parts.size());
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const TMemberPlace& place = parts[i].place;
    plan.targets.push_back({place.x, place.y, false, std::nullopt});
    const Holders& holders = names[parts[i].refDes];
    if (holders.rows == 0) {
      plan.notes.push_back({false, i, TTableLeftOut::NoRow, 0});
      ++plan.partsWithoutRow;
    } else if (holders.parts > 1) {
      plan.notes.push_back({false, i, TTableLeftOut::PartsShareName, holders.parts});
    } else if (holders.rows > 1) {
      plan.notes.push_back({false, i, TTableLeftOut::RowsShareName, holders.rows});
    } else {
      const TTableTarget& target = targets[holders.row];
      plan.targets.back() = {target.x, target.y, true, target.rotation};
      ++plan.placed;
    }
  }
  return plan;
}

std::string TableNoteText(const TTableNote& note, std::span<const TReplicatePart> parts,
                          std::span<const TTableTarget> targets) {
  const std::string rows = Counted(note.count, "row", "rows");
  const std::string held = Counted(note.count, "selected part", "selected parts");
  if (note.row) {
    const TTableTarget& target = targets[note.index];
    const std::string text = LineText(target.line) + std::string(target.designator);
    switch (note.why) {
      case TTableLeftOut::NoPart:
        return text + " matches no selected part";
      case TTableLeftOut::RowsShareName:
        return text + " is named by " + rows + "; left alone";
      case TTableLeftOut::PartsShareName:
      case TTableLeftOut::NoRow:
        return text + " is held by " + held + "; left alone";
    }
  }
  const std::string text(parts[note.index].refDes);
  switch (note.why) {
    case TTableLeftOut::NoRow:
      return text + ": no row names it; left alone";
    case TTableLeftOut::RowsShareName:
      return text + ": named by " + rows + "; left alone";
    case TTableLeftOut::PartsShareName:
    case TTableLeftOut::NoPart:
      break;
  }
  return text + ": held by " + held + "; left alone";
}

std::string TableLengthText(std::int64_t db, TTableUnit unit) {
  const std::int64_t per = DbPer(unit);
  const bool negative = db < 0;
  const std::int64_t magnitude = negative ? -db : db;
  std::int64_t scale = 1;
  // Seven places of an inch are finer than a database unit: the loop always ends with a text.
  for (std::int32_t places = 0; places <= 8; ++places, scale *= 10) {
    const std::int64_t nearest = (magnitude * scale * 2 + per) / (2 * per);
    for (const std::int64_t digits : {nearest, nearest - 1, nearest + 1}) {
      if (digits < 0) continue;
      const TTableNumber number{negative, static_cast<std::uint64_t>(digits), -places, unit, {}};
      if (TableLengthToDb(number, unit) != db) continue;
      std::string text(negative && digits != 0 ? "-" : "");
      text += std::to_string(digits / scale);
      if (places > 0) {
        const std::string fraction = std::to_string(digits % scale);
        text += '.';
        text.append(static_cast<std::size_t>(places) - fraction.size(), '0');
        text += fraction;
      }
      return text;
    }
  }
  return std::to_string(db);
}

std::string WritePlacementTable(const std::vector<TDbxComponent>& selection, TTableUnit unit,
                                std::int32_t originX, std::int32_t originY) {
  static const char* const kUnitNames[] = {"mm", "mils", "in"};
  const char* name = kUnitNames[static_cast<int>(unit)];
  std::string text = std::string("Designator,X (") + name + "),Y (" + name + "),Rotation\r\n";
  class Silent final : public IRefDesReporter {
    void ReportRefDesError(const std::string&) override {}
  } silent;
  std::vector<TDbxComponent> records = selection;
  TSortedComp sorted(silent);
  for (TDbxComponent& record : records) sorted.AddComponent(&record);
  for (const std::string& prefix : sorted.Prefixes()) {
    TCompTypeList* group = sorted.FindGroup(prefix);
    if (group == nullptr) continue;
    group->SortByNumber();
    for (const TDbxComponent* part : group->Components()) {
      const std::string_view refDes = part->RefDesView();
      const bool quoted = refDes.find_first_of(",\"") != std::string_view::npos ||
                          (!refDes.empty() && (IsBlank(refDes.front()) || IsBlank(refDes.back()) ||
                                               refDes.front() == '#'));
      if (quoted) {
        text += '"';
        for (const char c : refDes) {
          if (c == '"') text += '"';
          text += c;
        }
        text += '"';
      } else {
        text += refDes;
      }
      const std::int32_t tenths = NormalisedTenths(part->Rotation());
      for (const std::string& field :
           {TableLengthText(std::int64_t{part->X()} - originX, unit),
            TableLengthText(std::int64_t{part->Y()} - originY, unit),
            std::to_string(tenths / 10) + '.' + static_cast<char>('0' + tenths % 10)}) {
        text += ',';
        text += field;
      }
      text += "\r\n";
    }
  }
  return text;
}

}  // namespace kordane
