// Raw-key translation with any code, qualifiers, earlier keys, desktop layout reading and
// buffer length. The buffer is exactly as long as the caller says, so that a write past it is
// caught.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "keymap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // code (2), qualifier (2), flags (1), buffer length (1), then the prefix's bytes.
    if (size < 6) {
        return 0;
    }
    InputEvent event{};
    event.ie_Class = (data[4] & 0x80) ? data[4] & 0x0F : IECLASS_RAWKEY;
    event.ie_Code = static_cast<UWORD>(data[0] << 8 | data[1]);
    event.ie_Qualifier = static_cast<UWORD>(data[2] << 8 | data[3]);
    DeadKeyPrefix prefix{};
    std::memcpy(&prefix, data + 6, std::min(size - 6, sizeof(prefix)));
    if (data[4] & 1) {
        event.ie_EventAddress = &prefix;
    }
    const LONG length = data[5] & 0x3F;
    std::vector<char> buffer(static_cast<size_t>(length));
    const WORD n = MapRawKey(&event, buffer.empty() ? nullptr : buffer.data(), length, nullptr);
    if (n < -1 || n > length) {
        std::abort();
    }
    // A key that did not fit gives the same characters in a big enough buffer.
    std::vector<char> big(256);
    const WORD all = MapRawKey(&event, big.data(), static_cast<LONG>(big.size()), nullptr);
    if (all < 0 ||
        (n >= 0 && (n != all || (n > 0 && std::memcmp(buffer.data(), big.data(), n) != 0))) ||
        (n == -1 && all <= length)) {
        std::abort();
    }
    return 0;
}
