// One picture format of the texture loader: the input becomes a picture
// file that is loaded as a texture, the way every sprite loads its picture.
#pragma once

#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "shell/scene.h"
#include "shell/textures.h"

inline int LoadPictureInput(const char* Name, const std::uint8_t* Data, std::size_t Size) {
  FuzzScene();
  WriteInput(Name, Data, Size);
  IDirect3DTexture8* texture = nullptr;
  LoadTexture(D3DDevice, Name, texture);
  SafeRelease(texture);
  ClearRecording();
  return 0;
}
