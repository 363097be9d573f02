#include "conversion/byte_scan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "conversion/line_feed_marks.h"

namespace {

// This file is built twice: as is, where x86-64 must take the SSE2 scans, and
// with CAP2BATCH_PORTABLE_SCAN, which must take the portable ones.
#if defined(CAP2BATCH_PORTABLE_SCAN)
static_assert(!CAP2BATCH_SCAN_SSE2);
#elif defined(__x86_64__) || defined(_M_X64)
static_assert(CAP2BATCH_SCAN_SSE2);
#endif

std::uint64_t spaceBitsByBytes(const char* at) {
  std::uint64_t bits = 0;
  for (int i = 0; i < 64; ++i) {
    if (isLineSpace(at[i])) bits |= std::uint64_t{1} << i;
  }
  return bits;
}

TEST(ByteScanTest, SpaceBitsMarkTheSixWhitespaceBytesInEveryPosition) {
  // Every byte value, at every position of the four 16-byte vectors, among
  // bytes that are whitespace and among bytes that are not.
  for (const char background : {'a', ' ', '\t', '\x80'}) {
    for (int value = 0; value < 256; ++value) {
      for (int at = 0; at < 64; ++at) {
        std::string window(64, background);
        window[static_cast<std::size_t>(at)] = static_cast<char>(value);
        ASSERT_EQ(spaceBitsByBytes(window.data()), byte_scan::spaceBits64(window.data()))
            << "byte " << value << " at " << at << " among " << int{background};
      }
    }
  }
}

const char* lastSeparatorOrDotByBytes(const char* begin, const char* end) {
  while (end > begin) {
    --end;
    if (*end == '/' || *end == '\\' || *end == '.') return end;
  }
  return nullptr;
}

TEST(ByteScanTest, FindsTheLastSeparatorOrDotWhereverItLies) {
  // Marks and their neighbours in value, in every position of texts up to
  // three vectors long, alone and with an earlier mark that must lose.
  const char bytes[] = {'/', '\\', '.', '-', '0', '[', ']', '\xAE', '\xAF', '\xDC', '\0'};
  for (std::size_t size = 0; size <= 48; ++size) {
    for (const char byte : bytes) {
      for (std::size_t at = 0; at < size; ++at) {
        for (const bool earlier : {false, true}) {
          std::string text(size, 'n');
          if (earlier) text[at / 2] = '.';
          text[at] = byte;
          const char* const begin = text.data();
          ASSERT_EQ(lastSeparatorOrDotByBytes(begin, begin + size),
                    byte_scan::findLastSeparatorOrDot(begin, begin + size))
              << size << " " << int{byte} << " at " << at;
        }
      }
    }
  }
}

TEST(ByteScanTest, LineFeedMarkersMarkEveryLineFeedAndNoticeNulAndEndOfText) {
  std::vector<std::pair<const char*, LineFeedMarker>> markers = {{"baseline", markLineFeeds}};
  if (canMarkWithAvx2()) {
    markers.emplace_back("AVX2", markLineFeedsAvx2);
  } else {
    std::cout << "This build or processor has no AVX2 marker: the baseline one alone is tested\n";
  }
  // One byte of each kind at every place of one to three words of text that
  // has LFs of its own, near both ends of each vector.
  const char kinds[] = {'\n', '\0', '\x1a', '\r', '\x1b', '\x0b', '\xff'};
  for (const auto& [name, mark] : markers) {
    for (std::size_t words = 1; words <= 3; ++words) {
      for (std::size_t at = 0; at < words * 64; ++at) {
        for (const char kind : kinds) {
          std::string bytes(words * 64, 'x');
          for (std::size_t i = 5; i < bytes.size(); i += 29) bytes[i] = '\n';
          bytes[at] = kind;
          std::vector<std::uint64_t> expected(words, 0);
          bool special = false;
          for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') expected[i / 64] |= std::uint64_t{1} << (i % 64);
            special = special || bytes[i] == '\0' || bytes[i] == '\x1a';
          }
          std::vector<std::uint64_t> marked(words + 1, 0x5555);
          EXPECT_EQ(special, mark(bytes.data(), words, marked.data()))
              << name << " " << words << " " << at << " " << int{kind};
          EXPECT_EQ(0x5555u, marked[words]) << name << ": wrote past its words";
          marked.pop_back();
          ASSERT_EQ(expected, marked) << name << " " << words << " " << at << " " << int{kind};
        }
      }
    }
  }
}

TEST(ByteScanTest, FileNameMarksAreTheLastSeparatorAndTheLastDotAfterIt) {
  // A separator and a dot in every pair of positions of paths up to three
  // steps of the scan long (its last step overlaps the ones before in most).
  for (std::size_t size = 0; size <= 100; ++size) {
    for (std::size_t separator = 0; separator <= size; ++separator) {
      for (std::size_t dot = 0; dot <= size; ++dot) {
        std::string path(size, 'n');
        if (dot < size) path[dot] = '.';
        if (separator < size) path[separator] = separator % 2 == 0 ? '/' : '\\';
        const char* const begin = path.data();
        const char* expectedSeparator = nullptr;
        const char* expectedDot = nullptr;
        for (const char* at = begin + size; at > begin && expectedSeparator == nullptr;) {
          --at;
          if (*at == '/' || *at == '\\') expectedSeparator = at;
          if (*at == '.' && expectedDot == nullptr) expectedDot = at;
        }
        const byte_scan::FileNameMarks marks = byte_scan::findFileNameMarks(begin, begin + size);
        ASSERT_EQ(expectedSeparator, marks.separator) << size << " " << separator << " " << dot;
        ASSERT_EQ(expectedDot, marks.dot) << size << " " << separator << " " << dot;
      }
    }
  }
}

TEST(ByteScanTest, ColonsBecomeSemicolonsAndNothingElseChanges) {
  const char bytes[] = {':', ';', '9', '\xBA', '\xBB', '\0', '\n'};
  for (std::size_t size = 0; size <= 72; ++size) {
    for (const char byte : bytes) {
      for (std::size_t at = 0; at < size; ++at) {
        std::string from(size + byte_scan::kOverrun, ':');
        for (std::size_t i = 0; i < size; ++i) from[i] = static_cast<char>('a' + i % 26);
        from[at] = byte;
        std::string expected = from.substr(0, size);
        for (char& c : expected) c = c == ':' ? ';' : c;

        std::string exact(size + 1, '#');
        byte_scan::copyReplacingColons(exact.data(), from.data(), size);
        EXPECT_EQ(expected + "#", exact) << size << " " << at;

        // The block copy may write garbage past the end, but only so far.
        std::string blocks(size + byte_scan::kOverrun + 1, '#');
        byte_scan::copyReplacingColonsInBlocks(blocks.data(), from.data(), size);
        EXPECT_EQ(expected, blocks.substr(0, size)) << size << " " << at;
        EXPECT_EQ('#', blocks.back()) << size;

        std::string copied(size + byte_scan::kOverrun + 1, '#');
        byte_scan::copyInBlocks(copied.data(), from.data(), size);
        EXPECT_EQ(from.substr(0, size), copied.substr(0, size)) << size;
        EXPECT_EQ('#', copied.back()) << size;
      }
    }
  }
}

}  // namespace
