#include "conversion/capture_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct LineCase {
  std::string line;
  std::int32_t number;
  std::string inPoint;
  std::string outPoint;
  std::string extra;
  std::string clipPath;
};

TEST(CaptureRecordTest, SplitsClipLinesIntoFiveFields) {
  const LineCase cases[] = {
      {"3  00:01:02:03  00:01:10:00  00:00:07:27  D:\\capture\\clip 003.avi\n", 3, "00:01:02:03",
       "00:01:10:00", "00:00:07:27", "D:\\capture\\clip 003.avi"},
      {"1\t00:00:00:00\t00:00:01:00\tx\tC:\\a.avi", 1, "00:00:00:00", "00:00:01:00", "x",
       "C:\\a.avi"},
      {"", 0, "", "", "", ""},
      {"\n", 0, "", "", "", ""},
      {" \t \n", 0, "", "", "", ""},
      {"7 00:00:01:00\n", 7, "00:00:01:00", "", "", ""},
      {"5 ;a x y z\n", 5, ";a", "x", "y", "z"},
      // Words beyond the fourth, inner whitespace and trailing blanks all
      // belong to the clip path.
      {"1 a b c  d  e\tf \t\n", 1, "a", "b", "c", "d  e\tf \t"},
      {"1 a b c \n", 1, "a", "b", "c", ""},
      // A CR that is no line end separates words but stays in the clip path.
      {"1\ra b c d\re\r\n", 1, "a", "b", "c", "d\re\r"},
      // Bytes from 0x80 up are never whitespace: a full-width space stays in
      // its word.
      {"1 a\x81\x40"
       "b c d e\n",
       1,
       "a\x81\x40"
       "b",
       "c", "d", "e"},
      {"abc 1:2 x y z", 0, "1:2", "x", "y", "z"},
      {"-12 a b c d", -12, "a", "b", "c", "d"},
  };
  for (const LineCase& c : cases) {
    CaptureRecord record;
    ASSERT_EQ(0, record.parseCaptureLine(c.line.c_str())) << c.line;
    EXPECT_EQ(c.number, record.number) << c.line;
    EXPECT_EQ(c.inPoint, record.inPoint) << c.line;
    EXPECT_EQ(c.outPoint, record.outPoint) << c.line;
    EXPECT_EQ(c.extra, record.extra) << c.line;
    EXPECT_EQ(c.clipPath, record.clipPath) << c.line;
  }
}

// Word boundaries come from the first 64 bytes of a line at once, and from a
// byte scan where the words reach past them: every field must come out the
// same wherever the 64th byte falls.
TEST(CaptureRecordTest, WordsOnEitherSideOfTheSixtyFourthByte) {
  for (std::size_t indent = 0; indent <= 70; indent += 5) {
    for (std::size_t digits = 1; digits <= 70; ++digits) {
      const std::string number = std::string(digits - 1, '0') + "7";
      const std::string line =
          std::string(indent, ' ') + number + " 00:01\t02:03  x  D:\\a b\\c.avi \n";
      CaptureRecord record;
      ASSERT_EQ(0, record.parseCaptureLine(line.c_str())) << line;
      EXPECT_EQ(7, record.number) << line;
      EXPECT_EQ("00:01", record.inPoint) << line;
      EXPECT_EQ("02:03", record.outPoint) << line;
      EXPECT_EQ("x", record.extra) << line;
      EXPECT_EQ("D:\\a b\\c.avi ", record.clipPath) << line;

      const std::string comment = std::string(indent + digits, ' ') + "; 1 a b c d\n";
      EXPECT_EQ(-1, record.parseCaptureLine(comment.c_str())) << comment;
    }
  }
  // Nothing but whitespace, past the first 64 bytes.
  const std::string blank(100, ' ');
  CaptureRecord record;
  ASSERT_EQ(0, record.parseCaptureLine(blank.c_str()));
  EXPECT_EQ("", record.inPoint);
  EXPECT_EQ("", record.clipPath);
}

TEST(CaptureRecordTest, CommentLinesLeaveTheRecordAsItWas) {
  const std::string comments[] = {";", "; a comment\n", "  \t;x y z\n", "\r\n;\n", ";1 a b c d"};
  for (const std::string& line : comments) {
    CaptureRecord record;
    record.number = 9;
    record.clipPath = "kept";
    EXPECT_EQ(-1, record.parseCaptureLine(line.c_str())) << line;
    EXPECT_EQ(9, record.number);
    EXPECT_EQ("kept", record.clipPath);
  }
}

TEST(CaptureRecordTest, NulEndsTheParsedText) {
  const std::string line("1 a b c d\0e f\n", 14);
  CaptureRecord record;
  ASSERT_EQ(0, record.parseCaptureLine(line.c_str()));
  EXPECT_EQ("d", record.clipPath);
}

TEST(CaptureRecordTest, NumberParse) {
  struct Case {
    std::string word;
    std::int32_t number;
  };
  const Case cases[] = {
      {"", 0},
      {"0", 0},
      {"42", 42},
      {"+42", 42},
      {"-42", -42},
      {"12ab", 12},
      {"ab12", 0},
      {"-", 0},
      {"+-1", 0},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      // Too many digits wrap around instead of failing, without undefined
      // behaviour: the sanitizer build runs these rows too.
      {"2147483648", INT32_MIN},
      {"-2147483649", INT32_MAX},
      {"4294967296", 0},
      {"4294967297", 1},
      {"99999999999999999999999999999", -1610612737},
      {"-99999999999999999999999999999", 1610612737},
  };
  for (const Case& c : cases) EXPECT_EQ(c.number, parseLineNumber(c.word)) << c.word;
}

}  // namespace
