// The asset tool's jobs: each job writes one or a few files of the game
// folder, independently of the others, so they run on as many threads as the
// machine has. Every job draws its random numbers from the run's seed and its
// own name, so a file never depends on the order jobs run in.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ag {

struct Context {
  std::string Out;        // the game folder
  std::uint64_t Seed = 1;
  std::string Path(const std::string& rel) const { return Out + "/" + rel; }
};

struct Job {
  std::string Name;
  double Weight = 1;  // rough cost, so the heavy jobs start first
  std::function<void(const Context&)> Run;
};

void AddBoardJobs(std::vector<Job>& jobs);    // background, room, planes, dots, lights
void AddCubeJobs(std::vector<Job>& jobs);     // the five skins
void AddScreenJobs(std::vector<Job>& jobs);   // menu, loading, help, game over, launcher
void AddTutorialJobs(std::vector<Job>& jobs); // the nine tutorial pictures
void AddMenuJobs(std::vector<Job>& jobs);     // menu item pictures
void AddEffectJobs(std::vector<Job>& jobs);   // particles, banner, cursors
void AddFontJobs(std::vector<Job>& jobs);     // the two bitmap fonts
void AddIconJobs(std::vector<Job>& jobs);     // the window icon

// The desktop's icon theme sizes, 16 to 512 px: <folder>/NxN/apps/voxarine.png.
void WriteDesktopIcons(const std::string& folder);

}  // namespace ag
