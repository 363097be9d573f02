#pragma once

#include <alsa/asoundlib.h>

#include "run/wave_sound.h"

/// The ALSA calls that playing a sound takes, as found in the library.
struct AlsaCalls {
  decltype(&snd_pcm_open) open;
  decltype(&snd_pcm_nonblock) nonblock;
  decltype(&snd_pcm_set_params) setParams;
  decltype(&snd_pcm_writei) writei;
  decltype(&snd_pcm_recover) recover;
  decltype(&snd_pcm_drain) drain;
  decltype(&snd_pcm_close) close;
  decltype(&snd_config_update_free_global) freeConfiguration;  // may be null
};

/// Plays `sound` once on ALSA's default device and returns when the device
/// has played it to its end. Returns at once when the device is missing or
/// held by another program, and gives up on a device that keeps failing.
void playThroughAlsa(const AlsaCalls& alsa, const WaveSound& sound);
