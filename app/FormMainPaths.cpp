// Where the main window's source and destination paths come from: picked in a requester,
// handed to the program, dropped on the window. The boxes hold the window's Latin-1 text.
#include <workbench.h>

#include "Dialog.h"
#include "FormMain.h"
#include "MsgBox.h"
#include "controls/OptionBox.h"
#include "controls/TextBox.h"
#include "engine/FileUtils.h"
#include "util/Enviroment.h"
#include "util/StringUtils.h"

namespace tessella {

namespace {

const std::vector<std::string> kEncryptedPatterns = {"File VELX (#?.velx)", "#?.velx"};

// The engine and the disk take the desktop's UTF-8.
std::string ToDisk(const std::string& text) {
    return StringUtils::Latin1ToUtf8(text);
}

}  // namespace

void FormMain::SelectFiles() {
    const std::string chosen = encryptMode ? Dialog::ShowOpenFile(this)
                                           : Dialog::ShowOpenFile(this, kEncryptedPatterns, "", "");
    if (chosen.empty() || !SetPath(txtFiles, chosen)) {
        return;
    }
    if (encryptMode) {
        ProposeDestination(chosen);
    }
}

void FormMain::SelectDestination() {
    std::string chosen = encryptMode ? Dialog::ShowSaveFile(this, kEncryptedPatterns, "", "")
                                     : Dialog::ShowSaveFile(this);
    if (chosen.empty()) {
        return;
    }
    if (encryptMode) {
        chosen = AggiungiSuffix(chosen, kSuffix);
    }
    SetPath(txtDestination, chosen);
}

bool FormMain::SetPath(TextBox* box, const std::string& path) {
    if (static_cast<int>(path.size()) > kPathMax) {
        MsgBox::ShowError(this,
                          StringUtils::EscapeControls(path.substr(path.rfind('/') + 1)) +
                              ": the path is too long for this box (at most 256 characters)",
                          "ERROR");
        return false;
    }
    box->SetText(path);
    return true;
}

void FormMain::OpenPath(const std::string& path) {
    bool complete = true;
    const std::string shown = StringUtils::Utf8ToLatin1Shown(path, complete);
    if (!complete) {
        MsgBox::ShowError(this,
                          StringUtils::Utf8ToLatin1Shown(StringUtils::EscapeControls(path)) +
                              ": the name holds characters this window cannot show",
                          "ERROR");
        return;
    }
    OpenShownPath(shown);
}

void FormMain::OpenShownPath(const std::string& shown) {
    if (jobActive || CursorWait()) {
        return;
    }
    const bool encrypted = IsEncryptedFile(shown);
    if (encrypted == encryptMode) {
        optOperation->SetSelectedIndex(encrypted ? 1 : 0);
        evTabSelected(optOperation, encrypted ? 1 : 0);
    }
    if (!SetPath(txtFiles, shown)) {
        return;
    }
    if (encryptMode) {
        ProposeDestination(shown);
    }
}

void FormMain::ProposeDestination(const std::string& source) {
    // A destination the user typed or chose stays; only an empty box, or one still holding
    // the name proposed for an earlier source, takes the new source's encrypted name.
    const std::string current = txtDestination->GetText();
    if (!StringUtils::Trim(current).empty() && current != proposedDestination) {
        return;
    }
    // A source that already bears the encrypted suffix has no name to propose: its own would
    // be refused as the destination.
    std::string proposed = AggiungiSuffix(source, kSuffix);
    if (proposed == source) {
        proposed.clear();
    }
    if (SetPath(txtDestination, proposed)) {
        proposedDestination = proposed;
    }
}

void FormMain::TakeDroppedFiles() {
    while (auto* m = reinterpret_cast<AppMessage*>(GetMsg(dropPort))) {
        // One source per job: the first file of a drop is taken. A drop while a job runs or a
        // dialog is up is answered, and changes nothing.
        std::string path;
        if (m->am_NumArgs > 0 && m->am_ArgList != nullptr && m->am_ArgList[0].wa_Name != nullptr) {
            path = m->am_ArgList[0].wa_Name;
        }
        ReplyMsg(&m->am_Message);
        if (path.empty()) {
            continue;
        }
        if (jobActive || CursorWait()) {
            Enviroment::Beep();
            continue;
        }
        OpenShownPath(path);
    }
}

bool FormMain::IsEncryptedFile(const std::string& shown) {
    // What a file is shows in its first bytes, whatever its name: a renamed encrypted file must
    // not be encrypted a second time. Only a file that cannot be read is judged by its name.
    switch (ReadSignature(ToDisk(shown))) {
        case Signature::kPresent:
            return true;
        case Signature::kAbsent:
            return false;
        case Signature::kUnreadable:
            break;
    }
    return IsEncryptedName(shown);
}

bool FormMain::IsEncryptedName(const std::string& path) {
    const std::string name = StringUtils::ToLower(FileUtils::GetNameFromPathName(path));
    const std::string suffix = std::string(".") + kSuffix;
    return name.size() > suffix.size() &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace tessella
