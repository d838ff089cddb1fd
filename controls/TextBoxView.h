#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "CustomControl.h"

struct BitMap;

namespace tessella {

class ScrollBar;

// A read-only, scrollable view of a long text. The whole text is printed once into an
// off-screen bitmap; painting copies the rows the scroll bar points at into the window.
class TextBoxView : public CustomControl {
public:
    TextBoxView(GUIElement* parent, std::string text);
    ~TextBoxView() override;

    // The first load makes the scroll bar; every load renders the text.
    void Load() override;
    void Hide() override;
    // Paints whenever loaded: the copied rows cover the whole area, so nothing is filled.
    void OnPaint() override;
    void SetText(std::string s) override;
    void SetEnabled(bool enable) override;
    void SetColor(int pen);
    void SetBorder(short v);
    void SetLeftAlign(short v);
    void SetRightAlign(short v);
    void SetCenterAlign(short v);

    // The scroll bar's callback: finds the view that owns the bar.
    static void evChangeValue(GUIElement* element, int value);
    void OnChangeValue(GUIElement* element, int value);

private:
    // Prints the whole text into the off-screen bitmap.
    void CreaImmagine();
    // The height the text takes printed in the view, at least one line's worth of view.
    int PrintedHeight();
    int TextWidth() const;

    std::unique_ptr<ScrollBar> scrollBar;
    int textColor = 1;
    int32_t offset = 0;
    BitMap* image = nullptr;
    int32_t contentHeight = 0;
    int16_t rightAlign = 0;
    int16_t centerAlign = 0;
    int16_t border = 1;
};

}  // namespace tessella
