#include "conversion/batch_list.h"

#include <algorithm>

#include "conversion/capture_record.h"
#include "conversion/path_names.h"

std::string listName;

namespace {

void appendTimeColumn(std::string& row, const std::string& word) {
  const std::size_t start = row.size();
  row += word;
  std::replace(row.begin() + static_cast<std::ptrdiff_t>(start), row.end(), ':', ';');
}

}  // namespace

std::int64_t writeBatchList(TextReader& captureList, TextWriter& batchList) {
  std::int64_t rows = 0;
  std::string line;
  std::string row;
  while (captureList.readLine(line)) {
    CaptureRecord record;
    if (record.parseCaptureLine(line.c_str()) != 0) continue;
    row = listName;
    row += '\t';
    appendTimeColumn(row, record.inPoint);
    row += '\t';
    appendTimeColumn(row, record.outPoint);
    row += '\t';
    row += nameStem(record.clipPath);
    row += '\n';
    batchList.write(row);
    ++rows;
  }
  return rows;
}
