#include "conversion/capture_record.h"

#include "conversion/capture_fields.h"

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
  CaptureFields fields;
  if (!splitCaptureLine(line, fields)) return -1;
  number = parseLineNumber(fields.number);
  // assign() keeps each string's storage, so a reused record allocates only
  // when a field outgrows it.
  inPoint.assign(fields.inPoint);
  outPoint.assign(fields.outPoint);
  extra.assign(fields.extra);
  clipPath.assign(fields.clipPath);
  return 0;
}
