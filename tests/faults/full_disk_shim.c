// LD_PRELOAD shim for the full-disk trials: every write, flush and rename of
// a file below $VOXARINE_FULL_DIR fails with ENOSPC, as on a full
// filesystem; everything else goes through. It also copies each message box
// (caption and text) to $VOXARINE_BOX_LOG before showing it, so that a test
// can read what the player was told.
#define _GNU_SOURCE
#include <SDL.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int below_full_dir(const char* path) {
  const char* dir = getenv("VOXARINE_FULL_DIR");
  if (!dir || !*dir || !path) return 0;
  char absolute[PATH_MAX];
  if (path[0] != '/') {
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return 0;
    snprintf(absolute, sizeof absolute, "%s/%s", cwd, path);
    path = absolute;
  }
  const size_t n = strlen(dir);
  return strncmp(path, dir, n) == 0 && (path[n] == '/' || path[n] == '\0');
}

static int fd_below_full_dir(int fd) {
  char link[64], target[PATH_MAX];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = readlink(link, target, sizeof target - 1);
  if (n <= 0) return 0;
  target[n] = '\0';
  return below_full_dir(target);
}

#define NEXT(type, name) ((type)dlsym(RTLD_NEXT, name))

ssize_t write(int fd, const void* buf, size_t count) {
  if (fd > 2 && fd_below_full_dir(fd)) {
    errno = ENOSPC;
    return -1;
  }
  return NEXT(ssize_t (*)(int, const void*, size_t), "write")(fd, buf, count);
}

int fsync(int fd) {
  if (fd_below_full_dir(fd)) {
    errno = ENOSPC;
    return -1;
  }
  return NEXT(int (*)(int), "fsync")(fd);
}

int rename(const char* from, const char* to) {
  if (below_full_dir(to)) {
    errno = ENOSPC;
    return -1;
  }
  return NEXT(int (*)(const char*, const char*), "rename")(from, to);
}

int SDL_ShowMessageBox(const SDL_MessageBoxData* data, int* button) {
  const char* log = getenv("VOXARINE_BOX_LOG");
  if (log && data) {
    FILE* f = fopen(log, "a");
    if (f) {
      fprintf(f, "%s: %s\n", data->title ? data->title : "", data->message ? data->message : "");
      fclose(f);
    }
  }
  return NEXT(int (*)(const SDL_MessageBoxData*, int*), "SDL_ShowMessageBox")(data, button);
}
