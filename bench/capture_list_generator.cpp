#include "bench/capture_list_generator.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

namespace {

// splitmix64: small, fast and the same everywhere.
class Random {
 public:
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::size_t below(std::size_t bound) { return static_cast<std::size_t>(next() % bound); }

 private:
  std::uint64_t state_ = 20240607;
};

constexpr std::string_view kFolders[] = {
    "capture", "Tape 01", "Tape 02", "interviews", "B roll", "day 3", "raw",  "Projekt Nord",
    "scenes",  "2019",    "wedding", "archive",    "cam A",  "cam B", "audio"};
constexpr std::string_view kNames[] = {"clip", "take",   "scene",   "interview part",
                                       "shot", "b roll", "Aufnahme"};
constexpr std::string_view kExtensions[] = {".avi", ".AVI", ".mov", ".dv"};

void appendNumber(std::string& out, std::size_t value, int digits) {
  char text[24];
  std::snprintf(text, sizeof text, "%0*zu", digits, value);
  out += text;
}

void appendTimecode(std::string& out, Random& random) {
  appendNumber(out, random.below(24), 2);
  out += ':';
  appendNumber(out, random.below(60), 2);
  out += ':';
  appendNumber(out, random.below(60), 2);
  out += ':';
  appendNumber(out, random.below(25), 2);
}

// A Windows clip path of about `length` bytes (20 to 120).
void appendClipPath(std::string& out, Random& random, std::size_t length) {
  const std::size_t start = out.size();
  out += random.below(4) == 0 ? "E:\\" : "D:\\";
  while (out.size() - start + 24 < length) {
    out += kFolders[random.below(std::size(kFolders))];
    out += '\\';
  }
  out += kNames[random.below(std::size(kNames))];
  out += ' ';
  appendNumber(out, random.below(10000), 4);
  const std::string_view extension = kExtensions[random.below(std::size(kExtensions))];
  while (out.size() - start + extension.size() < length) out += '_';
  out += extension;
}

void appendLine(std::string& out, Random& random, std::size_t lineNumber) {
  if (random.below(20) == 0) {
    out += random.below(2) == 0 ? "; " : "  ;";
    out += "Tape ";
    appendNumber(out, random.below(100), 2);
    out += " logged by the capture station\r\n";
    return;
  }
  const std::string_view gap = random.below(8) == 0 ? "\t" : "  ";
  appendNumber(out, lineNumber, 1);
  for (int field = 0; field < 3; ++field) {
    out += gap;
    appendTimecode(out, random);
  }
  out += gap;
  appendClipPath(out, random, 20 + random.below(101));
  out += "\r\n";
}

}  // namespace

void generateCaptureList(std::string& out, std::size_t bytes) {
  Random random;
  std::size_t lineNumber = 1;
  while (out.size() < bytes) appendLine(out, random, lineNumber++);
}

std::string longCaptureLine(std::size_t pathBytes) {
  // One clip whose file name alone is nearly the whole line.
  std::string line = "1  00:00:01:00  00:00:02:00  00:00:01:00  D:\\capture\\";
  std::string name(pathBytes > 16 ? pathBytes - 15 : 1, 'n');
  for (std::size_t at = 7; at < name.size(); at += 64) name[at] = ' ';
  line += name;
  line += ".avi\r\n";
  return line;
}
