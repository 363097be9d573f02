#include "run/alsa_playback_posix.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <deque>
#include <string>
#include <vector>

namespace {

// A device that logs every call, takes at most `chunk` frames a write and
// answers from the scripts below; ALSA's calls are plain function pointers,
// so the device is one global.
struct FakeDevice {
  int openResult = 0;
  int setParamsResult = 0;
  std::deque<snd_pcm_sframes_t> writeErrors;  // answers to the first writes
  int recoverResult = 0;
  snd_pcm_uframes_t chunk = 1000;
  std::vector<std::string> log;
  std::string played;
} device;

snd_pcm_t* const kHandle = reinterpret_cast<snd_pcm_t*>(&device);

int fakeOpen(snd_pcm_t** pcm, const char* name, snd_pcm_stream_t stream, int mode) {
  device.log.push_back(std::string("open ") + name +
                       (stream == SND_PCM_STREAM_PLAYBACK ? "" : "?") +
                       (mode == SND_PCM_NONBLOCK ? " nonblocking" : ""));
  *pcm = kHandle;
  return device.openResult;
}
int fakeNonblock(snd_pcm_t*, int nonblock) {
  device.log.push_back("nonblock " + std::to_string(nonblock));
  return 0;
}
int fakeSetParams(snd_pcm_t*, snd_pcm_format_t format, snd_pcm_access_t access,
                  unsigned int channels, unsigned int rate, int, unsigned int) {
  device.log.push_back(std::string("params ") + (format == SND_PCM_FORMAT_S16_LE ? "S16_LE" : "?") +
                       (access == SND_PCM_ACCESS_RW_INTERLEAVED ? "" : "?") + " " +
                       std::to_string(channels) + " " + std::to_string(rate));
  return device.setParamsResult;
}
snd_pcm_sframes_t fakeWritei(snd_pcm_t*, const void* buffer, snd_pcm_uframes_t frames) {
  if (!device.writeErrors.empty()) {
    const snd_pcm_sframes_t error = device.writeErrors.front();
    device.writeErrors.pop_front();
    device.log.push_back("write " + std::to_string(error));
    return error;
  }
  const snd_pcm_uframes_t taken = std::min(frames, device.chunk);
  device.played.append(static_cast<const char*>(buffer), taken * 2);
  device.log.push_back("write " + std::to_string(taken));
  return static_cast<snd_pcm_sframes_t>(taken);
}
int fakeRecover(snd_pcm_t*, int error, int silent) {
  device.log.push_back("recover " + std::to_string(error) + (silent ? " silently" : ""));
  return device.recoverResult;
}
int fakeDrain(snd_pcm_t*) {
  device.log.push_back("drain");
  return 0;
}
int fakeClose(snd_pcm_t* pcm) {
  device.log.push_back(pcm == kHandle ? "close" : "close?");
  return 0;
}

const AlsaCalls kFake = {fakeOpen,    fakeNonblock, fakeSetParams, fakeWritei,
                         fakeRecover, fakeDrain,    fakeClose,     nullptr};

class AlsaPlaybackTest : public testing::Test {
 protected:
  void SetUp() override { device = FakeDevice(); }

  // 2,500 mono 16-bit frames at 22,050 Hz, each byte different from its
  // neighbours so that a lost or repeated piece shows.
  void play() {
    for (int i = 0; i < 5000; ++i) samples_.push_back(static_cast<char>(i * 7));
    WaveSound sound;
    sound.channels = 1;
    sound.framesPerSecond = 22050;
    sound.bitsPerSample = 16;
    sound.samples = std::span(reinterpret_cast<const unsigned char*>(samples_.data()), 5000);
    playThroughAlsa(kFake, sound);
  }

  std::string samples_;
};

TEST_F(AlsaPlaybackTest, PlaysEverySampleAndWaitsForTheDevice) {
  play();
  const std::vector<std::string> expected = {"open default nonblocking",
                                             "nonblock 0",
                                             "params S16_LE 1 22050",
                                             "write 1000",
                                             "write 1000",
                                             "write 500",
                                             "drain",
                                             "close"};
  EXPECT_EQ(expected, device.log);
  EXPECT_TRUE(device.played == samples_);
}

TEST_F(AlsaPlaybackTest, RecoversFromAnUnderrunAndPlaysTheRest) {
  device.chunk = 2000;
  device.writeErrors = {-EPIPE};
  play();
  const std::vector<std::string> expected = {"open default nonblocking",
                                             "nonblock 0",
                                             "params S16_LE 1 22050",
                                             "write -32",
                                             "recover -32 silently",
                                             "write 2000",
                                             "write 500",
                                             "drain",
                                             "close"};
  EXPECT_EQ(expected, device.log);
  EXPECT_TRUE(device.played == samples_);
}

TEST_F(AlsaPlaybackTest, GivesUpWithoutHanging) {
  struct Case {
    const char* name;
    void (*arrange)();
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"no device, or a busy one",
       [] { device.openResult = -EBUSY; },
       {"open default nonblocking"}},
      {"format refused",
       [] { device.setParamsResult = -EINVAL; },
       {"open default nonblocking", "nonblock 0", "params S16_LE 1 22050", "close"}},
      {"cannot recover",
       [] {
         device.writeErrors = {-ESTRPIPE};
         device.recoverResult = -ESTRPIPE;
       },
       {"open default nonblocking", "nonblock 0", "params S16_LE 1 22050", "write -86",
        "recover -86 silently", "close"}},
      {"keeps failing",
       [] {
         device.writeErrors = {-EPIPE, -EPIPE, 0, -EPIPE, -EPIPE};
       },
       {"open default nonblocking", "nonblock 0", "params S16_LE 1 22050", "write -32",
        "recover -32 silently", "write -32", "recover -32 silently", "write 0", "write -32",
        "close"}},
  };
  for (const Case& c : cases) {
    device = FakeDevice();
    c.arrange();
    play();
    EXPECT_EQ(c.expected, device.log) << c.name;
  }
}

}  // namespace
