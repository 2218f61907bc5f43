#include "BoardDocument.h"

#include <utility>

#include "FileLock.h"

namespace standin::boardview {

BoardDocument::ReadResult BoardDocument::Refresh(std::chrono::milliseconds patience) {
  std::optional<std::string> text;
  {
    // Taken for the read too: Windows cannot replace the file while it is open. Without it the
    // file may be half replaced: the last board stays until the next try.
    const BoardFileLock lock(path_, patience);
    if (!lock.Held()) {
      return ReadResult::Busy;
    }
    text = ReadWholeFile(path_);
  }
  if (!text) {
    const bool wasReadable = lastText_.has_value() || !error_;
    lastText_.reset();
    error_ = path_.string() + ": cannot be read";
    return wasReadable ? ReadResult::Failed : ReadResult::Unchanged;
  }
  if (lastText_ == text) {
    return ReadResult::Unchanged;
  }
  lastText_ = std::move(text);
  ParseError parseError;
  std::optional<Board> board = ParseBoard(*lastText_, parseError);
  if (!board) {
    error_ = path_.string() + ":" + std::to_string(parseError.line) + ": " + parseError.reason;
    return ReadResult::Failed;
  }
  error_.reset();
  Adopt(std::move(*board));
  ++loads_;
  return ReadResult::Loaded;
}

void BoardDocument::Adopt(Board board) {
  board_ = std::move(board);
  scene_ = BuildScene(board_->items);
}

Selection BoardDocument::CurrentSelection() const {
  return board_ ? SelectionOf(board_->items) : Selection{};
}

BoardDocument::WriteResult BoardDocument::WriteSelection(const Selection& selection) {
  if (board_ && !lastText_) {
    return WriteResult::Unreadable;
  }
  if (!board_ || error_ || selection.size() != board_->items.size()) {
    return WriteResult::Refused;
  }
  const BoardFileLock lock(path_);
  if (!lock.Held()) {
    return WriteResult::Failed;
  }
  if (ReadWholeFile(path_) != lastText_) {
    return WriteResult::Stale;
  }
  if (selection == CurrentSelection()) {
    return WriteResult::Unchanged;
  }
  std::vector<Item> items = board_->items;
  for (std::size_t i = 0; i < items.size(); ++i) {
    items[i].selected = selection[i];
  }
  std::string text = WriteBoard(*board_, items);
  if (!WriteFileAtomically(path_, text)) {
    return WriteResult::Failed;
  }
  // The flags have moved the line's other bytes: the spans of the next write come from the text
  // as written.
  ParseError parseError;
  std::optional<Board> written = ParseBoard(text, parseError);
  lastText_ = std::move(text);
  if (!written) {
    error_ = path_.string() + ":" + std::to_string(parseError.line) + ": " + parseError.reason;
    return WriteResult::Failed;
  }
  Adopt(std::move(*written));
  return WriteResult::Written;
}

}  // namespace standin::boardview
