#include "FormMain.h"

#include <intuition.h>

#include "FormAbout.h"
#include "LogoIFF.h"
#include "MsgBox.h"
#include "controls/ButtonCustom.h"
#include "controls/CheckBox.h"
#include "controls/MyImage.h"
#include "controls/OptionBox.h"
#include "controls/ProgressBar.h"
#include "controls/SubMenu.h"
#include "controls/TextBox.h"
#include "controls/TextBoxCustom.h"
#include "runtime/Application.h"
#include "runtime/OrvScreen.h"
#include "runtime/Startup.h"
#include "util/Enviroment.h"
#include "util/StringUtils.h"
#include "workbench.h"

namespace tessella {

FormMain* FormMain::firstForm = nullptr;

namespace {

constexpr const char* kTitle = "Tessella Cross Edition";
constexpr const char* kHomePage = "http://www.tessella.example.org";
// The build's version, the one both programs print with --version.
constexpr const char* kVersion = TESSELLA_VERSION;
constexpr const char* kNote =
    "Encrypts and decrypts files with a password. Keep your password safe: without it an "
    "encrypted file cannot be restored.";

// On the clock that stamps the window's messages, which a click's time is compared with.
uint64_t Now() {
    ULONG seconds = 0;
    ULONG micros = 0;
    CurrentTime(&seconds, &micros);
    return static_cast<uint64_t>(seconds) * 1000000u + micros;
}

// The boxes hold the program's Latin-1 text; the engine and the disk take the desktop's UTF-8.
std::string ToDisk(const std::string& text) {
    return StringUtils::Latin1ToUtf8(text);
}

// Messages name files as the desktop does: what the window cannot draw shows as a stand-in.
std::string ToScreen(const std::string& text) {
    return StringUtils::Utf8ToLatin1Shown(text);
}

}  // namespace

FormMain::FormMain(OrvScreen* s, std::string title) : Form(0) {
    if (s != nullptr) {
        SetScreen(s);
    }
    sound = std::make_unique<Sound>();
    StringUtils::ita = 1;
    position = {0, 0};
    SetSize(800, 600);
    SetTitle(std::move(title));
    SetBoxMaximize(false);
    SetBoxMinimize(true);
    SetOnCreateChildren(&FormMain::CreateChildren);
    SetOnClosing(&FormMain::Closing);
    SetOnResize(&FormMain::Resizing);
    SetOnKeyPress(&FormMain::KeyPress);
    SetOnKeyDOWN(&FormMain::KeyDown);
    SetOnKeyUP(&FormMain::KeyUp);
    SetOnLeftMouseUP(&FormMain::LeftMouseUP);
    SetOnLeftMouseDOWN(&FormMain::LeftMouseDOWN);
    SetBackgroundColor(0);
    if (LogoIFF == nullptr) {
        LogoIFF = MyImage::AllocaImgChip(&LogoIFFRaw);
    }
    Load();
    generator = std::make_unique<MyCustomRandom>(19);
    if (firstForm == nullptr) {
        firstForm = this;
    }
}

FormMain::~FormMain() {
    sound.reset();
    timerBanner.reset();
    handover.Stop();
    timerDrop.reset();
    DeleteDropTarget();
    StopWorker();
    handover.Clear();
    CloseForm();
    formAbout.reset();
    // Each element leaves the registries as it goes; the menu bar, made first, goes first.
    for (auto& element : owned) {
        element.reset();
    }
    owned.clear();
    generator.reset();
    MyImage::FreeImgChip(LogoIFF);
    LogoIFF = nullptr;
    if (firstForm == this) {
        firstForm = nullptr;
    }
}

void FormMain::StopWorker() {
    if (worker != nullptr) {
        // The job ends at its next block; nothing it handed over is applied any more.
        running = false;
        worker->Stop();
        worker.reset();
    }
}

void FormMain::DeleteDropTarget() {
    if (dropWindow != nullptr) {
        RemoveAppWindow(dropWindow);
        dropWindow = nullptr;
    }
    if (dropPort != nullptr) {
        while (Message* m = GetMsg(dropPort)) {
            ReplyMsg(m);
        }
        DeleteMsgPort(dropPort);
        dropPort = nullptr;
    }
}

// ---- Commands ---------------------------------------------------------------------------------

void FormMain::evCommand(GUIElement* element) {
    if (CursorWait() || element == nullptr) {
        return;
    }
    const int32_t id = element->GetID();
    auto is = [id](GUIElement* e) { return e != nullptr && e->GetID() == id; };
    if (is(btnClose)) {
        evMenuClick(itemExit);
    } else if (is(btnStart)) {
        StartOrStop();
    } else if (is(btnInfo)) {
        ShowInformation();
    } else if (is(btnSelectFiles)) {
        SelectFiles();
    } else if (is(btnSelectDestination)) {
        SelectDestination();
    } else if (is(btnShow)) {
        ToggleShow();
    } else if (is(optDestination)) {
        DestinationChoiceChanged();
    } else if (is(optOperation)) {
        evTabSelected(optOperation, optOperation->SelectedIndex());
    }
}

void FormMain::evMenuClick(SubMenu* item) {
    if (CursorWait() || CursorHand() || item == nullptr) {
        return;
    }
    if (item == itemExit) {
        Application::postQuit = 1;
    } else if (item == itemHome) {
        Enviroment::Shell(kHomePage);
    } else if (item == itemInfo) {
        ShowInformation();
    }
}

void FormMain::ShowInformation() {
    formAbout.reset();  // the earlier box goes before the new one takes its place
    formAbout = std::make_unique<FormAbout>(this);
    formAbout->SetImageLogo(LogoIFF, Logo::kWidth, Logo::kHeight);
    formAbout->SetProgramNameEx(std::string(kTitle) + " " + kVersion);
    formAbout->SetLegalInformation(std::string(Startup::kCopyright) + ". MIT License.");
    formAbout->SetNote(kNote);
    formAbout->SetUrlSite(kHomePage);
    formAbout->Show();
}

// ---- Start, stop and the hand-over from the worker -------------------------------------------

void FormMain::StartOrStop() {
    if (btnStart->GetText() == "STOP") {
        running = false;
        return;
    }
    // A press made while the caption still read STOP asked for a stop, however late it arrives;
    // and a job still handing over is not finished.
    if (jobActive || Application::EventTime() < startShownAt) {
        return;
    }
    StartJob();
}

void FormMain::TakeInputs() {
    source = ToDisk(txtFiles->GetText());
    destination = ToDisk(txtDestination->GetText());
    password = txtPassword->GetText();
    confirmation = txtConfirm->GetText();
    destinationChoice = encryptMode || optDestination->SelectedIndex() == 1
                            ? kSpecifyPathname
                            : kSameFolderOriginalName;
    check = chkCheck->IsChecked() != 0;
}

void FormMain::StartJob() {
    TakeInputs();
    pendingFocus = FieldFocus::None;
    running = true;
    jobActive = true;
    jobEnding = false;
    workerDone = false;
    btnStart->SetText("STOP");
    AbilitaDisabilita(false);
    worker.reset();  // an earlier job's worker has returned: its hand-over was applied
    worker = std::make_unique<Tread>();
    if (!worker->IsError()) {
        worker->SetParent(this);
        worker->SetFn(&FormMain::TreadFunctionForm);
        handover.Start();
        if (worker->Start()) {
            return;
        }
        handover.Stop();
    }
    // No worker: the job runs here, and the window waits for it.
    worker.reset();
    evTread();
    FinishJob();
    jobActive = false;
}

void FormMain::TreadFunctionForm(Tread* t) {
    FormMain* form = GetForm(t != nullptr ? t->GetParent() : nullptr);
    if (form == nullptr) {
        return;
    }
    form->evTread();
    // The last thing the worker does with the window: from here on it may close.
    form->workerDone = true;
}

void FormMain::RunHandover() {
    // Read first: all the worker posted before it was done is then in the queue.
    const bool ended = workerDone;
    if (prgStatus != nullptr && prgStatus->GetValue() != progress) {
        prgStatus->SetValue(progress);
    }
    handover.RunPosted();
    if (ended) {
        handover.Stop();
        if (worker != nullptr) {
            worker->Join();
        }
        FinishJob();
        jobActive = false;
        if (closeWhenJobEnds) {
            Application::postQuit = 1;
        }
    }
}

void FormMain::FinishJob() {
    if (prgStatus != nullptr && prgStatus->GetValue() != progress) {
        prgStatus->SetValue(progress);
    }
    // The failure's input gets the keyboard once it can take it again.
    MoveFocus(pendingFocus);
    pendingFocus = FieldFocus::None;
}

void FormMain::SetProgress(int value) {
    progress = std::clamp(value, 0, 100);
    if (handover.IsOwnerTask() && prgStatus != nullptr) {
        prgStatus->SetValue(progress);
    }
}

void FormMain::ShowError(const std::string& message, FieldFocus focus) {
    jobEnding = true;
    MsgBox::ShowError(this, ToScreen(message), "ERROR");
    OnWindowTask([this, focus] { pendingFocus = focus; });
}

void FormMain::ShowMessage(const std::string& message) {
    jobEnding = true;
    MsgBox::ShowMessage(this, ToScreen(message), kTitle);
}

bool FormMain::ConfirmReplace(const std::string& destination) {
    // The box's own question is the reason a refused job gives: no error box follows it.
    return MsgBox::ShowQuestion(
               this, ToScreen(StringUtils::EscapeControls(destination)) + " exists. Replace it?",
               kTitle) == 1;
}

void FormMain::SetStartCaption(const std::string& caption) {
    OnWindowTask([this, caption] {
        btnStart->SetText(caption);
        if (caption == "START") {
            startShownAt = Now();
        }
    });
}

void FormMain::ClearBanner() {
    OnWindowTask([this] { banner.Clear(); });
}

void FormMain::MoveFocus(FieldFocus focus) {
    switch (focus) {
        case FieldFocus::Files:
            txtFiles->Focus();
            break;
        case FieldFocus::Destination:
            txtDestination->Focus();
            break;
        case FieldFocus::Password:
            txtPassword->Focus();
            break;
        case FieldFocus::Confirm:
            txtConfirm->Focus();
            break;
        case FieldFocus::None:
            break;
    }
}

void FormMain::AbilitaDisabilita(bool enable) {
    OnWindowTask([this, enable] {
        btnInfo->SetEnabled(enable);
        txtFiles->SetEnabled(enable);
        btnSelectFiles->SetEnabled(enable);
        if (encryptMode) {
            txtDestination->SetEnabled(enable);
            btnSelectDestination->SetEnabled(enable);
            chkCheck->SetEnabled(enable);
            txtConfirm->SetEnabled(enable && !passwordVisible ? 1 : 0);
        } else {
            optDestination->SetEnabled(enable);
            if (optDestination->SelectedIndex() == 1) {
                txtDestination->SetEnabled(enable);
                btnSelectDestination->SetEnabled(enable);
            }
        }
        // The operation must not change under a running job: its view would no longer match.
        optOperation->SetEnabled(enable);
        txtPassword->SetEnabled(enable ? 1 : 0);
        btnShow->SetEnabled(enable);
    });
}

// ---- Banner -----------------------------------------------------------------------------------

void FormMain::evTimer() {
    banner.Tick(running, *generator);
}

// ---- Closing and keys -------------------------------------------------------------------------

bool FormMain::evClosing() {
    if (closeWhenJobEnds && !jobActive) {
        // Yes was said while the last job was finishing; it has finished now.
        closeWhenJobEnds = false;
        timerBanner->Stop();
        return true;
    }
    UnregisterHotKeyForm();
    if (MsgBox::ShowQuestion(this, "Do you really want to go exit?", "Exit") == 0) {
        RegisterHotKeyForm();
        return false;
    }
    // A job whose worker has returned is over: what it handed over is applied now, so that the
    // answer closes the window at once.
    if (jobActive && workerDone && !running) {
        RunHandover();
    }
    if (running || jobActive) {
        // A job that was still running stops at its next block, and the window closes on a
        // later request. One that had already ended, its last box answered and only its worker
        // yet to return, closes the window as soon as it has: nothing is left to wait for.
        closeWhenJobEnds = jobEnding && !CursorWait();
        running = false;
        return false;
    }
    timerBanner->Stop();
    return true;
}

// Tab is the loop's: it walks every input and button in reading order. Escape has no meaning
// here: the window is no box to cancel, and leaving asks first (Close, Exit).
bool FormMain::evKeyPress(GUIElement* /*element*/, int /*key*/) {
    return true;
}

bool FormMain::evTextKeyPress(GUIElement* /*element*/, int key) {
    return key != 9 && key != 13;
}

void FormMain::SetCursorWait(bool b) {
    // Boxes from the window's task and from the worker may overlap: the pointer stays busy
    // until the last one has gone.
    // One atomic step each way: a box closing never wipes out another one's count, and an
    // unmatched close never takes the count below zero.
    if (b) {
        ++waitCount;
        return;
    }
    int now = waitCount.load();
    while (now > 0 && !waitCount.compare_exchange_weak(now, now - 1)) {
    }
}

bool FormMain::CursorWait() const {
    return waitCount > 0;
}

// ---- Static callbacks -------------------------------------------------------------------------

FormMain* FormMain::GetForm(GUIElement* element) {
    GUIElement* form = Application::GetForm(element);
    if (auto* main = dynamic_cast<FormMain*>(form)) {
        return main;
    }
    return firstForm;
}

void FormMain::CreateChildren(GUIElement* form, unsigned long /*handle*/) {
    if (FormMain* f = GetForm(form)) {
        f->evCreateChildren();
    }
}

bool FormMain::Closing(GUIElement* form) {
    FormMain* f = GetForm(form);
    return f == nullptr || f->evClosing();
}

void FormMain::Resizing(GUIElement* form) {
    if (FormMain* f = GetForm(form)) {
        f->evResize();
    }
}

bool FormMain::KeyPress(GUIElement* element, int key) {
    FormMain* f = GetForm(element);
    return f == nullptr || f->evKeyPress(element, key);
}

void FormMain::KeyDown(GUIElement* element, int key) {
    if (FormMain* f = GetForm(element)) {
        f->evKeyDown(key);
    }
}

void FormMain::KeyUp(GUIElement* element, int key) {
    if (FormMain* f = GetForm(element)) {
        f->evKeyUp(key);
    }
}

void FormMain::OnTimer(GUIElement* timer) {
    if (FormMain* f = GetForm(timer)) {
        if (f->timerDrop != nullptr && f->timerDrop->IsStart() == 0) {
            f->timerDrop->Start();
            f->TakeDroppedFiles();
        }
        f->evTimer();
    }
}

void FormMain::OnDrop(GUIElement* timer) {
    if (FormMain* f = GetForm(timer)) {
        f->TakeDroppedFiles();
    }
}

void FormMain::OnExecCommand(GUIElement* element) {
    if (FormMain* f = GetForm(element)) {
        f->evCommand(element);
    }
}

void FormMain::MenuClick(GUIElement* item) {
    if (FormMain* f = GetForm(item)) {
        f->evMenuClick(dynamic_cast<SubMenu*>(item));
    }
}

void FormMain::LeftMouseUP(GUIElement* element, unsigned long /*handle*/, tagPOINT p) {
    if (FormMain* f = GetForm(element)) {
        f->evLeftMouseUP(p);
    }
}

void FormMain::LeftMouseDOWN(GUIElement* element, unsigned long /*handle*/, tagPOINT p) {
    if (FormMain* f = GetForm(element)) {
        f->evLeftMouseDOWN(p);
    }
}

}  // namespace tessella
