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

// The name stem under a double-byte code page, where a separator or dot byte
// counts only where the forward walk would see it; a lead byte itself is
// never one. Kept out of line: most paths never need it, and the way they take
// stays small enough to need no saved registers.
[[gnu::noinline]] std::string_view multiByteNameStem(std::string_view path) {
  const char* const begin = path.data();
  const char* end = begin + path.size();
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

// True when the byte before `at` in [begin, ...) is a lead byte, so that the
// byte at `at` may be the second byte of a pair.
bool mayBeSecondByte(const char* begin, const char* at) {
  return at > begin && isLeadByte(static_cast<unsigned char>(at[-1]));
}

// The rest of the scan back, for short paths and long file names: out of
// line, so that the usual way through nameStemView, which the conversion loop
// takes for every row, stays small.
[[gnu::noinline]] byte_scan::FileNameMarks marksScanningBack(const char* begin, const char* end) {
  return byte_scan::findFileNameMarks(begin, end);
}

}  // namespace

std::string_view nameStemView(std::string_view path) {
  // Scanning back from the end finds the file name without walking the
  // folders: the last separator byte and the last dot byte after it.
  const char* const begin = path.data();
  const char* const end = begin + path.size();
  byte_scan::FileNameMarks marks;
  if (!byte_scan::findFileNameMarksNearEnd(begin, end, marks))
    marks = marksScanningBack(begin, end);
  // Under a double-byte code page they are the answer too unless either could
  // be a second byte: no separator or dot byte is a lead byte, and a byte
  // right after one that is no lead byte always starts a character. Paths of
  // single-byte characters take this way even then.
  if (hasLeadBytes() && ((marks.separator != nullptr && mayBeSecondByte(begin, marks.separator)) ||
                         (marks.dot != nullptr && mayBeSecondByte(begin, marks.dot)))) {
    return multiByteNameStem(path);
  }
  const char* const start = marks.separator != nullptr ? marks.separator + 1 : begin;
  const char* const stop = marks.dot != nullptr ? marks.dot : end;
  return std::string_view(start, static_cast<std::size_t>(stop - start));
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
