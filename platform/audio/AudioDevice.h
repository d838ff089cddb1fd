#pragma once

#include "platform/exec/DeviceDriver.h"

namespace tessella::audio {

// The one audio.device of the process: four channels mixed into the desktop's sound output.
exec::DeviceDriver& AudioDriver();

}  // namespace tessella::audio
