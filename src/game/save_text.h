// Loading a saved game from a file's content already read (a replay keeps
// the content of the save it continued), as TGame::LoadGame does from the file.
#pragma once

class TGame;
class TTextReader;

// File null: there is no saved game (a fresh game of AMode). A damaged
// content raises EInOutError naming File's name and line; the game is then
// left as it was.
void LoadGameText(TGame& G, int AMode, const TTextReader* File);
