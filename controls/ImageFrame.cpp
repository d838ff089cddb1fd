#include "ImageFrame.h"

#include <intuition.h>

namespace tessella {

ImageFrame::ImageFrame(GUIElement* parent, Image** frames, int b, int o)
    : MyImage(parent, nullptr), images(frames), base(b), offset(o) {
    className = "imageframe";
    image = Frame();
    if (image != nullptr) {
        size = {image->Width, image->Height};
    }
}

Image* ImageFrame::Frame() const {
    const int32_t index = base + offset;
    return images != nullptr && index >= 0 ? images[index] : nullptr;
}

void ImageFrame::Load() {
    const bool first = id == 0;
    MyImage::Load();
    if (first) {
        savedBackground = backgroundColor;
    }
}

void ImageFrame::SetFrame(int newBase, int newOffset) {
    SetFrame(newBase, newOffset, 0);
}

void ImageFrame::SetFrame(int newBase, int newOffset, short eraseFirst) {
    if (newBase == base && newOffset == offset) {
        return;
    }
    base = newBase;
    offset = newOffset;
    if (!loaded) {
        SetBitmap(Frame());
        return;
    }
    if (eraseFirst != 0) {
        Hide();
    }
    SetBitmap(Frame());
    Load();
    OnPaint();
}

void ImageFrame::ResetBackgroundColor() {
    if (loaded) {
        backgroundColor = savedBackground;
        OnPaint();
    }
}

}  // namespace tessella
