#pragma once

#include <string>

#include "engine/CryptEngine.h"

namespace tessella {

// The job as a terminal runs it: inputs come from the command line, messages go to standard
// error, and progress is a bar on standard error while that is a terminal.
class CliJob : public CryptEngine {
public:
    // Paths on a command line are exactly what the shell passed: blanks are part of a name. The
    // check runs unless --no-check turns it off.
    CliJob() {
        check = true;
        trimPaths = false;
    }

    bool showProgressBar = false;
    // Without --force an existing file is replaced only when the user says so on the terminal.
    bool askBeforeReplacing = false;
    // Among several jobs: the name each message starts with, and where restored names go.
    std::string label;
    std::string restoredFolder;

    // The file this job will write, as far as it is known before it runs. A decrypted file that
    // takes its stored name has it read from the source's header with `password`; "" when the
    // header cannot be read that way (the job then fails by itself).
    std::string PlannedDestination(const std::string& password);

    bool Succeeded() const { return succeeded; }
    int Progress() const { return progress; }
    const std::string& LastError() const { return lastError; }

protected:
    bool ConfirmReplace(const std::string& destination) override;
    std::string RestoredFolder(const std::string& source) override;
    int GetProgress() override { return progress; }
    void SetProgress(int value) override;
    void ShowError(const std::string& message, FieldFocus focus) override;
    void ShowMessage(const std::string& message) override;

private:
    void DrawBar();
    void EndBar();

    int progress = 0;
    int drawn = -1;
    bool succeeded = false;
    std::string lastError;
};

}  // namespace tessella
