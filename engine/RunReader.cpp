#include "RunReader.h"

#include <algorithm>

#include "FileUtils.h"
#include "OpenBinaryFile.h"

namespace tessella {

RunReader::RunReader(OpenBinaryFile& in, MyCustomRandom& generator, int64_t begin, int64_t end,
                     long runSize, bool foldInput)
    : in(in), generator(generator), begin(begin), end(end), runSize(runSize), foldInput(foldInput) {
    for (Run& r : runs) {
        r.data.resize(static_cast<size_t>(runSize));
        r.offsets.resize(static_cast<size_t>(runSize));
    }
    worker = std::thread([this] { Produce(); });
}

RunReader::~RunReader() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        quit = true;
    }
    changed.notify_all();
    worker.join();
}

RunReader::Run& RunReader::Next() {
    std::unique_lock<std::mutex> lock(mutex);
    if (taken >= 0) {
        ready[taken] = false;
        changed.notify_all();
    }
    const int slot = next;
    changed.wait(lock, [&] { return ready[slot]; });
    taken = slot;
    next = 1 - slot;
    return runs[slot];
}

std::string RunReader::InputChecksum() {
    std::lock_guard<std::mutex> lock(mutex);
    return FileUtils::ChecksumText(fold);
}

void RunReader::Produce() {
    int slot = 0;
    for (int64_t position = begin; position < end;) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return quit || !ready[slot]; });
            if (quit) {
                return;
            }
        }
        Run& r = runs[slot];
        const bool last = Fill(r, position);
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (foldInput && !r.failed) {
                FileUtils::FoldChecksum(fold, reinterpret_cast<const char*>(r.data.data()),
                                        static_cast<size_t>(r.n), position - begin);
            }
            ready[slot] = true;
        }
        changed.notify_all();
        if (last) {
            return;
        }
        position += r.n;
        slot = 1 - slot;
    }
}

bool RunReader::Fill(Run& r, int64_t position) {
    const long want = static_cast<long>(std::min<int64_t>(runSize, end - position));
    r.position = position;
    r.n =
        in.GetContenuto(static_cast<long>(position), reinterpret_cast<char*>(r.data.data()), want);
    r.failed = in.Errore() != 0;
    r.atEnd = in.isEOF() || r.n == 0;
    if (!r.failed) {
        generator.GetLowBytes(1, 16, r.offsets.data(), static_cast<size_t>(r.n));
    }
    return r.failed || r.atEnd || r.n < want;
}

}  // namespace tessella
