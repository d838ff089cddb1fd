#include <unistd.h>

#include <cstdlib>

#include "exec.h"

APTR AllocMem(ULONG byteSize, ULONG requirements) {
    if (byteSize == 0) {
        return nullptr;
    }
    if (requirements & MEMF_CLEAR) {
        return std::calloc(1, byteSize);
    }
    return std::malloc(byteSize);
}

void FreeMem(APTR memoryBlock, ULONG /*byteSize*/) {
    std::free(memoryBlock);
}

IPTR AvailMem(ULONG attributes) {
    const long pageSize = sysconf(_SC_PAGESIZE);
    const long pages =
        (attributes & MEMF_TOTAL) ? sysconf(_SC_PHYS_PAGES) : sysconf(_SC_AVPHYS_PAGES);
    if (pageSize <= 0 || pages <= 0) {
        return 0;
    }
    return static_cast<IPTR>(pages) * static_cast<IPTR>(pageSize);
}
