#include "conversion/path_names.h"

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

}  // namespace

std::string nameStem(std::string_view path) {
  const FileName name = walkPath(path);
  const std::size_t end = (name.dot != kNone && name.dot >= name.start) ? name.dot : path.size();
  return std::string(path.substr(name.start, end - name.start));
}

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
