#include "Child.h"

#include "Application.h"

namespace tessella {

Child::Child(GUIElement* p, unsigned long inst) : GUIElement(inst), parent(p) {
    isChildren = 1;
}

Child::~Child() {
    Application::RemoveWinForm(this);
}

GUIElement* Child::GetFormParent() const {
    GUIElement* e = parent;
    while (e != nullptr && e->GetOrvClassName() != "form") {
        const Child* c = dynamic_cast<const Child*>(e);
        e = c != nullptr ? c->GetParent() : nullptr;
    }
    return e;
}

tagPOINT Child::GetPositionFromParent(int x, int y) const {
    tagPOINT p{x, y};
    GUIElement* e = parent;
    while (e != nullptr && e->GetOrvClassName() != "form") {
        const tagPOINT at = e->GetPosition();
        p.x += at.x;
        p.y += at.y;
        const Child* c = dynamic_cast<const Child*>(e);
        e = c != nullptr ? c->GetParent() : nullptr;
    }
    return p;
}

}  // namespace tessella
