#include "conversion/capture_record.h"

#include "conversion/line_scanner.h"

std::int32_t parseLineNumber(std::string_view word) {
  std::size_t at = 0;
  const bool negative = !word.empty() && word[0] == '-';
  if (!word.empty() && (word[0] == '-' || word[0] == '+')) at = 1;
  // Unsigned arithmetic wraps, so an overlong number cannot overflow.
  std::uint32_t value = 0;
  for (; at < word.size() && word[at] >= '0' && word[at] <= '9'; ++at) {
    value = value * 10u + static_cast<std::uint32_t>(word[at] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

int CaptureRecord::parseCaptureLine(const char* line) {
  const char* cursor = line;
  skipSpace(cursor);
  if (*cursor == ';') return -1;

  cursor = line;
  number = parseLineNumber(nextWord(cursor));
  inPoint = nextWord(cursor);
  outPoint = nextWord(cursor);
  extra = nextWord(cursor);
  clipPath = restOfLine(cursor);
  return 0;
}
