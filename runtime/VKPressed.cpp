#include "VKPressed.h"

#include <algorithm>
#include <iterator>

namespace tessella {

void VKPressed::KeyDOWN(int k) {
    if (k < 0 || k > 255) {
        return;
    }
    if (singleKey != 0) {
        std::fill(std::begin(keys), std::end(keys), 0);
    }
    keys[k] = 1;
}

void VKPressed::KeyUP(int k) {
    if (k >= 0 && k <= 255) {
        keys[k] = 0;
    }
}

int16_t VKPressed::KeyPressed(int k) const {
    return k >= 0 && k <= 255 ? keys[k] : 0;
}

}  // namespace tessella
