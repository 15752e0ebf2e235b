// The single-instance lock over flock(2).
#include "platform/win32/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {
int LockFd = -1;
}  // namespace

TInstanceLock TakeInstanceLock(const std::string& Folder, std::string* Problem) {
  ReleaseInstanceLock();
  const std::string path = Folder + "/voxarine.lock";
  // Close-on-exec: a browser opened by View Help must not hold the lock on.
  int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    std::error_code ec;
    std::filesystem::create_directories(Folder, ec);
    fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  }
  // A lock file the player cannot write (a read-only folder) still locks.
  if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (Problem) *Problem = "\"" + path + "\": " + std::strerror(errno);
    return TInstanceLock::Unavailable;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    close(fd);
    if (err == EWOULDBLOCK) return TInstanceLock::HeldByAnother;
    if (Problem) *Problem = "\"" + path + "\": " + std::strerror(err);
    return TInstanceLock::Unavailable;
  }
  LockFd = fd;
  return TInstanceLock::Taken;
}

void ReleaseInstanceLock() {
  if (LockFd < 0) return;
  close(LockFd);
  LockFd = -1;
}
