#pragma once
// audio.device: four channels of signed 8-bit mono samples, played through the desktop's sound
// output. A program allocates channels (at OpenDevice, or with ADCMD_ALLOCATE) from a map of
// acceptable channel masks, then writes sample buffers to its channel with CMD_WRITE.

#include "exec.h"

#define AUDIONAME "audio.device"

#define ADHARD_CHANNELS 4

#define ADALLOC_MINPREC (-128)
#define ADALLOC_MAXPREC 127

#define ADCMD_FREE (CMD_NONSTD + 0)
#define ADCMD_SETPREC (CMD_NONSTD + 1)
#define ADCMD_FINISH (CMD_NONSTD + 2)
#define ADCMD_PERVOL (CMD_NONSTD + 3)
#define ADCMD_LOCK (CMD_NONSTD + 4)
#define ADCMD_WAITCYCLE (CMD_NONSTD + 5)
#define ADCMD_ALLOCATE 32

#define ADIOB_PERVOL 4
#define ADIOF_PERVOL (1 << ADIOB_PERVOL)  // CMD_WRITE: this request's period and volume
#define ADIOB_SYNCCYCLE 5
#define ADIOF_SYNCCYCLE (1 << ADIOB_SYNCCYCLE)
#define ADIOB_NOWAIT 6
#define ADIOF_NOWAIT (1 << ADIOB_NOWAIT)  // allocation: fail at once rather than wait
#define ADIOB_WRITEMESSAGE 7
#define ADIOF_WRITEMESSAGE (1 << ADIOB_WRITEMESSAGE)

#define ADIOERR_NOALLOCATION (-10)  // the key does not own the channel
#define ADIOERR_ALLOCFAILED (-11)   // no combination of the map was free
#define ADIOERR_CHANNELSTOLEN (-12)

// The period is in colour clocks: a sample rate of n per second is the period 3579545 / n.
#define AUDIO_CLOCK 3579545UL

struct IOAudio {
    IORequest ioa_Request;  // io_Unit holds the channel mask; ln_Pri the allocation's precedence
    WORD ioa_AllocKey;
    UBYTE* ioa_Data;   // allocation: the map of channel masks; write: the samples
    ULONG ioa_Length;  // allocation: entries in the map; write: bytes of samples
    UWORD ioa_Period;  // write: colour clocks per sample
    UWORD ioa_Volume;  // write: 0 (silent) to 64 (full)
    UWORD ioa_Cycles;  // write: times the buffer is played; 0 repeats until aborted
    Message ioa_WriteMsg;
};
