// Writes a generated capture list for the end-to-end benchmark. The same
// arguments always give the same bytes.
//
// Usage: generate_capture_list OUTPUT BYTES
//        generate_capture_list --long-line OUTPUT BYTES
// The first form writes whole realistic lines until at least BYTES bytes are
// written; the second writes one clip line whose clip path is BYTES long.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/capture_list_generator.h"

int main(int argc, char* argv[]) {
  const bool longLine = argc == 4 && std::strcmp(argv[1], "--long-line") == 0;
  if (argc != 3 && !longLine) {
    std::fprintf(stderr, "usage: %s [--long-line] OUTPUT BYTES\n", argv[0]);
    return 2;
  }
  const char* path = argv[longLine ? 2 : 1];
  const std::size_t bytes = std::strtoull(argv[longLine ? 3 : 2], nullptr, 10);

  std::string text;
  if (longLine) {
    text = longCaptureLine(bytes);
  } else {
    generateCaptureList(text, bytes);
  }
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) {
    std::perror(path);
    return 1;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0 || !written) {
    std::perror(path);
    return 1;
  }
  return 0;
}
