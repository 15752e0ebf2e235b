// Finding the game's read-only data (pictures, sounds, music, data files),
// wherever the game was unpacked or installed. Searched in this order:
//   1. $VOXARINE_DATA_DIR, when set (and then only there);
//   2. the program's own folder, when it holds data/Levels.dat (the build
//      tree's build/game/, a portable unpacked folder);
//   3. <program folder>/../share/voxarine (an installed, relocatable prefix);
//   4. each folder of $XDG_DATA_DIRS (default /usr/local/share:/usr/share)
//      followed by /voxarine.
#pragma once

#include <string>
#include <vector>

struct TDataSearch {
  std::string Folder;              // the data folder; empty when none was found
  std::vector<std::string> Tried;  // every folder looked at, in order
  bool Portable = false;           // found beside the program: it may write there
};

// The file whose presence marks a data folder.
inline constexpr const char* DataMarkerFile = "data/Levels.dat";

// DataDirVar and XdgDataDirs are the environment's values (null when unset).
TDataSearch FindDataFolder(const std::string& ProgramFolder, const char* DataDirVar, const char* XdgDataDirs);
// The same with the running program's folder and the real environment.
TDataSearch FindDataFolder();

// The folder of the running executable (its current directory if unknown).
std::string ProgramFolder();

// The message shown when no data folder was found: every folder looked at.
std::string DataNotFoundText(const TDataSearch& Search);
