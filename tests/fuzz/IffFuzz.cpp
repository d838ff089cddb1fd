// IFF parsing as a sound loader does it: the header kept as a property, the samples read from
// the body chunk; then, on the same input, a step-by-step walk of every context. The input is
// put in an in-memory file that the DOS layer opens by name.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "InputFile.h"
#include "dos.h"
#include "iffparse.h"

using namespace tessella;

namespace {

constexpr LONG kType = MAKE_ID('8', 'S', 'V', 'X');
constexpr LONG kHeader = MAKE_ID('V', 'H', 'D', 'R');
constexpr LONG kBody = MAKE_ID('B', 'O', 'D', 'Y');

void Walk(const std::string& path, LONG control, size_t size) {
    const BPTR file = Open(path.c_str(), MODE_OLDFILE);
    IFFHandle* iff = AllocIFF();
    if (file == 0 || iff == nullptr) {
        std::abort();
    }
    iff->iff_Stream = reinterpret_cast<IPTR>(file);
    InitIFFasDOS(iff);
    if (OpenIFF(iff, IFFF_READ) != 0) {
        std::abort();
    }
    if (control == IFFPARSE_SCAN) {
        PropChunk(iff, kType, kHeader);
        StopChunk(iff, kType, kBody);
    }
    // Each step reads at least a chunk header, so the walk ends within the input's length.
    size_t steps = 0;
    for (LONG error = 0; error == 0 || error == IFFERR_EOC; ++steps) {
        if (steps > size + 2) {
            std::abort();
        }
        error = ParseIFF(iff, control);
        if (error != 0) {
            continue;
        }
        if (const StoredProperty* header = FindProp(iff, kType, kHeader)) {
            if (header->sp_Size < 0 || (header->sp_Size > 0 && header->sp_Data == nullptr)) {
                std::abort();
            }
            volatile UBYTE last =
                header->sp_Size > 0
                    ? static_cast<const UBYTE*>(header->sp_Data)[header->sp_Size - 1]
                    : 0;
            (void)last;
        }
        const ContextNode* chunk = CurrentChunk(iff);
        // A stream is read without knowing its length, so a size may promise more than the
        // file holds; but none is negative, and no context has read past its end.
        if (chunk != nullptr && (chunk->cn_Size < 0 || chunk->cn_Scan < 0 ||
                                 int64_t{chunk->cn_Scan} > int64_t{chunk->cn_Size} + 1)) {
            std::abort();
        }
        std::vector<UBYTE> samples(512);
        for (LONG got; (got = ReadChunkBytes(iff, samples.data(), 512)) > 0;) {
            if (got > 512) {
                std::abort();
            }
        }
    }
    CloseIFF(iff);
    FreeIFF(iff);
    Close(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = InputAsFile(data, size);
    Walk(path, IFFPARSE_SCAN, size);
    Walk(path, IFFPARSE_STEP, size);
    return 0;
}
