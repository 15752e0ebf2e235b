// Textures from image files: orientation, alpha, mip chain, bad files; and
// the JPEG / bitmap helpers behind the tutorial pictures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "platform/d3d8/record/record_device.h"
#include "platform/d3dx/d3dx8.h"
#include "platform/d3dx/image_io.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace fs = std::filesystem;

namespace {

class D3DXTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("voxarine_d3dx_" + std::to_string(::getpid()));
    fs::create_directories(Dir);
    D3D = new TRecordD3D();
    D3DPRESENT_PARAMETERS pp{};
    pp.Windowed = TRUE;
    ASSERT_EQ(D3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &pp, &Device), D3D_OK);
  }
  void TearDown() override {
    SafeRelease(Device);
    SafeRelease(D3D);
    fs::remove_all(Dir);
  }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = (Dir / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  HRESULT Load(const std::string& path, IDirect3DTexture8** tex, D3DXIMAGE_INFO* info = nullptr) {
    return D3DXCreateTextureFromFileExA(Device, path.c_str(), 0, 0, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                        D3DX_FILTER_TRIANGLE, D3DX_DEFAULT, 0, info, nullptr, tex);
  }

  static DWORD Pixel(IDirect3DTexture8* t, UINT level, UINT x, UINT y) {
    return static_cast<d3d8::TMemTexture*>(t)->Pixel(level, x, y);
  }

  fs::path Dir;
  IDirect3D8* D3D = nullptr;
  IDirect3DDevice8* Device = nullptr;
};

// An uncompressed true-colour TGA of 2×2 pixels given top row first as
// 0xAARRGGBB; stored bottom-up unless topDown.
std::string Tga2x2(const DWORD (&topFirst)[4], int bits, bool topDown) {
  std::string s(18, '\0');
  s[2] = 2;  // uncompressed true colour
  s[12] = 2;
  s[14] = 2;
  s[16] = static_cast<char>(bits);
  s[17] = static_cast<char>((topDown ? 0x20 : 0) | (bits == 32 ? 8 : 0));
  for (int row = 0; row < 2; ++row) {
    const int y = topDown ? row : 1 - row;
    for (int x = 0; x < 2; ++x) {
      const DWORD c = topFirst[y * 2 + x];
      s += static_cast<char>(c & 0xFF);
      s += static_cast<char>((c >> 8) & 0xFF);
      s += static_cast<char>((c >> 16) & 0xFF);
      if (bits == 32) s += static_cast<char>(c >> 24);
    }
  }
  return s;
}

constexpr DWORD Picture[4] = {0x80FF0000, 0xFF00FF00, 0x400000FF, 0xFFFFFFFF};

// Either storage order gives the same texture: row 0 is the picture's top.
TEST_F(D3DXTest, TgaOrientationAndAlpha) {
  for (bool topDown : {false, true}) {
    SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
    IDirect3DTexture8* t = nullptr;
    ASSERT_EQ(Load(Write("a.tga", Tga2x2(Picture, 32, topDown)), &t), D3D_OK);
    EXPECT_EQ(Pixel(t, 0, 0, 0), Picture[0]);  // 32 bits: alpha kept
    EXPECT_EQ(Pixel(t, 0, 1, 0), Picture[1]);
    EXPECT_EQ(Pixel(t, 0, 0, 1), Picture[2]);
    EXPECT_EQ(Pixel(t, 0, 1, 1), Picture[3]);
    t->Release();
  }
  IDirect3DTexture8* t = nullptr;
  D3DXIMAGE_INFO info{};
  ASSERT_EQ(Load(Write("b.tga", Tga2x2(Picture, 24, false)), &t, &info), D3D_OK);
  EXPECT_EQ(Pixel(t, 0, 0, 0), 0xFFFF0000u);  // 24 bits: opaque
  EXPECT_EQ(Pixel(t, 0, 0, 1), 0xFF0000FFu);
  EXPECT_EQ(info.Width, 2u);
  EXPECT_EQ(info.ImageFileFormat, D3DXIFF_TGA);
  t->Release();
}

// Full chain down to 1×1, each level the box average of the one above.
TEST_F(D3DXTest, MipChain) {
  IDirect3DTexture8* t = nullptr;
  ASSERT_EQ(Load(Write("m.tga", Tga2x2(Picture, 32, true)), &t), D3D_OK);
  ASSERT_EQ(t->GetLevelCount(), 2u);
  // Alpha (0x80+0xFF+0x40+0xFF)/4 = 175.5 → 0xB0; each colour (255+255)/4 → 0x80.
  EXPECT_EQ(Pixel(t, 1, 0, 0), 0xB0808080u);
  t->Release();

  // 5×3 bitmap: 5×3, 2×1, 1×1.
  std::vector<std::uint8_t> rgb(5 * 3 * 3, 200);
  ASSERT_TRUE(WriteBmp24((Dir / "odd.bmp").string(), 5, 3, rgb));
  ASSERT_EQ(Load((Dir / "odd.bmp").string(), &t), D3D_OK);
  ASSERT_EQ(t->GetLevelCount(), 3u);
  D3DSURFACE_DESC d{};
  t->GetLevelDesc(1, &d);
  EXPECT_EQ(d.Width, 2u);
  EXPECT_EQ(d.Height, 1u);
  EXPECT_EQ(Pixel(t, 2, 0, 0), 0xFFC8C8C8u);
  t->Release();
}

// A missing or undecodable file fails cleanly and hands out nothing.
TEST_F(D3DXTest, BadFilesFail) {
  IDirect3DTexture8* t = reinterpret_cast<IDirect3DTexture8*>(0x1);
  EXPECT_TRUE(FAILED(Load((Dir / "missing.tga").string(), &t)));
  EXPECT_EQ(t, nullptr);
  EXPECT_TRUE(FAILED(Load(Write("garbage.tga", "this is not a picture at all, just words"), &t)));
  EXPECT_TRUE(FAILED(Load(Write("empty.jpg", ""), &t)));
  EXPECT_TRUE(FAILED(Load(Write("cut.jpg", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10)), &t)));
  std::string huge = Tga2x2(Picture, 24, false);
  huge[12] = huge[13] = huge[14] = huge[15] = '\xFF';  // 65535 × 65535 claimed
  EXPECT_TRUE(FAILED(Load(Write("huge.tga", huge), &t)));
  EXPECT_EQ(t, nullptr);
  EXPECT_EQ(D3DXCreateTextureFromFileExA(Device, nullptr, 0, 0, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, 0, 0, 0,
                                         nullptr, nullptr, &t),
            D3DERR_INVALIDCALL);
}

// Pictures decoded ahead on the worker make the same textures, bad ones fail
// the same way, and nothing taken stays behind.
TEST_F(D3DXTest, DecodedAheadMakesTheSameTextures) {
  const std::string good = Write("ahead.tga", Tga2x2(Picture, 32, true));
  const std::string bad = Write("ahead-bad.tga", "not a picture");
  const std::string unused = Write("ahead-unused.tga", Tga2x2(Picture, 24, false));
  D3DXDecodeAhead({good, bad, good});
  EXPECT_EQ(D3DXDecodeAheadPending(), 2u);
  IDirect3DTexture8* t = nullptr;
  ASSERT_EQ(Load(good, &t), D3D_OK);
  EXPECT_EQ(Pixel(t, 0, 0, 0), 0x80FF0000u);
  EXPECT_EQ(Pixel(t, 0, 1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(t, 1, 0, 0), 0xB0808080u);
  t->Release();
  t = reinterpret_cast<IDirect3DTexture8*>(0x1);
  EXPECT_EQ(Load(bad, &t), D3DXERR_INVALIDDATA);
  EXPECT_EQ(t, nullptr);
  EXPECT_EQ(D3DXDecodeAheadPending(), 0u);
  // Taken once: a second load decodes the file itself.
  ASSERT_EQ(Load(good, &t), D3D_OK);
  t->Release();

  D3DXDecodeAhead({unused});
  EXPECT_EQ(D3DXDecodeAheadPending(), 1u);
  D3DXDecodeAheadClear();
  EXPECT_EQ(D3DXDecodeAheadPending(), 0u);
}

// JPEG pictures decode opaque and the right way up; the bitmap writer's
// output reads back as the same picture.
TEST_F(D3DXTest, JpegAndBitmapRoundTrip) {
  // 16×16: top half red, bottom half blue.
  std::vector<std::uint8_t> rgb(16 * 16 * 3, 0);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) rgb[(y * 16 + x) * 3 + (y < 8 ? 0 : 2)] = 255;
  const std::string jpg = (Dir / "pic.jpg").string();
  ASSERT_TRUE(stbi_write_jpg(jpg.c_str(), 16, 16, 3, rgb.data(), 95));

  int w = 0, h = 0;
  std::vector<std::uint8_t> decoded;
  ASSERT_TRUE(DecodeJpegFile(jpg, w, h, decoded));
  ASSERT_EQ(w, 16);
  ASSERT_EQ(h, 16);
  EXPECT_GT(decoded[(2 * 16 + 2) * 3], 200);       // top: red
  EXPECT_GT(decoded[(13 * 16 + 2) * 3 + 2], 200);  // bottom: blue
  EXPECT_FALSE(DecodeJpegFile((Dir / "none.jpg").string(), w, h, decoded));

  IDirect3DTexture8* t = nullptr;
  ASSERT_EQ(Load(jpg, &t), D3D_OK);
  EXPECT_EQ(Pixel(t, 0, 2, 2) >> 24, 0xFFu);
  EXPECT_GT((Pixel(t, 0, 2, 2) >> 16) & 0xFF, 200u);
  t->Release();

  const std::string bmp = (Dir / "pic.bmp").string();
  ASSERT_TRUE(WriteBmp24(bmp, 16, 16, rgb));
  EXPECT_EQ(fs::file_size(bmp), 54u + 16 * 48);
  TImage back;
  ASSERT_TRUE(DecodeImageFile(bmp, back));
  EXPECT_EQ(back.FileFormat, TImageFileFormat::Bmp);
  EXPECT_EQ(back.Pixels[2], 0xFFFF0000u);
  EXPECT_EQ(back.Pixels[15 * 16], 0xFF0000FFu);
  // Rows of 3-pixel width pad to 12 bytes.
  EXPECT_EQ(EncodeBmp24(3, 2, std::vector<std::uint8_t>(18, 1)).size(), 54u + 24);
  EXPECT_TRUE(EncodeBmp24(3, 2, std::vector<std::uint8_t>(17, 1)).empty());
  EXPECT_FALSE(WriteBmp24((Dir / "no_such_dir" / "x.bmp").string(), 16, 16, rgb));
}

// Pictures whose header promises more than the file holds are refused rather
// than padded: a few bytes must not cost a whole picture's memory and time.
TEST_F(D3DXTest, ShortPixelDataAndOversizedPicturesAreRefused) {
  IDirect3DTexture8* t = nullptr;
  std::string header = Tga2x2(Picture, 32, false).substr(0, 18);
  header[12] = 0, header[13] = 0x20, header[14] = 0, header[15] = 0x20;  // 8192 x 8192, no pixels
  EXPECT_TRUE(FAILED(Load(Write("header_only.tga", header), &t)));
  std::string cut = Tga2x2(Picture, 24, false);
  cut.resize(cut.size() - 1);  // one byte of the last pixel missing
  EXPECT_TRUE(FAILED(Load(Write("cut.tga", cut), &t)));
  std::string rle = Tga2x2(Picture, 24, false).substr(0, 18);
  rle[2] = 10, rle[12] = 0, rle[13] = 1, rle[14] = 0, rle[15] = 1;  // 256 x 256 run-length, one packet
  rle += std::string("\xFF\x10\x20\x30", 4);
  EXPECT_TRUE(FAILED(Load(Write("rle.tga", rle), &t)));
  // A bitmap header of 1024 x 1024 at 24 bits with no rows after it.
  std::vector<std::uint8_t> rgb(1024 * 3 * 4, 7);
  std::string bmp = EncodeBmp24(1024, 4, rgb);
  bmp[22] = 0, bmp[23] = 4;  // height 1024
  EXPECT_TRUE(FAILED(Load(Write("short.bmp", bmp), &t)));
  EXPECT_EQ(t, nullptr);
  // The largest side the game uses loads; one pixel more is refused.
  rgb.assign(1024 * 3, 9);
  ASSERT_EQ(Load(Write("wide.bmp", EncodeBmp24(1024, 1, rgb)), &t), D3D_OK);
  SafeRelease(t);
  std::string wider = EncodeBmp24(1024, 1, rgb) + std::string(3, '\0');
  wider[18] = 1, wider[19] = 4;  // 1025 wide, its row still complete
  EXPECT_TRUE(FAILED(Load(Write("wider.bmp", wider), &t)));
  // A truncated JPEG would decode grey; it is refused like a damaged one.
  std::vector<std::uint8_t> pixels(64 * 64 * 3, 200);
  const std::string jpg = (Dir / "whole.jpg").string();
  ASSERT_TRUE(stbi_write_jpg(jpg.c_str(), 64, 64, 3, pixels.data(), 90));
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(jpg, bytes));
  ASSERT_EQ(Load(jpg, &t), D3D_OK);
  SafeRelease(t);
  EXPECT_TRUE(FAILED(Load(Write("half.jpg", bytes.substr(0, bytes.size() / 2)), &t)));
}

// A folder or a device named as a picture is no picture: no texture, and no
// exception escaping the loader (a folder used to throw from the stream).
TEST_F(D3DXTest, FoldersAndDevicesAreNotRead) {
  IDirect3DTexture8* t = nullptr;
  EXPECT_TRUE(FAILED(Load(Dir.string(), &t)));
  EXPECT_TRUE(FAILED(Load("/dev/zero", &t)));
  EXPECT_EQ(t, nullptr);
  std::string bytes = "kept";
  EXPECT_FALSE(ReadWholeFile("/dev/zero", bytes));
  EXPECT_FALSE(ReadWholeFile(Write("big.tga", std::string(2000, 'x')), bytes, 1000));
  EXPECT_TRUE(ReadWholeFile(Write("small.tga", std::string(1000, 'x')), bytes, 1000));
  EXPECT_EQ(bytes.size(), 1000u);
}

}  // namespace
