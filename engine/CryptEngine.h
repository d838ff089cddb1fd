#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "ContentPass.h"
#include "JobInputs.h"
#include "MyCustomRandom.h"
#include "StoredHeader.h"

namespace tessella {

class OpenBinaryFile;

// The engine of one encrypt, decrypt or check job: key table, header, content pass, validation
// and clean-up. It knows nothing of windows: the job's inputs are set before it runs, and
// everything it asks or shows the user goes through the virtual hooks below, which the main
// window and the command line implement.
class CryptEngine : public JobInputs {
public:
    // The inputs a failure message sends the user back to.
    enum class FieldFocus { None, Files, Destination, Password, Confirm };

    // The format's fixed sizes and names, as the header and the content pass define them.
    static constexpr int32_t kHeaderSize = StoredHeader::kSize;
    static constexpr int32_t kBlockSize = ContentPass::kBlockSize;
    static constexpr int32_t kNameFieldSize = StoredHeader::kNameFieldSize;
    static constexpr int32_t kMaxNameLength = StoredHeader::kMaxNameLength;
    static constexpr int32_t kMaxPlainLength = StoredHeader::kMaxPlainLength;
    static constexpr size_t kMinPasswordLength = 8;
    static constexpr size_t kMaxPasswordLength = 15;
    static constexpr const char (&kSignature)[44] = StoredHeader::kSignature;
    static constexpr const char* kSuffix = StoredHeader::kSuffix;
    static constexpr int64_t kSplitSize = ContentPass::kSplitSize;

    CryptEngine() = default;
    virtual ~CryptEngine() = default;

    CryptEngine(const CryptEngine&) = delete;
    CryptEngine& operator=(const CryptEngine&) = delete;

    void GeneraKey(std::string password);
    bool CriptaDecripta(std::string source, std::string destination, MyCustomRandom& generator);
    bool SetHeaderFile(std::string path);
    bool GetHeaderFile(std::string path);
    std::string AggiungiSuffix(std::string name, std::string suffix);

    // Runs one job on the calling thread; true when it completed and was not stopped.
    bool Esegui();
    // The whole job as the worker runs it: Esegui, then success message, clean-up after a stop
    // and giving the inputs back.
    void evTread();
    void Stop();

    // The content stream's seed: the checksum text's bytes as signed values, summed.
    static int32_t ContentSeed(const std::string& checksum) { return ContentPass::Seed(checksum); }

    // Whether a file starts with kSignature, which is what makes it an encrypted file whatever
    // its name.
    using Signature = StoredHeader::Signature;
    static Signature ReadSignature(const std::string& path) {
        return StoredHeader::ReadSignature(path);
    }

    // Engine state, in the order the job fills it.
    uint8_t keyTable[128] = {};
    std::string checksumText;
    std::string plainFileName;
    int32_t totalLength = 0;
    // 64-bit: a source may hold bytes beyond the length a pass announces.
    int64_t readPosition = 0;
    int64_t writePosition = 0;
    // Written by the thread that asks for a stop, read by the job's worker once per block.
    std::atomic<bool> running{false};
    std::vector<std::string> filesToDiscard;

protected:
    // Asked before the job's output takes the place of an existing file, unless `force` is set.
    // A refusal ends the job with nothing written; the hook itself tells the user why.
    virtual bool ConfirmReplace(const std::string& /*destination*/) { return true; }
    // The folder a decrypted file goes to when it takes its stored name: the source's own.
    virtual std::string RestoredFolder(const std::string& source);

    // The progress bar: values are clamped to 0..100 by the bar and read back clamped.
    virtual int GetProgress() { return 0; }
    virtual void SetProgress(int /*value*/) {}

    // An error box, then the focus moves to the input named.
    virtual void ShowError(const std::string& /*message*/, FieldFocus /*focus*/) {}
    virtual void ShowMessage(const std::string& /*message*/) {}
    virtual void AbilitaDisabilita(bool /*enable*/) {}
    virtual void SetStartCaption(const std::string& /*caption*/) {}
    virtual void ClearBanner() {}

private:
    struct Output;
    struct Source;
    using PlainSide = ContentPass::PlainSide;

    // The content pass over the engine's state, with the progress share the job allows it.
    bool RunPass(const std::string& source, OpenBinaryFile* out, MyCustomRandom& generator,
                 PlainSide plain, std::string& checksum);

    bool Fail(const std::string& message, FieldFocus focus);
    // Whether a decrypted file takes the name stored in its header.
    bool DerivesDestination() const;
    // Whether the output may take the place of the existing file `destination`.
    bool MayReplace(const std::string& destination);
    // The job's steps, in order.
    bool ValidateInputs(Source& opened, Output& out, std::string& trimmed);
    bool TakeSource(Source& opened);
    bool TakeDestination(Output& out);
    bool TakePassword(std::string& trimmed);
    bool TakeConfirmation(const std::string& trimmed);
    bool OpenSource(const std::string& path, Source& source);
    bool HeaderStep(const Source& source, Output& out);
    bool EncryptPass(const Source& source, Output& out);
    bool DecryptPass(const Source& source, Output& out);
    bool ContentStep(const Source& source, Output& out, std::string& plainChecksum);
    bool EndEncryption(const Source& source, Output& out, const std::string& plainChecksum);
    bool EndDecryption(Output& out, const std::string& plainChecksum);
    bool CheckPass(Output& out, std::string expected);
    bool PrepareOutput(const std::string& destination, const Source& source, Output& out);
    void KeepOrDiscard(Output& out);
    enum class Committed { kYes, kFailed, kRefused };
    Committed Commit(Output& out, bool replace);
    bool Finish(Output& out, const std::string& failure, FieldFocus focus);

    bool jobEncrypts = true;
};

}  // namespace tessella
