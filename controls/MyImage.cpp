#include "MyImage.h"

#include <exec.h>
#include <intuition.h>

#include <cstring>
#include <string>

#include "Drawing.h"
#include "runtime/Application.h"

namespace tessella {

namespace {

// Depth planes of height rows of whole 16-bit words.
ULONG PlaneBytes(const Image& img) {
    if (img.Width <= 0 || img.Height <= 0 || img.Depth <= 0) {
        return 0;
    }
    const ULONG words = static_cast<ULONG>(img.Width / 16 + (img.Width % 16 != 0 ? 1 : 0));
    return static_cast<ULONG>(img.Height) * words * static_cast<ULONG>(img.Depth) * 2;
}

}  // namespace

MyImage::MyImage(GUIElement* parent, Image* img) : CustomControl(parent), image(img) {
    className = "image";
    isTabStop = 0;
    if (image != nullptr) {
        size = {image->Width, image->Height};
    }
}

void MyImage::OnPaint() {
    RastPort* rp = PaintPort();
    if (rp == nullptr) {
        return;
    }
    const tagPOINT at = WindowOrigin();
    Drawing d(rp);
    if (image != nullptr) {
        d.DrawImageEx(at.x, at.y, image);
    } else {
        d.DrawFillRectangle(at.x, at.y, size.cx, size.cy, 0, 0, EraseColour());
    }
    if (border != 0) {
        DrawFrame(d, at.x, at.y, size.cx, size.cy, true);
    }
}

void MyImage::SetEnabled(int flag) {
    GUIElement::SetEnabled(flag != 0);
}

void MyImage::SetBitmap(Image* newImage) {
    image = newImage;
    if (loaded) {
        OnPaint();
    }
}

void MyImage::SetBorder(short flag) {
    border = flag;
    if (loaded) {
        OnPaint();
    }
}

Image* MyImage::AllocaImgChip(Image* source) {
    if (source == nullptr) {
        return nullptr;
    }
    auto* copy = new Image(*source);
    const ULONG bytes = PlaneBytes(*source);
    copy->ImageData = nullptr;
    if (bytes == 0 || source->ImageData == nullptr) {
        return copy;
    }
    auto* data = static_cast<UWORD*>(AllocMem(bytes, MEMF_CHIP));
    if (data == nullptr) {
        Application::Log(std::to_string(bytes) +
                         " bytes richiesti MyImage::AllocaImgChip fallita.");
        return copy;
    }
    std::memcpy(data, source->ImageData, bytes);
    copy->ImageData = data;
    return copy;
}

void MyImage::FreeImgChip(Image* copy) {
    if (copy == nullptr) {
        return;
    }
    if (copy->ImageData != nullptr) {
        FreeMem(copy->ImageData, PlaneBytes(*copy));
    }
    delete copy;
}

}  // namespace tessella
