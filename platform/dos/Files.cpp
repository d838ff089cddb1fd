#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "FileHandle.h"
#include "util/StringUtils.h"

namespace tessella::dos {
namespace {

std::string TempDir() {
    const char* dir = std::getenv("TMPDIR");
    return dir != nullptr && *dir != '\0' ? dir : "/tmp";
}

bool HasPrefix(const std::string& text, const char* prefix) {
    const size_t n = std::strlen(prefix);
    return text.size() >= n && strncasecmp(text.c_str(), prefix, n) == 0;
}

}  // namespace

std::string LinuxPath(const char* name) {
    // The program names files in its own Latin-1 text; Linux file names are UTF-8.
    const std::string path = tessella::StringUtils::Latin1ToUtf8(name);
    struct Volume {
        const char* prefix;
        std::string root;
    };
    const Volume volumes[] = {
        {"RAM:T", TempDir()}, {"RAM:", TempDir()}, {"T:", TempDir()}, {"SYS:", "/"}};
    for (const Volume& volume : volumes) {
        if (!HasPrefix(path, volume.prefix)) {
            continue;
        }
        std::string rest = path.substr(std::strlen(volume.prefix));
        while (!rest.empty() && rest.front() == '/') {
            rest.erase(0, 1);
        }
        std::string root = volume.root;
        if (root.back() != '/' && !rest.empty()) {
            root += '/';
        }
        return root + rest;
    }
    return path;
}

}  // namespace tessella::dos

BPTR Open(CONST_STRPTR name, LONG accessMode) {
    if (name == nullptr) {
        return nullptr;
    }
    const std::string path = tessella::dos::LinuxPath(name);
    int fd = -1;
    switch (accessMode) {
        case MODE_OLDFILE:
            fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
            if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EISDIR)) {
                fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            }
            break;
        case MODE_NEWFILE:
            fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            break;
        case MODE_READWRITE:
            fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
            break;
        default:
            return nullptr;
    }
    if (fd < 0) {
        return nullptr;
    }
    return new FileHandle{fd};
}

BOOL Close(BPTR file) {
    if (file == nullptr) {
        return DOSFALSE;
    }
    const int result = ::close(file->fd);
    delete file;
    return result == 0 ? DOSTRUE : DOSFALSE;
}

LONG Read(BPTR file, APTR buffer, LONG length) {
    if (file == nullptr || buffer == nullptr || length < 0) {
        return -1;
    }
    LONG total = 0;
    char* out = static_cast<char*>(buffer);
    while (total < length) {
        const ssize_t n = ::read(file->fd, out + total, static_cast<size_t>(length - total));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return total > 0 ? total : -1;
        }
        if (n == 0) {
            break;
        }
        total += static_cast<LONG>(n);
    }
    return total;
}

LONG Write(BPTR file, const void* buffer, LONG length) {
    if (file == nullptr || buffer == nullptr || length < 0) {
        return -1;
    }
    LONG total = 0;
    const char* in = static_cast<const char*>(buffer);
    while (total < length) {
        const ssize_t n = ::write(file->fd, in + total, static_cast<size_t>(length - total));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return -1;
        }
        total += static_cast<LONG>(n);
    }
    return total;
}

LONG Seek(BPTR file, LONG position, LONG mode) {
    if (file == nullptr) {
        return -1;
    }
    int whence;
    switch (mode) {
        case OFFSET_BEGINNING:
            whence = SEEK_SET;
            break;
        case OFFSET_CURRENT:
            whence = SEEK_CUR;
            break;
        case OFFSET_END:
            whence = SEEK_END;
            break;
        default:
            return -1;
    }
    const off_t old = ::lseek(file->fd, 0, SEEK_CUR);
    if (old < 0 || ::lseek(file->fd, position, whence) < 0) {
        return -1;
    }
    return static_cast<LONG>(old);
}
