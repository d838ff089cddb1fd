#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "GadgetControl.h"

namespace tessella {

// A one-line text field on the platform's string gadget, or its integer gadget for numbers.
// It keeps the keyboard once clicked (a tab stop) and raises no command: its owner reads it.
class TextBox : public GadgetControl {
public:
    TextBox(GUIElement* parent, std::string text);

    // What the user typed last while the field is shown, else the stored text.
    std::string GetText() override;
    void SetText(std::string s) override;
    // Fixed for a text field at its first load: later calls only store the number.
    void SetMaxLength(int n) { maxLength = n; }
    // Chooses the gadget kind: a shown field is made again when it changes.
    void SetNumber(short v);
    void SetPassword(short v) { password = v; }
    void SetReadOnly(short v) { readOnly = v; }
    void SetMultiline(short v) { multiline = v; }
    void SetWordWrap(short v) { wordWrap = v; }
    void SetHScroll(short v) { hScroll = v; }
    void SetVScroll(short v) { vScroll = v; }
    void SetBorder(short v) { border = v; }
    void SetLower(short v) { lower = v; }
    void SetUpper(short v) { upper = v; }
    void SetLeftAlign(short v);
    void SetRightAlign(short v);
    void SetCenterAlign(short v);
    void SelectText(int /*from*/, int /*to*/) {}
    void GetSelectText(int* /*from*/, int* /*to*/) {}
    void SelectTextAll() {}
    void SetWindosStyle() {}
    int fnHook();
    void Focus() override { FocusGadget(); }
    bool TakesFocus() const override { return readOnly == 0; }

protected:
    Gadget* CreateOwnGadget(Gadget* last, NewGadget& ng) override;
    void OnReattach() override { WriteText(); }
    void OnDetach() override { GetText(); }

private:
    // The text into the gadget, cut to the buffer fixed at the first load.
    void WriteText();
    const char* FillBuffer();
    int MostChars() const { return static_cast<int>(buffer.size()) - 1; }

    int32_t maxLength = 256;
    int16_t number = 0;
    int16_t lower = 0;
    int16_t upper = 0;
    int16_t rightAlign = 0;
    int16_t centerAlign = 0;
    int16_t readOnly = 0;
    int16_t multiline = 0;
    int16_t password = 0;
    int16_t wordWrap = 0;
    int16_t hScroll = 0;
    int16_t vScroll = 0;
    int16_t border = 1;
    std::vector<char> buffer;
};

}  // namespace tessella
