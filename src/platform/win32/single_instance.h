// One running game per user: a lock on a file in the folder the game writes
// to. The kernel drops the lock when the process ends, however it ends, so a
// crash never blocks the next start.
#pragma once

#include <string>

enum class TInstanceLock { Taken, HeldByAnother, Unavailable };

// Takes the lock on "<Folder>/voxarine.lock" (creating the folder and the
// file when needed) and holds it until the process ends. A second start finds
// it HeldByAnother and writes nothing: an existing lock file is only opened.
// Unavailable: no lock could be had (a folder that cannot be written and has
// no lock file yet); Problem then says why.
TInstanceLock TakeInstanceLock(const std::string& Folder, std::string* Problem = nullptr);

// Lets go of the lock taken here (tests; the program never does).
void ReleaseInstanceLock();
