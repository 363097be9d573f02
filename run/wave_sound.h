#pragma once

#include <cstdint>
#include <optional>
#include <span>

/// The playable part of a RIFF WAVE file: its PCM format and its samples.
struct WaveSound {
  std::uint16_t channels = 0;
  std::uint32_t framesPerSecond = 0;
  std::uint16_t bitsPerSample = 0;
  /// The "data" chunk's bytes, inside the file that was parsed, cut to whole
  /// frames.
  std::span<const unsigned char> samples;
};

/// Reads the "fmt " and "data" chunks of a RIFF WAVE file, skipping any other
/// chunk. Returns nothing unless the file is PCM (format tag 1) with 1 or more
/// channels, a rate above 0 and 8 or 16 bits per sample, and both chunks lie
/// inside the file.
std::optional<WaveSound> parseWave(std::span<const unsigned char> file);
