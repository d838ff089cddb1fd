// Pattern parsing and matching: the input is a pattern, a 0 byte, and the string to match.
// Whatever the pattern, parsing stays inside the buffer it is given and matching ends.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dos.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\0');
    const std::string pattern = input.substr(0, split);
    const std::string string = split == std::string::npos ? "" : input.substr(split + 1);
    // The documented room: twice the pattern's length and two bytes more.
    const size_t room = 2 * pattern.size() + 2;
    std::vector<char> parsed(room);
    const LONG kind = ParsePattern(pattern.c_str(), parsed.data(), static_cast<LONG>(room));
    if (kind < -1 || kind > 1) {
        std::abort();
    }
    if (kind >= 0) {
        if (std::memchr(parsed.data(), '\0', room) == nullptr) {
            std::abort();  // the parsed form must end inside its buffer
        }
        const BOOL match = MatchPattern(parsed.data(), string.c_str());
        // Plain text matches itself and only itself.
        if (kind == 0 && pattern.find('\'') == std::string::npos &&
            (match != 0) != (pattern == string.c_str())) {
            std::abort();
        }
    }
    std::vector<char> noCase(room);
    if (ParsePatternNoCase(pattern.c_str(), noCase.data(), static_cast<LONG>(room)) >= 0) {
        MatchPatternNoCase(noCase.data(), string.c_str());
    }
    // Too small a buffer is refused, never overrun.
    if (room > 2) {
        std::vector<char> small(room / 2);
        ParsePattern(pattern.c_str(), small.data(), static_cast<LONG>(small.size()));
    }
    return 0;
}
