#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/byte_stream.h"
#include "conversion/text_reader.h"
#include "conversion/text_writer.h"

namespace {

std::vector<std::string> readAllLines(ByteSource& source) {
  TextReader reader(source);
  std::vector<std::string> lines;
  std::string line;
  while (reader.readLine(line)) lines.push_back(line);
  EXPECT_TRUE(line.empty());
  return lines;
}

// Every line's text as readLineText gives it.
std::vector<std::string> readAllLineTexts(ByteSource& source) {
  TextReader reader(source);
  std::vector<std::string> texts;
  for (std::string_view text; reader.readLineText(text);) texts.emplace_back(text);
  return texts;
}

// Gives some bytes, then fails.
class FailingSource : public ByteSource {
 public:
  std::size_t read(char* buffer, std::size_t size) override {
    if (failed_) return 0;
    if (!gave_) {
      gave_ = true;
      const std::string bytes = "1 a b c d\r\n2 e";
      bytes.copy(buffer, std::min(size, bytes.size()));
      return std::min(size, bytes.size());
    }
    failed_ = true;
    return 0;
  }
  bool failed() const override { return failed_; }

 private:
  bool gave_ = false;
  bool failed_ = false;
};

class FailingSink : public ByteSink {
 public:
  bool write(const char*, std::size_t) override { return false; }
};

TEST(TextReaderTest, TranslatesLineEndsAndStopsAtEndOfText) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a\r\nb\r\n", {"a\n", "b\n"}},
      {"a\nb\n", {"a\n", "b\n"}},
      {"a\r\nb", {"a\n", "b"}},
      {"a\rb\r\n", {"a\rb\n"}},
      {"a\r\r\n", {"a\r\n"}},
      {"a\r", {"a\r"}},
      {"\n\n", {"\n", "\n"}},
      {"a\r\nb\x1a"
       "c\r\n",
       {"a\n", "b"}},
      {"\x1a"
       "a\r\n",
       {}},
      {"a\r\x1a\n", {"a\r"}},
      {std::string("a\0b\r\n", 5), {std::string("a\0b\n", 4)}},
  };
  for (const Case& c : cases) {
    for (const std::size_t step : {std::size_t{1}, std::size_t{2}, std::size_t{1000}}) {
      MemorySource source(c.bytes, step);
      EXPECT_EQ(c.lines, readAllLines(source)) << testing::PrintToString(c.bytes) << " " << step;
    }
  }
}

TEST(TextReaderTest, LineTextEndsBeforeTheLineEndAndTheFirstNul) {
  struct Case {
    std::string bytes;
    std::vector<std::string> texts;
  };
  const Case cases[] = {
      {"", {}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\rb\r\n", {"a\rb"}},
      {"a\r\r\n", {"a\r"}},
      {"a\r", {"a\r"}},
      {"\r\n\n", {"", ""}},
      {"ab\r\x1a\n", {"ab\r"}},
      {"ab\x1a"
       "cd\r\n",
       {"ab"}},
      {std::string("a\0b\r\nc\r\n\0\r\nd\0", 14), {"a", "c", "", "d"}},
      {std::string("abcdef\r\ng\0h\r\n", 13), {"abcdef", "g"}},
  };
  // Steps of one to seven bytes put every CR, LF, NUL and 0x1A above at the
  // end of one block and at the start of the next.
  for (const Case& c : cases) {
    for (std::size_t step = 1; step <= 8; ++step) {
      MemorySource source(c.bytes, step == 8 ? 1000 : step);
      EXPECT_EQ(c.texts, readAllLineTexts(source))
          << testing::PrintToString(c.bytes) << " " << step;
    }
  }
}

TEST(TextReaderTest, LineEndsAreFoundWhateverTheLineLengthAndWhereverItStarts) {
  // Lines of every length up to a few hundred bytes, one after another, so
  // that their ends fall at every distance from their starts and at every
  // place in the reader's block; some end in CR LF, some in LF alone.
  std::string bytes;
  std::vector<std::string> expected;
  for (std::size_t length = 0; length <= 300; ++length) {
    std::string text(length, static_cast<char>('a' + length % 26));
    bytes += text;
    bytes += length % 3 == 0 ? "\n" : "\r\n";
    expected.push_back(std::move(text));
  }
  // Whole blocks, then reads that stop at every place in a line.
  for (const std::size_t step : {std::size_t{1} << 20, std::size_t{61}, std::size_t{7}}) {
    MemorySource source(bytes, step);
    EXPECT_EQ(expected, readAllLineTexts(source)) << "reads of " << step;
  }
}

TEST(TextReaderTest, NulAndEndOfTextCountWhicheverBlockTheyArriveIn) {
  // Some 200 KB of lines, with a NUL or a 0x1A put at places in the reader's
  // later blocks: at a block's first and last byte, inside a line, and where
  // a line breaks across two reads.
  std::string lines;
  for (int line = 0; lines.size() < 200000; ++line) {
    lines += std::to_string(line) + " 00:00:01:00 00:00:02:00 x D:\\clips\\clip" +
             std::string(static_cast<std::size_t>(line % 97), 'n') + ".avi\r\n";
  }
  struct Case {
    std::size_t at;
    char byte;
  };
  const Case cases[] = {{65535, '\0'},    {65536, '\0'},    {100003, '\0'},
                        {131072, '\0'},   {65535, '\x1a'},  {65536, '\x1a'},
                        {100003, '\x1a'}, {131072, '\x1a'}, {199999, '\x1a'}};
  for (const Case& c : cases) {
    std::string bytes = lines;
    bytes[c.at] = c.byte;
    // What the reader must give: nothing from the first 0x1A on, lines split
    // at LF with CR LF cut, each text ending at its first NUL.
    std::vector<std::string> expected;
    const std::string input = bytes.substr(0, bytes.find('\x1a'));
    for (std::size_t start = 0; start < input.size();) {
      std::size_t stop = input.find('\n', start);
      const bool lineFeed = stop != std::string::npos;
      if (!lineFeed) stop = input.size();
      std::string text = input.substr(start, stop - start);
      if (lineFeed && !text.empty() && text.back() == '\r') text.pop_back();
      expected.push_back(text.substr(0, text.find('\0')));
      start = stop + 1;
    }
    for (const std::size_t step : {std::size_t{1} << 20, std::size_t{4093}}) {
      MemorySource source(bytes, step);
      EXPECT_EQ(expected, readAllLineTexts(source))
          << int{c.byte} << " at " << c.at << ", reads of " << step;
    }
  }
}

TEST(TextReaderTest, LineTextsOfLongLinesArriveWhole) {
  // Longer than the reader's block, so its buffer has to grow.
  const std::string path(300000, 'x');
  const std::string bytes = "1 " + path + "\r\n;" + path + "\r\nend";
  MemorySource source(bytes);
  TextReader reader(source);
  std::string_view text;
  ASSERT_TRUE(reader.readLineText(text));
  EXPECT_EQ("1 " + path, text);
  ASSERT_TRUE(reader.readLineText(text));
  EXPECT_EQ(";" + path, text);
  ASSERT_TRUE(reader.readLineText(text));
  EXPECT_EQ("end", text);
  EXPECT_FALSE(reader.readLineText(text));
}

TEST(TextReaderTest, LongLinesArriveWhole) {
  const std::string path(300000, 'x');
  const std::string bytes = "1 a b c " + path + "\r\n;" + path + "\r\nend";
  MemorySource source(bytes);
  const std::vector<std::string> lines = readAllLines(source);
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ("1 a b c " + path + "\n", lines[0]);
  EXPECT_EQ(";" + path + "\n", lines[1]);
  EXPECT_EQ("end", lines[2]);
}

TEST(TextReaderTest, ReportsReadErrorsButNotTheEnd) {
  FailingSource failing;
  TextReader reader(failing);
  std::string line;
  EXPECT_TRUE(reader.readLine(line));
  EXPECT_EQ("1 a b c d\n", line);
  EXPECT_TRUE(reader.readLine(line));
  EXPECT_EQ("2 e", line);
  EXPECT_FALSE(reader.readLine(line));
  EXPECT_TRUE(reader.failed());

  MemorySource ending(
      "x\x1a"
      "y");
  TextReader endingReader(ending);
  while (endingReader.readLine(line)) {
  }
  EXPECT_FALSE(endingReader.failed());
}

TEST(TextWriterTest, StoresEveryLineFeedAsCrLf) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},         {"a\tb\n", "a\tb\r\n"}, {"\n\n", "\r\n\r\n"},
      {"a\rb", "a\rb"}, {"a\r\n", "a\r\r\n"},
  };
  for (const auto& [text, stored] : cases) {
    StringSink sink;
    {
      TextWriter writer(sink);
      writer.write(text);
    }
    EXPECT_EQ(stored, sink.bytes) << testing::PrintToString(text);
  }
}

TEST(TextWriterTest, LargeWritesKeepTheirOrder) {
  StringSink sink;
  std::string expected;
  {
    TextWriter writer(sink);
    for (int i = 0; i < 5000; ++i) {
      const std::string piece =
          std::string(static_cast<std::size_t>(i % 97), static_cast<char>('a' + i % 26)) + "\n";
      writer.write(piece);
      expected += piece.substr(0, piece.size() - 1) + "\r\n";
    }
    const std::string big(200000, 'z');
    writer.write(big);
    expected += big;
    EXPECT_TRUE(writer.flush());
  }
  EXPECT_EQ(expected, sink.bytes);
}

TEST(TextWriterTest, FlushReportsAFailedSink) {
  FailingSink sink;
  TextWriter writer(sink);
  writer.write("row\n");
  EXPECT_FALSE(writer.flush());
  EXPECT_FALSE(writer.flush());
}

}  // namespace
