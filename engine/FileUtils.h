#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessella {

// Path and file operations. Paths use "/" between folders and ":" after a volume name; a "\" in
// a path counts as "/".
class FileUtils {
public:
    static bool FileEsistente(std::string path);
    static long GetFileLength(std::string path);
    static std::string GetPathName(std::string path);
    static std::string GetNameFromPathName(std::string path);
    static std::string AddDirSeparator(std::string dir);
    static char GetDirSeparator() { return '/'; }
    static std::string GetFileChecksum(std::string path);
    // The same, telling an unreadable file (false) from content whose checksum happens to be
    // kZeroChecksum, as that of any content whose 16 columns cancel out.
    static bool GetFileChecksum(const std::string& path, std::string& checksum);
    // The checksum's fold of `n` content bytes that start at content offset `offset`, and the
    // text of a finished fold: a pass can checksum what it moves without reading it again.
    static void FoldChecksum(uint8_t (&acc)[16], const char* data, size_t n, int64_t offset);
    static std::string ChecksumText(const uint8_t (&acc)[16]);

    static bool DeleteFile(std::string path);
    static bool MakeDir(std::string path);
    static std::string AddSuffix(std::string text, std::string suffix);
    static bool CopyFile(std::string source, std::string target);

    // Whether two texts name the same existing file (same device and inode), whatever their
    // spelling: "./a" and "a", symbolic and hard links.
    static bool SameFile(std::string a, std::string b);
    static bool IsDirectory(std::string path);

    // The all-zero checksum: of an unreadable file, and of content whose columns cancel out.
    static constexpr const char* kZeroChecksum = "00000000000000000000000000000000";
};

}  // namespace tessella
