// The self-drawn text box's settings: each stores a mode, of the display here or of editing in
// the buffer, and repaints a loaded box where the mode shows.
#include <algorithm>

#include "TextBoxCustom.h"

namespace tessella {

void TextBoxCustom::SetEnabled(bool on) {
    SetEnabled(on ? 1 : 0);
}

void TextBoxCustom::SetEnabled(int on) {
    enabled = on != 0;
    Repaint();
}

void TextBoxCustom::SetMaxLength(int32_t length) {
    if (!loaded) {
        edit.SetMaxLength(std::max(length, 0));
    }
}

void TextBoxCustom::SetHScroll(int16_t on) {
    hScroll = on != 0;
    Repaint();
}

void TextBoxCustom::SetVScroll(int16_t on) {
    vScroll = on != 0;
    Repaint();
}

void TextBoxCustom::SetMultiline(int16_t on) {
    edit.SetMultiline(on != 0);
    Repaint();
}

void TextBoxCustom::SetReadOnly(int16_t on) {
    readOnly = on != 0;
    Repaint();
}

void TextBoxCustom::SetNumber(int16_t on) {
    edit.SetNumber(on != 0);
    Repaint();
}

void TextBoxCustom::SetDecimal(int16_t on) {
    edit.SetDecimal(on != 0);
    Repaint();
}

void TextBoxCustom::SetPassword(int16_t on) {
    password = on != 0;
    Repaint();
}

void TextBoxCustom::SetDate(int16_t on) {
    // A loaded box's buffer was made for the old length: it is remade for dd/mm/yyyy, keeping
    // the text shown so far.
    edit.SetDate(on != 0, loaded);
    text = edit.Text();
    Repaint();
}

void TextBoxCustom::SetInserimento(int16_t on) {
    edit.SetInsert(on != 0);
}

void TextBoxCustom::SetLower(int16_t on) {
    lower = on != 0;
    if (lower) {
        upper = false;
    }
    Repaint();
}

void TextBoxCustom::SetUpper(int16_t on) {
    upper = on != 0;
    if (upper) {
        lower = false;
    }
    Repaint();
}

void TextBoxCustom::SetRightAlign(int16_t on) {
    rightAlign = on != 0;
    if (rightAlign) {
        centerAlign = false;
    }
    Repaint();
}

void TextBoxCustom::SetCenterAlign(int16_t on) {
    centerAlign = on != 0;
    if (centerAlign) {
        rightAlign = false;
    }
    Repaint();
}

void TextBoxCustom::SetLeftAlign(int16_t on) {
    if (on != 0) {
        rightAlign = false;
        centerAlign = false;
    }
    Repaint();
}

void TextBoxCustom::SetWindosStyle() {
    Repaint();
}

}  // namespace tessella
