#pragma once

#include "platform/exec/DeviceDriver.h"

namespace tessella::timer {

// The one timer.device of the process; its clock thread starts with the first OpenDevice.
exec::DeviceDriver& TimerDriver();

}  // namespace tessella::timer
