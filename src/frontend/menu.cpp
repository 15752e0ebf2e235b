// The menu controller: the menu file reader and the command table that gives
// every (page, item, action) of the 3D menu its meaning.
#include "frontend/menu.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>

#include "audio/sounds.h"
#include "frontend/cursor.h"
#include "frontend/hiscores.h"
#include "frontend/loading_bar.h"
#include "frontend/menu3d.h"
#include "frontend/tutorial.h"
#include "game/game.h"
#include "game/planes.h"
#include "platform/d3dx/d3dx8.h"
#include "platform/win32/io_error.h"
#include "platform/win32/message_box.h"
#include "platform/win32/paths.h"
#include "platform/win32/text_reader.h"
#include "shell/debug_log.h"
#include "shell/form_main.h"
#include "shell/options.h"
#include "shell/scene.h"
#include "shell/textures.h"
#include "platform/win32/virtual_keys.h"
#include "replay/game_input.h"

IDirect3DTexture8* MenuBackground = nullptr;
namespace {
std::string MenuBackgroundFile;  // as Menu.dat names it
}  // namespace

IDirect3DTexture8* MenuBackdrop() {
  if (!MenuBackground && !MenuBackgroundFile.empty()) LoadTexture(D3DDevice, MenuBackgroundFile, MenuBackground);
  return MenuBackground;
}

void ReleaseMenuBackdrop() {
  if (!MenuBackground) return;
  SafeRelease(MenuBackground);
  ReturnFreedMemory();
}

namespace {

constexpr int SkinCount = 5;
constexpr int BoardTextureCount = 18;

// Options page items.
constexpr int OptAccept = 1, OptCancel = 2, OptRowStandIn = 3;
constexpr int OptSoundDown = 4, OptSoundLabel = 5, OptSoundUp = 6, OptSoundBar = 7;
constexpr int OptMusicDown = 8, OptMusicLabel = 9, OptMusicUp = 10, OptMusicBar = 11;
constexpr int OptSkinPrev = 12, OptSkinLabel = 13, OptSkinNext = 14, OptSkinFirst = 15;

// The whole line is a file name; blanks at its end are not part of it.
std::string ReadName(TTextReader& Reader) {
  std::string line = Reader.ReadLine();
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
  return line;
}

// Three reals on one line.
D3DVECTOR ReadVector(TTextReader& Reader) {
  const int line = Reader.Line();
  const std::string text = Reader.ReadLine();
  float v[3] = {};
  const char* p = text.data();
  const char* end = text.data() + text.size();
  for (float& value : v) {
    while (p < end && (*p == ' ' || *p == '\t')) ++p;
    if (p < end && *p == '+') ++p;
    const auto [next, ec] = std::from_chars(p, end, value);
    if (ec != std::errc() || next == p) throw EInOutError(Reader.FileName(), line, "three numbers were expected");
    p = next;
  }
  return {v[0], v[1], v[2]};
}

int ReadCount(TTextReader& Reader, int Max, const char* What) {
  const std::int64_t n = Reader.ReadInt();
  if (n < 0 || n > Max) Reader.FailField(std::string(What) + " must be 0 to " + std::to_string(Max));
  return static_cast<int>(n);
}

int CurrentSkin() {
  const int skin = Options ? Options->Texture : 1;
  return (skin >= 1 && skin <= SkinCount) ? skin : 1;
}

bool FileExists(const std::string& Name) {
  std::error_code ec;
  return std::filesystem::is_regular_file(ResolvePath(Name), ec);
}

void BackToMainMenu() {
  GameState = gsMenu;
  StopMusic();
  PlayMusic(0, 0);
  LastMenuTrack = 1;
  Menu->SetPage(mpMain);
}

// Sets a volume bar's length: Step world units per volume step, right edge at Anchor.
void PoseBar(int Item, int Volume, float Step, float Anchor) {
  TMenuItem& bar = Menu->Item(mpOptions, Item);
  bar.HomePose.Scale.x = static_cast<float>(Volume) * Step;
  bar.HomePose.Position.x = Anchor - bar.HomePose.Scale.x / 2;
  TD3DMenu::ApplyPose(bar.NormalSprite.get(), bar.HomePose);
}

// Volume from a click on a bar: 0 at its right end, 9 at its left end.
std::uint8_t VolumeAt(float X) {
  return static_cast<std::uint8_t>(std::abs(static_cast<int>((X + 1.01f) * 9.0f / 1.5f)));
}

void ApplyVolumes() {
  SetSoundVolume(Options->SoundVol);
  SetMusicVolume(Options->MusicVol);
}

// The pause button pauses what the pause keys pause: play, and nothing else.
// While a level's end or the game's end runs it is neither drawn nor hovered
// nor chosen, by mouse, key or pad alike: a pause there would hand the ended
// level back to play, to be completed (and paid) once more.
constexpr int PauseButton = 1;

bool PauseButtonLive() { return Game && Game->EndPhase == epPlaying; }

void ShowPauseButton() {
  if (Menu && Menu->PageCount >= mpPlaying) Menu->Item(mpPlaying, PauseButton).Visible = PauseButtonLive();
}

// ---- The command table, page by page ------------------------------------------

void MainMenuCommand(int Item) {
  switch (Item) {
    case 1:
      Menu->SetPage(mpChooseGame);
      break;
    case 2:
      Menu->SetPage(mpOptions);
      UpdateVolumeBars();
      for (int k = OptSkinFirst + 1; k < OptSkinFirst + SkinCount; ++k) Menu->SwapItems(k, OptSkinFirst);
      Menu->SwapItems(OptSkinFirst, static_cast<std::int16_t>(CurrentSkin() + OptSkinFirst - 1));
      break;
    case 3:
      GameState = gsHiScores;
      HiScores->Editing = false;
      HiScores->ShownTable = 1;
      Menu->SetPage(mpHiScores);
      Menu->SwapItems(3, 2);
      break;
    case 4:
      if (FormMain) FormMain->Close();
      break;
    default:
      break;
  }
}

void ChooseGameCommand(int Item, bool Enter) {
  if (!Enter || Item == 4) {
    Menu->SetPage(mpMain);
    return;
  }
  if (Item == 1 || Item == 2) {
    StopMusic();
    PlayMusic(Item + 1, 1);
    Game->Mode = static_cast<std::uint8_t>(Item);
    if (Options->Help) {
      GameState = gsHelp;
      Menu->SetPage(mpHints);
      // The page is only reached with hints on: its switch must say so, even
      // after Cancel on the options page brought the setting back.
      Menu->Item(mpHints, 2).Visible = true;
      Menu->Item(mpHints, 3).Visible = false;
    } else {
      StartGame();
    }
  } else if (Item == 3) {
    Menu->SetPage(mpTutorial);
    GameState = gsTutorial;
    Tutorial = std::make_unique<TTutorial>(D3DDevice);
    Menu->Item(mpTutorial, 2).Visible = true;
    Menu->Item(mpTutorial, 3).Visible = false;
  }
}

void OptionsCommand(int Item, bool Enter) {
  if (!Enter) {
    Menu->SetPage(mpMain);  // changes stay in memory, unsaved
    return;
  }
  if (Item == 0) return;
  TOptions& o = *Options;
  switch (Item) {
    case OptAccept:
      o.Save();
      Menu->SetPage(mpMain);
      break;
    case OptCancel:
      o.Load();
      Menu->SetPage(mpMain);
      break;
    case OptSoundDown:
      if (o.SoundVol > 0) o.SoundVol--;
      break;
    case OptSoundUp:
      if (o.SoundVol < 9) o.SoundVol++;
      break;
    case OptMusicDown:
      if (o.MusicVol > 0) o.MusicVol--;
      break;
    case OptMusicUp:
      if (o.MusicVol < 9) o.MusicVol++;
      break;
    default:
      break;
  }
  UpdateVolumeBars();
  ApplyVolumes();
  // Skin arrows cycle 1 -> 5 -> 1; items 15..19 show the skin numbers.
  int skin = CurrentSkin();
  if (Item == OptSkinPrev) {
    const int prev = (skin == 1) ? SkinCount : skin - 1;
    Menu->SwapItems(static_cast<std::int16_t>(skin + OptSkinFirst - 1),
                    static_cast<std::int16_t>(prev + OptSkinFirst - 1));
    skin = prev;
  } else if (Item == OptSkinNext) {
    const int next = (skin == SkinCount) ? 1 : skin + 1;
    Menu->SwapItems(static_cast<std::int16_t>(skin + OptSkinFirst - 1),
                    static_cast<std::int16_t>(next + OptSkinFirst - 1));
    skin = next;
  }
  Menu->Page(mpOptions).Selected = Item;
  o.Texture = static_cast<std::uint8_t>(skin);
}

void PauseCommand(int Item) {
  if (Item == 2) {
    // Quit only once the game is on disk: a save that fails leaves the player
    // in the paused game, told why, with the old save as it was.
    try {
      Game->SaveGame();
    } catch (const std::exception& e) {
      try {
        DebugLog(false, std::string(" Saving the game failed: ") + e.what());
      } catch (const std::exception&) {
        // the log may sit in the same unwritable folder; the box still tells
      }
      ShowErrorMessage(GameNotSavedText(e.what()) + "\n\nThe game goes on, paused.");
      return;
    }
    replay::EndRecording(replay::TEndReason::SavedAndQuit);
    BackToMainMenu();
  } else if (Item == 3) {
    Game->EndPhase = epPlaying;
    Menu->SetPage(mpPlaying);
  }
}

void HiScoresCommand(int Item, bool Enter) {
  if (!Enter || Item == 1) {
    // Every way out keeps a new entry, even one whose name was never
    // confirmed; an unchanged table is not rewritten.
    HiScores->Editing = false;
    HiScores->SaveScores();
    GameState = gsMenu;
    Menu->SetPage(mpMain);
  } else if (Item == 2 && !HiScores->Editing) {
    HiScores->ShownTable = 2;
    Menu->SwapItems(2, 3);
  } else if (Item == 3 && !HiScores->Editing) {
    HiScores->ShownTable = 1;
    Menu->SwapItems(3, 2);
  }
}

// Moves a save that could not be loaded out of the way, to "<name>.damaged"
// beside it (replacing an older one), so that it is not offered again but the
// player still has it. Returns where it went, empty when it could not move.
std::string SetDamagedSaveAside(int Mode) {
  const std::string path = ResolvePath(SaveFileNames[static_cast<std::size_t>(Mode == 2 ? 2 : 1)]);
  const std::string kept = path + ".damaged";
  std::error_code ec;
  std::filesystem::rename(path, kept, ec);
  if (ec) {
    DebugLog(false, " Cannot keep \"" + path + "\" as \"" + kept + "\": " + ec.message());
    return {};
  }
  return kept;
}

// Says which file could not be read, why, and where it is now.
void ReportDamagedSave(int Mode, const EInOutError& Error) {
  const std::string kept = SetDamagedSaveAside(Mode);
  std::string text = std::string(Error.what()) + "\n\nThis saved game cannot be continued; a new game starts.";
  if (!kept.empty()) text += " The damaged file is kept as \"" + kept + "\".";
  DebugLog(false, std::string(" ") + Error.what());
  ShowErrorMessage(text);
}

// The saved game of Mode is whole: only then is it offered. A damaged one is
// kept aside with its message now, and the fresh game is played instead.
bool SavedGameFit(int Mode) {
  try {
    return TGame::CheckSavedGame(Mode);
  } catch (const EInOutError& e) {
    ReportDamagedSave(Mode, e);
    return false;
  }
}

void SavedGameCommand(int Item) {
  if (Item == 2) {
    Game->EndPhase = epPlaying;
    try {
      ReplayLoadGame(Game->Mode);
    } catch (const EInOutError& e) {
      // Changed since it was offered. A rejected file changes nothing: the
      // fresh game StartGame set up is played instead.
      ReportDamagedSave(Game->Mode, e);
      Game->EndPhase = epPlaying;
    }
    Menu->SetPage(mpPlaying);
  } else if (Item == 3) {
    Game->EndPhase = epPlaying;
    Menu->SetPage(mpPlaying);
  }
}

void TutorialCommand(int Item, bool Enter) {
  if (!Enter || Item == 1) {
    GameState = gsMenu;
    Menu->SetPage(mpChooseGame);
    Tutorial.reset();
    return;
  }
  if ((Item == 2 || Item == 3) && Tutorial) {
    Tutorial->ShowPicture(Item == 2 ? 1 : -1);
    Menu->Item(mpTutorial, 2).Visible = Tutorial->Picture != TutorialPictures;
    Menu->Item(mpTutorial, 3).Visible = Tutorial->Picture != 1;
  }
}

void HintsCommand(int Item) {
  switch (Item) {
    case 1:
      StartGame();
      break;
    case 2:
      Options->Help = false;
      Menu->SwapItems(2, 3);
      break;
    case 3:
      Options->Help = true;
      Menu->SwapItems(3, 2);
      break;
    default:
      break;
  }
}
}  // namespace

void LoadMenu() {
  TTextReader reader(MenuFileName);
  reader.NextLine();
  const std::string background = ReadName(reader);
  reader.NextLine();
  const std::int64_t pages = reader.ReadInt();
  if (pages < 1 || pages > MaxMenuPages)
    reader.FailField("the page count must be 1 to " + std::to_string(MaxMenuPages));

  MenuBackgroundFile = background;
  LoadTexture(D3DDevice, background, MenuBackground);
  LoadingProgress(2);

  Menu = std::make_unique<TD3DMenu>();
  Menu->SetPageCount(static_cast<std::uint16_t>(pages));
  for (int page = 1; page <= pages; ++page) {
    switch (page) {
      case 2: LoadingProgress(4); break;
      case 3: LoadingProgress(5); break;
      case 5: LoadingProgress(7); break;
      case 6: LoadingProgress(8); break;
      case 7: LoadingProgress(9); break;
      case 8: LoadingProgress(10); break;
      default: break;
    }
    reader.NextLine();  // the page's heading
    const int items = ReadCount(reader, MaxMenuItems, "the item count");
    for (int item = 1; item <= items; ++item) {
      const std::string normal = ReadName(reader);
      const std::string highlight = ReadName(reader);
      const D3DVECTOR position = ReadVector(reader);
      const D3DVECTOR scale = ReadVector(reader);
      const D3DVECTOR rotation = ReadVector(reader);
      const bool visible = reader.ReadInt() == 1;
      const bool selectable = reader.ReadInt() == 1;
      Menu->AddMenuItem(D3DDevice, page, normal, highlight, position, scale, rotation, visible, selectable);
      if (page == 1 && item == 2) LoadingProgress(3);
      if (page == 3 && item == 10) LoadingProgress(6);
    }
  }
  Menu->SetPage(mpMain);
}

void EnterMenu() {
  GameState = gsMenu;
  CursorMode = 1;
  Menu->SetPage(mpMain);
  Options->ResetCamera();
  StopMusic();
  PlayMusic(0, 0);
  LastMenuTrack = 1;
}

void DrawMenu() {
  if (!Menu) return;
  ShowPauseButton();
  if (GameState == gsTutorial && Tutorial) Tutorial->Draw();
  Menu->Draw(D3DDevice);
}

void MenuCommand(std::uint16_t Key) {
  if (!Menu) return;
  ShowPauseButton();
  const TMenuKeyResult r = Menu->KeyDown(Key);
  if (r.Action != maEnter && r.Action != maBack) return;
  const bool enter = r.Action == maEnter;
  switch (r.Page) {
    case mpMain:
      if (enter) MainMenuCommand(r.Item);
      break;
    case mpChooseGame:
      ChooseGameCommand(r.Item, enter);
      break;
    case mpOptions:
      OptionsCommand(r.Item, enter);
      break;
    case mpPlaying:
      if (enter && r.Item == PauseButton && PauseButtonLive()) {
        CursorMode = 2;
        Game->EndPhase = epPaused;
        Menu->SetPage(mpPause);
      }
      break;
    case mpPause:
      if (enter) PauseCommand(r.Item);
      break;
    case mpHiScores:
      HiScoresCommand(r.Item, enter);
      break;
    case mpSavedGame:
      if (enter) SavedGameCommand(r.Item);
      break;
    case mpTutorial:
      TutorialCommand(r.Item, enter);
      break;
    case mpHints:
      // Escape (and so a right click) does nothing here: the page is left
      // only by starting the game.
      if (enter) HintsCommand(r.Item);
      break;
    default:
      break;
  }
}

void MenuPointAt(float X, float Y) {
  ShowPauseButton();
  HighlightOptionRow(X, Y);
  if (Menu) Menu->MouseMove(X, Y);
}

void MenuMouseDown(float X, float Y) {
  if (!Menu) return;
  // The keys may have chosen another item since the pointer last moved: a
  // click belongs to the item under the pointer, or to none.
  MenuPointAt(X, Y);
  Menu->Pressed = true;
}

void MenuMouseUp(int Button, float X, float Y) {
  if (!Menu) return;
  MenuPointAt(X, Y);
  if (Menu->CurrentPage == mpOptions) {
    if (-2.6f <= X && X <= -1.0f && 1.801f <= Y && Y <= 2.201f) Options->SoundVol = VolumeAt(X);
    PoseBar(OptSoundBar, Options->SoundVol, 1.5f / 9.0f, -1.0f);
    if (-2.6f <= X && X <= -1.0f && -0.00525f <= Y && Y <= 0.39475f) Options->MusicVol = VolumeAt(X);
    PoseBar(OptMusicBar, Options->MusicVol, 1.5f / 9.0f, -1.0f);
    ApplyVolumes();
  }
  MenuCommand(Button == 0 ? VK_RETURN : VK_ESCAPE);
  Menu->Pressed = false;
}

void HighlightOptionRow(float /*X*/, float /*Y*/) {
  if (!Menu || Menu->CurrentPage != mpOptions) return;
  struct TRow {
    int Down, Label, Up;
  };
  static constexpr TRow Rows[] = {{OptSoundDown, OptSoundLabel, OptSoundUp},
                                  {OptMusicDown, OptMusicLabel, OptMusicUp},
                                  {OptSkinPrev, OptSkinLabel, OptSkinNext}};
  TMenuItem& standIn = Menu->Item(mpOptions, OptRowStandIn);
  standIn.Visible = false;
  const int selected = Menu->Page(mpOptions).Selected;
  for (const TRow& row : Rows) {
    TMenuItem& label = Menu->Item(mpOptions, row.Label);
    if (selected == row.Down || selected == row.Up) {
      // Item 3 takes the label's place in its highlighted look.
      standIn.PressedPose = label.PressedPose;
      standIn.HomePose = label.HomePose;
      standIn.HighlightSprite = label.HighlightSprite;
      standIn.NormalSprite = label.HighlightSprite;
      standIn.Selectable = label.Selectable;
      label.Visible = false;
      standIn.Visible = true;
    } else {
      label.Visible = true;
    }
  }
}

void UpdateVolumeBars() {
  if (!Menu || Menu->CurrentPage != mpOptions) return;
  PoseBar(OptSoundBar, Options->SoundVol, 1.4f / 9.0f, -1.06f);
  PoseBar(OptMusicBar, Options->MusicVol, 1.4f / 9.0f, -1.06f);
}

std::string SkinTextureName(int Skin, int Number) {
  // These four look the same in every skin.
  const bool shared = Number == 7 || Number == 8 || Number == 9 || Number == 17;
  return "Images\\Skin" + std::to_string(shared ? 1 : Skin) + "\\tex" + std::to_string(Number) + ".tga";
}

void LoadSkinTextures(int Skin) {
  for (int n = 0; n < BoardTextureCount; ++n)
    LoadTexture(D3DDevice, SkinTextureName(Skin, n), CubeTextures[static_cast<std::size_t>(n)]);
}

void StartGame() {
  Game->Level = 1;
  Game->ClearBoard();
  Game->Levels[1].Progress = 0;
  if (Game->ScoreLine) {
    Game->ScoreLine->Fill = 0;
    Game->ScoreLine->StartFill = 0;
  }
  if (!Game->ResourcesLoaded) Game->LoadResources();
  LoadSkinTextures(CurrentSkin());
  ReplayNewGame();  // seeds the generator; recorded when recording is on (replay/)
  GameState = gsGame;
  const int mode = Game->Mode == 2 ? 2 : 1;
  if (FileExists(SaveFileNames[static_cast<std::size_t>(mode)]) && SavedGameFit(mode)) {
    Game->EndPhase = epPaused;
    Menu->SetPage(mpSavedGame);
  } else {
    Game->EndPhase = epPlaying;
    Menu->SetPage(mpPlaying);
  }
}
