// The board file as the board view holds it: the last text it read, the last board that parsed
// (with its scene), and the error of a read that did not parse. The view never writes over a
// file that is not what it last read: a write first reads the file again and refuses when it
// differs, so the caller reloads first. It holds the board's lock from that read to the replace,
// as the stand-in host does for its own writes, so that no write of the host's falls between. The
// comparison is by content, not by time stamp, so it cannot be fooled by a file system's coarse
// clock.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Board.h"
#include "BoardScene.h"
#include "FileLock.h"
#include "Selection.h"

namespace standin::boardview {

class BoardDocument {
 public:
  explicit BoardDocument(std::filesystem::path path) : path_(std::move(path)) {}

  enum class ReadResult {
    Unchanged,  // the file is as last read
    Loaded,     // a new board parsed and replaced the last one
    Failed,     // the file cannot be read or does not parse; the last good board stays
    Busy,       // another program held the board's lock past the patience: nothing read
  };
  // Reads the file, and parses it when it differs from the text last read.
  ReadResult Refresh(std::chrono::milliseconds patience = BoardFileLock::kPatience);

  enum class WriteResult {
    Written,     // the file now holds the selection
    Unchanged,   // the selection was already the board's
    Stale,       // the file differs from what was last read: nothing written, refresh first
    Refused,     // no board, or the file as last read does not parse: nothing written
    Unreadable,  // the last read found no file, or could not read it: nothing written
    Failed,      // the file could not be written
  };
  // Writes the selection into the file at once and atomically, changing only the selected flags.
  WriteResult WriteSelection(const Selection& selection);

  const std::filesystem::path& Path() const { return path_; }
  // The board last read that parsed, if any.
  const Board* Current() const { return board_ ? &*board_ : nullptr; }
  const std::vector<Shape>& Scene() const { return scene_; }
  Selection CurrentSelection() const;
  // "<file>:<line>: <reason>" or "<file>: cannot be read" when the last read failed.
  const std::optional<std::string>& Error() const { return error_; }
  // Boards loaded from the file so far (the view's own writes do not count).
  std::size_t Loads() const { return loads_; }

 private:
  void Adopt(Board board);

  std::filesystem::path path_;
  std::optional<std::string> lastText_;  // none: not read yet, or unreadable
  std::optional<Board> board_;
  std::vector<Shape> scene_;
  std::optional<std::string> error_;
  std::size_t loads_ = 0;
};

}  // namespace standin::boardview
