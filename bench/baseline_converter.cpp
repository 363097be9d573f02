// The yardstick for the end-to-end benchmark: the same conversion written the
// straightforward way, with std::getline on an std::ifstream, find_first_of and
// substr for the fields and std::ofstream << for every row. It follows the same
// rules for the generated data (single-byte code page) and writes the same
// bytes, beside the capture list, as cap2batch does.
//
// Usage: baseline_converter CAPTURE_LIST

#include <fstream>
#include <iostream>
#include <string>

namespace {

const char* const kBlanks = " \t\v\f\r\n";

std::string stemOf(const std::string& path) {
  const std::size_t separator = path.find_last_of("/\\");
  const std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string outputPathOf(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  return (dot == std::string::npos ? path : path.substr(0, dot)) + ".txt";
}

// The next word from `at` on, moving `at` past it.
std::string nextWord(const std::string& line, std::size_t& at) {
  const std::size_t start = line.find_first_not_of(kBlanks, at);
  if (start == std::string::npos) {
    at = line.size();
    return "";
  }
  std::size_t end = line.find_first_of(kBlanks, start);
  if (end == std::string::npos) end = line.size();
  at = end;
  return line.substr(start, end - start);
}

std::string timeColumn(std::string word) {
  for (char& byte : word) {
    if (byte == ':') byte = ';';
  }
  return word;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) return 2;
  const std::string inputPath = argv[1];
  const std::string listName = stemOf(inputPath);
  std::ifstream input(inputPath, std::ios::binary);
  std::ofstream output(outputPathOf(inputPath), std::ios::binary);
  if (!input || !output) return 1;

  std::string line;
  bool ended = false;
  while (!ended && std::getline(input, line)) {
    const bool lineFeed = !input.eof();
    const std::size_t endOfText = line.find('\x1a');
    if (endOfText != std::string::npos) {
      line.erase(endOfText);
      ended = true;
      if (line.empty()) break;
    } else if (lineFeed && !line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    const std::size_t nul = line.find('\0');
    if (nul != std::string::npos) line.erase(nul);

    const std::size_t first = line.find_first_not_of(kBlanks);
    if (first != std::string::npos && line[first] == ';') continue;
    std::size_t at = 0;
    nextWord(line, at);
    const std::string inPoint = nextWord(line, at);
    const std::string outPoint = nextWord(line, at);
    nextWord(line, at);
    const std::size_t pathStart = line.find_first_not_of(kBlanks, at);
    const std::string clipPath = pathStart == std::string::npos ? "" : line.substr(pathStart);
    output << listName << '\t' << timeColumn(inPoint) << '\t' << timeColumn(outPoint) << '\t'
           << stemOf(clipPath) << "\r\n";
  }
  return output.flush() ? 0 : 1;
}
