#include <cstdlib>

#include "ETask.h"
#include "PortLock.h"

namespace tessella::exec {

std::mutex& PortLock() {
    static std::mutex* lock = new std::mutex;  // used by detached threads until the very end
    return *lock;
}

void Deliver(MsgPort* port, Message* message, UBYTE type) {
    UBYTE flags;
    APTR target;
    UBYTE bit;
    {
        std::lock_guard guard(PortLock());
        message->mn_Node.ln_Type = type;
        AddTail(&port->mp_MsgList, &message->mn_Node);
        flags = port->mp_Flags & 3;
        target = port->mp_SigTask;
        bit = port->mp_SigBit;
    }
    if (flags == PA_SIGNAL) {
        Signal(static_cast<Task*>(target), 1UL << bit);
    } else if (flags == PA_SOFTINT && target != nullptr) {
        Interrupt* handler = static_cast<Interrupt*>(target);
        handler->is_Code(handler->is_Data);
    }
}

}  // namespace tessella::exec

using namespace tessella::exec;

MsgPort* CreateMsgPort() {
    const BYTE bit = AllocSignal(-1);
    if (bit < 0) {
        return nullptr;
    }
    MsgPort* port = static_cast<MsgPort*>(std::calloc(1, sizeof(MsgPort)));
    port->mp_Node.ln_Type = NT_MSGPORT;
    port->mp_Flags = PA_SIGNAL;
    port->mp_SigBit = static_cast<UBYTE>(bit);
    port->mp_SigTask = FindTask(nullptr);
    NewList(&port->mp_MsgList);
    return port;
}

void DeleteMsgPort(MsgPort* port) {
    if (port == nullptr) {
        return;
    }
    if ((port->mp_Flags & 3) == PA_SIGNAL && port->mp_SigTask != nullptr) {
        // The bit goes back to the task that owns the port, whichever task deletes it.
        Task* owner = static_cast<Task*>(port->mp_SigTask);
        std::lock_guard guard(owner->tc_ETask->lock);
        owner->tc_SigAlloc &= ~(1UL << port->mp_SigBit);
    }
    std::free(port);
}

void PutMsg(MsgPort* port, Message* message) {
    Deliver(port, message, NT_MESSAGE);
}

Message* GetMsg(MsgPort* port) {
    if (port == nullptr) {
        return nullptr;
    }
    std::lock_guard guard(PortLock());
    return reinterpret_cast<Message*>(RemHead(&port->mp_MsgList));
}

void ReplyMsg(Message* message) {
    if (message == nullptr) {
        return;
    }
    MsgPort* port = message->mn_ReplyPort;
    if (port == nullptr) {
        std::lock_guard guard(PortLock());
        message->mn_Node.ln_Type = NT_FREEMSG;
        return;
    }
    Deliver(port, message, NT_REPLYMSG);
}

Message* WaitPort(MsgPort* port) {
    for (;;) {
        {
            std::lock_guard guard(PortLock());
            if (!IsListEmpty(&port->mp_MsgList)) {
                return reinterpret_cast<Message*>(port->mp_MsgList.lh_Head);
            }
        }
        Wait(1UL << port->mp_SigBit);
    }
}
