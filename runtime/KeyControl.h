#pragma once

namespace tessella {

class GUIElement;

// Whether one raw key is down, as seen by a window: a disabled window sees no key.
class KeyControl {
public:
    static bool LeftCursorPressed(GUIElement* window);
    static bool RightCursorPressed(GUIElement* window);
    static bool UpCursorPressed(GUIElement* window);
    static bool DownCursorPressed(GUIElement* window);
    static bool SpacePressed(GUIElement* window);
    static bool LeftCtrlPressed(GUIElement* window);
    static bool AltPressed(GUIElement* window);
    static bool P_Pressed(GUIElement* window);
    static bool G_Pressed(GUIElement* window);

private:
    static bool Pressed(GUIElement* window, int rawKey);
};

}  // namespace tessella
