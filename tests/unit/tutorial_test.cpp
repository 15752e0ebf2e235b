// The tutorial viewer: one-time conversion of the shipped JPEG pictures,
// stepping within 1..9, reloading and its log lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

#include "frontend/tutorial.h"
#include "menu_fixture.h"
#include "platform/win32/io_error.h"

namespace {

// A small grey JPEG picture.
void WriteJpeg(const std::filesystem::path& Path) {
  std::filesystem::create_directories(Path.parent_path());
  FILE* f = std::fopen(Path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, f);
  c.image_width = 8;
  c.image_height = 8;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row(8 * 3, 128);
  while (c.next_scanline < c.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::fclose(f);
}

class TutorialTest : public ::testing::Test {
 protected:
  void SetUp() override {
    device = menutest::MakeRecordingDevice();
    ASSERT_NE(device, nullptr);
  }
  void TearDown() override { SafeRelease(device); }
  std::filesystem::path Picture(int N, const char* Ext) const {
    return folder.Game() / "Images" / "Tutorial" / ("tut" + std::to_string(N) + Ext);
  }
  std::string Log() const { return menutest::ReadBytes(folder.Game() / "debug.txt"); }

  menutest::TTempGameFolder folder;
  IDirect3DDevice8* device = nullptr;
};

TEST_F(TutorialTest, FirstUseConvertsAllNinePicturesAndShowsThe1st) {
  for (int n = 1; n <= 9; ++n) WriteJpeg(Picture(n, ".jpg"));
  TTutorial t(device);
  for (int n = 1; n <= 9; ++n) EXPECT_TRUE(std::filesystem::exists(Picture(n, ".bmp"))) << n;
  EXPECT_EQ(t.Picture, 1);
  EXPECT_NE(t.Background->Texture, nullptr);
  EXPECT_FLOAT_EQ(t.Background->Scale.x, 14.45f);
  EXPECT_FLOAT_EQ(t.Background->Scale.y, 10.8375f);
  EXPECT_FLOAT_EQ(t.Background->Position.x, -1.8f);
  EXPECT_FLOAT_EQ(t.Background->Position.y, -0.25f);
}

TEST_F(TutorialTest, WithTheFirstBitmapPresentNoJpegIsRead) {
  menutest::WriteBmp(Picture(1, ".bmp"));
  TTutorial t(device);  // no JPEG exists: reading one would raise
  EXPECT_NE(t.Background->Texture, nullptr);
  EXPECT_FALSE(std::filesystem::exists(Picture(2, ".bmp")));
}

TEST_F(TutorialTest, MissingJpegIsReportedByName) {
  for (int n = 1; n <= 9; ++n)
    if (n != 4) WriteJpeg(Picture(n, ".jpg"));
  try {
    TTutorial t(device);
    FAIL() << "no error raised";
  } catch (const EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find("tut4.jpg"), std::string::npos) << e.what();
  }
}

// A conversion cut short leaves no first bitmap, so the next use converts
// the whole set again; then every page has its bitmap.
TEST_F(TutorialTest, ConversionCutShortIsDoneAgainNextTime) {
  for (int n = 1; n <= 9; ++n)
    if (n != 6) WriteJpeg(Picture(n, ".jpg"));
  EXPECT_THROW(TTutorial t(device), EInOutError);
  EXPECT_FALSE(std::filesystem::exists(Picture(1, ".bmp")));
  WriteJpeg(Picture(6, ".jpg"));
  TTutorial t(device);
  for (int n = 1; n <= 9; ++n) EXPECT_TRUE(std::filesystem::exists(Picture(n, ".bmp"))) << n;
}

TEST_F(TutorialTest, StepsStayWithin1To9AndEveryStepReloadsAndLogs) {
  for (int n = 1; n <= 9; ++n) menutest::WriteBmp(Picture(n, ".bmp"));
  TTutorial t(device);
  t.ShowPicture(-1);  // at the first: stays, still reloads
  EXPECT_EQ(t.Picture, 1);
  EXPECT_NE(Log().find(" loading 1\r\n"), std::string::npos);
  EXPECT_NE(Log().find(" loaded1\r\n"), std::string::npos);
  for (int i = 0; i < 12; ++i) t.ShowPicture(1);
  EXPECT_EQ(t.Picture, 9);
  EXPECT_NE(t.Background->Texture, nullptr);
  const std::string before = Log();
  t.ShowPicture(5);  // any step of 1 or more goes forward by one
  EXPECT_EQ(t.Picture, 9);
  const std::string added = Log().substr(before.size());
  EXPECT_NE(added.find(" loading 9\r\n"), std::string::npos);
  EXPECT_NE(added.find(" loaded9\r\n"), std::string::npos);
  t.ShowPicture(0);  // no step
  EXPECT_EQ(t.Picture, 9);
  t.ShowPicture(-3);
  EXPECT_EQ(t.Picture, 8);
}

}  // namespace
