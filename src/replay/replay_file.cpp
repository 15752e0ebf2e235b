// Writing and reading replay files. The reader trusts nothing: every length,
// count and value is checked before it is used, so a damaged, cut or hostile
// file ends in one EInOutError that names the file and says what is wrong.
#include "replay/replay_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/win32/io_error.h"

namespace replay {

namespace {

constexpr char Magic[8] = {'V', 'X', 'R', 'E', 'P', 'L', 'A', 'Y'};

enum : std::uint8_t {
  tagEnd = 0x00,
  tagFrameBits = 0x01,  // u32 bits
  tagFrameRun = 0x02,   // varint: the previous frame time again, this many times
  tagPointer = 0x10,    // zigzag varints: the steps through the x and y tables
  tagPointerNear = 0x18,  // one byte: x step + 8 (high nibble), y step + 8 (low nibble), steps -8..7
  tagPress = 0x11,
  tagRelease = 0x12,
  tagKey = 0x13,
  tagState = 0x14,
  tagLoad = 0x15,
  tagReseed = 0x16,
  tagDigest = 0x17,
  tagFrameSteps = 0x20,  // 0x20 + code (0..80): four frames, each -1, 0 or +1 ms from the one before (base 3)
  tagFrameSmall = 0x80,  // 0x80 + n: a frame of exactly n ms, n 0..63
  tagFramePair = 0xC0,   // 0xC0 + code (0..48): two frames, each -3..+3 ms from the one before (base 7)
};

constexpr float MaxFrameMs = 1e7f;     // a frame after a very long stall, not more
constexpr float MaxPointer = 1000.0f;  // board units; the window spans about 15
// About 90 hours at 60 frames a second: no game is longer, and a hostile
// file cannot keep the headless player busy for long.
constexpr std::uint64_t MaxFrames = 20000000;

std::uint32_t Checksum(const std::string& Bytes, std::size_t Length) {
  std::uint32_t h = 2166136261u;
  for (std::size_t i = 0; i < Length; ++i) h = (h ^ static_cast<unsigned char>(Bytes[i])) * 16777619u;
  return h;
}

class TWriter {
 public:
  void U8(std::uint8_t V) { Out.push_back(static_cast<char>(V)); }
  void Fixed(std::uint64_t V, int Bytes) {
    for (int i = 0; i < Bytes; ++i) U8(static_cast<std::uint8_t>(V >> (8 * i)));
  }
  void Var(std::uint64_t V) {
    while (V >= 0x80) {
      U8(static_cast<std::uint8_t>(V | 0x80));
      V >>= 7;
    }
    U8(static_cast<std::uint8_t>(V));
  }
  void ZigZag(std::int64_t V) { Var((static_cast<std::uint64_t>(V) << 1) ^ static_cast<std::uint64_t>(V >> 63)); }
  void Real(double V) { Fixed(std::bit_cast<std::uint64_t>(V), 8); }
  void Bytes(const std::string& S) {
    Var(S.size());
    Out += S;
  }
  std::string Out;
};

class TReader {
 public:
  TReader(const std::string& Name, const std::string& Bytes, std::size_t End) : Name(Name), In(Bytes), End(End) {}

  [[noreturn]] void Fail(const std::string& Why) const {
    throw EInOutError(Name, "not a replay this game can play: " + Why + " (at byte " + std::to_string(Pos) + ")");
  }
  std::uint8_t U8() {
    if (Pos >= End) Fail("the file ends too early");
    return static_cast<std::uint8_t>(In[Pos++]);
  }
  std::uint64_t Fixed(int Bytes) {
    std::uint64_t v = 0;
    for (int i = 0; i < Bytes; ++i) v |= static_cast<std::uint64_t>(U8()) << (8 * i);
    return v;
  }
  std::uint64_t Var(std::uint64_t Max, const char* What) {
    std::uint64_t v = 0;
    for (int shift = 0;; shift += 7) {
      if (shift > 63) Fail(std::string("a damaged number (") + What + ")");
      const std::uint8_t b = U8();
      v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
      if (!(b & 0x80)) break;
    }
    if (v > Max) Fail(std::string(What) + " out of range (" + std::to_string(v) + ")");
    return v;
  }
  std::int64_t ZigZag(const char* What) {
    const std::uint64_t v = Var(~0ull, What);
    return static_cast<std::int64_t>(v >> 1) ^ -static_cast<std::int64_t>(v & 1);
  }
  double Real(const char* What, double Min, double Max) {
    const double v = std::bit_cast<double>(Fixed(8));
    if (!(v >= Min && v <= Max)) Fail(std::string(What) + " out of range");
    return v;
  }
  std::string Bytes(std::size_t Max, const char* What) {
    const std::size_t n = static_cast<std::size_t>(Var(Max, What));
    if (n > End - Pos) Fail("the file ends too early");
    std::string s = In.substr(Pos, n);
    Pos += n;
    return s;
  }
  std::size_t Pos = 0;

 private:
  const std::string& Name;
  const std::string& In;
  std::size_t End;
};

bool FrameOk(std::uint32_t Bits) {
  const float f = FloatOf(Bits);
  return f >= 0 && f <= MaxFrameMs;
}

bool PointerOk(std::uint32_t Bits) {
  const float f = FloatOf(Bits);
  return f >= -MaxPointer && f <= MaxPointer;
}

// A frame time that fits the one-byte forms: a whole number of ms, 0..63.
constexpr int MaxSmallMs = 63;
int SmallMs(std::uint32_t Bits) {
  const float f = FloatOf(Bits);
  return f >= 0 && f <= MaxSmallMs && std::floor(f) == f && !std::signbit(f) ? static_cast<int>(f) : -1;
}

// Codes of Count frames from F that each step at most Max ms from the one
// before (Last first); -1 when they do not.
int StepCode(const std::vector<std::uint32_t>& F, std::size_t I, int Count, int Max, int Last) {
  if (Last < 0 || I + static_cast<std::size_t>(Count) > F.size()) return -1;
  int code = 0;
  for (int k = 0; k < Count; ++k) {
    const int ms = SmallMs(F[I + static_cast<std::size_t>(k)]);
    if (ms < 0 || ms - Last < -Max || ms - Last > Max) return -1;
    code = code * (2 * Max + 1) + (ms - Last + Max);
    Last = ms;
  }
  return code;
}

// The frames of Events, one by one, for the packed forms.
void EncodeFrames(TWriter& W, const std::vector<std::uint32_t>& F, std::uint32_t& Prev, bool& HavePrev) {
  std::size_t i = 0;
  while (i < F.size()) {
    std::size_t run = 0;
    while (HavePrev && i + run < F.size() && F[i + run] == Prev) ++run;
    if (run >= 5) {
      W.U8(tagFrameRun);
      W.Var(run);
      i += run;
      continue;
    }
    const int last = HavePrev ? SmallMs(Prev) : -1;
    if (const int code = StepCode(F, i, 4, 1, last); code >= 0) {
      W.U8(static_cast<std::uint8_t>(tagFrameSteps + code));
      Prev = F[i + 3];
      i += 4;
      continue;
    }
    if (const int code = StepCode(F, i, 2, 3, last); code >= 0) {
      W.U8(static_cast<std::uint8_t>(tagFramePair + code));
      Prev = F[i + 1];
      i += 2;
      continue;
    }
    if (const int ms = SmallMs(F[i]); ms >= 0) {
      W.U8(static_cast<std::uint8_t>(tagFrameSmall + ms));
    } else {
      W.U8(tagFrameBits);
      W.Fixed(F[i], 4);
    }
    Prev = F[i];
    HavePrev = true;
    ++i;
  }
}

// The pointer's positions come from a grid of window pixels: each file holds
// the distinct x and y values it uses, in order, and a move is the step
// from one entry to another, usually a byte for both.
struct TAxisTable {
  std::vector<std::uint32_t> Bits;  // by float value
  std::size_t Rank(std::uint32_t B) const {
    return static_cast<std::size_t>(std::lower_bound(Bits.begin(), Bits.end(), B, Before) - Bits.begin());
  }
  static bool Before(std::uint32_t A, std::uint32_t B) { return FloatOf(A) < FloatOf(B) || (FloatOf(A) == FloatOf(B) && A < B); }
};

TAxisTable MakeTable(const std::vector<TEvent>& Events, bool Y) {
  TAxisTable t;
  for (const TEvent& e : Events)
    if (e.Kind == TEventKind::Pointer) t.Bits.push_back(Y ? e.B : e.A);
  std::sort(t.Bits.begin(), t.Bits.end(), TAxisTable::Before);
  t.Bits.erase(std::unique(t.Bits.begin(), t.Bits.end()), t.Bits.end());
  return t;
}

void WriteTable(TWriter& W, const TAxisTable& T) {
  W.Var(T.Bits.size());
  std::uint32_t last = 0;
  for (const std::uint32_t b : T.Bits) {
    W.ZigZag(static_cast<std::int64_t>(b) - last);
    last = b;
  }
}

void EncodeEvents(TWriter& W, const std::vector<TEvent>& Events) {
  const TAxisTable tx = MakeTable(Events, false), ty = MakeTable(Events, true);
  WriteTable(W, tx);
  WriteTable(W, ty);
  std::int64_t rx = 0, ry = 0;  // ranks of the last position
  std::uint32_t prev = 0;
  bool havePrev = false;
  std::vector<std::uint32_t> frames;
  for (std::size_t k = 0; k < Events.size(); ++k) {
    const TEvent& e = Events[k];
    if (e.Kind == TEventKind::Frame) {
      frames.insert(frames.end(), e.B, e.A);
      if (k + 1 < Events.size() && Events[k + 1].Kind == TEventKind::Frame) continue;
      EncodeFrames(W, frames, prev, havePrev);
      frames.clear();
      continue;
    }
    switch (e.Kind) {
      case TEventKind::Frame: break;
      case TEventKind::Pointer: {
        const auto x = static_cast<std::int64_t>(tx.Rank(e.A)), y = static_cast<std::int64_t>(ty.Rank(e.B));
        if (x - rx >= -8 && x - rx <= 7 && y - ry >= -8 && y - ry <= 7) {
          W.U8(tagPointerNear);
          W.U8(static_cast<std::uint8_t>((x - rx + 8) << 4 | (y - ry + 8)));
        } else {
          W.U8(tagPointer);
          W.ZigZag(x - rx);
          W.ZigZag(y - ry);
        }
        rx = x;
        ry = y;
        break;
      }
      case TEventKind::Press: W.U8(tagPress); W.U8(static_cast<std::uint8_t>(e.A)); break;
      case TEventKind::Release: W.U8(tagRelease); W.U8(static_cast<std::uint8_t>(e.A)); break;
      case TEventKind::Key: W.U8(tagKey); W.Var(e.A); break;
      case TEventKind::State:
        W.U8(tagState);
        W.U8(static_cast<std::uint8_t>(e.A));
        W.U8(static_cast<std::uint8_t>(e.B));
        break;
      case TEventKind::Load: W.U8(tagLoad); break;
      case TEventKind::Reseed: W.U8(tagReseed); W.Fixed(e.A, 4); break;
      case TEventKind::Digest: W.U8(tagDigest); W.Fixed(e.A, 4); W.Fixed(e.B, 4); break;
    }
  }
  W.U8(tagEnd);
}

// Reads events up to the end tag; returns the number of frames.
std::vector<std::uint32_t> ReadTable(TReader& R) {
  // Each entry takes a byte at least: the file's size bounds the table.
  const std::size_t n = static_cast<std::size_t>(R.Var(MaxFileBytes, "a pointer table's size"));
  std::vector<std::uint32_t> t;
  std::uint32_t last = 0;
  for (std::size_t k = 0; k < n; ++k) {
    last = static_cast<std::uint32_t>(last + static_cast<std::uint64_t>(R.ZigZag("a pointer position")));
    if (!PointerOk(last)) R.Fail("a pointer position out of range");
    t.push_back(last);
  }
  return t;
}

std::uint64_t DecodeEvents(TReader& R, TReplay& Out) {
  const std::vector<std::uint32_t> tx = ReadTable(R), ty = ReadTable(R);
  std::int64_t rx = 0, ry = 0;
  std::uint32_t prev = 0;
  bool havePrev = false;
  std::uint64_t frames = 0;
  bool loaded = false;
  // Equal frames in a row are one event with a count.
  const auto frame = [&](std::uint32_t Bits, std::uint64_t Count) {
    if (!FrameOk(Bits)) R.Fail("a frame time out of range");
    if (Count > MaxFrames - frames) R.Fail("more frames than any game has");
    std::vector<TEvent>& ev = Out.Events;
    if (!ev.empty() && ev.back().Kind == TEventKind::Frame && ev.back().A == Bits &&
        ev.back().B <= 0xFFFFFFFFull - Count)
      ev.back().B += static_cast<std::uint32_t>(Count);
    else
      ev.push_back(TEvent{TEventKind::Frame, Bits, static_cast<std::uint32_t>(Count)});
    frames += Count;
    prev = Bits;
    havePrev = true;
  };
  for (;;) {
    const std::uint8_t tag = R.U8();
    if (tag >= tagFrameSmall && tag <= tagFrameSmall + MaxSmallMs) {
      frame(BitsOf(static_cast<float>(tag - tagFrameSmall)), 1);
      continue;
    }
    const bool quad = tag >= tagFrameSteps && tag < tagFrameSteps + 81;
    const bool pair = tag >= tagFramePair && tag < tagFramePair + 49;
    if (quad || pair) {
      int last = havePrev ? SmallMs(prev) : -1;
      if (last < 0) R.Fail("frame steps without a whole-millisecond frame before them");
      const int count = quad ? 4 : 2, max = quad ? 1 : 3, base = 2 * max + 1;
      const int code = tag - (quad ? tagFrameSteps : tagFramePair);
      for (int k = 0, div = quad ? 27 : 7; k < count; ++k, div /= base) {
        last += code / div % base - max;
        if (last < 0 || last > MaxSmallMs) R.Fail("a frame step out of range");
        frame(BitsOf(static_cast<float>(last)), 1);
      }
      continue;
    }
    switch (tag) {
      case tagEnd: return frames;
      case tagFrameBits: frame(static_cast<std::uint32_t>(R.Fixed(4)), 1); break;
      case tagFrameRun: {
        if (!havePrev) R.Fail("a repeat without a frame before it");
        const std::uint64_t n = R.Var(0xFFFFFFFEull, "a frame repeat");
        if (n == 0) R.Fail("an empty frame repeat");
        frame(prev, n);
        break;
      }
      case tagPointer:
      case tagPointerNear: {
        if (tag == tagPointer) {
          const std::int64_t dx = R.ZigZag("a pointer move"), dy = R.ZigZag("a pointer move");
          if (dx < -(1ll << 32) || dx > (1ll << 32) || dy < -(1ll << 32) || dy > (1ll << 32)) R.Fail("a pointer move out of range");
          rx += dx;
          ry += dy;
        } else {
          const std::uint8_t b = R.U8();
          rx += (b >> 4) - 8;
          ry += (b & 15) - 8;
        }
        if (rx < 0 || ry < 0 || rx >= static_cast<std::int64_t>(tx.size()) || ry >= static_cast<std::int64_t>(ty.size()))
          R.Fail("a pointer position outside its table");
        Out.Events.push_back(TEvent{TEventKind::Pointer, tx[static_cast<std::size_t>(rx)], ty[static_cast<std::size_t>(ry)]});
        break;
      }
      case tagPress:
      case tagRelease: {
        const std::uint8_t b = R.U8();
        if (b > 2) R.Fail("a mouse button out of range");
        Out.Events.push_back(TEvent{tag == tagPress ? TEventKind::Press : TEventKind::Release, b, 0});
        break;
      }
      case tagKey:
        Out.Events.push_back(TEvent{TEventKind::Key, static_cast<std::uint32_t>(R.Var(0xFFFF, "a key")), 0});
        break;
      case tagState: {
        const std::uint8_t phase = R.U8(), cursor = R.U8();
        if (phase > 3 || cursor < 1 || cursor > 3) R.Fail("a game state out of range");
        Out.Events.push_back(TEvent{TEventKind::State, phase, cursor});
        break;
      }
      case tagLoad:
        if (!Out.Continued || loaded) R.Fail(Out.Continued ? "the saved game loaded twice" : "a load without a saved game");
        loaded = true;
        Out.Events.push_back(TEvent{TEventKind::Load, 0, 0});
        break;
      case tagReseed:
        Out.Events.push_back(TEvent{TEventKind::Reseed, static_cast<std::uint32_t>(R.Fixed(4)), 0});
        break;
      case tagDigest: {
        const std::uint32_t lo = static_cast<std::uint32_t>(R.Fixed(4)), hi = static_cast<std::uint32_t>(R.Fixed(4));
        Out.Events.push_back(TEvent{TEventKind::Digest, lo, hi});
        break;
      }
      default: R.Fail("an unknown record (" + std::to_string(tag) + ")");
    }
  }
}

}  // namespace

std::string GameVersion() { return VOXARINE_VERSION; }

std::string EncodeReplay(const TReplay& R) {
  TWriter w;
  w.Out.append(Magic, sizeof Magic);
  w.U8(FormatVersion);
  w.Bytes(R.GameVersion);
  w.Fixed(R.TablesDigest, 8);
  w.U8(R.Mode);
  w.Fixed(R.Seed, 4);
  w.Var(R.StartTime);
  const TStartState& s = R.Start;
  w.ZigZag(s.Combo);
  w.ZigZag(s.ItemRequests);
  w.U8(s.MoveUnscored ? 1 : 0);
  w.Real(s.EndTimer);
  w.Fixed(s.ShotCell, 2);
  w.U8(s.HoverX);
  w.U8(s.HoverY);
  w.U8(s.CursorMode);
  w.Fixed(BitsOf(s.PointerX), 4);
  w.Fixed(BitsOf(s.PointerY), 4);
  w.Var(R.DigestInterval);
  w.U8(R.Continued ? 1 : 0);
  if (R.Continued) w.Bytes(R.SaveContent);
  EncodeEvents(w, R.Events);
  w.Var(R.Frames);
  w.Real(R.FinalScore);
  w.Var(static_cast<std::uint64_t>(R.FinalLevel));
  w.Fixed(R.FinalDigest, 8);
  w.U8(static_cast<std::uint8_t>(R.End));
  w.Fixed(Checksum(w.Out, w.Out.size()), 4);
  return w.Out;
}

TReplay DecodeReplay(const std::string& FileName, const std::string& Bytes) {
  const auto fail = [&](const std::string& Why) { throw EInOutError(FileName, "not a replay this game can play: " + Why); };
  if (Bytes.size() < sizeof Magic || std::memcmp(Bytes.data(), Magic, sizeof Magic) != 0)
    fail("it is not a Voxarine replay");
  if (Bytes.size() < sizeof Magic + 1) fail("the file ends too early");
  const std::uint8_t format = static_cast<std::uint8_t>(Bytes[sizeof Magic]);
  if (format != FormatVersion)
    fail("it is of replay format " + std::to_string(format) + ", this game plays format " +
         std::to_string(FormatVersion) + " (it comes from another version of the game)");
  if (Bytes.size() > MaxFileBytes) fail("the file is too large");
  if (Bytes.size() < sizeof Magic + 1 + 4) fail("the file ends too early");
  const std::size_t end = Bytes.size() - 4;
  std::uint32_t stored = 0;
  for (int i = 0; i < 4; ++i) stored |= static_cast<std::uint32_t>(static_cast<unsigned char>(Bytes[end + i])) << (8 * i);
  if (stored != Checksum(Bytes, end)) fail("the file is damaged or cut short (its checksum does not match)");

  TReader r(FileName, Bytes, end);
  r.Pos = sizeof Magic + 1;
  TReplay out;
  out.GameVersion = r.Bytes(64, "the game version");
  out.TablesDigest = r.Fixed(8);
  out.Mode = r.U8();
  if (out.Mode < 1 || out.Mode > 2) r.Fail("the mode must be 1 or 2");
  out.Seed = static_cast<std::uint32_t>(r.Fixed(4));
  out.StartTime = r.Var(~0ull, "the start time");
  TStartState& s = out.Start;
  const std::int64_t combo = r.ZigZag("the combo"), items = r.ZigZag("the items owed");
  if (combo < 0 || combo > 1000000000 || items < 0 || items > 1000000) r.Fail("the game's counters out of range");
  s.Combo = static_cast<std::int32_t>(combo);
  s.ItemRequests = static_cast<std::int32_t>(items);
  const std::uint8_t unscored = r.U8();
  if (unscored > 1) r.Fail("a flag out of range");
  s.MoveUnscored = unscored == 1;
  s.EndTimer = r.Real("the end timer", 0, 1e12);
  s.ShotCell = static_cast<std::uint16_t>(r.Fixed(2));
  s.HoverX = r.U8();
  s.HoverY = r.U8();
  s.CursorMode = r.U8();
  if (s.HoverX > 9 || s.HoverY > 9 || s.CursorMode < 1 || s.CursorMode > 3) r.Fail("the start state out of range");
  const std::uint32_t px = static_cast<std::uint32_t>(r.Fixed(4)), py = static_cast<std::uint32_t>(r.Fixed(4));
  if (!PointerOk(px) || !PointerOk(py)) r.Fail("the pointer's start out of range");
  s.PointerX = FloatOf(px);
  s.PointerY = FloatOf(py);
  out.DigestInterval = static_cast<std::uint32_t>(r.Var(3600000, "the digest interval"));
  if (out.DigestInterval == 0) r.Fail("the digest interval must not be 0");
  const std::uint8_t continued = r.U8();
  if (continued > 1) r.Fail("a flag out of range");
  out.Continued = continued == 1;
  if (out.Continued) out.SaveContent = r.Bytes(MaxSaveBytes, "the saved game's size");

  const std::uint64_t frames = DecodeEvents(r, out);
  out.Frames = r.Var(MaxFrames, "the frame count");
  if (out.Frames != frames)
    r.Fail("the trailer counts " + std::to_string(out.Frames) + " frames, the file holds " + std::to_string(frames));
  out.FinalScore = r.Real("the final score", 0, 1e15);
  out.FinalLevel = static_cast<std::int32_t>(r.Var(100, "the final level"));
  if (out.FinalLevel < 1) r.Fail("the final level out of range");
  out.FinalDigest = r.Fixed(8);
  const std::uint8_t reason = r.U8();
  if (reason < 1 || reason > 4) r.Fail("the end reason out of range");
  out.End = static_cast<TEndReason>(reason);
  if (r.Pos != end) r.Fail("bytes after the trailer");
  return out;
}

TReplay ReadReplayFile(const std::string& Path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(Path, ec)) {
    if (!std::filesystem::exists(Path, ec)) throw EInOutError(Path, "no such file");
    throw EInOutError(Path, "not a file");
  }
  const std::uintmax_t size = std::filesystem::file_size(Path, ec);
  if (ec || size > MaxFileBytes) throw EInOutError(Path, ec ? "cannot read its size" : "too large for a replay");
  std::ifstream in(Path, std::ios::binary);
  if (!in) throw EInOutError(Path, std::string("cannot open: ") + std::strerror(errno));
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) throw EInOutError(Path, "cannot read");
  return DecodeReplay(Path, bytes.str());
}

}  // namespace replay
