#pragma once

#include <sys/types.h>

#include <string>

namespace tessella {

// A job's output while the job runs: a file of this process alone in the destination's folder,
// created readable by its owner only. Where the file system allows it the file has no name at
// all, so that a job killed at any moment leaves nothing behind; elsewhere it is a named file
// that only this object removes. The destination's name is given to it only on success.
class WorkFile {
public:
    enum class Kind { kUnnamedWherePossible, kNamed };

    WorkFile() = default;
    ~WorkFile();

    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;

    // Creates the file in `folder` ("" is the current folder). False, with errno, on failure.
    bool Create(const std::string& folder, Kind kind = Kind::kUnnamedWherePossible);

    // A path that opens this very file as long as it is open; empty before Create.
    const std::string& Path() const { return path; }
    bool IsNamed() const { return named; }
    bool IsOpen() const { return fd >= 0; }

    // Gives the file the name `destination`, then the permission bits `mode`: until then no one
    // but the owner can read it. An existing file of that name is replaced only when `replace`
    // is set; otherwise it stays and the call fails with errno EEXIST. After success the
    // object no longer refers to the file.
    bool Commit(const std::string& destination, mode_t mode, bool replace);

    // Removes the file (it was never the destination).
    void Discard();

    // A work file with a name is named after the process that made it. This removes, in
    // `folder`, those whose process has ended (one killed outright, or one of an earlier boot)
    // and that belong to this user; those of running processes, of other machines or
    // containers sharing the folder, and of other users stay. Returns how many went.
    static int RemoveLeftovers(const std::string& folder);

private:
    // The same, once per folder in the life of the process.
    static void RemoveLeftoversOnce(const std::string& folder);
    bool LinkTo(const std::string& name);
    // Whether a named file's name still leads to this file, and not to one put in its place.
    bool NameIsOurs() const;

    int fd = -1;
    std::string folder;
    std::string path;
    std::string ownName;  // a named file's name in its folder
    bool named = false;
};

}  // namespace tessella
