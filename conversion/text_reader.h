#pragma once

#include <cstddef>
#include <string>
#include <vector>

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

  /// True when reading stopped because the source failed, rather than at its
  /// end or at a 0x1A byte.
  bool failed() const { return source_.failed(); }

 private:
  bool fill();

  ByteSource& source_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool ended_ = false;
};
