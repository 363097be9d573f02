#include "conversion/capture_fields.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "conversion/byte_scan.h"

namespace {

using byte_scan::findSpace;
using byte_scan::skipSpaces;

std::string_view wordUpTo(const char*& at, const char* end) {
  const char* const start = skipSpaces(at, end);
  at = findSpace(start, end);
  return std::string_view(start, static_cast<std::size_t>(at - start));
}

bool splitScanning(std::string_view text, CaptureFields& fields) {
  const char* at = text.data();
  const char* const end = at + text.size();
  at = skipSpaces(at, end);
  if (at < end && *at == ';') return false;

  fields.number = wordUpTo(at, end);
  fields.inPoint = wordUpTo(at, end);
  fields.outPoint = wordUpTo(at, end);
  fields.extra = wordUpTo(at, end);
  at = skipSpaces(at, end);
  fields.clipPath = std::string_view(at, static_cast<std::size_t>(end - at));
  return true;
}

constexpr std::size_t kWindow = 64;

// The first position from `from` on whose bit is set (or clear), or kWindow.
std::size_t firstSet(std::uint64_t bits, std::size_t from) {
  if (from >= kWindow) return kWindow;
  const std::uint64_t rest = bits >> from;
  return rest != 0 ? from + static_cast<std::size_t>(std::countr_zero(rest)) : kWindow;
}
std::size_t firstClear(std::uint64_t bits, std::size_t from) { return firstSet(~bits, from); }

}  // namespace

bool splitLineText(std::string_view text, CaptureFields& fields) {
  // In most lines the four words lie in the first 64 bytes: one bit per byte
  // for whitespace gives every word boundary there with a few bit operations,
  // instead of a loop (and a mispredicted branch) per word.
  const std::size_t size = text.size();
  char padded[kWindow];
  const char* window = text.data();
  if (size < kWindow) {
    // Spaces after the text: every word ends at its end.
    std::memset(padded, ' ', kWindow);
    if (size > 0) std::memcpy(padded, text.data(), size);
    window = padded;
  }
  const std::uint64_t space = byte_scan::spaceBits64(window);
  std::size_t bounds[9];
  std::size_t at = 0;
  for (std::size_t word = 0; word < 8; word += 2) {
    bounds[word] = firstClear(space, at);
    bounds[word + 1] = at = firstSet(space, bounds[word]);
  }
  bounds[8] = firstClear(space, at);
  if (bounds[0] < size && text[bounds[0]] == ';') return false;
  // The last bound at the window's edge: the line may go on with more of it.
  if (bounds[8] == kWindow && size > kWindow) return splitScanning(text, fields);

  for (std::size_t& bound : bounds) bound = bound < size ? bound : size;
  fields.number = text.substr(bounds[0], bounds[1] - bounds[0]);
  fields.inPoint = text.substr(bounds[2], bounds[3] - bounds[2]);
  fields.outPoint = text.substr(bounds[4], bounds[5] - bounds[4]);
  fields.extra = text.substr(bounds[6], bounds[7] - bounds[6]);
  fields.clipPath = text.substr(bounds[8]);
  return true;
}

bool splitCaptureLine(std::string_view line, CaptureFields& fields) {
  CaptureFields split;
  if (!splitLineText(line.substr(0, line.find('\0')), split)) return false;
  // Words are separated by an LF like by any whitespace; the clip path ends there.
  split.clipPath = split.clipPath.substr(0, split.clipPath.find('\n'));
  fields = split;
  return true;
}
