#include "conversion/text_writer.h"

#include <cstring>

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;

std::unique_ptr<char[]> makeBuffer(std::size_t capacity) {
  return std::make_unique_for_overwrite<char[]>(capacity + TextWriter::kWritableSlack);
}
}  // namespace

TextWriter::TextWriter(ByteSink& sink)
    : sink_(sink), buffer_(makeBuffer(kBufferSize)), capacity_(kBufferSize) {}

TextWriter::~TextWriter() { flush(); }

void TextWriter::write(std::string_view text) {
  for (;;) {
    const void* found = std::memchr(text.data(), '\n', text.size());
    if (found == nullptr) {
      append(text);
      return;
    }
    const std::size_t lineFeed =
        static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
    append(text.substr(0, lineFeed));
    append("\r\n");
    text.remove_prefix(lineFeed + 1);
  }
}

void TextWriter::makeRoom(std::size_t size) {
  flush();
  if (size > capacity_) {
    buffer_ = makeBuffer(size);
    capacity_ = size;
  }
}

void TextWriter::append(std::string_view bytes) {
  if (bytes.size() > capacity_ - used_) {
    flush();
    if (bytes.size() > capacity_) {
      if (!sink_.write(bytes.data(), bytes.size())) failed_ = true;
      return;
    }
  }
  if (!bytes.empty()) std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
  used_ += bytes.size();
}

bool TextWriter::flush() {
  if (used_ > 0 && !sink_.write(buffer_.get(), used_)) failed_ = true;
  used_ = 0;
  return !failed_;
}
