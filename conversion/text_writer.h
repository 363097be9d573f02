#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "conversion/byte_stream.h"

/// Writes to a byte sink in the program's text mode: every LF is stored as
/// CR LF. Output is buffered and reaches the sink in large blocks.
class TextWriter {
 public:
  explicit TextWriter(ByteSink& sink);
  /// Flushes what is still buffered, so that what was written is never lost.
  ~TextWriter();
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  void write(std::string_view text);

  /// Hands everything buffered to the sink. Returns false when this or any
  /// earlier hand-over failed.
  bool flush();

 private:
  void append(std::string_view bytes);

  ByteSink& sink_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  bool failed_ = false;
};
