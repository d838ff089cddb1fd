#include "WorkFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <set>

namespace tessella {

namespace {

constexpr int kNameAttempts = 1000;
constexpr const char* kPrefix = ".tessella-";
constexpr const char* kSuffix = ".part";

std::string ReadLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string HostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == 0) {
        return "localhost";
    }
    std::string host(name);
    // Only what a host name may hold, so that the work file's name stays one name.
    for (char& c : host) {
        if (c == '/' || static_cast<unsigned char>(c) < 0x21 || c == 0x7F) {
            c = '_';
        }
    }
    return host;
}

// This boot of this machine, as 32 hexadecimal digits.
std::string BootId() {
    std::string id;
    for (const char c : ReadLine("/proc/sys/kernel/random/boot_id")) {
        if (std::isxdigit(static_cast<unsigned char>(c)) != 0) {
            id.push_back(c);
        }
    }
    return id.empty() ? std::string("0") : id;
}

// The process-id space this process counts in: a container has its own.
std::string PidSpace() {
    char link[64] = {};
    const ssize_t n = ::readlink("/proc/self/ns/pid", link, sizeof link - 1);
    std::string id;
    for (ssize_t i = 0; i < n; ++i) {
        if (link[i] >= '0' && link[i] <= '9') {
            id.push_back(link[i]);
        }
    }
    return id.empty() ? std::string("0") : id;
}

// When process `pid` started, in clock ticks since boot, or "" when there is no such process.
// With the id it tells a process from a later one that was given the same id.
std::string StartTime(const std::string& pid) {
    const std::string stat = ReadLine("/proc/" + pid + "/stat");
    const size_t name = stat.rfind(')');
    if (name == std::string::npos) {
        return std::string();
    }
    // The fields after the name: state is the 3rd field of the line, the start time the 22nd.
    size_t at = name + 1;
    for (int field = 3; field <= 22 && at != std::string::npos; ++field) {
        at = stat.find_first_not_of(' ', at);
        if (field == 22 && at != std::string::npos) {
            return stat.substr(at, stat.find(' ', at) - at);
        }
        at = stat.find(' ', at);
    }
    return std::string();
}

// Who made a work file: a process is known by host, boot, process-id space, id and start time,
// which no other process, before or after a reboot or on another machine sharing the folder,
// has all of.
struct Maker {
    std::string host;
    std::string boot;
    std::string space;
    std::string pid;
    std::string start;

    // This process. Host, boot and id space stay for its whole life; the id is read each time,
    // as a forked child is another process.
    static Maker Current() {
        static const Maker fixed{HostName(), BootId(), PidSpace(), "", ""};
        Maker m = fixed;
        m.pid = std::to_string(::getpid());
        m.start = StartTime(m.pid);
        return m;
    }

    std::string Tag() const { return host + "-" + boot + "-" + space + "-" + pid + "-" + start; }

    // Reads the maker from a work file's name; false for any other name.
    static bool FromName(const std::string& name, Maker& maker) {
        const std::string prefix(kPrefix);
        const std::string suffix(kSuffix);
        if (name.size() <= prefix.size() + suffix.size() || name.rfind(prefix, 0) != 0 ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
            return false;
        }
        std::string rest = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
        // From the right: count, start time, id, id space and boot; the host is what remains.
        std::string fields[5];
        for (std::string& field : fields) {
            const size_t dash = rest.rfind('-');
            if (dash == std::string::npos) {
                return false;
            }
            field = rest.substr(dash + 1);
            rest.erase(dash);
            if (field.empty()) {
                return false;
            }
        }
        maker = Maker{rest, fields[4], fields[3], fields[2], fields[1]};
        return !maker.host.empty();
    }

    // Whether the process that made a file of this name can no longer be running.
    bool IsGone(const Maker& self) const {
        if (host != self.host) {
            return false;  // another machine's: only that machine can tell
        }
        if (boot != self.boot) {
            return true;  // every process of an earlier boot has ended
        }
        if (space != self.space) {
            return false;  // a container's process ids are not ours to look up
        }
        if (pid.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        const std::string started = StartTime(pid);
        return started.empty() || started != start;
    }
};

// The n-th name this process may give a work file in `folder`; `maker` is Maker::Current().Tag(),
// read once per search rather than once per name tried.
std::string CandidateName(const std::string& folder, const std::string& maker, int n) {
    return folder + kPrefix + maker + "-" + std::to_string(n) + kSuffix;
}

// Folders already cleaned by this process, by device and inode: once is enough.
std::mutex cleanedLock;
std::set<std::pair<dev_t, ino_t>> cleaned;

}  // namespace

int WorkFile::RemoveLeftovers(const std::string& folder) {
    const std::string dir = folder.empty() ? std::string(".") : folder;
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) {
        return 0;
    }
    DIR* listing = ::fdopendir(dirFd);
    if (listing == nullptr) {
        ::close(dirFd);
        return 0;
    }
    const Maker self = Maker::Current();
    int removed = 0;
    while (const dirent* entry = ::readdir(listing)) {
        Maker maker;
        if (!Maker::FromName(entry->d_name, maker) || !maker.IsGone(self)) {
            continue;
        }
        // Only a file this user made, with no other name: in a shared folder, a name planted
        // to look like a work file must not cost anyone a file.
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid() && st.st_nlink == 1 &&
            ::unlinkat(dirFd, entry->d_name, 0) == 0) {
            ++removed;
        }
    }
    ::closedir(listing);
    return removed;
}

void WorkFile::RemoveLeftoversOnce(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &st) != 0) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(cleanedLock);
        if (!cleaned.emplace(st.st_dev, st.st_ino).second) {
            return;
        }
    }
    RemoveLeftovers(folder);
}

WorkFile::~WorkFile() {
    Discard();
}

bool WorkFile::Create(const std::string& inFolder, Kind kind) {
    Discard();
    folder = inFolder;
    // Where work files need names, a process killed outright leaves its own behind.
    RemoveLeftoversOnce(folder);
    const std::string dir = folder.empty() ? std::string(".") : folder;
    if (kind == Kind::kUnnamedWherePossible) {
        fd = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd >= 0) {
            // The rest of the engine works with paths: this one opens the unnamed file again.
            path = "/proc/self/fd/" + std::to_string(fd);
            if (::access(path.c_str(), F_OK) == 0) {
                named = false;
                return true;
            }
            ::close(fd);
            fd = -1;
        } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            // The folder itself is missing or closed to us: a name would not help.
            path.clear();
            ownName.clear();
            return false;
        }
    }
    const std::string maker = Maker::Current().Tag();
    for (int n = 0; n < kNameAttempts; ++n) {
        const std::string candidate = CandidateName(folder, maker, n);
        fd = ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            // The engine opens the file again through the descriptor, never by its name: in a
            // folder others can write to, the name could meanwhile lead to another file.
            ownName = candidate;
            path = "/proc/self/fd/" + std::to_string(fd);
            named = true;
            return true;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    path.clear();
    ownName.clear();
    return false;
}

bool WorkFile::NameIsOurs() const {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::lstat(ownName.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

bool WorkFile::LinkTo(const std::string& name) {
    if (named) {
        if (!NameIsOurs()) {
            errno = ESTALE;
            return false;
        }
        // Never over an existing file: that is the caller's decision, taken with rename.
        if (::renameat2(AT_FDCWD, ownName.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0) {
            return true;
        }
        if (errno != EINVAL && errno != ENOSYS) {
            return false;
        }
        if (::link(ownName.c_str(), name.c_str()) != 0) {
            return false;
        }
        ::unlink(ownName.c_str());
        return true;
    }
    return ::linkat(AT_FDCWD, path.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

bool WorkFile::Commit(const std::string& destination, mode_t mode, bool replace) {
    // Until the destination's name is the file's, it stays readable by its owner only: a name
    // it has on the way, or one left by a kill, must not show the content to anyone else.
    if (fd < 0 || ::fchmod(fd, mode & 0600) != 0) {
        return false;
    }
    if (!replace) {
        if (!LinkTo(destination)) {
            return false;
        }
    } else if (named) {
        if (!NameIsOurs()) {
            errno = ESTALE;
            return false;
        }
        if (std::rename(ownName.c_str(), destination.c_str()) != 0) {
            return false;
        }
    } else {
        // An unnamed file cannot take the place of another in one step: it gets a name of its
        // own next to the destination first.
        std::string staged;
        const std::string maker = Maker::Current().Tag();
        for (int n = 0; n < kNameAttempts && staged.empty(); ++n) {
            const std::string candidate = CandidateName(folder, maker, n);
            if (LinkTo(candidate)) {
                staged = candidate;
            } else if (errno != EEXIST) {
                return false;
            }
        }
        if (staged.empty()) {
            return false;
        }
        if (std::rename(staged.c_str(), destination.c_str()) != 0) {
            const int saved = errno;
            ::unlink(staged.c_str());
            errno = saved;
            return false;
        }
    }
    // The name is final: now the file may be as readable as the destination should be. The
    // file is this process's own, so this does not fail short of an I/O error; should it, the
    // complete file stays readable by its owner only, the safe side.
    ::fchmod(fd, mode & 0777);
    ::close(fd);
    fd = -1;
    named = false;
    path.clear();
    ownName.clear();
    return true;
}

void WorkFile::Discard() {
    if (fd < 0) {
        return;
    }
    if (named && NameIsOurs()) {
        ::unlink(ownName.c_str());
    }
    ::close(fd);
    fd = -1;
    named = false;
    path.clear();
    ownName.clear();
}

}  // namespace tessella
