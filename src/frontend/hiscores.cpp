// High score tables: defaults, the 400-byte file, insertion, name entry and
// the 3D table drawn in the high score state.
#include "frontend/hiscores.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "audio/sounds.h"
#include "frontend/fonts.h"
#include "platform/win32/io_error.h"
#include "platform/win32/paths.h"

std::unique_ptr<THiScores> HiScores;

namespace {
constexpr int SoundMenuKey = 23;
constexpr std::uint8_t KeyBackspace = 8;
constexpr std::uint8_t KeyEnter = 13;

constexpr int TableFont = 1;
constexpr int TableSize = 9;
constexpr float TableZ = 0.1f;
constexpr int ColourRow = 4;
constexpr int ColourEditing = 5;

float RowY(int Row) { return 2.9f - 0.56f * static_cast<float>(Row); }

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
  for (int t = 1; t <= 2; ++t)
    for (int i = 1; i <= HiScoreRows; ++i) {
      THiScoreEntry& e = Entry(t, i);
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

// Takes whole entries in file order and stops at the first one that is not
// sound (cut off, or a name longer than 15); the rest keep their values. A file
// longer than the two tables is read for its first 400 bytes only, so trailing
// bytes can never overwrite good entries.
void THiScores::ReadImage(const std::string& Bytes) {
  const std::size_t usable = std::min(Bytes.size(), HiScoreFileBytes);
  const std::size_t entries = usable / HiScoreEntryBytes;
  for (std::size_t k = 0; k < entries; ++k) {
    const char* p = Bytes.data() + k * HiScoreEntryBytes;
    const auto length = static_cast<std::uint8_t>(p[0]);
    if (length > HiScoreNameMax) return;
    THiScoreEntry& e = Entry(static_cast<int>(k / HiScoreRows) + 1, static_cast<int>(k % HiScoreRows) + 1);
    e.NameLength = length;
    std::memcpy(e.NameChars.data(), p + 1, HiScoreNameMax);
    e.Score = GetInt32(p + 16);
  }
}

void THiScores::LoadScores() {
  const std::string path = ResolvePath(HiScoresFileName);
  std::ifstream in(path, std::ios::binary);
  if (!in) return;  // no file yet: the defaults stand
  // Never read more than a little past the image: a huge file must not be
  // pulled into memory just to be ignored.
  std::string bytes(HiScoreFileBytes, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) throw EInOutError(path, "cannot read the high score file");
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  ReadImage(bytes);
}

void THiScores::SaveScores() { AtomicWriteFile(WritablePath(HiScoresFileName), Image()); }

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

void THiScores::EditKey(std::uint8_t Key) {
  PlaySound(SoundMenuKey);
  if (Key == KeyEnter) {
    SaveScores();
    Editing = false;
    return;
  }
  if (EditRow < 1 || EditRow > HiScoreRows) return;
  THiScoreEntry& e = Entry(ShownTable == 2 ? 2 : 1, EditRow);
  if (Key == KeyBackspace) {
    if (e.NameLength > 0) e.NameLength--;
  } else if (e.NameLength < HiScoreNameMax) {
    e.NameChars[e.NameLength++] = static_cast<char>(Key);
  }
}

void THiScores::DrawScores(double Time) {
  const int t = (ShownTable == 2) ? 2 : 1;
  float caretX = 2.0f;
  for (int i = 1; i <= HiScoreRows; ++i) {
    const THiScoreEntry& e = Entry(t, i);
    const bool edited = Editing && i == EditRow;
    const int colour = edited ? ColourEditing : ColourRow;
    const float pen = DrawText3D(TableFont, colour, TableSize, 2.0f, RowY(i), e.Name(), TableZ, 255);
    if (edited) caretX = pen;
    DrawText3D(TableFont, colour, TableSize, -4.5f, RowY(i), std::to_string(e.Score), TableZ, 255);
  }
  if (Editing) {
    // The caret blinks with a period of about 314 ms.
    const int alpha = static_cast<int>(std::lround(std::fabs(std::cos(Time / 100.0)) * 255.0));
    DrawText3D(TableFont, ColourEditing, TableSize, caretX, RowY(EditRow), "|", TableZ, alpha);
    DrawText3D(TableFont, ColourRow, TableSize, -3.5f, -5.3f, "enter your name", TableZ, 255);
  }
}
