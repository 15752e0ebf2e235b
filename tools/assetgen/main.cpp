// voxarine-assetgen: writes every binary file of the game folder (pictures,
// fonts, sounds, music) from one seed. The build runs it whenever the tool
// changes; the same seed always gives the same files.
//
//   voxarine-assetgen --out <game folder> [--seed N] [--only TEXT] [--skip TEXT] [--threads N]
//   voxarine-assetgen --icons <folder>   (the desktop icons, one per size)
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "assetgen.h"

#if __has_include("audio_gen.h")
#include "audio_gen.h"
#define VOXARINE_HAVE_AUDIO_GEN 1
#endif

namespace {

void Usage() {
  std::puts(
      "usage: voxarine-assetgen --out DIR [--seed N] [--only TEXT] [--skip TEXT] [--threads N]\n"
      "  --out DIR     game folder to write Images/, Sounds/, Music/ and data/ fonts into\n"
      "  --seed N      seed of every random choice (default 1)\n"
      "  --only TEXT   run only the jobs whose name contains TEXT (for working on one picture)\n"
      "  --skip TEXT   leave out the jobs whose name contains TEXT\n"
      "  --threads N   worker threads (default: all cores)\n"
      "usage: voxarine-assetgen --icons DIR\n"
      "  --icons DIR   write the desktop icons DIR/NxN/apps/voxarine.png (16 to 512 px)");
}

}  // namespace

int main(int argc, char** argv) {
  ag::Context ctx;
  std::string only, skip, icons;
  unsigned threads = std::max(1u, std::thread::hardware_concurrency());
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "voxarine-assetgen: %s needs a value\n", a.c_str());
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--out") ctx.Out = value();
    else if (a == "--seed") ctx.Seed = std::strtoull(value().c_str(), nullptr, 10);
    else if (a == "--only") only = value();
    else if (a == "--skip") skip = value();
    else if (a == "--icons") icons = value();
    else if (a == "--threads") threads = std::max(1, std::atoi(value().c_str()));
    else if (a == "--help" || a == "-h") { Usage(); return 0; }
    else {
      std::fprintf(stderr, "voxarine-assetgen: unknown argument %s\n", a.c_str());
      Usage();
      return 2;
    }
  }
  if (!icons.empty()) {
    try {
      ag::WriteDesktopIcons(icons);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "voxarine-assetgen: icons failed: %s\n", e.what());
      return 1;
    }
    return 0;
  }
  if (ctx.Out.empty()) {
    Usage();
    return 2;
  }

  std::vector<ag::Job> jobs;
#ifdef VOXARINE_HAVE_AUDIO_GEN
  jobs.push_back({"audio", 40, [](const ag::Context& c) {
                    GenerateAudio(c.Out, static_cast<unsigned>(c.Seed));
                  }});
#endif
  ag::AddFontJobs(jobs);
  ag::AddBoardJobs(jobs);
  ag::AddCubeJobs(jobs);
  ag::AddScreenJobs(jobs);
  ag::AddTutorialJobs(jobs);
  ag::AddMenuJobs(jobs);
  ag::AddEffectJobs(jobs);
  ag::AddIconJobs(jobs);
  if (!only.empty())
    std::erase_if(jobs, [&](const ag::Job& j) { return j.Name.find(only) == std::string::npos; });
  if (!skip.empty())
    std::erase_if(jobs, [&](const ag::Job& j) { return j.Name.find(skip) != std::string::npos; });
  // Heaviest first, so the last thread to finish is not stuck with a big one.
  std::stable_sort(jobs.begin(), jobs.end(),
                   [](const ag::Job& a, const ag::Job& b) { return a.Weight > b.Weight; });

  auto start = std::chrono::steady_clock::now();
  std::atomic<size_t> next{0};
  std::atomic<int> failures{0};
  std::mutex log;
  auto worker = [&]() {
    for (size_t i = next++; i < jobs.size(); i = next++) {
      try {
        jobs[i].Run(ctx);
      } catch (const std::exception& e) {
        std::lock_guard<std::mutex> lock(log);
        std::fprintf(stderr, "voxarine-assetgen: %s failed: %s\n", jobs[i].Name.c_str(), e.what());
        ++failures;
      }
    }
  };
  std::vector<std::thread> pool;
  for (unsigned t = 1; t < threads; ++t) pool.emplace_back(worker);
  worker();
  for (auto& t : pool) t.join();

  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("voxarine-assetgen: %zu jobs in %.1f s on %u threads%s\n", jobs.size(), secs, threads,
              failures ? ", with failures" : "");
  return failures ? 1 : 0;
}
