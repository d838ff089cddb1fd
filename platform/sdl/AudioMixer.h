#pragma once
// The desktop's sound output, shared by audio.device and the beep: voices of signed 8-bit mono
// samples, each at its own rate and volume, resampled and mixed into one SDL audio stream.

#include <SDL.h>

#include <mutex>
#include <vector>

#include "exec.h"

namespace tessella::sdl {

struct Voice {
    const BYTE* samples = nullptr;
    ULONG length = 0;
    double rate = 0;   // samples per second
    int volume = 64;   // 0..64
    ULONG cycles = 1;  // 0 repeats until stopped
    // Called on the sound thread, outside the mixer's lock, once the last cycle has played.
    // By then the voice may already be gone (stopped and freed meanwhile), so the callback
    // gets the voice's serial number to find it by, never the voice itself.
    void (*finished)(void* data, unsigned long serial) = nullptr;
    void* data = nullptr;

    // Set by the mixer.
    unsigned long serial = 0;
    double position = 0;
    ULONG played = 0;
};

struct Finished {
    void (*finished)(void* data, unsigned long serial);
    void* data;
    unsigned long serial;
};

class AudioMixer {
public:
    static AudioMixer& Get();

    // Opens the desktop's sound output on first use; false when there is none.
    bool Open();
    bool IsOpen();
    int OutputRate();

    // The voice must stay valid until it has finished or Stop returned. Returns its serial.
    unsigned long Start(Voice* voice);
    // Takes a voice off the output; true when it was still playing. Once this returns, the
    // mixer no longer reads the voice or its samples.
    bool Stop(Voice* voice);

    // Mixes `frames` samples of output (exposed for the resampling tests).
    void Mix(Sint16* out, int frames, std::vector<Finished>& done);

private:
    AudioMixer() = default;
    static void Callback(void* self, Uint8* stream, int bytes);

    std::mutex lock_;
    std::mutex openLock_;
    SDL_AudioDeviceID device_ = 0;
    bool triedOpen_ = false;
    int rate_ = 44100;
    std::vector<Voice*> voices_;
    unsigned long nextSerial_ = 1;
};

// One sample of a voice at a fractional position, linearly interpolated; the sample after the
// last one is the first again while cycles remain, silence after the last cycle.
float SampleAt(const Voice& voice, double position);

}  // namespace tessella::sdl
