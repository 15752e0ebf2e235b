#include "platform/install/data_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool HoldsData(const std::string& Folder) {
  std::error_code ec;
  return fs::is_regular_file(fs::path(Folder) / DataMarkerFile, ec);
}

std::string Normal(const fs::path& Path) {
  std::error_code ec;
  fs::path p = fs::absolute(Path, ec);
  if (ec) p = Path;
  std::string s = p.lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

// $XDG_DATA_DIRS: colon-separated; relative entries are invalid there and
// skipped; unset or empty means the standard pair.
std::vector<std::string> XdgDataFolders(const char* Value) {
  const std::string list = Value && *Value ? Value : "/usr/local/share:/usr/share";
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    const std::string entry = list.substr(start, end - start);
    if (!entry.empty() && entry[0] == '/') out.push_back(Normal(fs::path(entry) / "voxarine"));
    start = end + 1;
  }
  return out;
}

}  // namespace

TDataSearch FindDataFolder(const std::string& ProgramFolder, const char* DataDirVar, const char* XdgDataDirs) {
  TDataSearch s;
  auto take = [&](const std::string& folder, bool portable) {
    s.Tried.push_back(folder);
    if (!HoldsData(folder)) return false;
    s.Folder = folder;
    s.Portable = portable;
    return true;
  };
  // An explicit choice is not second-guessed: a wrong one is reported rather
  // than quietly replaced by some other copy of the game.
  if (DataDirVar && *DataDirVar) {
    take(Normal(DataDirVar), false);
    return s;
  }
  if (take(Normal(ProgramFolder), true)) return s;
  if (take(Normal(fs::path(ProgramFolder) / ".." / "share" / "voxarine"), false)) return s;
  for (const std::string& folder : XdgDataFolders(XdgDataDirs)) {
    bool seen = false;
    for (const std::string& t : s.Tried) seen = seen || t == folder;
    if (!seen && take(folder, false)) return s;
  }
  return s;
}

TDataSearch FindDataFolder() {
  return FindDataFolder(ProgramFolder(), std::getenv("VOXARINE_DATA_DIR"), std::getenv("XDG_DATA_DIRS"));
}

std::string ProgramFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec && exe.has_parent_path()) return exe.parent_path().string();
  return fs::current_path(ec).string();
}

std::string DataNotFoundText(const TDataSearch& Search) {
  std::string text = "Voxarine cannot find its data (the folder holding " + std::string(DataMarkerFile) +
                     ").\n\nLooked in:\n";
  for (const std::string& folder : Search.Tried) text += "  " + folder + "\n";
  text += "\nReinstall the game, or set VOXARINE_DATA_DIR to the folder that holds its data.";
  return text;
}
