#pragma once

#include <unistd.h>

namespace tessella {

// A file descriptor this object alone owns: closed once, with its scope, and never copied, as a
// copy would close it a second time.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor() { Close(); }

    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return fd; }
    bool IsOpen() const { return fd >= 0; }

    // Takes over `newFd`, closing the one held before.
    void Reset(int newFd) {
        Close();
        fd = newFd;
    }

private:
    void Close() {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }

    int fd = -1;
};

}  // namespace tessella
