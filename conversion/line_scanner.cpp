#include "conversion/line_scanner.h"

void skipSpace(const char*& cursor) {
  while (*cursor != '\0' && isLineSpace(*cursor)) ++cursor;
}

void skipWord(const char*& cursor) {
  while (*cursor != '\0' && !isLineSpace(*cursor)) ++cursor;
}

std::string nextWord(const char*& cursor) {
  skipSpace(cursor);
  const char* start = cursor;
  skipWord(cursor);
  return std::string(start, cursor);
}

std::string restOfLine(const char*& cursor) {
  skipSpace(cursor);
  const char* start = cursor;
  while (*cursor != '\0' && *cursor != '\n') ++cursor;
  return std::string(start, cursor);
}
