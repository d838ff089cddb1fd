#include <array>
#include <cstring>
#include <mutex>

#include "exec.h"

namespace {

// Version 41 is what the AROS libraries of this API level report.
constexpr UWORD kVersion = 41;

struct KnownLibrary {
    const char* name;
    Library base;
};

std::array<KnownLibrary, 12>& Libraries() {
    static std::array<KnownLibrary, 12> libraries{{
        {"exec.library", {}},
        {"dos.library", {}},
        {"intuition.library", {}},
        {"graphics.library", {}},
        {"gadtools.library", {}},
        {"diskfont.library", {}},
        {"keymap.library", {}},
        {"locale.library", {}},
        {"asl.library", {}},
        {"iffparse.library", {}},
        {"utility.library", {}},
        {"workbench.library", {}},
    }};
    return libraries;
}

std::mutex openLock;

}  // namespace

Library* OpenLibrary(CONST_STRPTR libName, ULONG version) {
    if (libName == nullptr || version > kVersion) {
        return nullptr;
    }
    std::lock_guard guard(openLock);
    for (KnownLibrary& known : Libraries()) {
        if (std::strcmp(known.name, libName) != 0) {
            continue;
        }
        Library& base = known.base;
        base.lib_Node.ln_Type = NT_LIBRARY;
        base.lib_Node.ln_Name = const_cast<char*>(known.name);
        base.lib_Version = kVersion;
        base.lib_OpenCnt++;
        return &base;
    }
    return nullptr;
}

void CloseLibrary(Library* library) {
    if (library == nullptr) {
        return;
    }
    std::lock_guard guard(openLock);
    if (library->lib_OpenCnt > 0) {
        library->lib_OpenCnt--;
    }
}
