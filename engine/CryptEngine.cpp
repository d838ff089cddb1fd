#include "CryptEngine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "Descriptor.h"
#include "FileUtils.h"
#include "KeyTable.h"
#include "OpenBinaryFile.h"
#include "WorkFile.h"
#include "util/StringUtils.h"

namespace tessella {

namespace {

// A file's own name, as Linux has it: everything after the last "/". Backslashes and colons
// are letters of the name, not separators.
std::string OwnName(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

// A file's own name as a message shows it.
std::string NameOf(const std::string& path) {
    return StringUtils::EscapeControls(OwnName(path));
}

// The same, in capitals, as the "not found" message has it.
std::string UpperNameOf(const std::string& path) {
    return StringUtils::EscapeControls(StringUtils::ToUpper(OwnName(path)));
}

// The folder a path lies in, with its final "/". On Linux only "/" separates folders, so output
// files placed next to another file use this rather than the portable path rules.
std::string FolderOf(const std::string& path) {
    const size_t cut = path.rfind('/');
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// A folder as the user named it: without its final "/", and the current folder for none.
std::string ShownFolder(const std::string& folder) {
    if (folder.empty()) {
        return ".";
    }
    return StringUtils::EscapeControls(
        folder.size() > 1 && folder.back() == '/' ? folder.substr(0, folder.size() - 1) : folder);
}

// The system's words for an error number; unlike strerror, safe on the job's thread.
std::string SystemReason(int error) {
    return std::error_code(error, std::generic_category()).message();
}

// Whether two names reach one file: by device and inode, so that names differing only in case
// are two files where the file system tells them apart, and one where it folds case.
bool SamePath(const std::string& a, const std::string& b) {
    return FileUtils::SameFile(a, b);
}

}  // namespace

// Where a job's output lives until the job has succeeded: a work file in the destination's
// folder that takes the destination's name at the end, so that a failed or stopped job never
// destroys an existing file and leaves nothing of its own.
struct CryptEngine::Output {
    std::string destination;
    WorkFile work;
    bool existed = false;
    // The permission bits the output ends with: never broader than its origin, nor than the
    // file it replaces.
    mode_t mode = 0600;
};

// The source, held open from the first look at it to the end of the job: every pass reads the
// same file, whatever happens to its name meanwhile.
struct CryptEngine::Source {
    std::string name;  // as the user gave it
    std::string path;  // opens the held file
    Descriptor held;
    struct stat status {};

    // Whether the file still has the size and time of change it had when it was opened.
    bool Unchanged() const {
        struct stat now {};
        return ::fstat(held.Get(), &now) == 0 && now.st_size == status.st_size &&
               now.st_mtim.tv_sec == status.st_mtim.tv_sec &&
               now.st_mtim.tv_nsec == status.st_mtim.tv_nsec;
    }
};

void CryptEngine::GeneraKey(std::string password) {
    KeyTable::Build(password, keyTable);
}

bool CryptEngine::CriptaDecripta(std::string source, std::string destination,
                                 MyCustomRandom& generator) {
    OpenBinaryFile out(destination, 0, 0, 1);
    std::string checksum;
    return RunPass(source, &out, generator, PlainSide::kOutput, checksum) && out.Errore() == 0;
}

bool CryptEngine::RunPass(const std::string& source, OpenBinaryFile* out, MyCustomRandom& generator,
                          PlainSide plain, std::string& checksum) {
    const int start = GetProgress();
    const int end = check ? start + (100 - start) / 2 : 100;
    const ContentPass::State state{keyTable, running, readPosition, writePosition, totalLength};
    ContentPass pass(state, {start, end - start, totalLength},
                     [this](int value) { SetProgress(value); });
    return pass.Run(source, out, generator, plain, checksum);
}

bool CryptEngine::SetHeaderFile(std::string path) {
    if (!StoredHeader::Write(path, keyTable, plainFileName, checksumText, totalLength)) {
        return false;
    }
    writePosition = kHeaderSize;
    return true;
}

bool CryptEngine::GetHeaderFile(std::string path) {
    if (!StoredHeader::Read(path, keyTable, plainFileName, checksumText, totalLength)) {
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

std::string CryptEngine::RestoredFolder(const std::string& source) {
    return FolderOf(source);
}

bool CryptEngine::Fail(const std::string& message, FieldFocus focus) {
    ShowError(message, focus);
    return false;
}

bool CryptEngine::OpenSource(const std::string& path, Source& source) {
    source.name = path;
    // Opening must never wait: a pipe without a writer would hold the job forever.
    source.held.Reset(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!source.held.IsOpen() || ::fstat(source.held.Get(), &source.status) != 0) {
        return Fail(UpperNameOf(path) + ": file not found or inaccessible", FieldFocus::Files);
    }
    // Only a regular file has a size to announce and an end to reach.
    if (!S_ISREG(source.status.st_mode)) {
        return Fail(NameOf(path) + ": not a regular file", FieldFocus::Files);
    }
    source.path = "/proc/self/fd/" + std::to_string(source.held.Get());
    if (::access(source.path.c_str(), R_OK) != 0) {
        source.path = path;
    }
    return true;
}

bool CryptEngine::PrepareOutput(const std::string& destination, const Source& source, Output& out) {
    out.destination = destination;
    out.mode = source.status.st_mode & 0777;
    // A link counts as an existing file even when it leads nowhere; its target's permissions,
    // where there is one, are those of the file the user sees.
    struct stat existing {};
    out.existed = ::lstat(destination.c_str(), &existing) == 0;
    if (FileUtils::IsDirectory(destination)) {
        return Fail(NameOf(destination) + ": file not accessible", FieldFocus::Files);
    }
    if (out.existed) {
        ::stat(destination.c_str(), &existing);
        out.mode &= existing.st_mode & 0777;
        if (!MayReplace(destination)) {
            return false;
        }
    }
    if (out.work.Create(FolderOf(destination))) {
        return true;
    }
    const int reason = errno;
    if (out.existed) {
        return Fail(NameOf(destination) + ": file not accessible", FieldFocus::Files);
    }
    // Nothing can be written there: the folder is named, with the system's reason, and the
    // user is sent to the box that chose it.
    return Fail(ShownFolder(FolderOf(destination)) + ": cannot write in this folder (" +
                    SystemReason(reason) + ")",
                DerivesDestination() ? FieldFocus::Files : FieldFocus::Destination);
}

CryptEngine::Committed CryptEngine::Commit(Output& out, bool replace) {
    if (out.work.Commit(out.destination, out.mode, replace)) {
        return Committed::kYes;
    }
    if (errno != EEXIST || replace) {
        return Committed::kFailed;
    }
    // A file took the destination's name while the job ran.
    struct stat existing {};
    if (::stat(out.destination.c_str(), &existing) == 0) {
        out.mode &= existing.st_mode & 0777;
    }
    if (!MayReplace(out.destination)) {
        return Committed::kRefused;
    }
    return out.work.Commit(out.destination, out.mode, true) ? Committed::kYes : Committed::kFailed;
}

void CryptEngine::KeepOrDiscard(Output& out) {
    // What a failed job produced stays only where it replaces nothing.
    if (!out.existed) {
        out.work.Commit(out.destination, out.mode, false);
    }
    out.work.Discard();
}

bool CryptEngine::Finish(Output& out, const std::string& failure, FieldFocus focus) {
    // The outcome is decided here, once: a stop that came before this point leaves nothing
    // written; one that comes after it finds the job done, and the job says so.
    if (!running) {
        out.work.Discard();
        return false;
    }
    switch (Commit(out, out.existed)) {
        case Committed::kYes:
            SetProgress(100);
            return true;
        case Committed::kRefused:
            return false;
        case Committed::kFailed:
            break;
    }
    return Fail(failure, focus);
}

bool CryptEngine::EncryptPass(const Source& source, Output& out) {
    readPosition = 0;
    plainFileName = OwnName(source.name);
    SetProgress(5);
    if (plainFileName.size() > kMaxNameLength) {
        return Fail(NameOf(source.name) + ": file name too long to store (at most 128 bytes)",
                    FieldFocus::Files);
    }
    // Readers of the format take a backslash for a folder separator, so such a name would come
    // back as another file's; it is refused rather than stored changed.
    if (plainFileName.find('\\') != std::string::npos) {
        return Fail(NameOf(source.name) +
                        ": a file name with a backslash cannot be stored (rename the file)",
                    FieldFocus::Files);
    }
    // A readable file whose columns cancel out has the all-zero checksum like an unreadable
    // one, yet it is a file like any other: only a failed read or an empty file is refused.
    if (!FileUtils::GetFileChecksum(source.path, checksumText) || totalLength == 0) {
        return Fail(NameOf(source.name) + ": file not found or inaccessible", FieldFocus::Files);
    }
    if (!PrepareOutput(out.destination, source, out)) {
        return false;
    }
    if (!SetHeaderFile(out.work.Path())) {
        out.work.Discard();
        return Fail("Error during encryption.", FieldFocus::None);
    }
    return true;
}

bool CryptEngine::DecryptPass(const Source& source, Output& out) {
    writePosition = 0;
    if (!GetHeaderFile(source.path)) {
        return Fail(
            NameOf(source.name) + ": The password is incorrect or not valid Vel Encrypted File",
            FieldFocus::Files);
    }
    if (out.destination.empty()) {
        out.destination = RestoredFolder(source.name) + plainFileName;
        if (SamePath(source.name, out.destination)) {
            return Fail("The source file and the destination file cannot match",
                        FieldFocus::Destination);
        }
    }
    return PrepareOutput(out.destination, source, out);
}

bool CryptEngine::CheckPass(Output& out, std::string expected) {
    // The new file is decrypted in memory and only its checksum is kept: a plaintext copy on
    // disk, however temporary, could be read, linked to or left behind.
    if (!GetHeaderFile(out.work.Path())) {
        KeepOrDiscard(out);
        return Fail(NameOf(out.destination) + ": not valid Vel Encrypted File or not accessible",
                    FieldFocus::None);
    }
    writePosition = 0;
    MyCustomRandom generator(ContentSeed(expected));
    std::string restored;
    if (!RunPass(out.work.Path(), nullptr, generator, PlainSide::kOutput, restored)) {
        KeepOrDiscard(out);
        return Fail("Error while checking.", FieldFocus::None);
    }
    if (!running) {
        out.work.Discard();
        return false;
    }
    if (writePosition != totalLength || restored != expected) {
        KeepOrDiscard(out);
        return Fail("Check failed.", FieldFocus::None);
    }
    return Finish(out, "Error during encryption.", FieldFocus::None);
}

bool CryptEngine::Esegui() {
    jobEncrypts = encryptMode;
    SetProgress(0);
    Source source;
    Output out;
    std::string trimmed;
    if (!ValidateInputs(source, out, trimmed)) {
        return false;
    }
    GeneraKey(trimmed);
    if (!HeaderStep(source, out)) {
        return false;
    }
    SetProgress(10);
    std::string plainChecksum;
    if (!ContentStep(source, out, plainChecksum)) {
        return false;
    }
    if (!running) {
        out.work.Discard();
        return false;
    }
    return jobEncrypts ? EndEncryption(source, out, plainChecksum)
                       : EndDecryption(out, plainChecksum);
}

bool CryptEngine::DerivesDestination() const {
    return !jobEncrypts && destinationChoice == kSameFolderOriginalName;
}

bool CryptEngine::MayReplace(const std::string& destination) {
    return force || ConfirmReplace(destination);
}

bool CryptEngine::ValidateInputs(Source& opened, Output& out, std::string& trimmed) {
    if (!TakeSource(opened) || !TakeDestination(out) || !TakePassword(trimmed)) {
        return false;
    }
    if (!DerivesDestination() && SamePath(opened.name, out.destination)) {
        return Fail("The source file and the destination file cannot match",
                    FieldFocus::Destination);
    }
    return !jobEncrypts || passwordVisible || TakeConfirmation(trimmed);
}

bool CryptEngine::TakeSource(Source& opened) {
    const std::string text = trimPaths ? StringUtils::Trim(source) : source;
    if (text.empty()) {
        return Fail(
            jobEncrypts ? "The file to encrypt is required" : "The file to decrypt is required",
            FieldFocus::Files);
    }
    if (!FileUtils::FileEsistente(text)) {
        return Fail(UpperNameOf(text) + ": file not found or inaccessible", FieldFocus::Files);
    }
    return OpenSource(text, opened);
}

bool CryptEngine::TakeDestination(Output& out) {
    // A restored file's name comes from the header, read later.
    if (DerivesDestination()) {
        return true;
    }
    out.destination = trimPaths ? StringUtils::Trim(destination) : destination;
    if (out.destination.empty()) {
        return Fail(jobEncrypts ? "The filename of the encrypted file is required"
                                : "The filename of the decrypted file is required",
                    FieldFocus::Destination);
    }
    return true;
}

bool CryptEngine::TakePassword(std::string& trimmed) {
    trimmed = StringUtils::Trim(password);
    if (trimmed.empty()) {
        return Fail("Password required", FieldFocus::Password);
    }
    if (trimmed.size() < kMinPasswordLength) {
        return Fail("Password must be at least 8 characters", FieldFocus::Password);
    }
    if (trimmed.size() > kMaxPasswordLength) {
        return Fail("Password must be at most 15 characters", FieldFocus::Password);
    }
    return true;
}

bool CryptEngine::TakeConfirmation(const std::string& trimmed) {
    const std::string confirm = StringUtils::Trim(confirmation);
    if (confirm.empty()) {
        return Fail("Confirmation password required", FieldFocus::Confirm);
    }
    if (confirm != trimmed) {
        return Fail("Confirmation password does not match", FieldFocus::Confirm);
    }
    return true;
}

bool CryptEngine::HeaderStep(const Source& source, Output& out) {
    // The size of the file held open, known before any byte is read.
    const int64_t length = source.status.st_size;
    totalLength = static_cast<int32_t>(std::min<int64_t>(length, kMaxPlainLength + 1L));
    if (!jobEncrypts) {
        return DecryptPass(source, out);
    }
    // The length field holds nine digits; checked before anything is read or written.
    if (length > kMaxPlainLength) {
        return Fail(NameOf(source.name) + ": file too large (the limit is 999,999,999 bytes)",
                    FieldFocus::Files);
    }
    return EncryptPass(source, out);
}

bool CryptEngine::ContentStep(const Source& source, Output& out, std::string& plainChecksum) {
    MyCustomRandom generator(ContentSeed(checksumText));
    OpenBinaryFile target(out.work.Path(), 0, 0, 1);
    if (RunPass(source.path, &target, generator,
                jobEncrypts ? PlainSide::kInput : PlainSide::kOutput, plainChecksum)) {
        return true;
    }
    out.work.Discard();
    return Fail("Error during encryption.", FieldFocus::None);
}

bool CryptEngine::EndEncryption(const Source& source, Output& out,
                                const std::string& plainChecksum) {
    // The header announces the checksum and length read before this pass; a file that changed
    // since would be stored under a checksum it does not have.
    if (readPosition != totalLength || plainChecksum != checksumText || !source.Unchanged()) {
        out.work.Discard();
        return Fail(NameOf(source.name) + ": the file changed while it was being encrypted",
                    FieldFocus::Files);
    }
    if (check) {
        return CheckPass(out, checksumText);
    }
    return Finish(out, "Error during encryption.", FieldFocus::None);
}

bool CryptEngine::EndDecryption(Output& out, const std::string& plainChecksum) {
    // Every byte must be back, not only the checksum: a file cut inside a run of zero bytes
    // keeps its checksum.
    if (writePosition != totalLength || plainChecksum != checksumText) {
        KeepOrDiscard(out);
        return Fail(NameOf(out.destination) +
                        ": CRC mismatch. The password is incorrect or the file may be corrupted.",
                    FieldFocus::None);
    }
    return Finish(out, NameOf(out.destination) + ": file not accessible", FieldFocus::Files);
}

void CryptEngine::evTread() {
    filesToDiscard.clear();
    // True only when the output was committed, even if a stop came after that: the job then did
    // what was asked, and says so.
    const bool ok = Esegui();
    if (ok) {
        ShowMessage(jobEncrypts ? "File encrypted successfully" : "File decrypted successfully");
    }
    if (!ok && !running) {
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

}  // namespace tessella
