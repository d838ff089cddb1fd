#include "DisplayProbe.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <thread>

namespace tessella::sdl {
namespace {

constexpr int kFirstTcpPort = 6000;

struct Target {
    bool known = false;
    bool local = false;
    std::string host;
    int number = 0;
};

// DISPLAY is [host]:number[.screen]; an empty host or "unix" means the local socket.
Target Parse(const std::string& display) {
    Target t;
    const size_t colon = display.rfind(':');
    if (colon == std::string::npos || colon + 1 >= display.size()) {
        return t;
    }
    std::string host = display.substr(0, colon);
    if (host.rfind("unix/", 0) == 0 || host.rfind("tcp/", 0) == 0) {
        host = host.substr(host.find('/') + 1);
    }
    if (!host.empty() && (host.front() == '/' || host.back() == ':')) {
        return t;  // a socket path, or DECnet's double colon: not guessed at
    }
    size_t digits = 0;
    const std::string rest = display.substr(colon + 1);
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') {
        ++digits;
    }
    if (digits == 0 || digits > 5 || (digits < rest.size() && rest[digits] != '.')) {
        return t;
    }
    t.known = true;
    t.number = std::stoi(rest.substr(0, digits));
    t.local = host.empty() || host == "unix";
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    t.host = host;
    return t;
}

void SetTimeouts(int fd, int timeoutMs) {
    timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof(tv));
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
}

int ConnectLocal(int number, int timeoutMs) {
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    // The abstract name first, as the X library tries it, then the socket file.
    for (const bool abstract : {true, false}) {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            return -1;
        }
        SetTimeouts(fd, timeoutMs);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const size_t offset = abstract ? 1 : 0;
        std::memcpy(addr.sun_path + offset, path.c_str(), path.size());
        const auto length =
            static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
        if (connect(fd, reinterpret_cast<sockaddr*>(&addr), length) == 0) {
            return fd;
        }
        close(fd);
    }
    return -1;
}

int ConnectTcp(const std::string& host, int number, int timeoutMs) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(kFirstTcpPort + number);
    if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0) {
        return -1;
    }
    int fd = -1;
    for (const addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
        fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            continue;
        }
        SetTimeouts(fd, timeoutMs);  // Linux bounds connect() by the send time-out
        if (connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    return fd;
}

// Opens a connection and sends the client's opening (no authorisation): any server that runs
// replies at once, accepting or refusing; either way it answers.
std::string Ask(const Target& t, int timeoutMs) {
    const int fd =
        t.local ? ConnectLocal(t.number, timeoutMs) : ConnectTcp(t.host, t.number, timeoutMs);
    if (fd < 0) {
        return "cannot be reached";
    }
    const unsigned char opening[12] = {'l', 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::string problem;
    pollfd p{fd, POLLIN, 0};
    unsigned char reply = 0;
    if (send(fd, opening, sizeof(opening), MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof(opening))) {
        problem = "cannot be reached";
    } else if (poll(&p, 1, timeoutMs) <= 0 || recv(fd, &reply, 1, 0) != 1) {
        problem = "does not answer";
    }
    close(fd);
    return problem;
}

}  // namespace

bool XServerAnswers(const std::string& display, int timeoutMs, std::string& error) {
    const Target target = Parse(display);
    if (!target.known) {
        return true;
    }
    // Name look-ups have no time limit of their own, so the asking runs on a thread that is
    // left behind if it takes too long; it owns everything it touches.
    auto answer = std::make_shared<std::promise<std::string>>();
    std::future<std::string> result = answer->get_future();
    std::thread([answer, target, timeoutMs] {
        answer->set_value(Ask(target, timeoutMs));
    }).detach();
    if (result.wait_for(std::chrono::milliseconds(timeoutMs + 200)) != std::future_status::ready) {
        error = "the X server at " + display + " does not answer";
        return false;
    }
    const std::string problem = result.get();
    if (!problem.empty()) {
        error = "the X server at " + display + " " + problem;
        return false;
    }
    return true;
}

}  // namespace tessella::sdl
