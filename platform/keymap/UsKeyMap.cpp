#include "UsKeyMap.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

namespace tessella::keymap {
namespace {

// The four layers of the keys that give characters, by raw code: plain, Shift, Alt and
// Shift+Alt. 0 marks no character; the Alt layer of F, G, H, J and K holds dead keys.
struct KeyChars {
    UBYTE plain, shift, alt, shiftAlt;
};

struct Layout {
    KeyChars keys[0x40] = {};

    constexpr Layout() {
        Row(0x00, "`1234567890-=\\", "~!@#$%^&*()_+|",
            "`\xB9\xB2\xB3\xA2\xBC\xBD\xBE\xB7\xAB\xBB-=\\", "~\xA1@#$%^&*()_+|");
        Row(0x10, "qwertyuiop[]", "QWERTYUIOP{}", "\xE5\xB0\xA9\xAE\xFE\xA4\xB5\xA1\xF8\xB6[]",
            "\xC5\xB0\xA9\xAE\xDE\xA5\xB5\xA6\xD8\xB6{}");
        Row(0x20, "asdfghjkl;'", "ASDFGHJKL:\"", "\xE6\xDF\xF0\x01\x01\x01\x01\x01\xA3;'",
            "\xC6\xA7\xD0\x01\x01\x01\x01\x01\xA3:\"");
        Row(0x31, "zxcvbnm,./", "ZXCVBNM<>?", "\xB1\xD7\xE7\xAA\xBA\xAD\xB8,./",
            "\xAC\xF7\xC7\xAA\xBA\xAF\xBF<>?");
        const struct {
            UWORD code;
            UBYTE c;
        } pad[] = {{0x0F, '0'}, {0x1D, '1'}, {0x1E, '2'}, {0x1F, '3'}, {0x2D, '4'}, {0x2E, '5'},
                   {0x2F, '6'}, {0x3C, '.'}, {0x3D, '7'}, {0x3E, '8'}, {0x3F, '9'}};
        for (const auto& p : pad) {
            keys[p.code] = KeyChars{p.c, p.c, p.c, p.c};
        }
    }

    constexpr void Row(UWORD first, const char* plain, const char* shift, const char* alt,
                       const char* shiftAlt) {
        for (UWORD i = 0; plain[i] != '\0'; ++i) {
            keys[first + i] = KeyChars{static_cast<UBYTE>(plain[i]), static_cast<UBYTE>(shift[i]),
                                       static_cast<UBYTE>(alt[i]), static_cast<UBYTE>(shiftAlt[i])};
        }
    }
};

constexpr Layout kUs;

// Dead keys by raw code: F acute, G grave, H circumflex, J tilde, K diaeresis.
struct Accent {
    UWORD code;
    UBYTE spacing;        // the accent alone, after Space
    const char* bases;    // letters it combines with
    const char* results;  // the accented letters, in the same order
};

const Accent kAccents[] = {
    {0x23, 0xB4, "aeiouyAEIOUY", "\xE1\xE9\xED\xF3\xFA\xFD\xC1\xC9\xCD\xD3\xDA\xDD"},
    {0x24, '`', "aeiouAEIOU", "\xE0\xE8\xEC\xF2\xF9\xC0\xC8\xCC\xD2\xD9"},
    {0x25, '^', "aeiouAEIOU", "\xE2\xEA\xEE\xF4\xFB\xC2\xCA\xCE\xD4\xDB"},
    {0x26, '~', "anoANO", "\xE3\xF1\xF5\xC3\xD1\xD5"},
    {0x27, 0xA8, "aeiouyAEIOU", "\xE4\xEB\xEF\xF6\xFC\xFF\xC4\xCB\xCF\xD6\xDC"},
};

constexpr UWORD kShift = IEQUALIFIER_LSHIFT | IEQUALIFIER_RSHIFT;
constexpr UWORD kAlt = IEQUALIFIER_LALT | IEQUALIFIER_RALT;

const Accent* DeadKey(UWORD code, UWORD qualifier) {
    if ((qualifier & kAlt) == 0) {
        return nullptr;
    }
    for (const Accent& a : kAccents) {
        if (a.code == code) {
            return &a;
        }
    }
    return nullptr;
}

UBYTE CharOf(UWORD code, UWORD qualifier) {
    if (code >= 0x40) {
        return 0;
    }
    const KeyChars& k = kUs.keys[code];
    const bool shift = qualifier & kShift;
    const bool alt = qualifier & kAlt;
    UBYTE c = alt ? (shift ? k.shiftAlt : k.alt) : (shift ? k.shift : k.plain);
    if (!alt && !shift && (qualifier & IEQUALIFIER_CAPSLOCK) && c >= 'a' && c <= 'z') {
        c = static_cast<UBYTE>(c - 'a' + 'A');
    }
    if ((qualifier & IEQUALIFIER_CONTROL) && !alt &&
        ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
        c = static_cast<UBYTE>(c & 0x1F);
    }
    return c;
}

// The keys that give the same bytes whatever the layout: controls, cursor keys and the keypad's
// operators. None for any other key.
std::optional<std::string> FixedKey(UWORD code, UWORD qualifier) {
    const bool shift = qualifier & kShift;
    const bool alt = qualifier & kAlt;
    const std::string csi(1, static_cast<char>(CSI));
    switch (code) {
        case RAWKEY_SPACE:
            return std::string(1, static_cast<char>(alt ? 0xA0 : ' '));
        case RAWKEY_BACKSPACE:
            return "\x08";
        case RAWKEY_TAB:
            return "\x09";
        case RAWKEY_ENTER:
        case RAWKEY_RETURN:
            return (qualifier & IEQUALIFIER_CONTROL) ? "\x0A" : "\x0D";
        case RAWKEY_ESCAPE:
            return alt ? csi : "\x1B";
        case RAWKEY_DELETE:
            return "\x7F";
        case RAWKEY_UP:
            return csi + (shift ? "T" : "A");
        case RAWKEY_DOWN:
            return csi + (shift ? "S" : "B");
        case RAWKEY_RIGHT:
            return csi + (shift ? " A" : "C");
        case RAWKEY_LEFT:
            return csi + (shift ? " @" : "D");
        case RAWKEY_HELP:
            return csi + "?~";
        case 0x4A:
            return "-";
        case 0x5A:
            return "(";
        case 0x5B:
            return ")";
        case 0x5C:
            return "/";
        case 0x5D:
            return "*";
        case 0x5E:
            return "+";
        default:
            return std::nullopt;
    }
}

// F1 to F10: CSI, a 1 with Shift, the key's digit and a tilde.
std::string FunctionKey(UWORD code, bool shift) {
    const char digit = static_cast<char>('0' + (code - RAWKEY_F1));
    std::string sequence(1, static_cast<char>(CSI));
    if (shift) {
        sequence += '1';
    }
    sequence += digit;
    sequence += '~';
    return sequence;
}

// The bytes a key gives, without regard to the buffer.
std::string Translate(UWORD code, UWORD qualifier, const DeadKeyPrefix* prefix) {
    const bool shift = qualifier & kShift;
    const bool alt = qualifier & kAlt;
    const Accent* accent =
        prefix != nullptr ? DeadKey(prefix->prev1DownCode, prefix->prev1DownQual) : nullptr;
    if (accent != nullptr && code == RAWKEY_SPACE && !alt) {
        return std::string(1, static_cast<char>(accent->spacing));
    }
    if (std::optional<std::string> fixed = FixedKey(code, qualifier)) {
        return *fixed;
    }
    if (code >= RAWKEY_F1 && code <= RAWKEY_F10) {
        return FunctionKey(code, shift);
    }
    if (DeadKey(code, qualifier) != nullptr) {
        return "";  // it only changes the next key
    }
    const UBYTE c = CharOf(code, qualifier);
    if (c == 0) {
        return "";
    }
    if (accent != nullptr && !alt) {
        if (const char* at = std::strchr(accent->bases, static_cast<char>(c))) {
            return std::string(1, accent->results[at - accent->bases]);
        }
    }
    return std::string(1, static_cast<char>(c));
}

}  // namespace

std::string DesktopTranslate(UWORD code, UWORD qualifier, const DesktopKey& key) {
    if (key.length > 0) {
        return std::string(reinterpret_cast<const char*>(key.chars),
                           std::min<size_t>(key.length, sizeof(key.chars)));
    }
    // A key of the typing block that gives nothing in the desktop's layout is a dead key (the
    // desktop composes the accented letter itself) or a combination the layout ignores.
    if (code < RAWKEY_SPACE) {
        return "";
    }
    return Translate(code, qualifier, nullptr);
}

namespace {

bool SingleKeyFor(UBYTE character, KeyStroke& stroke) {
    const struct {
        UBYTE c;
        UWORD code;
        UWORD qualifier;
    } specials[] = {{'\r', RAWKEY_RETURN, 0}, {'\n', RAWKEY_RETURN, 0},
                    {'\t', RAWKEY_TAB, 0},    {'\b', RAWKEY_BACKSPACE, 0},
                    {0x1B, RAWKEY_ESCAPE, 0}, {0x7F, RAWKEY_DELETE, 0},
                    {' ', RAWKEY_SPACE, 0},   {0xA0, RAWKEY_SPACE, IEQUALIFIER_LALT}};
    for (const auto& s : specials) {
        if (s.c == character) {
            stroke = KeyStroke{s.code, s.qualifier};
            return true;
        }
    }
    const UWORD layers[] = {0, IEQUALIFIER_LSHIFT, IEQUALIFIER_LALT,
                            IEQUALIFIER_LSHIFT | IEQUALIFIER_LALT};
    for (UWORD q : layers) {
        for (UWORD code = 0; code < 0x40; ++code) {
            // Main-block keys only: a digit comes from the top row, not the numeric pad.
            const bool pad = code == 0x0F || code == 0x1D || code == 0x1E || code == 0x1F ||
                             code == 0x2D || code == 0x2E || code == 0x2F || code >= 0x3C;
            if (!pad && DeadKey(code, q) == nullptr && CharOf(code, q) == character) {
                stroke = KeyStroke{code, q};
                return true;
            }
        }
    }
    return false;
}

}  // namespace

bool KeysFor(UBYTE character, std::vector<KeyStroke>& strokes) {
    KeyStroke stroke{};
    if (SingleKeyFor(character, stroke)) {
        strokes.push_back(stroke);
        return true;
    }
    for (const Accent& a : kAccents) {
        for (size_t i = 0; a.results[i] != '\0'; ++i) {
            if (static_cast<UBYTE>(a.results[i]) == character &&
                SingleKeyFor(static_cast<UBYTE>(a.bases[i]), stroke)) {
                strokes.push_back(KeyStroke{a.code, IEQUALIFIER_LALT});
                strokes.push_back(stroke);
                return true;
            }
        }
    }
    return false;
}

}  // namespace tessella::keymap

WORD MapRawKey(const InputEvent* event, STRPTR buffer, LONG length, const KeyMap* /*keyMap*/) {
    if (event == nullptr || event->ie_Class != IECLASS_RAWKEY ||
        (event->ie_Code & IECODE_UP_PREFIX)) {
        return 0;
    }
    const auto* prefix = static_cast<const DeadKeyPrefix*>(event->ie_EventAddress);
    std::string out;
    if (prefix != nullptr && prefix->desktop.known) {
        out = tessella::keymap::DesktopTranslate(event->ie_Code, event->ie_Qualifier,
                                                 prefix->desktop);
    } else {
        out = tessella::keymap::Translate(event->ie_Code, event->ie_Qualifier, prefix);
    }
    if (static_cast<LONG>(out.size()) > length || (buffer == nullptr && !out.empty())) {
        return -1;
    }
    if (!out.empty()) {
        std::memcpy(buffer, out.data(), out.size());  // a caller may pass no buffer at all
    }
    return static_cast<WORD>(out.size());
}
