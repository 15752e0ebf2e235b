// The one-game-per-user lock: a second taker is told the game runs, the
// lock file of an earlier run is reused untouched, and a process that dies
// holding the lock does not block the next start.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include "foundation_temp.h"
#include "platform/win32/single_instance.h"

namespace {

// Another process's attempt: its result as an exit status (dying holds nothing).
int TakeInAChild(const std::string& Folder, bool DieHolding) {
  const pid_t pid = fork();
  if (pid == 0) {
    const TInstanceLock r = TakeInstanceLock(Folder);
    if (DieHolding && r == TInstanceLock::Taken) _exit(10);  // no release: the kernel's job
    _exit(static_cast<int>(r));
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SingleInstance, ASecondTakerFindsTheGameRunningUntilItEnds) {
  TTempFolder folder;
  const std::string data = folder / "data/voxarine";  // not there yet: made
  ASSERT_EQ(TakeInstanceLock(data), TInstanceLock::Taken);
  const std::string lock = data + "/voxarine.lock";
  EXPECT_TRUE(std::filesystem::exists(lock));
  EXPECT_EQ(TakeInAChild(data, false), static_cast<int>(TInstanceLock::HeldByAnother));
  ReleaseInstanceLock();

  // A crash while holding it leaves the file, not the lock.
  EXPECT_EQ(TakeInAChild(data, true), 10);
  EXPECT_EQ(TakeInstanceLock(data), TInstanceLock::Taken);
  ReleaseInstanceLock();
}

TEST(SingleInstance, AnExistingLockFileIsOnlyOpened) {
  TTempFolder folder;
  WriteText(folder / "voxarine.lock", "left by an earlier run\n");
  const auto before = std::filesystem::last_write_time(folder / "voxarine.lock");
  ASSERT_EQ(TakeInstanceLock(folder.Path), TInstanceLock::Taken);
  EXPECT_EQ(ReadText(folder / "voxarine.lock"), "left by an earlier run\n");
  EXPECT_EQ(std::filesystem::last_write_time(folder / "voxarine.lock"), before);
  // Held against any other open of the file, as another copy of the game would.
  const int fd = open((folder / "voxarine.lock").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  EXPECT_NE(flock(fd, LOCK_EX | LOCK_NB), 0);
  ReleaseInstanceLock();
  EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
  close(fd);
}

TEST(SingleInstance, NoFolderToLockInIsReported) {
  TTempFolder folder;
  WriteText(folder / "file", "a file, not a folder\n");
  std::string problem;
  EXPECT_EQ(TakeInstanceLock(folder / "file/voxarine", &problem), TInstanceLock::Unavailable);
  EXPECT_NE(problem.find("voxarine.lock"), std::string::npos) << problem;
}

}  // namespace
