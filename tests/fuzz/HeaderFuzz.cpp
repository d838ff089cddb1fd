// The encrypted file's header reader on arbitrary file contents. The engine reads the header
// from a path, so each input is put in an in-memory file that the engine opens by name.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "InputFile.h"
#include "engine/CryptEngine.h"

using namespace tessella;

namespace {

// The password the seed files were encrypted with: with it the seeds' masked fields read back
// as the writer meant them, so mutations explore the fields rather than the signature.
constexpr char kPassword[] = "fuzzing-key";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = InputAsFile(data, size);
    CryptEngine engine;
    engine.GeneraKey(kPassword);
    if (!engine.GetHeaderFile(path)) {
        return 0;
    }
    // Whatever the reader accepts must be a header a writer could have written.
    if (size < static_cast<size_t>(CryptEngine::kHeaderSize) || engine.totalLength <= 0 ||
        engine.totalLength > CryptEngine::kMaxPlainLength || engine.plainFileName.empty() ||
        engine.plainFileName.size() > static_cast<size_t>(CryptEngine::kMaxNameLength) ||
        engine.plainFileName.find('/') != std::string::npos ||
        engine.readPosition != CryptEngine::kHeaderSize) {
        std::abort();
    }
    return 0;
}
