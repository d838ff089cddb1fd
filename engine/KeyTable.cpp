#include "KeyTable.h"

#include <algorithm>
#include <iterator>

#include "MyCustomRandom.h"

namespace tessella {

void KeyTable::Build(const std::string& password, uint8_t (&table)[kSize]) {
    std::fill(std::begin(table), std::end(table), 0);
    // The table has 128 slots: bytes beyond the 128th could never be placed.
    const size_t n = std::min(password.size(), sizeof table);
    int32_t sum = 0;
    for (size_t i = 0; i < n; ++i) {
        const int8_t c = static_cast<int8_t>(password[i]);
        MyCustomRandom g(c);
        int slot = g.GetRandomNumber(0, 127);
        while (slot >= 0 && slot < 128 && table[slot] != 0) {
            slot = g.GetRandomNumber(0, 127);
        }
        if (slot < 0 || slot >= 128) {
            // A draw outside the table takes the lowest empty slot, so placement always ends.
            slot = static_cast<int>(std::find(std::begin(table), std::end(table), 0) -
                                    std::begin(table));
        }
        table[slot] = static_cast<uint8_t>(password[i]);
        sum += c + 73 * static_cast<int32_t>(i);
    }
    MyCustomRandom filler(sum);
    for (uint8_t& slot : table) {
        if (slot == 0) {
            slot = static_cast<uint8_t>(static_cast<uint32_t>(filler.GetRandomNumber(1, 255)));
        }
    }
}

}  // namespace tessella
