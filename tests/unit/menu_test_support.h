// Shared set-up of the front-end tests: a recording device, a throw-away game
// folder (and user data folder) and tiny picture files to put in it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/record/record_device.h"
#include "platform/win32/paths.h"

namespace menutest {

inline IDirect3DDevice8* MakeRecordingDevice() {
  D3D8SelectBackend(TD3D8Backend::Recording);
  IDirect3D8* d3d = Direct3DCreate8(D3D_SDK_VERSION);
  if (!d3d) return nullptr;
  D3DPRESENT_PARAMETERS pp{};
  pp.Windowed = TRUE;
  pp.BackBufferWidth = 800;
  pp.BackBufferHeight = 600;
  pp.EnableAutoDepthStencil = TRUE;
  pp.AutoDepthStencilFormat = D3DFMT_D16;
  IDirect3DDevice8* device = nullptr;
  d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &pp, &device);
  d3d->Release();
  if (!device) return nullptr;
  // A stream to draw from: sprites use quad B (vertices 6..11).
  IDirect3DVertexBuffer8* vb = nullptr;
  device->CreateVertexBuffer(64 * 36, 0, (D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1), D3DPOOL_MANAGED, &vb);
  device->SetStreamSource(0, vb, 36);
  device->SetVertexShader((D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1));
  SafeRelease(vb);
  device->BeginScene();  // draws count only inside a scene
  return device;
}

inline void WriteBytes(const std::filesystem::path& Path, const std::string& Bytes) {
  std::filesystem::create_directories(Path.parent_path());
  std::ofstream out(Path, std::ios::binary | std::ios::trunc);
  out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& Path) {
  std::ifstream in(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A 2 x 2 uncompressed 32-bit TGA of one colour.
inline void WriteTga(const std::filesystem::path& Path, std::uint8_t Red = 255) {
  std::string b(18, '\0');
  b[2] = 2;   // uncompressed true colour
  b[12] = 2;  // width
  b[14] = 2;  // height
  b[16] = 32;
  b[17] = 0x28;  // 8 alpha bits, top-left origin
  for (int i = 0; i < 4; ++i) b += std::string{'\0', '\0', static_cast<char>(Red), static_cast<char>(0xFF)};
  WriteBytes(Path, b);
}

// A fresh game folder and user data folder per test, removed afterwards.
class TTempGameFolder {
 public:
  TTempGameFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Root = std::filesystem::temp_directory_path() /
           ("voxarine-fe-" + std::string(info ? info->name() : "x") + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(Root);
    std::filesystem::create_directories(Root / "game" / "data");
    std::filesystem::create_directories(Root / "user");
    SetGameFolder((Root / "game").string());
    SetUserDataFolder((Root / "user").string());
  }
  ~TTempGameFolder() {
    std::error_code ec;
    std::filesystem::remove_all(Root, ec);
  }
  std::filesystem::path Game() const { return Root / "game"; }

  std::filesystem::path Root;
};

}  // namespace menutest
