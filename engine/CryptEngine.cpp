#include "CryptEngine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>

#include "FileUtils.h"
#include "OpenBinaryFile.h"
#include "WorkFile.h"
#include "util/StringUtils.h"

namespace {

constexpr std::string_view kSignatureText = "TESSELLA-CROSS-EDITION/VEL-ENCRYPTED-FILE/1";
static_assert(kSignatureText.size() == 43, "the signature is 43 bytes");

constexpr long kSignatureOffset = 0;
constexpr long kNameOffset = 44;
constexpr long kChecksumOffset = 173;
constexpr long kLengthOffset = 206;
constexpr size_t kChecksumFieldSize = 33;
constexpr size_t kLengthFieldSize = 10;

// A file's own name, as Linux has it: everything after the last "/". Backslashes and colons
// are letters of the name, not separators.
std::string OwnName(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

// A file's own name as a message shows it.
std::string NameOf(const std::string& path) {
    return StringUtils::EscapeControls(OwnName(path));
}

// The same, in capitals, as the "not found" message has it.
std::string UpperNameOf(const std::string& path) {
    return StringUtils::EscapeControls(StringUtils::ToUpper(OwnName(path)));
}

// The folder a path lies in, with its final "/". On Linux only "/" separates folders, so output
// files placed next to another file use this rather than the portable path rules.
std::string FolderOf(const std::string& path) {
    const size_t cut = path.rfind('/');
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// A folder as the user named it: without its final "/", and the current folder for none.
std::string ShownFolder(const std::string& folder) {
    if (folder.empty()) {
        return ".";
    }
    return StringUtils::EscapeControls(
        folder.size() > 1 && folder.back() == '/' ? folder.substr(0, folder.size() - 1) : folder);
}

// The system's words for an error number; unlike strerror, safe on the job's thread.
std::string SystemReason(int error) {
    return std::error_code(error, std::generic_category()).message();
}

// Whether two names reach one file: by device and inode, so that names differing only in case
// are two files where the file system tells them apart, and one where it folds case.
bool SamePath(const std::string& a, const std::string& b) {
    return FileUtils::SameFile(a, b);
}

// A stored name must stay a plain name inside the folder the user chose.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string::npos;
}

// Low 8 bits of a key byte plus a generator value, added without signed overflow.
uint8_t Mask(uint8_t key, int32_t value) {
    return static_cast<uint8_t>(static_cast<uint32_t>(key) + static_cast<uint32_t>(value));
}

// Reads the decimal number at the start of a field the way the C library's atol does, without
// its undefined overflow: 10 digits or more are reported as out of range (-1).
int64_t ParseLength(const char* field, size_t size) {
    size_t i = 0;
    while (i < size && (field[i] == ' ' || (field[i] >= '\t' && field[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < size && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    int64_t value = 0;
    int digits = 0;
    for (; i < size && field[i] >= '0' && field[i] <= '9'; ++i) {
        value = value * 10 + (field[i] - '0');
        ++digits;
    }
    if (digits >= 10 || negative) {
        return value == 0 ? 0 : -1;
    }
    return value;
}

// data[i] ^= low 8 bits of (key[i mod 128] + offsets[i]): the key index is the position inside
// the 128-byte block. Whole blocks are fixed-length loops, which the compiler vectorises.
void MaskRun(uint8_t* __restrict data, const uint8_t* __restrict offsets,
             const uint8_t* __restrict key, size_t n) {
    constexpr size_t kBlock = CryptEngine::kBlockSize;
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

// One run of a content pass: the bytes read at `position`, the cipher's offsets for them, and
// how the read ended.
struct Run {
    std::vector<uint8_t> data;
    std::vector<uint8_t> offsets;
    int64_t position = 0;
    long n = 0;
    bool atEnd = false;
    bool failed = false;
};

// Reads a pass's source and draws the cipher's offsets one run ahead on another thread, while
// the pass masks and writes the run before: the two copies through the kernel then overlap,
// and the stream depends only on the seed, never on the content. It reads exactly the runs a
// pass from `begin` to `end` would read one at a time, and stops after a short or failed read.
// When `foldInput` is set it folds the checksum of what it read, relative to `begin`.
class RunReader {
public:
    RunReader(OpenBinaryFile& in, MyCustomRandom& generator, int64_t begin, int64_t end,
              long runSize, bool foldInput)
        : in(in),
          generator(generator),
          begin(begin),
          end(end),
          runSize(runSize),
          foldInput(foldInput) {
        for (Run& r : runs) {
            r.data.resize(static_cast<size_t>(runSize));
            r.offsets.resize(static_cast<size_t>(runSize));
        }
        worker = std::thread([this] { Produce(); });
    }
    ~RunReader() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            quit = true;
        }
        changed.notify_all();
        worker.join();
    }
    RunReader(const RunReader&) = delete;
    RunReader& operator=(const RunReader&) = delete;

    // The next run; it stays valid, and the caller may change its bytes, until the next call.
    Run& Next() {
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

    // The checksum of everything read; complete once the last run has been taken.
    std::string InputChecksum() {
        std::lock_guard<std::mutex> lock(mutex);
        return FileUtils::ChecksumText(fold);
    }

private:
    void Produce() {
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
            const long want = static_cast<long>(std::min<int64_t>(runSize, end - position));
            r.position = position;
            r.n = in.GetContenuto(static_cast<long>(position),
                                  reinterpret_cast<char*>(r.data.data()), want);
            r.failed = in.Errore() != 0;
            r.atEnd = in.isEOF() || r.n == 0;
            if (!r.failed) {
                generator.GetLowBytes(1, 16, r.offsets.data(), static_cast<size_t>(r.n));
            }
            const bool last = r.failed || r.atEnd || r.n < want;
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

    OpenBinaryFile& in;
    MyCustomRandom& generator;
    const int64_t begin;
    const int64_t end;
    const long runSize;
    const bool foldInput;
    Run runs[2];
    bool ready[2] = {false, false};
    int next = 0;
    int taken = -1;
    bool quit = false;
    uint8_t fold[16] = {};
    std::mutex mutex;
    std::condition_variable changed;
    std::thread worker;
};

// Reads count bytes at offset, going on after short reads; returns what was read, or -1 on an
// error. Fewer than count bytes means the file ends there.
ssize_t ReadAt(int fd, uint8_t* data, size_t count, int64_t offset) {
    size_t got = 0;
    while (got < count) {
        const ssize_t r = ::pread(fd, data + got, count - got, static_cast<off_t>(offset) + got);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r < 0) {
            return -1;
        }
        if (r == 0) {
            break;
        }
        got += static_cast<size_t>(r);
    }
    return static_cast<ssize_t>(got);
}

bool WriteAt(int fd, const uint8_t* data, size_t count, int64_t offset) {
    size_t put = 0;
    while (put < count) {
        const ssize_t w = ::pwrite(fd, data + put, count - put, static_cast<off_t>(offset) + put);
        if (w < 0 && errno == EINTR) {
            continue;
        }
        if (w <= 0) {
            return false;
        }
        put += static_cast<size_t>(w);
    }
    return true;
}

// A descriptor closed with its scope.
struct Descriptor {
    int fd = -1;
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
};

// One of the two halves of a large content pass, done by a thread of its own: its part of the
// source, read, masked with the generator's stream from the half's start, folded on the plain
// side and written at the matching place of the output. Blocks start at multiples of 128 from
// the content's start in both halves, so every byte gets the key index it would get in one
// sequential pass.
struct PassHalf {
    int64_t from = 0;  // source positions
    int64_t to = 0;
    std::atomic<int64_t> done{0};  // bytes finished, contiguous from `from`
    bool failed = false;
    uint8_t fold[16] = {};

    void Run(const std::string& source, const std::string* output, int64_t writeShift,
             int64_t contentStart, int64_t runSize, MyCustomRandom& generator, const uint8_t* key,
             bool foldInput, const std::atomic<bool>& running) {
        Descriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
        Descriptor out(output == nullptr ? -1 : ::open(output->c_str(), O_WRONLY | O_CLOEXEC));
        failed = in.fd < 0 || (output != nullptr && out.fd < 0);
        std::vector<uint8_t> data(static_cast<size_t>(runSize));
        std::vector<uint8_t> offsets(data.size());
        for (int64_t position = from; !failed && position < to && running;) {
            const size_t want = static_cast<size_t>(std::min<int64_t>(runSize, to - position));
            const ssize_t got = ReadAt(in.fd, data.data(), want, position);
            if (got < 0) {
                failed = true;
                break;
            }
            const size_t n = static_cast<size_t>(got);
            const int64_t column = position - contentStart;
            if (foldInput) {
                FileUtils::FoldChecksum(fold, reinterpret_cast<const char*>(data.data()), n,
                                        column);
            }
            generator.GetLowBytes(1, 16, offsets.data(), n);
            MaskRun(data.data(), offsets.data(), key, n);
            if (!foldInput) {
                FileUtils::FoldChecksum(fold, reinterpret_cast<const char*>(data.data()), n,
                                        column);
            }
            if (out.fd >= 0 && !WriteAt(out.fd, data.data(), n, position + writeShift)) {
                failed = true;
                break;
            }
            position += static_cast<int64_t>(n);
            done = position - from;
            if (n < want) {
                break;  // the source ends here
            }
        }
    }
};

}  // namespace

int CryptEngine::PassProgress::At(long position) const {
    const double share = static_cast<double>(position) / static_cast<double>(total);
    return start + MyCustomRandom::ToInt32(share * static_cast<double>(span));
}

bool CryptEngine::PassProgress::IsSteady(long runEnd, int shown) const {
    const double share = static_cast<double>(runEnd) / static_cast<double>(total);
    // Past the int32 range the value wraps to INT32_MIN and no longer grows with the position.
    return share * static_cast<double>(span) < 2147483648.0 && At(runEnd) == shown;
}

const char CryptEngine::kSignature[44] = "TESSELLA-CROSS-EDITION/VEL-ENCRYPTED-FILE/1";

// Where a job's output lives until the job has succeeded: a work file in the destination's
// folder that takes the destination's name at the end, so that a failed or stopped job never
// destroys an existing file and leaves nothing of its own.
struct CryptEngine::Output {
    std::string destination;
    WorkFile work;
    bool existed = false;
    // The permission bits the output ends with: never broader than its origin, nor than the
    // file it replaces.
    mode_t mode = 0600;
};

// The source, held open from the first look at it to the end of the job: every pass reads the
// same file, whatever happens to its name meanwhile.
struct CryptEngine::Source {
    std::string name;  // as the user gave it
    std::string path;  // opens the held file
    // Closed with the source, and never copied: a copy would close it a second time.
    Descriptor held{-1};
    struct stat status {};

    // Whether the file still has the size and time of change it had when it was opened.
    bool Unchanged() const {
        struct stat now {};
        return ::fstat(held.fd, &now) == 0 && now.st_size == status.st_size &&
               now.st_mtim.tv_sec == status.st_mtim.tv_sec &&
               now.st_mtim.tv_nsec == status.st_mtim.tv_nsec;
    }
};

int32_t CryptEngine::ContentSeed(const std::string& checksum) {
    int32_t seed = 0;
    for (char c : checksum) {
        seed += static_cast<int8_t>(c);
    }
    return seed;
}

void CryptEngine::GeneraKey(std::string password) {
    std::fill(std::begin(keyTable), std::end(keyTable), 0);
    // The table has 128 slots: bytes beyond the 128th could never be placed.
    const size_t n = std::min(password.size(), sizeof keyTable);
    int32_t sum = 0;
    for (size_t i = 0; i < n; ++i) {
        const int8_t c = static_cast<int8_t>(password[i]);
        MyCustomRandom g(c);
        int slot = g.GetRandomNumber(0, 127);
        while (slot >= 0 && slot < 128 && keyTable[slot] != 0) {
            slot = g.GetRandomNumber(0, 127);
        }
        if (slot < 0 || slot >= 128) {
            // A draw outside the table takes the lowest empty slot, so placement always ends.
            slot = static_cast<int>(std::find(std::begin(keyTable), std::end(keyTable), 0) -
                                    std::begin(keyTable));
        }
        keyTable[slot] = static_cast<uint8_t>(password[i]);
        sum += c + 73 * static_cast<int32_t>(i);
    }
    MyCustomRandom filler(sum);
    for (uint8_t& slot : keyTable) {
        if (slot == 0) {
            slot = static_cast<uint8_t>(static_cast<uint32_t>(filler.GetRandomNumber(1, 255)));
        }
    }
}

bool CryptEngine::CriptaDecripta(std::string source, std::string destination,
                                 MyCustomRandom& generator) {
    OpenBinaryFile out(destination, 0, 0, 1);
    std::string checksum;
    return ContentPass(source, &out, generator, PlainSide::kOutput, checksum) && out.Errore() == 0;
}

bool CryptEngine::ContentPass(const std::string& source, OpenBinaryFile* out,
                              MyCustomRandom& generator, PlainSide plain, std::string& checksum) {
    const int start = GetProgress();
    const int end = IsCheckTicked() ? start + (100 - start) / 2 : 100;
    const PassProgress progress{start, end - start, totalLength};
    OpenBinaryFile in(source);
    if (in.Errore() != 0 || (out != nullptr && out->Errore() != 0)) {
        return false;
    }
    // The pass moves exactly the length it announced: bytes after it are not content.
    const int64_t contentStart = readPosition;
    const int64_t readEnd = readPosition + std::max<int32_t>(totalLength, 0);
    uint8_t fold[16] = {};
    if (readEnd - readPosition >= kSplitSize) {
        bool handled = false;
        const bool ok =
            SplitContentPass(source, out, generator, plain, checksum, progress, readEnd, handled);
        if (handled) {
            if (out != nullptr) {
                out->CloseFile();
            }
            return ok && (out == nullptr || out->Errore() == 0);
        }
    }
    // The content moves in runs of many 128-byte blocks, so that a large file is not two system
    // calls per block. Within a run each block is still its own step: the key index restarts at
    // it, the progress value is the one its end gives, and a stop is noticed after it, so that the
    // destination then holds exactly the blocks done.
    int shown = start;
    {
        RunReader reader(in, generator, readPosition, readEnd, kRunSize,
                         plain == PlainSide::kInput);
        while (readPosition < readEnd) {
            Run& run = reader.Next();
            if (run.failed) {
                return false;
            }
            const long n = run.n;
            MaskRun(run.data.data(), run.offsets.data(), keyTable, static_cast<size_t>(n));
            const long done = WalkBlocks(progress, n, shown);
            if (plain == PlainSide::kOutput) {
                FileUtils::FoldChecksum(fold, reinterpret_cast<const char*>(run.data.data()),
                                        static_cast<size_t>(done), readPosition - contentStart);
            }
            if (out != nullptr &&
                !out->SaveContenuto(static_cast<long>(writePosition),
                                    reinterpret_cast<char*>(run.data.data()), done)) {
                return false;
            }
            readPosition += done;
            writePosition += done;
            if (done < n || !running || run.atEnd || n == 0) {
                break;
            }
        }
        if (plain == PlainSide::kInput) {
            checksum = reader.InputChecksum();
        }
    }
    if (plain == PlainSide::kOutput) {
        checksum = FileUtils::ChecksumText(fold);
    }
    if (out != nullptr) {
        out->CloseFile();
        return out->Errore() == 0;
    }
    return true;
}

// A large pass is cut in two halves done at once on two threads: the second half's stream is
// the generator's, moved ahead by the first half's length. `handled` stays false, and nothing
// has been read or written, when the generator cannot be moved ahead cheaply; the caller then
// runs the pass in one piece. A stop ends both halves after their current run; the positions
// then count the bytes done from the start without a gap.
bool CryptEngine::SplitContentPass(const std::string& source, OpenBinaryFile* out,
                                   MyCustomRandom& generator, PlainSide plain,
                                   std::string& checksum, const PassProgress& progress,
                                   int64_t readEnd, bool& handled) {
    const int64_t begin = readPosition;
    const int64_t middle = begin + (readEnd - begin) / 2 / kRunSize * kRunSize;
    MyCustomRandom ahead = generator;
    if (!ahead.Skip(static_cast<size_t>(middle - begin), kSkipStepLimit)) {
        return false;
    }
    handled = true;
    const std::string* output = out != nullptr ? &out->Path() : nullptr;
    const int64_t writeShift = writePosition - readPosition;
    const bool foldInput = plain == PlainSide::kInput;
    PassHalf first, second;
    first.from = begin;
    first.to = middle;
    second.from = middle;
    second.to = readEnd;
    // The thread that asked for the pass only follows the two halves: it alone reports progress,
    // as the hooks expect, and wakes as soon as both are over.
    std::mutex mutex;
    std::condition_variable over;
    int halvesLeft = 2;
    const auto runHalf = [&](PassHalf& half, MyCustomRandom& stream) {
        half.Run(source, output, writeShift, begin, kRunSize, stream, keyTable, foldInput, running);
        {
            std::lock_guard<std::mutex> lock(mutex);
            --halvesLeft;
        }
        over.notify_all();
    };
    std::thread helper([&] { runHalf(second, ahead); });
    std::thread firstHalf([&] { runHalf(first, generator); });
    int shown = GetProgress();
    const auto report = [&] {
        const int value = progress.At(writePosition + first.done + second.done);
        if (value != shown) {
            shown = value;
            SetProgress(value);
        }
    };
    for (std::unique_lock<std::mutex> lock(mutex); halvesLeft > 0;) {
        over.wait_for(lock, std::chrono::milliseconds(5), [&] { return halvesLeft == 0; });
        lock.unlock();
        report();
        lock.lock();
    }
    firstHalf.join();
    helper.join();
    report();
    int64_t done = first.done;
    if (first.done == middle - begin) {
        done += second.done;
    }
    readPosition += done;
    writePosition += done;
    for (size_t k = 0; k < 16; ++k) {
        first.fold[k] ^= second.fold[k];
    }
    checksum = FileUtils::ChecksumText(first.fold);
    return !first.failed && !second.failed;
}

// Reports the progress of each block of a run of n bytes starting at writePosition and watches
// for a stop after each; returns the bytes of the blocks done. The value only grows with the
// position, so a run whose last value is the one already shown needs no call at all.
long CryptEngine::WalkBlocks(const PassProgress& progress, long n, int& shown) {
    const bool quiet = progress.IsSteady(writePosition + n, shown);
    long done = 0;
    do {
        done += std::min<long>(kBlockSize, n - done);
        if (!quiet) {
            const int value = progress.At(writePosition + done);
            if (value != shown) {
                shown = value;
                SetProgress(value);
            }
        }
        if (!running) {
            break;
        }
    } while (done < n);
    return done;
}

bool CryptEngine::SetHeaderFile(std::string path) {
    // The writer refuses what the reader could not read back.
    if (!IsPlainName(plainFileName) || plainFileName.size() > kMaxNameLength ||
        checksumText.size() != kChecksumFieldSize - 1 || totalLength <= 0 ||
        totalLength > kMaxPlainLength) {
        return false;
    }
    char signature[44];
    std::memcpy(signature, kSignature, sizeof signature);
    char name[kNameFieldSize] = {};
    std::memcpy(name, plainFileName.data(), plainFileName.size());
    for (int i = 0; i < kMaxNameLength; ++i) {
        name[i] = static_cast<char>(static_cast<uint8_t>(name[i]) ^ Mask(keyTable[i], i));
    }
    char checksum[kChecksumFieldSize] = {};
    std::memcpy(checksum, checksumText.data(), kChecksumFieldSize - 1);
    for (size_t i = 0; i < kChecksumFieldSize - 1; ++i) {
        checksum[i] = static_cast<char>(static_cast<uint8_t>(checksum[i]) ^ keyTable[i]);
    }
    char length[kLengthFieldSize] = {};
    const std::string digits = StringUtils::IntToStr(totalLength);
    std::memcpy(length, digits.data(), digits.size());
    for (size_t i = 0; i < kLengthFieldSize; ++i) {
        length[i] = static_cast<char>(static_cast<uint8_t>(length[i]) ^
                                      Mask(keyTable[i + 2], static_cast<int32_t>(i)));
    }

    OpenBinaryFile file(path, 0, 1);
    const bool ok = file.Errore() == 0 &&
                    file.SaveContenuto(kSignatureOffset, signature, sizeof signature) &&
                    file.SaveContenuto(kNameOffset, name, sizeof name) &&
                    file.SaveContenuto(kChecksumOffset, checksum, sizeof checksum) &&
                    file.SaveContenuto(kLengthOffset, length, sizeof length);
    file.CloseFile();
    if (!ok || file.Errore() != 0) {
        return false;
    }
    writePosition = kHeaderSize;
    return true;
}

bool CryptEngine::GetHeaderFile(std::string path) {
    OpenBinaryFile file(path);
    if (file.Errore() != 0) {
        return false;
    }
    // A header that does not arrive whole is not one of ours, whatever its first bytes say.
    char header[kHeaderSize] = {};
    const long got = file.GetContenuto(0, header, kHeaderSize);
    file.CloseFile();
    if (got != kHeaderSize) {
        return false;
    }
    if (std::memcmp(header + kSignatureOffset, kSignature, sizeof kSignature) != 0) {
        return false;
    }

    char* name = header + kNameOffset;
    for (int i = 0; i < kMaxNameLength; ++i) {
        name[i] = static_cast<char>(static_cast<uint8_t>(name[i]) ^ Mask(keyTable[i], i));
    }
    const char* nameEnd = static_cast<const char*>(std::memchr(name, 0, kNameFieldSize));
    if (nameEnd == nullptr) {
        return false;
    }
    plainFileName.assign(name, static_cast<size_t>(nameEnd - name));
    if (!IsPlainName(plainFileName)) {
        return false;
    }

    char* checksum = header + kChecksumOffset;
    for (size_t i = 0; i < kChecksumFieldSize - 1; ++i) {
        checksum[i] = static_cast<char>(static_cast<uint8_t>(checksum[i]) ^ keyTable[i]);
        if (checksum[i] < 0x30 || checksum[i] > 0x46) {
            return false;
        }
    }
    if (checksum[kChecksumFieldSize - 1] != 0) {
        return false;
    }
    checksumText.assign(checksum, kChecksumFieldSize - 1);

    char* length = header + kLengthOffset;
    for (size_t i = 0; i < kLengthFieldSize; ++i) {
        length[i] = static_cast<char>(static_cast<uint8_t>(length[i]) ^
                                      Mask(keyTable[i + 2], static_cast<int32_t>(i)));
    }
    const int64_t value = ParseLength(length, kLengthFieldSize);
    totalLength = static_cast<int32_t>(std::clamp<int64_t>(value, -1, kMaxPlainLength));
    if (totalLength <= 0) {
        return false;
    }
    readPosition = kHeaderSize;
    return true;
}

std::string CryptEngine::AggiungiSuffix(std::string name, std::string suffix) {
    const std::string sfx = suffix.find('.') == std::string::npos ? "." + suffix : suffix;
    // The extension belongs to the file name: a dot in a folder's name, or the leading dot of a
    // hidden file, is not one.
    const size_t nameStart =
        name.find_last_of("/\\:") == std::string::npos ? 0 : name.find_last_of("/\\:") + 1;
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > nameStart) {
        const std::string ext = name.substr(dot);
        if (StringUtils::ToLower(ext) == StringUtils::ToLower(suffix)) {
            return name;
        }
        if (ext.size() < 6) {
            name.erase(dot);
        }
    }
    return name + sfx;
}

std::string CryptEngine::RestoredFolder(const std::string& source) {
    return FolderOf(source);
}

bool CryptEngine::Fail(const std::string& message, FieldFocus focus) {
    ShowError(message, focus);
    return false;
}

bool CryptEngine::OpenSource(const std::string& path, Source& source) {
    source.name = path;
    // Opening must never wait: a pipe without a writer would hold the job forever.
    source.held.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (source.held.fd < 0 || ::fstat(source.held.fd, &source.status) != 0) {
        return Fail(UpperNameOf(path) + ": file not found or inaccessible", FieldFocus::Files);
    }
    // Only a regular file has a size to announce and an end to reach.
    if (!S_ISREG(source.status.st_mode)) {
        return Fail(NameOf(path) + ": not a regular file", FieldFocus::Files);
    }
    source.path = "/proc/self/fd/" + std::to_string(source.held.fd);
    if (::access(source.path.c_str(), R_OK) != 0) {
        source.path = path;
    }
    return true;
}

bool CryptEngine::PrepareOutput(const std::string& destination, const Source& source, Output& out) {
    out.destination = destination;
    out.mode = source.status.st_mode & 0777;
    // A link counts as an existing file even when it leads nowhere; its target's permissions,
    // where there is one, are those of the file the user sees.
    struct stat existing {};
    out.existed = ::lstat(destination.c_str(), &existing) == 0;
    if (FileUtils::IsDirectory(destination)) {
        return Fail(NameOf(destination) + ": file not accessible", FieldFocus::Files);
    }
    if (out.existed) {
        ::stat(destination.c_str(), &existing);
        out.mode &= existing.st_mode & 0777;
        if (!ConfirmReplace(destination)) {
            return false;
        }
    }
    if (out.work.Create(FolderOf(destination))) {
        return true;
    }
    const int reason = errno;
    if (out.existed) {
        return Fail(NameOf(destination) + ": file not accessible", FieldFocus::Files);
    }
    // Nothing can be written there: the folder is named, with the system's reason, and the
    // user is sent to the box that chose it.
    const bool derived = !jobEncrypts && GetDestinationChoice() == kSameFolderOriginalName;
    return Fail(ShownFolder(FolderOf(destination)) + ": cannot write in this folder (" +
                    SystemReason(reason) + ")",
                derived ? FieldFocus::Files : FieldFocus::Destination);
}

CryptEngine::Signature CryptEngine::ReadSignature(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return Signature::kUnreadable;
    }
    struct stat status {};
    char start[sizeof kSignature] = {};
    size_t got = 0;
    bool readable = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    while (readable && got < sizeof start) {
        const ssize_t n = ::read(fd, start + got, sizeof start - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            readable = n == 0;
            break;
        }
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    if (!readable) {
        return Signature::kUnreadable;
    }
    return got == sizeof start && std::memcmp(start, kSignature, sizeof start) == 0
               ? Signature::kPresent
               : Signature::kAbsent;
}

CryptEngine::Committed CryptEngine::Commit(Output& out, bool replace) {
    if (out.work.Commit(out.destination, out.mode, replace)) {
        return Committed::kYes;
    }
    if (errno != EEXIST || replace) {
        return Committed::kFailed;
    }
    // A file took the destination's name while the job ran.
    struct stat existing {};
    if (::stat(out.destination.c_str(), &existing) == 0) {
        out.mode &= existing.st_mode & 0777;
    }
    if (!ConfirmReplace(out.destination)) {
        return Committed::kRefused;
    }
    return out.work.Commit(out.destination, out.mode, true) ? Committed::kYes : Committed::kFailed;
}

void CryptEngine::KeepOrDiscard(Output& out) {
    // What a failed job produced stays only where it replaces nothing.
    if (!out.existed) {
        out.work.Commit(out.destination, out.mode, false);
    }
    out.work.Discard();
}

bool CryptEngine::Finish(Output& out, const std::string& failure, FieldFocus focus) {
    // The outcome is decided here, once: a stop that came before this point leaves nothing
    // written; one that comes after it finds the job done, and the job says so.
    if (!running) {
        out.work.Discard();
        return false;
    }
    switch (Commit(out, out.existed)) {
        case Committed::kYes:
            SetProgress(100);
            return true;
        case Committed::kRefused:
            return false;
        case Committed::kFailed:
            break;
    }
    return Fail(failure, focus);
}

bool CryptEngine::EncryptPass(const Source& source, Output& out) {
    readPosition = 0;
    plainFileName = OwnName(source.name);
    SetProgress(5);
    if (plainFileName.size() > kMaxNameLength) {
        return Fail(NameOf(source.name) + ": file name too long to store (at most 128 bytes)",
                    FieldFocus::Files);
    }
    // Readers of the format take a backslash for a folder separator, so such a name would come
    // back as another file's; it is refused rather than stored changed.
    if (plainFileName.find('\\') != std::string::npos) {
        return Fail(NameOf(source.name) +
                        ": a file name with a backslash cannot be stored (rename the file)",
                    FieldFocus::Files);
    }
    // A readable file whose columns cancel out has the all-zero checksum like an unreadable
    // one, yet it is a file like any other: only a failed read or an empty file is refused.
    if (!FileUtils::GetFileChecksum(source.path, checksumText) || totalLength == 0) {
        return Fail(NameOf(source.name) + ": file not found or inaccessible", FieldFocus::Files);
    }
    if (!PrepareOutput(out.destination, source, out)) {
        return false;
    }
    if (!SetHeaderFile(out.work.Path())) {
        out.work.Discard();
        return Fail("Error during encryption.", FieldFocus::None);
    }
    return true;
}

bool CryptEngine::DecryptPass(const Source& source, Output& out) {
    writePosition = 0;
    if (!GetHeaderFile(source.path)) {
        return Fail(
            NameOf(source.name) + ": The password is incorrect or not valid Vel Encrypted File",
            FieldFocus::Files);
    }
    if (out.destination.empty()) {
        out.destination = RestoredFolder(source.name) + plainFileName;
        if (SamePath(source.name, out.destination)) {
            return Fail("The source file and the destination file cannot match",
                        FieldFocus::Destination);
        }
    }
    return PrepareOutput(out.destination, source, out);
}

bool CryptEngine::CheckPass(Output& out, std::string expected) {
    // The new file is decrypted in memory and only its checksum is kept: a plaintext copy on
    // disk, however temporary, could be read, linked to or left behind.
    if (!GetHeaderFile(out.work.Path())) {
        KeepOrDiscard(out);
        return Fail(NameOf(out.destination) + ": not valid Vel Encrypted File or not accessible",
                    FieldFocus::None);
    }
    writePosition = 0;
    MyCustomRandom generator(ContentSeed(expected));
    std::string restored;
    if (!ContentPass(out.work.Path(), nullptr, generator, PlainSide::kOutput, restored)) {
        KeepOrDiscard(out);
        return Fail("Error while checking.", FieldFocus::None);
    }
    if (!running) {
        out.work.Discard();
        return false;
    }
    if (writePosition != totalLength || restored != expected) {
        KeepOrDiscard(out);
        return Fail("Check failed.", FieldFocus::None);
    }
    return Finish(out, "Error during encryption.", FieldFocus::None);
}

bool CryptEngine::Esegui() {
    jobEncrypts = encryptMode;
    const bool encrypting = jobEncrypts;
    SetProgress(0);

    const bool trim = TrimsPaths();
    const std::string sourceText = trim ? StringUtils::Trim(GetSourceText()) : GetSourceText();
    if (sourceText.empty()) {
        return Fail(
            encrypting ? "The file to encrypt is required" : "The file to decrypt is required",
            FieldFocus::Files);
    }
    if (!FileUtils::FileEsistente(sourceText)) {
        return Fail(UpperNameOf(sourceText) + ": file not found or inaccessible",
                    FieldFocus::Files);
    }
    Source source;
    if (!OpenSource(sourceText, source)) {
        return false;
    }
    Output out;
    const bool derive = !encrypting && GetDestinationChoice() == kSameFolderOriginalName;
    if (!derive) {
        out.destination = trim ? StringUtils::Trim(GetDestinationText()) : GetDestinationText();
        if (out.destination.empty()) {
            return Fail(encrypting ? "The filename of the encrypted file is required"
                                   : "The filename of the decrypted file is required",
                        FieldFocus::Destination);
        }
    }
    const std::string password = StringUtils::Trim(GetPasswordText());
    if (password.empty()) {
        return Fail("Password required", FieldFocus::Password);
    }
    if (password.size() < kMinPasswordLength) {
        return Fail("Password must be at least 8 characters", FieldFocus::Password);
    }
    if (password.size() > kMaxPasswordLength) {
        return Fail("Password must be at most 15 characters", FieldFocus::Password);
    }
    if (!derive && SamePath(sourceText, out.destination)) {
        return Fail("The source file and the destination file cannot match",
                    FieldFocus::Destination);
    }
    if (encrypting && !passwordVisible) {
        const std::string confirm = StringUtils::Trim(GetConfirmText());
        if (confirm.empty()) {
            return Fail("Confirmation password required", FieldFocus::Confirm);
        }
        if (confirm != password) {
            return Fail("Confirmation password does not match", FieldFocus::Confirm);
        }
    }

    GeneraKey(password);
    // The size of the file held open, known before any byte is read.
    const int64_t length = source.status.st_size;
    totalLength = static_cast<int32_t>(std::min<int64_t>(length, kMaxPlainLength + 1L));
    if (encrypting) {
        // The length field holds nine digits; checked before anything is read or written.
        if (length > kMaxPlainLength) {
            return Fail(NameOf(sourceText) + ": file too large (the limit is 999,999,999 bytes)",
                        FieldFocus::Files);
        }
        if (!EncryptPass(source, out)) {
            return false;
        }
    } else if (!DecryptPass(source, out)) {
        return false;
    }

    SetProgress(10);
    const int32_t seed = ContentSeed(checksumText);
    MyCustomRandom generator(seed);
    std::string plainChecksum;
    {
        OpenBinaryFile target(out.work.Path(), 0, 0, 1);
        if (!ContentPass(source.path, &target, generator,
                         encrypting ? PlainSide::kInput : PlainSide::kOutput, plainChecksum)) {
            out.work.Discard();
            return Fail("Error during encryption.", FieldFocus::None);
        }
    }
    if (!running) {
        out.work.Discard();
        return false;
    }
    if (encrypting) {
        // The header announces the checksum and length read before this pass; a file that
        // changed since would be stored under a checksum it does not have.
        if (readPosition != totalLength || plainChecksum != checksumText || !source.Unchanged()) {
            out.work.Discard();
            return Fail(NameOf(source.name) + ": the file changed while it was being encrypted",
                        FieldFocus::Files);
        }
        if (IsCheckTicked()) {
            return CheckPass(out, checksumText);
        }
        return Finish(out, "Error during encryption.", FieldFocus::None);
    }
    // Every byte must be back, not only the checksum: a file cut inside a run of zero bytes
    // keeps its checksum.
    if (writePosition != totalLength || plainChecksum != checksumText) {
        KeepOrDiscard(out);
        return Fail(NameOf(out.destination) +
                        ": CRC mismatch. The password is incorrect or the file may be corrupted.",
                    FieldFocus::None);
    }
    return Finish(out, NameOf(out.destination) + ": file not accessible", FieldFocus::Files);
}

void CryptEngine::evTread() {
    filesToDiscard.clear();
    // True only when the output was committed, even if a stop came after that: the job then did
    // what was asked, and says so.
    const bool ok = Esegui();
    if (ok) {
        ShowMessage(jobEncrypts ? "File encrypted successfully" : "File decrypted successfully");
    }
    if (!ok && !running) {
        for (const std::string& path : filesToDiscard) {
            FileUtils::DeleteFile(path);
        }
        filesToDiscard.clear();
    }
    running = false;
    SetStartCaption("START");
    AbilitaDisabilita(true);
    ClearBanner();
}

void CryptEngine::Stop() {
    running = false;
    SetStartCaption("START");
}
