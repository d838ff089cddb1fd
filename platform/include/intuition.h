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
// The time now, on the clock that stamps the windows' messages.
void CurrentTime(ULONG* seconds, ULONG* micros);
// Linux only: TRUE when the screens are shown in a desktop window; FALSE when no display could
// be opened (none named, or one that does not answer) and they are kept off-screen, as in the
// tests. A program a user started has nothing to show then, and nothing the user could close:
// it should say so and end. May be called before the first screen opens.
BOOL ScreensOnDesktop(void);

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

// ---- Gadgets -------------------------------------------------------------------------------

struct Gadget {
    Gadget* NextGadget;
    WORD LeftEdge;  // relative to the window's outer top-left corner
    WORD TopEdge;
    WORD Width;
    WORD Height;
    UWORD Flags;
    UWORD Activation;
    UWORD GadgetType;
    APTR GadgetRender;
    APTR SelectRender;
    IntuiText* GadgetText;
    LONG MutualExclude;
    APTR SpecialInfo;
    UWORD GadgetID;
    APTR UserData;
};

#define GFLG_GADGHIGHBITS 0x0003
#define GFLG_GADGHCOMP 0x0000
#define GFLG_GADGHBOX 0x0001
#define GFLG_GADGHIMAGE 0x0002
#define GFLG_GADGHNONE 0x0003
#define GFLG_GADGIMAGE 0x0004
#define GFLG_RELBOTTOM 0x0008
#define GFLG_RELRIGHT 0x0010
#define GFLG_RELWIDTH 0x0020
#define GFLG_RELHEIGHT 0x0040
#define GFLG_SELECTED 0x0080
#define GFLG_DISABLED 0x0100
#define GFLG_TABCYCLE 0x0200
#define GFLG_STRINGEXTEND 0x0400
#define GFLG_IMAGEDISABLE 0x0800
#define GFLG_LABELITEXT 0x0000
#define GFLG_LABELSTRING 0x1000
#define GFLG_LABELIMAGE 0x2000
#define GFLG_RELSPECIAL 0x4000
#define GFLG_EXTENDED 0x8000

#define GACT_RELVERIFY 0x0001
#define GACT_IMMEDIATE 0x0002
#define GACT_ENDGADGET 0x0004
#define GACT_FOLLOWMOUSE 0x0008
#define GACT_RIGHTBORDER 0x0010
#define GACT_LEFTBORDER 0x0020
#define GACT_TOPBORDER 0x0040
#define GACT_BOTTOMBORDER 0x0080
#define GACT_TOGGLESELECT 0x0100
#define GACT_STRINGLEFT 0x0000
#define GACT_STRINGCENTER 0x0200
#define GACT_STRINGRIGHT 0x0400
#define GACT_LONGINT 0x0800
#define GACT_ALTKEYMAP 0x1000
#define GACT_BOOLEXTEND 0x2000
#define GACT_ACTIVEGADGET 0x4000

#define GTYP_GADGETTYPE 0xFC00
#define GTYP_SYSGADGET 0x8000
#define GTYP_SCRGADGET 0x4000
#define GTYP_GZZGADGET 0x2000
#define GTYP_REQGADGET 0x1000
#define GTYP_GTYPEMASK 0x0007
#define GTYP_BOOLGADGET 0x0001
#define GTYP_GADGET0002 0x0002
#define GTYP_PROPGADGET 0x0003
#define GTYP_STRGADGET 0x0004
#define GTYP_CUSTOMGADGET 0x0005

// Attributes of gadgets, as the gadget classes take them.
#define GA_Dummy (TAG_USER + 0x30000)
#define GA_Left (GA_Dummy + 1)
#define GA_RelRight (GA_Dummy + 2)
#define GA_Top (GA_Dummy + 3)
#define GA_RelBottom (GA_Dummy + 4)
#define GA_Width (GA_Dummy + 5)
#define GA_RelWidth (GA_Dummy + 6)
#define GA_Height (GA_Dummy + 7)
#define GA_RelHeight (GA_Dummy + 8)
#define GA_Text (GA_Dummy + 9)
#define GA_Image (GA_Dummy + 10)
#define GA_Border (GA_Dummy + 11)
#define GA_SelectRender (GA_Dummy + 12)
#define GA_Highlight (GA_Dummy + 13)
#define GA_Disabled (GA_Dummy + 14)
#define GA_GZZGadget (GA_Dummy + 15)
#define GA_ID (GA_Dummy + 16)
#define GA_UserData (GA_Dummy + 17)
#define GA_SpecialInfo (GA_Dummy + 18)
#define GA_Selected (GA_Dummy + 19)
#define GA_EndGadget (GA_Dummy + 20)
#define GA_Immediate (GA_Dummy + 21)
#define GA_RelVerify (GA_Dummy + 22)
#define GA_FollowMouse (GA_Dummy + 23)
#define GA_TabCycle (GA_Dummy + 36)

#define PGA_Dummy (TAG_USER + 0x31000)
#define PGA_Freedom (PGA_Dummy + 1)
#define LORIENT_NONE 0
#define LORIENT_HORIZ 1
#define LORIENT_VERT 2
#define FREEHORIZ 0x0002
#define FREEVERT 0x0004

// Adds gadgets in front of the one at position (~0: at the end); numGad -1 takes the whole
// chain. Returns the position they took.
UWORD AddGList(Window* window, Gadget* gadget, UWORD position, WORD numGad, Requester* req);
UWORD AddGadget(Window* window, Gadget* gadget, UWORD position);
// Unlinks numGad gadgets (-1: all that follow) starting at gadget; the removed run stays
// chained as it was, its last gadget ending it. Returns the position, or ~0 when not found.
UWORD RemoveGList(Window* window, Gadget* gadget, WORD numGad);
UWORD RemoveGadget(Window* window, Gadget* gadget);
// Draws the gadgets from gadget on (numGad -1: all) in the window.
void RefreshGList(Gadget* gadget, Window* window, Requester* req, WORD numGad);
void RefreshGadgets(Gadget* gadget, Window* window, Requester* req);
// Gives a string or integer gadget the keyboard; FALSE when the gadget cannot take it.
BOOL ActivateGadget(Gadget* gadget, Window* window, Requester* req);
void OnGadget(Gadget* gadget, Window* window, Requester* req);
void OffGadget(Gadget* gadget, Window* window, Requester* req);

// ---- Refresh -------------------------------------------------------------------------------

// Windows keep their picture, so a refresh has nothing to repair: these only pair up.
void BeginRefresh(Window* window);
void EndRefresh(Window* window, BOOL complete);

// ---- Menus ---------------------------------------------------------------------------------

struct MenuItem;

struct Menu {
    Menu* NextMenu;
    WORD LeftEdge;
    WORD TopEdge;
    WORD Width;
    WORD Height;
    UWORD Flags;
    CONST_STRPTR MenuName;
    MenuItem* FirstItem;
    WORD JazzX;
    WORD JazzY;
    WORD BeatX;
    WORD BeatY;
};

#define MENUENABLED 0x0001
#define MIDRAWN 0x0100

struct MenuItem {
    MenuItem* NextItem;
    WORD LeftEdge;  // relative to the menu's box (an item) or to the item (a sub-item)
    WORD TopEdge;
    WORD Width;
    WORD Height;
    UWORD Flags;
    LONG MutualExclude;
    APTR ItemFill;  // an IntuiText (ITEMTEXT) or an Image
    APTR SelectFill;
    BYTE Command;
    MenuItem* SubItem;
    UWORD NextSelect;
};

#define CHECKIT 0x0001
#define ITEMTEXT 0x0002
#define COMMSEQ 0x0004
#define MENUTOGGLE 0x0008
#define ITEMENABLED 0x0010
#define HIGHFLAGS 0x00C0
#define HIGHIMAGE 0x0000
#define HIGHCOMP 0x0040
#define HIGHBOX 0x0080
#define HIGHNONE 0x00C0
#define CHECKED 0x0100
#define ISDRAWN 0x1000
#define HIGHITEM 0x2000
#define MENUTOGGLED 0x4000

#define NOMENU 0x001F
#define NOITEM 0x003F
#define NOSUB 0x001F
#define MENUNUM(n) ((n)&0x1F)
#define ITEMNUM(n) (((n) >> 5) & 0x003F)
#define SUBNUM(n) (((n) >> 11) & 0x001F)
#define SHIFTMENU(n) ((n)&0x1F)
#define SHIFTITEM(n) (((n)&0x3F) << 5)
#define SHIFTSUB(n) (((n)&0x1F) << 11)
#define FULLMENUNUM(menu, item, sub) (SHIFTSUB(sub) | SHIFTITEM(item) | SHIFTMENU(menu))

// The right button shows the strip of the active window (unless it has WFLG_RMBTRAP); such a
// window gets IDCMP_MENUPICK instead of the menu button's IDCMP_MOUSEBUTTONS.
BOOL SetMenuStrip(Window* window, Menu* menu);
BOOL ResetMenuStrip(Window* window, Menu* menu);
void ClearMenuStrip(Window* window);
// The item (or sub-item) a menu number names; null for MENUNULL, NOITEM or a number past the
// strip's end.
MenuItem* ItemAddress(Menu* menuStrip, UWORD menuNumber);
void OnMenu(Window* window, UWORD menuNumber);
void OffMenu(Window* window, UWORD menuNumber);

// ---- Requesters in a window --------------------------------------------------------------

struct Border;

// A requester blocks its window's input while it is up: the window's gadgets take no clicks
// or keys (a click on one reaches the window as a plain mouse button), its menu strip does not
// open, its command keys pick nothing and no keys reach it. The window keeps hearing its mouse
// buttons, so that the program can tell the user why nothing happens.
// This platform draws no requester inside a window: Request takes only the empty requester,
// the one that blocks and shows nothing (no gadgets, border, text or image), and refuses others.
struct Requester {
    Requester* OlderRequest;
    WORD LeftEdge;
    WORD TopEdge;
    WORD Width;
    WORD Height;
    WORD RelLeft;
    WORD RelTop;
    Gadget* ReqGadget;
    Border* ReqBorder;
    IntuiText* ReqText;
    UWORD Flags;
    UBYTE BackFill;
    struct Layer* ReqLayer;
    UBYTE ReqPad1[32];
    BitMap* ImageBMap;
    Window* RWindow;
    Image* ReqImage;
    UBYTE ReqPad2[32];
};

#define POINTREL 0x0001
#define PREDRAWN 0x0002
#define NOISYREQ 0x0004
#define SIMPLEREQ 0x0010
#define USEREQIMAGE 0x0020
#define NOREQBACKFILL 0x0040
#define REQOFFWINDOW 0x1000
#define REQACTIVE 0x2000

// Clears the structure.
void InitRequester(Requester* req);
// Puts the requester up in the window (REQACTIVE; the window's ReqCount counts it) and sends
// IDCMP_REQSET. FALSE for a requester this platform cannot show or one already up.
BOOL Request(Requester* req, Window* window);
// Takes it down again (IDCMP_REQCLEAR); the window's input is free once its last one is gone.
void EndRequest(Requester* req, Window* window);

// ---- System requesters ---------------------------------------------------------------------

struct EasyStruct {
    ULONG es_StructSize;
    ULONG es_Flags;
    CONST_STRPTR es_Title;
    CONST_STRPTR es_TextFormat;    // a format: %s, %ld, %lu, %lx, %c and %% take their arguments
    CONST_STRPTR es_GadgetFormat;  // button labels separated by "|"
};

// The value that ends an EasyRequestArgs argument list. No argument can equal it: it is the
// address of an object of the platform's own.
extern const char easyArgsEndMark;
#define EASYARGS_END (reinterpret_cast<IPTR>(&easyArgsEndMark))

// A requester in front of the window's screen (the default public screen without a window).
// Blocks the calling task only, until a button is pressed: 1, 2, ... for the buttons from the
// left, 0 for the rightmost. argList holds one IPTR per format argument and ends with
// EASYARGS_END; a directive with no argument left (or with no list) is shown as written, and
// nothing past the end mark is ever read. Returns -1 when the requester cannot be opened.
LONG EasyRequestArgs(Window* window, const EasyStruct* easyStruct, ULONG* idcmpPtr,
                     const IPTR* argList);
template <typename... Args>
LONG EasyRequest(Window* window, const EasyStruct* easyStruct, ULONG* idcmpPtr, Args... args) {
    const IPTR list[] = {tessella::utility::ToTagData(args)..., EASYARGS_END};
    return EasyRequestArgs(window, easyStruct, idcmpPtr, list);
}
// The same requester, left for the caller to run: it opens and returns its window (null when
// it cannot), SysReqHandler deals with its input and returns the answer as EasyRequestArgs
// does, or -2 while none is chosen (waitInput: wait for input first), and FreeSysRequest
// closes it. A task can so go on with its own work while the requester is up.
Window* BuildEasyRequestArgs(Window* window, const EasyStruct* easyStruct, ULONG idcmp,
                             const IPTR* argList);
LONG SysReqHandler(Window* window, ULONG* idcmpPtr, BOOL waitInput);
void FreeSysRequest(Window* window);
// TRUE for the positive (left) button, FALSE for the negative one; width and height are the
// requester's smallest size.
BOOL AutoRequest(Window* window, const IntuiText* body, const IntuiText* posText,
                 const IntuiText* negText, ULONG pFlag, ULONG nFlag, ULONG width, ULONG height);

#define RECOVERY_ALERT 0x00000000UL
#define DEADEND_ALERT 0x80000000UL

// string: lines of (16-bit big-endian x, 8-bit y, text, 0, continuation byte). A recoverable
// alert across the top of the front screen, height pixels high; TRUE when it is answered with
// the left button, FALSE with the right one.
BOOL DisplayAlert(ULONG alertNumber, CONST_STRPTR string, UWORD height);
