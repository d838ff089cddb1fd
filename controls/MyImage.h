#pragma once

#include <cstdint>
#include <string>

#include "CustomControl.h"

struct Image;

namespace tessella {

// A platform image shown at its place in a window, optionally with a sunken frame over its
// edge. Without an image it shows its container's colour.
class MyImage : public CustomControl {
public:
    // With an image, the control takes the image's size.
    MyImage(GUIElement* parent, Image* image);

    void OnPaint() override;
    using CustomControl::SetEnabled;
    // Stored only: an image looks the same either way.
    virtual void SetEnabled(int flag);
    virtual void SetBitmap(Image* newImage);
    virtual void SetBorder(short flag);
    Image* GetBitmap() const { return image; }

    // A copy of the image whose plane data lies in memory the display can read; on failure
    // the copy has no plane data and the log says how much was asked for. Null for null.
    static Image* AllocaImgChip(Image* source);
    static void FreeImgChip(Image* copy);

protected:
    std::string unused;
    Image* image = nullptr;
    int16_t border = 0;
};

}  // namespace tessella
