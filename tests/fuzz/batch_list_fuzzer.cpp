// Any bytes as a whole capture list, converted over in-memory streams that
// hand the bytes over in pieces of a size the input chooses. The batch list
// must be what the plain model expects: one row per clip line, each ended by
// CR LF, four columns where no clip name holds a tab, no ':' in the two time
// columns; and it must not depend on the piece size.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "conversion/batch_list.h"
#include "conversion/byte_stream.h"
#include "conversion/lead_byte_table.h"
#include "conversion/path_names.h"
#include "conversion/text_reader.h"
#include "conversion/text_writer.h"
#include "tests/fuzz/fuzz_model.h"

namespace {

const int kCodePages[] = {0, 932, 1361};
// Names a capture list may give its rows, ':' and a two-byte character with a
// second byte 0x5C among them.
const char* const kListNames[] = {"", "tape01", "my tape", "a:b", "\x95\x5c"};

std::string convert(ByteSource& source, std::int64_t& rows) {
  TextReader reader(source);
  StringSink sink;
  {
    TextWriter writer(sink);
    rows = writeBatchList(reader, writer);
    require(writer.flush(), "writing to memory never fails");
  }
  require(!reader.failed(), "reading from memory never fails");
  return sink.bytes;
}

std::string timeColumn(std::string word) {
  std::replace(word.begin(), word.end(), ':', ';');
  return word;
}

/// The rows the model expects, and how many clip lines it counted.
std::string modelBatchList(std::string_view captureList, std::int64_t& clipLines) {
  captureList = captureList.substr(0, captureList.find('\x1a'));
  std::string rows;
  clipLines = 0;
  while (!captureList.empty()) {
    const std::size_t lineFeed = captureList.find('\n');
    std::string_view line = captureList.substr(0, lineFeed);
    captureList.remove_prefix(lineFeed == std::string_view::npos ? captureList.size()
                                                                 : lineFeed + 1);
    // Only the CR of a CR LF pair belongs to the line end.
    if (lineFeed != std::string_view::npos && !line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    const ModelLine model = modelLine(line.substr(0, line.find('\0')));
    if (model.comment) continue;
    ++clipLines;
    rows += listName + "\t" + timeColumn(model.inPoint) + "\t" + timeColumn(model.outPoint) + "\t" +
            nameStem(model.clipPath) + "\r\n";
  }
  return rows;
}

void checkRows(std::string_view batchList, std::int64_t rows) {
  std::int64_t seen = 0;
  while (!batchList.empty()) {
    const std::size_t lineFeed = batchList.find('\n');
    require(lineFeed != std::string_view::npos, "the batch list ends with a line end");
    require(lineFeed > 0 && batchList[lineFeed - 1] == '\r', "every row ends in CR LF");
    const std::string_view row = batchList.substr(0, lineFeed - 1);
    batchList.remove_prefix(lineFeed + 1);
    ++seen;

    // The name column and both time columns are words or a tab-free name, so
    // the first three tabs are the column separators.
    const std::size_t first = row.find('\t');
    const std::size_t second = row.find('\t', first + 1);
    const std::size_t third = row.find('\t', second + 1);
    require(third != std::string_view::npos, "a row has four columns");
    require(row.substr(0, first) == listName, "column 1 is the list name");
    require(row.substr(first, third - first).find(':') == std::string_view::npos,
            "columns 2 and 3 hold no ':'");
    const std::string_view clipName = row.substr(third + 1);
    require(clipName.find('\t') != std::string_view::npos ||
                std::count(row.begin(), row.end(), '\t') == 3,
            "a row whose clip name holds no tab has exactly four columns");
  }
  require(seen == rows, "one row per clip line counted");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  setLeadByteTable(builtInLeadByteRanges(kCodePages[data[0] % 3]));
  listName = kListNames[(data[0] / 3) % std::size(kListNames)];
  const std::size_t piece = data[1] == 0 ? size : data[1];
  const std::string_view captureList(reinterpret_cast<const char*>(data) + 2, size - 2);

  std::int64_t rows = 0;
  MemorySource pieces(captureList, piece);
  const std::string batchList = convert(pieces, rows);

  std::int64_t clipLines = 0;
  const std::string expected = modelBatchList(captureList, clipLines);
  require(rows == clipLines, "the row count is the model's number of clip lines");
  checkRows(batchList, rows);
  require(batchList == expected, "the batch list is the model's");

  std::int64_t wholeRows = 0;
  MemorySource whole(captureList);
  require(convert(whole, wholeRows) == batchList && wholeRows == rows,
          "the result does not depend on how the bytes arrive");
  return 0;
}
