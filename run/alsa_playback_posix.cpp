#include "run/alsa_playback_posix.h"

#include <cstddef>

namespace {

// Resampling allowed; 0.1 s of latency keeps a slow device from starving.
constexpr int kSoftResample = 1;
constexpr unsigned int kLatencyMicroseconds = 100000;
// Failed writes in a row after which the device is given up.
constexpr int kWriteAttempts = 4;

void play(const AlsaCalls& alsa, snd_pcm_t* device, const WaveSound& sound) {
  const snd_pcm_format_t format =
      sound.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
  if (alsa.setParams(device, format, SND_PCM_ACCESS_RW_INTERLEAVED, sound.channels,
                     sound.framesPerSecond, kSoftResample, kLatencyMicroseconds) < 0) {
    return;
  }
  const std::size_t frameSize = std::size_t{sound.channels} * (sound.bitsPerSample / 8u);
  const unsigned char* next = sound.samples.data();
  auto framesLeft = static_cast<snd_pcm_uframes_t>(sound.samples.size() / frameSize);
  int failures = 0;
  while (framesLeft > 0) {
    const snd_pcm_sframes_t written = alsa.writei(device, next, framesLeft);
    if (written <= 0) {
      // An underrun or a suspended device is recovered from and the rest is
      // played.
      if (++failures >= kWriteAttempts) return;
      if (written < 0 && alsa.recover(device, static_cast<int>(written), 1) < 0) return;
      continue;
    }
    failures = 0;
    next += static_cast<std::size_t>(written) * frameSize;
    framesLeft -= static_cast<snd_pcm_uframes_t>(written);
  }
  // Closing would drop what the device still holds: wait until it is played.
  alsa.drain(device);
}

}  // namespace

void playThroughAlsa(const AlsaCalls& alsa, const WaveSound& sound) {
  snd_pcm_t* device = nullptr;
  // Opened without blocking, so a device that another program holds is
  // reported busy instead of being waited for; the writes then block, so the
  // call returns only after the sound has gone to the device.
  if (alsa.open(&device, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return;
  if (alsa.nonblock(device, 0) == 0) play(alsa, device, sound);
  alsa.close(device);
}
