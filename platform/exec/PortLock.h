#pragma once
// One lock guards every message list, as Forbid() does on AROS: messages move between ports of
// different tasks, and a single lock keeps that free of ordering problems.

#include <mutex>

#include "exec.h"

namespace tessella::exec {

std::mutex& PortLock();

// Puts a message at a port with the given node type and wakes the port's task.
void Deliver(MsgPort* port, Message* message, UBYTE type);

}  // namespace tessella::exec
