#include "run/wave_sound.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace {

std::string littleEndian(std::uint32_t value, int size) {
  std::string bytes;
  for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return bytes;
}

std::string chunk(const std::string& tag, const std::string& body) {
  std::string bytes = tag + littleEndian(static_cast<std::uint32_t>(body.size()), 4) + body;
  if (body.size() % 2 != 0) bytes.push_back('\0');
  return bytes;
}

std::string format(std::uint32_t tag, std::uint32_t channels, std::uint32_t rate,
                   std::uint32_t bits) {
  const std::uint32_t blockAlign = channels * bits / 8;
  return chunk("fmt ", littleEndian(tag, 2) + littleEndian(channels, 2) + littleEndian(rate, 4) +
                           littleEndian(rate * blockAlign, 4) + littleEndian(blockAlign, 2) +
                           littleEndian(bits, 2));
}

std::string riff(const std::string& chunks) {
  return "RIFF" + littleEndian(static_cast<std::uint32_t>(4 + chunks.size()), 4) + "WAVE" + chunks;
}

std::optional<WaveSound> parse(const std::string& file) {
  return parseWave(std::span(reinterpret_cast<const unsigned char*>(file.data()), file.size()));
}

std::string samplesOf(const WaveSound& sound) {
  return std::string(reinterpret_cast<const char*>(sound.samples.data()), sound.samples.size());
}

TEST(WaveSoundTest, ReadsFormatAndSamples) {
  struct Case {
    const char* name;
    std::string file;
    std::uint16_t channels;
    std::uint32_t rate;
    std::uint16_t bits;
    std::string samples;
  };
  const std::string mono = format(1, 1, 22050, 16);
  const Case cases[] = {
      {"plain", riff(mono + chunk("data", "abcd")), 1, 22050, 16, "abcd"},
      {"other chunks skipped, odd ones with their fill byte",
       riff(chunk("JUNK", "x") + mono + chunk("LIST", "INFOabc") + chunk("data", "abcd") +
            chunk("DISP", "t")),
       1, 22050, 16, "abcd"},
      {"data before format", riff(chunk("data", "abcd") + mono), 1, 22050, 16, "abcd"},
      {"a half frame at the end is dropped", riff(mono + chunk("data", "abc")), 1, 22050, 16, "ab"},
      {"stereo, 8 bits", riff(format(1, 2, 8000, 8) + chunk("data", "abcde")), 2, 8000, 8, "abcd"},
      {"empty data", riff(mono + chunk("data", "")), 1, 22050, 16, ""},
      {"bytes after the RIFF chunk are not read",
       riff(mono + chunk("data", "ab")) + chunk("data", "cdcd"), 1, 22050, 16, "ab"},
  };
  for (const Case& c : cases) {
    const std::optional<WaveSound> sound = parse(c.file);
    ASSERT_TRUE(sound) << c.name;
    EXPECT_EQ(c.channels, sound->channels) << c.name;
    EXPECT_EQ(c.rate, sound->framesPerSecond) << c.name;
    EXPECT_EQ(c.bits, sound->bitsPerSample) << c.name;
    EXPECT_EQ(c.samples, samplesOf(*sound)) << c.name;
  }
}

TEST(WaveSoundTest, RefusesWhatCannotBePlayed) {
  const std::string mono = format(1, 1, 22050, 16);
  const std::string data = chunk("data", "abcd");
  std::string truncatedData = riff(mono + data);
  truncatedData.resize(truncatedData.size() - 1);
  std::string riffClaimsMore = riff(mono + data);
  riffClaimsMore.replace(4, 4, littleEndian(0xFFFFFFFF, 4));
  riffClaimsMore.resize(riffClaimsMore.size() - 2);
  const struct {
    const char* name;
    std::string file;
  } cases[] = {
      {"empty", ""},
      {"header only, short", "RIFF\4\0\0\0WAV"},
      {"not RIFF", "RIFX" + riff(mono + data).substr(4)},
      {"not WAVE", riff(mono + data).replace(8, 4, "AVI ")},
      {"no format", riff(data)},
      {"no data", riff(mono)},
      {"float samples", riff(format(3, 1, 22050, 32) + data)},
      {"24 bits", riff(format(1, 1, 22050, 24) + data)},
      {"no channel", riff(format(1, 0, 22050, 16) + data)},
      {"rate 0", riff(format(1, 1, 0, 16) + data)},
      {"format chunk too short", riff(chunk("fmt ", "\1\0\1\0") + data)},
      {"data runs past the end", truncatedData},
      {"data runs past the end of a RIFF size that claims more", riffClaimsMore},
      {"chunk size near 4 GiB", riff(mono + "data" + littleEndian(0xFFFFFFF0, 4) + "abcd")},
  };
  for (const auto& c : cases) EXPECT_FALSE(parse(c.file)) << c.name;
}

}  // namespace
