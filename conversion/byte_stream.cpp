#include "conversion/byte_stream.h"

#include <algorithm>
#include <cstring>

std::size_t MemorySource::read(char* buffer, std::size_t size) {
  const std::size_t count = std::min({size, largestRead_, bytes_.size()});
  if (count > 0) std::memcpy(buffer, bytes_.data(), count);
  bytes_.remove_prefix(count);
  return count;
}
