// Small sound files made on the spot for the audio tests, the fuzz seeds and
// the mixer benchmark: Ogg Vorbis through libvorbisenc, and a ProTracker
// module written byte by byte whose orders each play one note of a different
// pitch, so that where a module starts can be heard.
#pragma once

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace qv::testdata {

// Interleaved float frames of a sine wave.
inline std::vector<float> SineWave(double hz, double seconds, float amplitude, int rate = 44100, int channels = 2) {
  const auto frames = static_cast<size_t>(seconds * rate);
  std::vector<float> out(frames * static_cast<size_t>(channels));
  for (size_t i = 0; i < frames; ++i) {
    const auto v = static_cast<float>(amplitude * std::sin(2 * M_PI * hz * static_cast<double>(i) / rate));
    for (int c = 0; c < channels; ++c) out[i * static_cast<size_t>(channels) + static_cast<size_t>(c)] = v;
  }
  return out;
}

// Encodes interleaved float frames as an Ogg Vorbis file.
inline std::vector<uint8_t> EncodeOgg(const std::vector<float>& frames, int channels = 2, int rate = 44100,
                                      float quality = 0.4f) {
  std::vector<uint8_t> out;
  auto append = [&out](const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
  };
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, rate, quality) != 0) throw std::runtime_error("vorbis_encode_init_vbr");
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 1);
  ogg_packet header, comment, code;
  vorbis_analysis_headerout(&vd, &vc, &header, &comment, &code);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comment);
  ogg_stream_packetin(&os, &code);
  ogg_page page;
  while (ogg_stream_flush(&os, &page) != 0) append(page);

  const size_t total = frames.size() / static_cast<size_t>(channels);
  size_t done = 0;
  bool eos = false;
  while (!eos) {
    const size_t n = std::min<size_t>(1024, total - done);
    if (n == 0) {
      vorbis_analysis_wrote(&vd, 0);
    } else {
      float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
      for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < channels; ++c)
          buffer[c][i] = frames[(done + i) * static_cast<size_t>(channels) + static_cast<size_t>(c)];
      vorbis_analysis_wrote(&vd, static_cast<int>(n));
      done += n;
    }
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&vd, &packet)) {
        ogg_stream_packetin(&os, &packet);
        while (!eos && ogg_stream_pageout(&os, &page) != 0) {
          append(page);
          if (ogg_page_eos(&page)) eos = true;
        }
      }
    }
  }
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return out;
}

inline std::vector<uint8_t> SineOgg(double hz, double seconds, float amplitude, int rate = 44100, int channels = 2) {
  return EncodeOgg(SineWave(hz, seconds, amplitude, rate, channels), channels, rate);
}

// The periods (pitches) that the orders of ToneModule play, lowest first:
// C-1, E-1, G-1, C-2, E-2, G-2, C-3, E-3.
inline constexpr int kTonePeriods[8] = {856, 678, 570, 428, 339, 285, 214, 170};

// The pitch in Hz at which a period plays ToneModule's 32-byte square wave.
inline double ToneHz(int period) { return 7093789.2 / (2.0 * period) / 32.0; }

// A four-channel ProTracker module of `orders` orders (at most 8). Order k
// plays pattern k: one note of period kTonePeriods[k] on channel 1, held for
// `rows` rows (20 ms each at the default tempo) and then a pattern break.
// With more voices (up to 4) channel c plays the order's next pitches too.
inline std::vector<uint8_t> ToneModule(int orders = 8, int rows = 8, int voices = 1) {
  std::vector<uint8_t> m;
  auto put = [&m](const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    m.insert(m.end(), b, b + n);
  };
  auto be16 = [&m](int v) {
    m.push_back(static_cast<uint8_t>(v >> 8));
    m.push_back(static_cast<uint8_t>(v & 0xFF));
  };
  char title[20] = "tone orders";
  put(title, 20);
  for (int s = 0; s < 31; ++s) {
    char name[22] = {};
    if (s == 0) std::strcpy(name, "square");
    put(name, 22);
    const int words = s == 0 ? 16 : 0;
    be16(words);                      // length in words
    m.push_back(0);                   // finetune
    m.push_back(s == 0 ? 64 : 0);     // volume
    be16(0);                          // loop start
    be16(s == 0 ? 16 : 1);            // loop length (1: no loop)
  }
  m.push_back(static_cast<uint8_t>(orders));
  m.push_back(127);
  for (int i = 0; i < 128; ++i) m.push_back(static_cast<uint8_t>(i < orders ? i : 0));
  put("M.K.", 4);
  for (int p = 0; p < orders; ++p) {
    for (int row = 0; row < 64; ++row) {
      for (int ch = 0; ch < 4; ++ch) {
        uint8_t cell[4] = {0, 0, 0, 0};
        if (row == 0 && ch < voices) {
          const int period = kTonePeriods[(p + ch) % 8];
          cell[0] = static_cast<uint8_t>((period >> 8) & 0x0F);  // sample 1: high nibble 0
          cell[1] = static_cast<uint8_t>(period & 0xFF);
          cell[2] = 0x10;  // sample 1, no effect
        }
        if (row == rows - 1 && ch == 1) cell[2] = 0x0D;  // pattern break to row 0
        put(cell, 4);
      }
    }
  }
  for (int i = 0; i < 32; ++i) m.push_back(static_cast<uint8_t>(i < 16 ? 100 : -100));
  return m;
}

// Root mean square of interleaved 16-bit frames, on the 0..1 scale.
inline double Rms(const int16_t* values, size_t count) {
  if (count == 0) return 0;
  double sum = 0;
  for (size_t i = 0; i < count; ++i) sum += static_cast<double>(values[i]) * values[i];
  return std::sqrt(sum / static_cast<double>(count)) / 32768.0;
}

// The pitch of the left channel in Hz, from its rising zero crossings.
inline double PitchHz(const int16_t* frames, size_t count, int rate = 44100) {
  int crossings = 0;
  size_t first = 0, last = 0;
  for (size_t i = 1; i < count; ++i)
    if (frames[2 * (i - 1)] < 0 && frames[2 * i] >= 0) {
      if (crossings == 0) first = i;
      last = i;
      ++crossings;
    }
  if (crossings < 2) return 0;
  return (crossings - 1) * static_cast<double>(rate) / static_cast<double>(last - first);
}

}  // namespace qv::testdata
