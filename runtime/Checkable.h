#pragma once

namespace tessella {

// A menu entry with a check mark that the platform toggles before the pick arrives.
class Checkable {
public:
    virtual ~Checkable() = default;
    virtual void SetChecked(short checked) = 0;
};

}  // namespace tessella
