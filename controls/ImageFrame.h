#pragma once

#include <cstdint>

#include "MyImage.h"

namespace tessella {

// One frame out of an array of images: the frame shown is images[base + offset].
class ImageFrame : public MyImage {
public:
    ImageFrame(GUIElement* parent, Image** images, int base, int offset);

    void Load() override;
    void SetFrame(int newBase, int newOffset);
    // With eraseFirst the old frame is wiped before the new one is drawn, for frames that do
    // not cover each other.
    void SetFrame(int newBase, int newOffset, short eraseFirst);
    int GetFrame() const { return base; }
    // Back to the background colour the control had when it first loaded.
    void ResetBackgroundColor();
    void SetTrasparent(short flag) { trasparent = flag; }

private:
    Image* Frame() const;

    int16_t trasparent = 1;
    Image** images = nullptr;
    int32_t base = 0;
    int32_t offset = 0;
    unsigned long savedBackground = ~0UL;
};

}  // namespace tessella
