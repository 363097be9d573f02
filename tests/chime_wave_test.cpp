// The committed chime, resources/chime.wav: its exact layout, which both
// executables rely on, and the shape of the sound.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "run/wave_sound.h"

namespace {

std::string readChime() {
  std::ifstream in(CHIME_WAV, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::uint32_t field(const std::string& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

std::vector<std::int16_t> samplesOf(const std::string& bytes) {
  std::vector<std::int16_t> samples;
  for (std::size_t at = 44; at + 1 < bytes.size(); at += 2) {
    samples.push_back(static_cast<std::int16_t>(field(bytes, at, 2)));
  }
  return samples;
}

TEST(ChimeWaveTest, IsAPcmWaveWithFormatAndDataChunksOnly) {
  const std::string chime = readChime();
  ASSERT_EQ(8716u, chime.size());
  const struct {
    const char* name;
    std::size_t at;
    std::string tag;  // four characters, or
    int size;         // a little-endian number of this many bytes
    std::uint32_t value;
  } fields[] = {
      {"RIFF", 0, "RIFF", 0, 0},
      {"RIFF size", 4, "", 4, 8708},
      {"form type", 8, "WAVE", 0, 0},
      {"fmt chunk", 12, "fmt ", 0, 0},
      {"fmt size", 16, "", 4, 16},
      {"format tag PCM", 20, "", 2, 1},
      {"channels", 22, "", 2, 1},
      {"frames per second", 24, "", 4, 22050},
      {"bytes per second", 28, "", 4, 44100},
      {"block align", 32, "", 2, 2},
      {"bits per sample", 34, "", 2, 16},
      {"data chunk", 36, "data", 0, 0},
      {"data size", 40, "", 4, 8672},
  };
  for (const auto& f : fields) {
    if (f.size == 0) {
      EXPECT_EQ(f.tag, chime.substr(f.at, 4)) << f.name;
    } else {
      EXPECT_EQ(f.value, field(chime, f.at, f.size)) << f.name;
    }
  }

  // The player reads the same: the data chunk, whole.
  const std::optional<WaveSound> sound =
      parseWave(std::span(reinterpret_cast<const unsigned char*>(chime.data()), chime.size()));
  ASSERT_TRUE(sound);
  EXPECT_EQ(1, sound->channels);
  EXPECT_EQ(22050u, sound->framesPerSecond);
  EXPECT_EQ(16, sound->bitsPerSample);
  EXPECT_EQ(reinterpret_cast<const unsigned char*>(chime.data()) + 44, sound->samples.data());
  EXPECT_EQ(8672u, sound->samples.size());
}

TEST(ChimeWaveTest, StartsAndEndsInSilenceWithoutClipping) {
  const std::vector<std::int16_t> samples = samplesOf(readChime());
  ASSERT_EQ(4336u, samples.size());
  // A jump from or to silence is heard as a click.
  EXPECT_EQ(0, samples.front());
  EXPECT_EQ(0, samples.back());
  const auto peakOf = [](auto begin, auto end) {
    int peak = 0;
    for (auto at = begin; at != end; ++at) peak = std::max(peak, std::abs(int{*at}));
    return peak;
  };
  const int peak = peakOf(samples.begin(), samples.end());
  EXPECT_GT(peak, 8000) << "loud enough to be heard";
  EXPECT_LT(peak, 32000) << "not clipped";
  // The strike comes at once; the sound has faded to a trace in its last
  // millisecond.
  EXPECT_EQ(peak, peakOf(samples.begin(), samples.begin() + 441));
  EXPECT_LT(peakOf(samples.end() - 22, samples.end()), 50);
}

}  // namespace
