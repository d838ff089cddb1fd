#pragma once

namespace tessella {

// A system-gadget control whose value the user drags: the loop reports each new position.
class GadgetValueElement {
public:
    virtual ~GadgetValueElement() = default;
    // A scroll bar's new top, from the gadget message's code.
    virtual void OnScroll(int /*code*/) {}
    // A slider's value changed.
    virtual void OnChangeValue() {}
};

}  // namespace tessella
