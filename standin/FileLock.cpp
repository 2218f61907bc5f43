#include "FileLock.h"

#include <thread>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace standin {

namespace {
using namespace std::chrono_literals;

// Polled rather than blocked on, so that a writer that never lets go costs a failed write, not a
// hung program.
template <typename TryLock>
bool TryUntil(std::chrono::milliseconds patience, TryLock tryLock) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    if (tryLock()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(2ms);
  }
}
}  // namespace

std::filesystem::path BoardFileLock::LockPathOf(const std::filesystem::path& board) {
  std::filesystem::path lock = board;
  lock += ".lock";
  return lock;
}

#if defined(_WIN32)

BoardFileLock::BoardFileLock(const std::filesystem::path& board,
                             std::chrono::milliseconds patience) {
  const HANDLE file = CreateFileW(LockPathOf(board).c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  handle_ = file;
  held_ = TryUntil(patience, [file] {
    OVERLAPPED whole{};
    return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole) !=
           0;
  });
}

BoardFileLock::~BoardFileLock() {
  if (handle_ == nullptr) return;
  if (held_) {
    OVERLAPPED whole{};
    UnlockFileEx(handle_, 0, 1, 0, &whole);
  }
  CloseHandle(handle_);
}

#else

BoardFileLock::BoardFileLock(const std::filesystem::path& board,
                             std::chrono::milliseconds patience) {
  descriptor_ = open(LockPathOf(board).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (descriptor_ < 0) return;
  const int descriptor = descriptor_;
  held_ = TryUntil(patience, [descriptor] { return flock(descriptor, LOCK_EX | LOCK_NB) == 0; });
}

BoardFileLock::~BoardFileLock() {
  if (descriptor_ >= 0) close(descriptor_);  // lets go of the lock too
}

#endif

}  // namespace standin
