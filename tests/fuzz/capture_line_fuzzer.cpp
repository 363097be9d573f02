// Any bytes as one capture list line: the parser and its scanners must agree
// with the plain model, stay inside the line and never overflow the number.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "conversion/capture_record.h"
#include "conversion/line_scanner.h"
#include "tests/fuzz/fuzz_model.h"

namespace {

void checkScanners(const char* line, std::size_t length) {
  const char* const end = line + length;
  const char* cursor = line;
  for (int word = 0; word < 4; ++word) {
    const char* before = cursor;
    const std::string text = nextWord(cursor);
    require(cursor >= before && cursor <= end, "nextWord stays inside the line");
    require(text.size() <= static_cast<std::size_t>(cursor - before), "a word is what was passed");
    require(text.find_first_of(kModelSpace) == std::string::npos, "a word holds no whitespace");
  }
  restOfLine(cursor);
  require(cursor <= end && (*cursor == '\0' || *cursor == '\n'), "restOfLine stops at LF or NUL");

  // At the end of the text, no scanner moves.
  cursor = end;
  skipSpace(cursor);
  skipWord(cursor);
  require(cursor == end && nextWord(cursor).empty() && restOfLine(cursor).empty(),
          "scanners never pass the NUL");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The bytes may hold NULs; the parser sees the text before the first one.
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const char* line = bytes.c_str();
  const std::string_view text(line);
  const ModelLine model = modelLine(text);

  CaptureRecord record;
  record.number = 12345;
  record.clipPath = "before";
  const int result = record.parseCaptureLine(line);
  require(result == 0 || result == -1, "parseCaptureLine returns 0 or -1");
  require((result == -1) == model.comment, "comment lines are told apart as the model does");
  if (result == -1) {
    require(record.number == 12345 && record.clipPath == "before" && record.inPoint.empty(),
            "a comment line leaves the record as it was");
  } else {
    require(record.number == model.number, "number");
    require(record.inPoint == model.inPoint, "inPoint");
    require(record.outPoint == model.outPoint, "outPoint");
    require(record.extra == model.extra, "extra");
    require(record.clipPath == model.clipPath, "clipPath");
  }

  // The number parse on any word, digits far past 2^32 included.
  require(parseLineNumber(text) == modelNumber(text), "parseLineNumber wraps modulo 2^32");
  checkScanners(line, text.size());
  return 0;
}
