#pragma once
// graphics.library: bitmaps, rastports, pens and drawing, fonts and text, palettes.
// Bitmaps are chunky: Planes[0] holds one byte per pixel, a pen 0..255, BytesPerRow per row.

#include "exec.h"

struct Layer;     // a window's layer: its rastport's lock
struct ColorMap;  // a viewport's palette

typedef UBYTE* PLANEPTR;

struct BitMap {
    UWORD BytesPerRow;
    UWORD Rows;
    UBYTE Flags;
    UBYTE Depth;
    UWORD pad;
    PLANEPTR Planes[8];
};

#define BMF_CLEAR (1UL << 0)
#define BMF_DISPLAYABLE (1UL << 1)
#define BMF_INTERLEAVED (1UL << 2)
#define BMF_STANDARD (1UL << 3)
#define BMF_MINPLANES (1UL << 4)

#define BMA_HEIGHT 0
#define BMA_DEPTH 4
#define BMA_WIDTH 8
#define BMA_FLAGS 12

// ---- Fonts ---------------------------------------------------------------------------------

struct TextAttr {
    CONST_STRPTR ta_Name;  // "topaz.font", "helvetica.font", ...
    UWORD ta_YSize;        // the line height in pixels
    UBYTE ta_Style;
    UBYTE ta_Flags;
};

struct TextFont {
    Message tf_Message;  // tf_Message.mn_Node.ln_Name is the font's name
    UWORD tf_YSize;
    UBYTE tf_Style;
    UBYTE tf_Flags;
    UWORD tf_XSize;
    UWORD tf_Baseline;  // rows from the top of a line to its baseline row
    UWORD tf_BoldSmear;
    UWORD tf_Accessors;
    UBYTE tf_LoChar;
    UBYTE tf_HiChar;
    APTR tf_CharData;
    UWORD tf_Modulo;
    APTR tf_CharLoc;
    APTR tf_CharSpace;
    APTR tf_CharKern;
};

#define FS_NORMAL 0
#define FSB_UNDERLINED 0
#define FSF_UNDERLINED (1 << 0)
#define FSB_BOLD 1
#define FSF_BOLD (1 << 1)
#define FSB_ITALIC 2
#define FSF_ITALIC (1 << 2)
#define FSB_EXTENDED 3
#define FSF_EXTENDED (1 << 3)

#define FPF_ROMFONT (1 << 0)
#define FPF_DISKFONT (1 << 1)
#define FPF_REVPATH (1 << 2)
#define FPF_TALLDOT (1 << 3)
#define FPF_WIDEDOT (1 << 4)
#define FPF_PROPORTIONAL (1 << 5)
#define FPF_DESIGNED (1 << 6)
#define FPF_REMOVED (1 << 7)

// Opens a font by name and line height. Names map to the faces the project installs: "topaz"
// and "courier" to a fixed-pitch face, "times" to a serif face, every other name to a sans
// face. Bold uses the face's bold cut, italic is slanted, underline is drawn by Text.
TextFont* OpenFont(TextAttr* textAttr);
void CloseFont(TextFont* textFont);

// ---- Rastports -----------------------------------------------------------------------------

struct RastPort {
    struct Layer* Layer;
    struct BitMap* BitMap;
    UWORD* AreaPtrn;
    APTR TmpRas;
    APTR AreaInfo;
    APTR GelsInfo;
    UBYTE Mask;
    UBYTE FgPen;
    UBYTE BgPen;
    UBYTE AOlPen;
    UBYTE DrawMode;
    BYTE AreaPtSz;
    BYTE linpatcnt;  // the pattern bit the next dot uses, 15 down to 0
    BYTE dummy;
    UWORD Flags;
    UWORD LinePtrn;
    WORD cp_x;
    WORD cp_y;
    UBYTE minterms[8];
    WORD PenWidth;
    WORD PenHeight;
    TextFont* Font;
    UBYTE AlgoStyle;
    UBYTE TxFlags;
    UWORD TxHeight;
    UWORD TxWidth;
    UWORD TxBaseline;
    WORD TxSpacing;
    APTR* RP_User;
};

#define JAM1 0
#define JAM2 1
#define COMPLEMENT 2
#define INVERSVID 4

#define FRST_DOT 0x01
#define ONE_DOT 0x02
#define DBUFFER 0x04
#define AREAOUTLINE 0x08
#define NOCROSSFILL 0x20

// A rastport with default pens (1 on 0), JAM2, a solid line and the default font (topaz 8),
// drawing into whatever BitMap the caller sets.
void InitRastPort(RastPort* rp);

// Every call below on one rastport is serialised. LockLayerRom lets a task keep a window's
// rastport (pens, position, font) to itself across many calls; it is recursive for that task.
void LockLayerRom(Layer* layer);
void UnlockLayerRom(Layer* layer);

void SetAPen(RastPort* rp, ULONG pen);
ULONG GetAPen(RastPort* rp);
void SetBPen(RastPort* rp, ULONG pen);
ULONG GetBPen(RastPort* rp);
void SetDrMd(RastPort* rp, ULONG drawMode);
ULONG GetDrMd(RastPort* rp);
// The line pattern: bit 15 is the first dot; the pattern restarts at every Move.
void SetDrPt(RastPort* rp, UWORD pattern);
void SetFont(RastPort* rp, TextFont* textFont);

void Move(RastPort* rp, WORD x, WORD y);
// A line from the current position to (x, y), both ends included.
void Draw(RastPort* rp, LONG x, LONG y);
// Lines through count (x, y) pairs, from the current position.
void PolyDraw(RastPort* rp, LONG count, const WORD* polyTable);
// Fills the rectangle with its edges included; nothing when max < min.
void RectFill(RastPort* rp, LONG xMin, LONG yMin, LONG xMax, LONG yMax);
// The pen at (x, y), or -1 outside the bitmap.
LONG ReadPixel(RastPort* rp, LONG x, LONG y);
// 0, or -1 outside the bitmap.
LONG WritePixel(RastPort* rp, LONG x, LONG y);
// Latin-1 text with its baseline at the current position, which moves past it.
void Text(RastPort* rp, CONST_STRPTR string, ULONG count);
WORD TextLength(RastPort* rp, CONST_STRPTR string, ULONG count);
// Clear from the current position to the end of the text line, or of the rastport: with the
// background pen in JAM2, with pen 0 otherwise.
void ClearEOL(RastPort* rp);
void ClearScreen(RastPort* rp);

// ---- Bitmaps and blits ---------------------------------------------------------------------

BitMap* AllocBitMap(ULONG sizeX, ULONG sizeY, ULONG depth, ULONG flags, BitMap* friendBitmap);
void FreeBitMap(BitMap* bm);
IPTR GetBitMapAttr(BitMap* bm, ULONG attribute);
// Copies a rectangle combining source (B) and destination (C) bits by the minterm (0xC0 is a
// plain copy), only in the planes of mask. Returns the number of planes touched.
LONG BltBitMap(BitMap* srcBitMap, LONG xSrc, LONG ySrc, BitMap* destBitMap, LONG xDest, LONG yDest,
               LONG xSize, LONG ySize, ULONG minterm, ULONG mask, PLANEPTR tempA);
// The same into a rastport, in its own coordinates (a window's, for a window rastport).
void BltBitMapRastPort(BitMap* srcBitMap, LONG xSrc, LONG ySrc, RastPort* destRP, LONG xDest,
                       LONG yDest, LONG xSize, LONG ySize, ULONG minterm);

// ---- Viewports and palettes ----------------------------------------------------------------

struct ViewPort {
    ViewPort* Next;
    struct ColorMap* ColorMap;
    WORD DWidth;
    WORD DHeight;
    WORD DxOffset;
    WORD DyOffset;
    UWORD Modes;
};

// A table of runs: (count << 16 | first pen), then count red, green, blue 32-bit values whose
// top byte is the level; a count of 0 ends it.
void LoadRGB32(ViewPort* vp, const ULONG* table);
void SetRGB32(ViewPort* vp, ULONG n, ULONG r, ULONG g, ULONG b);
void GetRGB32(ColorMap* cm, ULONG firstColor, ULONG nColors, ULONG* table);
// Waits for the next vertical blank of the 50 Hz display.
void WaitTOF();
