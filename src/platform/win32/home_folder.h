// The user's home folder, for the per-user folders' defaults.
#pragma once

#include <string>

// $HOME, else the account's home from the password database; empty if neither.
std::string HomeFolder();
