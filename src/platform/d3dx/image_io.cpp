// Picture decoding and bitmap writing behind the texture loader and the
// tutorial's JPEG-to-bitmap conversion.
#include "platform/d3dx/image_io.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

#include <jpeglib.h>

#include "platform/win32/io_error.h"
#include "platform/win32/paths.h"

// stb_image decodes TGA (with its orientation flag), BMP and PNG. Static, so
// that no other library's copy of it can clash with ours.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_TGA
#define STBI_ONLY_BMP
#define STBI_ONLY_PNG
#define STBI_MAX_DIMENSIONS MaxImageSide
#include <stb_image.h>

namespace {

// ---- JPEG ------------------------------------------------------------------------
//
// libjpeg reports a fatal error by calling error_exit, which must not return;
// its only C-compatible way out is longjmp. The decoder state therefore lives
// in a heap object owned by the caller, and nothing with a destructor is
// created between setjmp and the jump.

struct TJpegDecoder {
  jpeg_decompress_struct Info{};
  jpeg_error_mgr Errors{};
  std::jmp_buf Jump{};
};

[[noreturn]] void JpegErrorExit(j_common_ptr common) {
  // Errors is the first member reached through Info.err; find its decoder.
  auto* decoder = reinterpret_cast<TJpegDecoder*>(reinterpret_cast<char*>(common->err) -
                                                   offsetof(TJpegDecoder, Errors));
  std::longjmp(decoder->Jump, 1);
}

void JpegQuiet(j_common_ptr) {}  // warnings (a truncated file) are not our user's business

bool DecodeJpegWith(TJpegDecoder& d, const std::string& bytes, int& width, int& height,
                    std::vector<std::uint8_t>& rgb) {
  d.Info.err = jpeg_std_error(&d.Errors);
  d.Errors.error_exit = JpegErrorExit;
  d.Errors.output_message = JpegQuiet;
  if (setjmp(d.Jump)) {
    jpeg_destroy_decompress(&d.Info);
    return false;
  }
  jpeg_create_decompress(&d.Info);
  jpeg_mem_src(&d.Info, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&d.Info, TRUE);
  d.Info.out_color_space = JCS_RGB;
  if (d.Info.image_width == 0 || d.Info.image_height == 0 || d.Info.image_width > MaxImageSide ||
      d.Info.image_height > MaxImageSide) {
    jpeg_destroy_decompress(&d.Info);
    return false;
  }
  jpeg_start_decompress(&d.Info);
  const size_t rowBytes = static_cast<size_t>(d.Info.output_width) * 3;
  rgb.resize(rowBytes * d.Info.output_height);
  while (d.Info.output_scanline < d.Info.output_height) {
    JSAMPROW row = rgb.data() + rowBytes * d.Info.output_scanline;
    jpeg_read_scanlines(&d.Info, &row, 1);
  }
  width = static_cast<int>(d.Info.output_width);
  height = static_cast<int>(d.Info.output_height);
  jpeg_finish_decompress(&d.Info);
  jpeg_destroy_decompress(&d.Info);
  return true;
}

bool DecodeJpegBytes(const std::string& bytes, int& width, int& height, std::vector<std::uint8_t>& rgb) {
  auto decoder = std::make_unique<TJpegDecoder>();
  return DecodeJpegWith(*decoder, bytes, width, height, rgb);
}

bool IsJpeg(const std::string& b) {
  return b.size() >= 3 && static_cast<std::uint8_t>(b[0]) == 0xFF && static_cast<std::uint8_t>(b[1]) == 0xD8 &&
         static_cast<std::uint8_t>(b[2]) == 0xFF;
}

std::uint32_t Argb(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return (std::uint32_t{a} << 24) | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool DecodeImage(const std::string& bytes, TImage& out) {
  out = TImage{};
  if (IsJpeg(bytes)) {
    std::vector<std::uint8_t> rgb;
    if (!DecodeJpegBytes(bytes, out.Width, out.Height, rgb)) return false;
    out.FileFormat = TImageFileFormat::Jpeg;
    out.Pixels.resize(static_cast<size_t>(out.Width) * out.Height);
    for (size_t i = 0; i < out.Pixels.size(); ++i) out.Pixels[i] = Argb(255, rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
    return true;
  }
  if (bytes.empty() || bytes.size() > static_cast<size_t>(INT32_MAX)) return false;
  const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
  const int length = static_cast<int>(bytes.size());
  int w = 0, h = 0, channels = 0;
  if (!stbi_info_from_memory(data, length, &w, &h, &channels) || w <= 0 || h <= 0 || w > MaxImageSide ||
      h > MaxImageSide)
    return false;
  stbi_uc* pixels = stbi_load_from_memory(data, length, &w, &h, &channels, 4);
  if (!pixels) return false;
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
    out.FileFormat = TImageFileFormat::Bmp;
  else if (bytes.size() >= 4 && std::memcmp(bytes.data(), "\x89PNG", 4) == 0)
    out.FileFormat = TImageFileFormat::Png;
  else
    out.FileFormat = TImageFileFormat::Tga;
  // A bitmap is opaque even when its fourth byte holds something.
  out.HasAlpha = out.FileFormat != TImageFileFormat::Bmp && (channels == 2 || channels == 4);
  out.Width = w;
  out.Height = h;
  out.Pixels.resize(static_cast<size_t>(w) * h);
  for (size_t i = 0; i < out.Pixels.size(); ++i) {
    const stbi_uc* p = pixels + 4 * i;
    out.Pixels[i] = Argb(out.HasAlpha ? p[3] : 255, p[0], p[1], p[2]);
  }
  stbi_image_free(pixels);
  return true;
}

bool DecodeImageFile(const std::string& path, TImage& out) {
  std::string bytes;
  return ReadWholeFile(path, bytes) && DecodeImage(bytes, out);
}

bool DecodeJpegFile(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgb) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes) || !IsJpeg(bytes)) return false;
  return DecodeJpegBytes(bytes, width, height, rgb);
}

std::string EncodeBmp24(int width, int height, const std::vector<std::uint8_t>& rgb) {
  if (width <= 0 || height <= 0 || width > MaxImageSide || height > MaxImageSide ||
      rgb.size() < static_cast<size_t>(width) * height * 3)
    return {};
  const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(height);
  std::string out(54 + imageBytes, '\0');
  auto put16 = [&](size_t at, std::uint32_t v) {
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>((v >> 8) & 0xFF);
  };
  auto put32 = [&](size_t at, std::uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, static_cast<std::uint32_t>(out.size()));
  put32(10, 54);  // pixel data offset
  put32(14, 40);  // BITMAPINFOHEADER
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));  // positive: bottom row first
  put16(26, 1);                                   // planes
  put16(28, 24);                                  // bits per pixel
  put32(34, imageBytes);
  put32(38, 2835);  // 72 dpi
  put32(42, 2835);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* src = rgb.data() + static_cast<size_t>(height - 1 - y) * width * 3;
    char* dst = out.data() + 54 + static_cast<size_t>(y) * rowBytes;
    for (int x = 0; x < width; ++x) {
      dst[3 * x] = static_cast<char>(src[3 * x + 2]);
      dst[3 * x + 1] = static_cast<char>(src[3 * x + 1]);
      dst[3 * x + 2] = static_cast<char>(src[3 * x]);
    }
  }
  return out;
}

bool WriteBmp24(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb) {
  const std::string bmp = EncodeBmp24(width, height, rgb);
  if (bmp.empty()) return false;
  try {
    AtomicWriteFile(path, bmp);
  } catch (const EInOutError&) {
    return false;
  }
  return true;
}
