#pragma once
// How the standard gadgets look: bevelled boxes in the screen's pens (light from the top
// left), text in the text pen, and a dot pattern over a disabled gadget.

#include <string>

#include "graphics.h"

namespace tessella::graphics::look {

inline constexpr UBYTE kBackgroundPen = 0;
inline constexpr UBYTE kTextPen = 1;
inline constexpr UBYTE kShinePen = 2;
inline constexpr UBYTE kShadowPen = 1;
inline constexpr UBYTE kFillPen = 3;
inline constexpr UBYTE kFillTextPen = 2;
inline constexpr UBYTE kHighlightTextPen = 2;
inline constexpr UBYTE kGhostPen = 1;

// A two-pixel frame: raised has the shine pen on the top and left edges, recessed has it on
// the bottom and right ones.
void Bevel(RastPort* rp, int x, int y, int w, int h, bool recessed);
// A raised frame around a recessed one, the frame of text fields.
void Ridge(RastPort* rp, int x, int y, int w, int h);
void Fill(RastPort* rp, int x, int y, int w, int h, UBYTE pen);
// Every fourth dot of every second row in the ghost pen, leaving what is under it readable.
void Ghost(RastPort* rp, int x, int y, int w, int h);
// Text centred vertically in the box at the given horizontal position, cut to the box width.
// underscore: the index of the character to underline, or -1.
void TextAt(RastPort* rp, TextFont* font, const std::string& text, int x, int y, int w, int h,
            UBYTE pen, int underscore = -1);
int TextWidth(TextFont* font, const std::string& text);
// x of a text of width textWidth justified in a box (GTJ_LEFT, GTJ_RIGHT, GTJ_CENTER).
int Justify(int x, int w, int textWidth, int justification);

}  // namespace tessella::graphics::look
