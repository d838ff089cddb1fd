#include "CryptEngine.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "FileUtils.h"
#include "OpenBinaryFile.h"
#include "StringUtils.h"

namespace {

constexpr std::string_view kSignatureText = "TESSELLA-CROSS-EDITION/VEL-ENCRYPTED-FILE/1";
static_assert(kSignatureText.size() == 43, "the signature is 43 bytes");

constexpr long kSignatureOffset = 0;
constexpr long kNameOffset = 44;
constexpr long kChecksumOffset = 173;
constexpr long kLengthOffset = 206;
constexpr size_t kChecksumFieldSize = 33;
constexpr size_t kLengthFieldSize = 10;

std::string NameOf(const std::string& path) {
    return FileUtils::GetNameFromPathName(path);
}

// The folder a path lies in, with its final "/". On Linux only "/" separates folders, so output
// files placed next to another file use this rather than the portable path rules.
std::string FolderOf(const std::string& path) {
    const size_t cut = path.rfind('/');
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

bool SamePath(const std::string& a, const std::string& b) {
    return StringUtils::ToLower(a) == StringUtils::ToLower(b) || FileUtils::SameFile(a, b);
}

// A stored name must stay a plain name inside the folder the user chose.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string::npos;
}

// Low 8 bits of a key byte plus a generator value, added without signed overflow.
uint8_t Mask(uint8_t key, int32_t value) {
    return static_cast<uint8_t>(static_cast<uint32_t>(key) + static_cast<uint32_t>(value));
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

// data[i] ^= low 8 bits of (key[i mod 128] + offsets[i]): the key index is the position inside
// the 128-byte block. Whole blocks are fixed-length loops, which the compiler vectorises.
void MaskRun(uint8_t* __restrict data, const uint8_t* __restrict offsets,
             const uint8_t* __restrict key, size_t n) {
    constexpr size_t kBlock = CryptEngine::kBlockSize;
    size_t i = 0;
    for (; i + kBlock <= n; i += kBlock) {
        for (size_t k = 0; k < kBlock; ++k) {
            data[i + k] ^= static_cast<uint8_t>(key[k] + offsets[i + k]);
        }
    }
    for (size_t k = 0; i + k < n; ++k) {
        data[i + k] ^= static_cast<uint8_t>(key[k] + offsets[i + k]);
    }
}

}  // namespace

int CryptEngine::PassProgress::At(long position) const {
    const double share = static_cast<double>(position) / static_cast<double>(total);
    return start + MyCustomRandom::ToInt32(share * static_cast<double>(span));
}

bool CryptEngine::PassProgress::IsSteady(long runEnd, int shown) const {
    const double share = static_cast<double>(runEnd) / static_cast<double>(total);
    // Past the int32 range the value wraps to INT32_MIN and no longer grows with the position.
    return share * static_cast<double>(span) < 2147483648.0 && At(runEnd) == shown;
}

const char CryptEngine::kSignature[44] = "TESSELLA-CROSS-EDITION/VEL-ENCRYPTED-FILE/1";

// Where a job's output lives until the job has succeeded: a work file next to the destination,
// renamed over it at the end, so that a failed or stopped job never destroys an existing file.
struct CryptEngine::Output {
    std::string destination;
    std::string work;
    bool existed = false;
};

int32_t CryptEngine::ContentSeed(const std::string& checksum) {
    int32_t seed = 0;
    for (char c : checksum) {
        seed += static_cast<int8_t>(c);
    }
    return seed;
}

void CryptEngine::GeneraKey(std::string password) {
    std::fill(std::begin(keyTable), std::end(keyTable), 0);
    // The table has 128 slots: bytes beyond the 128th could never be placed.
    const size_t n = std::min(password.size(), sizeof keyTable);
    int32_t sum = 0;
    for (size_t i = 0; i < n; ++i) {
        const int8_t c = static_cast<int8_t>(password[i]);
        MyCustomRandom g(c);
        int slot = g.GetRandomNumber(0, 127);
        while (slot >= 0 && slot < 128 && keyTable[slot] != 0) {
            slot = g.GetRandomNumber(0, 127);
        }
        if (slot < 0 || slot >= 128) {
            // A draw outside the table takes the lowest empty slot, so placement always ends.
            slot = static_cast<int>(std::find(std::begin(keyTable), std::end(keyTable), 0) -
                                    std::begin(keyTable));
        }
        keyTable[slot] = static_cast<uint8_t>(password[i]);
        sum += c + 73 * static_cast<int32_t>(i);
    }
    MyCustomRandom filler(sum);
    for (uint8_t& slot : keyTable) {
        if (slot == 0) {
            slot = static_cast<uint8_t>(static_cast<uint32_t>(filler.GetRandomNumber(1, 255)));
        }
    }
}

bool CryptEngine::CriptaDecripta(std::string source, std::string destination,
                                 MyCustomRandom& generator) {
    const int start = GetProgress();
    const int end = IsCheckTicked() ? start + (100 - start) / 2 : 100;
    const PassProgress progress{start, end - start, totalLength};
    OpenBinaryFile in(source);
    OpenBinaryFile out(destination, 0, 0, 1);
    if (in.Errore() != 0) {
        return false;
    }
    // The content moves in runs of many 128-byte blocks, so that a large file is not two system
    // calls per block. Within a run each block is still its own step: the key index restarts at
    // it, the progress value is the one its end gives, and a stop is noticed after it, so that the
    // destination then holds exactly the blocks done.
    std::vector<uint8_t> data(kRunSize);
    std::vector<uint8_t> offsets(kRunSize);
    int shown = start;
    for (;;) {
        const long n =
            in.GetContenuto(readPosition, reinterpret_cast<char*>(data.data()), kRunSize);
        if (in.Errore() != 0) {
            return false;
        }
        const bool atEnd = in.isEOF();
        generator.GetLowBytes(1, 16, offsets.data(), static_cast<size_t>(n));
        MaskRun(data.data(), offsets.data(), keyTable, static_cast<size_t>(n));
        const long done = WalkBlocks(progress, n, shown);
        if (!out.SaveContenuto(writePosition, reinterpret_cast<char*>(data.data()), done)) {
            return false;
        }
        readPosition += static_cast<int32_t>(done);
        writePosition += static_cast<int32_t>(done);
        if (done < n || !running || atEnd) {
            in.CloseFile();
            out.CloseFile();
            return out.Errore() == 0;
        }
    }
}

// Reports the progress of each block of a run of n bytes starting at writePosition and watches
// for a stop after each; returns the bytes of the blocks done. The value only grows with the
// position, so a run whose last value is the one already shown needs no call at all.
long CryptEngine::WalkBlocks(const PassProgress& progress, long n, int& shown) {
    const bool quiet = progress.IsSteady(writePosition + n, shown);
    long done = 0;
    do {
        done += std::min<long>(kBlockSize, n - done);
        if (!quiet) {
            const int value = progress.At(writePosition + done);
            if (value != shown) {
                shown = value;
                SetProgress(value);
            }
        }
        if (!running) {
            break;
        }
    } while (done < n);
    return done;
}

bool CryptEngine::SetHeaderFile(std::string path) {
    // The writer refuses what the reader could not read back.
    if (!IsPlainName(plainFileName) || plainFileName.size() > kMaxNameLength ||
        checksumText.size() != kChecksumFieldSize - 1 || totalLength <= 0 ||
        totalLength > kMaxPlainLength) {
        return false;
    }
    char signature[44];
    std::memcpy(signature, kSignature, sizeof signature);
    char name[kNameFieldSize] = {};
    std::memcpy(name, plainFileName.data(), plainFileName.size());
    for (int i = 0; i < kMaxNameLength; ++i) {
        name[i] = static_cast<char>(static_cast<uint8_t>(name[i]) ^ Mask(keyTable[i], i));
    }
    char checksum[kChecksumFieldSize] = {};
    std::memcpy(checksum, checksumText.data(), kChecksumFieldSize - 1);
    for (size_t i = 0; i < kChecksumFieldSize - 1; ++i) {
        checksum[i] = static_cast<char>(static_cast<uint8_t>(checksum[i]) ^ keyTable[i]);
    }
    char length[kLengthFieldSize] = {};
    const std::string digits = StringUtils::IntToStr(totalLength);
    std::memcpy(length, digits.data(), digits.size());
    for (size_t i = 0; i < kLengthFieldSize; ++i) {
        length[i] = static_cast<char>(static_cast<uint8_t>(length[i]) ^
                                      Mask(keyTable[i + 2], static_cast<int32_t>(i)));
    }

    OpenBinaryFile file(path, 0, 1);
    const bool ok = file.Errore() == 0 &&
                    file.SaveContenuto(kSignatureOffset, signature, sizeof signature) &&
                    file.SaveContenuto(kNameOffset, name, sizeof name) &&
                    file.SaveContenuto(kChecksumOffset, checksum, sizeof checksum) &&
                    file.SaveContenuto(kLengthOffset, length, sizeof length);
    file.CloseFile();
    if (!ok || file.Errore() != 0) {
        return false;
    }
    writePosition = kHeaderSize;
    return true;
}

bool CryptEngine::GetHeaderFile(std::string path) {
    OpenBinaryFile file(path);
    if (file.Errore() != 0) {
        return false;
    }
    // A header that does not arrive whole is not one of ours, whatever its first bytes say.
    char header[kHeaderSize] = {};
    const long got = file.GetContenuto(0, header, kHeaderSize);
    file.CloseFile();
    if (got != kHeaderSize) {
        return false;
    }
    if (std::memcmp(header + kSignatureOffset, kSignature, sizeof kSignature) != 0) {
        return false;
    }

    char* name = header + kNameOffset;
    for (int i = 0; i < kMaxNameLength; ++i) {
        name[i] = static_cast<char>(static_cast<uint8_t>(name[i]) ^ Mask(keyTable[i], i));
    }
    const char* nameEnd = static_cast<const char*>(std::memchr(name, 0, kNameFieldSize));
    if (nameEnd == nullptr) {
        return false;
    }
    plainFileName.assign(name, static_cast<size_t>(nameEnd - name));
    if (!IsPlainName(plainFileName)) {
        return false;
    }

    char* checksum = header + kChecksumOffset;
    for (size_t i = 0; i < kChecksumFieldSize - 1; ++i) {
        checksum[i] = static_cast<char>(static_cast<uint8_t>(checksum[i]) ^ keyTable[i]);
        if (checksum[i] < 0x30 || checksum[i] > 0x46) {
            return false;
        }
    }
    if (checksum[kChecksumFieldSize - 1] != 0) {
        return false;
    }
    checksumText.assign(checksum, kChecksumFieldSize - 1);

    char* length = header + kLengthOffset;
    for (size_t i = 0; i < kLengthFieldSize; ++i) {
        length[i] = static_cast<char>(static_cast<uint8_t>(length[i]) ^
                                      Mask(keyTable[i + 2], static_cast<int32_t>(i)));
    }
    const int64_t value = ParseLength(length, kLengthFieldSize);
    totalLength = static_cast<int32_t>(std::clamp<int64_t>(value, -1, kMaxPlainLength));
    if (totalLength <= 0) {
        return false;
    }
    readPosition = kHeaderSize;
    return true;
}

std::string CryptEngine::AggiungiSuffix(std::string name, std::string suffix) {
    const std::string sfx = suffix.find('.') == std::string::npos ? "." + suffix : suffix;
    // The extension belongs to the file name: a dot in a folder's name, or the leading dot of a
    // hidden file, is not one.
    const size_t nameStart =
        name.find_last_of("/\\:") == std::string::npos ? 0 : name.find_last_of("/\\:") + 1;
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > nameStart) {
        const std::string ext = name.substr(dot);
        if (StringUtils::ToLower(ext) == StringUtils::ToLower(suffix)) {
            return name;
        }
        if (ext.size() < 6) {
            name.erase(dot);
        }
    }
    return name + sfx;
}

bool CryptEngine::Fail(const std::string& message, FieldFocus focus) {
    ShowError(message, focus);
    return false;
}

bool CryptEngine::PrepareOutput(const std::string& destination, Output& out) {
    out.destination = destination;
    out.existed = FileUtils::FileEsistente(destination);
    if (FileUtils::IsDirectory(destination)) {
        return Fail(NameOf(destination) + ": file not accessible", FieldFocus::Files);
    }
    // The work file is created exclusively, so it can never be someone else's file.
    const std::string folder = FolderOf(destination);
    for (int n = 0; n < 1000; ++n) {
        const std::string candidate =
            folder + ".tessella-" + std::to_string(getpid()) + "-" + std::to_string(n) + ".part";
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd >= 0) {
            ::close(fd);
            out.work = candidate;
            return true;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    if (out.existed) {
        return Fail(NameOf(destination) + ": file not accessible", FieldFocus::Files);
    }
    return Fail("Error during encryption.", FieldFocus::None);
}

bool CryptEngine::Commit(Output& out) {
    if (std::rename(out.work.c_str(), out.destination.c_str()) == 0) {
        return true;
    }
    FileUtils::DeleteFile(out.work);
    return false;
}

void CryptEngine::KeepOrDiscard(Output& out) {
    // What a failed job produced stays only where it replaces nothing.
    if (out.existed) {
        FileUtils::DeleteFile(out.work);
    } else {
        Commit(out);
    }
}

bool CryptEngine::EncryptPass(const std::string& source, Output& out) {
    readPosition = 0;
    plainFileName = NameOf(source);
    SetProgress(5);
    if (plainFileName.size() > kMaxNameLength) {
        return Fail(plainFileName + ": file name too long to store (at most 128 bytes)",
                    FieldFocus::Files);
    }
    checksumText = FileUtils::GetFileChecksum(source);
    if (checksumText == FileUtils::kZeroChecksum || totalLength == 0) {
        return Fail(plainFileName + ": file not found or inaccessible", FieldFocus::Files);
    }
    if (!PrepareOutput(out.destination, out)) {
        return false;
    }
    if (!SetHeaderFile(out.work)) {
        FileUtils::DeleteFile(out.work);
        return Fail("Error during encryption.", FieldFocus::None);
    }
    return true;
}

bool CryptEngine::DecryptPass(const std::string& source, Output& out) {
    writePosition = 0;
    if (!GetHeaderFile(source)) {
        return Fail(NameOf(source) + ": The password is incorrect or not valid Vel Encrypted File",
                    FieldFocus::Files);
    }
    if (out.destination.empty()) {
        out.destination = FolderOf(source) + plainFileName;
        if (SamePath(source, out.destination)) {
            return Fail("The source file and the destination file cannot match",
                        FieldFocus::Destination);
        }
    }
    return PrepareOutput(out.destination, out);
}

bool CryptEngine::CheckPass(Output& out, std::string expected) {
    filesToDiscard.push_back(out.work);
    const std::string base = FileUtils::GetPathName(out.destination) + "temp";
    std::string temp = base;
    for (int n = 0; FileUtils::FileEsistente(temp); ++n) {
        temp = base + "_" + StringUtils::IntToStr(n);
    }
    if (!GetHeaderFile(out.work)) {
        KeepOrDiscard(out);
        return Fail(NameOf(out.destination) + ": not valid Vel Encrypted File or not accessible",
                    FieldFocus::None);
    }
    writePosition = 0;
    MyCustomRandom generator(ContentSeed(expected));
    if (!CriptaDecripta(out.work, temp, generator)) {
        // A partial plaintext copy must not stay behind.
        FileUtils::DeleteFile(temp);
        KeepOrDiscard(out);
        return Fail("Error while checking.", FieldFocus::None);
    }
    if (!running) {
        FileUtils::DeleteFile(temp);
        FileUtils::DeleteFile(out.work);
        return false;
    }
    const bool same = writePosition == totalLength && FileUtils::GetFileChecksum(temp) == expected;
    FileUtils::DeleteFile(temp);
    if (!same) {
        KeepOrDiscard(out);
        return Fail("Check failed.", FieldFocus::None);
    }
    if (!Commit(out)) {
        return Fail("Error during encryption.", FieldFocus::None);
    }
    SetProgress(100);
    return true;
}

bool CryptEngine::Esegui() {
    jobEncrypts = encryptMode;
    const bool encrypting = jobEncrypts;
    SetProgress(0);

    const std::string source = StringUtils::Trim(GetSourceText());
    if (source.empty()) {
        return Fail(
            encrypting ? "The file to encrypt is required" : "The file to decrypt is required",
            FieldFocus::Files);
    }
    if (!FileUtils::FileEsistente(source)) {
        return Fail(StringUtils::ToUpper(NameOf(source)) + ": file not found or inaccessible",
                    FieldFocus::Files);
    }
    Output out;
    const bool derive = !encrypting && GetDestinationChoice() == kSameFolderOriginalName;
    if (!derive) {
        out.destination = StringUtils::Trim(GetDestinationText());
        if (out.destination.empty()) {
            return Fail(encrypting ? "The filename of the encrypted file is required"
                                   : "The filename of the decrypted file is required",
                        FieldFocus::Destination);
        }
    }
    const std::string password = StringUtils::Trim(GetPasswordText());
    if (password.empty()) {
        return Fail("Password required", FieldFocus::Password);
    }
    if (password.size() < kMinPasswordLength) {
        return Fail("Password must be at least 8 characters", FieldFocus::Password);
    }
    if (password.size() > kMaxPasswordLength) {
        return Fail("Password must be at most 15 characters", FieldFocus::Password);
    }
    if (!derive && SamePath(source, out.destination)) {
        return Fail("The source file and the destination file cannot match",
                    FieldFocus::Destination);
    }
    if (encrypting && !passwordVisible) {
        const std::string confirm = StringUtils::Trim(GetConfirmText());
        if (confirm.empty()) {
            return Fail("Confirmation password required", FieldFocus::Confirm);
        }
        if (confirm != password) {
            return Fail("Confirmation password does not match", FieldFocus::Confirm);
        }
    }

    GeneraKey(password);
    const long length = FileUtils::GetFileLength(source);
    totalLength = static_cast<int32_t>(std::min<long>(length, kMaxPlainLength + 1L));
    if (encrypting) {
        // The length field holds nine digits; checked before anything is read or written.
        if (length > kMaxPlainLength) {
            return Fail(NameOf(source) + ": file too large (the limit is 999,999,999 bytes)",
                        FieldFocus::Files);
        }
        if (!EncryptPass(source, out)) {
            return false;
        }
    } else if (!DecryptPass(source, out)) {
        return false;
    }

    SetProgress(10);
    const int32_t seed = ContentSeed(checksumText);
    MyCustomRandom generator(seed);
    if (!CriptaDecripta(source, out.work, generator)) {
        FileUtils::DeleteFile(out.work);
        return Fail("Error during encryption.", FieldFocus::None);
    }
    if (!running) {
        FileUtils::DeleteFile(out.work);
        return false;
    }
    if (encrypting) {
        if (IsCheckTicked()) {
            return CheckPass(out, checksumText);
        }
        if (!Commit(out)) {
            return Fail("Error during encryption.", FieldFocus::None);
        }
        SetProgress(100);
        return true;
    }
    // Every byte must be back, not only the checksum: a file cut inside a run of zero bytes
    // keeps its checksum.
    if (writePosition != totalLength || FileUtils::GetFileChecksum(out.work) != checksumText) {
        KeepOrDiscard(out);
        return Fail(NameOf(out.destination) +
                        ": CRC mismatch. The password is incorrect or the file may be corrupted.",
                    FieldFocus::None);
    }
    if (!Commit(out)) {
        return Fail(NameOf(out.destination) + ": file not accessible", FieldFocus::Files);
    }
    SetProgress(100);
    return true;
}

void CryptEngine::evTread() {
    filesToDiscard.clear();
    const bool ok = Esegui();
    if (ok && running) {
        ShowMessage(jobEncrypts ? "File encrypted successfully" : "File decrypted successfully");
    }
    if (!running) {
        for (const std::string& path : filesToDiscard) {
            FileUtils::DeleteFile(path);
        }
        filesToDiscard.clear();
    }
    running = false;
    SetStartCaption("START");
    AbilitaDisabilita(true);
    ClearBanner();
}

void CryptEngine::Stop() {
    running = false;
    SetStartCaption("START");
}
