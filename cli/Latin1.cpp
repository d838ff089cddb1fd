#include "Latin1.h"

#include <langinfo.h>

#include <cstdint>
#include <cstring>

bool Latin1::FromUtf8(const std::string& text, std::string& out) {
    out.clear();
    for (size_t i = 0; i < text.size();) {
        const uint8_t b = static_cast<uint8_t>(text[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        // Latin-1 ends at U+00FF, whose UTF-8 form is two bytes led by 0xC2 or 0xC3.
        if ((b == 0xC2 || b == 0xC3) && i + 1 < text.size()) {
            const uint8_t next = static_cast<uint8_t>(text[i + 1]);
            if ((next & 0xC0) == 0x80) {
                out.push_back(static_cast<char>(((b & 0x1F) << 6) | (next & 0x3F)));
                i += 2;
                continue;
            }
        }
        return false;
    }
    return true;
}

bool Latin1::LocaleIsLatin1() {
    const char* codeset = nl_langinfo(CODESET);
    return codeset != nullptr &&
           (std::strcmp(codeset, "ISO-8859-1") == 0 || std::strcmp(codeset, "ISO-8859-15") == 0);
}
