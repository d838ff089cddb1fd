#include "KeyControl.h"

#include <keymap.h>

#include "Application.h"
#include "GUIElement.h"

namespace tessella {

bool KeyControl::Pressed(GUIElement* window, int rawKey) {
    if (window == nullptr || !window->GetEnabled()) {
        return false;
    }
    return Application::GetKeyState(static_cast<int16_t>(rawKey)) != 0;
}

bool KeyControl::LeftCursorPressed(GUIElement* w) {
    return Pressed(w, RAWKEY_LEFT);
}
bool KeyControl::RightCursorPressed(GUIElement* w) {
    return Pressed(w, RAWKEY_RIGHT);
}
bool KeyControl::UpCursorPressed(GUIElement* w) {
    return Pressed(w, RAWKEY_UP);
}
bool KeyControl::DownCursorPressed(GUIElement* w) {
    return Pressed(w, RAWKEY_DOWN);
}
bool KeyControl::SpacePressed(GUIElement* w) {
    return Pressed(w, RAWKEY_SPACE);
}
bool KeyControl::LeftCtrlPressed(GUIElement* w) {
    return Pressed(w, RAWKEY_CONTROL);
}
bool KeyControl::AltPressed(GUIElement* w) {
    return Pressed(w, RAWKEY_LALT);
}
bool KeyControl::P_Pressed(GUIElement* w) {
    return Pressed(w, RAWKEY_P);
}
bool KeyControl::G_Pressed(GUIElement* w) {
    return Pressed(w, RAWKEY_G);
}

}  // namespace tessella
