// The command line's password decoding from UTF-8 to Latin-1, against an independent reading:
// UTF-8 text is Latin-1 exactly when it is made of ASCII bytes and two-byte sequences led by
// 0xC2 or 0xC3, and then each such sequence is one character.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cli/Latin1.h"

using namespace tessella;

namespace {

bool ExpectedLatin1(const std::string& text, std::string& out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<uint8_t>(text[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
        } else if ((b == 0xC2 || b == 0xC3) && i + 1 < text.size() &&
                   (static_cast<uint8_t>(text[i + 1]) & 0xC0) == 0x80) {
            const auto next = static_cast<uint8_t>(text[++i]);
            out += static_cast<char>((b == 0xC3 ? 0xC0 : 0x80) + (next & 0x3F));
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string got;
    std::string expected;
    const bool ok = Latin1::FromUtf8(text, got);
    if (ok != ExpectedLatin1(text, expected) || (ok && got != expected)) {
        std::abort();
    }
    return 0;
}
