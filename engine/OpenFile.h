#pragma once

#include <cstdint>

namespace tessella {

// The error state shared by the file classes: failures are flags the caller inspects, never
// exceptions or messages.
class OpenFile {
public:
    short Errore() const { return errore; }
    short NoFound() const { return noFound; }

protected:
    int16_t errore = 0;
    int16_t noFound = 0;
};

}  // namespace tessella
