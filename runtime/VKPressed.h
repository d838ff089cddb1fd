#pragma once

#include <cstdint>

namespace tessella {

// The down/up state of 256 keys; in single-key mode a new key releases all others.
class VKPressed {
public:
    void SetSingleKey(int16_t v) { singleKey = v; }
    void KeyDOWN(int k);
    void KeyUP(int k);
    int16_t KeyPressed(int k) const;

private:
    int16_t keys[256] = {};
    int16_t singleKey = 1;
};

}  // namespace tessella
