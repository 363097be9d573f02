#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// One capture list line, split into its five fields. Fields the line does not
/// reach stay empty (0 for `number`).
struct CaptureRecord {
  std::int32_t number = 0;
  std::string inPoint;
  std::string outPoint;
  std::string extra;
  std::string clipPath;

  /// Fills the record from a NUL-terminated line. Returns 0 for a clip line,
  /// with every field set, and -1 for a comment line (first non-whitespace
  /// byte ';'), leaving the record as it was. No line is rejected.
  int parseCaptureLine(const char* line);
};

/// A decimal integer as the first field holds it: an optional sign, then the
/// digits up to the first other byte; 0 without a digit. Too many digits wrap
/// around modulo 2^32 instead of failing.
std::int32_t parseLineNumber(std::string_view word);
