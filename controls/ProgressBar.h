#pragma once

#include <atomic>
#include <cstdint>

#include "CustomControl.h"

namespace tessella {

// A bar that fills from the left in pen 4 as its value goes from minimum to maximum. The job's
// worker sets its value while the main thread may be repainting the window.
class ProgressBar : public CustomControl {
public:
    ProgressBar(GUIElement* parent, int minimum, int maximum);

    void OnPaint() override;
    // Clamped into minimum..maximum; repaints only when the value changes.
    void SetValue(int v);
    int GetValue() const { return value; }
    void SetBorder(short flag);

private:
    int32_t minimum = 0;
    int32_t maximum = 0;
    std::atomic<int32_t> value{0};
    int16_t border = 1;
};

}  // namespace tessella
