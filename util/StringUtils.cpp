#include "StringUtils.h"

#include <cctype>
#include <cinttypes>
#include <cstdio>

namespace tessella {

int32_t StringUtils::ita = 1;

namespace {

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

std::string StringUtils::ToUpper(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return s;
}

std::string StringUtils::ToLower(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

std::string StringUtils::LTrim(std::string s) {
    size_t i = 0;
    while (i < s.size() && IsSpace(s[i])) {
        ++i;
    }
    return s.substr(i);
}

std::string StringUtils::RTrim(std::string s) {
    size_t n = s.size();
    while (n > 0 && IsSpace(s[n - 1])) {
        --n;
    }
    s.resize(n);
    return s;
}

std::string StringUtils::Trim(std::string s) {
    return LTrim(RTrim(std::move(s)));
}

std::string StringUtils::Replace(std::string s, std::string from, std::string to) {
    // An empty pattern would match forever, and a replacement containing the pattern would too:
    // every search restarts at the beginning, so both leave the text as it is.
    if (from.empty() || to.find(from) != std::string::npos) {
        return s;
    }
    for (size_t pos = s.find(from); pos != std::string::npos; pos = s.find(from)) {
        s.replace(pos, from.size(), to);
    }
    return s;
}

std::string StringUtils::Replace(std::string s, char a, char b) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        if (c != a) {
            out.push_back(c);
        } else if (b != '\0') {
            out.push_back(b);
        }
    }
    return out;
}

std::string StringUtils::PaddingString(std::string s, char fill, int width) {
    if (width > 0 && s.size() < static_cast<size_t>(width)) {
        s.append(static_cast<size_t>(width) - s.size(), fill);
    }
    return s;
}

std::string StringUtils::LeftPaddingString(std::string s, char fill, int width) {
    if (width > 0 && s.size() < static_cast<size_t>(width)) {
        s.insert(0, static_cast<size_t>(width) - s.size(), fill);
    }
    return s;
}

std::string StringUtils::IntToStr(int64_t n, char fill, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%" PRId64, n);
    return LeftPaddingString(buf, fill, width);
}

std::string StringUtils::IntToStr(int64_t n) {
    return IntToStr(n, '0', 0);
}

std::string StringUtils::DoubleToStr(double x) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", x);
    return buf;
}

char StringUtils::GetSepDecimal() {
    return ita != 0 ? ',' : '.';
}

char StringUtils::GetSepMigliaia() {
    return ita != 0 ? '.' : ',';
}

std::string StringUtils::IntToStrLocale(int64_t n) {
    // Groups are counted on the digits alone, so a minus sign never gets a separator after it.
    const uint64_t magnitude = n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%" PRIu64, magnitude);
    std::string digits = buf;
    const std::string sep(1, GetSepMigliaia());
    for (size_t at : {3u, 7u, 11u}) {
        if (digits.size() > at) {
            digits.insert(digits.size() - at, sep);
        }
    }
    return n < 0 ? "-" + digits : digits;
}

std::string StringUtils::IntToStrLocale(int32_t n) {
    return IntToStrLocale(static_cast<int64_t>(n));
}

std::string StringUtils::Latin1ToUtf8(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

namespace {

// The length of the well-formed UTF-8 sequence at `at` (RFC 3629: no overlong forms, no
// surrogates, nothing beyond U+10FFFF), or 0 when the byte there starts none.
size_t SequenceLength(const std::string& s, size_t at, uint32_t& code) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(at);
    size_t length;
    unsigned char low = 0x80;  // the range the second byte must be in
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        code = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > s.size()) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        const unsigned char c = byte(at + i);
        if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xBF)) {
            return 0;
        }
        code = (code << 6) | (c & 0x3F);
    }
    return length;
}

// Characters Latin-1 lacks and malformed bytes become `standIn`, or are left out when it is 0.
std::string ToLatin1(const std::string& s, bool& complete, char standIn) {
    complete = true;
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        uint32_t code = 0;
        const size_t length = SequenceLength(s, i, code);
        if (length == 0) {
            complete = false;
            if (standIn != 0) {
                out.push_back(standIn);
            }
            ++i;  // a stray byte: resynchronise on the next one
            continue;
        }
        if (code <= 0xFF) {
            out.push_back(static_cast<char>(code));
        } else {
            complete = false;
            if (standIn != 0) {
                out.push_back(standIn);
            }
        }
        i += length;
    }
    return out;
}

}  // namespace

std::string StringUtils::Utf8ToLatin1(const std::string& s, bool& complete) {
    return ToLatin1(s, complete, 0);
}

std::string StringUtils::Utf8ToLatin1Shown(const std::string& s, bool& complete) {
    return ToLatin1(s, complete, kStandIn);
}

std::string StringUtils::Utf8ToLatin1Shown(const std::string& s) {
    bool complete = true;
    return ToLatin1(s, complete, kStandIn);
}

std::string StringUtils::Utf8ToLatin1(const std::string& s) {
    bool complete = true;
    return Utf8ToLatin1(s, complete);
}

std::string StringUtils::EscapeControls(const std::string& s) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(s.size());
    const auto escape = [&out](unsigned char c) {
        switch (c) {
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += "\\x";
                out.push_back(kHex[c >> 4]);
                out.push_back(kHex[c & 0x0F]);
        }
    };
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        uint32_t code = 0;
        const size_t length = SequenceLength(s, i, code);
        const bool control = code < 0x20 || (code >= 0x7F && code <= 0x9F);
        if (length == 0) {
            // A stray byte: in the C1 range a Latin-1 terminal would take it as a control.
            if (c >= 0x80 && c <= 0x9F) {
                escape(c);
            } else {
                out.push_back(s[i]);
            }
            ++i;
        } else if (control) {
            for (size_t k = 0; k < length; ++k) {
                escape(static_cast<unsigned char>(s[i + k]));
            }
            i += length;
        } else {
            out.append(s, i, length);
            i += length;
        }
    }
    return out;
}

}  // namespace tessella
