#pragma once

#include <initializer_list>

#include "runtime/Child.h"

struct RastPort;

namespace tessella {

class Drawing;

// What every self-drawn control shares: it loads by taking an id, paints itself into its
// window's rastport, erases itself with its container's colour when hidden, and is hidden and
// shown again to move or resize while loaded.
class CustomControl : public Child {
public:
    explicit CustomControl(GUIElement* parent, unsigned long instance = 0);

    void Load() override;
    void Show() override;
    void ShowActivate() override;
    void Hide() override;
    void SetSize(int w, int h) override;
    void SetLocation(int x, int y) override;

protected:
    // Gives the control the keyboard: the control that had it leaves first.
    void TakeFocus();
    // The rastport to paint on, or null while painting is suspended, the control is not
    // loaded or its window is not open.
    RastPort* PaintPort();
    // The control's window rastport whether or not it may paint now (null: no window).
    RastPort* WindowPort() const;
    // The control's top-left corner in its window's coordinates.
    tagPOINT WindowOrigin() const;
    // The first colour of the list that is set (not all bits), else pen 0.
    static int FirstColour(std::initializer_list<unsigned long> colours);
    // The colour behind the control: its container's, else its window's, else pen 0.
    int EraseColour() const;
    void Erase();
    // A one-pixel bevel along the rectangle's edges: raised is lit from the top left (pen 2,
    // shadow pen 1), sunken the reverse.
    static void DrawFrame(Drawing& d, int x, int y, int w, int h, bool sunken);
};

}  // namespace tessella
