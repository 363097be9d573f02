#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "conversion/line_scanner.h"

// x86-64 always has SSE2 (so do its Windows builds): there the hot scans test
// sixteen bytes with one instruction each. Everywhere else, and in the test
// build that defines CAP2BATCH_PORTABLE_SCAN, the portable scans below do the
// same work in 64-bit words.
#if !defined(CAP2BATCH_PORTABLE_SCAN) && (defined(__SSE2__) || defined(_M_X64))
#define CAP2BATCH_SCAN_SSE2 1
#include <emmintrin.h>
#else
#define CAP2BATCH_SCAN_SSE2 0
#endif

// Scans over bytes eight at a time in a 64-bit word, for the hot loops of the
// conversion. Each test marks the high bit of every byte that matches, exactly
// (no carry crosses from one byte into the next), so the first or last marked
// byte is the answer; fewer than eight bytes left are tested one by one.
namespace byte_scan {

/// How far the *InBlocks copies may read past their source and write past
/// their target: their bytes there are garbage that the caller overwrites or
/// never uses.
constexpr std::size_t kOverrun = 32;

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

#if CAP2BATCH_SCAN_SSE2
inline __m128i load16(const char* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

inline void store16(char* at, __m128i bytes) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(at), bytes);
}

/// Bit i set when byte i of the 16 is whitespace.
inline std::uint32_t spaceBits16(__m128i bytes) {
  // Adding 0x80 - '\t' moves '\t'..'\r' to the five smallest signed bytes,
  // and every other byte above them.
  const __m128i shifted = _mm_add_epi8(bytes, _mm_set1_epi8(static_cast<char>(0x80 - '\t')));
  const __m128i control = _mm_cmplt_epi8(shifted, _mm_set1_epi8(static_cast<char>(-0x80 + 5)));
  const __m128i blank = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' '));
  return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_or_si128(control, blank)));
}
#endif

/// Bit i set when byte i of the 64 at `at` is whitespace.
inline std::uint64_t spaceBits64(const char* at) {
  std::uint64_t bits = 0;
#if CAP2BATCH_SCAN_SSE2
  for (int chunk = 0; chunk < 4; ++chunk) {
    bits |= std::uint64_t{spaceBits16(load16(at + 16 * chunk))} << (16 * chunk);
  }
#else
  for (int chunk = 0; chunk < 8; ++chunk) {
    bits |= std::uint64_t{markBits(spaces(load(at + 8 * chunk)))} << (8 * chunk);
  }
#endif
  return bits;
}

/// For each of the `words` runs of 64 bytes at `at`, sets word i of `lineFeeds`
/// to the LF bits of run i (bit j for its byte j). Returns true when any of
/// the bytes is a NUL or 0x1A: the same pass tells whether a block needs a
/// closer look for either.
inline bool markLineFeeds(const char* at, std::size_t words, std::uint64_t* lineFeeds) {
#if CAP2BATCH_SCAN_SSE2
  // The smallest byte, and the smallest byte XOR 0x1A: 0 when there is one.
  __m128i smallest = _mm_set1_epi8(-1);
  __m128i smallestFromEnd = _mm_set1_epi8(-1);
  for (std::size_t word = 0; word < words; ++word, at += 64) {
    std::uint64_t bits = 0;
    for (int chunk = 0; chunk < 4; ++chunk) {
      const __m128i bytes = load16(at + 16 * chunk);
      const __m128i lineFeeds16 = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'));
      bits |= std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(lineFeeds16))}
              << (16 * chunk);
      smallest = _mm_min_epu8(smallest, bytes);
      smallestFromEnd = _mm_min_epu8(smallestFromEnd, _mm_xor_si128(bytes, _mm_set1_epi8('\x1a')));
    }
    lineFeeds[word] = bits;
  }
  const __m128i zero = _mm_cmpeq_epi8(_mm_min_epu8(smallest, smallestFromEnd), _mm_setzero_si128());
  return _mm_movemask_epi8(zero) != 0;
#else
  Word special = 0;
  for (std::size_t word = 0; word < words; ++word, at += 64) {
    std::uint64_t bits = 0;
    for (int chunk = 0; chunk < 8; ++chunk) {
      const Word bytes = load(at + 8 * chunk);
      bits |= std::uint64_t{markBits(equalTo(bytes, '\n'))} << (8 * chunk);
      special |= equalTo(bytes, 0) | equalTo(bytes, 0x1A);
    }
    lineFeeds[word] = bits;
  }
  return special != 0;
#endif
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
#if CAP2BATCH_SCAN_SSE2
  for (; end - begin >= 16; end -= 16) {
    const __m128i bytes = load16(end - 16);
    const __m128i marks = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('/')),
                                                    _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\'))),
                                       _mm_cmpeq_epi8(bytes, _mm_set1_epi8('.')));
    if (const auto bits = static_cast<std::uint32_t>(_mm_movemask_epi8(marks))) {
      return end - 1 - std::countl_zero(bits << 16);
    }
  }
#endif
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

/// Where a path's file name lies, as far as single bytes tell.
struct FileNameMarks {
  const char* separator = nullptr;  // the last '/' or '\', or null
  const char* dot = nullptr;        // the last '.' after it, or null
};

#if CAP2BATCH_SCAN_SSE2
/// The separator and dot bits of 16 or 32 bytes, bit i for byte i.
struct FileNameBits {
  std::uint32_t separators;
  std::uint32_t dots;
};

inline FileNameBits fileNameBits16(const char* at) {
  const __m128i bytes = load16(at);
  const __m128i slashes = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('/')),
                                       _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\')));
  return FileNameBits{
      static_cast<std::uint32_t>(_mm_movemask_epi8(slashes)),
      static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('.'))))};
}

inline FileNameBits fileNameBits32(const char* at) {
  const FileNameBits low = fileNameBits16(at);
  const FileNameBits high = fileNameBits16(at + 16);
  return FileNameBits{low.separators | high.separators << 16, low.dots | high.dots << 16};
}

/// Takes into `marks` the bits of the bytes from `at` on, a scan back having
/// looked at the bytes after them; only the bits set in `fresh` are bytes not
/// looked at yet. True once the separator is found.
inline bool takeFileNameBits(FileNameMarks& marks, const char* at, FileNameBits bits,
                             std::uint32_t fresh) {
  const std::uint32_t separators = bits.separators & fresh;
  const std::uint32_t dots = bits.dots & fresh;
  if (separators != 0) {
    // The highest set bit is the last separator; a dot counts only above it,
    // and then the highest dot is the last one.
    const int last = 31 - std::countl_zero(separators);
    marks.separator = at + last;
    if (marks.dot == nullptr && (dots >> last) != 0) marks.dot = at + 31 - std::countl_zero(dots);
    return true;
  }
  if (marks.dot == nullptr && dots != 0) marks.dot = at + 31 - std::countl_zero(dots);
  return false;
}
#endif

/// Sets `marks` to the FileNameMarks of [begin, end) and returns true when
/// the path's last 32 bytes hold a separator, as in most paths; else returns
/// false, `marks` being of no use, and findFileNameMarks has to look further.
inline bool findFileNameMarksNearEnd(const char* begin, const char* end, FileNameMarks& marks) {
#if CAP2BATCH_SCAN_SSE2
  if (end - begin < 32) return false;
  marks = FileNameMarks{};
  return takeFileNameBits(marks, end - 32, fileNameBits32(end - 32), ~0u);
#else
  (void)begin;
  (void)end;
  (void)marks;
  return false;
#endif
}

/// The FileNameMarks of [begin, end), from one scan back from the end.
inline FileNameMarks findFileNameMarks(const char* begin, const char* end) {
  FileNameMarks marks;
#if CAP2BATCH_SCAN_SSE2
  // Steps of `width` bytes back from the end: most file names are shorter than
  // 32 bytes, so most paths take one step. The bytes before the last whole
  // step that were not seen yet are looked at in one more step from the start.
  const auto scanBack = [&](std::ptrdiff_t width, FileNameBits (*bitsOf)(const char*)) {
    for (; end - begin >= width; end -= width) {
      if (takeFileNameBits(marks, end - width, bitsOf(end - width), ~0u)) return;
    }
    if (end > begin) takeFileNameBits(marks, begin, bitsOf(begin), ~0u >> (32 - (end - begin)));
  };
  if (end - begin >= 32) {
    scanBack(32, fileNameBits32);
    return marks;
  }
  if (end - begin >= 16) {
    scanBack(16, fileNameBits16);
    return marks;
  }
#endif
  // Shorter paths, or no vectors: mark by mark.
  while (const char* found = findLastSeparatorOrDot(begin, end)) {
    if (*found != '.') {
      marks.separator = found;
      return marks;
    }
    if (marks.dot == nullptr) marks.dot = found;
    end = found;
  }
  return marks;
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

/// Copies `size` bytes from `from` to `to` in blocks, reading and writing up to
/// kOverrun bytes past both. The first 32 bytes are always copied, without a
/// test: most pieces of a row are shorter, and a loop whose count varies from
/// row to row would be mispredicted on most of them.
inline void copyInBlocks(char* to, const char* from, std::size_t size) {
#if CAP2BATCH_SCAN_SSE2
  store16(to, load16(from));
  store16(to + 16, load16(from + 16));
  for (std::size_t at = 32; at < size; at += 16) store16(to + at, load16(from + at));
#else
  for (std::size_t at = 0; at < 32; at += 8) store(to + at, load(from + at));
  for (std::size_t at = 32; at < size; at += 8) store(to + at, load(from + at));
#endif
}

/// copyReplacingColons in blocks, reading and writing up to kOverrun bytes
/// past both.
inline void copyReplacingColonsInBlocks(char* to, const char* from, std::size_t size) {
#if CAP2BATCH_SCAN_SSE2
  // ';' is ':' + 1: subtracting the all-ones of a match adds one.
  const auto replace = [](__m128i bytes) {
    return _mm_sub_epi8(bytes, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(':')));
  };
  store16(to, replace(load16(from)));
  for (std::size_t at = 16; at < size; at += 16) store16(to + at, replace(load16(from + at)));
#else
  for (std::size_t at = 0; at < size; at += 8) {
    const Word word = load(from + at);
    store(to + at, word + (equalTo(word, ':') >> 7));
  }
#endif
}

}  // namespace byte_scan
