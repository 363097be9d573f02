#include "conversion/line_feed_marks.h"

#include "conversion/byte_scan.h"

// The block pass touches every byte of the input, so it is the one scan worth
// a second version for processors with 32-byte vectors. It alone is chosen at
// run time, once per process: the per-line scans stay the same on every
// processor.
#if CAP2BATCH_SCAN_SSE2 && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define CAP2BATCH_SCAN_AVX2 1
#include <immintrin.h>
#else
#define CAP2BATCH_SCAN_AVX2 0
#endif

bool markLineFeeds(const char* at, std::size_t words, std::uint64_t* lineFeeds) {
  return byte_scan::markLineFeeds(at, words, lineFeeds);
}

#if CAP2BATCH_SCAN_AVX2
namespace {

[[gnu::target("avx2")]] bool markLineFeedsWithAvx2(const char* at, std::size_t words,
                                                   std::uint64_t* lineFeeds) {
  const __m256i lineFeed = _mm256_set1_epi8('\n');
  const __m256i endOfText = _mm256_set1_epi8('\x1a');
  // The smallest of each byte and the byte XOR 0x1A: 0 once a NUL or a 0x1A
  // has been seen.
  __m256i smallest = _mm256_set1_epi8(-1);
  for (std::size_t word = 0; word < words; ++word, at += 64) {
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 32));
    const auto lowBits =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, lineFeed)));
    const auto highBits =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, lineFeed)));
    lineFeeds[word] = lowBits | std::uint64_t{highBits} << 32;
    smallest = _mm256_min_epu8(smallest, _mm256_min_epu8(low, _mm256_xor_si256(low, endOfText)));
    smallest = _mm256_min_epu8(smallest, _mm256_min_epu8(high, _mm256_xor_si256(high, endOfText)));
  }
  return _mm256_movemask_epi8(_mm256_cmpeq_epi8(smallest, _mm256_setzero_si256())) != 0;
}

}  // namespace

const LineFeedMarker markLineFeedsAvx2 = markLineFeedsWithAvx2;

bool canMarkWithAvx2() { return __builtin_cpu_supports("avx2"); }
#else
const LineFeedMarker markLineFeedsAvx2 = nullptr;

bool canMarkWithAvx2() { return false; }
#endif

LineFeedMarker fastestLineFeedMarker() {
  static const LineFeedMarker fastest = canMarkWithAvx2() ? markLineFeedsAvx2 : markLineFeeds;
  return fastest;
}
