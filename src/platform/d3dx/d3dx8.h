// The one D3DX call the game makes: a texture from an image file.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/d3d8/d3d8.h"

constexpr HRESULT D3DXERR_INVALIDDATA = MakeD3DError(0x88760B59u);

enum D3DRESOURCETYPE : DWORD { D3DRTYPE_TEXTURE = 3 };
enum D3DXIMAGE_FILEFORMAT : DWORD { D3DXIFF_BMP = 0, D3DXIFF_JPG = 1, D3DXIFF_TGA = 2, D3DXIFF_PNG = 3 };

struct D3DXIMAGE_INFO {
  UINT Width, Height, Depth, MipLevels;
  D3DFORMAT Format;
  D3DRESOURCETYPE ResourceType;
  D3DXIMAGE_FILEFORMAT ImageFileFormat;
};

// Loads pSrcFile (a game file name, resolved with ResolvePath) as an
// A8R8G8B8 texture of the device. Width/Height 0 or D3DX_DEFAULT take the
// picture's size (others resample it, nearest pixel); MipLevels 0 or
// D3DX_DEFAULT build the full chain, each level a 2×2 box average of the one
// above. A non-zero ColorKey turns pixels of exactly that colour (alpha 0xFF
// for opaque pictures) into transparent black. Usage, Format, Pool, the
// filters and pPalette are accepted and ignored. A file that is missing or
// does not decode gives D3DXERR_INVALIDDATA and *ppTexture = nullptr.
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice8* pDevice, const char* pSrcFile, UINT Width, UINT Height,
                                     UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                     DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, void* pPalette,
                                     IDirect3DTexture8** ppTexture);

// Decoding ahead: a worker thread decodes these picture files (names as for
// D3DXCreateTextureFromFileExA) while the caller goes on loading; a later
// D3DXCreateTextureFromFileExA of one of them takes the decoded picture (and
// waits for it if the worker is still at it). Only textures are made on the
// calling thread. Queue only files that will be loaded: an untaken picture
// keeps its memory until D3DXDecodeAheadClear.
void D3DXDecodeAhead(const std::vector<std::string>& Files);
// Pictures decoded or queued ahead and not taken yet.
std::size_t D3DXDecodeAheadPending();
// Forgets what was not taken (and waits for the worker to finish its file).
void D3DXDecodeAheadClear();

// While loading (On): buffers of 256 KB and more go back to the system when
// freed, so that pictures passing through do not stay resident. Off again
// for the frame loop, whose GL driver buffers are better kept on the heap.
void ReturnLargeBuffers(bool On);

// Hands the free pages of the heap back to the system, after large pictures
// are let go outside loading (the frame loop keeps freed buffers for reuse).
void ReturnFreedMemory();
