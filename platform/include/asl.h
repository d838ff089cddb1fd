#pragma once
// asl.library: the standard file and font requesters. A requester blocks only the task that
// calls AslRequest; with ASLxx_SleepWindow its parent window ignores input while it is up.

#include "intuition.h"

#define ASL_FileRequest 0
#define ASL_FontRequest 1
#define ASL_ScreenModeRequest 2

struct FileRequester {
    UBYTE fr_Reserved0[4];
    STRPTR fr_File;    // the file chosen, without its drawer
    STRPTR fr_Drawer;  // the drawer (directory) chosen, as typed or reached
    UBYTE fr_Reserved1[10];
    WORD fr_LeftEdge;
    WORD fr_TopEdge;
    WORD fr_Width;
    WORD fr_Height;
    WORD fr_Reserved2;
    LONG fr_NumArgs;
    APTR fr_ArgList;
    APTR fr_UserData;
    UBYTE fr_Reserved3[8];
    STRPTR fr_Pattern;
};

struct FontRequester {
    APTR fo_Reserved0[2];
    TextAttr fo_Attr;  // the font chosen: name, size, style and ROM or disk flag
    UBYTE fo_FrontPen;
    UBYTE fo_BackPen;
    UBYTE fo_DrawMode;
    UBYTE fo_Reserved1;
    APTR fo_UserData;
    WORD fo_LeftEdge;
    WORD fo_TopEdge;
    WORD fo_Width;
    WORD fo_Height;
};

#define ASL_TB (TAG_USER + 0x80000)
#define ASLFR_TitleText (ASL_TB + 1)
#define ASLFR_Window (ASL_TB + 2)
#define ASLFR_InitialLeftEdge (ASL_TB + 3)
#define ASLFR_InitialTopEdge (ASL_TB + 4)
#define ASLFR_InitialWidth (ASL_TB + 5)
#define ASLFR_InitialHeight (ASL_TB + 6)
#define ASLFR_InitialFile (ASL_TB + 8)
#define ASLFR_InitialDrawer (ASL_TB + 9)
#define ASLFR_InitialPattern (ASL_TB + 10)
#define ASLFR_PositiveText (ASL_TB + 18)
#define ASLFR_NegativeText (ASL_TB + 19)
#define ASLFR_Screen (ASL_TB + 40)
#define ASLFR_SleepWindow (ASL_TB + 43)
#define ASLFR_DoSaveMode (ASL_TB + 44)
#define ASLFR_DoMultiSelect (ASL_TB + 45)
#define ASLFR_DoPatterns (ASL_TB + 46)
#define ASLFR_DrawersOnly (ASL_TB + 47)
#define ASLFR_RejectIcons (ASL_TB + 60)

#define ASLFO_TitleText ASLFR_TitleText
#define ASLFO_Window ASLFR_Window
#define ASLFO_InitialLeftEdge ASLFR_InitialLeftEdge
#define ASLFO_InitialTopEdge ASLFR_InitialTopEdge
#define ASLFO_PositiveText ASLFR_PositiveText
#define ASLFO_NegativeText ASLFR_NegativeText
#define ASLFO_Screen ASLFR_Screen
#define ASLFO_SleepWindow ASLFR_SleepWindow
#define ASLFO_InitialName (ASL_TB + 10)
#define ASLFO_InitialSize (ASL_TB + 11)
#define ASLFO_InitialStyle (ASL_TB + 12)
#define ASLFO_InitialFlags (ASL_TB + 13)
#define ASLFO_MinHeight (ASL_TB + 16)
#define ASLFO_MaxHeight (ASL_TB + 17)

// A requester of the given type with its defaults from the tags; null for a type other than
// the file and font requesters.
APTR AllocAslRequest(ULONG reqType, const TagItem* tagList);
template <typename... Args>
APTR AllocAslRequestTags(ULONG reqType, Args... args) {
    IPTR raw[] = {tessella::utility::ToTagData(args)..., TAG_DONE, 0};
    TagItem tags[sizeof(raw) / sizeof(raw[0]) / 2];
    for (size_t i = 0; i < sizeof(tags) / sizeof(tags[0]); ++i) {
        tags[i] = TagItem{static_cast<Tag>(raw[2 * i]), raw[2 * i + 1]};
    }
    return AllocAslRequest(reqType, tags);
}
// Shows the requester until the user answers; TRUE with the choice in the structure, FALSE on
// Cancel or when the requester cannot be opened.
BOOL AslRequest(APTR requester, const TagItem* tagList);
template <typename... Args>
BOOL AslRequestTags(APTR requester, Args... args) {
    IPTR raw[] = {tessella::utility::ToTagData(args)..., TAG_DONE, 0};
    TagItem tags[sizeof(raw) / sizeof(raw[0]) / 2];
    for (size_t i = 0; i < sizeof(tags) / sizeof(tags[0]); ++i) {
        tags[i] = TagItem{static_cast<Tag>(raw[2 * i]), raw[2 * i + 1]};
    }
    return AslRequest(requester, tags);
}
void FreeAslRequest(APTR requester);
