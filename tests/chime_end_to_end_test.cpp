// Runs the built command with ALSA's default device pointed at a file and
// checks what the completion chime left there: the chime's samples, exactly
// once, after a run that wrote rows, and nothing after any other run. Runs
// without a sound device must end as they do with one.
//
// CAP2BATCH_EXE names the executable; CAP2BATCH_LAUNCHER, when set, is a
// command (words separated by spaces) that it is handed to. The device is
// chosen through an .asoundrc in a temporary HOME, which any program that
// plays through ALSA reads.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "command_harness.h"

namespace fs = std::filesystem;
using namespace command_harness;

namespace {

// The chime's samples: everything after the 44-byte header of the committed
// file, whose layout has its own test.
std::string chimeSamples() { return readFile(CHIME_WAV).value_or("").substr(44); }

// The 16-bit frames of `samples` that are not silence, in order.
std::vector<std::string> audibleFrames(const std::string& samples) {
  std::vector<std::string> frames;
  for (std::size_t at = 0; at + 2 <= samples.size(); at += 2) {
    if (samples[at] != 0 || samples[at + 1] != 0) frames.push_back(samples.substr(at, 2));
  }
  return frames;
}

// How the run's ALSA is set up.
enum class Sound {
  fileSink,         // the default device writes to sink.raw in the home folder
  missingCard,      // the default device is a sound card that does not exist
  noConfiguration,  // ALSA reads an empty configuration: no device at all
};

struct RunResult {
  int status = -1;  // as the shell sees it, or -1 after a signal
  std::string standardOutput;
  std::string standardError;
  std::map<std::string, std::string> files;  // the work folder afterwards
  std::optional<std::string> sink;           // sink.raw, when it exists
};

class ChimeEndToEndTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = makeTemporaryFolder("cap2batch-chime");
    ASSERT_FALSE(root_.empty());
    fs::create_directory(home());
    fs::create_directory(work());
  }
  void TearDown() override { removeTemporaryFolder(root_); }

  fs::path home() const { return root_ / "home"; }
  fs::path work() const { return root_ / "work"; }
  fs::path sinkPath() const { return home() / "sink.raw"; }

  void put(const std::string& name, const std::string& bytes) const {
    std::ofstream(work() / name, std::ios::binary) << bytes;
  }

  void configureSound(Sound sound) const {
    fs::remove(home() / ".asoundrc");
    fs::remove(sinkPath());
    std::ofstream asoundrc(home() / ".asoundrc");
    if (sound == Sound::fileSink) {
      asoundrc << "pcm.!default {\n  type file\n  slave.pcm \"null\"\n  file \""
               << sinkPath().string() << "\"\n  format \"raw\"\n}\n";
    } else if (sound == Sound::missingCard) {
      asoundrc << "pcm.!default {\n  type hw\n  card 29\n}\n";
    }
    std::ofstream(root_ / "empty.conf");
  }

  RunResult run(const std::vector<std::string>& arguments, Sound sound = Sound::fileSink) const {
    configureSound(sound);
    std::vector<std::string> words = commandPrefix(executable("cap2batch"));
    words.insert(words.end(), arguments.begin(), arguments.end());

    // Standard output and error go to files, so that both are kept whole
    // without reading two pipes at once; the runner's pipe stays empty.
    const fs::path outPath = root_ / "stdout";
    const fs::path errPath = root_ / "stderr";
    const auto setUpChild = [&] {
      if (!std::freopen(outPath.c_str(), "wb", stdout) ||
          !std::freopen(errPath.c_str(), "wb", stderr)) {
        ::_exit(120);
      }
      ::setenv("HOME", home().c_str(), 1);
      ::unsetenv("XDG_CONFIG_HOME");  // ALSA reads an asoundrc there too
      if (sound == Sound::noConfiguration) {
        ::setenv("ALSA_CONFIG_PATH", (root_ / "empty.conf").c_str(), 1);
      } else {
        ::unsetenv("ALSA_CONFIG_PATH");
      }
    };
    const ProcessResult process = runProcess(words, work(), {.setUpChild = setUpChild});

    RunResult result;
    result.status = process.status;
    result.standardOutput = readFile(outPath).value_or("");
    result.standardError = readFile(errPath).value_or("");
    result.files = folderContents(work());
    result.sink = readFile(sinkPath());
    return result;
  }

  // The command prints nothing beyond its two lines; a launcher may well
  // print on its own.
  static void expectQuiet(const RunResult& result, const std::string& name) {
    if (!underLauncher()) {
      EXPECT_EQ("", result.standardError) << name;
    }
  }

  fs::path root_;
};

const std::string kClipLine =
    "3  00:01:02:03  00:01:10:00  00:00:07:27  D:\\capture\\clip 003.avi\r\n";
const std::string kRow = "tape01\t00;01;02;03\t00;01;10;00\tclip 003\r\n";

TEST_F(ChimeEndToEndTest, RunThatWritesRowsPlaysTheChimeOnceToItsEnd) {
  ASSERT_EQ(8672u, chimeSamples().size());
  put("tape01.cbl", kClipLine + kClipLine);
  const RunResult result = run({"tape01.cbl"});
  EXPECT_EQ(0, result.status);
  EXPECT_EQ(kRow + kRow, result.files.at("tape01.txt"));
  // The sink holds what reached the device by the time the process ended:
  // every sample, once, nothing padded.
  ASSERT_TRUE(result.sink);
  if (!underLauncher()) {
    EXPECT_TRUE(*result.sink == chimeSamples())
        << "sink holds " << result.sink->size() << " bytes, the chime " << chimeSamples().size();
  } else {
    // Windows' audio engine (Wine's, here) feeds the device silence while it
    // waits for the program's samples, more of it on a busy machine: every
    // audible sample must still arrive once, in order, and nothing else.
    EXPECT_EQ(0u, result.sink->size() % 2);
    EXPECT_GE(result.sink->size(), chimeSamples().size());
    EXPECT_TRUE(audibleFrames(*result.sink) == audibleFrames(chimeSamples()))
        << "sink holds " << result.sink->size() << " bytes, the chime " << chimeSamples().size();
  }
  expectQuiet(result, "rows");
}

TEST_F(ChimeEndToEndTest, OtherRunsPlayNothing) {
  fs::create_directory(work() / "folder.txt");
  put("folder.cbl", kClipLine);
  put("comments.cbl", "; nothing to capture yet\r\n; 1 00:00:00:00 00:00:01:00 x a.avi\r\n");
  const struct {
    const char* name;
    std::vector<std::string> arguments;
    int status;
  } cases[] = {
      {"no clip line", {"comments.cbl"}, 0},
      {"capture list missing", {"missing.cbl"}, 255},
      {"clip lines, but the batch list is a folder", {"folder.cbl"}, 255},
      {"no argument", {}, 254},
  };
  for (const auto& c : cases) {
    const RunResult result = run(c.arguments);
    EXPECT_EQ(c.status, result.status) << c.name;
    EXPECT_EQ(0u, result.sink.value_or("").size()) << c.name;
    expectQuiet(result, c.name);
  }
}

TEST_F(ChimeEndToEndTest, WithoutSoundDeviceRunsEndTheSame) {
  put("tape01.cbl", kClipLine);
  put("comments.cbl", "; nothing to capture yet\r\n");
  // Each run starts from the same files: a previous batch list to move aside.
  const auto reset = [this] {
    fs::remove(work() / "tape01.txt.bak");
    fs::remove(work() / "comments.txt");
    put("tape01.txt", "previous\r\n");
  };
  const struct {
    const char* name;
    std::string captureList;
  } runs[] = {{"rows", "tape01.cbl"}, {"no clip line", "comments.cbl"}, {"missing", "none.cbl"}};
  const struct {
    const char* name;
    Sound sound;
  } machines[] = {{"missing card", Sound::missingCard},
                  {"no ALSA configuration", Sound::noConfiguration}};
  for (const auto& r : runs) {
    for (const auto& m : machines) {
      const std::string name = std::string(r.name) + ", " + m.name;
      reset();
      const RunResult withDevice = run({r.captureList}, Sound::fileSink);
      reset();
      const RunResult without = run({r.captureList}, m.sound);
      EXPECT_EQ(withDevice.status, without.status) << name;
      EXPECT_EQ(withDevice.standardOutput, without.standardOutput) << name;
      EXPECT_EQ(withDevice.files, without.files) << name;
      EXPECT_FALSE(without.sink) << name;
      expectQuiet(without, name);
    }
  }
}

}  // namespace
