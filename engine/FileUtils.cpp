#include "FileUtils.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "OpenBinaryFile.h"
#include "util/StringUtils.h"

namespace tessella {

namespace {

// Large blocks keep the number of reads low.
constexpr long kChecksumBlock = 256 * 1024;

}  // namespace

// acc[(offset + j) mod 16] ^= data[j], sixteen bytes at a time once the column is 0.
void FileUtils::FoldChecksum(uint8_t (&acc)[16], const char* data, size_t n, int64_t offset) {
    size_t j = 0;
    for (; j < n && (offset + static_cast<int64_t>(j)) % 16 != 0; ++j) {
        acc[(offset + static_cast<int64_t>(j)) % 16] ^= static_cast<uint8_t>(data[j]);
    }
    data += j;
    n -= j;
    uint64_t low = 0;
    uint64_t high = 0;
    j = 0;
    for (; j + 16 <= n; j += 16) {
        uint64_t a = 0;
        uint64_t b = 0;
        std::memcpy(&a, data + j, 8);
        std::memcpy(&b, data + j + 8, 8);
        low ^= a;
        high ^= b;
    }
    uint8_t columns[16];
    std::memcpy(columns, &low, 8);
    std::memcpy(columns + 8, &high, 8);
    for (size_t k = 0; k < 16; ++k) {
        acc[k] ^= columns[k];
    }
    for (; j < n; ++j) {
        acc[j % 16] ^= static_cast<uint8_t>(data[j]);
    }
}

std::string FileUtils::ChecksumText(const uint8_t (&acc)[16]) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : acc) {
        text += kHex[b >> 4];
        text += kHex[b & 15];
    }
    return text;
}

bool FileUtils::FileEsistente(std::string path) {
    return access(path.c_str(), F_OK) == 0;
}

long FileUtils::GetFileLength(std::string path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        return 0;
    }
    return static_cast<long>(st.st_size);
}

std::string FileUtils::GetPathName(std::string path) {
    const std::string p = StringUtils::Replace(path, '\\', '/');
    size_t cut = p.rfind('/');
    if (cut == std::string::npos) {
        cut = p.rfind(':');
    }
    return cut == std::string::npos ? std::string() : p.substr(0, cut + 1);
}

std::string FileUtils::GetNameFromPathName(std::string path) {
    return path.substr(GetPathName(path).size());
}

std::string FileUtils::AddDirSeparator(std::string dir) {
    if (!dir.empty()) {
        const char last = dir.back();
        if (last != '/' && last != ':' && last != '\\') {
            dir += '/';
        }
    }
    return dir;
}

namespace {

// Folds the bytes of `path` from `begin` up to `end` (or its end of file, when `end` is -1) into
// `acc`. False on a read error: a partial fold would pass for the checksum of a different file.
bool FoldRange(const std::string& path, int64_t begin, int64_t end, uint8_t (&acc)[16]) {
    OpenBinaryFile file(path);
    if (file.Errore() != 0) {
        return false;
    }
    std::vector<char> block(kChecksumBlock);
    int64_t position = begin;
    while (end < 0 || position < end) {
        const long want =
            end < 0 ? kChecksumBlock
                    : static_cast<long>(std::min<int64_t>(kChecksumBlock, end - position));
        const long n = file.GetContenuto(static_cast<long>(position), block.data(), want);
        if (file.Errore() != 0) {
            return false;
        }
        FileUtils::FoldChecksum(acc, block.data(), static_cast<size_t>(n), position);
        position += n;
        if (file.isEOF() || n == 0) {
            break;
        }
    }
    file.CloseFile();
    return true;
}

// Below this a second thread costs more than it saves.
constexpr int64_t kSplitSize = 8L * 1024 * 1024;

}  // namespace

std::string FileUtils::GetFileChecksum(std::string path) {
    std::string checksum;
    return GetFileChecksum(path, checksum) ? checksum : std::string(kZeroChecksum);
}

bool FileUtils::GetFileChecksum(const std::string& path, std::string& checksum) {
    uint8_t acc[16] = {};
    if (OpenBinaryFile(path).Errore() != 0) {
        return false;
    }
    // The fold is an exclusive-or by column, so the halves of a large file can be folded on two
    // cores at once and combined; the second half goes on to wherever the file ends.
    const int64_t size = GetFileLength(path);
    const int64_t half = size >= kSplitSize ? (size / 2) & ~int64_t{15} : size;
    uint8_t second[16] = {};
    bool secondOk = true;
    std::thread helper;
    if (half < size) {
        helper = std::thread([&] { secondOk = FoldRange(path, half, -1, second); });
    }
    const bool firstOk = FoldRange(path, 0, half < size ? half : -1, acc);
    if (helper.joinable()) {
        helper.join();
    }
    if (!firstOk || !secondOk) {
        return false;
    }
    for (size_t k = 0; k < 16; ++k) {
        acc[k] ^= second[k];
    }
    checksum = ChecksumText(acc);
    return true;
}

bool FileUtils::DeleteFile(std::string path) {
    return std::remove(path.c_str()) == 0;
}

bool FileUtils::MakeDir(std::string path) {
    if (access(path.c_str(), F_OK) == 0) {
        return true;
    }
    return mkdir(path.c_str(), 0777) == 0;
}

std::string FileUtils::AddSuffix(std::string text, std::string suffix) {
    if (text.empty() || suffix.empty()) {
        return text;
    }
    if (suffix.size() < text.size() &&
        StringUtils::ToLower(text.substr(text.size() - suffix.size())) == suffix) {
        return text;
    }
    return text + suffix;
}

bool FileUtils::CopyFile(std::string source, std::string target) {
    const long length = GetFileLength(source);
    if (length <= 0) {
        return false;
    }
    std::vector<char> data(static_cast<size_t>(length));
    OpenBinaryFile in(source);
    if (in.GetContenuto(0, data.data(), length) != length) {
        return false;
    }
    in.CloseFile();
    OpenBinaryFile out(target, 0, 1);
    const bool ok = out.SaveContenuto(0, data.data(), length);
    out.CloseFile();
    return ok && out.Errore() == 0;
}

bool FileUtils::SameFile(std::string a, std::string b) {
    struct stat sa {};
    struct stat sb {};
    if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) {
        return false;
    }
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool FileUtils::IsDirectory(std::string path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace tessella
