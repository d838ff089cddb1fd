#pragma once

#include "GUIElement.h"

namespace tessella {

// Whether an element is of a kind, told by its kind string ("form", "timer", "panel", ...).
inline bool IsKind(const GUIElement* e, const char* kind) {
    return e != nullptr && e->GetOrvClassName() == kind;
}

}  // namespace tessella
