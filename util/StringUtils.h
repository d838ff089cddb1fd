#pragma once

#include <cstdint>
#include <string>

namespace tessella {

// Byte-string helpers shared by every subsystem. Strings hold 8-bit (Latin-1) text; every byte is
// classified as an unsigned char so that accented letters never reach the C library as negative
// values.
class StringUtils {
public:
    // Non-zero selects Italian number separators.
    static int32_t ita;

    static std::string ToUpper(std::string s);
    static std::string ToLower(std::string s);
    static std::string Trim(std::string s);
    static std::string LTrim(std::string s);
    static std::string RTrim(std::string s);
    static std::string Replace(std::string s, std::string from, std::string to);
    static std::string Replace(std::string s, char a, char b);
    static std::string PaddingString(std::string s, char fill, int width);
    static std::string LeftPaddingString(std::string s, char fill, int width);
    static std::string IntToStr(int64_t n, char fill, int width);
    static std::string IntToStr(int64_t n);
    static std::string DoubleToStr(double x);
    static char GetSepDecimal();
    static char GetSepMigliaia();
    static std::string IntToStrLocale(int64_t n);
    static std::string IntToStrLocale(int32_t n);
    static std::string ConvertToStr(std::string s) { return s; }
    static std::string ConvertToW(std::string s) { return s; }

    // The program's text is Latin-1, while Linux file names, terminals and the desktop speak
    // UTF-8: these convert at that boundary. Every Latin-1 byte has a UTF-8 form, so the first
    // never fails.
    static std::string Latin1ToUtf8(const std::string& s);
    // Characters Latin-1 lacks, and bytes that are not well-formed UTF-8, are left out;
    // `complete` tells whether anything was.
    static std::string Utf8ToLatin1(const std::string& s, bool& complete);
    static std::string Utf8ToLatin1(const std::string& s);
    // The same for text that is only shown (messages): each character Latin-1 lacks, and each
    // byte that is not well-formed UTF-8, becomes kStandIn, so that the reader sees that
    // something stands there rather than a name that looks whole.
    static constexpr char kStandIn = '?';
    static std::string Utf8ToLatin1Shown(const std::string& s, bool& complete);
    static std::string Utf8ToLatin1Shown(const std::string& s);

    // A name as a message shows it: control characters, which a terminal would obey (an escape
    // sequence retitles it, a line end fakes a new message line) and a window cannot draw, are
    // written as \t, \n, \r or \xHH. That covers C0, DEL and C1, whether C1 comes as UTF-8 or
    // as a stray byte; every other byte, well-formed or not, is left as it is.
    static std::string EscapeControls(const std::string& s);
};

}  // namespace tessella
