#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CustomControl.h"

namespace tessella {

class ScrollBar;

// A container drawn as a frame (sunken by default) with an optional title; the elements whose
// parent it is are shown, hidden and repainted with it. It can carry scroll bars just outside
// its right and bottom edges, which report to the panel's scroll callbacks.
class PanelChildren : public CustomControl {
public:
    using ScrollFn = void (*)(GUIElement*, int);

    explicit PanelChildren(GUIElement* parent);
    ~PanelChildren() override;

    void Load() override;
    void OnPaint() override;
    void Show() override;
    void ShowActivate() override;
    void Hide() override;

    void SetBorder(short flag);
    void SetBorderFlat(short flag);
    void SetBorderIncassato(short flag);
    void SetColor(unsigned long pen) { titleColour = pen; }
    void SetBackgroundColorChild(unsigned long pen) { childBackground = pen; }
    void SetScrollV(short flag) { scrollV = flag; }
    void SetScrollH(short flag) { scrollH = flag; }
    short GetScrollV() const { return scrollV; }
    short GetScrollH() const { return scrollH; }
    void SetRangeScrollH(int min, int max, int pos = 0);
    void SetRangeScrollV(int min, int max, int pos = 0);
    // To the vertical range when the panel scrolls vertically, else to the horizontal one.
    void SetRangeScroll(int min, int max, int pos = 0);
    void SetOnScrollV(ScrollFn fn) { onScrollV = fn; }
    void SetOnScrollH(ScrollFn fn) { onScrollH = fn; }
    void OnScrollV(int pos);
    void OnScrollH(int pos);
    int32_t GetIDScrollV() const;
    int32_t GetIDScrollH() const;

    // The scroll bars' handlers: they pass the position on to the panel that owns the bar.
    static void ScrollingV(GUIElement* bar, int pos);
    static void ScrollingH(GUIElement* bar, int pos);

private:
    std::vector<GUIElement*> DirectChildren() const;
    void CreateScrollBars();
    void TintChild(GUIElement* child) const;

    std::string unused;
    ScrollFn onScrollV = nullptr;
    ScrollFn onScrollH = nullptr;
    int16_t border = 0;
    int16_t flat = 0;
    int16_t recessed = 1;
    int16_t scrollV = 0;
    int16_t scrollH = 0;
    int32_t hMin = 0;
    int32_t hMax = 0;
    int32_t hPos = 0;
    int32_t vMin = 0;
    int32_t vMax = 0;
    int32_t vPos = 0;
    unsigned long titleColour = ~0UL;
    unsigned long childBackground = ~0UL;
    ScrollBar* barH = nullptr;
    ScrollBar* barV = nullptr;
};

}  // namespace tessella
