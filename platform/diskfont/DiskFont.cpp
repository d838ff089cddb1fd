#include "diskfont.h"
#include "platform/graphics/FontFace.h"

TextFont* OpenDiskFont(TextAttr* textAttr) {
    return tessella::graphics::OpenFace(textAttr, FPF_DISKFONT);
}
