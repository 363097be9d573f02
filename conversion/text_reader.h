#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "conversion/byte_stream.h"

/// Reads a byte source in the program's text mode, the same on every platform:
/// CR LF arrives as LF, a CR not followed by LF arrives unchanged, and the first
/// 0x1A byte ends the input.
class TextReader {
 public:
  explicit TextReader(ByteSource& source);

  /// Replaces `line` with the next whole line, its LF included when it has one
  /// (the last line may lack it). A line may be of any length. Returns false,
  /// with `line` empty, when nothing is left to read.
  bool readLine(std::string& line);

  /// The same lines as readLine, as a line parser sees them and without
  /// copying them: `text` is set to the next line up to its line end (the LF,
  /// or the CR LF pair it stood for) or up to its first NUL byte, whichever
  /// comes first. The view stays valid until the next read from this reader,
  /// and at least kReadableSlack readable bytes (of no particular value)
  /// follow its end, so that scans may read a whole block past it.
  /// Returns false when nothing is left to read.
  bool readLineText(std::string_view& text);

  static constexpr std::size_t kReadableSlack = 64;

  /// True when reading stopped because the source failed, rather than at its
  /// end or at a 0x1A byte.
  bool failed() const { return source_.failed(); }

 private:
  // Takes the next line when its LF is already in the buffer.
  bool takeBufferedLine(std::string_view& text);
  bool nextLine(std::string_view& text, bool& lineFeed);
  bool fill();
  void fillSlack();
  bool endAt(std::size_t end);

  ByteSource& source_;
  // The unread bytes are [begin_, end_); no LF lies in [begin_, scanned_).
  // nul_ is the first NUL at or after begin_, or end_ when there is none; it is
  // looked for once per block rather than once per line.
  // The buffer only grows to hold a line longer than itself; kReadableSlack
  // bytes follow its capacity_, and the kReadableSlack after end_ are set.
  std::unique_ptr<char[]> buffer_;
  // Bit k % 64 of word k / 64 is set when byte k of the buffer is an LF, for
  // the words from the one holding scanned_ to the one holding the last byte
  // read, and two zero words follow them: one pass over each block marks its
  // line ends, and a line's end is then the next set bit.
  std::unique_ptr<std::uint64_t[]> lineFeeds_;
  std::size_t capacity_;
  std::size_t begin_ = 0;
  std::size_t scanned_ = 0;
  std::size_t end_ = 0;
  std::size_t nul_ = 0;
  bool ended_ = false;
};
