// Where the game's files are. Names are written Windows-style in the game
// ("Images\Skin1\tex0.tga", "images\effect1.tga", "data/Levels.dat"): any
// separator, any letter case. They resolve against the game folder (the
// executable's folder, made the working directory at start).
//
// Writable files (debug.txt, data/Save1.dat, data/Hiscores.dat, tutorial
// bitmaps) live in the game folder when it is a writable portable folder,
// otherwise in the per-user data folder ($XDG_DATA_HOME/voxarine), which is
// then read first. An installed game always uses the per-user folder.
#pragma once

#include <string>

// The real path of a file to read. When no file matches, the path it would
// have (so that opening it fails with a clear "not found" naming it).
std::string ResolvePath(const std::string& WindowsPath);

// The real path to write a writable file to; creates its folder if needed.
std::string WritablePath(const std::string& WindowsPath);

// Writes Bytes to Path atomically: a temporary file in the same folder,
// flushed, then renamed over the old one. Raises EInOutError on failure.
void AtomicWriteFile(const std::string& Path, const std::string& Bytes);

// The game folder (defaults to the executable's folder); tests point it elsewhere.
void SetGameFolder(const std::string& Folder);
const std::string& GameFolder();
// The per-user data folder; tests point it at a temporary folder.
void SetUserDataFolder(const std::string& Folder);
const std::string& UserDataFolder();
// Installed (data below a prefix, not beside the program): every write goes
// to the per-user folder, whatever the game folder's permissions.
void SetInstalledLayout(bool Installed);
// Where writable files go: the game folder or the per-user folder.
const std::string& WriteFolder();
