#include "fuzz_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "effects/particles.h"
#include "frontend/labels.h"
#include "game/figure_file.h"
#include "game/game.h"
#include "game/level_file.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/record/record_device.h"
#include "platform/win32/paths.h"
#include "shell/options.h"
#include "shell/scene.h"

namespace {

std::string MakeFolder() {
  // tmpfs where there is one: every input is a file write.
  std::string base = "/dev/shm";
  std::error_code ec;
  if (!std::filesystem::is_directory(base, ec) || access(base.c_str(), W_OK) != 0)
    base = std::filesystem::temp_directory_path().string();
  std::string pattern = base + "/voxarine-fuzz-XXXXXX";
  if (!mkdtemp(pattern.data())) std::abort();
  std::filesystem::create_directories(pattern + "/data");
  std::filesystem::create_directories(pattern + "/Images");
  std::filesystem::create_directories(pattern + "/user");
  SetGameFolder(pattern);
  SetUserDataFolder(pattern + "/user");
  return pattern;
}

struct TFolderRemover {
  std::string Path;
  ~TFolderRemover() {
    std::error_code ec;
    if (!Path.empty()) std::filesystem::remove_all(Path, ec);
  }
};
TFolderRemover Remover;

}  // namespace

const std::string& FuzzFolder() {
  static const std::string folder = [] {
    Remover.Path = MakeFolder();
    return Remover.Path;
  }();
  return folder;
}

void WriteInput(const std::string& Name, const std::uint8_t* Data, std::size_t Size) {
  std::ofstream out(FuzzFolder() + "/" + Name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Size));
}

std::string ShippedDataFile(const std::string& Name) { return std::string(VOXARINE_SOURCE_DIR) + "/assets/data/" + Name; }

void FuzzScene() {
  static bool done = false;
  if (done) return;
  done = true;
  FuzzFolder();
  D3D8SelectBackend(TD3D8Backend::Recording);
  RecordConfig() = {};
  if (!InitD3D(nullptr, false, 800, 600, 32, 0, true, true) || FAILED(InitGeometry())) std::abort();
  SetupRenderStates();
  SetupLights();
  Options = std::make_unique<TOptions>();
  Options->SetDefaults();
}

void FuzzGame() {
  static bool done = false;
  if (done) return;
  done = true;
  FuzzScene();
  Game = std::make_unique<TGame>(D3DDevice);
  ReadLevelTable(ShippedDataFile("Levels.dat"), Game->Levels, Game->LevelCount);
  ReadFigureTable(ShippedDataFile("BonusFigures.dat"), Game->BonusFigures, Game->BonusFigureCount);
}

void ClearRecording() {
  if (TRecordDevice* rec = AsRecordDevice(D3DDevice)) rec->ClearLog();
  // Sparks and labels of one input must not pile up over the next ones.
  ClearAllParticles();
  ClearScoreLabels();
}
