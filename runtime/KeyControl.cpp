#include "KeyControl.h"

#include "Application.h"
#include "GUIElement.h"

bool KeyControl::Pressed(GUIElement* window, int rawKey) {
    if (window == nullptr || !window->GetEnabled()) {
        return false;
    }
    return Application::GetKeyState(static_cast<int16_t>(rawKey)) != 0;
}

bool KeyControl::LeftCursorPressed(GUIElement* w) {
    return Pressed(w, 79);
}
bool KeyControl::RightCursorPressed(GUIElement* w) {
    return Pressed(w, 78);
}
bool KeyControl::UpCursorPressed(GUIElement* w) {
    return Pressed(w, 76);
}
bool KeyControl::DownCursorPressed(GUIElement* w) {
    return Pressed(w, 77);
}
bool KeyControl::SpacePressed(GUIElement* w) {
    return Pressed(w, 64);
}
bool KeyControl::LeftCtrlPressed(GUIElement* w) {
    return Pressed(w, 99);
}
bool KeyControl::AltPressed(GUIElement* w) {
    return Pressed(w, 100);
}
bool KeyControl::P_Pressed(GUIElement* w) {
    return Pressed(w, 25);
}
bool KeyControl::G_Pressed(GUIElement* w) {
    return Pressed(w, 36);
}
