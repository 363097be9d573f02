// Any bytes as a path, under no code page, 932 and 1361: the name stem must be
// the slice of the path that a plain walk finds, with no separator in it that
// is not the second byte of a two-byte character, and the output and backup
// paths must follow from the same walk.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/lead_byte_table.h"
#include "conversion/path_names.h"
#include "tests/fuzz/fuzz_model.h"

namespace {

struct CodePage {
  int number;
  bool (*isLead)(unsigned char);
};

// The lead bytes of each code page, written out here apart from the table.
const CodePage kCodePages[] = {
    {0, [](unsigned char) { return false; }},
    {932, [](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }},
    {1361,
     [](unsigned char b) {
       return (b >= 0x81 && b <= 0xD3) || (b >= 0xD8 && b <= 0xDE) || (b >= 0xE0 && b <= 0xF9);
     }},
};

bool isSeparator(char byte) { return byte == '/' || byte == '\\'; }

void checkPath(std::string_view path, const CodePage& codePage) {
  // The walk: a lead byte takes the next byte along, whatever it is.
  std::size_t nameStart = 0;
  std::size_t lastDot = std::string_view::npos;
  std::vector<bool> secondByte(path.size(), false);
  for (std::size_t at = 0; at < path.size(); ++at) {
    const char byte = path[at];
    if (codePage.isLead(static_cast<unsigned char>(byte))) {
      if (at + 1 < path.size()) secondByte[at + 1] = true;
      ++at;
    } else if (isSeparator(byte)) {
      nameStart = at + 1;
    } else if (byte == '.') {
      lastDot = at;
    }
  }

  const std::string stem = nameStem(path);
  require(nameStart + stem.size() <= path.size() &&
              path.substr(nameStart, stem.size()) == std::string_view(stem),
          "the stem is the slice of the path at the name start");
  const bool cutAtDot = lastDot != std::string_view::npos && lastDot >= nameStart;
  require(stem.size() == (cutAtDot ? lastDot : path.size()) - nameStart,
          "the stem ends at the last dot of the name, or at the end");
  for (std::size_t at = 0; at < stem.size(); ++at) {
    require(!isSeparator(stem[at]) || secondByte[nameStart + at],
            "a separator in the stem is the second byte of a two-byte character");
  }

  // The output path cuts at the last dot byte of the file name, found byte by
  // byte; dots in folder names never count.
  const std::string output = outputPathFor(path);
  const std::size_t dot = path.rfind('.');
  const std::string_view base =
      (dot != std::string_view::npos && dot >= nameStart) ? path.substr(0, dot) : path;
  require(output == std::string(base) + ".txt", "outputPathFor");
  require(backupPathFor(output) == output + ".bak", "backupPathFor");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view path(reinterpret_cast<const char*>(data), size);
  for (const CodePage& codePage : kCodePages) {
    setLeadByteTable(builtInLeadByteRanges(codePage.number));
    require(hasLeadBytes() == (codePage.number != 0), "hasLeadBytes");
    for (unsigned byte = 0; byte < 256; ++byte) {
      const auto b = static_cast<unsigned char>(byte);
      require(isLeadByte(b) == codePage.isLead(b), "the lead-byte table holds the ranges");
    }
    checkPath(path, codePage);
  }
  return 0;
}
