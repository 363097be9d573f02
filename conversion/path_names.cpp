#include "conversion/path_names.h"

#include "conversion/byte_scan.h"
#include "conversion/lead_byte_table.h"

namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool isSeparator(char byte) { return byte == '/' || byte == '\\'; }

struct FileName {
  std::size_t start = 0;    // first byte after the last separator
  std::size_t dot = kNone;  // the last dot seen by the walk, anywhere
};

// Walks the path once, stepping over two-byte characters whole.
FileName walkPath(std::string_view path) {
  FileName name;
  for (std::size_t at = 0; at < path.size(); ++at) {
    const char byte = path[at];
    if (isLeadByte(static_cast<unsigned char>(byte))) {
      ++at;  // its second byte, whatever its value
    } else if (isSeparator(byte)) {
      name.start = at + 1;
    } else if (byte == '.') {
      name.dot = at;
    }
  }
  return name;
}

// True when the walk from the start of the path would take the byte at `at`
// as a character of its own or the first byte of a pair, not as a second byte.
// A byte that is no lead byte always ends a character, so the walk is in step
// again right after one; from there, the lead bytes before `at` pair up.
bool startsCharacter(std::string_view path, std::size_t at) {
  std::size_t leadBytes = 0;
  while (at > leadBytes && isLeadByte(static_cast<unsigned char>(path[at - leadBytes - 1]))) {
    ++leadBytes;
  }
  return leadBytes % 2 == 0;
}

}  // namespace

std::string_view nameStemView(std::string_view path) {
  // Scanning back from the end finds the file name without walking the
  // folders. Under a double-byte code page a separator or dot byte counts only
  // where the forward walk would see it; a lead byte itself is never one.
  const char* const begin = path.data();
  const char* end = begin + path.size();
  if (!hasLeadBytes()) {
    // Every byte is a character: the last separator and the last dot after it
    // are the answer.
    const byte_scan::FileNameMarks marks = byte_scan::findFileNameMarks(begin, end);
    const char* const start = marks.separator != nullptr ? marks.separator + 1 : begin;
    const char* const stop = marks.dot != nullptr ? marks.dot : end;
    return std::string_view(start, static_cast<std::size_t>(stop - start));
  }
  const char* dot = nullptr;
  while (const char* found = byte_scan::findLastSeparatorOrDot(begin, end)) {
    end = found;
    const std::size_t at = static_cast<std::size_t>(found - begin);
    if (isLeadByte(static_cast<unsigned char>(*found)) || !startsCharacter(path, at)) {
      continue;
    }
    if (*found != '.') {
      const std::size_t start = at + 1;
      const std::size_t stop = dot != nullptr ? static_cast<std::size_t>(dot - begin) : path.size();
      return path.substr(start, stop - start);
    }
    if (dot == nullptr) dot = found;
  }
  return path.substr(0, dot != nullptr ? static_cast<std::size_t>(dot - begin) : path.size());
}

std::string nameStem(std::string_view path) { return std::string(nameStemView(path)); }

std::string outputPathFor(std::string_view capturePath) {
  const std::size_t start = walkPath(capturePath).start;
  // The dot is found byte by byte, as a plain search of the file name.
  const std::size_t dot = capturePath.rfind('.');
  const std::size_t end = (dot != kNone && dot >= start) ? dot : capturePath.size();
  std::string result(capturePath.substr(0, end));
  result += ".txt";
  return result;
}

std::string backupPathFor(std::string_view batchPath) {
  std::string result(batchPath);
  result += ".bak";
  return result;
}
