#pragma once
// What a device does behind OpenDevice, SendIO and AbortIO.

#include "exec.h"

namespace tessella::exec {

class DeviceDriver {
public:
    virtual ~DeviceDriver() = default;
    // Returns 0, or IOERR_OPENFAIL for a unit the device does not have.
    virtual BYTE Open(ULONG unit, IORequest* ioReq, ULONG flags) = 0;
    virtual void Close(IORequest* ioReq) = 0;
    // Starts a request. A request with IOF_QUICK that completes at once keeps the flag and is
    // not replied; any other request is replied to its port when it completes.
    virtual void BeginIO(IORequest* ioReq) = 0;
    // Completes a request still in flight with IOERR_ABORTED; does nothing for a finished one.
    virtual void AbortIO(IORequest* ioReq) = 0;
};

// A device makes itself known to exec under its name (as "timer.device"), once, before the
// program's first OpenDevice: each device's own file registers it when the program starts, so
// exec names none of them. Returns true, for use as a static initialiser.
bool RegisterDevice(const char* name, DeviceDriver& (*driver)());

struct DeviceBase {
    Device device;
    DeviceDriver* driver;
};

}  // namespace tessella::exec
