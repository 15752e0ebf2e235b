// High score tables: defaults, the 400-byte file, insertion, name entry and
// the 3D table drawn in the high score state.
#include "frontend/hiscores.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "audio/sounds.h"
#include "frontend/fonts.h"
#include "platform/win32/io_error.h"
#include "platform/win32/message_box.h"
#include "platform/win32/paths.h"
#include "platform/win32/virtual_keys.h"
#include "shell/debug_log.h"

std::unique_ptr<THiScores> HiScores;

namespace {
constexpr int SoundMenuKey = 23;

constexpr int TableFont = 1;
constexpr int TableSize = 9;
constexpr float TableZ = 0.1f;
constexpr int ColourRow = 4;
constexpr int ColourEditing = 5;
constexpr float NameX = 2.0f;

// The prompt is smaller than the rows and opens a gap under the edited row.
constexpr int PromptSize = 7;
constexpr float PromptGap = 0.4f;
constexpr float PromptBelowRow = 0.44f;

const char* const DamagedSuffix = ".damaged";

// Width of Text in font Font at Size, as DrawText3D would advance the pen.
float TextWidth(int Font, int Size, const std::string& Text) {
  const float s = static_cast<float>(Size) * 0.001f;
  float width = 0;
  for (const char c : Text) {
    const int g = GlyphNumber(c);
    if (g == GlyphSpace)
      width += SpaceAdvance * s;
    else if (g != GlyphSkipped && g <= Fonts[static_cast<std::size_t>(Font)].GlyphCount)
      width += static_cast<float>(Fonts[static_cast<std::size_t>(Font)].Widths[static_cast<std::size_t>(g)]) * s;
  }
  return width;
}

std::string ReadWholeFile(const std::string& Path, std::size_t Limit) {
  std::ifstream in(Path, std::ios::binary);
  if (!in) return {};
  std::string bytes(Limit, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) throw EInOutError(Path, "cannot read the high score file");
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

void PutInt32(std::string& Out, std::int32_t Value) {
  const auto u = static_cast<std::uint32_t>(Value);
  for (int b = 0; b < 4; ++b) Out.push_back(static_cast<char>((u >> (8 * b)) & 0xFF));
}

std::int32_t GetInt32(const char* In) {
  std::uint32_t u = 0;
  for (int b = 0; b < 4; ++b) u |= static_cast<std::uint32_t>(static_cast<unsigned char>(In[b])) << (8 * b);
  return static_cast<std::int32_t>(u);
}
}  // namespace

std::string THiScoreEntry::Name() const {
  return std::string(NameChars.data(), std::min<std::size_t>(NameLength, HiScoreNameMax));
}

void THiScoreEntry::SetName(const std::string& NewName) {
  const std::size_t n = std::min<std::size_t>(NewName.size(), HiScoreNameMax);
  std::memcpy(NameChars.data(), NewName.data(), n);
  NameLength = static_cast<std::uint8_t>(n);
}

THiScores::THiScores() {
  SetDefaults();
  LoadScores();
}

THiScoreEntry& THiScores::Entry(int Table, int Row) {
  if (Table < 1 || Table > 2 || Row < 1 || Row > HiScoreRows)
    throw std::out_of_range("high score entry " + std::to_string(Table) + "/" + std::to_string(Row));
  return Tables[static_cast<std::size_t>(Table)][static_cast<std::size_t>(Row)];
}

void THiScores::SetDefaults() {
  for (int t = 1; t <= 2; ++t) SetTableDefaults(t);
}

void THiScores::SetTableDefaults(int Table) {
  for (int i = 1; i <= HiScoreRows; ++i) {
    THiScoreEntry& e = Entry(Table, i);
    e = THiScoreEntry{};
    e.SetName("Anonymous");
    e.Score = 1100 - 100 * i;
  }
}

std::string THiScores::Image() const {
  std::string out;
  out.reserve(HiScoreFileBytes);
  for (int t = 1; t <= 2; ++t)
    for (int i = 1; i <= HiScoreRows; ++i) {
      const THiScoreEntry& e = Tables[static_cast<std::size_t>(t)][static_cast<std::size_t>(i)];
      out.push_back(static_cast<char>(e.NameLength));
      out.append(e.NameChars.data(), HiScoreNameMax);
      PutInt32(out, e.Score);
    }
  return out;
}

// Takes every whole entry in file order. A name longer than 15 is cut to 15
// (its score is still good, and the original file is kept for the player); a
// cut-off entry keeps its old value. Only the first 400 bytes are read, so
// trailing bytes can never overwrite good entries.
std::string THiScores::ReadImage(const std::string& Bytes) {
  std::string problem;
  if (Bytes.size() != HiScoreFileBytes)
    problem = "it holds " + std::to_string(Bytes.size()) + " bytes instead of " + std::to_string(HiScoreFileBytes);
  const std::size_t usable = std::min(Bytes.size(), HiScoreFileBytes);
  const std::size_t entries = usable / HiScoreEntryBytes;
  for (std::size_t k = 0; k < entries; ++k) {
    const char* p = Bytes.data() + k * HiScoreEntryBytes;
    const int table = static_cast<int>(k / HiScoreRows) + 1, row = static_cast<int>(k % HiScoreRows) + 1;
    const auto length = static_cast<std::uint8_t>(p[0]);
    if (length > HiScoreNameMax && problem.empty())
      problem = "entry " + std::to_string(row) + " of table " + std::to_string(table) + " has a name of " +
                std::to_string(length) + " characters";
    THiScoreEntry& e = Entry(table, row);
    e.NameLength = std::min<std::uint8_t>(length, HiScoreNameMax);
    std::memcpy(e.NameChars.data(), p + 1, HiScoreNameMax);
    e.Score = GetInt32(p + 16);
  }
  // A table the file filled wrongly is not the player's: its entries give
  // way to the defaults rather than show junk that would also rank wrongly.
  for (int table = 1; table <= 2; ++table) {
    const std::size_t first = static_cast<std::size_t>(table - 1) * HiScoreRows;
    if (entries <= first) break;
    const int rows = static_cast<int>(std::min<std::size_t>(entries - first, HiScoreRows));
    const std::string wrong = TableProblem(table, rows);
    if (wrong.empty()) continue;
    if (problem.empty()) problem = wrong;
    SetTableDefaults(table);
  }
  return problem;
}

// What is wrong with the first Rows entries of Table as read: a score below
// 0, a score above the one before it, or a name the font cannot draw.
std::string THiScores::TableProblem(int Table, int Rows) {
  const std::string where = " of table " + std::to_string(Table);
  for (int row = 1; row <= Rows; ++row) {
    const THiScoreEntry& e = Entry(Table, row);
    const std::string entry = "entry " + std::to_string(row) + where;
    if (e.Score < 0) return entry + " has the score " + std::to_string(e.Score);
    if (row > 1 && e.Score > Entry(Table, row - 1).Score)
      return entry + " scores more than the one above it";
    // An overlong name cut to 15 may end in the zero bytes that pad names.
    std::string name = e.Name();
    while (!name.empty() && name.back() == '\0') name.pop_back();
    for (const char c : name) {
      const int g = GlyphNumber(c);
      if (g != GlyphSpace && (g < 1 || g >= GlyphSpace)) return entry + " has a name with characters that cannot be shown";
    }
  }
  return {};
}

void THiScores::LoadScores() {
  const std::string path = ResolvePath(HiScoresFileName);
  std::error_code ec;
  Stored_ = Image();  // no file: the defaults stand, and nothing needs writing
  if (!std::filesystem::exists(path, ec)) return;
  // Never read more than a little past the image: a huge file must not be
  // pulled into memory just to be ignored.
  const std::string bytes = ReadWholeFile(path, HiScoreFileBytes + 1);
  const std::string problem = ReadImage(bytes);
  // What the file holds now counts as stored, damaged or not: only a real
  // change (a new entry) rewrites it.
  Stored_ = Image();
  if (problem.empty()) return;

  const std::string kept = path + DamagedSuffix;
  // The same damage seen on an earlier start was reported then.
  if (std::filesystem::exists(kept, ec) && ReadWholeFile(kept, HiScoreFileBytes + 1) == bytes) {
    DebugLog(false, " High score file still damaged: \"" + path + "\": " + problem);
    return;
  }
  DamagedPath_ = path;
  DamagedOriginal_ = bytes;
  std::string text = "The high score file \"" + path + "\" is damaged (" + problem + "). The scores that could be read are shown, the default scores for the rest";
  try {
    text += "; the original file is kept as \"" + KeepDamagedFile(path, bytes) + "\".";
  } catch (const std::exception& e) {
    DebugLog(false, std::string(" ") + e.what());
    text += "; the original file stays as it is until the table changes.";
  }
  DebugLog(false, " " + text);
  ShowErrorMessage(text);
}

// Beside the damaged file, where the player finds it; failing that (a
// read-only game folder), in the folder the game writes to.
std::string THiScores::KeepDamagedFile(const std::string& Path, const std::string& Bytes) {
  std::string kept = Path + DamagedSuffix;
  try {
    AtomicWriteFile(kept, Bytes);
  } catch (const EInOutError&) {
    kept = WritablePath(std::string(HiScoresFileName) + DamagedSuffix);
    AtomicWriteFile(kept, Bytes);
  }
  DamagedOriginal_.clear();
  return kept;
}

void THiScores::SaveScores() {
  const std::string image = Image();
  if (image == Stored_) return;
  // The damaged original must be safe before the file is replaced.
  if (!DamagedOriginal_.empty()) KeepDamagedFile(DamagedPath_, DamagedOriginal_);
  AtomicWriteFile(WritablePath(HiScoresFileName), image);
  Stored_ = image;
}

std::uint8_t THiScores::InsertScore(std::int32_t Score) {
  const int t = (ShownTable == 2) ? 2 : 1;
  int row = 0;
  for (int i = 1; i <= HiScoreRows; ++i)
    if (Score > Entry(t, i).Score) {
      row = i;
      break;
    }
  if (row == 0) return 0;
  for (int i = HiScoreRows; i >= row + 1; --i) Entry(t, i) = Entry(t, i - 1);
  Entry(t, row).Score = Score;
  Entry(t, row).NameLength = 0;  // the old name bytes stay, as leftovers
  return static_cast<std::uint8_t>(row);
}

char NameCharOfKey(std::uint8_t Key) {
  if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z') || Key == VK_SPACE) return static_cast<char>(Key);
  // Keys whose code is not their character: the number pad and the
  // punctuation keys (as on a US layout); only those the font has survive.
  char c = 0;
  if (Key >= 96 && Key <= 105) c = static_cast<char>('0' + (Key - 96));
  switch (Key) {
    case 107: c = '+'; break;
    case 109: c = '-'; break;
    case 110: c = '.'; break;
    case 111: c = '/'; break;
    case 187: c = '='; break;
    case 188: c = ','; break;
    case 189: c = '-'; break;
    case 190: c = '.'; break;
    case 191: c = '/'; break;
    case 222: c = '\''; break;
    default: break;
  }
  const int g = GlyphNumber(c);
  return (g >= 1 && g < GlyphSpace) ? c : 0;
}

void THiScores::EditKey(std::uint8_t Key) {
  PlaySound(SoundMenuKey);
  if (Key == VK_RETURN || Key == VK_ESCAPE) {
    // Either way the new entry is kept: Escape only skips the rest of the name.
    Editing = false;
    SaveScores();
    return;
  }
  if (EditRow < 1 || EditRow > HiScoreRows) return;
  THiScoreEntry& e = Entry(ShownTable == 2 ? 2 : 1, EditRow);
  if (Key == VK_BACK) {
    if (e.NameLength > 0) e.NameLength--;
  } else if (const char c = NameCharOfKey(Key); c != 0 && e.NameLength < HiScoreNameMax) {
    e.NameChars[e.NameLength++] = c;
  }
}

float HiScoreRowY(int Row, int EditRow) {
  float y = 2.9f - 0.56f * static_cast<float>(Row);
  if (EditRow >= 1 && Row > EditRow) y -= PromptGap;
  return y;
}

float NamePromptY(int EditRow) { return HiScoreRowY(EditRow, EditRow) - PromptBelowRow; }

void THiScores::DrawScores(double Time) {
  const int t = (ShownTable == 2) ? 2 : 1;
  const int editRow = Editing ? EditRow : 0;
  float caretX = NameX;
  for (int i = 1; i <= HiScoreRows; ++i) {
    const THiScoreEntry& e = Entry(t, i);
    const bool edited = i == editRow;
    const int colour = edited ? ColourEditing : ColourRow;
    const float y = HiScoreRowY(i, editRow);
    const float pen = DrawText3D(TableFont, colour, TableSize, NameX, y, e.Name(), TableZ, 255);
    if (edited) caretX = pen;
    // Scores end under the right edge of their heading, whatever their length.
    const std::string score = std::to_string(e.Score);
    DrawText3D(TableFont, colour, TableSize, ScoreColumnRight + TextWidth(TableFont, TableSize, score), y, score,
               TableZ, 255);
  }
  if (editRow >= 1 && editRow <= HiScoreRows) {
    // The caret blinks with a period of about 314 ms.
    const int alpha = static_cast<int>(std::lround(std::fabs(std::cos(Time / 100.0)) * 255.0));
    DrawText3D(TableFont, ColourEditing, TableSize, caretX, HiScoreRowY(editRow, editRow), "|", TableZ, alpha);
    DrawText3D(TableFont, ColourEditing, PromptSize, NameX, NamePromptY(editRow), "enter your name", TableZ, 255);
  }
}
