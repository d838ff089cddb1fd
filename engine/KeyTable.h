#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessella {

// The 128-byte key table a password becomes: each password byte placed in a slot drawn by a
// generator seeded with that byte, the empty slots then filled by one seeded with the sum of
// them all. It masks the header's fields and, with the content stream, every content byte.
class KeyTable {
public:
    static constexpr size_t kSize = 128;

    static void Build(const std::string& password, uint8_t (&table)[kSize]);
};

}  // namespace tessella
