#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "conversion/line_scanner.h"

// Scans over bytes eight at a time in a 64-bit word, for the hot loops of the
// conversion. Each test marks the high bit of every byte that matches, exactly
// (no carry crosses from one byte into the next), so the first or last marked
// byte is the answer; fewer than eight bytes left are tested one by one.
namespace byte_scan {

using Word = std::uint64_t;
constexpr Word kOnes = 0x0101010101010101ull;
constexpr Word kHigh = 0x8080808080808080ull;
constexpr Word kLow = 0x7F7F7F7F7F7F7F7Full;

inline Word load(const char* at) {
  Word word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

inline void store(char* at, Word word) { std::memcpy(at, &word, sizeof word); }

/// Marks the bytes equal to `byte`.
inline Word equalTo(Word word, unsigned char byte) {
  const Word x = word ^ (kOnes * byte);
  return ~(((x & kLow) + kLow) | x) & kHigh;
}

/// Marks the bytes from `low` to `high`, inclusive (both below 0x80).
inline Word inRange(Word word, unsigned char low, unsigned char high) {
  const Word seven = word & kLow;
  const Word atLeastLow = seven + kOnes * (0x80u - low);
  const Word aboveHigh = seven + kOnes * (0x7Fu - high);
  return atLeastLow & ~aboveHigh & ~word & kHigh;
}

/// Marks the whitespace bytes: tab, LF, VT, FF, CR and space.
inline Word spaces(Word word) { return equalTo(word, ' ') | inRange(word, '\t', '\r'); }

/// The offset of the first marked byte in memory order; `marks` is not 0.
inline std::size_t firstMarked(Word marks) {
  if constexpr (std::endian::native == std::endian::little) {
    return static_cast<std::size_t>(std::countr_zero(marks)) / 8;
  } else {
    return static_cast<std::size_t>(std::countl_zero(marks)) / 8;
  }
}

/// The offset of the last marked byte in memory order; `marks` is not 0.
inline std::size_t lastMarked(Word marks) {
  if constexpr (std::endian::native == std::endian::little) {
    return 7 - static_cast<std::size_t>(std::countl_zero(marks)) / 8;
  } else {
    return 7 - static_cast<std::size_t>(std::countr_zero(marks)) / 8;
  }
}

/// One bit per marked byte, bit i for byte i in memory order.
inline std::uint8_t markBits(Word marks) {
  // Gathers the eight high bits into the top byte; each lands on its own bit.
  if constexpr (std::endian::native == std::endian::little) {
    return static_cast<std::uint8_t>(((marks >> 7) * 0x0102040810204080ull) >> 56);
  } else {
    return static_cast<std::uint8_t>(((marks >> 7) * 0x8040201008040201ull) >> 56);
  }
}

/// Bit i set when byte i of the 64 at `at` is whitespace.
inline std::uint64_t spaceBits64(const char* at) {
  std::uint64_t bits = 0;
  for (int chunk = 0; chunk < 8; ++chunk) {
    bits |= std::uint64_t{markBits(spaces(load(at + 8 * chunk)))} << (8 * chunk);
  }
  return bits;
}

/// The first whitespace byte in [at, end), or `end`.
inline const char* findSpace(const char* at, const char* end) {
  for (; end - at >= 8; at += 8) {
    if (const Word marks = spaces(load(at))) return at + firstMarked(marks);
  }
  while (at < end && !isLineSpace(*at)) ++at;
  return at;
}

/// The first byte in [at, end) that is not whitespace, or `end`.
inline const char* skipSpaces(const char* at, const char* end) {
  for (; end - at >= 8; at += 8) {
    if (const Word marks = ~spaces(load(at)) & kHigh) return at + firstMarked(marks);
  }
  while (at < end && isLineSpace(*at)) ++at;
  return at;
}

/// The last byte in [begin, end) that is '/', '\' or '.', or null.
inline const char* findLastSeparatorOrDot(const char* begin, const char* end) {
  for (; end - begin >= 8; end -= 8) {
    const Word word = load(end - 8);
    if (const Word marks = equalTo(word, '/') | equalTo(word, '\\') | equalTo(word, '.')) {
      return end - 8 + lastMarked(marks);
    }
  }
  while (end > begin) {
    --end;
    if (*end == '/' || *end == '\\' || *end == '.') return end;
  }
  return nullptr;
}

/// Copies `size` bytes from `from` to `to`, each ':' turned into ';'.
inline void copyReplacingColons(char* to, const char* from, std::size_t size) {
  for (; size >= 8; size -= 8, from += 8, to += 8) {
    const Word word = load(from);
    // ';' is ':' + 1, and a marked byte has no carry to pass on.
    store(to, word + (equalTo(word, ':') >> 7));
  }
  for (; size > 0; --size) {
    const char byte = *from++;
    *to++ = byte == ':' ? ';' : byte;
  }
}

}  // namespace byte_scan
