#include "Board.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <system_error>
#include <utility>

#include "FileLock.h"

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace standin {

namespace {

constexpr std::int32_t kContextMagic = 0x58424453;  // "SDBX"
constexpr std::size_t kMagicOffset = 0;
constexpr std::size_t kSessionOffset = 4;
constexpr std::size_t kOrdinalOffset = 0;  // in the component record: 1 for the first

constexpr const char* kEmptyDesignator = "\"\"";

bool FitsInt32(std::int64_t value) {
  return value >= std::numeric_limits<std::int32_t>::min() &&
         value <= std::numeric_limits<std::int32_t>::max();
}

// ---- Board text ----------------------------------------------------------------------------

struct Token {
  std::string_view text;
  std::size_t begin = 0;
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Whitespace-separated tokens of a line up to its comment.
std::vector<Token> Tokenize(std::string_view line) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < line.size() && line[i] != '#') {
    if (IsBlank(line[i])) {
      ++i;
      continue;
    }
    const std::size_t begin = i;
    while (i < line.size() && !IsBlank(line[i]) && line[i] != '#') {
      ++i;
    }
    tokens.push_back({line.substr(begin, i - begin), begin});
  }
  return tokens;
}

std::optional<std::int32_t> ParseNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') {
      return std::nullopt;
    }
  }
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::string> ParseDesignator(std::string_view text) {
  if (text == kEmptyDesignator) {
    return std::string();
  }
  if (text.size() > TDbxComponent::kRefDesSize) {
    return std::nullopt;
  }
  return std::string(text);
}

// A body column: <width>x<height>, both above 0.
std::optional<BodySize> ParseBody(std::string_view text) {
  const std::size_t times = text.find('x');
  if (times == std::string_view::npos) {
    return std::nullopt;
  }
  const std::optional<std::int32_t> width = ParseNumber(text.substr(0, times));
  const std::optional<std::int32_t> height = ParseNumber(text.substr(times + 1));
  if (!width || !height || *width <= 0 || *height <= 0) {
    return std::nullopt;
  }
  return BodySize{*width, *height};
}

std::size_t TokenEnd(const Token& token) {
  return token.begin + token.text.size();
}

Board::Span FlagSpan(const std::vector<Token>& tokens, bool flagged) {
  return flagged ? Board::Span{tokens.back().begin, tokens.back().text.size()} : Board::Span{};
}

// Parses one line into board; returns the reason when it does not parse.
std::optional<std::string> ParseLine(std::string_view line, std::size_t lineIndex, Board& board,
                                     bool& unitsSeen) {
  const std::vector<Token> tokens = Tokenize(line);
  if (tokens.empty()) {
    return std::nullopt;
  }
  const std::string_view keyword = tokens[0].text;

  if (keyword == "units") {
    if (tokens.size() != 2 || (tokens[1].text != "mils" && tokens[1].text != "mm")) {
      return "expected: units mils | units mm";
    }
    if (unitsSeen) {
      return "units given twice";
    }
    unitsSeen = true;
    board.units = tokens[1].text == "mils" ? kUnitsMils : kUnitsMm;
    return std::nullopt;
  }

  if (keyword == "component") {
    constexpr const char* kUsage =
        "expected: component <refdes> <x> <y> <rotation> [<width>x<height>] [selected]";
    const bool flagged = tokens.size() >= 6 && tokens.back().text == "selected";
    const std::size_t columns = tokens.size() - (flagged ? 1 : 0);
    if (columns != 5 && columns != 6) {
      return kUsage;
    }
    const std::optional<std::string> refDes = ParseDesignator(tokens[1].text);
    if (!refDes) {
      return "designator longer than 100 characters";
    }
    const std::optional<std::int32_t> x = ParseNumber(tokens[2].text);
    const std::optional<std::int32_t> y = ParseNumber(tokens[3].text);
    const std::optional<std::int32_t> rotation = ParseNumber(tokens[4].text);
    if (!x || !y || !rotation) {
      return std::string(kUsage) + ", whole numbers of 32 bits";
    }
    std::optional<BodySize> body;
    if (columns == 6) {
      body = ParseBody(tokens[5].text);
      if (!body) {
        return std::string(kUsage) + ", the body's width and height whole numbers above 0";
      }
    }
    Item item = Item::Component(*refDes, *x, *y, *rotation, flagged);
    item.body = body;
    board.items.push_back(std::move(item));
    board.sources.push_back({lineIndex,
                             {tokens[2].begin, tokens[2].text.size()},
                             {tokens[3].begin, tokens[3].text.size()},
                             {tokens[4].begin, tokens[4].text.size()},
                             FlagSpan(tokens, flagged),
                             TokenEnd(tokens[columns - 1])});
    return std::nullopt;
  }

  if (keyword == "item") {
    constexpr const char* kUsage = "expected: item <type> [selected], type other than 9";
    const bool flagged = tokens.size() == 3 && tokens[2].text == "selected";
    if (tokens.size() != 2 && !flagged) {
      return kUsage;
    }
    const std::optional<std::int32_t> type = ParseNumber(tokens[1].text);
    if (!type || *type == TDbxItem::kComponentType) {
      return kUsage;
    }
    board.items.push_back(Item::Other(*type, flagged));
    board.sources.push_back(
        {lineIndex, {}, {}, {}, FlagSpan(tokens, flagged), TokenEnd(tokens[1])});
    return std::nullopt;
  }

  if (keyword == "fail") {
    constexpr const char* kUsage =
        "expected: fail open|designinfo|close <status>, fail item <n> <status>, "
        "fail rotate|move <refdes> <status>";
    if (tokens.size() < 3) {
      return kUsage;
    }
    const std::string_view what = tokens[1].text;
    const std::optional<std::int32_t> status = ParseNumber(tokens.back().text);
    if (!status) {
      return kUsage;
    }
    Faults& faults = board.faults;
    if (tokens.size() == 3 && (what == "open" || what == "designinfo" || what == "close")) {
      (what == "open" ? faults.open : what == "close" ? faults.close : faults.designInfo) = status;
      return std::nullopt;
    }
    if (tokens.size() == 4 && what == "item") {
      const std::optional<std::int32_t> call = ParseNumber(tokens[2].text);
      if (!call || *call < 1) {
        return "expected: fail item <n> <status>, n from 1";
      }
      faults.item[*call] = *status;
      return std::nullopt;
    }
    if (tokens.size() == 4 && (what == "rotate" || what == "move")) {
      const std::optional<std::string> refDes = ParseDesignator(tokens[2].text);
      if (!refDes) {
        return "designator longer than 100 characters";
      }
      (what == "rotate" ? faults.rotate : faults.move)[*refDes] = *status;
      return std::nullopt;
    }
    return kUsage;
  }

  std::string reason = "unknown entry '";
  reason += keyword;
  reason += '\'';
  return reason;
}

// ---- Journal texts -------------------------------------------------------------------------

std::string Quote(const char* text) {
  if (text == nullptr) {
    return "null";
  }
  std::string quoted = "\"";
  for (const char* c = text; *c != '\0'; ++c) {
    switch (*c) {
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '"':
      case '\\':
        quoted += '\\';
        quoted += *c;
        break;
      default:
        quoted += *c;
    }
  }
  quoted += '"';
  return quoted;
}

std::string DesignatorText(const std::string& refDes) {
  return refDes.empty() ? std::string(kEmptyDesignator) : refDes;
}

}  // namespace

// ---- Items and the design ------------------------------------------------------------------

Item Item::Component(std::string refDes, std::int32_t x, std::int32_t y, std::int32_t rotation,
                     bool selected) {
  return Item{TDbxItem::kComponentType, std::move(refDes), x, y, rotation, selected, std::nullopt};
}

Item Item::Other(std::int32_t type, bool selected) {
  Item item;
  item.type = type;
  item.selected = selected;
  return item;
}

Design::Design(std::vector<Item> items, std::int32_t units, Faults faults)
    : items_(std::move(items)), units_(units), faults_(std::move(faults)) {}

void Design::Load(std::vector<Item> items, std::int32_t units, Faults faults) {
  items_ = std::move(items);
  byDesignator_.clear();
  indexed_ = false;
  units_ = units;
  faults_ = std::move(faults);
  open_ = false;
  iterationCalls_ = 0;
  cursor_ = 0;
}

bool Design::IsCurrent(const TDbxContext* context) const {
  return context != nullptr && open_ && context->Int32At(kMagicOffset) == kContextMagic &&
         context->Int32At(kSessionOffset) == session_;
}

std::int32_t Design::Open(TDbxContext* context) {
  if (faults_.open) {
    return *faults_.open;
  }
  if (context == nullptr) {
    return kBadInput;
  }
  // A new connection replaces one that was never closed.
  session_ = session_ == std::numeric_limits<std::int32_t>::max() ? 1 : session_ + 1;
  open_ = true;
  iterationCalls_ = 0;
  cursor_ = 0;
  *context = TDbxContext{};
  context->SetInt32At(kMagicOffset, kContextMagic);
  context->SetInt32At(kSessionOffset, session_);
  return kOk;
}

std::int32_t Design::Close(TDbxContext* context) {
  if (!IsCurrent(context)) {
    return kNoConnection;
  }
  if (faults_.close) {
    return *faults_.close;
  }
  open_ = false;
  *context = TDbxContext{};
  return kOk;
}

std::int32_t Design::GetDesignInfo(TDbxContext* context, TDesignInfo* info) const {
  if (!IsCurrent(context)) {
    return kNoConnection;
  }
  if (faults_.designInfo) {
    return *faults_.designInfo;
  }
  if (info == nullptr) {
    return kBadInput;
  }
  *info = TDesignInfo{};
  info->SetUnits(units_);
  return kOk;
}

std::int32_t Design::GetFirst(TDbxContext* context, TDbxItem* item) {
  if (!IsCurrent(context)) {
    return kNoConnection;
  }
  if (item == nullptr) {
    return kBadInput;
  }
  iterationCalls_ = 1;
  cursor_ = 0;
  if (const auto fault = faults_.item.find(1); fault != faults_.item.end()) {
    return fault->second;
  }
  return NextSelected(item);
}

std::int32_t Design::GetNext(TDbxContext* context, TDbxItem* item) {
  if (!IsCurrent(context)) {
    return kNoConnection;
  }
  if (item == nullptr) {
    return kBadInput;
  }
  if (iterationCalls_ == 0) {
    return kGetFirstNotCalled;
  }
  if (iterationCalls_ < std::numeric_limits<std::int32_t>::max()) {
    ++iterationCalls_;
  }
  if (const auto fault = faults_.item.find(iterationCalls_); fault != faults_.item.end()) {
    return fault->second;
  }
  return NextSelected(item);
}

std::int32_t Design::NextSelected(TDbxItem* item) {
  while (cursor_ < items_.size() && !items_[cursor_].selected) {
    ++cursor_;
  }
  if (cursor_ == items_.size()) {
    return kNoMoreItems;
  }
  const Item& found = items_[cursor_];
  *item = TDbxItem{};
  item->SetItemType(found.type);
  if (found.IsComponent()) {
    TDbxComponent component{};
    component.SetRefDes(found.refDes);
    const std::vector<std::size_t>& namesakes = Namesakes(component.RefDes());
    const auto ordinal = std::find(namesakes.begin(), namesakes.end(), cursor_) - namesakes.begin();
    component.SetInt32At(kOrdinalOffset, static_cast<std::int32_t>(ordinal + 1));
    component.SetRefDes(found.refDes);
    component.SetX(found.x);
    component.SetY(found.y);
    component.SetRotation(found.rotation);
    item->SetComponent(component);
  }
  ++cursor_;
  return kOk;
}

const Item* Design::Find(const TDbxComponent* component) const {
  if (component == nullptr) {
    return nullptr;
  }
  const std::int32_t ordinal = component->Int32At(kOrdinalOffset);
  const std::vector<std::size_t>& namesakes = Namesakes(component->RefDes());
  if (ordinal < 1 || static_cast<std::uint32_t>(ordinal) > namesakes.size()) {
    return nullptr;
  }
  return &items_[namesakes[static_cast<std::size_t>(ordinal) - 1]];
}

const std::vector<std::size_t>& Design::Namesakes(const std::string& refDes) const {
  if (!indexed_) {
    // Keyed as a record carries the designator, which may cut a long one short.
    TDbxComponent record{};
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (!items_[i].IsComponent()) continue;
      record.SetRefDes(items_[i].refDes);
      byDesignator_[record.RefDes()].push_back(i);
    }
    indexed_ = true;
  }
  static const std::vector<std::size_t> none;
  const auto found = byDesignator_.find(refDes);
  return found == byDesignator_.end() ? none : found->second;
}

Item* Design::FindMutable(const TDbxComponent* component) {
  return const_cast<Item*>(std::as_const(*this).Find(component));
}

std::int32_t Design::Rotate(TDbxContext* context, std::int32_t angle,
                            const std::int32_t* rotationPoint, const TDbxComponent* component) {
  if (!IsCurrent(context)) {
    return kNoConnection;
  }
  if (rotationPoint == nullptr || component == nullptr) {
    return kBadInput;
  }
  Item* const target = FindMutable(component);
  if (target == nullptr) {
    return kComponentNotFound;
  }
  if (const auto fault = faults_.rotate.find(target->refDes); fault != faults_.rotate.end()) {
    return fault->second;
  }
  // Turns about the component's own origin, whatever point is asked for.
  std::int64_t turned = (std::int64_t{target->rotation} + angle) % kFullTurn;
  if (turned < 0) {
    turned += kFullTurn;
  }
  target->rotation = static_cast<std::int32_t>(turned);
  return kOk;
}

std::int32_t Design::Move(TDbxContext* context, std::int32_t dx, std::int32_t dy,
                          const TDbxComponent* component) {
  if (!IsCurrent(context)) {
    return kNoConnection;
  }
  if (component == nullptr) {
    return kBadInput;
  }
  Item* const target = FindMutable(component);
  if (target == nullptr) {
    return kComponentNotFound;
  }
  if (const auto fault = faults_.move.find(target->refDes); fault != faults_.move.end()) {
    return fault->second;
  }
  const std::int64_t x = std::int64_t{target->x} + dx;
  const std::int64_t y = std::int64_t{target->y} + dy;
  if (!FitsInt32(x) || !FitsInt32(y)) {
    return kInvalidLocation;
  }
  target->x = static_cast<std::int32_t>(x);
  target->y = static_cast<std::int32_t>(y);
  return kOk;
}

// ---- Board file ----------------------------------------------------------------------------

std::optional<Board> ParseBoard(std::string_view text, ParseError& error) {
  Board board;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find('\n', start);
    board.lines.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) {
      break;
    }
    start = end + 1;
  }
  bool unitsSeen = false;
  for (std::size_t i = 0; i < board.lines.size(); ++i) {
    if (std::optional<std::string> reason = ParseLine(board.lines[i], i, board, unitsSeen)) {
      error = {i + 1, std::move(*reason)};
      return std::nullopt;
    }
  }
  return board;
}

std::string WriteBoard(const Board& board, const std::vector<Item>& items) {
  std::vector<std::string> lines = board.lines;
  for (std::size_t i = 0; i < board.items.size() && i < items.size(); ++i) {
    const Item& was = board.items[i];
    const Item& now = items[i];
    const Board::Source& source = board.sources[i];
    std::string& line = lines[source.line];
    // Right to left, so that the earlier spans keep their places: the flag stands last.
    if (was.selected && !now.selected) {
      line.erase(source.flagAt, source.selected.begin + source.selected.length - source.flagAt);
    } else if (!was.selected && now.selected) {
      line.insert(source.flagAt, " selected");
    }
    if (!was.IsComponent()) {
      continue;
    }
    const std::pair<const Board::Span&, std::pair<std::int32_t, std::int32_t>> numbers[] = {
        {source.rotation, {was.rotation, now.rotation}},
        {source.y, {was.y, now.y}},
        {source.x, {was.x, now.x}}};
    for (const auto& [span, values] : numbers) {
      if (values.first != values.second) {
        line.replace(span.begin, span.length, std::to_string(values.second));
      }
    }
  }
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) {
      text += '\n';
    }
    text += lines[i];
  }
  return text;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
#if defined(_WIN32)
  // Shared for deletion too: a writer's rename over the file must not fail because it is being
  // read (the C runtime's own opens do not share it).
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return std::nullopt;
  }
  std::string text;
  char buffer[16384];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0) {
    text.append(buffer, got);
  }
  CloseHandle(file);
  if (!ok) {
    return std::nullopt;
  }
  return text;
#else
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return std::nullopt;
  }
  std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (file.bad()) {
    return std::nullopt;
  }
  return text;
#endif
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view text) {
  std::filesystem::path temporary = path;
  temporary += ".tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
#if defined(_WIN32)
  // Windows will not replace a file that is open, however it is shared: a reader that does not
  // take the board's lock (a test, an editor) holds the replace up until it has read.
  bool renamed = false;
  for (int attempt = 0; attempt < 300 && !renamed; ++attempt) {
    if (attempt > 0) {
      Sleep(10);
    }
    renamed = MoveFileExW(temporary.c_str(), path.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    const DWORD error = renamed ? ERROR_SUCCESS : GetLastError();
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) {
      break;
    }
  }
#else
  const bool renamed = std::rename(temporary.c_str(), path.c_str()) == 0;
#endif
  if (!renamed) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
  }
  return renamed;
}

// ---- File-backed host ----------------------------------------------------------------------

std::string Environment(const char* name) {
#if defined(_WIN32)
  // The process environment itself, whichever C runtime set it.
  std::string value(256, '\0');
  for (;;) {
    const DWORD length =
        GetEnvironmentVariableA(name, value.data(), static_cast<DWORD>(value.size()));
    if (length == 0) {
      return {};
    }
    if (length < value.size()) {
      value.resize(length);
      return value;
    }
    value.resize(length);
  }
#else
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
#endif
}

BoardHost::BoardHost(std::filesystem::path libraryFolder)
    : libraryFolder_(std::move(libraryFolder)) {}

std::filesystem::path BoardHost::BoardPath() const {
  const std::string named = Environment("DBX32_BOARD");
  return named.empty() ? libraryFolder_ / "board.txt" : std::filesystem::path(named);
}

std::int32_t BoardHost::ReadBoard() {
  boardPath_ = BoardPath();
  board_ = Board{};
  design_.Load({}, kUnitsMils, {});

  std::optional<std::string> text;
  {
    // Taken for the read too: Windows cannot replace the file while it is open. Without it the
    // file may be half replaced: no read.
    const BoardFileLock lock(boardPath_);
    if (!lock.Held()) {
      return kUnableToOpenFile;
    }
    text = ReadWholeFile(boardPath_);
  }
  if (!text) {
    return kConnectionError;
  }
  ParseError error;
  std::optional<Board> board = ParseBoard(*text, error);
  if (!board) {
    std::string message = boardPath_.string();
    message += ':';
    message += std::to_string(error.line);
    message += ": ";
    message += error.reason;
    message += '\n';
    std::fputs(message.c_str(), stderr);
    return kBadServerData;
  }
  board_ = std::move(*board);
  design_.Load(board_.items, board_.units, board_.faults);
  return kOk;
}

namespace {
bool SameItems(const std::vector<Item>& a, const std::vector<Item>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Item& x, const Item& y) {
    return x.type == y.type && x.refDes == y.refDes;
  });
}

// What changed from was to done, carried over onto into.
void Merge(const Item& was, const Item& done, Item& into) {
  if (done.x != was.x) into.x = done.x;
  if (done.y != was.y) into.y = done.y;
  if (done.rotation != was.rotation) into.rotation = done.rotation;
  if (done.selected != was.selected) into.selected = done.selected;
}
}  // namespace

std::int32_t BoardHost::SaveBoard() const {
  if (design_.Items() == board_.items) {
    return kOk;  // nothing changed; the file may well be read-only
  }
  const BoardFileLock lock(boardPath_);
  if (!lock.Held()) {
    return kUnableToOpenFile;
  }
  // The board view may have written the file since the open. The connection's changes go onto
  // the file as it is now, field by field, when it still holds the same items; otherwise the
  // design as the connection left it is written.
  const Board* base = &board_;
  std::vector<Item> items = design_.Items();
  ParseError ignored;
  const std::optional<std::string> text = ReadWholeFile(boardPath_);
  const std::optional<Board> now = text ? ParseBoard(*text, ignored) : std::nullopt;
  if (now && SameItems(now->items, board_.items)) {
    base = &*now;
    items = now->items;
    for (std::size_t i = 0; i < items.size(); ++i) {
      Merge(board_.items[i], design_.Items()[i], items[i]);
    }
  }
  // A reader such as the board view sees the old or the new board, never a part of one.
  return WriteFileAtomically(boardPath_, WriteBoard(*base, items)) ? kOk : kUnableToOpenFile;
}

void BoardHost::Journal(std::initializer_list<std::string> words, std::int32_t status) const {
  const std::string path = Environment("DBX32_JOURNAL");
  if (path.empty()) {
    return;
  }
  std::ofstream journal(std::filesystem::path(path), std::ios::binary | std::ios::app);
  for (const std::string& word : words) {
    if (!word.empty()) {
      journal << word << ' ';
    }
  }
  journal << "-> " << status << '\n';
}

std::string BoardHost::ComponentName(const TDbxComponent* component) const {
  if (const Item* item = design_.Find(component)) {
    return DesignatorText(item->refDes);
  }
  return component != nullptr ? DesignatorText(component->RefDes()) : "null";
}

std::int32_t BoardHost::Open(std::int32_t dbType, std::int32_t timeout, const char* name,
                             TDbxContext* context) {
  std::int32_t status = name == nullptr ? kBadInput : ReadBoard();
  if (status == kOk) {
    status = design_.Open(context);
  }
  Journal({"TOpenDesign", std::to_string(dbType), std::to_string(timeout), Quote(name)}, status);
  return status;
}

std::int32_t BoardHost::Close(TDbxContext* context, const char* message) {
  std::int32_t status = design_.Close(context);
  if (status == kOk) {
    status = SaveBoard();
  }
  Journal({"TCloseDesign", Quote(message)}, status);
  return status;
}

std::int32_t BoardHost::GetDesignInfo(TDbxContext* context, TDesignInfo* info) {
  const std::int32_t status = design_.GetDesignInfo(context, info);
  Journal({"TGetDesignInfo"}, status);
  return status;
}

namespace {
// Designator of the item just read, when it is a component.
std::string ItemName(std::int32_t status, const TDbxItem* item) {
  if (status != kOk || item->ItemType() != TDbxItem::kComponentType) {
    return {};
  }
  TDbxComponent component;
  item->CopyComponentTo(component);
  return DesignatorText(component.RefDes());
}

std::string PointText(const std::int32_t* point) {
  if (point == nullptr) {
    return "null";
  }
  std::string text = std::to_string(point[0]);
  text += ' ';
  text += std::to_string(point[1]);
  return text;
}
}  // namespace

std::int32_t BoardHost::GetFirst(TDbxContext* context, TDbxItem* item) {
  const std::int32_t status = design_.GetFirst(context, item);
  Journal({"TGetFirstSelectedItem", ItemName(status, item)}, status);
  return status;
}

std::int32_t BoardHost::GetNext(TDbxContext* context, TDbxItem* item) {
  const std::int32_t status = design_.GetNext(context, item);
  Journal({"TGetNextSelectedItem", ItemName(status, item)}, status);
  return status;
}

std::int32_t BoardHost::Rotate(TDbxContext* context, std::int32_t angle,
                               std::int32_t* rotationPoint, TDbxComponent* component) {
  const std::string name = ComponentName(component);
  const std::int32_t status = design_.Rotate(context, angle, rotationPoint, component);
  Journal({"TRotateComponent", std::to_string(angle), PointText(rotationPoint), name}, status);
  return status;
}

std::int32_t BoardHost::Move(TDbxContext* context, std::int32_t dx, std::int32_t dy,
                             TDbxComponent* component) {
  const std::string name = ComponentName(component);
  const std::int32_t status = design_.Move(context, dx, dy, component);
  Journal({"TMoveComponent", std::to_string(dx), std::to_string(dy), name}, status);
  return status;
}

}  // namespace standin
