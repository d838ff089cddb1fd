#include "ContentPass.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "FileUtils.h"
#include "OpenBinaryFile.h"
#include "PassHalf.h"
#include "RunReader.h"

namespace tessella {

int ContentPass::Progress::At(long position) const {
    const double share = static_cast<double>(position) / static_cast<double>(total);
    return start + MyCustomRandom::ToInt32(share * static_cast<double>(span));
}

bool ContentPass::Progress::IsSteady(long runEnd, int shown) const {
    const double share = static_cast<double>(runEnd) / static_cast<double>(total);
    // Past the int32 range the value wraps to INT32_MIN and no longer grows with the position.
    return share * static_cast<double>(span) < 2147483648.0 && At(runEnd) == shown;
}

int32_t ContentPass::Seed(const std::string& checksum) {
    int32_t seed = 0;
    for (char c : checksum) {
        seed += static_cast<int8_t>(c);
    }
    return seed;
}

// Whole blocks are fixed-length loops, which the compiler vectorises.
void ContentPass::MaskRun(uint8_t* __restrict data, const uint8_t* __restrict offsets,
                          const uint8_t* __restrict key, size_t n) {
    constexpr size_t kBlock = kBlockSize;
    size_t i = 0;
    for (; i + kBlock <= n; i += kBlock) {
        for (size_t k = 0; k < kBlock; ++k) {
            data[i + k] ^= static_cast<uint8_t>(key[k] + offsets[i + k]);
        }
    }
    for (size_t k = 0; i + k < n; ++k) {
        data[i + k] ^= static_cast<uint8_t>(key[k] + offsets[i + k]);
    }
}

bool ContentPass::Run(const std::string& source, OpenBinaryFile* out, MyCustomRandom& generator,
                      PlainSide plain, std::string& checksum) {
    OpenBinaryFile in(source);
    if (in.Errore() != 0 || (out != nullptr && out->Errore() != 0)) {
        return false;
    }
    // The pass moves exactly the length it announced: bytes after it are not content.
    const int64_t readEnd = state.readPosition + std::max<int32_t>(state.totalLength, 0);
    if (readEnd - state.readPosition >= kSplitSize) {
        bool handled = false;
        const bool ok = RunSplit(source, out, generator, plain, checksum, readEnd, handled);
        if (handled) {
            if (out != nullptr) {
                out->CloseFile();
            }
            return ok && (out == nullptr || out->Errore() == 0);
        }
    }
    if (!RunInRuns(in, out, generator, plain, checksum, readEnd)) {
        return false;
    }
    if (out != nullptr) {
        out->CloseFile();
        return out->Errore() == 0;
    }
    return true;
}

// The content moves in runs of many 128-byte blocks, so that a large file is not two system
// calls per block. Within a run each block is still its own step: the key index restarts at it,
// the progress value is the one its end gives, and a stop is noticed after it, so that the
// destination then holds exactly the blocks done.
bool ContentPass::RunInRuns(OpenBinaryFile& in, OpenBinaryFile* out, MyCustomRandom& generator,
                            PlainSide plain, std::string& checksum, int64_t readEnd) {
    int64_t& readPosition = state.readPosition;
    int64_t& writePosition = state.writePosition;
    const int64_t contentStart = readPosition;
    uint8_t fold[16] = {};
    int shown = progress.start;
    RunReader reader(in, generator, readPosition, readEnd, kRunSize, plain == PlainSide::kInput);
    while (readPosition < readEnd) {
        RunReader::Run& run = reader.Next();
        if (run.failed) {
            return false;
        }
        const long n = run.n;
        MaskRun(run.data.data(), run.offsets.data(), state.key, static_cast<size_t>(n));
        const long done = WalkBlocks(n, shown);
        if (plain == PlainSide::kOutput) {
            FileUtils::FoldChecksum(fold, reinterpret_cast<const char*>(run.data.data()),
                                    static_cast<size_t>(done), readPosition - contentStart);
        }
        if (out != nullptr && !out->SaveContenuto(static_cast<long>(writePosition),
                                                  reinterpret_cast<char*>(run.data.data()), done)) {
            return false;
        }
        readPosition += done;
        writePosition += done;
        if (done < n || !state.running || run.atEnd || n == 0) {
            break;
        }
    }
    checksum = plain == PlainSide::kInput ? reader.InputChecksum() : FileUtils::ChecksumText(fold);
    return true;
}

// A large pass is cut in two halves done at once on two threads: the second half's stream is
// the generator's, moved ahead by the first half's length. `handled` stays false, and nothing
// has been read or written, when the generator cannot be moved ahead cheaply; the caller then
// runs the pass in one piece. A stop ends both halves after their current run; the positions
// then count the bytes done from the start without a gap.
bool ContentPass::RunSplit(const std::string& source, OpenBinaryFile* out,
                           MyCustomRandom& generator, PlainSide plain, std::string& checksum,
                           int64_t readEnd, bool& handled) {
    const int64_t begin = state.readPosition;
    const int64_t middle = begin + (readEnd - begin) / 2 / kRunSize * kRunSize;
    MyCustomRandom ahead = generator;
    if (!ahead.Skip(static_cast<size_t>(middle - begin), kSkipStepLimit)) {
        return false;
    }
    handled = true;
    PassHalf first, second;
    first.from = begin;
    first.to = middle;
    second.from = middle;
    second.to = readEnd;
    RunHalves(source, out, plain, first, generator, second, ahead);
    int64_t done = first.done;
    if (first.done == middle - begin) {
        done += second.done;
    }
    state.readPosition += done;
    state.writePosition += done;
    for (size_t k = 0; k < 16; ++k) {
        first.fold[k] ^= second.fold[k];
    }
    checksum = FileUtils::ChecksumText(first.fold);
    return !first.failed && !second.failed;
}

// The thread that asked for the pass only follows the two halves: it alone reports progress, as
// the engine's hooks expect, and wakes as soon as both are over.
void ContentPass::RunHalves(const std::string& source, OpenBinaryFile* out, PlainSide plain,
                            PassHalf& first, MyCustomRandom& firstStream, PassHalf& second,
                            MyCustomRandom& secondStream) {
    const PassHalf::Plan plan{source,
                              out != nullptr ? &out->Path() : nullptr,
                              state.writePosition - state.readPosition,
                              state.readPosition,
                              kRunSize,
                              state.key,
                              plain == PlainSide::kInput};
    std::mutex mutex;
    std::condition_variable over;
    int halvesLeft = 2;
    const auto runHalf = [&](PassHalf& half, MyCustomRandom& stream) {
        half.Run(plan, stream, state.running);
        {
            std::lock_guard<std::mutex> lock(mutex);
            --halvesLeft;
        }
        over.notify_all();
    };
    std::thread helper([&] { runHalf(second, secondStream); });
    std::thread firstHalf([&] { runHalf(first, firstStream); });
    int shown = progress.start;
    const int64_t start = state.writePosition;
    for (std::unique_lock<std::mutex> lock(mutex); halvesLeft > 0;) {
        over.wait_for(lock, std::chrono::milliseconds(5), [&] { return halvesLeft == 0; });
        lock.unlock();
        Show(start + first.done + second.done, shown);
        lock.lock();
    }
    firstHalf.join();
    helper.join();
    Show(start + first.done + second.done, shown);
}

// Reports the progress of each block of a run of n bytes starting at writePosition and watches
// for a stop after each; returns the bytes of the blocks done. The value only grows with the
// position, so a run whose last value is the one already shown needs no call at all.
long ContentPass::WalkBlocks(long n, int& shown) {
    const bool quiet = progress.IsSteady(state.writePosition + n, shown);
    long done = 0;
    do {
        done += std::min<long>(kBlockSize, n - done);
        if (!quiet) {
            Show(state.writePosition + done, shown);
        }
        if (!state.running) {
            break;
        }
    } while (done < n);
    return done;
}

void ContentPass::Show(long position, int& shown) {
    const int value = progress.At(position);
    if (value != shown) {
        shown = value;
        report(value);
    }
}

}  // namespace tessella
