// The menu's command table row by row: after each command the page shown,
// the game state, the visible and selected items, the settings and the game
// fields it touches.
#include <gtest/gtest.h>

#include "../../tools/autoplay/ledger.h"
#include "menu_fixture.h"

namespace {

using menutest::TFrontEndFixture;

class MenuCommandTest : public TFrontEndFixture {};

// ---- Loading and entering -------------------------------------------------------

TEST_F(MenuCommandTest, EnteringTheMenuShowsPage1WithItem1SelectedAndMenuMusic) {
  GameState = gsLoading;
  CursorMode = 3;
  Options->CameraEye = {1, 2, 3};
  Menu->SetPage(5);
  EnterMenu();
  EXPECT_EQ(GameState, gsMenu);
  EXPECT_EQ(CursorMode, 1);
  EXPECT_EQ(Page(), 1);
  EXPECT_EQ(Selected(), 1);
  EXPECT_FLOAT_EQ(Options->CameraEye.z, 12.7f);
  EXPECT_EQ(Audio(), (std::vector<std::string>{"StopMusic(-1)", "PlayMusic(0)"}));
  EXPECT_EQ(LastMenuTrack, 1);
}

// ---- Page 1: main menu --------------------------------------------------------------

TEST_F(MenuCommandTest, MainMenuPlayOpensTheChoiceOfGame) {
  Choose(1);
  EXPECT_EQ(Page(), 2);
  EXPECT_EQ(Selected(), 1);
  EXPECT_EQ(GameState, gsMenu);
  EXPECT_TRUE(Played("PlaySound(21)"));
}

TEST_F(MenuCommandTest, MainMenuOptionsShowsTheCurrentSkinNumberAndBars) {
  Options->Texture = 3;
  Options->SoundVol = 9;
  Options->MusicVol = 0;
  Choose(2);
  EXPECT_EQ(Page(), 3);
  for (int i = 15; i <= 19; ++i) EXPECT_EQ(Visible(3, i), i == 17) << i;
  EXPECT_EQ(Selected(), 17);
  const TMenuPose& sound = Menu->Item(3, 7).HomePose;
  EXPECT_FLOAT_EQ(sound.Scale.x, 1.4f);
  EXPECT_FLOAT_EQ(sound.Position.x + sound.Scale.x / 2, -1.06f);  // right edge stays put
  EXPECT_FLOAT_EQ(Menu->Item(3, 11).HomePose.Scale.x, 0);
  EXPECT_FLOAT_EQ(Menu->Item(3, 11).HomePose.Position.x, -1.06f);
}

TEST_F(MenuCommandTest, MainMenuHighScoresShowsTable1WithItsTab) {
  HiScores->Editing = true;
  HiScores->ShownTable = 2;
  Choose(3);
  EXPECT_EQ(GameState, gsHiScores);
  EXPECT_FALSE(HiScores->Editing);
  EXPECT_EQ(HiScores->ShownTable, 1);
  EXPECT_EQ(Page(), 6);
  EXPECT_TRUE(Visible(6, 2));
  EXPECT_FALSE(Visible(6, 3));
  EXPECT_EQ(Selected(), 2);
}

TEST_F(MenuCommandTest, MainMenuIgnoresEscape) {
  Escape();
  EXPECT_EQ(Page(), 1);
  EXPECT_EQ(GameState, gsMenu);
}

// ---- Page 2: choice of game -----------------------------------------------------------

TEST_F(MenuCommandTest, ChoosingAModeWithoutHintsStartsTheGame) {
  Choose(1);
  AudioCalls.clear();
  Choose(2);
  EXPECT_EQ(Game->Mode, 2);
  EXPECT_EQ(GameState, gsGame);
  EXPECT_EQ(Page(), 4);
  EXPECT_EQ(Game->EndPhase, epPlaying);
  EXPECT_EQ(Game->Level, 1);
  EXPECT_TRUE(Game->ResourcesLoaded);
  ASSERT_GE(Audio().size(), 3u);
  EXPECT_EQ(Audio()[1], "StopMusic(-1)");
  EXPECT_EQ(Audio()[2], "PlayMusic(3)");  // the mode's theme
}

TEST_F(MenuCommandTest, ChoosingAModeWithHintsShowsTheHintsPageFirst) {
  Options->Help = true;
  Choose(1);
  Choose(1);
  EXPECT_EQ(Game->Mode, 1);
  EXPECT_EQ(GameState, gsHelp);
  EXPECT_EQ(Page(), 10);
  EXPECT_TRUE(Visible(10, 2));
  EXPECT_FALSE(Visible(10, 3));
  EXPECT_TRUE(Played("PlayMusic(2)"));
}

TEST_F(MenuCommandTest, BackAndEscapeOnTheChoiceOfGameReturnToPage1) {
  Choose(1);
  Choose(4);
  EXPECT_EQ(Page(), 1);
  Choose(1);
  Escape();
  EXPECT_EQ(Page(), 1);
  EXPECT_EQ(GameState, gsMenu);
}

// ---- Page 3: options ----------------------------------------------------------------------

TEST_F(MenuCommandTest, VolumeArrowsStayWithin0To9AndKeepTheArrowSelected) {
  Choose(2);
  Options->SoundVol = 5;
  Options->MusicVol = 5;
  for (int i = 0; i < 12; ++i) Choose(4);
  EXPECT_EQ(Options->SoundVol, 0);
  EXPECT_EQ(Selected(), 4);
  for (int i = 0; i < 12; ++i) Choose(6);
  EXPECT_EQ(Options->SoundVol, 9);
  for (int i = 0; i < 12; ++i) Choose(10);
  EXPECT_EQ(Options->MusicVol, 9);
  Choose(8);
  EXPECT_EQ(Options->MusicVol, 8);
  EXPECT_EQ(Selected(), 8);
  EXPECT_FLOAT_EQ(Menu->Item(3, 11).HomePose.Scale.x, 8 * 1.4f / 9);
  EXPECT_FLOAT_EQ(Menu->Item(3, 7).HomePose.Scale.x, 9 * 1.4f / 9);
  ASSERT_NE(Menu->Item(3, 11).NormalSprite, nullptr);
  EXPECT_FLOAT_EQ(Menu->Item(3, 11).NormalSprite->Scale.x, 8 * 1.4f / 9);
}

TEST_F(MenuCommandTest, SkinArrowsCycleThroughFiveWithExactlyOneNumberShown) {
  Choose(2);
  Options->Texture = 1;
  Choose(12);  // previous of 1 is 5
  EXPECT_EQ(Options->Texture, 5);
  EXPECT_TRUE(Visible(3, 19));
  EXPECT_FALSE(Visible(3, 15));
  EXPECT_EQ(Selected(), 12);
  Choose(14);  // next of 5 is 1
  EXPECT_EQ(Options->Texture, 1);
  for (int expected : {2, 3, 4, 5, 1}) {
    Choose(14);
    EXPECT_EQ(Options->Texture, expected);
    int shown = 0;
    for (int i = 15; i <= 19; ++i) shown += Visible(3, i) ? i - 14 : 0;
    EXPECT_EQ(shown, expected);  // one number visible, the right one
  }
  Choose(12);
  EXPECT_EQ(Options->Texture, 5);
}

TEST_F(MenuCommandTest, AcceptSavesCancelRestoresAndEscapeKeepsInMemory) {
  Choose(2);
  Options->SoundVol = 3;
  Choose(1);  // accept
  EXPECT_EQ(Page(), 1);
  EXPECT_TRUE(std::filesystem::exists(folder.Root / "config" / "voxarine" / "settings.reg"));

  Choose(2);
  Choose(6);
  Choose(14);
  EXPECT_EQ(Options->SoundVol, 4);
  EXPECT_EQ(Options->Texture, 2);
  Choose(2);  // cancel: back to what was saved
  EXPECT_EQ(Page(), 1);
  EXPECT_EQ(Options->SoundVol, 3);
  EXPECT_EQ(Options->Texture, 1);

  Choose(2);
  Choose(6);
  Escape();  // leaves, change kept unsaved
  EXPECT_EQ(Page(), 1);
  EXPECT_EQ(Options->SoundVol, 4);
  TOptions fromDisk;
  fromDisk.Load();
  EXPECT_EQ(fromDisk.SoundVol, 3);
}

TEST_F(MenuCommandTest, OpeningOptionsAfterCancelShowsTheRestoredSkin) {
  Choose(2);
  Choose(1);  // save skin 1
  Choose(2);
  Choose(14);
  Choose(14);  // skin 3, unsaved
  Choose(2);   // cancel
  Choose(2);
  for (int i = 15; i <= 19; ++i) EXPECT_EQ(Visible(3, i), i == 15) << i;
}

// ---- Mouse on the options page ------------------------------------------------------------

TEST_F(MenuCommandTest, ClickingTheBarsSetsTheVolumeFromThePointer) {
  Choose(2);
  ClickAt(-2.6f, 2.0f);
  EXPECT_EQ(Options->SoundVol, 9);
  ClickAt(-1.0f, 2.0f);
  EXPECT_EQ(Options->SoundVol, 0);
  ClickAt(-1.76f, 2.0f);  // (0.75 * 6) = 4.5 -> 4
  EXPECT_EQ(Options->SoundVol, 4);
  // The bar drawn after a click: 1.5 / 9 per step, right edge at -1.0.
  const TMenuPose& bar = Menu->Item(3, 7).HomePose;
  EXPECT_FLOAT_EQ(bar.Scale.x, 4 * 1.5f / 9);
  EXPECT_FLOAT_EQ(bar.Position.x + bar.Scale.x / 2, -1.0f);
  Options->MusicVol = 2;
  ClickAt(-2.6f, 0.2f);
  EXPECT_EQ(Options->MusicVol, 9);
  EXPECT_EQ(Options->SoundVol, 4);
  ClickAt(-2.7f, 0.2f);  // beside the bar: nothing changes
  EXPECT_EQ(Options->MusicVol, 9);
  EXPECT_EQ(Page(), 3);
  EXPECT_FALSE(Menu->Pressed);
}

TEST_F(MenuCommandTest, ClickingAnItemChoosesItAndRightClickGoesBack) {
  Click(2);  // options
  EXPECT_EQ(Page(), 3);
  Options->SoundVol = 1;
  Click(6);  // sound up
  EXPECT_EQ(Options->SoundVol, 2);
  ClickAt(5, 5, 1);  // right click anywhere
  EXPECT_EQ(Page(), 1);
}

TEST_F(MenuCommandTest, RowLabelFollowsThePointerOnTheOptionsPage) {
  Choose(2);
  const D3DVECTOR down = Centre(4);
  Menu->MouseMove(down.x, down.y);  // select the sound arrow
  HighlightOptionRow(down.x, down.y);
  EXPECT_TRUE(Visible(3, 3));
  EXPECT_FALSE(Visible(3, 5));
  EXPECT_TRUE(Visible(3, 9));
  EXPECT_TRUE(Visible(3, 13));
  EXPECT_EQ(Menu->Item(3, 3).NormalSprite, Menu->Item(3, 5).HighlightSprite);
  EXPECT_FLOAT_EQ(Menu->Item(3, 3).HomePose.Position.y, Menu->Item(3, 5).HomePose.Position.y);

  const D3DVECTOR next = Centre(14);
  Menu->MouseMove(next.x, next.y);
  HighlightOptionRow(next.x, next.y);
  EXPECT_TRUE(Visible(3, 5));
  EXPECT_FALSE(Visible(3, 13));
  EXPECT_EQ(Menu->Item(3, 3).NormalSprite, Menu->Item(3, 13).HighlightSprite);

  Menu->MouseMove(20, 20);
  HighlightOptionRow(20, 20);
  EXPECT_FALSE(Visible(3, 3));
  EXPECT_TRUE(Visible(3, 13));
}

// ---- Pages 4, 5, 7: during play -----------------------------------------------------------

TEST_F(MenuCommandTest, PauseButtonPausesAndQuitSavesTheGame) {
  Choose(1);
  Choose(1);
  ASSERT_EQ(Page(), 4);
  Choose(1);
  EXPECT_EQ(CursorMode, 2);
  EXPECT_EQ(Game->EndPhase, epPaused);
  EXPECT_EQ(Page(), 5);
  Choose(3);  // continue
  EXPECT_EQ(Game->EndPhase, epPlaying);
  EXPECT_EQ(Page(), 4);
  Choose(1);
  AudioCalls.clear();
  Choose(2);  // quit
  EXPECT_EQ(GameState, gsMenu);
  EXPECT_EQ(Page(), 1);
  EXPECT_EQ(LastMenuTrack, 1);
  EXPECT_EQ(Audio(), (std::vector<std::string>{"PlaySound(21)", "StopMusic(-1)", "PlayMusic(0)"}));
  EXPECT_TRUE(std::filesystem::exists(SaveFile(1)));
  EXPECT_FALSE(std::filesystem::exists(SaveFile(2)));
}

TEST_F(MenuCommandTest, RightClickDuringPlayOrPauseDoesNothing) {
  Choose(1);
  Choose(1);
  Escape();
  EXPECT_EQ(Page(), 4);
  Choose(1);
  Escape();
  EXPECT_EQ(Page(), 5);
  EXPECT_EQ(Game->EndPhase, epPaused);
}

TEST_F(MenuCommandTest, ASavedGameIsOfferedAndCanBeContinued) {
  Choose(1);
  Choose(2);
  Game->Score = 4321;
  Choose(1);
  Choose(2);  // quit: Save2.dat
  ASSERT_TRUE(std::filesystem::exists(SaveFile(2)));
  Game->Score = 0;

  Choose(1);
  Choose(2);
  EXPECT_EQ(GameState, gsGame);
  EXPECT_EQ(Page(), 7);
  EXPECT_EQ(Game->EndPhase, epPaused);
  Choose(2);  // continue the saved game
  EXPECT_EQ(Page(), 4);
  EXPECT_EQ(Game->EndPhase, epPlaying);
  EXPECT_EQ(Game->Mode, 2);
  EXPECT_DOUBLE_EQ(Game->Score, 4321);
}

TEST_F(MenuCommandTest, StartingAfreshIgnoresTheSavedGameButKeepsItsFile) {
  Choose(1);
  Choose(2);
  Game->Score = 99;
  Choose(1);
  Choose(2);
  const std::string saved = menutest::ReadBytes(SaveFile(2));
  Choose(1);
  Choose(2);
  ASSERT_EQ(Page(), 7);
  Choose(3);
  EXPECT_EQ(Page(), 4);
  EXPECT_EQ(Game->EndPhase, epPlaying);
  EXPECT_DOUBLE_EQ(Game->Score, 0);
  EXPECT_EQ(menutest::ReadBytes(SaveFile(2)), saved);
}

// A save that cannot be loaded is found before it is offered: one message
// naming it and its new name, no offer, the fresh game StartGame began, the
// file kept beside as "Save1.dat.damaged" (replacing an older one) and never
// offered again.
TEST_F(MenuCommandTest, ADamagedSaveIsKeptAsideAndNeverOffered) {
  const std::string damaged = "date\r\n1\r\nbanana\r\n";
  const std::filesystem::path kept = folder.Game() / "data" / "Save1.dat.damaged";
  menutest::WriteBytes(SaveFile(1), damaged);
  menutest::WriteBytes(kept, "an older damaged save");
  Choose(1);
  AudioCalls.clear();
  Choose(1);
  EXPECT_EQ(Page(), 4) << "no offer";
  EXPECT_EQ(GameState, gsGame);
  EXPECT_EQ(Game->EndPhase, epPlaying);
  EXPECT_EQ(Game->Mode, 1);
  EXPECT_EQ(Game->Level, 1);
  EXPECT_GT(Game->CubeCount, 0);
  const std::vector<std::string> audio = Audio();
  EXPECT_EQ(std::count(audio.begin(), audio.end(), "PlaySound(0)"), 1) << "one NewLevel sound";
  ASSERT_EQ(MessageBoxCalls.size(), 1u);
  EXPECT_NE(MessageBoxCalls[0].Text.find("Save1.dat\""), std::string::npos) << MessageBoxCalls[0].Text;
  EXPECT_NE(MessageBoxCalls[0].Text.find(kept.string()), std::string::npos) << MessageBoxCalls[0].Text;
  EXPECT_FALSE(std::filesystem::exists(SaveFile(1)));
  EXPECT_EQ(menutest::ReadBytes(kept), damaged);

  // The next game of that mode starts without the offer or another message.
  Game->Mode = 1;
  StartGame();
  EXPECT_EQ(Page(), 4);
  EXPECT_EQ(Game->EndPhase, epPlaying);
  EXPECT_EQ(MessageBoxCalls.size(), 1u);
}

// A save damaged after it was offered is still caught on Continue: the fresh
// game goes on, the file is kept aside with its message.
TEST_F(MenuCommandTest, ASaveDamagedAfterTheOfferIsKeptAsideOnContinue) {
  Choose(1);
  Choose(1);
  Choose(1);
  Choose(2);  // quit: Save1.dat
  ASSERT_TRUE(std::filesystem::exists(SaveFile(1)));
  Choose(1);
  Choose(1);
  ASSERT_EQ(Page(), 7);
  const int cubes = Game->CubeCount;
  menutest::WriteBytes(SaveFile(1), "date\r\n1\r\nbanana\r\n");
  Choose(2);
  EXPECT_EQ(Page(), 4);
  EXPECT_EQ(Game->EndPhase, epPlaying);
  EXPECT_EQ(Game->CubeCount, cubes) << "the board of the one NewGame";
  ASSERT_EQ(MessageBoxCalls.size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(folder.Game() / "data" / "Save1.dat.damaged"));
  EXPECT_FALSE(std::filesystem::exists(SaveFile(1)));
}

// Save and quit that cannot write: the player stays in the paused game, told
// that it was not saved and why; nothing is lost, and quitting works once
// the save can be written.
TEST_F(MenuCommandTest, AFailedSaveAndQuitKeepsThePausedGame) {
  Choose(1);
  Choose(1);
  Game->Score = 777;
  Choose(1);  // pause
  ASSERT_EQ(Page(), 5);
  // A folder where the save should be: writing it fails as a read-only folder would.
  std::filesystem::create_directories(SaveFile(1));
  Choose(2);
  EXPECT_EQ(GameState, gsGame);
  EXPECT_EQ(Page(), 5);
  EXPECT_EQ(Game->EndPhase, epPaused);
  EXPECT_DOUBLE_EQ(Game->Score, 777);
  ASSERT_EQ(MessageBoxCalls.size(), 1u);
  const std::string& text = MessageBoxCalls[0].Text;
  EXPECT_NE(text.find("not saved"), std::string::npos) << text;
  EXPECT_NE(text.find("Save1.dat"), std::string::npos) << text;

  std::filesystem::remove(SaveFile(1));
  Choose(2);
  EXPECT_EQ(GameState, gsMenu);
  EXPECT_EQ(Page(), 1);
  EXPECT_TRUE(std::filesystem::is_regular_file(SaveFile(1)));
}

// ---- Page 6: high score tables --------------------------------------------------------------

TEST_F(MenuCommandTest, HighScoreTabsSwitchTablesUnlessANameIsBeingTyped) {
  Choose(3);
  Choose(2);
  EXPECT_EQ(HiScores->ShownTable, 2);
  EXPECT_FALSE(Visible(6, 2));
  EXPECT_TRUE(Visible(6, 3));
  EXPECT_EQ(Selected(), 3);
  Choose(3);
  EXPECT_EQ(HiScores->ShownTable, 1);
  EXPECT_TRUE(Visible(6, 2));
  HiScores->Editing = true;
  Choose(2);
  EXPECT_EQ(HiScores->ShownTable, 1);
  EXPECT_TRUE(Visible(6, 2));
}

// Back and Escape (a right click) both leave the table; neither rewrites an
// unchanged table, both keep a new entry, even one whose name is half typed.
TEST_F(MenuCommandTest, EveryWayOutOfTheTableKeepsANewEntry) {
  const std::filesystem::path file = folder.Game() / "data" / "Hiscores.dat";
  Choose(3);
  Escape();
  EXPECT_EQ(GameState, gsMenu);
  EXPECT_EQ(Page(), 1);
  Choose(3);
  Choose(1);
  EXPECT_EQ(GameState, gsMenu);
  EXPECT_EQ(Page(), 1);
  EXPECT_FALSE(std::filesystem::exists(file)) << "nothing changed, nothing written";

  for (const bool rightClick : {true, false}) {
    SCOPED_TRACE(rightClick ? "right click" : "Back");
    // As after a lost game: the table of mode 1 with a new entry being named.
    GameState = gsHiScores;
    Menu->SetPage(mpHiScores);
    HiScores->ShownTable = 1;
    HiScores->EditRow = HiScores->InsertScore(rightClick ? 5000 : 6000);
    HiScores->Editing = true;
    HiScores->EditKey('A');
    if (rightClick)
      ClickAt(0, 0, 1);
    else
      Choose(1);
    EXPECT_EQ(GameState, gsMenu);
    EXPECT_EQ(Page(), 1);
    EXPECT_FALSE(HiScores->Editing);
    THiScores onDisk;
    EXPECT_EQ(onDisk.Entry(1, 1).Score, rightClick ? 5000 : 6000);
    EXPECT_EQ(onDisk.Entry(1, 1).Name(), "A");
  }
}

// ---- Page 9: tutorial -----------------------------------------------------------------------------

class TutorialMenuTest : public MenuCommandTest {
 protected:
  void SetUp() override {
    MenuCommandTest::SetUp();
    for (int n = 1; n <= 9; ++n)
      menutest::WriteBmp(folder.Game() / "Images" / "Tutorial" / ("tut" + std::to_string(n) + ".bmp"));
  }
};

TEST_F(TutorialMenuTest, StepsMatchThePictureAndReopeningStartsAtPicture1) {
  Choose(1);
  Choose(3);
  EXPECT_EQ(GameState, gsTutorial);
  EXPECT_EQ(Page(), 9);
  ASSERT_NE(Tutorial, nullptr);
  EXPECT_EQ(Tutorial->Picture, 1);
  EXPECT_TRUE(Visible(9, 2));
  EXPECT_FALSE(Visible(9, 3));
  Choose(2);
  EXPECT_EQ(Tutorial->Picture, 2);
  EXPECT_TRUE(Visible(9, 3));
  for (int i = 0; i < 10; ++i) Choose(2);
  EXPECT_EQ(Tutorial->Picture, 9);
  EXPECT_FALSE(Visible(9, 2));
  EXPECT_TRUE(Visible(9, 3));
  Choose(3);
  EXPECT_EQ(Tutorial->Picture, 8);
  EXPECT_TRUE(Visible(9, 2));
  for (int i = 0; i < 8; ++i) Choose(2);
  Choose(1);  // close at picture 9
  EXPECT_EQ(GameState, gsMenu);
  EXPECT_EQ(Page(), 2);
  EXPECT_EQ(Tutorial, nullptr);
  Choose(3);
  EXPECT_EQ(Tutorial->Picture, 1);
  EXPECT_TRUE(Visible(9, 2));
  EXPECT_FALSE(Visible(9, 3));
  Escape();
  EXPECT_EQ(Page(), 2);
  EXPECT_EQ(Tutorial, nullptr);
}

TEST_F(TutorialMenuTest, TheTutorialPictureIsDrawnBehindTheItems) {
  Choose(1);
  Choose(3);
  TRecordDevice* rec = AsRecordDevice(D3DDevice);
  rec->ClearLog();
  DrawMenu();
  ASSERT_GE(rec->DrawCount(), 2u);
  EXPECT_EQ(rec->Draws()[0].Texture, Tutorial->Background->Texture);
  EXPECT_FLOAT_EQ(rec->Draws()[0].World._11, 14.45f);
}

// ---- Page 10: hints before a game ---------------------------------------------------------------

TEST_F(MenuCommandTest, HintsSwitchTurnsTheHintsPageOffForTheNextGame) {
  Options->Help = true;
  Choose(1);
  Choose(1);
  ASSERT_EQ(Page(), 10);
  Choose(2);
  EXPECT_FALSE(Options->Help);
  EXPECT_FALSE(Visible(10, 2));
  EXPECT_TRUE(Visible(10, 3));
  EXPECT_EQ(Selected(), 3);
  Choose(3);
  EXPECT_TRUE(Options->Help);
  EXPECT_TRUE(Visible(10, 2));
  Choose(2);
  Choose(1);  // start
  EXPECT_EQ(GameState, gsGame);
  EXPECT_EQ(Page(), 4);
  Choose(1);
  Choose(2);  // quit to the menu
  Choose(1);
  Choose(1);
  EXPECT_EQ(GameState, gsGame);  // no hints page this time
  EXPECT_EQ(Page(), 7);          // the game just quit is offered
}

// Escape and a right click do nothing on the hints page: no page, state,
// music or setting changes; Enter on the first item still starts the game.
TEST_F(MenuCommandTest, EscapeOnTheHintsPageDoesNothing) {
  Options->Help = true;
  Choose(1);
  Choose(2);
  ASSERT_EQ(Page(), 10);
  ASSERT_EQ(GameState, gsHelp);
  for (const bool rightClick : {false, true}) {
    SCOPED_TRACE(rightClick ? "right click" : "Escape");
    AudioCalls.clear();
    if (rightClick)
      ClickAt(0, 0, 1);
    else
      Escape();
    EXPECT_EQ(Page(), 10);
    EXPECT_EQ(GameState, gsHelp);
    EXPECT_EQ(Game->Mode, 2);
    EXPECT_FALSE(Played("StopMusic(-1)")) << "the mode's music goes on";
    EXPECT_TRUE(Options->Help);
    EXPECT_TRUE(Visible(10, 2));
  }
  Choose(1);
  EXPECT_EQ(GameState, gsGame);
}

// ---- Starting a game -------------------------------------------------------------------------------

TEST_F(MenuCommandTest, SkinTexturesComeFromTheChosenSkinExceptTheSharedFour) {
  EXPECT_EQ(SkinTextureName(3, 12), "Images\\Skin3\\tex12.tga");
  for (int n : {7, 8, 9, 17}) EXPECT_EQ(SkinTextureName(4, n), "Images\\Skin1\\tex" + std::to_string(n) + ".tga");
  for (int n = 0; n <= 17; ++n) {
    menutest::WriteTga(folder.Game() / "Images" / "Skin1" / ("tex" + std::to_string(n) + ".tga"));
    if (n != 7 && n != 8 && n != 9 && n != 17)
      menutest::WriteTga(folder.Game() / "Images" / "Skin3" / ("tex" + std::to_string(n) + ".tga"));
  }
  Options->Texture = 3;
  Choose(1);
  Choose(1);
  for (int n = 0; n <= 17; ++n) EXPECT_NE(CubeTextures[static_cast<std::size_t>(n)], nullptr) << n;
}

TEST_F(MenuCommandTest, StartingAGameResetsLevelProgressAndTheScoreLine) {
  Choose(1);
  Choose(1);
  Game->Level = 7;
  Game->Levels[1].Progress = 55;
  ASSERT_NE(Game->ScoreLine, nullptr);
  Game->ScoreLine->Fill = 0.5f;
  Game->ScoreLine->StartFill = 0.5f;
  Game->Mode = 1;
  StartGame();
  EXPECT_EQ(Game->Level, 1);
  EXPECT_DOUBLE_EQ(Game->Levels[1].Progress, 0);
  EXPECT_FLOAT_EQ(Game->ScoreLine->Fill, 0);
  EXPECT_FLOAT_EQ(Game->ScoreLine->StartFill, 0);
}

// The pause button pauses play only. While a level's end runs (a normal
// level, a finale, a bonus level) it is hidden and neither a click nor Enter
// pauses: the ended level would go back to play and be completed, and paid,
// a second time.
TEST_F(MenuCommandTest, ThePauseButtonIsHiddenAndInertWhileALevelEnds) {
  for (const std::uint8_t kind : {0, 1, 2}) {
    SCOPED_TRACE("level kind " + std::to_string(kind));
    autoplay::TScoreLedger ledger;
    Game->ScoreObserver = &ledger;
    EnterMenu();
    Choose(1);
    Choose(1);
    ASSERT_EQ(Page(), 4);
    GameState = gsGame;
    TLevelInfo& L = Game->CurrentLevel();
    const std::uint8_t kindWas = L.Kind;
    L.Kind = kind;
    L.BonusBase = 300;
    if (kind == 2)
      Game->ClearBoard();  // no stone, no bomb left: counted and completed
    else
      L.Progress = L.Target[1];
    Game->Update(16);
    ASSERT_EQ(Game->EndPhase, epLevelDone);

    Click(1);
    Choose(1);
    EXPECT_FALSE(Visible(4, 1));
    EXPECT_EQ(Game->EndPhase, epLevelDone);
    EXPECT_EQ(Page(), 4);
    if (Page() == 5) Choose(3);  // where a pause was taken, play goes on

    const int level = Game->Level;
    for (int n = 0; n < 1000 && Game->Level == level; ++n) {
      Game->Update(16);
      ASSERT_EQ(ledger.Check(*Game), "");
    }
    EXPECT_EQ(Game->Level, level + 1);
    EXPECT_EQ(ledger.Count[skLevelEnd], 1);
    EXPECT_EQ(ledger.Count[skBonusLevel], kind == 2 ? 1 : 0);
    DrawMenu();
    EXPECT_TRUE(Visible(4, 1)) << "the next level is played: the button is back";
    Game->ScoreObserver = nullptr;
    Game->Levels[level].Kind = kindWas;
  }
}

// A mouse release during play goes to the menu: only the pause button reacts.
TEST_F(MenuCommandTest, ClickingThePauseButtonPausesAndClickingElsewhereDoesNot) {
  Choose(1);
  Choose(1);
  GameState = gsGame;
  ClickAt(-1.8f, -0.25f);  // on the board
  EXPECT_EQ(Page(), 4);
  EXPECT_EQ(Game->EndPhase, epPlaying);
  Click(1);
  EXPECT_EQ(Page(), 5);
  EXPECT_EQ(Game->EndPhase, epPaused);
  Click(2);  // quit
  EXPECT_EQ(GameState, gsMenu);
  EXPECT_TRUE(std::filesystem::exists(SaveFile(1)));
}

}  // namespace
