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

// Sets the bounds of the first four words and the start of the fifth from the
// bits of word starts and ends, each bound the count that `lowestBit` gives.
// Returns the start bits left after the fourth word.
template <class LowestBit>
std::uint64_t takeBounds(std::uint64_t starts, std::uint64_t ends, std::size_t (&bounds)[9],
                         LowestBit lowestBit) {
  for (std::size_t word = 0; word < 8; word += 2) {
    bounds[word] = lowestBit(starts);
    bounds[word + 1] = lowestBit(ends);
    starts &= starts - 1;
    ends &= ends - 1;
  }
  bounds[8] = lowestBit(starts);
  return starts;
}

// Splits `text` by the whitespace bits of the 64 bytes at `window`, which
// holds the text's first bytes. Bytes past the text's end may be anything:
// they can only move bounds that lie at or past the end, and every such bound
// is cut back to the end.
bool splitWindow(std::string_view text, const char* window, CaptureFields& fields) {
  // In most lines the four words lie in the first 64 bytes: one bit per byte
  // for whitespace gives every word boundary there with a few bit operations,
  // instead of a loop (and a mispredicted branch) per word.
  const std::size_t size = text.size();
  const std::uint64_t space = byte_scan::spaceBits64(window);
  // A word starts where a space (or the line's start) comes before a byte
  // that is none, and ends at the first space after it; starts and ends take
  // turns.
  const std::uint64_t starts = ~space & ((space << 1) | 1);
  const std::uint64_t ends = space & (~space << 1);
  std::size_t bounds[9];
  // Mostly the clip path starts inside the window, after four words that all
  // end inside it, so every bit looked for is there and its count needs no
  // test for none (the top bit added stands in for it). Else a missing bound
  // counts as the window's end.
  const auto present = [](std::uint64_t bits) {
    return static_cast<std::size_t>(std::countr_zero(bits | (std::uint64_t{1} << 63)));
  };
  if (takeBounds(starts, ends, bounds, present) == 0) {
    takeBounds(starts, ends, bounds,
               [](std::uint64_t bits) { return static_cast<std::size_t>(std::countr_zero(bits)); });
  }
  if (bounds[0] < size && text[bounds[0]] == ';') return false;
  // The last bound at the window's edge: the line may go on with more of it.
  if (bounds[8] == kWindow && size > kWindow) return splitScanning(text, fields);
  // Bounds past the text's end (only a short line has them) are cut back.
  if (size < kWindow) {
    for (std::size_t& bound : bounds) bound = bound < size ? bound : size;
  }
  const char* const data = text.data();
  fields.number = std::string_view(data + bounds[0], bounds[1] - bounds[0]);
  fields.inPoint = std::string_view(data + bounds[2], bounds[3] - bounds[2]);
  fields.outPoint = std::string_view(data + bounds[4], bounds[5] - bounds[4]);
  fields.extra = std::string_view(data + bounds[6], bounds[7] - bounds[6]);
  fields.clipPath = std::string_view(data + bounds[8], size - bounds[8]);
  return true;
}

}  // namespace

bool splitLineText(std::string_view text, CaptureFields& fields) {
  if (text.size() >= kWindow) return splitWindow(text, text.data(), fields);
  char padded[kWindow];
  std::memset(padded, ' ', kWindow);
  if (!text.empty()) std::memcpy(padded, text.data(), text.size());
  return splitWindow(text, padded, fields);
}

bool splitLineTextWithSlack(std::string_view text, CaptureFields& fields) {
  return splitWindow(text, text.data(), fields);
}

bool splitCaptureLine(std::string_view line, CaptureFields& fields) {
  CaptureFields split;
  if (!splitLineText(line.substr(0, line.find('\0')), split)) return false;
  // Words are separated by an LF like by any whitespace; the clip path ends there.
  split.clipPath = split.clipPath.substr(0, split.clipPath.find('\n'));
  fields = split;
  return true;
}
