#pragma once
// gadtools.library: gadgets of the standard kinds, menus built from a table, and the message
// filtering that goes with them. The input task runs the gadgets; every call here is safe from
// any task.

#include "intuition.h"

#define GENERIC_KIND 0
#define BUTTON_KIND 1
#define CHECKBOX_KIND 2
#define INTEGER_KIND 3
#define LISTVIEW_KIND 4
#define MX_KIND 5
#define NUMBER_KIND 6
#define CYCLE_KIND 7
#define PALETTE_KIND 8
#define SCROLLER_KIND 9
#define SLIDER_KIND 11
#define STRING_KIND 12
#define TEXT_KIND 13
#define NUM_KINDS 14

// The IDCMP classes each kind needs its window to ask for.
#define ARROWIDCMP (IDCMP_GADGETUP | IDCMP_GADGETDOWN | IDCMP_INTUITICKS | IDCMP_MOUSEBUTTONS)
#define BUTTONIDCMP IDCMP_GADGETUP
#define CHECKBOXIDCMP IDCMP_GADGETUP
#define INTEGERIDCMP IDCMP_GADGETUP
#define LISTVIEWIDCMP (IDCMP_GADGETUP | IDCMP_GADGETDOWN | IDCMP_MOUSEMOVE | ARROWIDCMP)
#define MXIDCMP IDCMP_GADGETDOWN
#define NUMBERIDCMP 0UL
#define CYCLEIDCMP IDCMP_GADGETUP
#define PALETTEIDCMP IDCMP_GADGETUP
#define SCROLLERIDCMP (IDCMP_GADGETUP | IDCMP_GADGETDOWN | IDCMP_MOUSEMOVE)
#define SLIDERIDCMP (IDCMP_GADGETUP | IDCMP_GADGETDOWN | IDCMP_MOUSEMOVE)
#define STRINGIDCMP IDCMP_GADGETUP
#define TEXTIDCMP 0UL

struct NewGadget {
    WORD ng_LeftEdge;  // relative to the window's outer top-left corner
    WORD ng_TopEdge;
    WORD ng_Width;
    WORD ng_Height;
    CONST_STRPTR ng_GadgetText;  // the label; "_" before a letter underlines it with GT_Underscore
    TextAttr* ng_TextAttr;       // null: the screen's font
    UWORD ng_GadgetID;
    ULONG ng_Flags;  // PLACETEXT_...
    APTR ng_VisualInfo;
    APTR ng_UserData;
};

#define PLACETEXT_LEFT 0x0001
#define PLACETEXT_RIGHT 0x0002
#define PLACETEXT_ABOVE 0x0004
#define PLACETEXT_BELOW 0x0008
#define PLACETEXT_IN 0x0010
#define NG_HIGHLABEL 0x0020

#define GT_TagBase (TAG_USER + 0x80000)
#define GTVI_NewWindow (GT_TagBase + 1)
#define GTVI_NWTagList (GT_TagBase + 2)
#define GTCB_Checked (GT_TagBase + 4)
#define GTLV_Top (GT_TagBase + 5)
#define GTLV_Labels (GT_TagBase + 6)  // a List of Nodes named by ln_Name; ~0 detaches it
#define GTLV_ReadOnly (GT_TagBase + 7)
#define GTLV_ScrollWidth (GT_TagBase + 8)
#define GTMX_Labels (GT_TagBase + 9)  // a null-terminated array of strings
#define GTMX_Active (GT_TagBase + 10)
#define GTTX_Text (GT_TagBase + 11)
#define GTTX_CopyText (GT_TagBase + 12)
#define GTNM_Number (GT_TagBase + 13)
#define GTCY_Labels (GT_TagBase + 14)  // a null-terminated array of strings
#define GTCY_Active (GT_TagBase + 15)
#define GTSC_Top (GT_TagBase + 21)
#define GTSC_Total (GT_TagBase + 22)
#define GTSC_Visible (GT_TagBase + 23)
#define GTSC_Overlap (GT_TagBase + 24)
#define GTSL_Min (GT_TagBase + 38)
#define GTSL_Max (GT_TagBase + 39)
#define GTSL_Level (GT_TagBase + 40)
#define GTSL_MaxLevelLen (GT_TagBase + 41)
#define GTSL_LevelFormat (GT_TagBase + 42)
#define GTSL_LevelPlace (GT_TagBase + 43)
#define GTSL_DispFunc (GT_TagBase + 44)
#define GTST_String (GT_TagBase + 45)
#define GTST_MaxChars (GT_TagBase + 46)
#define GTIN_Number (GT_TagBase + 47)
#define GTIN_MaxChars (GT_TagBase + 48)
#define GTMN_TextAttr (GT_TagBase + 49)
#define GTMN_FrontPen (GT_TagBase + 50)
#define GTBB_Recessed (GT_TagBase + 51)
#define GT_VisualInfo (GT_TagBase + 52)
#define GTLV_ShowSelected (GT_TagBase + 53)
#define GTLV_Selected (GT_TagBase + 54)
#define GTST_EditHook (GT_TagBase + 55)
#define GTIN_EditHook GTST_EditHook
#define GTTX_Border (GT_TagBase + 57)
#define GTNM_Border (GT_TagBase + 58)
#define GTSC_Arrows (GT_TagBase + 59)
#define GTMN_Menu (GT_TagBase + 60)
#define GTMX_Spacing (GT_TagBase + 61)
#define GTMN_FullMenu (GT_TagBase + 62)
#define GTMN_SecondaryError (GT_TagBase + 63)
#define GT_Underscore (GT_TagBase + 64)
#define GTMN_Checkmark (GT_TagBase + 65)
#define GTMN_AmigaKey (GT_TagBase + 66)
#define GTMN_NewLookMenus (GT_TagBase + 67)
#define GTCB_Scaled (GT_TagBase + 68)
#define GTMX_Scaled (GT_TagBase + 69)
#define GTMX_TitlePlace (GT_TagBase + 71)
#define GTTX_FrontPen (GT_TagBase + 72)
#define GTTX_BackPen (GT_TagBase + 73)
#define GTTX_Justification (GT_TagBase + 74)
#define GTNM_FrontPen (GT_TagBase + 72)
#define GTNM_BackPen (GT_TagBase + 73)
#define GTNM_Justification (GT_TagBase + 74)
#define GTLV_MakeVisible (GT_TagBase + 78)
#define GTLV_ItemHeight (GT_TagBase + 79)
#define GTSL_Justification (GT_TagBase + 81)
#define GTTX_Clipped (GT_TagBase + 85)

#define GTJ_LEFT 0
#define GTJ_RIGHT 1
#define GTJ_CENTER 2

// Window flags and sizes the kinds use.
#define CHECKBOXWIDTH 26
#define CHECKBOXHEIGHT 11
#define MXWIDTH 17
#define MXHEIGHT 9
#define INTERWIDTH 8
#define INTERHEIGHT 4

// Makes the context gadget that heads a gadget list; *glistPtr receives it.
Gadget* CreateContext(Gadget** glistPtr);
// Creates a gadget after previous (null when previous is null, so a chain of calls needs only
// one check at its end). Tags as each kind takes them; unknown tags are ignored.
Gadget* CreateGadgetA(ULONG kind, Gadget* previous, const NewGadget* newGadget,
                      const TagItem* tagList);
template <typename... Args>
Gadget* CreateGadget(ULONG kind, Gadget* previous, const NewGadget* newGadget, Args... args) {
    IPTR raw[] = {tessella::utility::ToTagData(args)..., TAG_DONE, 0};
    TagItem tags[sizeof(raw) / sizeof(raw[0]) / 2];
    for (size_t i = 0; i < sizeof(tags) / sizeof(tags[0]); ++i) {
        tags[i] = TagItem{static_cast<Tag>(raw[2 * i]), raw[2 * i + 1]};
    }
    return CreateGadgetA(kind, previous, newGadget, tags);
}
// Frees the chain from glist on; remove it from its window first.
void FreeGadgets(Gadget* glist);
// Changes attributes and, when window is given, redraws the gadget in it.
void GT_SetGadgetAttrsA(Gadget* gadget, Window* window, Requester* req, const TagItem* tagList);
template <typename... Args>
void GT_SetGadgetAttrs(Gadget* gadget, Window* window, Requester* req, Args... args) {
    IPTR raw[] = {tessella::utility::ToTagData(args)..., TAG_DONE, 0};
    TagItem tags[sizeof(raw) / sizeof(raw[0]) / 2];
    for (size_t i = 0; i < sizeof(tags) / sizeof(tags[0]); ++i) {
        tags[i] = TagItem{static_cast<Tag>(raw[2 * i]), raw[2 * i + 1]};
    }
    GT_SetGadgetAttrsA(gadget, window, req, tags);
}
// Each tag's ti_Data points at an IPTR that receives the attribute; returns how many were read.
LONG GT_GetGadgetAttrsA(Gadget* gadget, Window* window, Requester* req, const TagItem* tagList);
template <typename... Args>
LONG GT_GetGadgetAttrs(Gadget* gadget, Window* window, Requester* req, Args... args) {
    IPTR raw[] = {tessella::utility::ToTagData(args)..., TAG_DONE, 0};
    TagItem tags[sizeof(raw) / sizeof(raw[0]) / 2];
    for (size_t i = 0; i < sizeof(tags) / sizeof(tags[0]); ++i) {
        tags[i] = TagItem{static_cast<Tag>(raw[2 * i]), raw[2 * i + 1]};
    }
    return GT_GetGadgetAttrsA(gadget, window, req, tags);
}

// The screen's pens and font for gadgets and menus; null when screen is null.
APTR GetVisualInfoA(Screen* screen, const TagItem* tagList);
void FreeVisualInfo(APTR visualInfo);

// The next message of a window's port, or null when there is none.
IntuiMessage* GT_GetIMsg(MsgPort* port);
void GT_ReplyIMsg(IntuiMessage* message);
IntuiMessage* GT_FilterIMsg(IntuiMessage* message);
IntuiMessage* GT_PostFilterIMsg(IntuiMessage* message);
// Draws every gadget of the window (labels and frames included).
void GT_RefreshWindow(Window* window, Requester* req);
void GT_BeginRefresh(Window* window);
void GT_EndRefresh(Window* window, BOOL complete);
// A bevelled frame: raised, or recessed with GTBB_Recessed; GT_VisualInfo names the pens.
void DrawBevelBoxA(RastPort* rp, LONG left, LONG top, LONG width, LONG height,
                   const TagItem* tagList);

// ---- Menus ---------------------------------------------------------------------------------

struct NewMenu {
    UBYTE nm_Type;
    CONST_STRPTR nm_Label;    // NM_BARLABEL for a separator
    CONST_STRPTR nm_CommKey;  // the command key, its first character; null for none
    UWORD nm_Flags;
    LONG nm_MutualExclude;
    APTR nm_UserData;
};

#define NM_END 0
#define NM_TITLE 1
#define NM_ITEM 2
#define NM_SUB 3
#define NM_IGNORE 64
#define IM_ITEM 6
#define IM_SUB 7
#define NM_BARLABEL (reinterpret_cast<CONST_STRPTR>(~IPTR{0}))
#define NM_MENUDISABLED MENUENABLED
#define NM_ITEMDISABLED ITEMENABLED
#define NM_COMMANDSTRING COMMSEQ
#define NM_FLAGMASK (~(COMMSEQ | ITEMTEXT | HIGHFLAGS))

#define GTMENU_TRIMMED 0x00000001
#define GTMENU_INVALID 0x00000002
#define GTMENU_NOMEM 0x00000003

// The user data of a menu or item made by CreateMenusA.
#define GTMENU_USERDATA(menu) (*reinterpret_cast<APTR*>(reinterpret_cast<Menu*>(menu) + 1))
#define GTMENUITEM_USERDATA(item) (*reinterpret_cast<APTR*>(reinterpret_cast<MenuItem*>(item) + 1))

// Builds a strip from the table up to NM_END; null when the table is malformed (an item before
// any title, a sub-item outside an item) or memory runs out, with the reason in
// GTMN_SecondaryError's ULONG when given.
Menu* CreateMenusA(const NewMenu* newMenu, const TagItem* tagList);
template <typename... Args>
Menu* CreateMenus(const NewMenu* newMenu, Args... args) {
    IPTR raw[] = {tessella::utility::ToTagData(args)..., TAG_DONE, 0};
    TagItem tags[sizeof(raw) / sizeof(raw[0]) / 2];
    for (size_t i = 0; i < sizeof(tags) / sizeof(tags[0]); ++i) {
        tags[i] = TagItem{static_cast<Tag>(raw[2 * i]), raw[2 * i + 1]};
    }
    return CreateMenusA(newMenu, tags);
}
// Places titles, items and sub-items for the visual info's screen and font.
BOOL LayoutMenusA(Menu* firstMenu, APTR visualInfo, const TagItem* tagList);
void FreeMenus(Menu* menu);
