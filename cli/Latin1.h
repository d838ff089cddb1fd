#pragma once

#include <string>

namespace tessella {

// The system's texts and passwords are 8-bit Latin-1, while terminals and files speak UTF-8:
// the same password must give the same key wherever it was typed.
class Latin1 {
public:
    // Converts UTF-8 text to Latin-1. False (and `out` unspecified) when the text is not valid
    // UTF-8 or holds a character Latin-1 lacks.
    static bool FromUtf8(const std::string& text, std::string& out);

    // Whether the current locale's character set is already an 8-bit Latin one, so that input
    // arrives as Latin-1 bytes and needs no conversion.
    static bool LocaleIsLatin1();
};

}  // namespace tessella
