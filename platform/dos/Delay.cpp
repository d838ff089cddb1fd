#include <chrono>
#include <thread>

#include "dos.h"

void Delay(ULONG ticks) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20) * ticks);
}
