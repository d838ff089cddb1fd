// Preloaded into a program under test (LD_PRELOAD) to give it the file system of a USB stick or
// a network share, where a file cannot be made without a name: opening with O_TMPFILE fails
// with EOPNOTSUPP, as on vfat, so work files get names (unless TESSELLA_SHIM_UNNAMED=allow).
// With TESSELLA_SHIM_WRITE_DELAY_US set, every write to a regular file also waits that long
// first, and with TESSELLA_SHIM_RENAME_DELAY_US every rename does, so that a test can act
// while a job is surely halfway through, or about to give its output the final name. With
// TESSELLA_SHIM_SHORT_IO set, a positioned read or write of a regular file moves at most that
// many bytes per call, as network and FUSE file systems may.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

template <typename F>
F Next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

long Setting(const char* name) {
    const char* text = std::getenv(name);
    return text != nullptr ? std::atol(text) : 0L;
}

bool Unnamed(int flags) {
    static const bool allowed = [] {
        const char* text = std::getenv("TESSELLA_SHIM_UNNAMED");
        return text != nullptr && std::strcmp(text, "allow") == 0;
    }();
    return !allowed && (flags & O_TMPFILE) == O_TMPFILE;
}

mode_t ModeOf(int flags, va_list args) {
    return (flags & O_CREAT) != 0 || Unnamed(flags) ? static_cast<mode_t>(va_arg(args, int)) : 0;
}

void DelayIfFile(int fd) {
    static const long delay = Setting("TESSELLA_SHIM_WRITE_DELAY_US");
    struct stat st {};
    if (delay > 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        usleep(static_cast<useconds_t>(delay));
    }
}

size_t Limited(int fd, size_t count) {
    static const long most = Setting("TESSELLA_SHIM_SHORT_IO");
    struct stat st {};
    if (most > 0 && count > static_cast<size_t>(most) && fstat(fd, &st) == 0 &&
        S_ISREG(st.st_mode)) {
        return static_cast<size_t>(most);
    }
    return count;
}

}  // namespace

extern "C" {

// open and openat, forwarded with their mode unless they ask for an unnamed file.
#define TESSELLA_OPEN(name, Params, args)              \
    int name Params {                                  \
        va_list list;                                  \
        va_start(list, flags);                         \
        const mode_t mode = ModeOf(flags, list);       \
        va_end(list);                                  \
        if (Unnamed(flags)) {                          \
            errno = EOPNOTSUPP;                        \
            return -1;                                 \
        }                                              \
        static auto next = Next<int(*) Params>(#name); \
        return next args;                              \
    }
TESSELLA_OPEN(open, (const char* path, int flags, ...), (path, flags, mode))
TESSELLA_OPEN(open64, (const char* path, int flags, ...), (path, flags, mode))
TESSELLA_OPEN(openat, (int dir, const char* path, int flags, ...), (dir, path, flags, mode))
TESSELLA_OPEN(openat64, (int dir, const char* path, int flags, ...), (dir, path, flags, mode))

ssize_t write(int fd, const void* buffer, size_t count) {
    DelayIfFile(fd);
    static auto next = Next<ssize_t (*)(int, const void*, size_t)>("write");
    return next(fd, buffer, count);
}

ssize_t pwrite(int fd, const void* buffer, size_t count, off_t offset) {
    DelayIfFile(fd);
    static auto next = Next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    return next(fd, buffer, Limited(fd, count), offset);
}

ssize_t pwrite64(int fd, const void* buffer, size_t count, off64_t offset) {
    DelayIfFile(fd);
    static auto next = Next<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64");
    return next(fd, buffer, Limited(fd, count), offset);
}

ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
    static auto next = Next<ssize_t (*)(int, void*, size_t, off_t)>("pread");
    return next(fd, buffer, Limited(fd, count), offset);
}

ssize_t pread64(int fd, void* buffer, size_t count, off64_t offset) {
    static auto next = Next<ssize_t (*)(int, void*, size_t, off64_t)>("pread64");
    return next(fd, buffer, Limited(fd, count), offset);
}

int rename(const char* from, const char* to) {
    static const long delay = Setting("TESSELLA_SHIM_RENAME_DELAY_US");
    if (delay > 0) {
        usleep(static_cast<useconds_t>(delay));
    }
    static auto next = Next<int (*)(const char*, const char*)>("rename");
    return next(from, to);
}
}
