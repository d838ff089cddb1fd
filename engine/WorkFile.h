#pragma once

#include <sys/types.h>

#include <string>

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

    // Sets the permission bits and gives the file the name `destination`. An existing file of
    // that name is replaced only when `replace` is set; otherwise it stays and the call fails
    // with errno EEXIST. After success the object no longer refers to the file.
    bool Commit(const std::string& destination, mode_t mode, bool replace);

    // Removes the file (it was never the destination).
    void Discard();

private:
    bool LinkTo(const std::string& name);
    // Whether a named file's name still leads to this file, and not to one put in its place.
    bool NameIsOurs() const;

    int fd = -1;
    std::string folder;
    std::string path;
    std::string ownName;  // a named file's name in its folder
    bool named = false;
};
