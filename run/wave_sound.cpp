#include "run/wave_sound.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace {

std::uint32_t littleEndian(std::span<const unsigned char> bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

bool hasTag(std::span<const unsigned char> bytes, std::size_t at, std::string_view tag) {
  return std::equal(tag.begin(), tag.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                    [](char a, unsigned char b) { return static_cast<unsigned char>(a) == b; });
}

}  // namespace

std::optional<WaveSound> parseWave(std::span<const unsigned char> file) {
  if (file.size() < 12 || !hasTag(file, 0, "RIFF") || !hasTag(file, 8, "WAVE")) return {};
  // A RIFF size that claims more than the file holds is not trusted.
  const std::uint32_t riffSize = littleEndian(file, 4, 4);
  const std::size_t end = file.size() - 8 < riffSize ? file.size() : 8 + std::size_t{riffSize};

  WaveSound sound;
  bool haveFormat = false;
  std::optional<std::span<const unsigned char>> data;
  for (std::size_t at = 12; at + 8 <= end;) {
    const std::size_t size = littleEndian(file, at + 4, 4);
    const std::size_t body = at + 8;
    if (size > end - body) return {};
    if (hasTag(file, at, "fmt ")) {
      if (size < 16 || littleEndian(file, body, 2) != 1) return {};
      sound.channels = static_cast<std::uint16_t>(littleEndian(file, body + 2, 2));
      sound.framesPerSecond = littleEndian(file, body + 4, 4);
      sound.bitsPerSample = static_cast<std::uint16_t>(littleEndian(file, body + 14, 2));
      haveFormat = true;
    } else if (hasTag(file, at, "data")) {
      data = file.subspan(body, size);
    }
    // Chunks of odd size are followed by one fill byte.
    at = body + size + (size & 1);
  }

  if (!haveFormat || !data || sound.channels == 0 || sound.framesPerSecond == 0 ||
      (sound.bitsPerSample != 8 && sound.bitsPerSample != 16)) {
    return {};
  }
  const std::size_t frameSize = std::size_t{sound.channels} * (sound.bitsPerSample / 8u);
  sound.samples = data->first(data->size() - data->size() % frameSize);
  return sound;
}
