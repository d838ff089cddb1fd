#pragma once

#include <devices/audio.h>
#include <exec.h>

#include <string>

struct IFFHandle;

namespace tessella {

// Plays uncompressed IFF 8SVX sound files through audio.device. A file is never played from
// where it lies: the first time it is copied to a folder private to the user, and later calls
// play the copy. Paths are the program's own (Latin-1) text. Every failure goes to the log
// only; an object whose set-up failed accepts every call and plays nothing.
class Sound {
public:
    Sound();
    ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // Starts playing and returns at once; a non-zero loop repeats the sound until stopped.
    void PlayFileSound(std::string path, short loop);
    // Plays once and returns when the device has finished (loop is not used).
    void PlayFileSoundSync(std::string path, short loop);
    // Plays once, synchronously, with a Sound of its own.
    static void PlayFileSound(std::string path);
    void StopPlay();

    // Where the temporary copy of `path` lives.
    std::string FileTemporaneo(std::string path);
    // Copies `path` into the temporary folder and returns the copy's path; the empty string
    // when no copy could be made.
    std::string BufferizzaFile(std::string path);

    // Whether a write request is outstanding, and how many sample bytes it was given.
    bool IsPlaying() const { return playing != 0; }
    ULONG GetPlayingLength() const { return playing != 0 ? request->ioa_Length : 0; }

private:
    // Reads the sound's samples into `samples`; false (with the reason logged) when the file
    // cannot be played.
    bool LoadSamples(const std::string& file, UWORD& rate);
    // Parses the open file up to its body and reads `fileLength` bytes at most from it.
    bool ParseSamples(IFFHandle* iff, long fileLength, UWORD& rate);
    void FreeSamples();
    // Opens the sound output on first use; false when there is none.
    bool OpenOutput();

    MsgPort* port = nullptr;
    IOAudio* request = nullptr;
    UBYTE* samples = nullptr;
    short deviceOpen = 0;
    short outputTried = 0;  // an open was attempted (a failure is logged once)
    short playing = 0;
    ULONG samplesLength = 0;  // bytes allocated for `samples`
    short libraryOpen = 0;
};

}  // namespace tessella
