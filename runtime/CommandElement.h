#pragma once

namespace tessella {

class GUIElement;

// The command callback of clickable elements (buttons, menu entries, tool bar items).
class CommandElement {
public:
    using CommandFn = void (*)(GUIElement*);

    virtual ~CommandElement() = default;

    void SetCommand(CommandFn fn) { command = fn; }
    void OnCommand(GUIElement* element) {
        if (command != nullptr) {
            command(element);
        }
    }

private:
    CommandFn command = nullptr;
};

}  // namespace tessella
