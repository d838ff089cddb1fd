#include <algorithm>
#include <chrono>
#include <cstring>

#include "gadtools.h"
#include "platform/clock/Clock.h"
#include "platform/graphics/FontFace.h"
#include "platform/graphics/ScaledFont.h"
#include "platform/intuition/DevicePicture.h"
#include "platform/intuition/IntuitionState.h"
#include "platform/intuition/PngWriter.h"
#include "platform/intuition/Presenter.h"
#include "platform/intuition/SysRequest.h"
#include "platform/keymap/UsKeyMap.h"
#include "platform/timer/TimerDevice.h"
#include "platform/workbench/AppWindows.h"
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
        for (const auto& queued : in.events) {
            if (queued.event.ie_Class == IECLASS_RAWMOUSE) {
                x = queued.event.ie_X;
                y = queued.event.ie_Y;
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

void Paste(const char* utf8) {
    tessella::intuition::PostPaste(tessella::intuition::PasteText(utf8 != nullptr ? utf8 : ""));
}

bool DropFiles(const std::vector<std::string>& paths) {
    return tessella::workbench::DeliverDrop(paths);
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

bool ReadScreenPens(std::vector<UBYTE>* pens, int* width) {
    Frame frame;
    if (pens == nullptr || width == nullptr || !tessella::intuition::ComposeFrontScreen(frame)) {
        return false;
    }
    *pens = std::move(frame.pens);
    *width = frame.width;
    return true;
}

bool ReadScreenPicture(int width, int height, std::vector<ULONG>* rgb, int firstRow, int endRow) {
    Frame frame;
    frame.withRuns = true;
    if (rgb == nullptr || width <= 0 || height <= 0 ||
        !tessella::intuition::ComposeFrontScreen(frame)) {
        return false;
    }
    endRow = endRow < 0 ? height : std::min(endRow, height);
    firstRow = std::clamp(firstRow, 0, endRow);
    rgb->resize(static_cast<size_t>(width) * (endRow - firstRow));
    tessella::intuition::PaintDevice(frame, width, height, 0, 0, firstRow, width, endRow,
                                     rgb->data(), width);
    for (ULONG& p : *rgb) {
        p &= 0xFFFFFF;
    }
    return true;
}

size_t ScaledFontBytes() {
    return tessella::graphics::ScaledFaceBytes();
}

bool SaveScreenPNG(const char* path, double factor) {
    Frame frame;
    frame.withRuns = factor != 1.0;
    return tessella::intuition::ComposeFrontScreen(frame) &&
           tessella::intuition::WritePng(frame, path, factor);
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

std::string BitmapFontFile() {
    return tessella::graphics::BitmapFaceFile();
}

}  // namespace PlatformTest

namespace {

using tessella::intuition::SysRequest;

// The newest requester that is up, waiting for one; the caller holds the lock.
SysRequest* Newest(std::unique_lock<std::recursive_mutex>& guard, int timeoutMs) {
    Intuition& in = Intuition::Get();
    if (!in.changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                             [&] { return !in.requests.empty(); })) {
        return nullptr;
    }
    return in.requests.back();
}

struct Point {
    int x = -1;
    int y = -1;
};

Point CentreOf(const Window* w, const Gadget* g) {
    return {w->LeftEdge + g->LeftEdge + g->Width / 2, w->TopEdge + g->TopEdge + g->Height / 2};
}

// Until the requester is unlisted and its window closed, so that nothing it covered is still
// hidden from the next click.
bool Gone(SysRequest* request, const Window* window, int timeoutMs) {
    Intuition& in = Intuition::Get();
    std::unique_lock guard(in.lock);
    return in.changed.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] {
        return std::find(in.requests.begin(), in.requests.end(), request) == in.requests.end() &&
               std::find(in.closingRequests.begin(), in.closingRequests.end(), window) ==
                   in.closingRequests.end();
    });
}

// Until the requester has dealt with one more message than before.
bool Handled(SysRequest* request, int before, int timeoutMs) {
    Intuition& in = Intuition::Get();
    std::unique_lock guard(in.lock);
    return in.changed.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] {
        return std::find(in.requests.begin(), in.requests.end(), request) == in.requests.end() ||
               request->handled > before;
    });
}

// Clicks a button of the newest requester; an alert takes the left or the right button.
SysRequest* Press(int button, int timeoutMs, int* handled, const Window** window = nullptr) {
    Intuition& in = Intuition::Get();
    Point at;
    UWORD mouse = IECODE_LBUTTON;
    SysRequest* request;
    {
        std::unique_lock guard(in.lock);
        request = Newest(guard, timeoutMs);
        if (request == nullptr) {
            return nullptr;
        }
        *handled = request->handled;
        const Window* w = request->window;
        if (window != nullptr) {
            *window = w;
        }
        if (request->kind == SysRequest::Kind::Alert) {
            at = {w->LeftEdge + w->Width / 2, w->TopEdge + w->Height / 2};
            mouse = button == 0 ? IECODE_LBUTTON : IECODE_RBUTTON;
        } else if (button == -1 && !request->buttons.empty()) {
            at = CentreOf(w, request->buttons.back());
        } else if (button >= 0 && static_cast<size_t>(button) < request->buttons.size()) {
            at = CentreOf(w, request->buttons[static_cast<size_t>(button)]);
        } else {
            return nullptr;
        }
    }
    PlatformTest::Click(at.x, at.y, mouse);
    return request;
}

// Replaces the text of a field as a user would: click it, go to its end, erase, type.
bool Retype(const Window* w, Gadget* field, const std::string& text, bool returnAfter) {
    IPTR current = 0;
    GT_GetGadgetAttrs(field, const_cast<Window*>(w), nullptr, GTST_String, &current);
    const size_t length = current != 0 ? std::strlen(reinterpret_cast<const char*>(current)) : 0;
    const Point at = CentreOf(w, field);
    PlatformTest::Click(at.x, at.y);
    PlatformTest::TypeKey(RAWKEY_RIGHT, IEQUALIFIER_LSHIFT);
    for (size_t i = 0; i < length; ++i) {
        PlatformTest::TypeKey(RAWKEY_BACKSPACE);
    }
    if (!PlatformTest::TypeText(text.c_str())) {
        return false;
    }
    if (returnAfter) {
        PlatformTest::TypeKey(RAWKEY_RETURN);
    }
    return true;
}

}  // namespace

namespace PlatformTest {

bool WaitRequester(RequesterView* view, int timeoutMs) {
    Intuition& in = Intuition::Get();
    std::unique_lock guard(in.lock);
    SysRequest* r = Newest(guard, timeoutMs);
    if (r == nullptr) {
        return false;
    }
    if (view != nullptr) {
        *view = RequesterView{r->title, r->text, r->labels, r->drawer, r->file, r->entries};
    }
    return true;
}

bool AnswerRequester(int button, int timeoutMs) {
    int handled = 0;
    const Window* window = nullptr;
    SysRequest* r = Press(button, timeoutMs, &handled, &window);
    return r != nullptr && Gone(r, window, timeoutMs);
}

bool CancelRequester(int timeoutMs) {
    return AnswerRequester(-1, timeoutMs);
}

bool ClickRequesterButton(int button, int timeoutMs) {
    int handled = 0;
    SysRequest* r = Press(button, timeoutMs, &handled);
    return r != nullptr && Handled(r, handled, timeoutMs);
}

bool PickRequesterEntry(int index, int timeoutMs) {
    Intuition& in = Intuition::Get();
    Point at;
    SysRequest* r;
    int handled;
    {
        std::unique_lock guard(in.lock);
        r = Newest(guard, timeoutMs);
        if (r == nullptr || r->list == nullptr || index < 0 ||
            static_cast<size_t>(index) >= r->entries.size()) {
            return false;
        }
        handled = r->handled;
        const TextFont* font = r->window->WScreen->RastPort.Font;
        const int row = (font != nullptr ? font->tf_YSize : 8) + 1;
        at = {r->window->LeftEdge + r->list->LeftEdge + 20,
              r->window->TopEdge + r->list->TopEdge + 2 + index * row + row / 2};
    }
    Click(at.x, at.y);
    return Handled(r, handled, timeoutMs);
}

bool AnswerFileRequester(const char* path, int timeoutMs) {
    Intuition& in = Intuition::Get();
    SysRequest* r;
    const Window* w;
    Gadget* drawerField;
    Gadget* fileField;
    int handled;
    {
        std::unique_lock guard(in.lock);
        r = Newest(guard, timeoutMs);
        if (r == nullptr || r->kind != SysRequest::Kind::File || r->drawerField == nullptr ||
            path == nullptr) {
            return false;
        }
        w = r->window;
        drawerField = r->drawerField;
        fileField = r->fileField;
        handled = r->handled;
    }
    std::string drawer = path;
    std::string file;
    if (fileField != nullptr) {
        const size_t slash = drawer.find_last_of('/');
        file = slash == std::string::npos ? drawer : drawer.substr(slash + 1);
        drawer = slash == std::string::npos ? "" : drawer.substr(0, slash == 0 ? 1 : slash);
    }
    // The drawer first, with Return so that the list follows it.
    if (!Retype(w, drawerField, drawer, true) || !Handled(r, handled, timeoutMs)) {
        return false;
    }
    if (fileField != nullptr && !Retype(w, fileField, file, false)) {
        return false;
    }
    return AnswerRequester(0, timeoutMs);
}

void CloseDesktopWindow() {
    InputEvent close{};
    close.ie_Class = IECLASS_CLOSEWINDOW;
    tessella::intuition::PostInputEvent(close);
}

bool ComposeDesktopFrame(std::string* title) {
    tessella::intuition::Frame frame;
    if (!tessella::intuition::ComposeFrontScreen(frame)) {
        return false;
    }
    if (title != nullptr) {
        *title = frame.title;
    }
    return true;
}

}  // namespace PlatformTest

void PlatformTest::UseVirtualClock() {
    tessella::clock::UseVirtual();
}

void PlatformTest::UseRealClock() {
    tessella::clock::UseReal();
}

int PlatformTest::AdvanceClock(int ms) {
    return tessella::clock::Advance(std::chrono::milliseconds(ms));
}

bool PlatformTest::WaitDelays(int count, int timeoutMs) {
    return tessella::clock::WaitSleepers(count, timeoutMs);
}

bool PlatformTest::WaitTimerRequests(int count, int timeoutMs) {
    return tessella::timer::WaitPendingRequests(count, timeoutMs);
}
