// The presenter's input: the desktop's window events, mouse, keyboard, text, clipboard and
// dropped files, turned into the platform's input events on the presenter's thread.
#include <algorithm>
#include <cstring>
#include <string>

#include "SdlPresenter.h"
#include "platform/workbench/AppWindows.h"

namespace tessella::sdl {

void SdlPresenter::Handle(const SDL_Event& e) {
    if (e.type == wakeEvent_) {
        TakeWake();
        return;
    }
    switch (e.type) {
        case SDL_WINDOWEVENT:
            HandleWindow(e.window);
            return;
        case SDL_MOUSEMOTION:
            PostMouse(e.motion.x, e.motion.y, IECODE_NOBUTTON);
            return;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            HandleButton(e.button);
            return;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            HandleKey(e.key);
            return;
        case SDL_TEXTINPUT:
            HandleText(e.text);
            return;
        case SDL_DROPBEGIN:
        case SDL_DROPFILE:
        case SDL_DROPCOMPLETE:
            HandleDrop(e.drop);
            return;
        default:
            return;
    }
}

// The watcher's wake-up: the display changed, and a beep may be waiting.
void SdlPresenter::TakeWake() {
    {
        std::lock_guard guard(watchLock_);
        wakePending_ = false;
    }
    taken_.notify_all();
    dirty_ = true;
    if (beepPending_.exchange(false)) {
        beepStarting_ = true;
    }
}

void SdlPresenter::HandleWindow(const SDL_WindowEvent& window) {
    if (window.event == SDL_WINDOWEVENT_CLOSE) {
        InputEvent close{};
        close.ie_Class = IECLASS_CLOSEWINDOW;
        intuition::PostInputEvent(close);
    } else if (window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        // Smaller than the screen would cut it off: a desktop that ignores the minimum size
        // gets the window back at that size.
        if (width_ > 0 && (window.data1 < width_ || window.data2 < height_)) {
            SDL_SetWindowSize(window_, std::max(window.data1, width_),
                              std::max(window.data2, height_));
            return;
        }
        const View fitted = Fit(window.data1, window.data2, width_, height_);
        if (fitted.width != view_.width || fitted.height != view_.height) {
            Refit(window.data1, window.data2);
            Render();
        } else {
            view_ = fitted;
            Present();
        }
    } else if (window.event == SDL_WINDOWEVENT_EXPOSED) {
        Present();
    }
}

void SdlPresenter::HandleButton(const SDL_MouseButtonEvent& button) {
    UWORD code;
    switch (button.button) {
        case SDL_BUTTON_LEFT:
            code = IECODE_LBUTTON;
            break;
        case SDL_BUTTON_RIGHT:
            code = IECODE_RBUTTON;
            break;
        case SDL_BUTTON_MIDDLE:
            code = IECODE_MBUTTON;
            break;
        default:
            return;
    }
    if (button.type == SDL_MOUSEBUTTONUP) {
        code |= IECODE_UP_PREFIX;
    }
    PostMouse(button.x, button.y, code);
}

// Files dropped together arrive one by one between a beginning and an end; the program gets
// them as one drop.
void SdlPresenter::HandleDrop(const SDL_DropEvent& drop) {
    switch (drop.type) {
        case SDL_DROPBEGIN:
            dropped_.clear();
            return;
        case SDL_DROPFILE:
            if (drop.file != nullptr) {
                dropped_.emplace_back(drop.file);
                SDL_free(drop.file);
            }
            return;
        case SDL_DROPCOMPLETE:
            if (!dropped_.empty()) {
                workbench::DeliverDrop(dropped_);
            }
            dropped_.clear();
            return;
        default:
            return;
    }
}

void SdlPresenter::PostMouse(int x, int y, UWORD code) {
    if (width_ <= 0 || height_ <= 0) {
        return;
    }
    InputEvent e{};
    e.ie_Class = IECLASS_RAWMOUSE;
    e.ie_Code = code;
    int sx;
    int sy;
    // The picture shows the slid screen's row y at its own row y + topEdge_.
    ToScreen(view_, width_, height_, x, y, sx, sy);
    sy = std::clamp(sy - topEdge_, 0, height_ - 1);
    e.ie_X = static_cast<WORD>(sx);
    e.ie_Y = static_cast<WORD>(sy);
    intuition::PostInputEvent(e);
}

void SdlPresenter::HandleKey(const SDL_KeyboardEvent& key) {
    const SDL_Scancode scancode = key.keysym.scancode;
    const UWORD raw = RawKeyFor(scancode);
    // Caps Lock travels as a qualifier only: the desktop keeps its state, and a key event for
    // it would make the input task toggle a second copy that can disagree with the desktop's.
    if (raw == kNoRawKey || scancode == SDL_SCANCODE_CAPSLOCK) {
        return;
    }
    InputEvent e{};
    e.ie_Class = IECLASS_RAWKEY;
    e.ie_Qualifier = QualifierFor(key.keysym.mod, scancode);
    if (key.repeat) {
        e.ie_Qualifier |= IEQUALIFIER_REPEAT;
    }
    DesktopKey desktop{};
    desktop.known = 1;
    if (key.state == SDL_RELEASED && raw == pasteKey_) {
        pasteKey_ = kNoRawKey;  // the paste key's release belongs to the paste too
        return;
    }
    if (key.state == SDL_PRESSED && Paste(key)) {
        pasteKey_ = raw;
        return;
    }
    if (key.state == SDL_RELEASED) {
        e.ie_Code = raw | IECODE_UP_PREFIX;
        intuition::PostInputEvent(e, desktop);
        return;
    }
    e.ie_Code = raw;
    lastKey_ = raw;
    // The layout's character arrives as a text event right after the key that typed it.
    std::string text;
    SDL_Event next;
    if (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
        next.type == SDL_TEXTINPUT) {
        SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT);
        text = Latin1Of(next.text.text);
    } else if ((key.keysym.mod & KMOD_CTRL) && key.keysym.sym >= 'a' && key.keysym.sym <= 'z') {
        // SDL gives no text for control characters; the letter comes from the layout.
        text.push_back(static_cast<char>(key.keysym.sym & 0x1F));
    }
    desktop.length = static_cast<UBYTE>(std::min(text.size(), sizeof(desktop.chars)));
    std::memcpy(desktop.chars, text.data(), desktop.length);
    // The layout's own letter for the key, which menu command keys go by.
    if (key.keysym.sym >= 0x20 && key.keysym.sym <= 0xFF && key.keysym.sym != 0x7F) {
        desktop.plain = static_cast<UBYTE>(key.keysym.sym);
    }
    intuition::PostInputEvent(e, desktop);
}

// Ctrl+V, Shift+Insert and Amiga+V paste the desktop's clipboard text, when intuition agrees.
bool SdlPresenter::Paste(const SDL_KeyboardEvent& key) {
    const Uint16 mod = key.keysym.mod;
    const bool ctrl = (mod & KMOD_CTRL) && !(mod & (KMOD_ALT | KMOD_GUI));
    const bool amiga = (mod & KMOD_GUI) && !(mod & (KMOD_ALT | KMOD_CTRL));
    const bool v = key.keysym.sym == SDLK_v;
    const bool shiftInsert = key.keysym.scancode == SDL_SCANCODE_INSERT && (mod & KMOD_SHIFT) &&
                             !(mod & (KMOD_ALT | KMOD_CTRL | KMOD_GUI));
    if (!(shiftInsert || (v && (ctrl || amiga))) ||
        !intuition::PasteWanted(amiga && !shiftInsert, shiftInsert ? 0 : 'v')) {
        return false;
    }
    // Ask the clipboard only now: its owner may be slow, and each paste needs the text anew.
    char* clip = SDL_GetClipboardText();
    if (clip != nullptr) {
        intuition::PostPaste(intuition::PasteText(clip));
        SDL_free(clip);
    }
    return true;
}

// Text that follows no key (an input method's result, or a key SDL could not place) is typed
// on the last key pressed, as a press and a release.
void SdlPresenter::HandleText(const SDL_TextInputEvent& input) {
    const std::string text = Latin1Of(input.text);
    if (text.empty()) {
        return;
    }
    DesktopKey desktop{};
    desktop.known = 1;
    desktop.length = static_cast<UBYTE>(std::min(text.size(), sizeof(desktop.chars)));
    std::memcpy(desktop.chars, text.data(), desktop.length);
    InputEvent e{};
    e.ie_Class = IECLASS_RAWKEY;
    e.ie_Code = lastKey_;
    e.ie_Qualifier = QualifierFor(SDL_GetModState(), SDL_SCANCODE_UNKNOWN);
    intuition::PostInputEvent(e, desktop);
    e.ie_Code = lastKey_ | IECODE_UP_PREFIX;
    DesktopKey release{};
    release.known = 1;
    intuition::PostInputEvent(e, release);
}

}  // namespace tessella::sdl
