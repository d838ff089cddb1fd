#pragma once
// Sizes and pens of the frames intuition draws around windows and of the screen's title bar.

#include "intuition.h"

namespace tessella::intuition::look {

inline constexpr UWORD kScreenFontSize = 11;  // "helvetica.font", the sans face
inline constexpr BYTE kBorderLeft = 4;
inline constexpr BYTE kBorderRight = 4;
inline constexpr BYTE kBorderTopPlain = 2;
inline constexpr BYTE kBorderBottom = 2;
inline constexpr BYTE kSizeBorderBottom = 10;
inline constexpr BYTE kSizeBorderRight = 18;
inline constexpr int kGadgetWidth = 18;      // close and depth gadgets in the title bar
inline constexpr int kSizeGadgetWidth = 18;  // size gadget in the bottom-right corner
inline constexpr int kSizeGadgetHeight = 10;

inline constexpr UBYTE kShinePen = 2;
inline constexpr UBYTE kShadowPen = 1;
inline constexpr UBYTE kActiveFillPen = 3;
inline constexpr UBYTE kInactiveFillPen = 0;
inline constexpr UBYTE kActiveTextPen = 2;
inline constexpr UBYTE kInactiveTextPen = 1;

inline int TitleBarHeight(UWORD fontSize) {
    return kBorderTopPlain + fontSize + 1;
}
inline int ScreenBarHeight(UWORD fontSize) {
    return fontSize + 2;
}

inline bool HasTitleBar(ULONG flags, bool hasTitle) {
    return hasTitle || (flags & (WFLG_DRAGBAR | WFLG_CLOSEGADGET | WFLG_DEPTHGADGET));
}

}  // namespace tessella::intuition::look
