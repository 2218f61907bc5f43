// The lock that every writer of a board file holds across its read, compare and replace: the
// stand-in host at the end of a connection, the board view when it writes a selection, and the
// tests that write the file under a running view. Without it a write can land between another
// writer's check and its replace, and is lost. The lock is on a file beside the board
// ("board.txt.lock"), which stays: the board itself is replaced on every write, so a lock on it
// would guard a file that is about to go.
#pragma once

#include <chrono>
#include <filesystem>

namespace standin {

class BoardFileLock {
 public:
  static constexpr std::chrono::milliseconds kPatience{10000};

  // Waits up to patience for the lock; Held() says whether it came.
  explicit BoardFileLock(const std::filesystem::path& board,
                         std::chrono::milliseconds patience = kPatience);
  BoardFileLock(const BoardFileLock&) = delete;
  BoardFileLock& operator=(const BoardFileLock&) = delete;
  ~BoardFileLock();

  bool Held() const { return held_; }
  static std::filesystem::path LockPathOf(const std::filesystem::path& board);

 private:
#if defined(_WIN32)
  void* handle_ = nullptr;  // HANDLE, kept out of this header's includes
#else
  int descriptor_ = -1;
#endif
  bool held_ = false;
};

}  // namespace standin
