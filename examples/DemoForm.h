#pragma once

#include <string>

#include "runtime/Child.h"
#include "runtime/Form.h"

namespace tessella {

class Timer;

// A square of colour that paints itself in its window and changes colour when clicked.
class ColourBox : public Child {
public:
    ColourBox(GUIElement* parent, int x, int y, int w, int h, int pen);

    void Load() override;
    void OnPaint() override;
    void OnLeftMouseUP(tagPOINT p) override;
    int Pen() const { return pen; }
    void SetPen(int newPen);

private:
    int pen;
};

// A window with a few elements and a timer: shows that the toolkit runs until the utility's own
// window takes its place.
class DemoForm : public Form {
public:
    explicit DemoForm(OrvScreen* screen);
    ~DemoForm() override;

    // The program's palette.
    static void LoadPalette(OrvScreen* screen);

    int Ticks() const { return ticks; }
    ColourBox* Box() { return box; }
    ColourBox* Bar() { return bar; }
    bool OnKeyPress(int character) override;

private:
    static void CreateChildren(GUIElement* form, unsigned long handle);
    static void OnTick(GUIElement* timer);

    ColourBox* box = nullptr;
    ColourBox* bar = nullptr;
    Timer* timer = nullptr;
    int ticks = 0;
};

}  // namespace tessella
