#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

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

  /// Room for the next `size` bytes of output, for the caller to fill at once.
  /// They reach the sink exactly as they are put there, with no LF translation,
  /// so the caller stores a line end as CR LF itself. The buffer grows when
  /// `size` is larger than it, so the room is always one block.
  char* claim(std::size_t size);

  /// Hands everything buffered to the sink. Returns false when this or any
  /// earlier hand-over failed.
  bool flush();

 private:
  void append(std::string_view bytes);

  ByteSink& sink_;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_;
  std::size_t used_ = 0;
  bool failed_ = false;
};
