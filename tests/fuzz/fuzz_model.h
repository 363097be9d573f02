#pragma once

// A plain model of the capture list line format for the fuzz targets, written
// apart from the conversion code so the two can be checked against each
// other: words split on the six whitespace bytes, a first ';' makes a
// comment, the clip path runs from after the fourth word to the line feed, and
// the number wraps modulo 2^32.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

/// Stops the run with a finding when a property does not hold; libFuzzer then
/// saves the input that broke it.
inline void require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

constexpr std::string_view kModelSpace(" \t\n\v\f\r", 6);

struct ModelLine {
  bool comment = false;
  std::int32_t number = 0;
  std::string inPoint;
  std::string outPoint;
  std::string extra;
  std::string clipPath;
};

/// Sign and digits, kept below 2^32 after every digit.
inline std::int32_t modelNumber(std::string_view word) {
  std::uint64_t value = 0;
  std::size_t at = 0;
  const bool negative = !word.empty() && word[0] == '-';
  if (!word.empty() && (word[0] == '-' || word[0] == '+')) at = 1;
  for (; at < word.size() && word[at] >= '0' && word[at] <= '9'; ++at) {
    value = (value * 10 + static_cast<std::uint64_t>(word[at] - '0')) % (std::uint64_t{1} << 32);
  }
  if (negative) value = ((std::uint64_t{1} << 32) - value) % (std::uint64_t{1} << 32);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

/// `text` is a line's parsed text: the bytes before its first NUL.
inline ModelLine modelLine(std::string_view text) {
  ModelLine line;
  const std::size_t first = text.find_first_not_of(kModelSpace);
  line.comment = first != std::string_view::npos && text[first] == ';';

  std::size_t at = 0;
  std::string* words[] = {nullptr, &line.inPoint, &line.outPoint, &line.extra};
  std::string number;
  words[0] = &number;
  for (std::string* word : words) {
    const std::size_t start = std::min(text.find_first_not_of(kModelSpace, at), text.size());
    const std::size_t end = std::min(text.find_first_of(kModelSpace, start), text.size());
    *word = text.substr(start, end - start);
    at = end;
  }
  const std::size_t start = std::min(text.find_first_not_of(kModelSpace, at), text.size());
  const std::size_t end = std::min(text.find('\n', start), text.size());
  line.clipPath = text.substr(start, end - start);
  line.number = modelNumber(number);
  return line;
}
