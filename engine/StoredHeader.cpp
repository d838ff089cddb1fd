#include "StoredHeader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "Descriptor.h"
#include "OpenBinaryFile.h"
#include "util/StringUtils.h"

namespace tessella {

namespace {

static_assert(sizeof StoredHeader::kSignature == 44, "the signature is 43 bytes and a 0");

constexpr long kSignatureOffset = 0;
constexpr long kNameOffset = 44;
constexpr long kChecksumOffset = 173;
constexpr long kLengthOffset = 206;
constexpr size_t kChecksumFieldSize = 33;
constexpr size_t kLengthFieldSize = 10;

// A stored name must stay a plain name inside the folder the user chose.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string::npos;
}

// Low 8 bits of a key byte plus a generator value, added without signed overflow.
uint8_t Mask(uint8_t key, int32_t value) {
    return static_cast<uint8_t>(static_cast<uint32_t>(key) + static_cast<uint32_t>(value));
}

// Each field has a mask of its own; masking twice gives the field back.
void MaskName(char* name, const StoredHeader::Key& key) {
    for (int i = 0; i < StoredHeader::kMaxNameLength; ++i) {
        name[i] = static_cast<char>(static_cast<uint8_t>(name[i]) ^ Mask(key[i], i));
    }
}

void MaskChecksum(char* checksum, const StoredHeader::Key& key) {
    for (size_t i = 0; i < kChecksumFieldSize - 1; ++i) {
        checksum[i] = static_cast<char>(static_cast<uint8_t>(checksum[i]) ^ key[i]);
    }
}

void MaskLength(char* length, const StoredHeader::Key& key) {
    for (size_t i = 0; i < kLengthFieldSize; ++i) {
        length[i] = static_cast<char>(static_cast<uint8_t>(length[i]) ^
                                      Mask(key[i + 2], static_cast<int32_t>(i)));
    }
}

// Reads the decimal number at the start of a field the way the C library's atol does, without
// its undefined overflow: 10 digits or more are reported as out of range (-1).
int64_t ParseLength(const char* field, size_t size) {
    size_t i = 0;
    while (i < size && (field[i] == ' ' || (field[i] >= '\t' && field[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < size && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    int64_t value = 0;
    int digits = 0;
    for (; i < size && field[i] >= '0' && field[i] <= '9'; ++i) {
        value = value * 10 + (field[i] - '0');
        ++digits;
    }
    if (digits >= 10 || negative) {
        return value == 0 ? 0 : -1;
    }
    return value;
}

// The name field unmasked in place: a plain name ended by a 0 byte.
bool ReadName(char* field, const StoredHeader::Key& key, std::string& name) {
    MaskName(field, key);
    const char* end = static_cast<const char*>(std::memchr(field, 0, StoredHeader::kNameFieldSize));
    if (end == nullptr) {
        return false;
    }
    name.assign(field, static_cast<size_t>(end - field));
    return IsPlainName(name);
}

// The checksum field unmasked in place: 32 characters of "0".."9", ":".."@" or "A".."F", then 0.
bool ReadChecksum(char* field, const StoredHeader::Key& key, std::string& checksum) {
    MaskChecksum(field, key);
    for (size_t i = 0; i < kChecksumFieldSize - 1; ++i) {
        if (field[i] < 0x30 || field[i] > 0x46) {
            return false;
        }
    }
    if (field[kChecksumFieldSize - 1] != 0) {
        return false;
    }
    checksum.assign(field, kChecksumFieldSize - 1);
    return true;
}

bool ReadLength(char* field, const StoredHeader::Key& key, int32_t& length) {
    MaskLength(field, key);
    const int64_t value = ParseLength(field, kLengthFieldSize);
    length = static_cast<int32_t>(std::clamp<int64_t>(value, -1, StoredHeader::kMaxPlainLength));
    return length > 0;
}

}  // namespace

bool StoredHeader::Write(const std::string& path, const Key& key, const std::string& name,
                         const std::string& checksum, int32_t length) {
    if (!IsPlainName(name) || name.size() > kMaxNameLength ||
        checksum.size() != kChecksumFieldSize - 1 || length <= 0 || length > kMaxPlainLength) {
        return false;
    }
    char signature[sizeof kSignature];
    std::memcpy(signature, kSignature, sizeof signature);
    char nameField[kNameFieldSize] = {};
    std::memcpy(nameField, name.data(), name.size());
    MaskName(nameField, key);
    char checksumField[kChecksumFieldSize] = {};
    std::memcpy(checksumField, checksum.data(), kChecksumFieldSize - 1);
    MaskChecksum(checksumField, key);
    char lengthField[kLengthFieldSize] = {};
    const std::string digits = StringUtils::IntToStr(length);
    std::memcpy(lengthField, digits.data(), digits.size());
    MaskLength(lengthField, key);

    OpenBinaryFile file(path, 0, 1);
    const bool ok = file.Errore() == 0 &&
                    file.SaveContenuto(kSignatureOffset, signature, sizeof signature) &&
                    file.SaveContenuto(kNameOffset, nameField, sizeof nameField) &&
                    file.SaveContenuto(kChecksumOffset, checksumField, sizeof checksumField) &&
                    file.SaveContenuto(kLengthOffset, lengthField, sizeof lengthField);
    file.CloseFile();
    return ok && file.Errore() == 0;
}

bool StoredHeader::Read(const std::string& path, const Key& key, std::string& name,
                        std::string& checksum, int32_t& length) {
    OpenBinaryFile file(path);
    if (file.Errore() != 0) {
        return false;
    }
    // A header that does not arrive whole is not one of ours, whatever its first bytes say.
    char header[kSize] = {};
    const long got = file.GetContenuto(0, header, kSize);
    file.CloseFile();
    if (got != kSize) {
        return false;
    }
    if (std::memcmp(header + kSignatureOffset, kSignature, sizeof kSignature) != 0) {
        return false;
    }
    return ReadName(header + kNameOffset, key, name) &&
           ReadChecksum(header + kChecksumOffset, key, checksum) &&
           ReadLength(header + kLengthOffset, key, length);
}

StoredHeader::Signature StoredHeader::ReadSignature(const std::string& path) {
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.IsOpen()) {
        return Signature::kUnreadable;
    }
    struct stat status {};
    char start[sizeof kSignature] = {};
    size_t got = 0;
    bool readable = ::fstat(file.Get(), &status) == 0 && S_ISREG(status.st_mode);
    while (readable && got < sizeof start) {
        const ssize_t n = ::read(file.Get(), start + got, sizeof start - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            readable = n == 0;
            break;
        }
        got += static_cast<size_t>(n);
    }
    if (!readable) {
        return Signature::kUnreadable;
    }
    return got == sizeof start && std::memcmp(start, kSignature, sizeof start) == 0
               ? Signature::kPresent
               : Signature::kAbsent;
}

}  // namespace tessella
