#pragma once

#include "platform/exec/DeviceDriver.h"

namespace tessella::timer {

// The one timer.device of the process; its clock thread starts with the first OpenDevice.
exec::DeviceDriver& TimerDriver();

// For the test interface: until count requests wait for their time.
bool WaitPendingRequests(int count, int timeoutMs);

}  // namespace tessella::timer
