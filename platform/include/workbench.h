#pragma once
// workbench.library: windows that take files dropped on them (AppWindows). There is no
// Workbench here: the files come from the desktop, dropped on the program's desktop window,
// and reach the AppWindow under the pointer, or else the first one the program added on the
// screen shown. Each drop is one AppMessage at the port given; reply it when done.

#include "dos.h"
#include "intuition.h"

// One dropped file. wa_Lock is always null: wa_Name holds the file's whole path, in the
// program's Latin-1 text.
struct WBArg {
    BPTR wa_Lock;
    STRPTR wa_Name;
};

#define AMTYPE_APPWINDOW 7
#define AMTYPE_APPICON 8
#define AMTYPE_APPMENUITEM 9

#define AM_VERSION 1

struct AppMessage {
    Message am_Message;
    UWORD am_Type;      // AMTYPE_APPWINDOW
    IPTR am_UserData;   // as given to AddAppWindowA
    ULONG am_ID;        // as given to AddAppWindowA
    LONG am_NumArgs;    // files dropped
    WBArg* am_ArgList;  // am_NumArgs of them; valid until the message is replied
    UWORD am_Version;   // AM_VERSION
    UWORD am_Class;
    WORD am_MouseX;  // the pointer, relative to the window
    WORD am_MouseY;
    ULONG am_Seconds;
    ULONG am_Micros;
    ULONG am_Reserved[8];
};

struct AppWindow;  // opaque

// Null when the window or the port is missing.
AppWindow* AddAppWindowA(ULONG id, IPTR userData, Window* window, MsgPort* port,
                         const TagItem* tags);
// Messages already sent stay at the port until the program replies them.
BOOL RemoveAppWindow(AppWindow* appWindow);
