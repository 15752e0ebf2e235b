// Settings over the registry file: defaults, orders, bad values, the bundle file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32/io_error.h"
#include "platform/win32/paths.h"
#include "platform/win32/registry.h"
#include "shell/options.h"
#include "unit/foundation_temp.h"

using ::testing::HasSubstr;

namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRegistryFile(Temp / "config/voxarine/settings.reg");
    SetGameFolder(Temp.Path);
    SetUserDataFolder(Temp / "user");
  }
  void TearDown() override {
    SetRegistryFile("");
    SetGameFolder("");
    SetUserDataFolder("");
  }
  std::string RegFile() const { return Temp / "config/voxarine/settings.reg"; }
  void WriteSettings(const std::string& Values) {
    WriteText(RegFile(), "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Voxarine]\r\n" +
                             Values);
  }
  static std::string Full(int Sound, int Music, int Full, int Res, int Color, int Desk, int Tex, int Help) {
    char s[512];
    std::snprintf(s, sizeof s,
                  "\"SoundVol\"=dword:%08x\n\"MusicVol\"=dword:%08x\n\"Fullscreen\"=dword:%08x\n"
                  "\"Resolution\"=dword:%08x\n\"Color\"=dword:%08x\n\"Desktop\"=dword:%08x\n"
                  "\"Texture\"=dword:%08x\n\"Help\"=dword:%08x\n",
                  Sound, Music, Full, Res, Color, Desk, Tex, Help);
    return s;
  }
  void WriteBundle(const std::string& Address, std::size_t Size = 512) {
    std::string bytes(512, '\0');
    bytes[256] = static_cast<char>(Address.size());
    std::memcpy(bytes.data() + 257, Address.data(), Address.size());
    bytes.resize(Size);
    WriteText(Temp / "Data/bundle.dat", bytes);
  }

  TTempFolder Temp;
};

}  // namespace

// A first start writes the ten defaults in the write order.
TEST_F(SettingsTest, FirstStartWritesDefaultsInWriteOrder) {
  TOptions o;
  o.Load();
  EXPECT_EQ(ReadText(RegFile()),
            "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Voxarine]\r\n"
            "\"SoundVol\"=dword:00000009\r\n\"MusicVol\"=dword:00000009\r\n\"Fullscreen\"=dword:00000001\r\n"
            "\"Resolution\"=dword:00000006\r\n\"Color\"=dword:00000000\r\n\"Desktop\"=dword:00000001\r\n"
            "\"Texture\"=dword:00000001\r\n\"Help\"=dword:00000001\r\n\"WriteDebug\"=dword:00000000\r\n"
            "\"PseudoFullscreen\"=dword:00000000\r\n");
  EXPECT_EQ(o.Texture, 1);
  EXPECT_EQ(o.Resolution, 6);
  EXPECT_TRUE(o.Fullscreen);
}

// What one run saves, the next reads back; other keys and values survive.
TEST_F(SettingsTest, SaveThenLoadRoundTripsAndKeepsForeignEntries) {
  WriteText(RegFile(), "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Other]\n\"X\"=\"y\"\n");
  TOptions a;
  a.Load();
  a.SoundVol = 3;
  a.MusicVol = 0;
  a.Fullscreen = false;
  a.Resolution = 9;
  a.Color = 1;
  a.Desktop = false;
  a.Texture = 5;
  a.Help = false;
  a.WriteDebug = true;
  a.PseudoFullscreen = true;
  a.Save();

  TOptions b;
  b.Load();
  EXPECT_EQ(b.SoundVol, 3);
  EXPECT_EQ(b.MusicVol, 0);
  EXPECT_FALSE(b.Fullscreen);
  EXPECT_EQ(b.Resolution, 9);
  EXPECT_EQ(b.Color, 1);
  EXPECT_FALSE(b.Desktop);
  EXPECT_EQ(b.Texture, 5);
  EXPECT_FALSE(b.Help);
  EXPECT_TRUE(b.WriteDebug);
  EXPECT_TRUE(b.PseudoFullscreen);
  EXPECT_THAT(ReadText(RegFile()), HasSubstr("[HKEY_CURRENT_USER\\Software\\Other]\r\n\"X\"=\"y\""));
}

// Settings from before PseudoFullscreen and WriteDebug existed get both, false.
TEST_F(SettingsTest, MissingPairIsAddedAsFalse) {
  WriteSettings(Full(4, 5, 0, 2, 1, 0, 3, 0) + "\"WriteDebug\"=dword:00000001\n");
  TOptions o;
  o.Load();
  EXPECT_EQ(o.SoundVol, 4);
  EXPECT_EQ(o.Texture, 3);
  EXPECT_FALSE(o.WriteDebug);
  EXPECT_FALSE(o.PseudoFullscreen);
  EXPECT_THAT(ReadText(RegFile()), HasSubstr("\"WriteDebug\"=dword:00000000\r\n\"PseudoFullscreen\"=dword:00000000"));
}

// A bad value reports its name; what was read stays, the rest take defaults, not zero.
TEST_F(SettingsTest, BadValuesRaiseAndLeaveDefaultsNotZeros) {
  struct Case {
    const char* Values;
    const char* Text;
  } cases[] = {
      {"\"Fullscreen\"=dword:00000000\n\"Resolution\"=\"big\"\n", "Resolution"},
      {"\"Fullscreen\"=dword:00000000\n", "Resolution"},  // missing
      {"\"Fullscreen\"=dword:00000000\n\"Resolution\"=dword:00000100\n", "Resolution"},  // 256
      {"\"Fullscreen\"=dword:00000000\n\"Resolution\"=dword:0000000a\n", "Resolution"},  // no such size
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Values);
    WriteSettings(c.Values);
    TOptions o;
    try {
      o.Load();
      ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.Text));
      EXPECT_THAT(e.what(), HasSubstr("settings.reg"));
    }
    EXPECT_FALSE(o.Fullscreen);  // read before the bad value
    EXPECT_EQ(o.Resolution, 6);
    EXPECT_EQ(o.Texture, 1);
    EXPECT_EQ(o.SoundVol, 9);
    EXPECT_TRUE(o.Help);
    EXPECT_EQ(o.HomePage, DefaultHomePage);  // the bundle was never reached
  }
}

// Booleans stored as any byte value read as set; skin 0 is rejected.
TEST_F(SettingsTest, ValueRangesAtTheirBoundaries) {
  WriteSettings(Full(9, 9, 255, 9, 1, 2, 5, 1) + "\"WriteDebug\"=dword:0\n\"PseudoFullscreen\"=dword:0\n");
  TOptions o;
  ASSERT_NO_THROW(o.Load());
  EXPECT_TRUE(o.Fullscreen);
  EXPECT_TRUE(o.Desktop);
  EXPECT_EQ(o.Texture, 5);

  WriteSettings(Full(9, 9, 1, 6, 0, 1, 0, 1));
  TOptions p;
  EXPECT_THROW(p.Load(), EInOutError);
  EXPECT_EQ(p.Texture, 1);
}

// Registry names compare without letter case, as on Windows.
TEST_F(SettingsTest, RegistryNamesIgnoreCase) {
  WriteText(RegFile(), "[hkey_current_user\\software\\VOXARINE]\n\"soundvol\"=dword:00000002\n");
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Voxarine", false));
  EXPECT_EQ(reg.ReadInteger("SoundVol"), 2);
  EXPECT_EQ(reg.GetDataType("SOUNDVOL"), TRegDataType::rdInteger);
  EXPECT_FALSE(reg.ValueExists("MusicVol"));
  TRegistry other;
  EXPECT_FALSE(other.OpenKey("\\Software\\Nothing", false));
  EXPECT_FALSE(std::filesystem::exists(RegFile() + ".tmp"));
}

TEST_F(SettingsTest, BundleGivesHomePageOnlyForWebAddresses) {
  TOptions o;
  o.ReadBundle();  // no file
  EXPECT_EQ(o.HomePage, DefaultHomePage);
  EXPECT_LE(std::strlen(DefaultHomePage), 255u);  // fits the bundle's string

  WriteBundle("https://example.org/voxarine");
  o.ReadBundle();
  EXPECT_EQ(o.HomePage, "https://example.org/voxarine");

  for (const char* bad : {"file:///etc/passwd", "/usr/bin/xterm", "javascript:alert(1)", ""}) {
    SCOPED_TRACE(bad);
    WriteBundle(bad);
    TOptions p;
    p.ReadBundle();
    EXPECT_EQ(p.HomePage, DefaultHomePage);
  }
}

// A bundle file too short to hold the address reads as far as it goes.
TEST_F(SettingsTest, ShortBundleIsNoError) {
  WriteBundle("http://example.org/", 200);
  TOptions o;
  EXPECT_NO_THROW(o.ReadBundle());
  EXPECT_EQ(o.HomePage, DefaultHomePage);
  WriteBundle("http://example.org/", 257 + 19);
  TOptions p;
  p.ReadBundle();
  EXPECT_EQ(p.HomePage, "http://example.org/");
}

TEST_F(SettingsTest, CreateFillsTablesAndCamera) {
  TOptions o;
  EXPECT_EQ(Resolutions[0].Width, 512);
  EXPECT_EQ(Resolutions[8].Height, 1024);
  EXPECT_EQ(ColorDepths[1], 32);
  EXPECT_FLOAT_EQ(o.CameraEye.z, 12.7f);
  EXPECT_EQ(o.Texture, 0);  // zero until Load
}
