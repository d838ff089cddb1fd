#pragma once
// timer.device: requests that come back (are replied to their port) when their time is up.

#include "exec.h"

#define TIMERNAME "timer.device"

#define UNIT_MICROHZ 0
#define UNIT_VBLANK 1
#define UNIT_ECLOCK 2
#define UNIT_WAITUNTIL 3
#define UNIT_WAITECLOCK 4

#define TR_ADDREQUEST CMD_NONSTD
#define TR_GETSYSTIME (CMD_NONSTD + 1)
#define TR_SETSYSTIME (CMD_NONSTD + 2)

// The POSIX `struct timeval` already owns that name on Linux, so the time value goes by the
// name newer AROS headers give it; the field names are the AROS ones.
struct TimeVal {
    ULONG tv_secs;
    ULONG tv_micro;
};

struct timerequest {
    IORequest tr_node;
    TimeVal tr_time;
};
