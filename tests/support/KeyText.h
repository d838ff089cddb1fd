#pragma once
// The characters a raw-key message types, as the program's key translation reads them.

#include <string>

#include "intuition.h"
#include "keymap.h"

namespace tessella {

inline std::string KeyText(const IntuiMessage* m) {
    InputEvent ie{};
    ie.ie_Class = IECLASS_RAWKEY;
    ie.ie_Code = m->Code;
    ie.ie_Qualifier = m->Qualifier;
    ie.ie_EventAddress = m->IAddress;
    char buffer[8];
    const WORD n = MapRawKey(&ie, buffer, sizeof(buffer), nullptr);
    return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

}  // namespace tessella
