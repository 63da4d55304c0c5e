// Asynchronous sounds play on one worker thread that a new call (or a NULL sound) stops and joins
// first; there is no default sound, so SND_NODEFAULT changes nothing; SND_LOOP loops only with
// SND_ASYNC (without it the sound plays once); the ALSA device is "default" unless
// CORVANE_ALSA_DEVICE names another; and ALSA's own diagnostics are silenced.
#include <windows.h>

#include <alsa/asoundlib.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "corvane/wav_file.h"
#include "kernel/Paths.h"

namespace {

void silentAlsa(const char*, int, const char*, int, const char*, ...) {}

const char* deviceName() {
  const char* name = std::getenv("CORVANE_ALSA_DEVICE");
  return name && *name ? name : "default";
}

// The device set up for the sound, or null when there is none or it cannot take the sound.
snd_pcm_t* openDevice(const corvane::WavSound& sound) {
  static std::once_flag quiet;
  std::call_once(quiet, [] { snd_lib_error_set_handler(&silentAlsa); });
  snd_pcm_t* pcm = nullptr;
  if (snd_pcm_open(&pcm, deviceName(), SND_PCM_STREAM_PLAYBACK, 0) < 0) return nullptr;
  snd_pcm_format_t format = sound.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
  if (snd_pcm_set_params(pcm, format, SND_PCM_ACCESS_RW_INTERLEAVED, sound.channels, sound.sampleRate,
                         1 /* resample */, 100000 /* µs of latency */) < 0) {
    snd_pcm_close(pcm);
    return nullptr;
  }
  return pcm;
}

// Plays the whole sound (again and again when looping) unless `stop` is raised, then closes the
// device; false when the device gave up on the way.
bool play(snd_pcm_t* pcm, const corvane::WavSound& sound, bool loop, const std::atomic<bool>& stop) {
  const size_t frameBytes = sound.bytesPerFrame();
  const size_t frames = sound.frameCount();
  const size_t chunk = std::max<size_t>(sound.sampleRate / 50, 64);  // about 20 ms per write
  bool ok = true;
  do {
    size_t at = 0;
    while (at < frames && !stop.load()) {
      size_t count = std::min(chunk, frames - at);
      snd_pcm_sframes_t written = snd_pcm_writei(pcm, sound.samples.data() + at * frameBytes, count);
      if (written < 0) {
        if (snd_pcm_recover(pcm, static_cast<int>(written), 1) < 0) {
          ok = false;
          break;
        }
        continue;
      }
      at += static_cast<size_t>(written);
    }
  } while (ok && loop && frames > 0 && !stop.load());
  if (stop.load() || !ok) snd_pcm_drop(pcm);
  else snd_pcm_drain(pcm);
  snd_pcm_close(pcm);
  return ok;
}

class Player {
 public:
  ~Player() { stop(); }

  void stop() {
    std::lock_guard lock(mutex_);
    stopLocked();
  }

  bool busy() {
    std::lock_guard lock(mutex_);
    return worker_.joinable() && !finished_->load();
  }

  bool start(std::shared_ptr<corvane::WavSound> sound, bool async, bool loop) {
    std::unique_lock lock(mutex_);
    stopLocked();
    snd_pcm_t* pcm = openDevice(*sound);
    if (!pcm) return false;
    if (!async) {
      lock.unlock();
      std::atomic<bool> never{false};
      return play(pcm, *sound, false, never);
    }
    stop_ = std::make_shared<std::atomic<bool>>(false);
    finished_ = std::make_shared<std::atomic<bool>>(false);
    worker_ = std::thread([pcm, sound, loop, stop = stop_, finished = finished_] {
      play(pcm, *sound, loop, *stop);
      finished->store(true);
    });
    return true;
  }

 private:
  void stopLocked() {
    if (!worker_.joinable()) return;
    stop_->store(true);
    worker_.join();
  }

  std::mutex mutex_;
  std::thread worker_;
  std::shared_ptr<std::atomic<bool>> stop_ = std::make_shared<std::atomic<bool>>(false);
  std::shared_ptr<std::atomic<bool>> finished_ = std::make_shared<std::atomic<bool>>(true);
};

Player& player() {
  static Player instance;
  return instance;
}

// A wave image in memory states its own length in its RIFF header.
bool soundFromMemory(const char* image, corvane::WavSound& sound) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(image);
  if (std::memcmp(bytes, "RIFF", 4) != 0) return false;
  size_t size = (static_cast<size_t>(bytes[4]) | static_cast<size_t>(bytes[5]) << 8 |
                 static_cast<size_t>(bytes[6]) << 16 | static_cast<size_t>(bytes[7]) << 24) + 8;
  std::string error;
  return corvane::parseWav(bytes, size, sound, error);
}

}  // namespace

BOOL WINAPI sndPlaySoundA(LPCSTR lpszSound, UINT fuSound) {
  if (!lpszSound) {
    player().stop();
    return TRUE;
  }
  if ((fuSound & SND_NOSTOP) && player().busy()) return FALSE;
  auto sound = std::make_shared<corvane::WavSound>();
  std::string error;
  bool loaded = (fuSound & SND_MEMORY) ? soundFromMemory(lpszSound, *sound)
                                       : corvane::readWavFile(kernel::unixPath(lpszSound), *sound, error);
  if (!loaded) return FALSE;
  bool async = (fuSound & SND_ASYNC) != 0;
  return player().start(sound, async, async && (fuSound & SND_LOOP)) ? TRUE : FALSE;
}
