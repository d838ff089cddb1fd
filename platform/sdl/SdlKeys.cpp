#include "SdlKeys.h"

#include <algorithm>
#include <cmath>

#include "util/StringUtils.h"

namespace tessella::sdl {
namespace {

struct KeyPlace {
    SDL_Scancode scancode;
    UWORD raw;
};

// Amiga raw codes follow the rows of its keyboard: 0x00 the digit row, 0x10 the QWERTY row,
// 0x20 the home row, 0x30 the bottom row, then the keys that give no character.
constexpr KeyPlace kPlaces[] = {
    {SDL_SCANCODE_GRAVE, 0x00},
    {SDL_SCANCODE_1, 0x01},
    {SDL_SCANCODE_2, 0x02},
    {SDL_SCANCODE_3, 0x03},
    {SDL_SCANCODE_4, 0x04},
    {SDL_SCANCODE_5, 0x05},
    {SDL_SCANCODE_6, 0x06},
    {SDL_SCANCODE_7, 0x07},
    {SDL_SCANCODE_8, 0x08},
    {SDL_SCANCODE_9, 0x09},
    {SDL_SCANCODE_0, 0x0A},
    {SDL_SCANCODE_MINUS, 0x0B},
    {SDL_SCANCODE_EQUALS, 0x0C},
    {SDL_SCANCODE_BACKSLASH, 0x0D},
    {SDL_SCANCODE_KP_0, 0x0F},
    {SDL_SCANCODE_Q, 0x10},
    {SDL_SCANCODE_W, 0x11},
    {SDL_SCANCODE_E, 0x12},
    {SDL_SCANCODE_R, 0x13},
    {SDL_SCANCODE_T, 0x14},
    {SDL_SCANCODE_Y, 0x15},
    {SDL_SCANCODE_U, 0x16},
    {SDL_SCANCODE_I, 0x17},
    {SDL_SCANCODE_O, 0x18},
    {SDL_SCANCODE_P, 0x19},
    {SDL_SCANCODE_LEFTBRACKET, 0x1A},
    {SDL_SCANCODE_RIGHTBRACKET, 0x1B},
    {SDL_SCANCODE_KP_1, 0x1D},
    {SDL_SCANCODE_KP_2, 0x1E},
    {SDL_SCANCODE_KP_3, 0x1F},
    {SDL_SCANCODE_A, 0x20},
    {SDL_SCANCODE_S, 0x21},
    {SDL_SCANCODE_D, 0x22},
    {SDL_SCANCODE_F, 0x23},
    {SDL_SCANCODE_G, 0x24},
    {SDL_SCANCODE_H, 0x25},
    {SDL_SCANCODE_J, 0x26},
    {SDL_SCANCODE_K, 0x27},
    {SDL_SCANCODE_L, 0x28},
    {SDL_SCANCODE_SEMICOLON, 0x29},
    {SDL_SCANCODE_APOSTROPHE, 0x2A},
    {SDL_SCANCODE_NONUSHASH, 0x2B},
    {SDL_SCANCODE_KP_4, 0x2D},
    {SDL_SCANCODE_KP_5, 0x2E},
    {SDL_SCANCODE_KP_6, 0x2F},
    {SDL_SCANCODE_NONUSBACKSLASH, 0x30},
    {SDL_SCANCODE_Z, 0x31},
    {SDL_SCANCODE_X, 0x32},
    {SDL_SCANCODE_C, 0x33},
    {SDL_SCANCODE_V, 0x34},
    {SDL_SCANCODE_B, 0x35},
    {SDL_SCANCODE_N, 0x36},
    {SDL_SCANCODE_M, 0x37},
    {SDL_SCANCODE_COMMA, 0x38},
    {SDL_SCANCODE_PERIOD, 0x39},
    {SDL_SCANCODE_SLASH, 0x3A},
    {SDL_SCANCODE_KP_PERIOD, 0x3C},
    {SDL_SCANCODE_KP_7, 0x3D},
    {SDL_SCANCODE_KP_8, 0x3E},
    {SDL_SCANCODE_KP_9, 0x3F},
    {SDL_SCANCODE_SPACE, RAWKEY_SPACE},
    {SDL_SCANCODE_BACKSPACE, RAWKEY_BACKSPACE},
    {SDL_SCANCODE_TAB, RAWKEY_TAB},
    {SDL_SCANCODE_KP_ENTER, RAWKEY_ENTER},
    {SDL_SCANCODE_RETURN, RAWKEY_RETURN},
    {SDL_SCANCODE_ESCAPE, RAWKEY_ESCAPE},
    {SDL_SCANCODE_DELETE, RAWKEY_DELETE},
    {SDL_SCANCODE_INSERT, RAWKEY_INSERT},
    {SDL_SCANCODE_PAGEUP, RAWKEY_PAGEUP},
    {SDL_SCANCODE_PAGEDOWN, RAWKEY_PAGEDOWN},
    {SDL_SCANCODE_KP_MINUS, 0x4A},
    {SDL_SCANCODE_F11, RAWKEY_F11},
    {SDL_SCANCODE_UP, RAWKEY_UP},
    {SDL_SCANCODE_DOWN, RAWKEY_DOWN},
    {SDL_SCANCODE_RIGHT, RAWKEY_RIGHT},
    {SDL_SCANCODE_LEFT, RAWKEY_LEFT},
    {SDL_SCANCODE_F1, 0x50},
    {SDL_SCANCODE_F2, 0x51},
    {SDL_SCANCODE_F3, 0x52},
    {SDL_SCANCODE_F4, 0x53},
    {SDL_SCANCODE_F5, 0x54},
    {SDL_SCANCODE_F6, 0x55},
    {SDL_SCANCODE_F7, 0x56},
    {SDL_SCANCODE_F8, 0x57},
    {SDL_SCANCODE_F9, 0x58},
    {SDL_SCANCODE_F10, 0x59},
    {SDL_SCANCODE_KP_LEFTPAREN, 0x5A},
    {SDL_SCANCODE_KP_RIGHTPAREN, 0x5B},
    {SDL_SCANCODE_KP_DIVIDE, 0x5C},
    {SDL_SCANCODE_KP_MULTIPLY, 0x5D},
    {SDL_SCANCODE_KP_PLUS, 0x5E},
    {SDL_SCANCODE_HELP, RAWKEY_HELP},
    {SDL_SCANCODE_LSHIFT, RAWKEY_LSHIFT},
    {SDL_SCANCODE_RSHIFT, RAWKEY_RSHIFT},
    {SDL_SCANCODE_LCTRL, RAWKEY_CONTROL},
    {SDL_SCANCODE_RCTRL, RAWKEY_CONTROL},
    {SDL_SCANCODE_LALT, RAWKEY_LALT},
    {SDL_SCANCODE_RALT, RAWKEY_RALT},
    {SDL_SCANCODE_LGUI, RAWKEY_LAMIGA},
    {SDL_SCANCODE_RGUI, RAWKEY_RAMIGA},
    {SDL_SCANCODE_F12, RAWKEY_F12},
    {SDL_SCANCODE_HOME, RAWKEY_HOME},
    {SDL_SCANCODE_END, RAWKEY_END},
};

bool OnNumericPad(SDL_Scancode s) {
    return (s >= SDL_SCANCODE_KP_DIVIDE && s <= SDL_SCANCODE_KP_PERIOD) ||
           s == SDL_SCANCODE_KP_LEFTPAREN || s == SDL_SCANCODE_KP_RIGHTPAREN;
}

}  // namespace

UWORD RawKeyFor(SDL_Scancode scancode) {
    for (const KeyPlace& p : kPlaces) {
        if (p.scancode == scancode) {
            return p.raw;
        }
    }
    return kNoRawKey;
}

UWORD QualifierFor(Uint16 modifiers, SDL_Scancode scancode) {
    struct Bit {
        Uint16 sdl;
        UWORD amiga;
    };
    constexpr Bit kBits[] = {
        {KMOD_LSHIFT, IEQUALIFIER_LSHIFT}, {KMOD_RSHIFT, IEQUALIFIER_RSHIFT},
        {KMOD_CAPS, IEQUALIFIER_CAPSLOCK}, {KMOD_LCTRL, IEQUALIFIER_CONTROL},
        {KMOD_RCTRL, IEQUALIFIER_CONTROL}, {KMOD_LALT, IEQUALIFIER_LALT},
        {KMOD_RALT, IEQUALIFIER_RALT},     {KMOD_LGUI, IEQUALIFIER_LCOMMAND},
        {KMOD_RGUI, IEQUALIFIER_RCOMMAND},
    };
    UWORD q = 0;
    for (const Bit& b : kBits) {
        if (modifiers & b.sdl) {
            q |= b.amiga;
        }
    }
    if (OnNumericPad(scancode)) {
        q |= IEQUALIFIER_NUMERICPAD;
    }
    return q;
}

std::string Latin1Of(const char* utf8) {
    return tessella::StringUtils::Utf8ToLatin1(utf8);
}

std::string Utf8Of(const std::string& latin1) {
    return tessella::StringUtils::Latin1ToUtf8(latin1);
}

double FactorFor(int desktopWidth, int desktopHeight, int screenWidth, int screenHeight) {
    if (screenWidth <= 0 || screenHeight <= 0) {
        return 1.0;
    }
    // Quarter steps keep the blocks of screen pixels in a short repeating pattern.
    const double fits = 0.85 * std::min(static_cast<double>(desktopWidth) / screenWidth,
                                        static_cast<double>(desktopHeight) / screenHeight);
    return std::max(1.0, std::floor(fits * 4.0 + 1e-9) / 4.0);
}

View Fit(int windowWidth, int windowHeight, int screenWidth, int screenHeight) {
    View v;
    if (screenWidth <= 0 || screenHeight <= 0) {
        return v;
    }
    // The screen's shape, as wide as the window allows or as tall: whichever is smaller.
    if (static_cast<long long>(windowWidth) * screenHeight <=
        static_cast<long long>(windowHeight) * screenWidth) {
        v.width = windowWidth;
        v.height =
            static_cast<int>(static_cast<long long>(windowWidth) * screenHeight / screenWidth);
    } else {
        v.height = windowHeight;
        v.width =
            static_cast<int>(static_cast<long long>(windowHeight) * screenWidth / screenHeight);
    }
    v.width = std::max(v.width, 1);
    v.height = std::max(v.height, 1);
    v.left = std::max(0, (windowWidth - v.width) / 2);
    v.top = std::max(0, (windowHeight - v.height) / 2);
    v.scale =
        std::max(1, static_cast<int>(std::lround(static_cast<double>(v.width) / screenWidth)));
    return v;
}

void ToScreen(const View& view, int screenWidth, int screenHeight, int x, int y, int& screenX,
              int& screenY) {
    // The picture's device pixel d shows screen pixel floor(d * screen / device); floor also
    // to the left of the picture, so that the bars do not round up to column 0.
    const auto map = [](int d, int screen, int device) {
        const long long n = static_cast<long long>(d) * screen;
        const long long q = n >= 0 ? n / device : -((-n + device - 1) / device);
        return static_cast<int>(std::clamp<long long>(q, 0, std::max(0, screen - 1)));
    };
    screenX = map(x - view.left, screenWidth, std::max(1, view.width));
    screenY = map(y - view.top, screenHeight, std::max(1, view.height));
}

}  // namespace tessella::sdl
