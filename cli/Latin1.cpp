#include "Latin1.h"

#include "util/StringUtils.h"

#include <langinfo.h>

#include <cstring>

namespace tessella {

bool Latin1::FromUtf8(const std::string& text, std::string& out) {
    bool complete = true;
    out = StringUtils::Utf8ToLatin1(text, complete);
    return complete;
}

bool Latin1::LocaleIsLatin1() {
    const char* codeset = nl_langinfo(CODESET);
    return codeset != nullptr &&
           (std::strcmp(codeset, "ISO-8859-1") == 0 || std::strcmp(codeset, "ISO-8859-15") == 0);
}

}  // namespace tessella
