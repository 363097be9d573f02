#include "run/run_command.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "conversion/batch_list.h"

namespace {

// A platform over an in-memory folder that logs every step the run takes, so
// the order of opening, closing and the chime can be checked, and failures a
// real disk gives only rarely can be made on purpose.
class FakePlatform : public Platform {
 public:
  std::map<std::string, std::string> files;
  std::set<std::string> directories;
  std::map<std::string, std::string> aliases;  // another name for the same file
  bool failReads = false;
  bool failWrites = false;
  bool failClose = false;
  std::vector<std::string> log;
  std::string standardOutputBytes;

  std::string resolve(const std::string& path) const {
    const auto alias = aliases.find(path);
    return alias == aliases.end() ? path : alias->second;
  }

  class File : public ReadableFile {
   public:
    File(FakePlatform& platform, std::string path) : platform_(platform), path_(std::move(path)) {}
    std::size_t read(char* buffer, std::size_t size) override {
      if (platform_.failReads) {
        failed_ = true;
        return 0;
      }
      const std::string& bytes = platform_.files[path_];
      const std::size_t count = std::min(size, bytes.size() - at_);
      bytes.copy(buffer, count, at_);
      at_ += count;
      return count;
    }
    bool failed() const override { return failed_; }
    bool isSameFileAs(const std::string& path) const override {
      return platform_.resolve(path) == path_;
    }
    void close() override { platform_.log.push_back("close " + path_); }

   private:
    FakePlatform& platform_;
    std::string path_;
    std::size_t at_ = 0;
    bool failed_ = false;
  };

  class Output : public WritableFile {
   public:
    Output(FakePlatform& platform, std::string path)
        : platform_(platform), path_(std::move(path)) {}
    bool write(const char* data, std::size_t size) override {
      if (platform_.failWrites) return false;
      platform_.files[path_].append(data, size);
      return true;
    }
    bool close() override {
      platform_.log.push_back("close " + path_);
      return !platform_.failClose;
    }

   private:
    FakePlatform& platform_;
    std::string path_;
  };

  class Capture : public ByteSink {
   public:
    explicit Capture(std::string& bytes) : bytes_(bytes) {}
    bool write(const char* data, std::size_t size) override {
      bytes_.append(data, size);
      return true;
    }

   private:
    std::string& bytes_;
  };

  std::unique_ptr<ReadableFile> openForReading(const std::string& path) override {
    const std::string real = resolve(path);
    log.push_back("open " + path);
    if (!files.contains(real)) return nullptr;
    return std::make_unique<File>(*this, real);
  }
  std::unique_ptr<WritableFile> createForWriting(const std::string& path) override {
    const std::string real = resolve(path);
    log.push_back("create " + path);
    if (directories.contains(real)) return nullptr;
    files[real].clear();
    return std::make_unique<Output>(*this, real);
  }
  void renameWithoutReplacing(const std::string& from, const std::string& to) override {
    log.push_back("rename " + from + " " + to);
    if (files.contains(to) || !files.contains(from)) return;
    files[to] = files[from];
    files.erase(from);
  }
  ByteSink& standardOutput() override { return standardOutput_; }
  void playCompletionChime() override { log.push_back("chime"); }

 private:
  Capture standardOutput_{standardOutputBytes};
};

int run(FakePlatform& platform, std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "cap2batch");
  return runCommand(static_cast<int>(arguments.size()), arguments.data(), platform);
}

const std::string kClipLine =
    "3  00:01:02:03  00:01:10:00  00:00:07:27  D:\\capture\\clip 003.avi\r\n";
const std::string kRow = "tape01\t00;01;02;03\t00;01;10;00\tclip 003\r\n";

TEST(RunCommandTest, ConvertsAndChimesAfterBothFilesAreClosed) {
  FakePlatform platform;
  platform.files["tape01.cbl"] = kClipLine;
  EXPECT_EQ(0, run(platform, {"tape01.cbl", "ignored.cbl"}));
  EXPECT_EQ(kRow, platform.files["tape01.txt"]);
  EXPECT_EQ("IN:tape01.cbl\r\nOUT:tape01.txt\r\n", platform.standardOutputBytes);
  EXPECT_EQ("tape01", listName);
  const std::vector<std::string> expected = {"open tape01.cbl",   "open tape01.txt",
                                             "create tape01.txt", "close tape01.cbl",
                                             "close tape01.txt",  "chime"};
  EXPECT_EQ(expected, platform.log);
}

TEST(RunCommandTest, NoRowNoChime) {
  for (const std::string captureList : {"", "; comment\r\n",
                                        "\x1a"
                                        "1 a b c d\r\n"}) {
    FakePlatform platform;
    platform.files["tape01.cbl"] = captureList;
    EXPECT_EQ(0, run(platform, {"tape01.cbl"}));
    EXPECT_EQ("", platform.files["tape01.txt"]);
    EXPECT_EQ("close tape01.txt", platform.log.back());
  }
}

TEST(RunCommandTest, NoArgument) {
  FakePlatform platform;
  listName = "";
  EXPECT_EQ(-2, run(platform, {}));
  EXPECT_TRUE(platform.log.empty());
  EXPECT_EQ("", platform.standardOutputBytes);
  EXPECT_EQ("", listName);
}

TEST(RunCommandTest, BackupCases) {
  struct Case {
    std::map<std::string, std::string> before;
    std::map<std::string, std::string> after;
  };
  const Case cases[] = {
      {{{"t.cbl", kClipLine}}, {{"t.cbl", kClipLine}, {"t.txt", "t" + kRow.substr(6)}}},
      {{{"t.cbl", kClipLine}, {"t.txt", "old"}},
       {{"t.cbl", kClipLine}, {"t.txt", "t" + kRow.substr(6)}, {"t.txt.bak", "old"}}},
      {{{"t.cbl", kClipLine}, {"t.txt", "old"}, {"t.txt.bak", "older"}},
       {{"t.cbl", kClipLine}, {"t.txt", "t" + kRow.substr(6)}, {"t.txt.bak", "older"}}},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    platform.files = c.before;
    EXPECT_EQ(0, run(platform, {"t.cbl"}));
    EXPECT_EQ(c.after, platform.files);
  }
}

TEST(RunCommandTest, FailuresEndWithMinusOneAndNoChime) {
  struct Case {
    const char* name;
    void (*arrange)(FakePlatform&);
    std::map<std::string, std::string> after;
  };
  const Case cases[] = {
      {"missing capture list",
       [](FakePlatform& p) { p.files["t.txt"] = "old"; },
       {{"t.txt", "old"}}},
      {"batch list is a folder",
       [](FakePlatform& p) {
         p.files["t.cbl"] = kClipLine;
         p.directories.insert("t.txt");
       },
       {{"t.cbl", kClipLine}}},
      {"read error keeps the rows read so far",
       [](FakePlatform& p) {
         p.files["t.cbl"] = kClipLine;
         p.files["t.txt"] = "old";
         p.failReads = true;
       },
       {{"t.cbl", kClipLine}, {"t.txt", ""}, {"t.txt.bak", "old"}}},
      {"full disk",
       [](FakePlatform& p) {
         p.files["t.cbl"] = kClipLine;
         p.failWrites = true;
       },
       {{"t.cbl", kClipLine}, {"t.txt", ""}}},
      {"close fails",
       [](FakePlatform& p) {
         p.files["t.cbl"] = kClipLine;
         p.failClose = true;
       },
       {{"t.cbl", kClipLine}, {"t.txt", "t" + kRow.substr(6)}}},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    c.arrange(platform);
    EXPECT_EQ(-1, run(platform, {"t.cbl"})) << c.name;
    EXPECT_EQ(c.after, platform.files) << c.name;
    EXPECT_EQ(0, std::count(platform.log.begin(), platform.log.end(), "chime")) << c.name;
    EXPECT_EQ("IN:t.cbl\r\nOUT:t.txt\r\n", platform.standardOutputBytes) << c.name;
  }
}

TEST(RunCommandTest, CaptureListNamedLikeItsBatchListIsLeftAlone) {
  for (const char* input : {"list.txt", "LIST.TXT"}) {
    FakePlatform platform;
    platform.files["list.txt"] = kClipLine;
    platform.aliases["LIST.TXT"] = "list.txt";
    platform.aliases["LIST.txt"] = "list.txt";
    EXPECT_EQ(-1, run(platform, {input})) << input;
    const std::map<std::string, std::string> after = {{"list.txt", kClipLine}};
    EXPECT_EQ(after, platform.files) << input;
    EXPECT_EQ(0, std::count_if(platform.log.begin(), platform.log.end(), [](const std::string& s) {
                return s.starts_with("create") || s.starts_with("rename");
              }));
  }
}

TEST(RunCommandTest, EmptyArgument) {
  FakePlatform platform;
  EXPECT_EQ(-1, run(platform, {""}));
  EXPECT_EQ("IN:\r\nOUT:.txt\r\n", platform.standardOutputBytes);
  EXPECT_TRUE(platform.files.empty());
}

}  // namespace
