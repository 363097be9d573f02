#include "conversion/text_reader.h"

#include <bit>
#include <cstring>

#include "conversion/line_feed_marks.h"

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
constexpr char kEndOfText = '\x1a';
// Words of line-feed bits looked at together, past the one a line starts in.
constexpr std::size_t kLookAheadWords = 2;

// The offset of the first `byte` in [at, at + size), or `size`.
std::size_t firstOf(const char* at, std::size_t size, char byte) {
  const void* found = std::memchr(at, byte, size);
  return found != nullptr ? static_cast<std::size_t>(static_cast<const char*>(found) - at) : size;
}

// A buffer of `capacity` bytes followed by the reader's slack. Only what is
// read into it is ever touched, so a buffer grown for a long line costs no
// more memory than the line.
std::unique_ptr<char[]> makeBuffer(std::size_t capacity) {
  return std::make_unique_for_overwrite<char[]>(capacity + TextReader::kReadableSlack);
}

// The offset of the first set bit in the 192 bits of `first`, `second` and
// `third`, taken in that order, or 192 when none is set. No branch: the top bit
// added to each word only makes a count of its own defined (63 for an empty
// word), and the tests for empty words give masks, not jumps.
std::size_t firstSetBitOf3(std::uint64_t first, std::uint64_t second, std::uint64_t third) {
  constexpr std::uint64_t kTop = std::uint64_t{1} << 63;
  const auto count = [](std::uint64_t word) {
    return static_cast<std::size_t>(std::countr_zero(word | kTop));
  };
  const auto allIfEmpty = [](std::uint64_t word) { return 0 - std::size_t{word == 0}; };
  return count(first) + (allIfEmpty(first) &
                         (1 + count(second) +
                          (allIfEmpty(second) & (1 + count(third) + (allIfEmpty(third) & 1)))));
}

// One bit for each byte of a buffer of `capacity`, in whole words.
std::unique_ptr<std::uint64_t[]> makeLineFeedBits(std::size_t capacity) {
  return std::make_unique_for_overwrite<std::uint64_t[]>(capacity / 64 + 1 + kLookAheadWords);
}

}  // namespace

TextReader::TextReader(ByteSource& source)
    : source_(source),
      buffer_(makeBuffer(kBufferSize)),
      lineFeeds_(makeLineFeedBits(kBufferSize)),
      capacity_(kBufferSize) {
  fillSlack();
}

// Keeps the unfinished line, moved to the front (into a larger buffer when it
// fills the whole one), and reads more after it. False when nothing more came.
bool TextReader::fill() {
  if (ended_) return false;
  const std::size_t kept = end_ - begin_;
  if (kept == capacity_) {
    const std::size_t larger = capacity_ * 2;
    auto grown = makeBuffer(larger);
    std::memcpy(grown.get(), buffer_.get() + begin_, kept);
    buffer_ = std::move(grown);
    lineFeeds_ = makeLineFeedBits(larger);
    capacity_ = larger;
  } else if (begin_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, kept);
  }
  scanned_ -= begin_;
  // A NUL before begin_ belonged to a line already read: look again.
  nul_ = nul_ >= begin_ ? nul_ - begin_ : firstOf(buffer_.get(), kept, '\0');
  begin_ = 0;

  char* const fresh = buffer_.get() + kept;
  std::size_t count = source_.read(fresh, capacity_ - kept);
  if (count == 0) {
    ended_ = true;
    endAt(kept);
    return false;
  }
  // The same pass that marks the line feeds tells whether a NUL or a 0x1A
  // may be there; most blocks have neither, and only the others are searched.
  const bool specialBytes = endAt(kept + count);
  if (specialBytes) {
    // Nothing from the first 0x1A on is ever read, not even from the source.
    if (const void* stop = std::memchr(fresh, kEndOfText, count)) {
      count = static_cast<std::size_t>(static_cast<const char*>(stop) - fresh);
      ended_ = true;
      endAt(kept + count);
    }
  }
  // A NUL among the kept bytes stays the first.
  if (nul_ == kept) nul_ = specialBytes ? kept + firstOf(fresh, count, '\0') : end_;
  return count > 0;
}

// Scans that read past a line read set bytes, never leftovers of no value;
// they are spaces, which are neither line ends nor bytes that need a search.
void TextReader::fillSlack() { std::memset(buffer_.get() + end_, ' ', kReadableSlack); }

// Takes the buffer's bytes up to `end` as the ones read: sets the slack after
// them and marks the LFs of the words from the one holding scanned_ (before
// it lies no LF still wanted) to the one holding the last byte; the slack's
// spaces leave the bits past the end clear. True when a NUL or 0x1A may lie
// among the bytes of those words.
bool TextReader::endAt(std::size_t end) {
  end_ = end;
  fillSlack();
  const std::size_t first = scanned_ / 64;
  const std::size_t words = (end_ + 63) / 64 - first;
  const LineFeedMarker mark = fastestLineFeedMarker();
  const bool specialBytes = mark(buffer_.get() + first * 64, words, lineFeeds_.get() + first);
  for (std::size_t ahead = 0; ahead < kLookAheadWords; ++ahead) {
    lineFeeds_[first + words + ahead] = 0;
  }
  return specialBytes;
}

bool TextReader::takeBufferedLine(std::string_view& text) {
  if (scanned_ == end_) return false;
  std::size_t word = scanned_ / 64;
  const std::uint64_t* const lineFeeds = lineFeeds_.get() + word;
  // Most lines end in the word they start in or in one of the next two: the
  // first set bit of the three is found without a branch, which could only
  // guess from line to line how long the line is.
  const std::uint64_t first = lineFeeds[0] & (~std::uint64_t{0} << (scanned_ % 64));
  std::size_t stop = word * 64 + firstSetBitOf3(first, lineFeeds[1], lineFeeds[2]);
  if (stop >= (word + 3) * 64) {
    // A longer line: word by word after the three.
    const std::size_t lastWord = (end_ - 1) / 64;
    std::uint64_t later = 0;
    for (word += 3; later == 0; ++word) {
      if (word > lastWord) {
        scanned_ = end_;
        return false;
      }
      later = lineFeeds_[word];
    }
    stop = (word - 1) * 64 + static_cast<std::size_t>(std::countr_zero(later));
  }
  const char* const base = buffer_.get();
  // Only the CR right before the LF belongs to the line end; any other CR,
  // even one just before it in the file (CR CR LF), is data.
  const std::size_t textEnd = (stop > begin_ && base[stop - 1] == '\r') ? stop - 1 : stop;
  text = std::string_view(base + begin_, textEnd - begin_);
  begin_ = scanned_ = stop + 1;
  return true;
}

bool TextReader::nextLine(std::string_view& text, bool& lineFeed) {
  for (;;) {
    if (takeBufferedLine(text)) {
      lineFeed = true;
      return true;
    }
    if (!fill()) {
      if (begin_ == end_) return false;
      // The last line, without a line feed: a CR at its end is data.
      text = std::string_view(buffer_.get() + begin_, end_ - begin_);
      lineFeed = false;
      begin_ = scanned_ = end_;
      return true;
    }
  }
}

bool TextReader::readLineText(std::string_view& text) {
  // Most lines end inside the block and take only the first step.
  bool lineFeed = false;
  if (!takeBufferedLine(text) && !nextLine(text, lineFeed)) return false;
  const std::size_t start = static_cast<std::size_t>(text.data() - buffer_.get());
  if (nul_ < start) nul_ = start + firstOf(text.data(), end_ - start, '\0');
  if (nul_ < start + text.size()) text = text.substr(0, nul_ - start);
  return true;
}

bool TextReader::readLine(std::string& line) {
  std::string_view text;
  bool lineFeed = false;
  if (!nextLine(text, lineFeed)) {
    line.clear();
    return false;
  }
  line.assign(text);
  if (lineFeed) line += '\n';
  return true;
}
