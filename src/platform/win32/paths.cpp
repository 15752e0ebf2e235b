// Path resolution for Windows-style names on a case-sensitive file system,
// and the atomic writer every saved file goes through.
#include "platform/win32/paths.h"

#include <fcntl.h>
#include <pwd.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/win32/home_folder.h"
#include "platform/win32/io_error.h"

namespace fs = std::filesystem;

namespace {

std::string GameFolder_;
std::string UserDataFolder_;
bool InstalledLayout_ = false;

std::string ExecutableFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec && exe.has_parent_path()) return exe.parent_path().string();
  return fs::current_path(ec).string();
}

std::string DefaultUserDataFolder() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return std::string(xdg) + "/voxarine";
  if (const std::string home = HomeFolder(); !home.empty()) return home + "/.local/share/voxarine";
  return "/tmp/voxarine";
}

// "Images\Skin1\tex0.tga" -> {"Images", "Skin1", "tex0.tga"}; empty and "."
// parts are dropped.
std::vector<std::string> SplitWindowsPath(const std::string& Path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : Path) {
    if (c == '\\' || c == '/') {
      if (!part.empty() && part != ".") parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty() && part != ".") parts.push_back(part);
  return parts;
}

bool IsAbsolute(const std::string& Path) { return !Path.empty() && (Path[0] == '/' || Path[0] == '\\'); }

// The entry of Folder whose name matches Name: the exact name first, then any
// letter case. Empty when there is none.
std::string MatchEntry(const fs::path& Folder, const std::string& Name) {
  std::error_code ec;
  if (fs::exists(Folder / Name, ec)) return Name;
  for (fs::directory_iterator it(Folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (strcasecmp(entry.c_str(), Name.c_str()) == 0) return entry;
  }
  return {};
}

// Walks Parts from Base, matching each against what exists in any letter
// case. Parts past the first one that does not exist are kept as written.
// Found tells whether the whole path exists.
fs::path ResolveUnder(const fs::path& Base, const std::vector<std::string>& Parts, bool& Found) {
  fs::path path = Base;
  Found = true;
  for (const std::string& part : Parts) {
    if (Found) {
      const std::string match = MatchEntry(path, part);
      if (match.empty()) {
        Found = false;
        path /= part;
      } else {
        path /= match;
      }
    } else {
      path /= part;
    }
  }
  return path;
}

// An installed game never writes below its prefix, even when it could (root
// can write anywhere), so the layout decides before any permission does.
bool WritesBesideGame() { return !InstalledLayout_ && access(GameFolder().c_str(), W_OK) == 0; }

}  // namespace

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/') return pw->pw_dir;
  return {};
}

void SetGameFolder(const std::string& Folder) { GameFolder_ = Folder; }

const std::string& GameFolder() {
  if (GameFolder_.empty()) GameFolder_ = ExecutableFolder();
  return GameFolder_;
}

void SetUserDataFolder(const std::string& Folder) { UserDataFolder_ = Folder; }

const std::string& UserDataFolder() {
  if (UserDataFolder_.empty()) UserDataFolder_ = DefaultUserDataFolder();
  return UserDataFolder_;
}

void SetInstalledLayout(bool Installed) { InstalledLayout_ = Installed; }

const std::string& WriteFolder() { return WritesBesideGame() ? GameFolder() : UserDataFolder(); }

std::string ResolvePath(const std::string& WindowsPath) {
  const std::vector<std::string> parts = SplitWindowsPath(WindowsPath);
  bool found = false;
  if (IsAbsolute(WindowsPath)) return ResolveUnder("/", parts, found).string();

  // Files the game wrote to the per-user folder shadow the game folder's.
  if (!WritesBesideGame()) {
    const fs::path user = ResolveUnder(UserDataFolder(), parts, found);
    if (found) return user.string();
  }
  return ResolveUnder(GameFolder(), parts, found).string();
}

std::string WritablePath(const std::string& WindowsPath) {
  const std::vector<std::string> parts = SplitWindowsPath(WindowsPath);
  bool found = false;
  fs::path path;
  if (IsAbsolute(WindowsPath))
    path = ResolveUnder("/", parts, found);
  else
    path = ResolveUnder(WriteFolder(), parts, found);
  std::error_code ec;
  if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
  if (ec) throw EInOutError(path.string(), "cannot create the folder: " + ec.message());
  return path.string();
}

void AtomicWriteFile(const std::string& Path, const std::string& Bytes) {
  const fs::path target(Path);
  const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
  const std::string prefix = "." + target.filename().string() + ".";
  // A write killed between creating its temporary file and the rename leaves
  // that file behind; the next write of the same file clears it away, so that
  // they never pile up.
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0) {
      std::error_code ignored;
      fs::remove(it->path(), ignored);
    }
  }
  std::string temp = folder + "/" + prefix + "XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) throw EInOutError(Path, std::string("cannot create a temporary file: ") + std::strerror(errno));

  auto fail = [&](const char* what) {
    const int err = errno;
    close(fd);
    unlink(temp.c_str());
    throw EInOutError(Path, std::string(what) + std::strerror(err));
  };
  std::size_t done = 0;
  while (done < Bytes.size()) {
    const ssize_t n = write(fd, Bytes.data() + done, Bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail("cannot write: ");
    }
    done += static_cast<std::size_t>(n);
  }
  // mkstemp creates 0600; saved files are ordinary user files.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  if (fsync(fd) != 0) fail("cannot flush: ");
  if (close(fd) != 0) {
    const int err = errno;
    unlink(temp.c_str());
    throw EInOutError(Path, std::string("cannot close: ") + std::strerror(err));
  }
  if (rename(temp.c_str(), Path.c_str()) != 0) {
    const int err = errno;
    unlink(temp.c_str());
    throw EInOutError(Path, std::string("cannot replace the file: ") + std::strerror(err));
  }
}
