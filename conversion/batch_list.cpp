#include "conversion/batch_list.h"

#include <cstring>
#include <vector>

#include "conversion/byte_scan.h"
#include "conversion/capture_fields.h"
#include "conversion/path_names.h"

std::string listName;

namespace {

// `text` as the writer stores it: every LF as CR LF.
std::string storedForm(std::string_view text) {
  StringSink stored;
  {
    TextWriter writer(stored);
    writer.write(text);
  }
  return stored.bytes;
}

// Each piece of a row is copied in whole blocks: the reader's slack covers
// reading past a field, the writer's slack writing past the row, and every
// piece after the first overwrites what the one before it wrote too much.
static_assert(byte_scan::kOverrun <= TextReader::kReadableSlack);
static_assert(byte_scan::kOverrun <= TextWriter::kWritableSlack);

char* put(char* to, std::string_view bytes) {
  byte_scan::copyInBlocks(to, bytes.data(), bytes.size());
  return to + bytes.size();
}

char* putTimeColumn(char* to, std::string_view word) {
  byte_scan::copyReplacingColonsInBlocks(to, word.data(), word.size());
  return to + word.size();
}

}  // namespace

// Flattened: the reader, the splitter and the name rule are inlined into the
// one loop, so that nothing a line needs waits on a call.
[[gnu::flatten]] std::int64_t writeBatchList(TextReader& captureList, TextWriter& batchList) {
  // Only the first column can hold an LF (the capture list's own path may);
  // words hold no whitespace and the clip path ends before the line's LF. So
  // each row is stored as it is built, with the first column translated once,
  // and kept with room to be read in blocks.
  const std::string storedName = storedForm(listName) + '\t';
  std::vector<char> firstColumnBytes(storedName.size() + byte_scan::kOverrun);
  std::memcpy(firstColumnBytes.data(), storedName.data(), storedName.size());
  const std::string_view firstColumn(firstColumnBytes.data(), storedName.size());
  std::int64_t rows = 0;
  // One line and one record at a time, both views into the reader's buffer.
  std::string_view line;
  CaptureFields fields;
  while (captureList.readLineText(line)) {
    if (!splitLineTextWithSlack(line, fields)) continue;
    const std::string_view clipName = nameStemView(fields.clipPath);
    const std::size_t size = firstColumn.size() + fields.inPoint.size() + 1 +
                             fields.outPoint.size() + 1 + clipName.size() + 2;
    char* to = put(batchList.claim(size), firstColumn);
    to = putTimeColumn(to, fields.inPoint);
    *to++ = '\t';
    to = putTimeColumn(to, fields.outPoint);
    *to++ = '\t';
    to = put(to, clipName);
    to[0] = '\r';
    to[1] = '\n';
    ++rows;
  }
  return rows;
}
