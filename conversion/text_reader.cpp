#include "conversion/text_reader.h"

#include <cstring>

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
constexpr char kEndOfText = '\x1a';
}  // namespace

TextReader::TextReader(ByteSource& source) : source_(source), buffer_(kBufferSize) {}

bool TextReader::fill() {
  if (ended_) return false;
  begin_ = 0;
  end_ = source_.read(buffer_.data(), buffer_.size());
  if (end_ == 0) {
    ended_ = true;
    return false;
  }
  // Nothing from the first 0x1A on is ever read, not even from the source.
  if (const void* stop = std::memchr(buffer_.data(), kEndOfText, end_)) {
    end_ = static_cast<std::size_t>(static_cast<const char*>(stop) - buffer_.data());
    ended_ = true;
  }
  return end_ > 0;
}

bool TextReader::readLine(std::string& line) {
  line.clear();
  for (;;) {
    if (begin_ == end_ && !fill()) return !line.empty();
    const char* start = buffer_.data() + begin_;
    const std::size_t available = end_ - begin_;
    const void* lineFeed = std::memchr(start, '\n', available);
    if (lineFeed == nullptr) {
      line.append(start, available);
      begin_ = end_;
      continue;
    }
    const auto length = static_cast<std::size_t>(static_cast<const char*>(lineFeed) - start) + 1;
    line.append(start, length);
    begin_ += length;
    // Only the CR right before the LF belongs to the line end; any other CR,
    // even one just before it in the file (CR CR LF), is data.
    if (line.size() >= 2 && line[line.size() - 2] == '\r') line.erase(line.size() - 2, 1);
    return true;
  }
}
