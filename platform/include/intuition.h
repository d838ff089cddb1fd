#pragma once
// intuition.library: screens, windows, IDCMP messages, pointers and images.
// An input task owns the pointer and the active window; it turns input events into
// IntuiMessages on each window's UserPort, only for the classes the window asked for.

#include "graphics.h"
#include "keymap.h"

struct Gadget;
struct Menu;
struct Requester;
struct NewScreen;
struct NewWindow;
struct Window;

struct Image {
    WORD LeftEdge;
    WORD TopEdge;
    WORD Width;
    WORD Height;
    WORD Depth;
    // Depth planes, each Height rows of (Width + 15) / 16 words; bit 15 is the leftmost pixel.
    UWORD* ImageData;
    UBYTE PlanePick;   // the pens' bit planes that receive the image's planes, lowest first
    UBYTE PlaneOnOff;  // the value of the bit planes not picked
    Image* NextImage;
};

struct IntuiText {
    UBYTE FrontPen;
    UBYTE BackPen;
    UBYTE DrawMode;
    WORD LeftEdge;
    WORD TopEdge;
    TextAttr* ITextFont;  // null: the default font
    STRPTR IText;
    IntuiText* NextText;
};

struct Screen {
    Screen* NextScreen;
    Window* FirstWindow;
    WORD LeftEdge;
    WORD TopEdge;
    WORD Width;
    WORD Height;
    WORD MouseY;
    WORD MouseX;
    UWORD Flags;
    UBYTE* Title;
    UBYTE* DefaultTitle;
    BYTE BarHeight;
    BYTE BarVBorder;
    BYTE BarHBorder;
    BYTE MenuVBorder;
    BYTE MenuHBorder;
    BYTE WBorTop;
    BYTE WBorLeft;
    BYTE WBorRight;
    BYTE WBorBottom;
    TextAttr* Font;
    struct ViewPort ViewPort;
    struct RastPort RastPort;
    UBYTE DetailPen;
    UBYTE BlockPen;
    APTR UserData;
};

#define WBENCHSCREEN 0x0001
#define PUBLICSCREEN 0x0002
#define CUSTOMSCREEN 0x000F
#define SCREENTYPE 0x000F
#define SHOWTITLE 0x0010
#define BEEPING 0x0020

struct IntuiMessage;

struct Window {
    Window* NextWindow;
    WORD LeftEdge;
    WORD TopEdge;
    WORD Width;
    WORD Height;
    WORD MouseY;
    WORD MouseX;
    WORD MinWidth;
    WORD MinHeight;
    UWORD MaxWidth;
    UWORD MaxHeight;
    ULONG Flags;
    Menu* MenuStrip;
    UBYTE* Title;
    Requester* FirstRequest;
    Requester* DMRequest;
    WORD ReqCount;
    Screen* WScreen;
    RastPort* RPort;  // origin at the window's outer top-left corner, borders included
    BYTE BorderLeft;
    BYTE BorderTop;
    BYTE BorderRight;
    BYTE BorderBottom;
    RastPort* BorderRPort;
    Gadget* FirstGadget;
    Window* Parent;
    Window* Descendant;
    UWORD* Pointer;
    BYTE PtrHeight;
    BYTE PtrWidth;
    BYTE XOffset;
    BYTE YOffset;
    ULONG IDCMPFlags;
    MsgPort* UserPort;
    MsgPort* WindowPort;
    IntuiMessage* MessageKey;
    UBYTE DetailPen;
    UBYTE BlockPen;
    Image* CheckMark;
    UBYTE* ScreenTitle;
    WORD GZZMouseX;
    WORD GZZMouseY;
    WORD GZZWidth;
    WORD GZZHeight;
    UBYTE* ExtData;
    BYTE* UserData;
    struct Layer* WLayer;
    TextFont* IFont;
    ULONG MoreFlags;
};

struct IntuiMessage {
    Message ExecMessage;
    ULONG Class;
    UWORD Code;
    UWORD Qualifier;
    APTR IAddress;  // a raw key's DeadKeyPrefix; null for mouse messages
    WORD MouseX;    // relative to the window's outer top-left corner
    WORD MouseY;
    ULONG Seconds;
    ULONG Micros;
    Window* IDCMPWindow;
    IntuiMessage* SpecialLink;
};

#define IDCMP_SIZEVERIFY 0x00000001UL
#define IDCMP_NEWSIZE 0x00000002UL
#define IDCMP_REFRESHWINDOW 0x00000004UL
#define IDCMP_MOUSEBUTTONS 0x00000008UL
#define IDCMP_MOUSEMOVE 0x00000010UL
#define IDCMP_GADGETDOWN 0x00000020UL
#define IDCMP_GADGETUP 0x00000040UL
#define IDCMP_REQSET 0x00000080UL
#define IDCMP_MENUPICK 0x00000100UL
#define IDCMP_CLOSEWINDOW 0x00000200UL
#define IDCMP_RAWKEY 0x00000400UL
#define IDCMP_REQVERIFY 0x00000800UL
#define IDCMP_REQCLEAR 0x00001000UL
#define IDCMP_MENUVERIFY 0x00002000UL
#define IDCMP_NEWPREFS 0x00004000UL
#define IDCMP_DISKINSERTED 0x00008000UL
#define IDCMP_DISKREMOVED 0x00010000UL
#define IDCMP_WBENCHMESSAGE 0x00020000UL
#define IDCMP_ACTIVEWINDOW 0x00040000UL
#define IDCMP_INACTIVEWINDOW 0x00080000UL
#define IDCMP_DELTAMOVE 0x00100000UL
#define IDCMP_VANILLAKEY 0x00200000UL
#define IDCMP_INTUITICKS 0x00400000UL
#define IDCMP_IDCMPUPDATE 0x00800000UL
#define IDCMP_MENUHELP 0x01000000UL
#define IDCMP_CHANGEWINDOW 0x02000000UL
#define IDCMP_GADGETHELP 0x04000000UL

#define SELECTDOWN (IECODE_LBUTTON)
#define SELECTUP (IECODE_LBUTTON | IECODE_UP_PREFIX)
#define MENUDOWN (IECODE_RBUTTON)
#define MENUUP (IECODE_RBUTTON | IECODE_UP_PREFIX)
#define MIDDLEDOWN (IECODE_MBUTTON)
#define MIDDLEUP (IECODE_MBUTTON | IECODE_UP_PREFIX)
#define MENUNULL 0xFFFF

#define WFLG_SIZEGADGET 0x00000001UL
#define WFLG_DRAGBAR 0x00000002UL
#define WFLG_DEPTHGADGET 0x00000004UL
#define WFLG_CLOSEGADGET 0x00000008UL
#define WFLG_SIZEBRIGHT 0x00000010UL
#define WFLG_SIZEBBOTTOM 0x00000020UL
#define WFLG_SMART_REFRESH 0x00000000UL
#define WFLG_SIMPLE_REFRESH 0x00000040UL
#define WFLG_SUPER_BITMAP 0x00000080UL
#define WFLG_BACKDROP 0x00000100UL
#define WFLG_REPORTMOUSE 0x00000200UL
#define WFLG_GIMMEZEROZERO 0x00000400UL
#define WFLG_BORDERLESS 0x00000800UL
#define WFLG_ACTIVATE 0x00001000UL
#define WFLG_WINDOWACTIVE 0x00002000UL
#define WFLG_INREQUEST 0x00004000UL
#define WFLG_MENUSTATE 0x00008000UL
#define WFLG_RMBTRAP 0x00010000UL
#define WFLG_NOCAREREFRESH 0x00020000UL
#define WFLG_NEWLOOKMENUS 0x00200000UL
#define WFLG_ZOOMED 0x10000000UL
#define WFLG_HASZOOM 0x20000000UL

#define WA_Dummy (TAG_USER + 99)
#define WA_Left (WA_Dummy + 1)
#define WA_Top (WA_Dummy + 2)
#define WA_Width (WA_Dummy + 3)
#define WA_Height (WA_Dummy + 4)
#define WA_DetailPen (WA_Dummy + 5)
#define WA_BlockPen (WA_Dummy + 6)
#define WA_IDCMP (WA_Dummy + 7)
#define WA_Flags (WA_Dummy + 8)
#define WA_Gadgets (WA_Dummy + 9)
#define WA_Checkmark (WA_Dummy + 10)
#define WA_Title (WA_Dummy + 11)
#define WA_ScreenTitle (WA_Dummy + 12)
#define WA_CustomScreen (WA_Dummy + 13)
#define WA_SuperBitMap (WA_Dummy + 14)
#define WA_MinWidth (WA_Dummy + 15)
#define WA_MinHeight (WA_Dummy + 16)
#define WA_MaxWidth (WA_Dummy + 17)
#define WA_MaxHeight (WA_Dummy + 18)
#define WA_InnerWidth (WA_Dummy + 19)
#define WA_InnerHeight (WA_Dummy + 20)
#define WA_PubScreenName (WA_Dummy + 21)
#define WA_PubScreen (WA_Dummy + 22)
#define WA_PubScreenFallBack (WA_Dummy + 23)
#define WA_WindowName (WA_Dummy + 24)
#define WA_Colors (WA_Dummy + 25)
#define WA_Zoom (WA_Dummy + 26)        // WORD[4]: left, top, width, height of the other box
#define WA_MouseQueue (WA_Dummy + 27)  // unreplied MOUSEMOVE messages kept at most (5)
#define WA_BackFill (WA_Dummy + 28)
#define WA_RptQueue (WA_Dummy + 29)
#define WA_SizeGadget (WA_Dummy + 30)
#define WA_DragBar (WA_Dummy + 31)
#define WA_DepthGadget (WA_Dummy + 32)
#define WA_CloseGadget (WA_Dummy + 33)
#define WA_Backdrop (WA_Dummy + 34)
#define WA_ReportMouse (WA_Dummy + 35)
#define WA_NoCareRefresh (WA_Dummy + 36)
#define WA_Borderless (WA_Dummy + 37)
#define WA_Activate (WA_Dummy + 38)
#define WA_RMBTrap (WA_Dummy + 39)
#define WA_WBenchWindow (WA_Dummy + 40)
#define WA_SimpleRefresh (WA_Dummy + 41)
#define WA_SmartRefresh (WA_Dummy + 42)
#define WA_SizeBRight (WA_Dummy + 43)
#define WA_SizeBBottom (WA_Dummy + 44)
#define WA_AutoAdjust (WA_Dummy + 45)
#define WA_GimmeZeroZero (WA_Dummy + 46)
#define WA_MenuHelp (WA_Dummy + 47)
#define WA_NewLookMenus (WA_Dummy + 48)
#define WA_AmigaKey (WA_Dummy + 49)
#define WA_NotifyDepth (WA_Dummy + 50)

#define SA_Dummy (TAG_USER + 32)
#define SA_Left (SA_Dummy + 1)
#define SA_Top (SA_Dummy + 2)
#define SA_Width (SA_Dummy + 3)
#define SA_Height (SA_Dummy + 4)
#define SA_Depth (SA_Dummy + 5)
#define SA_DetailPen (SA_Dummy + 6)
#define SA_BlockPen (SA_Dummy + 7)
#define SA_Title (SA_Dummy + 8)
#define SA_Colors (SA_Dummy + 9)
#define SA_ErrorCode (SA_Dummy + 10)
#define SA_Font (SA_Dummy + 11)
#define SA_SysFont (SA_Dummy + 12)
#define SA_Type (SA_Dummy + 13)
#define SA_BitMap (SA_Dummy + 14)
#define SA_PubName (SA_Dummy + 15)
#define SA_PubSig (SA_Dummy + 16)
#define SA_PubTask (SA_Dummy + 17)
#define SA_DisplayID (SA_Dummy + 18)
#define SA_DClip (SA_Dummy + 19)
#define SA_Overscan (SA_Dummy + 20)
#define SA_ShowTitle (SA_Dummy + 22)
#define SA_Behind (SA_Dummy + 23)
#define SA_Quiet (SA_Dummy + 24)
#define SA_AutoScroll (SA_Dummy + 25)
#define SA_Pens (SA_Dummy + 26)
#define SA_FullPalette (SA_Dummy + 27)
#define SA_Colors32 (SA_Dummy + 35)
#define SA_LikeWorkbench (SA_Dummy + 39)

// ---- Screens -------------------------------------------------------------------------------

// Opens a screen (8-bit chunky, any depth up to 8) and brings it to the front.
Screen* OpenScreenTagList(const NewScreen* newScreen, const TagItem* tagList);
template <typename... Args>
Screen* OpenScreenTags(const NewScreen* newScreen, Args... args) {
    IPTR raw[] = {tessella::utility::ToTagData(args)..., TAG_DONE, 0};
    TagItem tags[sizeof(raw) / sizeof(raw[0]) / 2];
    for (size_t i = 0; i < sizeof(tags) / sizeof(tags[0]); ++i) {
        tags[i] = TagItem{static_cast<Tag>(raw[2 * i]), raw[2 * i + 1]};
    }
    return OpenScreenTagList(newScreen, tags);
}
// Fails (FALSE) while windows are open on the screen.
BOOL CloseScreen(Screen* screen);
// The default public screen (name null or "Workbench"): the program's own screen once it is
// open, otherwise a plain 800 x 600 screen made on first use.
Screen* LockPubScreen(CONST_STRPTR name);
void UnlockPubScreen(CONST_STRPTR name, Screen* screen);
void MoveScreen(Screen* screen, LONG dx, LONG dy);
void ScreenToFront(Screen* screen);
void ScreenToBack(Screen* screen);
// Flashes a screen, or every screen when null.
void DisplayBeep(Screen* screen);

// ---- Windows -------------------------------------------------------------------------------

Window* OpenWindowTagList(const NewWindow* newWindow, const TagItem* tagList);
template <typename... Args>
Window* OpenWindowTags(const NewWindow* newWindow, Args... args) {
    IPTR raw[] = {tessella::utility::ToTagData(args)..., TAG_DONE, 0};
    TagItem tags[sizeof(raw) / sizeof(raw[0]) / 2];
    for (size_t i = 0; i < sizeof(tags) / sizeof(tags[0]); ++i) {
        tags[i] = TagItem{static_cast<Tag>(raw[2 * i]), raw[2 * i + 1]};
    }
    return OpenWindowTagList(newWindow, tags);
}
// Messages still waiting at the window's port are dropped with it.
void CloseWindow(Window* window);
void ChangeWindowBox(Window* window, LONG left, LONG top, LONG width, LONG height);
void MoveWindow(Window* window, LONG dx, LONG dy);
void SizeWindow(Window* window, LONG dx, LONG dy);
void WindowToFront(Window* window);
void WindowToBack(Window* window);
void MoveWindowInFrontOf(Window* window, Window* behindWindow);
void ActivateWindow(Window* window);
// (CONST_STRPTR)-1 leaves a title unchanged; null blanks it.
void SetWindowTitles(Window* window, CONST_STRPTR windowTitle, CONST_STRPTR screenTitle);
// Toggles between the window's box and its other one (WA_Zoom, or the whole screen).
void ZipWindow(Window* window);
void RefreshWindowFrame(Window* window);
// 0 removes the window's port (dropping waiting messages); other flags create it if needed.
BOOL ModifyIDCMP(Window* window, ULONG flags);
// A sprite image: height rows of two words (plane 0 and plane 1) after two control words.
void SetPointer(Window* window, UWORD* pointer, LONG height, LONG width, LONG xOffset,
                LONG yOffset);
void ClearPointer(Window* window);

// ---- Text and images -----------------------------------------------------------------------

LONG IntuiTextLength(IntuiText* iText);
void PrintIText(RastPort* rp, IntuiText* iText, LONG left, LONG top);
void DrawImage(RastPort* rp, Image* image, LONG leftOffset, LONG topOffset);
