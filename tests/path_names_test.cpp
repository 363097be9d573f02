#include "conversion/path_names.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "conversion/lead_byte_table.h"

namespace {

struct PathCase {
  std::string path;
  std::string expected;
};

class PathNamesTest : public testing::Test {
 protected:
  void SetUp() override { setLeadByteTable({}); }
  void TearDown() override { setLeadByteTable({}); }
  static void useCodePage(int codePage) { setLeadByteTable(builtInLeadByteRanges(codePage)); }
};

TEST_F(PathNamesTest, NameStemUnderSingleByteCodePage) {
  const PathCase cases[] = {
      {"D:\\clips\\tape01.cbl", "tape01"},
      {"D:/clips/tape01.cbl", "tape01"},
      {"D:\\clips/sub\\tape01.cbl", "tape01"},
      {"tape01.cbl", "tape01"},
      {"tape.01.cbl", "tape.01"},
      {"D:\\clips\\tape01.", "tape01"},
      {"D:\\clips\\tape01", "tape01"},
      {"D:\\my.clips\\tape01", "tape01"},
      {"..\\tape01", "tape01"},
      {"D:/clips/.cbl", ""},
      {".cbl", ""},
      {"D:\\clips\\", ""},
      {"", ""},
      {"C:tape01.cbl", "C:tape01"},
      {"D:\\clips\\my tape.cbl", "my tape"},
      {"D:\\CLIPS\\TAPE01.CBL", "TAPE01"},
      {"D:\\clips\\tape 01 .avi  ", "tape 01 "},
      {"D:\\clips\\tape 01  ", "tape 01  "},
  };
  for (const PathCase& c : cases) EXPECT_EQ(c.expected, nameStem(c.path)) << c.path;
}

TEST_F(PathNamesTest, OutputPathCutsOnlyTheFileName) {
  const PathCase cases[] = {
      {"D:\\clips\\tape01.cbl", "D:\\clips\\tape01.txt"},
      {"D:\\clips\\tape.01.cbl", "D:\\clips\\tape.01.txt"},
      {"D:\\clips\\tape01", "D:\\clips\\tape01.txt"},
      {"D:\\clips\\tape01.", "D:\\clips\\tape01.txt"},
      // A dot in a folder name never counts: the batch list stays beside the
      // capture list instead of replacing an unrelated file.
      {"D:\\my.clips\\tape01", "D:\\my.clips\\tape01.txt"},
      {"D:/my.clips/tape01", "D:/my.clips/tape01.txt"},
      {"..\\tape01", "..\\tape01.txt"},
      {".\\tape01", ".\\tape01.txt"},
      {"../tape01", "../tape01.txt"},
      {".cbl", ".txt"},
      {"", ".txt"},
      {"D:\\clips\\list.txt", "D:\\clips\\list.txt"},
      {"D:\\CLIPS\\TAPE01.CBL", "D:\\CLIPS\\TAPE01.txt"},
      {"C:tape01.cbl", "C:tape01.txt"},
  };
  for (const PathCase& c : cases) EXPECT_EQ(c.expected, outputPathFor(c.path)) << c.path;
}

TEST_F(PathNamesTest, BackupPathAppendsBak) {
  EXPECT_EQ("D:\\clips\\tape01.txt.bak", backupPathFor("D:\\clips\\tape01.txt"));
  EXPECT_EQ(".txt.bak", backupPathFor(".txt"));
  EXPECT_EQ(".bak", backupPathFor(""));
}

TEST_F(PathNamesTest, SecondByteBackslashIsNoSeparatorUnderShiftJis) {
  const std::string path = "D:\\\x95\x5C.cbl";
  EXPECT_EQ("", nameStem(path));
  useCodePage(932);
  EXPECT_EQ("\x95\x5C", nameStem(path));
  EXPECT_EQ("D:\\\x95\x5C.txt", outputPathFor(path));
  EXPECT_EQ("\x95\x5C", nameStem("D:\\\x95\x5C"));
  EXPECT_EQ("D:\\\x95\x5C.txt", outputPathFor("D:\\\x95\x5C"));
}

TEST_F(PathNamesTest, TwoByteCharactersUnderCodePages) {
  struct Case {
    int codePage;
    std::string path;
    std::string stem;
  };
  const Case cases[] = {
      // A second byte that looks like a dot is not a dot to the walk.
      {932, "D:\\a\x81.cbl", "a\x81.cbl"},
      // A lead byte at the very end stays in the stem.
      {932, "D:\\clip\x81", "clip\x81"},
      {932, "D:\\clip.\x81", "clip"},
      // 0xA0 to 0xDF are single-byte katakana under 932, so 0x5C after them separates.
      {932,
       "D:\\\xB1\x5C"
       "clip.avi",
       "clip"},
      {932, "\x83\x5C\x83\x67.avi", "\x83\x5C\x83\x67"},
      // Johab's lead bytes have gaps: 0xD4 to 0xD7 and 0xDF are single bytes.
      {1361, "D:\\\xD3\x5C.avi", "\xD3\x5C"},
      {1361,
       "D:\\\xD4\x5C"
       "clip.avi",
       "clip"},
      {1361, "D:\\\xD8\x5C.avi", "\xD8\x5C"},
      {1361,
       "D:\\\xDF\x5C"
       "clip.avi",
       "clip"},
      {1361, "D:\\\xF9\x5C.avi", "\xF9\x5C"},
      {1361,
       "D:\\\xFA\x5C"
       "clip.avi",
       "clip"},
  };
  for (const Case& c : cases) {
    useCodePage(c.codePage);
    EXPECT_EQ(c.stem, nameStem(c.path)) << c.codePage << " " << c.path;
  }
}

// The name stem is found by scanning back from the end of the path, eight or
// sixteen bytes at a time; this holds it to the rule's forward walk over paths
// that mix separators, dots, runs of lead bytes and plain bytes, across those
// chunks.
TEST_F(PathNamesTest, NameStemAgreesWithTheForwardWalk) {
  const auto walkedStem = [](const std::string& path) {
    std::size_t start = 0;
    std::size_t dot = std::string::npos;
    for (std::size_t at = 0; at < path.size(); ++at) {
      const unsigned char byte = static_cast<unsigned char>(path[at]);
      if (isLeadByte(byte)) {
        ++at;
      } else if (byte == '/' || byte == '\\') {
        start = at + 1;
      } else if (byte == '.') {
        dot = at;
      }
    }
    const std::size_t end = dot != std::string::npos && dot >= start ? dot : path.size();
    return path.substr(start, end - start);
  };
  const std::string dense = {'a', ' ', '.', '/', '\\', '\x81', '\x95', '\xA0', '\xE0', '\xD8'};
  // Few marks in long paths: the scan crosses whole 16-byte vectors between
  // them and meets the path's start in the middle of one.
  const std::string sparse = dense + std::string(30, 'a');
  std::uint32_t seed = 1;
  for (const int codePage : {0, 932, 936, 1361}) {
    useCodePage(codePage);
    for (const std::string& alphabet : {dense, sparse}) {
      for (int round = 0; round < 4000; ++round) {
        std::string path;
        seed = seed * 1664525u + 1013904223u;
        const std::size_t length = (seed >> 8) % (alphabet.size() == dense.size() ? 40 : 100);
        for (std::size_t at = 0; at < length; ++at) {
          seed = seed * 1664525u + 1013904223u;
          path += alphabet[(seed >> 16) % alphabet.size()];
        }
        ASSERT_EQ(walkedStem(path), nameStem(path))
            << codePage << " " << testing::PrintToString(path);
      }
    }
  }
}

TEST_F(PathNamesTest, OutputPathFindsDotsByBytes) {
  // The walk sees no dot after 0x81, the byte search of the file name does.
  useCodePage(932);
  EXPECT_EQ("D:\\a\x81.txt", outputPathFor("D:\\a\x81.cbl"));
  // The name start is the walk's: under 932 the second byte 0x5C separates
  // nothing, so the dot before it is in the file name; under a single-byte
  // code page 0x5C separates and that dot is in a folder name.
  const std::string path =
      "D:\\my.\x95\x5C"
      "clip";
  EXPECT_EQ("D:\\my.txt", outputPathFor(path));
  setLeadByteTable({});
  EXPECT_EQ(path + ".txt", outputPathFor(path));
}

TEST_F(PathNamesTest, BuiltInRowsCoverTheFiveCodePages) {
  struct Row {
    int codePage;
    unsigned char lead;
    unsigned char single;
  };
  const Row rows[] = {
      {932, 0x81, 0xA0}, {932, 0xFC, 0xFD},  {936, 0xFE, 0x80},  {949, 0x81, 0xFF},
      {950, 0xFE, 0x7F}, {1361, 0xD8, 0xD7}, {1361, 0xE0, 0xDF}, {1361, 0xF9, 0xFA},
  };
  for (const Row& row : rows) {
    useCodePage(row.codePage);
    EXPECT_TRUE(isLeadByte(row.lead)) << row.codePage << " " << int{row.lead};
    EXPECT_FALSE(isLeadByte(row.single)) << row.codePage << " " << int{row.single};
  }
  EXPECT_TRUE(builtInLeadByteRanges(1252).empty());
  EXPECT_TRUE(builtInLeadByteRanges(65001).empty());
}

}  // namespace
