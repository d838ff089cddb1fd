#pragma once
// keymap.library and input events. Raw key codes are the Amiga ones; MapRawKey uses the US
// keymap: Latin-1 characters, dead keys on Alt+F/G/H/J/K, CSI sequences for special keys.

#include "devices/timer.h"
#include "exec.h"

// What the desktop's keyboard layout made of a key, for a key that came from a desktop
// window: the raw code says where the key is, these characters what it means there.
struct DesktopKey {
    UBYTE known;       // non-zero: the layout decided; MapRawKey gives chars, not the US keymap's
    UBYTE length;      // 0 for a dead key, or a key that gives no character in the layout
    UBYTE chars[6];    // Latin-1
    UBYTE plain;       // the key's character without modifiers (Latin-1), 0 when it has none
    UBYTE pasted = 0;  // non-zero: a character pasted from the desktop's clipboard, not typed
};

// What a raw-key IntuiMessage carries in IAddress: the keys pressed before this one, which
// MapRawKey needs for dead keys, and the desktop layout's reading of the key. Pass it on
// untouched as ie_EventAddress.
struct DeadKeyPrefix {
    UBYTE prev1DownCode;
    UBYTE prev1DownQual;
    UBYTE prev2DownCode;
    UBYTE prev2DownQual;
    DesktopKey desktop;
};

struct InputEvent {
    InputEvent* ie_NextEvent;
    UBYTE ie_Class;
    UBYTE ie_SubClass;
    UWORD ie_Code;
    UWORD ie_Qualifier;
    union {
        struct {
            WORD ie_x;
            WORD ie_y;
        } ie_xy;
        APTR ie_addr;
    } ie_position;
    TimeVal ie_TimeStamp;
};

#define ie_X ie_position.ie_xy.ie_x
#define ie_Y ie_position.ie_xy.ie_y
#define ie_EventAddress ie_position.ie_addr

#define IECLASS_NULL 0x00
#define IECLASS_RAWKEY 0x01
#define IECLASS_RAWMOUSE 0x02
#define IECLASS_EVENT 0x03
#define IECLASS_POINTERPOS 0x04
#define IECLASS_TIMER 0x06
#define IECLASS_CLOSEWINDOW 0x0B  // the desktop asks to close the program's window
#define IECLASS_DISKREMOVED 0x0F
#define IECLASS_DISKINSERTED 0x10

#define IECODE_UP_PREFIX 0x80
#define IECODE_KEY_CODE_FIRST 0x00
#define IECODE_KEY_CODE_LAST 0x77
#define IECODE_LBUTTON 0x68
#define IECODE_RBUTTON 0x69
#define IECODE_MBUTTON 0x6A
#define IECODE_NOBUTTON 0xFF

#define IEQUALIFIER_LSHIFT 0x0001
#define IEQUALIFIER_RSHIFT 0x0002
#define IEQUALIFIER_CAPSLOCK 0x0004
#define IEQUALIFIER_CONTROL 0x0008
#define IEQUALIFIER_LALT 0x0010
#define IEQUALIFIER_RALT 0x0020
#define IEQUALIFIER_LCOMMAND 0x0040
#define IEQUALIFIER_RCOMMAND 0x0080
#define IEQUALIFIER_NUMERICPAD 0x0100
#define IEQUALIFIER_REPEAT 0x0200
#define IEQUALIFIER_INTERRUPT 0x0400
#define IEQUALIFIER_MULTIBROADCAST 0x0800
#define IEQUALIFIER_MIDBUTTON 0x1000
#define IEQUALIFIER_RBUTTON 0x2000
#define IEQUALIFIER_LEFTBUTTON 0x4000
#define IEQUALIFIER_RELATIVEMOUSE 0x8000

// Raw key codes of the keys the toolkit names.
#define RAWKEY_P 0x19
#define RAWKEY_G 0x24
#define RAWKEY_SPACE 0x40
#define RAWKEY_BACKSPACE 0x41
#define RAWKEY_TAB 0x42
#define RAWKEY_ENTER 0x43
#define RAWKEY_RETURN 0x44
#define RAWKEY_ESCAPE 0x45
#define RAWKEY_DELETE 0x46
#define RAWKEY_INSERT 0x47
#define RAWKEY_PAGEUP 0x48
#define RAWKEY_PAGEDOWN 0x49
#define RAWKEY_F11 0x4B
#define RAWKEY_UP 0x4C
#define RAWKEY_DOWN 0x4D
#define RAWKEY_RIGHT 0x4E
#define RAWKEY_LEFT 0x4F
#define RAWKEY_F1 0x50
#define RAWKEY_F10 0x59
#define RAWKEY_HELP 0x5F
#define RAWKEY_LSHIFT 0x60
#define RAWKEY_RSHIFT 0x61
#define RAWKEY_CAPSLOCK 0x62
#define RAWKEY_CONTROL 0x63
#define RAWKEY_LALT 0x64
#define RAWKEY_RALT 0x65
#define RAWKEY_LAMIGA 0x66
#define RAWKEY_RAMIGA 0x67
#define RAWKEY_F12 0x6F
#define RAWKEY_HOME 0x70
#define RAWKEY_END 0x71

#define CSI 0x9B

struct KeyMap;  // only the default (US) keymap exists; pass null

// Translates a raw-key event into Latin-1 characters. Returns their number (0 for key releases
// and dead keys), or -1 when they do not fit in length bytes. A key from a desktop window gives
// what the desktop's layout gave it; keys that give no character there (Return, cursor and
// function keys, ...) still give the US keymap's control codes and CSI sequences.
WORD MapRawKey(const InputEvent* event, STRPTR buffer, LONG length, const KeyMap* keyMap);
