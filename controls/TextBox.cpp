#include "TextBox.h"

#include <algorithm>
#include <cstdlib>

#include "runtime/Application.h"
#include "util/StringUtils.h"

namespace tessella {

namespace {

// An integer gadget holds at most nine digits.
constexpr int kMostDigits = 9;

}  // namespace

TextBox::TextBox(GUIElement* parent, std::string s) : GadgetControl(parent) {
    className = "textbox";
    size = {80, 30};
    text = std::move(s);
}

std::string TextBox::GetText() {
    IPTR value = 0;
    if (number != 0) {
        if (GetGadgetAttr(GTIN_Number, value)) {
            text = StringUtils::IntToStr(static_cast<int64_t>(static_cast<LONG>(value)));
        }
    } else if (GetGadgetAttr(GTST_String, value) && value != 0) {
        text = reinterpret_cast<const char*>(value);
    }
    return text;
}

void TextBox::SetText(std::string s) {
    text = std::move(s);
    if (loaded) {
        WriteText();
    }
}

void TextBox::SetNumber(short v) {
    if ((v != 0) == (number != 0)) {
        return;
    }
    number = v;
    Rebuild();
}

void TextBox::SetLeftAlign(short v) {
    if (v != 0) {
        rightAlign = 0;
        centerAlign = 0;
    }
}

void TextBox::SetRightAlign(short v) {
    rightAlign = v;
    if (v != 0) {
        centerAlign = 0;
    }
}

void TextBox::SetCenterAlign(short v) {
    centerAlign = v;
    if (v != 0) {
        rightAlign = 0;
    }
}

int TextBox::fnHook() {
    Application::Log("call");
    return 0;
}

const char* TextBox::FillBuffer() {
    const size_t n = std::min(text.size(), static_cast<size_t>(std::max(MostChars(), 0)));
    std::fill(buffer.begin(), buffer.end(), '\0');
    std::copy_n(text.begin(), n, buffer.begin());
    return buffer.data();
}

void TextBox::WriteText() {
    if (buffer.empty()) {
        return;  // never loaded: the text goes in when the gadget is made
    }
    if (number != 0) {
        WriteAttrs(GTIN_Number, static_cast<LONG>(std::atoi(text.c_str())));
    } else {
        WriteAttrs(GTST_String, FillBuffer());
    }
}

Gadget* TextBox::CreateOwnGadget(Gadget* last, NewGadget& ng) {
    if (buffer.empty()) {
        buffer.assign(static_cast<size_t>(std::max(maxLength, 0)) + 1, '\0');
    }
    if (number != 0) {
        return MakeGadget(INTEGER_KIND, last, ng, GTIN_MaxChars, std::min(MostChars(), kMostDigits),
                          GTIN_Number, static_cast<LONG>(std::atoi(text.c_str())));
    }
    return MakeGadget(STRING_KIND, last, ng, GTST_String, FillBuffer(), GTST_MaxChars, MostChars(),
                      GT_Underscore, '_');
}

}  // namespace tessella
