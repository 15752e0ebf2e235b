// The tutorial viewer and its one-time JPEG to bitmap conversion.
#include "frontend/tutorial.h"

#include <filesystem>

#include "shell/debug_log.h"
#include "platform/win32/paths.h"

std::unique_ptr<TTutorial> Tutorial;

namespace {
bool FileExists(const std::string& Name) {
  std::error_code ec;
  return std::filesystem::is_regular_file(ResolvePath(Name), ec);
}
}  // namespace

std::string TTutorial::PictureName(int N, const char* Extension) {
  return "Images\\Tutorial\\tut" + std::to_string(N) + Extension;
}

void TTutorial::ConvertTutorialPictures() {
  // The first bitmap marks a converted set: it is written last, so that a
  // conversion cut short (a damaged picture, the program killed) is done
  // again next time instead of leaving pages blank for good.
  for (int n = 2; n <= TutorialPictures; ++n) JpegToBmp(PictureName(n, ".jpg"));
  JpegToBmp(PictureName(1, ".jpg"));
}

TTutorial::TTutorial(IDirect3DDevice8* Device_) : Device(Device_) {
  // Only the first bitmap is looked for: the conversion writes it last.
  if (!FileExists(PictureName(1, ".bmp"))) ConvertTutorialPictures();
  Background = std::make_unique<T3DSprite>(Device, PictureName(1, ".bmp"));
  Background->Scale = {14.45f, 10.8375f, 1.0f};
  Background->Position = {-1.8f, -0.25f, 0.0f};
  Background->Rotation = {0.0f, 0.0f, 0.0f};
  BuildWorldMatrix(Background->Scale, Background->Position, Background->Rotation, Background->World);
  Picture = 1;
}

void TTutorial::ShowPicture(int Step) {
  if (Step < 0 && Picture != 1) Picture--;
  if (Step >= 1 && Picture != TutorialPictures) Picture++;
  DebugLog(false, " loading " + std::to_string(Picture));
  LoadTexture(Device, PictureName(Picture, ".bmp"), Background->Texture);
  DebugLog(false, " loaded" + std::to_string(Picture));
}

void TTutorial::Draw() { Background->Draw(); }
