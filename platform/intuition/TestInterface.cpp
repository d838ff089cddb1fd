#include <chrono>
#include <cstring>

#include "intuition/IntuitionState.h"
#include "intuition/PngWriter.h"
#include "keymap/UsKeyMap.h"
#include "platform_test.h"

using tessella::intuition::Frame;
using tessella::intuition::Intuition;
using tessella::intuition::PostInputEvent;

namespace {

void Mouse(UWORD code) {
    Intuition& in = Intuition::Get();
    WORD x;
    WORD y;
    {
        std::lock_guard guard(in.lock);
        // The button goes down where the last queued move left the pointer.
        x = in.pointerX;
        y = in.pointerY;
        for (const InputEvent& e : in.events) {
            if (e.ie_Class == IECLASS_RAWMOUSE) {
                x = e.ie_X;
                y = e.ie_Y;
            }
        }
    }
    InputEvent e{};
    e.ie_Class = IECLASS_RAWMOUSE;
    e.ie_Code = code;
    e.ie_X = x;
    e.ie_Y = y;
    PostInputEvent(e);
}

void Key(UWORD code, UWORD qualifier) {
    InputEvent e{};
    e.ie_Class = IECLASS_RAWKEY;
    e.ie_Code = code;
    e.ie_Qualifier = qualifier;
    PostInputEvent(e);
}

bool WaitFor(int timeoutMs, bool repliesToo) {
    Intuition& in = Intuition::Get();
    std::unique_lock guard(in.lock);
    return in.changed.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] {
        return in.events.empty() && !in.busy && (!repliesToo || in.outstanding == 0);
    });
}

bool Compose(Frame& frame, int x, int y) {
    return tessella::intuition::ComposeFrontScreen(frame) && x >= 0 && y >= 0 && x < frame.width &&
           y < frame.height;
}

}  // namespace

namespace PlatformTest {

void MovePointer(int x, int y) {
    InputEvent e{};
    e.ie_Class = IECLASS_RAWMOUSE;
    e.ie_Code = IECODE_NOBUTTON;
    e.ie_X = static_cast<WORD>(x);
    e.ie_Y = static_cast<WORD>(y);
    PostInputEvent(e);
}

void PressButton(UWORD button) {
    Mouse(button & ~IECODE_UP_PREFIX);
}

void ReleaseButton(UWORD button) {
    Mouse(button | IECODE_UP_PREFIX);
}

void Click(int x, int y, UWORD button) {
    MovePointer(x, y);
    PressButton(button);
    ReleaseButton(button);
}

void PressKey(UWORD rawCode, UWORD qualifier) {
    Key(rawCode & ~IECODE_UP_PREFIX, qualifier);
}

void ReleaseKey(UWORD rawCode, UWORD qualifier) {
    Key(rawCode | IECODE_UP_PREFIX, qualifier);
}

void TypeKey(UWORD rawCode, UWORD qualifier) {
    PressKey(rawCode, qualifier);
    ReleaseKey(rawCode, qualifier);
}

bool TypeText(const char* text) {
    std::vector<tessella::keymap::KeyStroke> strokes;
    for (const char* p = text; *p != '\0'; ++p) {
        if (!tessella::keymap::KeysFor(static_cast<UBYTE>(*p), strokes)) {
            return false;
        }
    }
    for (const auto& s : strokes) {
        TypeKey(s.rawCode, s.qualifier);
    }
    return true;
}

void InjectDiskInserted() {
    InputEvent e{};
    e.ie_Class = IECLASS_DISKINSERTED;
    PostInputEvent(e);
}

bool WaitInputDrained(int timeoutMs) {
    return WaitFor(timeoutMs, false);
}

bool WaitIdle(int timeoutMs) {
    return WaitFor(timeoutMs, true);
}

LONG ReadScreenPixel(int x, int y) {
    Frame frame;
    if (!Compose(frame, x, y)) {
        return -1;
    }
    return frame.pens[static_cast<size_t>(y) * frame.width + x];
}

LONG ReadScreenColor(int x, int y) {
    Frame frame;
    if (!Compose(frame, x, y)) {
        return -1;
    }
    return static_cast<LONG>(frame.palette[frame.pens[static_cast<size_t>(y) * frame.width + x]]);
}

bool SaveScreenPNG(const char* path) {
    Frame frame;
    return tessella::intuition::ComposeFrontScreen(frame) &&
           tessella::intuition::WritePng(frame, path);
}

LONG PointerPixel(int x, int y) {
    const tessella::intuition::PointerImage image = tessella::intuition::ActivePointer();
    if (!image.custom || x < 0 || y < 0 || x >= image.width || y >= image.height) {
        return -1;
    }
    return image.pixels[static_cast<size_t>(y) * image.width + x];
}

int BeepCount() {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    return in.beeps;
}

}  // namespace PlatformTest
