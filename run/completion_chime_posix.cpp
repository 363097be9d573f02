#include <dlfcn.h>

#include <optional>

#include "run/alsa_playback_posix.h"
#include "run/chime_sound.h"
#include "run/completion_chime.h"
#include "run/wave_sound.h"

namespace {

template <typename Function>
bool lookUp(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(::dlsym(library, name));
  return function != nullptr;
}

// ALSA reports its errors on standard error unless told otherwise; the
// command prints nothing there.
void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// ALSA is looked up when the chime plays instead of being linked, so the
// program runs, silently, on a machine without it.
std::optional<AlsaCalls> loadAlsa() {
  // The library stays loaded: the process ends soon after the chime, and
  // unloading ALSA with its plugins still mapped is not safe.
  void* library = ::dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return {};
  decltype(&snd_lib_error_set_handler) setErrorHandler = nullptr;
  AlsaCalls alsa{};
  if (!lookUp(library, "snd_lib_error_set_handler", setErrorHandler) ||
      !lookUp(library, "snd_pcm_open", alsa.open) ||
      !lookUp(library, "snd_pcm_nonblock", alsa.nonblock) ||
      !lookUp(library, "snd_pcm_set_params", alsa.setParams) ||
      !lookUp(library, "snd_pcm_writei", alsa.writei) ||
      !lookUp(library, "snd_pcm_recover", alsa.recover) ||
      !lookUp(library, "snd_pcm_drain", alsa.drain) ||
      !lookUp(library, "snd_pcm_close", alsa.close)) {
    return {};
  }
  // Optional: releasing the configuration cache is a courtesy, not a need.
  lookUp(library, "snd_config_update_free_global", alsa.freeConfiguration);
  setErrorHandler(ignoreAlsaError);
  return alsa;
}

}  // namespace

void playChimeSound() {
  const std::optional<WaveSound> sound = parseWave(chimeSoundFile());
  if (!sound) return;
  const std::optional<AlsaCalls> alsa = loadAlsa();
  if (!alsa) return;
  playThroughAlsa(*alsa, *sound);
  // ALSA keeps the configuration it read in a cache of its own; with the
  // device closed it is released, so the process ends holding nothing.
  if (alsa->freeConfiguration != nullptr) alsa->freeConfiguration();
}
