#include "OrvScreen.h"

#include <gadtools.h>
#include <intuition.h>

#include <cstring>

#include "GUIElement.h"

namespace tessella {

namespace {

// Reads a field of the screen the toolkit draws on: the one fixed by the first window, or the
// default public screen until then.
template <typename F>
auto WithScreen(F read) {
    if (GUIElement::GlobalScreen != nullptr) {
        return read(GUIElement::GlobalScreen);
    }
    Screen* s = LockPubScreen(nullptr);
    const auto value = read(s);
    UnlockPubScreen(nullptr, s);
    return value;
}

}  // namespace

OrvScreen::OrvScreen(const char* t) : title(t) {
    createHardwareScreen(800, 600);
}

OrvScreen::~OrvScreen() {
    Close();
}

void OrvScreen::createHardwareScreen(int w, int h) {
    const TagItem tags[] = {
        {SA_Depth, depth},
        {SA_LikeWorkbench, TRUE},
        {SA_BlockPen, 2},
        {SA_DetailPen, 1},
        {SA_Type, CUSTOMSCREEN},
        {SA_Width, static_cast<IPTR>(w)},
        {SA_Height, static_cast<IPTR>(h)},
        {SA_Title, reinterpret_cast<IPTR>(title)},
        {TAG_DONE, 0},
    };
    handle = OpenScreenTagList(nullptr, tags);
}

bool OrvScreen::Close() {
    if (handle == nullptr) {
        return true;
    }
    if (!CloseScreen(handle)) {
        return false;
    }
    // The toolkit's screen and its gadget look die with the screen: a later window fixes new ones.
    if (GUIElement::GlobalScreen == handle) {
        GUIElement::GlobalScreen = nullptr;
        if (GUIElement::GlobalVisualInfo != nullptr) {
            FreeVisualInfo(GUIElement::GlobalVisualInfo);
            GUIElement::GlobalVisualInfo = nullptr;
        }
    }
    handle = nullptr;
    return true;
}

void OrvScreen::Scrolling() {
    if (handle == nullptr) {
        return;
    }
    for (int i = 0; i < handle->Height; ++i) {
        MoveScreen(handle, 0, 1);
    }
}

int OrvScreen::Width() {
    return WithScreen([](Screen* s) { return s != nullptr ? static_cast<int>(s->Width) : 0; });
}

int OrvScreen::Height() {
    return WithScreen([](Screen* s) { return s != nullptr ? static_cast<int>(s->Height) : 0; });
}

tagPOINT OrvScreen::GetMouseXY() {
    return WithScreen([](Screen* s) {
        return s != nullptr ? tagPOINT{s->MouseX, s->MouseY} : tagPOINT{};
    });
}

}  // namespace tessella
