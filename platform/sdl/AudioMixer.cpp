#include "AudioMixer.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>

#include "SdlSystem.h"

namespace tessella::sdl {
namespace {

// libasound's error handler (snd_lib_error_handler_t), declared here: the platform neither
// links the library nor needs its headers, as SDL loads it itself when it has it.
using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int error,
                                  const char* format, ...);

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// Without a sound card libasound writes every failed step of SDL's search for a device to
// standard error ("ALSA lib ... Unknown PCM default"), eight lines at each start. Its handler
// is one for the process: set on the copy of the library SDL is about to use (the same one,
// by its name), the failure reaches the program only as audio.device failing to open, which
// its callers put in their log.
void QuietAlsa() {
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (alsa == nullptr) {
        return;  // no ALSA: nothing of it can speak up
    }
    using SetHandler = int (*)(AlsaErrorHandler);
    auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (set != nullptr) {
        set(&IgnoreAlsaError);
    }
    // Never closed: SDL shares this copy, and the handler must stay for as long as it does.
}

}  // namespace

AudioMixer& AudioMixer::Get() {
    static AudioMixer* mixer = new AudioMixer;  // the sound thread may outlive static destructors
    return *mixer;
}

bool AudioMixer::Open() {
    std::lock_guard guard(openLock_);
    if (device_ != 0) {
        return true;
    }
    if (triedOpen_) {
        return false;  // asking again would only repeat SDL's slow search for a device
    }
    triedOpen_ = true;
    QuietAlsa();
    if (!sdl::StartSubSystem(SDL_INIT_AUDIO)) {
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = 1024;
    want.callback = &AudioMixer::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID device =
        SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device == 0) {
        sdl::StopSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    {
        std::lock_guard voices(lock_);
        rate_ = have.freq;
    }
    device_ = device;
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

bool AudioMixer::IsOpen() {
    std::lock_guard guard(openLock_);
    return device_ != 0;
}

int AudioMixer::OutputRate() {
    std::lock_guard guard(lock_);
    return rate_;
}

unsigned long AudioMixer::Start(Voice* voice) {
    std::lock_guard guard(lock_);
    voice->position = 0;
    voice->played = 0;
    voice->serial = nextSerial_++;
    voices_.push_back(voice);
    return voice->serial;
}

bool AudioMixer::Stop(Voice* voice) {
    std::lock_guard guard(lock_);
    auto it = std::find(voices_.begin(), voices_.end(), voice);
    if (it == voices_.end()) {
        return false;
    }
    voices_.erase(it);
    return true;
}

float SampleAt(const Voice& v, double position) {
    const auto index = static_cast<ULONG>(position);
    const double fraction = position - static_cast<double>(index);
    const float first = static_cast<float>(v.samples[index]);
    float next = 0;
    if (index + 1 < v.length) {
        next = static_cast<float>(v.samples[index + 1]);
    } else if (v.cycles == 0 || v.played + 1 < v.cycles) {
        next = static_cast<float>(v.samples[0]);
    }
    return first + (next - first) * static_cast<float>(fraction);
}

void AudioMixer::Mix(Sint16* out, int frames, std::vector<Finished>& done) {
    std::vector<float> sum(static_cast<size_t>(frames), 0.0f);
    std::lock_guard guard(lock_);
    for (auto it = voices_.begin(); it != voices_.end();) {
        Voice& v = **it;
        const double step = v.rate / rate_;
        // Full volume (64) takes a full-scale sample to just under the output's full scale.
        const float gain = static_cast<float>(v.volume) * 4.0f;
        bool finished = v.length == 0 || v.samples == nullptr || step <= 0;
        for (int i = 0; i < frames && !finished; ++i) {
            sum[static_cast<size_t>(i)] += SampleAt(v, v.position) * gain;
            v.position += step;
            while (v.position >= v.length && !finished) {
                v.position -= v.length;
                v.played++;
                finished = v.cycles != 0 && v.played >= v.cycles;
            }
        }
        if (finished) {
            done.push_back(Finished{v.finished, v.data, v.serial});
            it = voices_.erase(it);
        } else {
            ++it;
        }
    }
    for (int i = 0; i < frames; ++i) {
        out[i] = static_cast<Sint16>(
            std::clamp(std::lround(sum[static_cast<size_t>(i)]), -32768L, 32767L));
    }
}

void AudioMixer::Callback(void* self, Uint8* stream, int bytes) {
    auto* mixer = static_cast<AudioMixer*>(self);
    std::vector<Finished> done;
    mixer->Mix(reinterpret_cast<Sint16*>(stream), bytes / static_cast<int>(sizeof(Sint16)), done);
    for (const Finished& f : done) {
        if (f.finished != nullptr) {
            f.finished(f.data, f.serial);
        }
    }
}

}  // namespace tessella::sdl
