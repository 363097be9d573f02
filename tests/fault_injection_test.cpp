// Real faults around the built command, made with this machine's own kernel
// and disk rather than a fake: a file-size limit as a full disk, files and
// folders the run has no right to, a capture list that vanishes between the
// echo and the open, a read error in the middle of the capture list, and a
// kill at a random moment. Each case checks what is left on disk.
//
// CAP2BATCH_EXE names the executable. CAP2BATCH_LAUNCHER, when set, is a
// command (words separated by spaces) that the executable is handed to, such
// as valgrind; the cases that a launcher would change are skipped under one.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "command_harness.h"
#include "folder_test.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace command_harness;

namespace {

fs::path testedExecutable() { return fs::absolute(executable("cap2batch")); }

// A copy of the executable in a folder that every user may enter, for the
// runs without root's rights: the build folder may lie where they cannot.
class SharedCopy {
 public:
  SharedCopy() {
    folder_ = makeTemporaryFolder("cap2batch-exe");
    if (folder_.empty()) return;
    fs::permissions(folder_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                 fs::perms::others_read | fs::perms::others_exec);
    fs::copy_file(testedExecutable(), folder_ / "cap2batch");
  }
  ~SharedCopy() { removeTemporaryFolder(folder_); }
  fs::path path() const { return folder_ / "cap2batch"; }

 private:
  fs::path folder_;
};

struct Unprivileged {
  uid_t user;
  gid_t group;
};

// The user the unprivileged runs take when the tests run as root.
std::optional<Unprivileged> nobody() {
  const passwd* entry = ::getpwnam("nobody");
  if (entry == nullptr) return std::nullopt;
  return Unprivileged{entry->pw_uid, entry->pw_gid};
}

bool dropRootPrivileges(const Unprivileged& to) {
  return ::setgroups(0, nullptr) == 0 && ::setgid(to.group) == 0 && ::setuid(to.user) == 0;
}

// Why a run without root's rights cannot be made here, or nothing when it can.
std::optional<std::string> whyNoUnprivilegedRun() {
  if (::getuid() != 0) return std::nullopt;  // already without root's rights
  const std::optional<Unprivileged> user = nobody();
  if (!user) return "there is no user 'nobody' to drop root's rights to";
  const pid_t child = ::fork();
  if (child == 0) ::_exit(dropRootPrivileges(*user) && ::access("/root", W_OK) != 0 ? 0 : 1);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return "root's rights cannot be dropped here (setuid to 'nobody' refused or ineffective)";
  }
  return std::nullopt;
}

struct Launch {
  rlim_t fileSizeLimit = RLIM_INFINITY;
  bool unprivileged = false;
  // Standard output is a pipe that is already full, so the echo blocks until
  // the test reads: the run is held between the echo and the open.
  bool fullStandardOutput = false;
};

// Fills the pipe to the brim, with its size cut down to a page; returns how
// many bytes went in.
std::size_t fillPipe(int pipeEnd) {
  ::fcntl(pipeEnd, F_SETPIPE_SZ, 4096);
  ::fcntl(pipeEnd, F_SETFL, O_NONBLOCK);
  const std::string filler(4096, 'f');
  std::size_t filled = 0;
  for (ssize_t count; (count = ::write(pipeEnd, filler.data(), filler.size())) > 0;) {
    filled += static_cast<std::size_t>(count);
  }
  ::fcntl(pipeEnd, F_SETFL, 0);
  return filled;
}

using Started = StartedProcess;
using RunResult = ProcessResult;

std::string echo(const std::string& in, const std::string& out) {
  return "IN:" + in + "\r\nOUT:" + out + "\r\n";
}

const std::string kClipLine =
    "3  00:01:02:03  00:01:10:00  00:00:07:27  D:\\capture\\clip 003.avi\r\n";
const std::string kRow = "tape01\t00;01;02;03\t00;01;10;00\tclip 003\r\n";

class FaultInjectionTest : public FolderTest {
 protected:
  FaultInjectionTest() : FolderTest("cap2batch-fault") {}

  Started start(const std::vector<std::string>& arguments, const Launch& launch = {}) const {
    static const SharedCopy sharedCopy;
    std::vector<std::string> words =
        commandPrefix(launch.unprivileged ? sharedCopy.path() : testedExecutable());
    words.insert(words.end(), arguments.begin(), arguments.end());

    ProcessOptions options;
    if (launch.fullStandardOutput) options.fillPipe = fillPipe;
    const std::optional<Unprivileged> user = nobody();
    options.setUpChild = [launch, user] {
      if (launch.fileSizeLimit != RLIM_INFINITY) limitFileSize(launch.fileSizeLimit);
      if (launch.unprivileged && ::getuid() == 0 && !(user && dropRootPrivileges(*user))) {
        ::_exit(122);
      }
    };
    return startProcess(words, folder_, options);
  }

  static RunResult finish(const Started& started) { return finishProcess(started); }

  RunResult run(const std::vector<std::string>& arguments, const Launch& launch = {}) const {
    return finish(start(arguments, launch));
  }
};

// Waits until the process sits in a write to its standard output, as the
// kernel tells it; false when it does not get there within ten seconds.
bool waitUntilWritingStandardOutput(pid_t pid) {
  for (auto deadline = std::chrono::steady_clock::now() + 10s;
       std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(1ms)) {
    std::ifstream syscall("/proc/" + std::to_string(pid) + "/syscall");
    std::string number;
    std::string descriptor;
    if (syscall >> number >> descriptor && number == "1" && descriptor == "0x1") return true;
  }
  return false;
}

// Waits until the process sits in a read of the file at `path`, as the kernel
// tells it; false when it does not get there within ten seconds.
bool waitUntilReading(pid_t pid, const fs::path& path) {
  const std::string process = "/proc/" + std::to_string(pid);
  for (auto deadline = std::chrono::steady_clock::now() + 10s;
       std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(1ms)) {
    std::ifstream syscall(process + "/syscall");
    std::string number;
    std::string descriptor;
    if (!(syscall >> number >> descriptor) || number != "0") continue;
    std::error_code error;
    const fs::path file = fs::read_symlink(
        process + "/fd/" + std::to_string(std::stoul(descriptor, nullptr, 16)), error);
    if (!error && file == path) return true;
  }
  return false;
}

// How many bytes the process has read so far, from any file.
std::uint64_t bytesRead(pid_t pid) {
  std::ifstream io("/proc/" + std::to_string(pid) + "/io");
  std::string field;
  std::uint64_t count = 0;
  while (io >> field >> count) {
    if (field == "rchar:") return count;
  }
  return 0;
}

TEST_F(FaultInjectionTest, FullDiskWhileWritingTheBatchList) {
  if (underLauncher()) GTEST_SKIP() << "a file-size limit would also bind the launcher";
  std::string captureList;
  std::string rows;
  for (int i = 0; i < 2000; ++i) {
    captureList += kClipLine;
    rows += kRow;
  }
  struct Case {
    const char* name;
    std::optional<std::string> batchList;
    std::optional<std::string> backup;
    std::optional<std::string> backupAfter;
  };
  const Case cases[] = {
      {"no batch list yet", std::nullopt, std::nullopt, std::nullopt},
      {"a batch list is moved aside", "previous\r\n", std::nullopt, "previous\r\n"},
      {"an earlier backup stays", "previous\r\n", "earlier\r\n", "earlier\r\n"},
  };
  constexpr rlim_t kLimit = 8192;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::error_code ignored;
    fs::remove(at("tape01.txt"), ignored);
    fs::remove(at("tape01.txt.bak"), ignored);
    put("tape01.cbl", captureList);
    if (c.batchList) put("tape01.txt", *c.batchList);
    if (c.backup) put("tape01.txt.bak", *c.backup);

    const RunResult result = run({"tape01.cbl"}, {.fileSizeLimit = kLimit});
    EXPECT_EQ(255, result.status);
    EXPECT_EQ(echo("tape01.cbl", "tape01.txt"), result.standardOutput);
    EXPECT_EQ(captureList, get("tape01.cbl"));
    EXPECT_EQ(c.backupAfter, get("tape01.txt.bak"));
    // What did reach the disk is the start of the rows, up to the limit.
    const std::string written = get("tape01.txt").value_or("<missing>");
    EXPECT_LE(written.size(), kLimit);
    EXPECT_EQ(rows.substr(0, written.size()), written);
    EXPECT_EQ(c.backupAfter ? 3u : 2u, contents().size());
  }
}

TEST_F(FaultInjectionTest, CaptureListThatCannotBeRead) {
  if (const std::optional<std::string> reason = whyNoUnprivilegedRun()) GTEST_SKIP() << *reason;
  // The folder lets anyone in and lets anyone create files, so that only the
  // capture list itself stands in the way.
  fs::permissions(folder_, fs::perms::all);
  put("tape01.cbl", kClipLine);
  fs::permissions(at("tape01.cbl"), fs::perms::none);
  put("tape01.txt", "previous\r\n");
  fs::create_directory(at("locked"));
  put("locked/tape02.cbl", kClipLine);
  fs::permissions(at("locked"), fs::perms::owner_all);

  struct Case {
    const char* name;
    std::string argument;
    std::string outputPath;
  };
  const Case cases[] = {
      {"no right to read the file", "tape01.cbl", "tape01.txt"},
      {"no right to enter its folder", "locked/tape02.cbl", "locked/tape02.txt"},
  };
  const auto before = contents();
  for (const Case& c : cases) {
    const RunResult result = run({c.argument}, {.unprivileged = true});
    EXPECT_EQ(255, result.status) << c.name;
    EXPECT_EQ(echo(c.argument, c.outputPath), result.standardOutput) << c.name;
    EXPECT_EQ(before, contents()) << c.name;
  }
}

TEST_F(FaultInjectionTest, FolderThatRefusesNewFiles) {
  if (const std::optional<std::string> reason = whyNoUnprivilegedRun()) GTEST_SKIP() << *reason;
  const std::string newRows = kRow;

  struct Case {
    const char* name;
    std::optional<fs::perms> batchList;  // the previous batch list's rights, if there is one
    int status;
    std::optional<std::string> batchListAfter;
  };
  const Case cases[] = {
      {"no batch list yet", std::nullopt, 255, std::nullopt},
      {"a batch list it may not write",
       fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
           fs::perms::others_read,
       255, "previous\r\n"},
      // It cannot be moved aside, as when a backup already stands, so the new
      // rows take its place.
      {"a batch list anyone may write",
       fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
           fs::perms::group_write | fs::perms::others_read | fs::perms::others_write,
       0, newRows},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::permissions(folder_, fs::perms::owner_all);
    std::error_code ignored;
    fs::remove(at("tape01.txt"), ignored);
    put("tape01.cbl", kClipLine);
    if (c.batchList) {
      put("tape01.txt", "previous\r\n");
      fs::permissions(at("tape01.txt"), *c.batchList);
    }
    // Anyone may enter and read the folder; only root may add to it.
    fs::permissions(folder_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                 fs::perms::others_read | fs::perms::others_exec);

    const RunResult result = run({"tape01.cbl"}, {.unprivileged = true});
    EXPECT_EQ(c.status, result.status);
    EXPECT_EQ(kClipLine, get("tape01.cbl"));
    EXPECT_EQ(c.batchListAfter, get("tape01.txt"));
    EXPECT_FALSE(fs::exists(at("tape01.txt.bak")));
    EXPECT_EQ(c.batchListAfter ? 2u : 1u, contents().size());
  }
}

TEST_F(FaultInjectionTest, CaptureListVanishesBetweenTheEchoAndTheOpen) {
  struct Case {
    const char* name;
    void (*replace)(const fs::path& captureList);
    std::map<std::string, std::string> after;
  };
  const Case cases[] = {
      {"vanished", [](const fs::path&) {}, {{"tape01.txt", "previous\r\n"}}},
      {"replaced by a folder",
       [](const fs::path& path) { fs::create_directory(path); },
       {{"tape01.cbl", "<folder>"}, {"tape01.txt", "previous\r\n"}}},
      {"replaced by a link to its own batch list",
       [](const fs::path& path) { fs::create_symlink("tape01.txt", path); },
       {{"tape01.cbl", "<link tape01.txt>"}, {"tape01.txt", "previous\r\n"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::error_code ignored;
    fs::remove(at("tape01.cbl"), ignored);
    put("tape01.cbl", kClipLine);
    put("tape01.txt", "previous\r\n");

    const Started started = start({"tape01.cbl"}, {.fullStandardOutput = true});
    EXPECT_TRUE(waitUntilWritingStandardOutput(started.pid));
    fs::remove(at("tape01.cbl"));
    c.replace(at("tape01.cbl"));
    const RunResult result = finish(started);

    EXPECT_EQ(255, result.status);
    EXPECT_EQ(echo("tape01.cbl", "tape01.txt"), result.standardOutput);
    EXPECT_EQ(c.after, contents());
  }
}

TEST_F(FaultInjectionTest, ReadErrorInTheMiddleOfTheCaptureList) {
  // The capture list is a link to a terminal: the lines written to its other
  // end arrive, and once that end is closed the next read fails with EIO.
  const int controller = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(controller, 0);
  ASSERT_EQ(0, ::grantpt(controller));
  ASSERT_EQ(0, ::unlockpt(controller));
  const std::string terminal = ::ptsname(controller);
  // Raw, so the bytes pass the terminal unchanged.
  const int holder = ::open(terminal.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(holder, 0);
  termios raw{};
  ASSERT_EQ(0, ::tcgetattr(holder, &raw));
  ::cfmakeraw(&raw);
  ASSERT_EQ(0, ::tcsetattr(holder, TCSANOW, &raw));
  fs::create_symlink(terminal, at("tape01.cbl"));
  put("tape01.txt", "previous\r\n");

  const Started started = start({"tape01.cbl"});
  ASSERT_TRUE(waitUntilReading(started.pid, terminal));
  const std::uint64_t before = bytesRead(started.pid);
  const std::string lines = kClipLine + "; a comment\r\n" + kClipLine + kClipLine;
  ASSERT_EQ(static_cast<ssize_t>(lines.size()), ::write(controller, lines.data(), lines.size()));
  // Once the run has taken every byte and waits for more, the terminal's
  // other end goes away.
  for (auto deadline = std::chrono::steady_clock::now() + 10s;
       bytesRead(started.pid) < before + lines.size() &&
       std::chrono::steady_clock::now() < deadline;
       std::this_thread::sleep_for(1ms)) {
  }
  EXPECT_LE(before + lines.size(), bytesRead(started.pid));
  // Closed while the run waits inside its next read, the terminal fails that
  // read; closed earlier, it would hang up and the next read would find an end.
  EXPECT_TRUE(waitUntilReading(started.pid, terminal));
  ::close(controller);
  const RunResult result = finish(started);
  ::close(holder);

  EXPECT_EQ(255, result.status);
  EXPECT_EQ(echo("tape01.cbl", "tape01.txt"), result.standardOutput);
  // The rows read before the error stay; the previous batch list is safe.
  EXPECT_EQ(kRow + kRow + kRow, get("tape01.txt"));
  EXPECT_EQ("previous\r\n", get("tape01.txt.bak"));
  EXPECT_EQ(3u, contents().size());
}

TEST_F(FaultInjectionTest, KilledAtARandomMomentWhileWritingALargeBatchList) {
  if (underLauncher()) GTEST_SKIP() << "the kill would reach the launcher, not the command";
  std::string captureList;
  std::string rows;
  for (int i = 0; i < 30000; ++i) {
    const std::string clip = std::to_string(i);
    captureList +=
        clip + "  00:01:02:03  00:01:10:00  00:00:07:27  D:\\capture\\clip" + clip + ".avi\r\n";
    rows += "big\t00;01;02;03\t00;01;10;00\tclip" + clip + "\r\n";
  }
  put("big.cbl", captureList);
  const std::string previous = "previous batch list\r\n";
  const std::string earlier = "earlier backup\r\n";

  // How long a whole run takes here, so the kills fall inside one.
  put("big.txt", previous);
  const auto begin = std::chrono::steady_clock::now();
  ASSERT_EQ(0, run({"big.cbl"}).status);
  const auto wholeRun = std::chrono::steady_clock::now() - begin;
  ASSERT_EQ(rows, get("big.txt"));

  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<long long> moment(
      0, std::chrono::duration_cast<std::chrono::microseconds>(wholeRun).count());
  std::map<std::string, int> outcomes;
  // At least 30 kills; more, up to 300, until one has fallen inside the
  // writing, which takes only part of a run on a fast machine.
  constexpr int kKills = 30;
  constexpr int kMostKills = 300;
  int kills = 0;
  for (; kills < kMostKills && (kills < kKills || outcomes["while writing rows"] == 0); ++kills) {
    const bool earlierBackup = kills % 2 == 1;
    std::error_code ignored;
    fs::remove(at("big.txt.bak"), ignored);
    put("big.txt", previous);
    if (earlierBackup) put("big.txt.bak", earlier);
    const std::chrono::microseconds delay(moment(random));
    SCOPED_TRACE("kill " + std::to_string(kills) + " after " + std::to_string(delay.count()) +
                 " us");

    const Started started = start({"big.cbl"});
    std::this_thread::sleep_for(delay);
    ::kill(started.pid, SIGKILL);
    const RunResult result = finish(started);

    EXPECT_EQ(captureList, get("big.cbl"));
    const std::optional<std::string> batchList = get("big.txt");
    const std::optional<std::string> backup = get("big.txt.bak");
    if (earlierBackup) {
      EXPECT_EQ(earlier, backup);
    } else if (backup) {
      EXPECT_EQ(previous, backup);
    } else {
      EXPECT_EQ(previous, batchList) << "no backup, so the batch list was not touched";
    }
    std::string outcome;
    if (batchList == previous) {
      outcome = "before the batch list was created";
    } else if (!batchList) {
      outcome = "between moving aside and creating";
      EXPECT_FALSE(earlierBackup);
    } else if (batchList == rows) {
      outcome = "after the last row";
    } else {
      outcome = "while writing rows";
      EXPECT_TRUE(result.killed);
      EXPECT_EQ(rows.substr(0, batchList->size()), *batchList) << "rows in order, none lost";
    }
    ++outcomes[outcome];
    // The capture list, and the batch list and backup where they are: no
    // stray file left behind by the kill.
    EXPECT_EQ(1u + (batchList ? 1u : 0u) + (backup ? 1u : 0u), contents().size());
  }
  for (const auto& [outcome, count] : outcomes) {
    std::cout << "killed " << outcome << ": " << count << " of " << kills << "\n";
  }
  EXPECT_GT(outcomes["while writing rows"], 0) << "no kill fell inside the writing";
}

}  // namespace
