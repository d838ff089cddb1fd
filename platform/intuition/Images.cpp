#include <cstring>

#include "intuition.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/FontFace.h"
#include "platform/graphics/LayerImpl.h"

using namespace tessella::graphics;

namespace {

// The pen of one pixel: picked planes take their bit from the image, in order from the
// lowest picked plane; the others take PlaneOnOff's bit.
UBYTE PixelPen(const Image& image, int x, int y, int wordsPerRow) {
    UBYTE pen = image.PlaneOnOff & static_cast<UBYTE>(~image.PlanePick);
    int plane = 0;
    for (int bit = 0; bit < 8 && plane < image.Depth; ++bit) {
        if ((image.PlanePick & (1 << bit)) == 0) {
            continue;
        }
        const UWORD word =
            image.ImageData[(static_cast<long>(plane) * image.Height + y) * wordsPerRow + x / 16];
        if (word & (0x8000 >> (x % 16))) {
            pen |= static_cast<UBYTE>(1 << bit);
        }
        ++plane;
    }
    return pen;
}

}  // namespace

void DrawImage(RastPort* rp, Image* image, LONG leftOffset, LONG topOffset) {
    RastPortLock guard(rp);
    const Canvas canvas = Canvas::Of(rp->BitMap);
    for (const Image* img = image; img != nullptr; img = img->NextImage) {
        if (img->Width <= 0 || img->Height <= 0) {
            continue;
        }
        const int wordsPerRow = (img->Width + 15) / 16;
        const LONG left = leftOffset + img->LeftEdge;
        const LONG top = topOffset + img->TopEdge;
        for (int y = 0; y < img->Height; ++y) {
            for (int x = 0; x < img->Width; ++x) {
                if (!canvas.Contains(left + x, top + y)) {
                    continue;
                }
                const UBYTE pen = img->ImageData != nullptr
                                      ? PixelPen(*img, x, y, wordsPerRow)
                                      : static_cast<UBYTE>(img->PlaneOnOff & ~img->PlanePick);
                canvas.Plot(left + x, top + y, pen, false);
            }
        }
    }
}

LONG IntuiTextLength(IntuiText* iText) {
    if (iText == nullptr || iText->IText == nullptr) {
        return 0;
    }
    TextFont* font = iText->ITextFont != nullptr ? OpenFont(iText->ITextFont) : nullptr;
    const TextFont* measuring = font != nullptr ? font : DefaultFont();
    LONG width = 0;
    if (measuring != nullptr) {
        width = MeasureText(measuring, reinterpret_cast<const UBYTE*>(iText->IText),
                            std::strlen(iText->IText));
    }
    CloseFont(font);
    return width;
}

void PrintIText(RastPort* rp, IntuiText* iText, LONG left, LONG top) {
    RastPortLock guard(rp);
    for (IntuiText* t = iText; t != nullptr; t = t->NextText) {
        if (t->IText == nullptr) {
            continue;
        }
        TextFont* font = t->ITextFont != nullptr ? OpenFont(t->ITextFont) : nullptr;
        const TextFont* using_ =
            font != nullptr ? font : (rp->Font != nullptr ? rp->Font : DefaultFont());
        if (using_ != nullptr) {
            // The text's top-left corner is at the given place; Text works from the baseline.
            DrawText(Canvas::Of(rp->BitMap), using_, left + t->LeftEdge,
                     top + t->TopEdge + using_->tf_Baseline,
                     reinterpret_cast<const UBYTE*>(t->IText), std::strlen(t->IText), t->FrontPen,
                     t->BackPen, t->DrawMode);
        }
        CloseFont(font);
    }
}
