#include "PassHalf.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "ContentPass.h"
#include "Descriptor.h"
#include "FileUtils.h"

namespace tessella {

namespace {

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

}  // namespace

void PassHalf::Run(const Plan& plan, MyCustomRandom& generator, const std::atomic<bool>& running) {
    const Descriptor in(::open(plan.source.c_str(), O_RDONLY | O_CLOEXEC));
    const Descriptor out(
        plan.output == nullptr ? -1 : ::open(plan.output->c_str(), O_WRONLY | O_CLOEXEC));
    failed = !in.IsOpen() || (plan.output != nullptr && !out.IsOpen());
    std::vector<uint8_t> data(static_cast<size_t>(plan.runSize));
    std::vector<uint8_t> offsets(data.size());
    for (int64_t position = from; !failed && position < to && running;) {
        const size_t want = static_cast<size_t>(std::min<int64_t>(plan.runSize, to - position));
        const ssize_t got = ReadAt(in.Get(), data.data(), want, position);
        if (got < 0) {
            failed = true;
            break;
        }
        const size_t n = static_cast<size_t>(got);
        const int64_t column = position - plan.contentStart;
        const char* bytes = reinterpret_cast<const char*>(data.data());
        if (plan.foldInput) {
            FileUtils::FoldChecksum(fold, bytes, n, column);
        }
        generator.GetLowBytes(1, 16, offsets.data(), n);
        ContentPass::MaskRun(data.data(), offsets.data(), plan.key, n);
        if (!plan.foldInput) {
            FileUtils::FoldChecksum(fold, bytes, n, column);
        }
        if (out.IsOpen() && !WriteAt(out.Get(), data.data(), n, position + plan.writeShift)) {
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

}  // namespace tessella
