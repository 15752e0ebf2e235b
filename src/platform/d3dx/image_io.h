// Decoding pictures (JPEG with libjpeg; TGA, BMP and PNG with stb_image) and
// writing 24-bit bitmaps. Paths here are real file-system paths: callers that
// hold a game file name resolve it first (ResolvePath).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class TImageFileFormat { Bmp, Jpeg, Tga, Png };

struct TImage {
  int Width = 0, Height = 0;
  std::vector<std::uint32_t> Pixels;  // 0xAARRGGBB, top row first
  TImageFileFormat FileFormat = TImageFileFormat::Bmp;
  bool HasAlpha = false;  // the file carried an alpha channel that was kept
};

// Largest picture side accepted: the game's largest pictures are 1024 wide,
// and a corrupt header must not make us allocate hundreds of megabytes.
constexpr int MaxImageSide = 1024;
// Largest picture file read: a 1024 x 1024 picture of 32 bits is 4 MB.
constexpr std::size_t MaxImageFileBytes = 16u << 20;

// Decodes a picture held in memory; the format is told by its content (TGA,
// which has no signature, is tried last). JPEG and BMP come out opaque, a
// 32-bit TGA keeps its alpha, a 24-bit TGA is opaque. False when the bytes
// are not a picture we read.
bool DecodeImage(const std::string& bytes, TImage& out);
bool DecodeImageFile(const std::string& path, TImage& out);

// Decodes a JPEG file to tightly packed RGB rows, top row first.
bool DecodeJpegFile(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgb);

// An uncompressed 24-bit Windows bitmap (bottom-up rows padded to 4 bytes)
// of tightly packed RGB rows, top row first.
std::string EncodeBmp24(int width, int height, const std::vector<std::uint8_t>& rgb);
// Writes it atomically; false (the old file untouched) when it cannot.
bool WriteBmp24(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

// The whole file, or false when it cannot be read, is not a regular file
// (a folder, a device) or is larger than MaxBytes.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::size_t MaxBytes = MaxImageFileBytes);
