#pragma once

#include <cstdint>
#include <string>

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
};
