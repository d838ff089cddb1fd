#pragma once

#include <string>

#include "OrvAlign.h"
#include "OrvTipoLinea.h"
#include "runtime/tagPOINT.h"

struct Image;
struct RastPort;

namespace tessella {

class Font;
class GUIElement;

// Painting on one window's rastport for the length of one paint. It is built on the stack in
// an OnPaint and keeps the rastport's layer locked while it lives, so the job's worker painting
// the progress bar and the main thread painting the window never mix each other's pens.
// Every drawing call leaves the rastport's pens, line pattern, draw mode and font as it found
// them (GetStringHeight leaves the font it measured with set).
// A null rastport (a window not open) makes every call a no-op.
class Drawing {
public:
    // The grey every self-drawn control writes a disabled control's text in.
    static constexpr int kDisabledTextPen = 22;

    explicit Drawing(RastPort* rastPort);
    ~Drawing();

    Drawing(const Drawing&) = delete;
    Drawing& operator=(const Drawing&) = delete;

    // Measures: a font that cannot be opened measures as the defaults, 10 high and 8 wide.
    static int GetHeightFont();
    static int GetHeightFont(Font* font);
    static int GetHeightFont(GUIElement* element);
    static int GetWidthFont();
    static int GetWidthFont(Font* font);
    static int GetWidthMaxFont();
    static int GetWidthMaxFont(Font* font);
    // The font's nominal character width times the number of bytes: an estimate for grids.
    static int GetStringWidth(GUIElement* element, const std::string& text);
    // No font, no measure: -1.
    static int GetStringWidth(const std::string& text);
    // The height PrintText needs for the text wrapped into width; sets the font on the rastport.
    int GetStringHeight(int width, const std::string& text, Font* font);

    void DrawPixel(int x, int y, int colour);
    int GetColorPixel(int x, int y);

    // A thick line grows to the right, a horizontal one downwards; thickness 0 draws nothing.
    void DrawLine(int x1, int y1, int x2, int y2, OrvTipoLinea type, int thickness, int colour);
    void DrawLine(int x1, int y1, int x2, int y2, int thickness, int colour);
    void DrawLine(int x1, int y1, int x2, int y2, int colour);
    void DrawRectangle(int x, int y, int w, int h, int thickness, int colour);
    // Rounded corners are not drawn: the radius is accepted and ignored.
    void DrawRoundRectangle(int x, int y, int w, int h, int radius, int thickness, int colour);
    void DrawFillRectangle(int x, int y, int w, int h, int borderThickness, int borderColour,
                           int fillColour);
    void DrawFillRoundRectangle(int x, int y, int w, int h, int radius, int borderThickness,
                                int borderColour, int fillColour);
    void DrawPolyline(const tagPOINT* points, int count, OrvTipoLinea type, int thickness,
                      int colour);
    void DrawPolyline(const tagPOINT* points, int count, int thickness, int colour);
    void DrawImageEx(int x, int y, Image* image);
    // The image is drawn at its own size: w and h are accepted and ignored.
    void DrawImageEx(int x, int y, int w, int h, Image* image);

    // The text printer: wraps words inside the box (x, y, w, h), aligns each line, centres a
    // single line vertically and fills the box with the background (-1: left untouched). With
    // w or h not positive there is no box: the text is neither wrapped nor aligned. firstCall
    // is 1 for a caller, 0 for the printer's own continuation lines.
    void PrintText(int x, int y, int w, int h, const std::string& text, int colour, int background,
                   Font* font, OrvAlign align, short firstCall);
    void PrintText(int x, int y, int w, int h, const std::string& text, int colour, int background,
                   Font* font, OrvAlign align);
    void PrintText(int x, int y, const std::string& text, int colour);
    void PrintText(int x, int y, const std::string& text, int colour, int background);
    void PrintText(int x, int y, int w, int h, const std::string& text, int colour);

    // Shapes this toolkit does not draw; they are accepted so that callers written for a
    // richer surface still build, and they leave the rastport untouched.
    void DrawFillPolygon(const tagPOINT* /*points*/, int /*count*/, int /*colour*/) {}
    void DrawPolygon(const tagPOINT* /*points*/, int /*count*/, int /*thickness*/, int /*colour*/) {
    }
    void DrawCurve(const tagPOINT* /*points*/, int /*count*/, int /*thickness*/, int /*colour*/) {}
    void DrawFillRectangleGradientV(int /*x*/, int /*y*/, int /*w*/, int /*h*/, int /*from*/,
                                    int /*to*/) {}
    void DrawFillRectangleGradientH(int /*x*/, int /*y*/, int /*w*/, int /*h*/, int /*from*/,
                                    int /*to*/) {}
    void DrawEllipseEx(int /*x*/, int /*y*/, int /*w*/, int /*h*/, int /*thickness*/,
                       int /*colour*/) {}
    void DrawFillEllipse(int /*x*/, int /*y*/, int /*w*/, int /*h*/, int /*borderColour*/,
                         int /*fillColour*/) {}
    void DrawImageFrame(int /*x*/, int /*y*/, Image* /*image*/, int /*frame*/) {}
    void DrawImageTrasparent(int /*x*/, int /*y*/, const std::string& /*fileName*/) {}
    void DrawImageTrasparent(int /*x*/, int /*y*/, Image* /*image*/) {}
    void DrawImageTrasparent(int /*x*/, int /*y*/, int /*w*/, int /*h*/, Image* /*image*/) {}
    void DrawImageTrasparent(int /*x*/, int /*y*/, Image* /*image*/, int /*transparentColour*/) {}
    void DrawImageFrameTrasparent(int /*x*/, int /*y*/, Image* /*image*/, int /*frame*/) {}
    void DrawImageFrameTrasparent(int /*x*/, int /*y*/, int /*w*/, int /*h*/, Image* /*image*/,
                                  int /*frame*/) {}

private:
    // One line cut from the front of a text, ready to print.
    struct Line {
        std::string text;
        std::string remainder;
        bool hasRemainder = false;
        bool wrapped = false;
        int width = 0;
    };

    int LineHeightSettingFont(Font* font);
    int Measure(const std::string& text);
    Line CutLine(const std::string& text, int w, bool boxed);
    void Stroke(int x1, int y1, int x2, int y2, int thickness);

    RastPort* rp = nullptr;
};

}  // namespace tessella
