// Runs the built command in fresh temporary folders and checks the bytes it
// leaves on disk and on standard output, and its exit status.
//
// CAP2BATCH_EXE names the executable. CAP2BATCH_LAUNCHER, when set, is a
// command (words separated by spaces) that the executable is handed to, so the
// same cases drive another build, such as the Windows one under Wine.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "command_harness.h"
#include "folder_test.h"

namespace fs = std::filesystem;
using namespace command_harness;

namespace {

struct RunOptions {
  bool closeStandardOutput = false;
  rlim_t fileSizeLimit = RLIM_INFINITY;
};

using RunResult = ProcessResult;

class EndToEndTest : public FolderTest {
 protected:
  EndToEndTest() : FolderTest("cap2batch-e2e") {}

  RunResult run(const std::vector<std::string>& arguments, RunOptions options = {}) const {
    std::vector<std::string> words = commandPrefix(executable("cap2batch"));
    words.insert(words.end(), arguments.begin(), arguments.end());
    const auto setUpChild = [options] {
      if (options.closeStandardOutput) ::close(STDOUT_FILENO);
      if (options.fileSizeLimit != RLIM_INFINITY) limitFileSize(options.fileSizeLimit);
    };
    return runProcess(words, folder_, {.setUpChild = setUpChild});
  }
};

const std::string kWorkedLine =
    "3  00:01:02:03  00:01:10:00  00:00:07:27  D:\\capture\\clip 003.avi\r\n";
const std::string kWorkedRow = "tape01\t00;01;02;03\t00;01;10;00\tclip 003\r\n";

std::string echo(const std::string& in, const std::string& out) {
  return "IN:" + in + "\r\nOUT:" + out + "\r\n";
}

TEST_F(EndToEndTest, ConvertsTheWorkedExample) {
  put("tape01.cbl", kWorkedLine);
  const RunResult result = run({"tape01.cbl"});
  EXPECT_EQ(0, result.status);
  EXPECT_EQ(echo("tape01.cbl", "tape01.txt"), result.standardOutput);
  EXPECT_EQ(kWorkedRow, get("tape01.txt"));
  EXPECT_EQ(2u, contents().size());
}

TEST_F(EndToEndTest, ConvertsAWholeCaptureList) {
  put("tape02.cbl",
      "; DVStorm capture list\r\n"
      ";   tape 02, reel B\r\n"
      "1\t00:00:10:00\t00:00:20:00\t00:00:10:00\tD:\\capture\\clip001.avi\r\n"
      "\r\n"
      "  ; a comment after blanks\r\n"
      "2 01:02:03:04 01:02:05:00 00:00:01:26 D:\\my clips\\take two.avi\n"
      "3 00:00:00:00 00:00:01:00 x D:/capture/last clip.avi");
  const RunResult result = run({"tape02.cbl", "second", "third"});
  EXPECT_EQ(0, result.status);
  EXPECT_EQ(
      "tape02\t00;00;10;00\t00;00;20;00\tclip001\r\n"
      "tape02\t\t\t\r\n"
      "tape02\t01;02;03;04\t01;02;05;00\ttake two\r\n"
      "tape02\t00;00;00;00\t00;00;01;00\tlast clip\r\n",
      get("tape02.txt"));
}

TEST_F(EndToEndTest, CaptureListWithoutClipLinesGivesAnEmptyBatchList) {
  put("tape01.cbl", "; nothing to capture\r\n; yet\r\n");
  put("tape01.txt", "previous rows\r\n");
  const RunResult result = run({"tape01.cbl"});
  EXPECT_EQ(0, result.status);
  EXPECT_EQ("", get("tape01.txt"));
  EXPECT_EQ("previous rows\r\n", get("tape01.txt.bak"));
}

TEST_F(EndToEndTest, NoArgument) {
  put("tape01.cbl", kWorkedLine);
  const auto before = contents();
  const RunResult result = run({});
  EXPECT_EQ(254, result.status);
  EXPECT_EQ("", result.standardOutput);
  EXPECT_EQ(before, contents());
}

TEST_F(EndToEndTest, CaptureListThatCannotBeOpened) {
  struct Case {
    const char* name;
    std::string argument;
    std::string outputPath;
  };
  const Case cases[] = {
      {"missing", "tape01.cbl", "tape01.txt"},
      {"empty path", "", ".txt"},
      {"a folder", "folder.cbl", "folder.txt"},
  };
  fs::create_directory(at("folder.cbl"));
  put("tape01.txt", "kept\r\n");
  put("folder.txt", "kept too\r\n");
  put(".txt", "hidden\r\n");
  const auto before = contents();
  for (const Case& c : cases) {
    const RunResult result = run({c.argument});
    EXPECT_EQ(255, result.status) << c.name;
    EXPECT_EQ(echo(c.argument, c.outputPath), result.standardOutput) << c.name;
    EXPECT_EQ(before, contents()) << c.name;
  }
}

TEST_F(EndToEndTest, MovesThePreviousBatchListAsideOnce) {
  put("tape01.cbl", kWorkedLine);
  put("tape01.txt", "first rows\r\n");
  EXPECT_EQ(0, run({"tape01.cbl"}).status);
  EXPECT_EQ("first rows\r\n", get("tape01.txt.bak"));
  EXPECT_EQ(kWorkedRow, get("tape01.txt"));

  // A backup, once made, is never replaced.
  put("tape01.cbl", "9 00:00:00:01 00:00:00:02 x new.avi\r\n");
  EXPECT_EQ(0, run({"tape01.cbl"}).status);
  EXPECT_EQ("first rows\r\n", get("tape01.txt.bak"));
  EXPECT_EQ("tape01\t00;00;00;01\t00;00;00;02\tnew\r\n", get("tape01.txt"));
  EXPECT_EQ(3u, contents().size());
}

TEST_F(EndToEndTest, FolderAtTheBatchListPath) {
  put("tape01.cbl", kWorkedLine);
  fs::create_directory(at("tape01.txt"));
  put("tape01.txt/inside", "untouched");
  const auto before = contents();
  const RunResult result = run({"tape01.cbl"});
  EXPECT_EQ(255, result.status);
  EXPECT_EQ(before, contents());
}

TEST_F(EndToEndTest, CaptureListThatIsItsOwnBatchListIsLeftAlone) {
  // list.txt's batch list is list.txt; soft.txt is a link to soft.cbl and
  // hard.txt a second name of hard.cbl. Each run would empty its input.
  put("list.txt", kWorkedLine);
  put("soft.cbl", kWorkedLine);
  fs::create_symlink("soft.cbl", at("soft.txt"));
  put("hard.cbl", kWorkedLine);
  fs::create_hard_link(at("hard.cbl"), at("hard.txt"));
  const auto before = contents();
  for (const char* input : {"list.txt", "./list.txt", "soft.cbl", "hard.cbl"}) {
    const RunResult result = run({input});
    EXPECT_EQ(255, result.status) << input;
    EXPECT_EQ(before, contents()) << input;
  }
}

TEST_F(EndToEndTest, LongLinesAreOneRowEach) {
  const std::string name(5000, 'n');
  put("long.cbl", "1 a b c D:\\" + std::string(3000, 'f') + "\\" + name + ".avi\r\n;" +
                      std::string(70000, 'c') + " 1 2 3 4\r\n");
  EXPECT_EQ(0, run({"long.cbl"}).status);
  EXPECT_EQ("long\ta\tb\t" + name + "\r\n", get("long.txt"));
}

TEST_F(EndToEndTest, RunWithoutStandardOutputEndsTheSame) {
  put("tape01.cbl", kWorkedLine);
  put("tape01.txt", "old");
  const RunResult result = run({"tape01.cbl"}, {.closeStandardOutput = true});
  EXPECT_EQ(0, result.status);
  EXPECT_EQ(kWorkedRow, get("tape01.txt"));
  EXPECT_EQ("old", get("tape01.txt.bak"));
}

TEST_F(EndToEndTest, FullDiskIsAFailure) {
  // Under a launcher the limit binds it too; Wine's server, started before
  // the suite, is not bound, and the program writes in its own process.
  std::string captureList;
  for (int i = 0; i < 2000; ++i) captureList += kWorkedLine;
  put("tape01.cbl", captureList);
  put("tape01.txt", "previous\r\n");
  const RunResult result = run({"tape01.cbl"}, {.fileSizeLimit = 8192});
  EXPECT_EQ(255, result.status);
  EXPECT_EQ(captureList, get("tape01.cbl"));
  EXPECT_EQ("previous\r\n", get("tape01.txt.bak"));
  const std::string written = *get("tape01.txt");
  EXPECT_LE(written.size(), 8192u);
  // What did reach the disk is whole rows, in order, up to the limit.
  std::string expectedStart;
  while (expectedStart.size() < written.size()) expectedStart += kWorkedRow;
  EXPECT_EQ(expectedStart.substr(0, written.size()), written);
}

}  // namespace
