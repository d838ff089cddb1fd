// The desktop window's keys and pointer in the input task's terms: raw codes by key position,
// qualifier bits, the layout's characters through MapRawKey, and pointer scaling.
#include <gtest/gtest.h>

#include "keymap.h"
#include "platform/intuition/DevicePicture.h"
#include "platform/sdl/SdlKeys.h"
#include "platform/sdl/SdlSystem.h"

namespace {

using tessella::sdl::FactorFor;
using tessella::sdl::Fit;
using tessella::sdl::kNoRawKey;
using tessella::sdl::QualifierFor;
using tessella::sdl::RawKeyFor;
using tessella::sdl::ToScreen;
using tessella::sdl::View;

TEST(DesktopKeys, ScancodesBecomeTheRawCodeOfTheSamePlace) {
    const struct {
        SDL_Scancode scancode;
        UWORD raw;
    } cases[] = {
        {SDL_SCANCODE_GRAVE, 0x00},
        {SDL_SCANCODE_1, 0x01},
        {SDL_SCANCODE_0, 0x0A},
        {SDL_SCANCODE_BACKSLASH, 0x0D},
        {SDL_SCANCODE_Q, 0x10},
        {SDL_SCANCODE_P, 0x19},
        {SDL_SCANCODE_LEFTBRACKET, 0x1A},
        {SDL_SCANCODE_A, 0x20},
        {SDL_SCANCODE_APOSTROPHE, 0x2A},
        {SDL_SCANCODE_NONUSHASH, 0x2B},
        {SDL_SCANCODE_NONUSBACKSLASH, 0x30},
        {SDL_SCANCODE_Z, 0x31},
        {SDL_SCANCODE_SLASH, 0x3A},
        {SDL_SCANCODE_SPACE, 0x40},
        {SDL_SCANCODE_BACKSPACE, 0x41},
        {SDL_SCANCODE_TAB, 0x42},
        {SDL_SCANCODE_KP_ENTER, 0x43},
        {SDL_SCANCODE_RETURN, 0x44},
        {SDL_SCANCODE_ESCAPE, 0x45},
        {SDL_SCANCODE_DELETE, 0x46},
        {SDL_SCANCODE_UP, 0x4C},
        {SDL_SCANCODE_DOWN, 0x4D},
        {SDL_SCANCODE_RIGHT, 0x4E},
        {SDL_SCANCODE_LEFT, 0x4F},
        {SDL_SCANCODE_F1, 0x50},
        {SDL_SCANCODE_F10, 0x59},
        {SDL_SCANCODE_HELP, 0x5F},
        {SDL_SCANCODE_KP_7, 0x3D},
        {SDL_SCANCODE_KP_0, 0x0F},
        {SDL_SCANCODE_KP_MINUS, 0x4A},
        {SDL_SCANCODE_LSHIFT, 0x60},
        {SDL_SCANCODE_RSHIFT, 0x61},
        {SDL_SCANCODE_LCTRL, 0x63},
        {SDL_SCANCODE_RCTRL, 0x63},
        {SDL_SCANCODE_LALT, 0x64},
        {SDL_SCANCODE_RALT, 0x65},
        {SDL_SCANCODE_LGUI, 0x66},
        {SDL_SCANCODE_RGUI, 0x67},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RawKeyFor(c.scancode), c.raw) << SDL_GetScancodeName(c.scancode);
    }
    EXPECT_EQ(RawKeyFor(SDL_SCANCODE_UNKNOWN), kNoRawKey);
    EXPECT_EQ(RawKeyFor(SDL_SCANCODE_MUTE), kNoRawKey);
}

TEST(DesktopKeys, NoTwoKeysShareARawCodeExceptTheTwoControls) {
    std::vector<int> owner(256, -1);
    for (int s = 0; s < SDL_NUM_SCANCODES; ++s) {
        const UWORD raw = RawKeyFor(static_cast<SDL_Scancode>(s));
        if (raw == kNoRawKey || raw == RAWKEY_CONTROL) {
            continue;
        }
        EXPECT_EQ(owner[raw], -1) << "raw 0x" << std::hex << raw << " for scancodes " << std::dec
                                  << owner[raw] << " and " << s;
        owner[raw] = s;
    }
}

TEST(DesktopKeys, ModifiersBecomeQualifierBits) {
    EXPECT_EQ(QualifierFor(KMOD_NONE, SDL_SCANCODE_A), 0);
    EXPECT_EQ(QualifierFor(KMOD_LSHIFT, SDL_SCANCODE_A), IEQUALIFIER_LSHIFT);
    EXPECT_EQ(QualifierFor(KMOD_RSHIFT | KMOD_CAPS, SDL_SCANCODE_A),
              IEQUALIFIER_RSHIFT | IEQUALIFIER_CAPSLOCK);
    EXPECT_EQ(QualifierFor(KMOD_RCTRL, SDL_SCANCODE_A), IEQUALIFIER_CONTROL);
    EXPECT_EQ(QualifierFor(KMOD_LALT | KMOD_RALT, SDL_SCANCODE_A),
              IEQUALIFIER_LALT | IEQUALIFIER_RALT);
    EXPECT_EQ(QualifierFor(KMOD_LGUI, SDL_SCANCODE_A), IEQUALIFIER_LCOMMAND);
    EXPECT_EQ(QualifierFor(KMOD_RGUI, SDL_SCANCODE_A), IEQUALIFIER_RCOMMAND);
    EXPECT_EQ(QualifierFor(KMOD_NONE, SDL_SCANCODE_KP_5), IEQUALIFIER_NUMERICPAD);
    EXPECT_EQ(QualifierFor(KMOD_LSHIFT, SDL_SCANCODE_KP_ENTER),
              IEQUALIFIER_LSHIFT | IEQUALIFIER_NUMERICPAD);
    EXPECT_EQ(QualifierFor(KMOD_NUM, SDL_SCANCODE_5), 0);
}

TEST(DesktopKeys, TextIsKeptWithinLatin1) {
    EXPECT_EQ(tessella::sdl::Latin1Of("a\xC3\xA8\xC3\xBF"), "a\xE8\xFF");
    // The euro sign and an emoji have no Latin-1 form; a broken sequence is dropped.
    EXPECT_EQ(tessella::sdl::Latin1Of("\xE2\x82\xAC"
                                      "b\xF0\x9F\x98\x80"
                                      "c\xC3"),
              "bc");
    EXPECT_EQ(tessella::sdl::Utf8Of("Caff\xE8"), "Caff\xC3\xA8");
}

std::string Map(UWORD code, UWORD qualifier, const DeadKeyPrefix* prefix, LONG size = 8) {
    InputEvent ie{};
    ie.ie_Class = IECLASS_RAWKEY;
    ie.ie_Code = code;
    ie.ie_Qualifier = qualifier;
    ie.ie_EventAddress = const_cast<DeadKeyPrefix*>(prefix);
    char buffer[8];
    const WORD n = MapRawKey(&ie, buffer, size, nullptr);
    return n < 0 ? "<too small>" : std::string(buffer, static_cast<size_t>(n));
}

TEST(DesktopKeys, MapRawKeyGivesTheDesktopLayoutsCharacters) {
    // The key right of P: "[" on the US keymap, "è" on an Italian desktop.
    EXPECT_EQ(Map(0x1A, 0, nullptr), "[");
    DeadKeyPrefix italian{};
    italian.desktop = DesktopKey{1, 1, {0xE8}, 0, 0};
    EXPECT_EQ(Map(0x1A, 0, &italian), "\xE8");
    EXPECT_EQ(Map(0x1A, 0, &italian, 0), "<too small>");
    EXPECT_EQ(Map(0x1A | IECODE_UP_PREFIX, 0, &italian), "");

    // A dead key of the layout gives nothing; the desktop sends the composed letter later.
    DeadKeyPrefix dead{};
    dead.desktop = DesktopKey{1, 0, {}, 0, 0};
    EXPECT_EQ(Map(0x0C, 0, &dead), "");
    // Keys without characters keep the control codes and sequences the toolkit reads.
    EXPECT_EQ(Map(RAWKEY_RETURN, 0, &dead), "\r");
    EXPECT_EQ(Map(RAWKEY_BACKSPACE, 0, &dead), "\b");
    EXPECT_EQ(Map(RAWKEY_UP, 0, &dead),
              "\x9B"
              "A");
    EXPECT_EQ(Map(RAWKEY_F1, 0, &dead),
              "\x9B"
              "0~");
    EXPECT_EQ(Map(RAWKEY_HELP, 0, &dead), "\x9B?~");
}

TEST(DesktopPointer, TheWindowOpensAtTheLargestQuarterStepFittingMostOfTheDesktop) {
    EXPECT_EQ(FactorFor(1920, 1080, 800, 600), 1.5);   // 85 % of 1080 rows is 1.53 screens
    EXPECT_EQ(FactorFor(1280, 1024, 800, 600), 1.25);  // the width decides: 1.36
    EXPECT_EQ(FactorFor(2560, 1440, 800, 600), 2.0);
    EXPECT_EQ(FactorFor(3840, 2160, 800, 600), 3.0);
    EXPECT_EQ(FactorFor(1024, 768, 800, 600), 1.0);
    EXPECT_EQ(FactorFor(640, 480, 800, 600), 1.0);  // never below 1
    EXPECT_EQ(FactorFor(640, 480, 0, 0), 1.0);
}

TEST(DesktopPointer, AnyWindowShowsTheScreensShapeCentredWithEvenBars) {
    const View wide = Fit(1920, 1000, 800, 600);  // a maximised window, wider than 4:3
    EXPECT_EQ(wide.width, 1333);
    EXPECT_EQ(wide.height, 1000);
    EXPECT_EQ(wide.left, (1920 - 1333) / 2);
    EXPECT_EQ(wide.top, 0);
    const View tall = Fit(1000, 1000, 800, 600);
    EXPECT_EQ(tall.width, 1000);
    EXPECT_EQ(tall.height, 750);
    EXPECT_EQ(tall.left, 0);
    EXPECT_EQ(tall.top, 125);
    EXPECT_EQ(Fit(1200, 900, 800, 600).scale, 2);  // the pointer's whole factor, rounded
    EXPECT_EQ(Fit(1000, 750, 800, 600).scale, 1);
}

TEST(DesktopPointer, WindowPixelsBecomeTheScreenPixelsTheyShow) {
    // A 2x view centred in a window wider than the picture.
    const View v = Fit(1700, 1200, 800, 600);
    EXPECT_EQ(v.width, 1600);
    EXPECT_EQ(v.left, 50);
    EXPECT_EQ(v.top, 0);
    int x;
    int y;
    ToScreen(v, 800, 600, 50, 0, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    ToScreen(v, 800, 600, 51, 3, x, y);  // both halves of a doubled pixel are that pixel
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 1);
    ToScreen(v, 800, 600, 50 + 2 * 799 + 1, 2 * 599 + 1, x, y);
    EXPECT_EQ(x, 799);
    EXPECT_EQ(y, 599);
    // Outside the picture the pointer stays on the screen's edge, never beyond it.
    ToScreen(v, 800, 600, 10, 1299, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 599);
    ToScreen(v, 800, 600, 49, -1, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);

    const View one = Fit(800, 600, 800, 600);
    ToScreen(one, 800, 600, 123, 456, x, y);
    EXPECT_EQ(x, 123);
    EXPECT_EQ(y, 456);

    // At 1.5 the screen's pixels are blocks of 2 and 1 device pixels in turn; every device
    // pixel maps to the pixel whose block it is in, the one the picture draws there.
    const View half = Fit(1200, 900, 800, 600);
    for (int d = 0; d < 1200; ++d) {
        ToScreen(half, 800, 600, d, 0, x, y);
        ASSERT_GE(d, tessella::intuition::DeviceEdge(x, 800, 1200)) << d;
        ASSERT_LT(d, tessella::intuition::DeviceEdge(x + 1, 800, 1200)) << d;
    }
    ToScreen(half, 800, 600, 1199, 899, x, y);
    EXPECT_EQ(x, 799);
    EXPECT_EQ(y, 599);
}

// When the desktop window cannot open, the reason is told to the user; SDL does not always
// give one, and an empty reason would be taken for a window that opened.
TEST(DesktopOpening, AFailureSdlGivesNoReasonForIsNamedByItsCall) {
    SDL_SetError("%s", "no video device");
    EXPECT_EQ(tessella::sdl::FailureOf("SDL_CreateWindow"), "no video device");
    SDL_ClearError();
    EXPECT_EQ(tessella::sdl::FailureOf("SDL_CreateWindow"), "SDL_CreateWindow failed");
}

}  // namespace
