#include <cstring>
#include <mutex>
#include <vector>

#include "DeviceDriver.h"
#include "PortLock.h"

namespace {

using tessella::exec::DeviceBase;
using tessella::exec::DeviceDriver;

struct KnownDevice {
    const char* name;
    DeviceDriver& (*driver)();
};

// Filled while the program starts, by the devices' own files; read by OpenDevice.
std::mutex& DevicesLock() {
    static std::mutex lock;
    return lock;
}

std::vector<KnownDevice>& Devices() {
    static std::vector<KnownDevice> devices;
    return devices;
}

DeviceDriver* FindDriver(const char* name) {
    std::lock_guard guard(DevicesLock());
    for (const KnownDevice& known : Devices()) {
        if (std::strcmp(known.name, name) == 0) {
            return &known.driver();
        }
    }
    return nullptr;
}

DeviceDriver* DriverOf(IORequest* ioReq) {
    if (ioReq == nullptr || ioReq->io_Device == nullptr ||
        ioReq->io_Device == reinterpret_cast<Device*>(-1)) {
        return nullptr;
    }
    return reinterpret_cast<DeviceBase*>(ioReq->io_Device)->driver;
}

}  // namespace

namespace tessella::exec {

bool RegisterDevice(const char* name, DeviceDriver& (*driver)()) {
    std::lock_guard guard(DevicesLock());
    Devices().push_back({name, driver});
    return true;
}

}  // namespace tessella::exec

IORequest* CreateExtIO(MsgPort* port, LONG ioSize) {
    if (port == nullptr || ioSize < static_cast<LONG>(sizeof(IORequest))) {
        return nullptr;
    }
    IORequest* ioReq = static_cast<IORequest*>(AllocMem(ioSize, MEMF_PUBLIC | MEMF_CLEAR));
    if (ioReq == nullptr) {
        return nullptr;
    }
    ioReq->io_Message.mn_ReplyPort = port;
    ioReq->io_Message.mn_Length = static_cast<UWORD>(ioSize);
    return ioReq;
}

void DeleteExtIO(IORequest* ioReq) {
    if (ioReq != nullptr) {
        FreeMem(ioReq, ioReq->io_Message.mn_Length);
    }
}

IORequest* CreateIORequest(MsgPort* port, ULONG ioSize) {
    return CreateExtIO(port, static_cast<LONG>(ioSize));
}

void DeleteIORequest(IORequest* ioReq) {
    DeleteExtIO(ioReq);
}

BYTE OpenDevice(CONST_STRPTR devName, ULONG unitNumber, IORequest* ioReq, ULONG flags) {
    if (devName == nullptr || ioReq == nullptr) {
        return IOERR_OPENFAIL;
    }
    if (DeviceDriver* driver = FindDriver(devName)) {
        const BYTE error = driver->Open(unitNumber, ioReq, flags);
        ioReq->io_Error = error;
        if (error != 0) {
            ioReq->io_Device = nullptr;
        }
        return error;
    }
    ioReq->io_Error = IOERR_OPENFAIL;
    ioReq->io_Device = nullptr;
    return IOERR_OPENFAIL;
}

void CloseDevice(IORequest* ioReq) {
    if (DeviceDriver* driver = DriverOf(ioReq)) {
        driver->Close(ioReq);
        // As on AROS, a closed request points at no device so a stray SendIO cannot reach one.
        ioReq->io_Device = reinterpret_cast<Device*>(-1);
        ioReq->io_Unit = reinterpret_cast<Unit*>(-1);
    }
}

namespace {

// A program may send a request again while its last reply still waits at the reply port (it
// checked with CheckIO and never took the reply). Linking the message into a list a second
// time would corrupt that list, so the stale reply is taken off the port first.
void TakeStaleReply(IORequest* ioReq) {
    std::lock_guard guard(tessella::exec::PortLock());
    MsgPort* port = ioReq->io_Message.mn_ReplyPort;
    if (ioReq->io_Message.mn_Node.ln_Type != NT_REPLYMSG || port == nullptr) {
        return;
    }
    for (Node* n = port->mp_MsgList.lh_Head; n->ln_Succ != nullptr; n = n->ln_Succ) {
        if (n == &ioReq->io_Message.mn_Node) {
            Remove(n);
            return;
        }
    }
}

}  // namespace

void SendIO(IORequest* ioReq) {
    DeviceDriver* driver = DriverOf(ioReq);
    if (driver == nullptr) {
        return;
    }
    TakeStaleReply(ioReq);
    ioReq->io_Flags = 0;
    ioReq->io_Message.mn_Node.ln_Type = NT_MESSAGE;
    driver->BeginIO(ioReq);
}

void BeginIO(IORequest* ioReq) {
    DeviceDriver* driver = DriverOf(ioReq);
    if (driver == nullptr) {
        return;
    }
    TakeStaleReply(ioReq);
    ioReq->io_Message.mn_Node.ln_Type = NT_MESSAGE;
    driver->BeginIO(ioReq);
}

BYTE DoIO(IORequest* ioReq) {
    DeviceDriver* driver = DriverOf(ioReq);
    if (driver == nullptr) {
        return IOERR_OPENFAIL;
    }
    ioReq->io_Flags = IOF_QUICK;
    ioReq->io_Message.mn_Node.ln_Type = NT_MESSAGE;
    driver->BeginIO(ioReq);
    return WaitIO(ioReq);
}

IORequest* CheckIO(IORequest* ioReq) {
    std::lock_guard guard(tessella::exec::PortLock());
    if ((ioReq->io_Flags & IOF_QUICK) == 0 && ioReq->io_Message.mn_Node.ln_Type == NT_MESSAGE) {
        return nullptr;
    }
    return ioReq;
}

LONG AbortIO(IORequest* ioReq) {
    if (DeviceDriver* driver = DriverOf(ioReq)) {
        driver->AbortIO(ioReq);
    }
    return 0;
}

BYTE WaitIO(IORequest* ioReq) {
    if (ioReq->io_Flags & IOF_QUICK) {
        return ioReq->io_Error;
    }
    MsgPort* port = ioReq->io_Message.mn_ReplyPort;
    for (;;) {
        {
            std::lock_guard guard(tessella::exec::PortLock());
            if (ioReq->io_Message.mn_Node.ln_Type == NT_REPLYMSG) {
                // The caller may have taken it with GetMsg already; unlink it only if it is
                // still queued, so a request is never removed twice.
                List* queued = &port->mp_MsgList;
                for (Node* n = queued->lh_Head; n->ln_Succ != nullptr; n = n->ln_Succ) {
                    if (n == &ioReq->io_Message.mn_Node) {
                        Remove(n);
                        break;
                    }
                }
                return ioReq->io_Error;
            }
            if (ioReq->io_Message.mn_Node.ln_Type != NT_MESSAGE) {
                return ioReq->io_Error;  // never sent, or already taken off its port
            }
        }
        Wait(1UL << port->mp_SigBit);
    }
}
