#pragma once

#include <cstdint>
#include <string>

namespace tessella {

// The 216-byte header an encrypted file starts with: the signature, then the plain file's name,
// the checksum text of its content and its length, each masked with the key table. This is the
// format's one description in code; what it writes every later version must read.
class StoredHeader {
public:
    static constexpr int32_t kSize = 216;
    static constexpr int32_t kNameFieldSize = 129;
    static constexpr int32_t kMaxNameLength = 128;
    static constexpr int32_t kMaxPlainLength = 999999999;  // the length field holds 9 digits
    // What makes a file an encrypted one whatever its name: 43 bytes and the terminating 0.
    static constexpr char kSignature[44] = "TESSELLA-CROSS-EDITION/VEL-ENCRYPTED-FILE/1";
    // The encrypted file's usual extension, without its dot.
    static constexpr const char* kSuffix = "velx";

    // The 128-byte key table the fields are masked with.
    using Key = uint8_t[128];

    // Writes the header at the start of the file at `path`. Refuses, writing nothing, what the
    // reader could not read back: a name that is not a plain one of at most 128 bytes, a
    // checksum text not of 32 characters, a length outside 1..kMaxPlainLength.
    static bool Write(const std::string& path, const Key& key, const std::string& name,
                      const std::string& checksum, int32_t length);

    // Reads and unmasks the header of the file at `path`. The fields are filled in the order
    // they lie in the file, each as it is found, so that after a refusal those before the
    // faulty one hold what was read.
    static bool Read(const std::string& path, const Key& key, std::string& name,
                     std::string& checksum, int32_t& length);

    // Whether a file starts with kSignature. kUnreadable when it is not a regular file this
    // process can read; never waits on a pipe or a device.
    enum class Signature { kPresent, kAbsent, kUnreadable };
    static Signature ReadSignature(const std::string& path);
};

}  // namespace tessella
