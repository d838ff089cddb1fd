#include <chrono>
#include <thread>

#include "ColorMapImpl.h"
#include "LayerImpl.h"

namespace tessella::graphics {

ColorMap* NewColorMap() {
    auto* cm = new ColorMap;
    cm->rgb[0] = 0xAAAAAA;
    cm->rgb[1] = 0x000000;
    cm->rgb[2] = 0xFFFFFF;
    cm->rgb[3] = 0x6688BB;
    return cm;
}

void DeleteColorMap(ColorMap* cm) {
    delete cm;
}

std::array<ULONG, 256> PaletteOf(ColorMap* cm) {
    std::lock_guard guard(cm->lock);
    return cm->rgb;
}

}  // namespace tessella::graphics

using namespace tessella::graphics;

namespace {

ULONG Pack(ULONG r, ULONG g, ULONG b) {
    return ((r >> 24) << 16) | ((g >> 24) << 8) | (b >> 24);
}

}  // namespace

void LoadRGB32(ViewPort* vp, const ULONG* table) {
    if (vp == nullptr || vp->ColorMap == nullptr || table == nullptr) {
        return;
    }
    {
        std::lock_guard guard(vp->ColorMap->lock);
        for (;;) {
            const ULONG count = *table >> 16;
            const ULONG first = *table & 0xFFFF;
            ++table;
            if (count == 0) {
                break;
            }
            for (ULONG i = 0; i < count; ++i, table += 3) {
                if (first + i < 256) {
                    vp->ColorMap->rgb[first + i] = Pack(table[0], table[1], table[2]);
                }
            }
        }
    }
    TouchDisplay();
}

void SetRGB32(ViewPort* vp, ULONG n, ULONG r, ULONG g, ULONG b) {
    if (vp == nullptr || vp->ColorMap == nullptr || n > 255) {
        return;
    }
    {
        std::lock_guard guard(vp->ColorMap->lock);
        vp->ColorMap->rgb[n] = Pack(r, g, b);
    }
    TouchDisplay();
}

void GetRGB32(ColorMap* cm, ULONG firstColor, ULONG nColors, ULONG* table) {
    if (cm == nullptr || table == nullptr) {
        return;
    }
    std::lock_guard guard(cm->lock);
    for (ULONG i = 0; i < nColors && firstColor + i < 256; ++i) {
        const ULONG rgb = cm->rgb[firstColor + i];
        // Each level repeated over the 32 bits, as AROS reports it.
        *table++ = ((rgb >> 16) & 0xFF) * 0x01010101UL;
        *table++ = ((rgb >> 8) & 0xFF) * 0x01010101UL;
        *table++ = (rgb & 0xFF) * 0x01010101UL;
    }
}

namespace {

// The virtual display's frames, 50 a second, begin when the program starts, so that the waits
// of a start-up are the same at every launch rather than depending on the clock's phase.
const std::chrono::steady_clock::time_point displayOrigin = std::chrono::steady_clock::now();

}  // namespace

void WaitTOF() {
    using namespace std::chrono;
    constexpr auto kFrame = milliseconds(20);
    const auto sinceOrigin = steady_clock::now() - displayOrigin;
    std::this_thread::sleep_until(displayOrigin + (sinceOrigin / kFrame + 1) * kFrame);
}
