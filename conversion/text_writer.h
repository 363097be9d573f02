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
  /// `size` is larger than it, so the room is always one block. The
  /// kWritableSlack bytes after the room may be written too: they are not
  /// output (the next claim's room starts there).
  char* claim(std::size_t size) {
    if (size > capacity_ - used_) makeRoom(size);
    char* const room = buffer_.get() + used_;
    used_ += size;
    return room;
  }

  static constexpr std::size_t kWritableSlack = 64;

  /// Hands everything buffered to the sink. Returns false when this or any
  /// earlier hand-over failed.
  bool flush();

 private:
  void append(std::string_view bytes);
  void makeRoom(std::size_t size);

  ByteSink& sink_;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_;
  std::size_t used_ = 0;
  bool failed_ = false;
};
