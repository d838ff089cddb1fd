#pragma once

#include <cstdint>
#include <string>

#include "CustomControl.h"
#include "Drawing.h"

struct Image;

namespace tessella {

// The toolkit's text cell: a rectangle showing one text, wrapped and aligned, with an optional
// one-pixel frame, image and check mark, and a selected state with colours of its own. Every
// setter that changes something marks the cell changed, so that its owner can tell.
class CellControl : public CustomControl {
public:
    explicit CellControl(GUIElement* parent);

    // Remembers the background it has now, for ResetBackgroundColor, and starts unchanged.
    void Load() override;
    void OnPaint() override;

    void SetText(std::string s) override;
    void SetAlign(OrvAlign a) { Change(textAlign, a); }
    void SetCheck(short v) { Change(check, static_cast<int16_t>(v)); }
    void SetColor(int pen) { Change(textColor, pen); }
    void SetBorder(short v) { Change(border, static_cast<int16_t>(v)); }
    void SetBold(short v) { Change(bold, static_cast<int16_t>(v)); }
    void SetUnderline(short v) { Change(underline, static_cast<int16_t>(v)); }
    void SetItalic(short v) { Change(italic, static_cast<int16_t>(v)); }
    void SetFontName(std::string name) { Change(fontName, std::move(name)); }
    void SetFontSize(int v) { Change(fontSize, static_cast<int32_t>(v)); }
    // The selection colours repaint without marking the cell changed.
    void SetSelected(bool v);
    void SetSelectedColor(int pen);
    void SetSelectedColorBG(int pen);
    void SetImage(Image* img, int width, int height, OrvAlign align);
    // Back to the background the cell had when it was loaded.
    void ResetBackgroundColor();
    bool IsChange() const { return changed; }
    void ResetChange() { changed = false; }
    int GetColor() const { return textColor; }

protected:
    // Draws only while the cell is loaded and painting is not suspended.
    void Repaint();

private:
    template <typename T>
    void Change(T& field, T value) {
        if (field == value) {
            return;
        }
        field = std::move(value);
        changed = true;
        Repaint();
    }

    bool changed = false;
    Image* image = nullptr;
    OrvAlign imageAlign = AlignRight;
    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
    int16_t check = 0;
    int16_t bold = 0;
    int16_t underline = 0;
    int16_t italic = 0;
    std::string fontName = "Topaz";
    int32_t fontSize = 8;
    OrvAlign textAlign = AlignCenter;
    int textColor = 1;
    long savedBackground = -1;
    int16_t border = 0;
    bool selected = false;
    int selectedColor = 1;
    int selectedBackground = 10;
};

}  // namespace tessella
