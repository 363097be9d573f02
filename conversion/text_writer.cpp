#include "conversion/text_writer.h"

#include <cstring>

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
}  // namespace

TextWriter::TextWriter(ByteSink& sink) : sink_(sink), buffer_(kBufferSize) {}

TextWriter::~TextWriter() { flush(); }

void TextWriter::write(std::string_view text) {
  for (;;) {
    const std::size_t lineFeed = text.find('\n');
    if (lineFeed == std::string_view::npos) {
      append(text);
      return;
    }
    append(text.substr(0, lineFeed));
    append("\r\n");
    text.remove_prefix(lineFeed + 1);
  }
}

void TextWriter::append(std::string_view bytes) {
  if (bytes.size() > buffer_.size() - used_) {
    flush();
    if (bytes.size() > buffer_.size()) {
      if (!sink_.write(bytes.data(), bytes.size())) failed_ = true;
      return;
    }
  }
  if (!bytes.empty()) std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
  used_ += bytes.size();
}

bool TextWriter::flush() {
  if (used_ > 0 && !sink_.write(buffer_.data(), used_)) failed_ = true;
  used_ = 0;
  return !failed_;
}
