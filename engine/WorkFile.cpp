#include "WorkFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

// A name in the folder that no other process of this program uses: the process id and a count.
std::string CandidateName(const std::string& folder, int n) {
    return folder + ".tessella-" + std::to_string(getpid()) + "-" + std::to_string(n) + ".part";
}

constexpr int kNameAttempts = 1000;

}  // namespace

WorkFile::~WorkFile() {
    Discard();
}

bool WorkFile::Create(const std::string& inFolder, Kind kind) {
    Discard();
    folder = inFolder;
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
    for (int n = 0; n < kNameAttempts; ++n) {
        const std::string candidate = CandidateName(folder, n);
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
    if (fd < 0 || ::fchmod(fd, mode & 0777) != 0) {
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
        // own next to the destination first, complete and with its final permissions.
        std::string staged;
        for (int n = 0; n < kNameAttempts && staged.empty(); ++n) {
            const std::string candidate = CandidateName(folder, n);
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
