#pragma once

#include <cstdint>
#include <string>

#include "CustomControl.h"
#include "runtime/CommandElement.h"

struct Image;

namespace tessella {

// The push button the toolkit draws itself: a raised bevel that sinks for 200 ms when
// clicked, then runs its command. It can carry an image beside its caption, and as a combo
// button a drop-down arrow at its right end.
class ButtonCustom : public CustomControl, public CommandElement {
public:
    ButtonCustom(GUIElement* parent, std::string caption);
    void Init(GUIElement* newParent, std::string caption);

    void OnPaint() override;
    void SetText(std::string s) override;
    void SetEnabled(bool enable) override;
    void OnFocus() override;
    void OnLeave() override;
    // The click: pressed look, a pause, released look, then the command and the element's
    // own release handling. A disabled button ignores it.
    void OnLeftMouseUP(tagPOINT p) override;
    bool TakesFocus() const override { return true; }
    void Focus() override { TakeFocus(); }
    // Space or Return presses the button that has the keyboard, as a click does.
    bool OnKeyPress(int character) override;

    void SetColor(int pen) { textColour = pen; }
    void SetComboCommand(int8_t flag);
    void SetBitmap(Image* img);
    void SetBitmapDisabled(Image* img);
    bool IsPressed() const { return pressed != 0; }

    // The drop-down arrow of a combo button, 16 x 16, enabled and disabled.
    static Image imgCbo;
    static Image imgCboDis;

private:
    void Repaint();
    // Pressed look, a pause, released look, then the command; false for a disabled button.
    bool Press();
    void PaintCaption(Drawing& d, int x, int y, int w, int h, int background, Image* shown);

    int32_t textColour = 1;
    int16_t pressed = 0;
    int8_t combo = 0;
    Image* image = nullptr;
    Image* imageDisabled = nullptr;
};

}  // namespace tessella
