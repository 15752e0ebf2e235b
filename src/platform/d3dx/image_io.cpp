// Picture decoding and bitmap writing behind the texture loader and the
// tutorial's JPEG-to-bitmap conversion.
#include "platform/d3dx/image_io.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include <jpeglib.h>
#include <jerror.h>

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

void JpegQuiet(j_common_ptr) {}  // no messages on the console

// A warning about data that ends early: the picture would be padded with
// grey, so a truncated file is refused like any other damaged one.
void JpegWarning(j_common_ptr common, int level) {
  if (level < 0 && common->err->msg_code == JWRN_JPEG_EOF) JpegErrorExit(common);
}

bool DecodeJpegWith(TJpegDecoder& d, const std::string& bytes, int& width, int& height,
                    std::vector<std::uint8_t>& rgb) {
  d.Info.err = jpeg_std_error(&d.Errors);
  d.Errors.error_exit = JpegErrorExit;
  d.Errors.output_message = JpegQuiet;
  d.Errors.emit_message = JpegWarning;
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

std::uint32_t Le16(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | (static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 1])) << 8);
}
std::uint32_t Le32(const std::string& b, std::size_t at) { return Le16(b, at) | (Le16(b, at + 2) << 16); }

// Whether a TGA or BMP holds at least the pixel data its header declares. The
// decoder would pad a short file with zeros, so that a header of a few bytes
// claiming a large picture costs the whole picture's memory and time.
bool PixelDataFits(const std::string& b) {
  const std::uint64_t size = b.size();
  if (size >= 2 && b[0] == 'B' && b[1] == 'M') {
    if (size < 30) return false;
    const std::uint64_t offset = Le32(b, 10);
    const std::uint32_t header = Le32(b, 14);
    std::uint64_t w, h, bits, compression = 0;
    if (header == 12) {
      w = Le16(b, 18), h = Le16(b, 20), bits = Le16(b, 24);
    } else {
      if (size < 34) return false;
      w = Le32(b, 18);
      const auto signedHeight = static_cast<std::int32_t>(Le32(b, 22));
      h = signedHeight < 0 ? 0 - static_cast<std::int64_t>(signedHeight) : signedHeight;
      bits = Le16(b, 28);
      compression = Le32(b, 30);
    }
    if (compression == 1 || compression == 2) return true;  // run-length data has no fixed size
    if (w == 0 || h == 0 || w > MaxImageSide || h > MaxImageSide) return false;
    const std::uint64_t rowBytes = (w * bits + 31) / 32 * 4;
    return size >= offset + rowBytes * (h - 1) + (w * bits + 7) / 8;
  }
  if (size < 18) return false;
  const std::uint64_t idLength = static_cast<std::uint8_t>(b[0]);
  const int type = static_cast<std::uint8_t>(b[2]);
  const std::uint64_t mapEntries = static_cast<std::uint8_t>(b[1]) ? Le16(b, 5) : 0;
  const std::uint64_t mapBytes = mapEntries * ((static_cast<std::uint8_t>(b[7]) + 7u) / 8u);
  const std::uint64_t pixels = std::uint64_t{Le16(b, 12)} * Le16(b, 14);
  const std::uint64_t pixelBytes = (static_cast<std::uint8_t>(b[16]) + 7u) / 8u;
  const std::uint64_t header = 18 + idLength + mapBytes;
  if (type >= 9 && type <= 11)  // run-length: each packet of at most 128 pixels takes 1 + pixelBytes
    return size >= header + (pixels + 127) / 128 * (1 + pixelBytes);
  return size >= header + pixels * pixelBytes;
}

std::uint32_t Argb(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return (std::uint32_t{a} << 24) | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes, std::size_t MaxBytes) {
  // A folder or a device (/dev/zero) opens like a file but cannot be read as
  // one: only regular files of a bounded size are read.
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::is_regular_file(status)) return false;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec || size > MaxBytes) return false;
  try {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));  // the file may have shrunk meanwhile
    return !in.bad();
  } catch (const std::exception&) {
    return false;  // a read error the stream reports by throwing
  }
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
  const bool png = bytes.size() >= 4 && std::memcmp(bytes.data(), "\x89PNG", 4) == 0;
  if (!png && !PixelDataFits(bytes)) return false;
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
