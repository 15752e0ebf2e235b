// Signal toolkit of the audio generators (see audio_dsp.h).
#include "audio_dsp.h"

#include <vorbis/vorbisenc.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <memory>

namespace audiogen {

namespace {

// Polynomial correction of a step at phase 0 (band-limits saw and square edges).
double Blep(double T, double Dt) {
  if (T < Dt) {
    T /= Dt;
    return T + T - T * T - 1;
  }
  if (T > 1 - Dt) {
    T = (T - 1) / Dt;
    return T * T + T + T + 1;
  }
  return 0;
}

double Frac(double X) { return X - std::floor(X); }

}  // namespace

const std::vector<float>& SineTable() {
  static const std::vector<float> table = [] {
    std::vector<float> t(kSineSize + 1);
    for (int i = 0; i <= kSineSize; i++) t[static_cast<std::size_t>(i)] = static_cast<float>(std::sin(2 * M_PI * i / kSineSize));
    return t;
  }();
  return table;
}

float PolyBlepSaw(double Phase, double Increment) {
  const double p = Frac(Phase);
  return static_cast<float>(2 * p - 1 - Blep(p, Increment));
}

float PolyBlepSquare(double Phase, double Increment, double Width) {
  const double p = Frac(Phase);
  double v = p < Width ? 1 : -1;
  v += Blep(p, Increment) - Blep(Frac(p + 1 - Width), Increment);
  return static_cast<float>(v);
}

float Adsr(float T, float Attack, float Decay, float Sustain, float Release, float Hold) {
  if (T < 0) return 0;
  auto held = [&](float t) {
    if (t < Attack) return t / Attack;
    if (t < Attack + Decay) return 1 - (1 - Sustain) * (t - Attack) / Decay;
    return Sustain;
  };
  if (T < Hold) return held(T);
  const float r = (T - Hold) / Release;
  return r >= 1 ? 0 : held(Hold) * (1 - r) * (1 - r);
}

void TSvf::Process(float X, float CutoffHz, float Q) {
  // The coefficients cost a tangent: recompute only when the cutoff or Q has
  // moved by more than a fraction of a semitone.
  if (std::fabs(CutoffHz - Cutoff_) > 0.003f * Cutoff_ || Q != Q_) {
    Cutoff_ = CutoffHz;
    Q_ = Q;
    const float fc = std::clamp(CutoffHz, 10.0f, 0.45f * kRate);
    const float g = std::tan(kPi * fc / kRate);
    K_ = 1 / std::max(Q, 0.05f);
    A1_ = 1 / (1 + g * (g + K_));
    A2_ = g * A1_;
    A3_ = g * A2_;
  }
  const float v3 = X - Ic2_;
  const float v1 = A1_ * Ic1_ + A2_ * v3;
  const float v2 = Ic2_ + A2_ * Ic1_ + A3_ * v3;
  Ic1_ = 2 * v1 - Ic1_;
  Ic2_ = 2 * v2 - Ic2_;
  Low = v2;
  Band = v1;
  High = X - K_ * v1 - v2;
}

TReverb::TReverb(float RoomSize, float Damping, float Width)
    : Feedback_(0.7f + 0.28f * RoomSize), Damp_(0.4f * Damping), Width_(Width) {
  // Mutually prime delays (in samples at 44.1 kHz); the right side is offset for width.
  const int combs[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
  const int allpasses[] = {556, 441, 341, 225};
  for (int n : combs) {
    CombL_.push_back({std::vector<float>(n), 0, 0});
    CombR_.push_back({std::vector<float>(n + 23), 0, 0});
  }
  for (int n : allpasses) {
    AllL_.push_back({std::vector<float>(n), 0});
    AllR_.push_back({std::vector<float>(n + 23), 0});
  }
}

void TReverb::Process(float InL, float InR, float& OutL, float& OutR) {
  const float in = (InL + InR) * 0.015f;
  auto side = [&](std::vector<TComb>& combs, std::vector<TAllPass>& alls) {
    float acc = 0;
    for (TComb& c : combs) {
      const float out = c.Buf[c.Pos];
      c.Store = out * (1 - Damp_) + c.Store * Damp_;
      c.Buf[c.Pos] = in + c.Store * Feedback_;
      if (++c.Pos == c.Buf.size()) c.Pos = 0;
      acc += out;
    }
    for (TAllPass& a : alls) {
      const float buffered = a.Buf[a.Pos];
      const float out = buffered - acc;
      a.Buf[a.Pos] = acc + buffered * 0.5f;
      if (++a.Pos == a.Buf.size()) a.Pos = 0;
      acc = out;
    }
    return acc;
  };
  const float l = side(CombL_, AllL_), r = side(CombR_, AllR_);
  const float wet1 = Width_ / 2 + 0.5f, wet2 = (1 - Width_) / 2;
  OutL = l * wet1 + r * wet2;
  OutR = r * wet1 + l * wet2;
}

TEcho::TEcho(float Seconds, float Feedback, float Tone)
    : L_(std::max<std::size_t>(1, Frames(Seconds))), R_(L_.size()), Feedback_(Feedback),
      ToneL_(Tone), ToneR_(Tone) {}

void TEcho::Process(float In, float& OutL, float& OutR) {
  OutL = L_[Pos_];
  OutR = R_[Pos_];
  L_[Pos_] = In + ToneR_.Low(OutR) * Feedback_;
  R_[Pos_] = ToneL_.Low(OutL) * Feedback_;
  if (++Pos_ == L_.size()) Pos_ = 0;
}

float Rms(const Mono& X) {
  double sum = 0;
  for (float v : X) sum += static_cast<double>(v) * v;
  return X.empty() ? 0 : static_cast<float>(std::sqrt(sum / X.size()));
}

float Peak(const Mono& X) {
  float p = 0;
  for (float v : X) p = std::max(p, std::fabs(v));
  return p;
}

float RmsStereo(const Stereo& X) {
  const float l = Rms(X.L), r = Rms(X.R);
  return std::sqrt((l * l + r * r) / 2);
}

float PeakStereo(const Stereo& X) { return std::max(Peak(X.L), Peak(X.R)); }

void FadeIn(Mono& X, float Seconds) {
  const std::size_t n = std::min(X.size(), Frames(Seconds));
  for (std::size_t i = 0; i < n; i++) X[i] *= 0.5f - 0.5f * std::cos(kPi * i / n);
}

void FadeOut(Mono& X, float Seconds) {
  const std::size_t n = std::min(X.size(), Frames(Seconds));
  for (std::size_t i = 0; i < n; i++) X[X.size() - 1 - i] *= 0.5f - 0.5f * std::cos(kPi * i / n);
}

void RemoveDc(Mono& X) {
  TOnePole dc(15);
  for (float& v : X) v = dc.High(v);
}

void Trim(Mono& X, float Threshold, float Pad) {
  std::size_t first = 0, last = X.size();
  while (first < X.size() && std::fabs(X[first]) < Threshold) first++;
  while (last > first && std::fabs(X[last - 1]) < Threshold) last--;
  const std::size_t pad = Frames(Pad);
  first = first > pad ? first - pad : 0;
  last = std::min(X.size(), last + pad);
  X = Mono(X.begin() + static_cast<std::ptrdiff_t>(first), X.begin() + static_cast<std::ptrdiff_t>(last));
}

void Normalise(Mono& X, float RmsDb, float PeakDb) {
  const float rms = Rms(X), peak = Peak(X);
  if (rms <= 0 || peak <= 0) return;
  const float gain = std::min(DbToGain(RmsDb) / rms, DbToGain(PeakDb) / peak);
  for (float& v : X) v *= gain;
}

namespace {

// Gain per frame that keeps every channel under the ceiling: the needed gain,
// minimum over the look-ahead, box-smoothed (so it never exceeds the need),
// then released slowly.
void LimitChannels(const std::vector<Mono*>& Channels, float CeilingDb) {
  const float ceiling = DbToGain(CeilingDb);
  const std::size_t n = Channels[0]->size(), w = Frames(0.005);
  std::vector<float> need(n, 1);
  for (const Mono* c : Channels)
    for (std::size_t i = 0; i < n; i++) {
      const float a = std::fabs((*c)[i]);
      if (a > ceiling) need[i] = std::min(need[i], ceiling / a);
    }
  std::vector<float> lookMin(n);
  std::deque<std::size_t> window;  // indices of increasing need over [i, i + w]
  for (std::size_t j = n; j-- > 0;) {
    while (!window.empty() && need[window.back()] >= need[j]) window.pop_back();
    window.push_back(j);
    while (window.front() > j + w) window.pop_front();
    lookMin[j] = need[window.front()];
  }
  double sum = 0;
  const float release = 1 - std::exp(-1.0f / (0.08f * kRate));
  float gain = 1;
  for (std::size_t i = 0; i < n; i++) {
    sum += lookMin[i];
    if (i > w) sum -= lookMin[i - w - 1];
    const float smooth = static_cast<float>(sum / static_cast<double>(std::min(i + 1, w + 1)));
    gain = smooth < gain ? smooth : gain + (smooth - gain) * release;
    for (Mono* c : Channels) (*c)[i] *= gain;
  }
  for (Mono* c : Channels)  // rounding of the smoothing: a hard stop for the last 0.1%
    for (float& v : *c) v = std::clamp(v, -ceiling, ceiling);
}

}  // namespace

void Limit(Stereo& X, float CeilingDb) { LimitChannels({&X.L, &X.R}, CeilingDb); }
void Limit(Mono& X, float CeilingDb) { LimitChannels({&X}, CeilingDb); }

Mono Resample(const Mono& X, int FromRate, int ToRate) {
  if (FromRate == ToRate || X.empty()) return X;
  const double ratio = static_cast<double>(FromRate) / ToRate;
  const double cutoff = std::min(1.0, 1 / ratio) * 0.95;
  const int taps = 24;
  const std::size_t n = static_cast<std::size_t>(X.size() / ratio);
  Mono out(n);
  for (std::size_t i = 0; i < n; i++) {
    const double t = i * ratio;
    const long centre = static_cast<long>(std::floor(t));
    double acc = 0;
    for (long k = centre - taps + 1; k <= centre + taps; k++) {
      if (k < 0 || k >= static_cast<long>(X.size())) continue;
      const double d = t - k;
      const double x = kPi * d * cutoff;
      const double sinc = std::fabs(x) < 1e-9 ? 1 : std::sin(x) / x;
      const double window = 0.5 + 0.5 * std::cos(kPi * d / taps);  // Hann
      acc += X[static_cast<std::size_t>(k)] * sinc * window * cutoff;
    }
    out[i] = static_cast<float>(acc);
  }
  return out;
}

bool ReadWav(const std::string& Path, Mono& Out, int& Rate) {
  std::ifstream f(Path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  auto u32 = [&](std::size_t at) {
    std::uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
  };
  auto u16 = [&](std::size_t at) {
    std::uint16_t v = 0;
    std::memcpy(&v, bytes.data() + at, 2);
    return v;
  };
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) || std::memcmp(bytes.data() + 8, "WAVE", 4))
    return false;
  int channels = 0, bits = 0;
  Rate = 0;
  for (std::size_t at = 12; at + 8 <= bytes.size();) {
    const std::size_t size = u32(at + 4), body = at + 8;
    if (!std::memcmp(bytes.data() + at, "fmt ", 4) && body + 16 <= bytes.size()) {
      channels = u16(body + 2);
      Rate = static_cast<int>(u32(body + 4));
      bits = u16(body + 14);
    } else if (!std::memcmp(bytes.data() + at, "data", 4)) {
      if (channels < 1 || bits != 16 || Rate <= 0) return false;
      // Streamed writers leave the size open: take what the file holds.
      const std::size_t avail = std::min(size, bytes.size() - body);
      const std::size_t frames = avail / (2 * static_cast<std::size_t>(channels));
      Out.assign(frames, 0);
      for (std::size_t i = 0; i < frames; i++)
        for (int c = 0; c < channels; c++)
          Out[i] += static_cast<std::int16_t>(u16(body + (i * channels + c) * 2)) / 32768.0f / channels;
      return true;
    }
    at = body + size + (size & 1);
  }
  return false;
}

bool WriteOgg(const std::string& Path, const std::vector<const Mono*>& Channels, float Quality,
              int Serial, std::string& Error) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(Path.c_str(), "wb"), std::fclose);
  if (!file) {
    Error = "cannot create " + Path;
    return false;
  }
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, static_cast<long>(Channels.size()), kRate, Quality) != 0) {
    vorbis_info_clear(&vi);
    Error = "the Vorbis encoder refused the settings";
    return false;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_comment_add_tag(&vc, "ENCODER", "voxarine-assetgen");
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, Serial);
  ogg_page og;
  ogg_packet op;
  bool ok = true;
  auto write = [&](const ogg_page& page) {
    ok = ok && std::fwrite(page.header, 1, page.header_len, file.get()) == static_cast<std::size_t>(page.header_len);
    ok = ok && std::fwrite(page.body, 1, page.body_len, file.get()) == static_cast<std::size_t>(page.body_len);
  };

  ogg_packet header, comments, codebooks;
  vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comments);
  ogg_stream_packetin(&os, &codebooks);
  while (ogg_stream_flush(&os, &og)) write(og);  // audio starts on a fresh page

  const std::size_t frames = Channels[0]->size(), block = 4096;
  for (std::size_t at = 0;; at += block) {
    const std::size_t n = std::min(block, frames - std::min(frames, at));
    if (n == 0) {
      vorbis_analysis_wrote(&vd, 0);  // end of stream
    } else {
      float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
      for (std::size_t c = 0; c < Channels.size(); c++)
        std::memcpy(buffer[c], Channels[c]->data() + at, n * sizeof(float));
      vorbis_analysis_wrote(&vd, static_cast<int>(n));
    }
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      while (vorbis_bitrate_flushpacket(&vd, &op)) {
        ogg_stream_packetin(&os, &op);
        while (ogg_stream_pageout(&os, &og)) write(og);
      }
    }
    if (n == 0) break;
  }
  while (ogg_stream_flush(&os, &og)) write(og);

  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  if (!ok) Error = "cannot write " + Path;
  return ok;
}

}  // namespace audiogen
