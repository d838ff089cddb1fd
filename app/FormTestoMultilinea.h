#pragma once

#include <cstdint>
#include <string>

#include "runtime/Form.h"

namespace tessella {

class ButtonCustom;
class TextBoxCustom;

// A modal window that edits a text of several lines. After it has closed its creator reads
// the result (1 "OK", 2 cancel) and, after "OK", the edited text.
class FormTestoMultilinea : public Form {
public:
    FormTestoMultilinea(Form* owner, unsigned long instance, std::string title, std::string text,
                        bool italian);
    ~FormTestoMultilinea() override;

    int32_t GetResult() const { return result; }
    std::string GetTesto() const { return text; }

    virtual void evCreateChildren();
    virtual bool evClosing();
    virtual bool evKeyPress(int key);
    virtual void evCommand(GUIElement* element);

    static void CreateChildren(GUIElement* form, unsigned long handle);
    static bool Closing(GUIElement* form);
    static void Resizing(GUIElement* form);
    static bool KeyPress(GUIElement* element, int key);
    static void KeyDown(GUIElement* element, int key);
    static void KeyUp(GUIElement* element, int key);
    static void OnExecCommand(GUIElement* element);
    static FormTestoMultilinea* GetForm(GUIElement* element);

    static constexpr int kMaxText = 1600;

    Form* owner = nullptr;
    std::string text;
    int32_t result = 0;
    TextBoxCustom* txtTesto = nullptr;
    ButtonCustom* btnOk = nullptr;
    ButtonCustom* btnCancel = nullptr;
    bool italian = false;
};

}  // namespace tessella
