#include "conversion/batch_list.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "conversion/byte_stream.h"
#include "conversion/lead_byte_table.h"

namespace {

using namespace std::string_literals;

struct Conversion {
  std::int64_t rows;
  std::string stored;
};

Conversion convert(const std::string& captureList, const std::string& name = "tape01") {
  listName = name;
  MemorySource source(captureList);
  StringSink sink;
  std::int64_t rows = 0;
  {
    TextReader reader(source);
    TextWriter writer(sink);
    rows = writeBatchList(reader, writer);
  }
  return {rows, sink.bytes};
}

TEST(BatchListTest, ConvertsCaptureLists) {
  struct Case {
    std::string captureList;
    std::int64_t rows;
    std::string stored;
  };
  const Case cases[] = {
      {"3  00:01:02:03  00:01:10:00  00:00:07:27  D:\\capture\\clip 003.avi\r\n", 1,
       "tape01\t00;01;02;03\t00;01;10;00\tclip 003\r\n"},
      {"", 0, ""},
      {"; only\r\n  ; comments\r\n\t;\r\n", 0, ""},
      {"\r\n", 1, "tape01\t\t\t\r\n"},
      {"   \t\r\n", 1, "tape01\t\t\t\r\n"},
      {"7 00:00:01:00\r\n", 1, "tape01\t00;00;01;00\t\t\r\n"},
      {"5 ;a x y z\r\n", 1, "tape01\t;a\tx\tz\r\n"},
      {"1 abc 1:2 x D:\\a.avi\r\n", 1, "tape01\tabc\t1;2\ta\r\n"},
      {"1 a;b:c ::: x y\r\n", 1, "tape01\ta;b;c\t;;;\ty\r\n"},
      // LF and CR LF line ends give the same rows; a last line needs none.
      {"1 a b c d.avi\n2 e f g h.avi", 2, "tape01\ta\tb\td\r\ntape01\te\tf\th\r\n"},
      // 0x1A ends the input; its own line ends just before it.
      {"1 a b c d.avi\x1a\r\n2 e f g h.avi\r\n", 1, "tape01\ta\tb\td\r\n"},
      // A NUL ends the parsed text of its line only.
      {"1 a b c d\0.x y\r\n2 e f g h\r\n"s, 2, "tape01\ta\tb\td\r\ntape01\te\tf\th\r\n"},
      // A CR inside the clip path stays in the clip name.
      {"1 a b c d\re.avi\r\n", 1, "tape01\ta\tb\td\re\r\n"},
  };
  for (const Case& c : cases) {
    const Conversion result = convert(c.captureList);
    EXPECT_EQ(c.rows, result.rows) << testing::PrintToString(c.captureList);
    EXPECT_EQ(c.stored, result.stored) << testing::PrintToString(c.captureList);
  }
}

TEST(BatchListTest, RowsDoNotDependOnWhereBlocksEnd) {
  // CR LF pairs, NULs, long words, a line longer than 64 bytes before its
  // clip path, two-byte characters and a final 0x1A, read in blocks of every
  // size from 1 to 97 bytes and at once.
  const std::string captureList =
      "1 00:00:01:00 00:00:02:00 x D:\\clips\\\x95\x5C.avi\r\n"
      "; a comment\r\n"
      "2 a b c d\0e\\f.avi\r\n"
      "3 "s +
      std::string(70, 'w') + " b c D:\\x.y\\z\r\n\r\n" + "4 a b c D:\\\x81\r\n" +
      "5 a b c D:\\clips\\tape\r.avi\r\r\n" + "6 a b c end\x1a" + "7 a b c lost\r\n";
  for (const int codePage : {0, 932}) {
    setLeadByteTable(builtInLeadByteRanges(codePage));
    const Conversion whole = convert(captureList);
    EXPECT_EQ(7, whole.rows);
    for (std::size_t step = 1; step <= 97; ++step) {
      MemorySource source(captureList, step);
      StringSink sink;
      {
        TextReader reader(source);
        TextWriter writer(sink);
        EXPECT_EQ(whole.rows, writeBatchList(reader, writer)) << step;
      }
      EXPECT_EQ(whole.stored, sink.bytes) << codePage << " " << step;
    }
  }
  setLeadByteTable({});
  EXPECT_EQ(
      "tape01\t00;00;01;00\t00;00;02;00\t\r\n"
      "tape01\ta\tb\td\r\n"
      "tape01\t" +
          std::string(70, 'w') +
          "\tb\tz\r\n"
          "tape01\t\t\t\r\n"
          "tape01\ta\tb\t\x81\r\n"
          "tape01\ta\tb\ttape\r\r\n"
          "tape01\ta\tb\tend\r\n",
      convert(captureList).stored);
}

TEST(BatchListTest, ListNameIsTheFirstColumnOfEveryRow) {
  EXPECT_EQ("\ta\tb\td\r\n\te\tf\th\r\n", convert("1 a b c d\r\n2 e f g h\r\n", "").stored);
  EXPECT_EQ("my tape\ta\tb\td\r\n", convert("1 a b c d\r\n", "my tape").stored);
}

TEST(BatchListTest, ALongLineIsOneRow) {
  // Long paths and long comments are one line each, whatever their length.
  const std::string folder(600, 'f');
  const std::string name(400, 'n');
  const std::string captureList = "1 a b c D:\\" + folder + "\\" + name + ".avi\r\n; " +
                                  std::string(1000, 'c') + " 2 x y z w\r\n";
  const Conversion result = convert(captureList);
  EXPECT_EQ(1, result.rows);
  EXPECT_EQ("tape01\ta\tb\t" + name + "\r\n", result.stored);

  const std::string atBoundary = "1 a b c " + std::string(247, 'p') + "\r\n";
  EXPECT_EQ(1, convert(atBoundary).rows);
}

TEST(BatchListTest, ClipNamesFollowTheLeadByteTable) {
  const std::string captureList = "1 a b c D:\\\x95\x5C.avi\r\n";
  setLeadByteTable(builtInLeadByteRanges(932));
  EXPECT_EQ("tape01\ta\tb\t\x95\x5C\r\n", convert(captureList).stored);
  setLeadByteTable({});
  EXPECT_EQ("tape01\ta\tb\t\r\n", convert(captureList).stored);
}

TEST(BatchListTest, RowsEqualClipLinesOverManyLines) {
  std::string captureList;
  std::string expected;
  for (int i = 0; i < 20000; ++i) {
    if (i % 7 == 0) captureList += "; comment " + std::to_string(i) + "\r\n";
    const std::string id = std::to_string(i);
    captureList += id + " 00:00:" + id + " 01:00:" + id + " x D:\\c\\clip" + id + ".avi\r\n";
    expected += "tape01\t00;00;" + id + "\t01;00;" + id + "\tclip" + id + "\r\n";
  }
  const Conversion result = convert(captureList);
  EXPECT_EQ(20000, result.rows);
  EXPECT_EQ(expected, result.stored);
}

}  // namespace
