#include "AudioDevice.h"

#include <list>
#include <mutex>
#include <vector>

#include "devices/audio.h"
#include "platform/sdl/AudioMixer.h"

namespace tessella::audio {
namespace {

struct Write {
    IOAudio* request = nullptr;
    sdl::Voice voice;
    bool playing = false;
};

struct Channel {
    WORD key = 0;  // 0: free
    BYTE precedence = 0;
    UWORD period = 0;
    UWORD volume = 64;
    std::list<Write> queue;  // the front one plays; the others wait their turn, as on AROS
};

class AudioDevice : public exec::DeviceDriver {
public:
    AudioDevice() { base_.driver = this; }

    BYTE Open(ULONG unit, IORequest* ioReq, ULONG /*flags*/) override {
        if (unit != 0 || !sdl::AudioMixer::Get().Open()) {
            return IOERR_OPENFAIL;
        }
        auto* request = reinterpret_cast<IOAudio*>(ioReq);
        ioReq->io_Device = &base_.device;
        ioReq->io_Unit = nullptr;
        // A request with a map allocates at once; one without opens the device unallocated.
        if (request->ioa_Length == 0) {
            request->ioa_AllocKey = 0;
            return 0;
        }
        std::lock_guard guard(lock_);
        return Allocate(request);
    }

    void Close(IORequest* ioReq) override {
        auto* request = reinterpret_cast<IOAudio*>(ioReq);
        std::vector<IOAudio*> aborted;
        {
            std::lock_guard guard(lock_);
            // Nothing may go on reading the caller's samples once the device is closed.
            Free(request->ioa_AllocKey, aborted);
        }
        ReplyAll(aborted, IOERR_ABORTED);
    }

    void BeginIO(IORequest* ioReq) override {
        auto* request = reinterpret_cast<IOAudio*>(ioReq);
        switch (ioReq->io_Command) {
            case CMD_WRITE:
                StartWrite(request);
                return;
            case ADCMD_ALLOCATE: {
                BYTE error;
                {
                    std::lock_guard guard(lock_);
                    error = Allocate(request);
                }
                Complete(ioReq, error);
                return;
            }
            case ADCMD_FREE: {
                std::vector<IOAudio*> aborted;
                {
                    std::lock_guard guard(lock_);
                    Free(request->ioa_AllocKey, aborted);
                }
                ReplyAll(aborted, IOERR_ABORTED);
                Complete(ioReq, 0);
                return;
            }
            default:
                Complete(ioReq, IOERR_NOCMD);
                return;
        }
    }

    void AbortIO(IORequest* ioReq) override {
        {
            std::lock_guard guard(lock_);
            if (!Remove(reinterpret_cast<IOAudio*>(ioReq))) {
                return;  // finished already, or never queued
            }
        }
        ioReq->io_Error = IOERR_ABORTED;
        ReplyMsg(&ioReq->io_Message);
    }

private:
    static void Complete(IORequest* ioReq, BYTE error) {
        ioReq->io_Error = error;
        if ((ioReq->io_Flags & IOF_QUICK) == 0) {
            ReplyMsg(&ioReq->io_Message);
        }
    }

    static void ReplyAll(const std::vector<IOAudio*>& requests, BYTE error) {
        for (IOAudio* r : requests) {
            r->ioa_Request.io_Error = error;
            ReplyMsg(&r->ioa_Request.io_Message);
        }
    }

    // Tries the map's channel masks in order and takes the first whose channels are all free.
    BYTE Allocate(IOAudio* request) {
        const UBYTE* map = request->ioa_Data;
        if (map == nullptr) {
            return ADIOERR_ALLOCFAILED;
        }
        for (ULONG i = 0; i < request->ioa_Length; ++i) {
            const UBYTE mask = map[i] & ((1 << ADHARD_CHANNELS) - 1);
            if (mask == 0 || !AllFree(mask)) {
                continue;
            }
            const WORD key = NextKey();
            for (int c = 0; c < ADHARD_CHANNELS; ++c) {
                if (mask & (1 << c)) {
                    channels_[c] = Channel{};
                    channels_[c].key = key;
                    channels_[c].precedence = request->ioa_Request.io_Message.mn_Node.ln_Pri;
                }
            }
            request->ioa_AllocKey = key;
            request->ioa_Request.io_Unit = reinterpret_cast<Unit*>(static_cast<IPTR>(mask));
            return 0;
        }
        // Taking channels from lower-precedence owners, or waiting for them, has no use in a
        // process that is the desktop's only user of these channels: refuse at once.
        return ADIOERR_ALLOCFAILED;
    }

    bool AllFree(UBYTE mask) const {
        for (int c = 0; c < ADHARD_CHANNELS; ++c) {
            if ((mask & (1 << c)) && channels_[c].key != 0) {
                return false;
            }
        }
        return true;
    }

    WORD NextKey() {
        nextKey_ = static_cast<WORD>(nextKey_ == 0x7FFF ? 1 : nextKey_ + 1);
        return nextKey_;
    }

    void Free(WORD key, std::vector<IOAudio*>& aborted) {
        if (key == 0) {
            return;
        }
        for (Channel& channel : channels_) {
            if (channel.key != key) {
                continue;
            }
            for (Write& w : channel.queue) {
                if (w.playing) {
                    sdl::AudioMixer::Get().Stop(&w.voice);
                }
                aborted.push_back(w.request);
            }
            channel = Channel{};
        }
    }

    static int SingleChannel(const IOAudio* request) {
        const auto mask = reinterpret_cast<IPTR>(request->ioa_Request.io_Unit);
        for (int c = 0; c < ADHARD_CHANNELS; ++c) {
            if (mask == (IPTR{1} << c)) {
                return c;
            }
        }
        return -1;
    }

    void StartWrite(IOAudio* request) {
        IORequest* ioReq = &request->ioa_Request;
        ioReq->io_Flags &= ~IOF_QUICK;
        ioReq->io_Error = 0;
        std::unique_lock guard(lock_);
        const int c = SingleChannel(request);
        if (c < 0 || channels_[c].key == 0 || channels_[c].key != request->ioa_AllocKey) {
            guard.unlock();
            Complete(ioReq, ADIOERR_NOALLOCATION);
            return;
        }
        Channel& channel = channels_[c];
        const bool perVolume = ioReq->io_Flags & ADIOF_PERVOL;
        const UWORD period = perVolume ? request->ioa_Period : channel.period;
        if (request->ioa_Data == nullptr || request->ioa_Length == 0 || period == 0) {
            guard.unlock();
            Complete(ioReq, IOERR_BADLENGTH);
            return;
        }
        if (perVolume) {
            channel.period = request->ioa_Period;
            channel.volume = request->ioa_Volume > 64 ? 64 : request->ioa_Volume;
        }
        Write& w = channel.queue.emplace_back();
        w.request = request;
        w.voice.samples = reinterpret_cast<const BYTE*>(request->ioa_Data);
        w.voice.length = request->ioa_Length;
        w.voice.rate = static_cast<double>(AUDIO_CLOCK) / period;
        w.voice.volume = channel.volume;
        w.voice.cycles = request->ioa_Cycles;
        w.voice.finished = &AudioDevice::Finished;
        w.voice.data = this;
        if (channel.queue.size() == 1) {
            Play(w);
        }
    }

    static void Play(Write& w) {
        w.playing = true;
        sdl::AudioMixer::Get().Start(&w.voice);
    }

    // Takes a write off its channel wherever it is in the queue; the caller replies to it.
    bool Remove(IOAudio* request) {
        for (Channel& channel : channels_) {
            for (auto it = channel.queue.begin(); it != channel.queue.end(); ++it) {
                if (it->request != request) {
                    continue;
                }
                const bool wasFront = it == channel.queue.begin();
                if (it->playing) {
                    sdl::AudioMixer::Get().Stop(&it->voice);
                }
                channel.queue.erase(it);
                if (wasFront && !channel.queue.empty()) {
                    Play(channel.queue.front());
                }
                return true;
            }
        }
        return false;
    }

    static void Finished(void* data, unsigned long serial) {
        auto* self = static_cast<AudioDevice*>(data);
        IOAudio* done = nullptr;
        {
            std::lock_guard guard(self->lock_);
            for (Channel& channel : self->channels_) {
                if (channel.queue.empty() || channel.queue.front().voice.serial != serial ||
                    !channel.queue.front().playing) {
                    continue;
                }
                done = channel.queue.front().request;
                channel.queue.pop_front();
                if (!channel.queue.empty()) {
                    Play(channel.queue.front());
                }
                break;
            }
        }
        if (done != nullptr) {  // null when it was aborted meanwhile, and replied then
            done->ioa_Request.io_Error = 0;
            ReplyMsg(&done->ioa_Request.io_Message);
        }
    }

    exec::DeviceBase base_{};
    std::mutex lock_;
    Channel channels_[ADHARD_CHANNELS];
    WORD nextKey_ = 0;
};

}  // namespace

exec::DeviceDriver& AudioDriver() {
    static AudioDevice* device = new AudioDevice;  // the sound thread may call it at exit
    return *device;
}

namespace {
[[maybe_unused]] const bool registered = exec::RegisterDevice(AUDIONAME, &AudioDriver);
}  // namespace

}  // namespace tessella::audio
