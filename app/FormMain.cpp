#include "FormMain.h"

#include <sys/time.h>

#include "Dialog.h"
#include "FormAbout.h"
#include "LogoIFF.h"
#include "MsgBox.h"
#include "controls/ButtonCustom.h"
#include "controls/CellControl.h"
#include "controls/CheckBox.h"
#include "controls/Drawing.h"
#include "controls/MenuBar.h"
#include "controls/MyImage.h"
#include "controls/OptionBox.h"
#include "controls/OrvMenu.h"
#include "controls/ProgressBar.h"
#include "controls/SubMenu.h"
#include "controls/TextBox.h"
#include "controls/TextBoxCustom.h"
#include "engine/FileUtils.h"
#include "engine/MyCustomRandom.h"
#include "runtime/Application.h"
#include "runtime/OrvScreen.h"
#include "runtime/Startup.h"
#include "runtime/Timer.h"
#include "runtime/Tread.h"
#include "util/Enviroment.h"
#include "util/Sound.h"
#include "util/StringUtils.h"
#include "workbench.h"

FormMain* FormMain::firstForm = nullptr;
std::string FormMain::bannerText;
int32_t FormMain::bannerStep = 0;
bool FormMain::bannerBusy = false;

namespace {

constexpr const char* kTitle = "Tessella Cross Edition";
constexpr const char* kHomePage = "http://www.tessella.example.org";
// The build's version, the one both programs print with --version.
constexpr const char* kVersion = TESSELLA_VERSION;
constexpr const char* kNote =
    "Encrypts and decrypts files with a password. Keep your password safe: without it an "
    "encrypted file cannot be restored.";
const std::vector<std::string> kEncryptedPatterns = {"File VELX (#?.velx)", "#?.velx"};

uint64_t Now() {
    timeval now{};
    gettimeofday(&now, nullptr);
    return static_cast<uint64_t>(now.tv_sec) * 1000000u + static_cast<uint64_t>(now.tv_usec);
}

// The banner's pair for a draw of 1..4. The generator drifts past its nominal range in a long
// run (5 after a few hundred draws, ever larger values later), so every value is taken round
// the four pairs rather than trusted to index them.
const char* BannerPair(int draw) {
    static const char* const kPairs[] = {"01", "00", "10", "11"};
    const int64_t index = ((static_cast<int64_t>(draw) - 1) % 4 + 4) % 4;
    return kPairs[index];
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
    sound = new Sound();
    StringUtils::ita = 1;
    windowTask = std::this_thread::get_id();
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
    generator = new MyCustomRandom(19);
    if (firstForm == nullptr) {
        firstForm = this;
    }
}

FormMain::~FormMain() {
    delete sound;
    sound = nullptr;
    delete timerBanner;
    timerBanner = nullptr;
    delete timerHandover;
    timerHandover = nullptr;
    delete timerDrop;
    timerDrop = nullptr;
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
    if (worker != nullptr) {
        // The job ends at its next block; nothing it handed over is applied any more.
        running = false;
        worker->Stop();
        delete worker;
        worker = nullptr;
    }
    handover.clear();
    CloseForm();
    delete formAbout;
    formAbout = nullptr;
    delete menuBar;
    menuBar = nullptr;
    for (GUIElement* e : std::initializer_list<GUIElement*>{
             itemExit,       itemHome,       itemInfo,       menuFile,
             menuHelp,       optOperation,   chkCheck,       lblFiles,
             txtFiles,       lblDestination, txtDestination, btnSelectDestination,
             btnSelectFiles, lblStatus,      prgStatus,      lblPassword,
             txtPassword,    lblConfirm,     txtConfirm,     btnShow,
             optDestination, btnClose,       btnInfo,        btnStart,
             imgLogo}) {
        delete e;
    }
    delete generator;
    generator = nullptr;
    MyImage::FreeImgChip(LogoIFF);
    LogoIFF = nullptr;
    if (firstForm == this) {
        firstForm = nullptr;
    }
}

// ---- Building the window --------------------------------------------------------------------

void FormMain::CreaMenu() {
    menuBar = new MenuBar(this);
    menuFile = new OrvMenu(menuBar, "&File");
    menuHelp = new OrvMenu(menuBar, "&?");
    itemExit = new SubMenu(menuFile, "&Exit");
    itemHome = new SubMenu(menuHelp, "&Home");
    itemInfo = new SubMenu(menuHelp, "&Info...");
    for (SubMenu* item : {itemExit, itemHome, itemInfo}) {
        item->SetCommand(&FormMain::MenuClick);
    }
    menuBar->Load();
}

void FormMain::evCreateChildren() {
    CreaMenu();
    const int w = GetClientSize().cx;

    imgLogo = new MyImage(this, LogoIFF);
    imgLogo->SetLocation(15, 45);
    imgLogo->SetSize(Logo::kWidth, Logo::kHeight);
    imgLogo->Load();

    auto header = [&](const char* caption, int x, int background, int colour) {
        auto* b = new ButtonCustom(this, caption);
        b->SetLocation(x, 45);
        b->SetSize(100, 25);
        b->SetBackgroundColor(static_cast<unsigned long>(background));
        b->SetColor(colour);
        b->SetCommand(&FormMain::OnExecCommand);
        return b;
    };
    btnInfo = header("Info", w - 248, 0, 1);
    btnInfo->Load();
    btnClose = header("Close", w - 128, 0, 1);
    btnClose->Load();
    btnStart = header("START", w - 368, 15, 2);
    btnStart->SetCursorHand(true);
    btnStart->Load();

    optOperation = new OptionBox(this);
    optOperation->AddItems("Encrypt", "0");
    optOperation->AddItems("Decrypt", "1");
    optOperation->SetLocation(w - 368, 75);
    optOperation->SetSize(120, 30);
    optOperation->SetCommand(&FormMain::OnExecCommand);
    optOperation->Load();
    optOperation->SetSelectedIndex(0);

    auto caption = [&](const char* text, int x, int y) {
        auto* c = new CellControl(this);
        c->SetText(text);
        c->SetLocation(x, y);
        c->SetSize(150, 25);
        c->SetAlign(AlignLeft);
        return c;
    };
    auto path = [&](int y) {
        auto* t = new TextBox(this, "");
        t->SetLocation(30, y);
        t->SetSize(450, 25);
        t->SetMaxLength(kPathMax);
        return t;
    };
    auto select = [&](int y) {
        auto* b = new ButtonCustom(this, "Select");
        b->SetLocation(490, y);
        b->SetSize(100, 25);
        b->SetCommand(&FormMain::OnExecCommand);
        return b;
    };
    auto password = [&](int x) {
        auto* t = new TextBoxCustom(this, "");
        t->SetLocation(x, 308);
        t->SetSize(150, 25);
        t->SetPassword(1);
        t->SetInserimento(1);
        t->SetMaxLength(static_cast<int>(kMaxPasswordLength));
        t->SetOnKeyPress(&FormMain::KeyPress);
        return t;
    };

    lblFiles = caption("Files to Encrypt:", 30, 130);
    lblFiles->Load();
    txtFiles = path(156);
    txtFiles->SetOnKeyPress(&FormMain::KeyPress);
    txtFiles->Load();
    btnSelectFiles = select(156);
    btnSelectFiles->Load();

    optDestination = new OptionBox(this);
    optDestination->AddItems("Same folder with original name", "0");
    optDestination->AddItems("Specify pathname", "1");
    optDestination->SetLocation(30, 189);
    optDestination->SetSize(280, 30);
    optDestination->SetCommand(&FormMain::OnExecCommand);

    lblDestination = caption("Encrypted file:", 30, 197);
    lblDestination->Load();
    txtDestination = path(223);
    txtDestination->Load();
    btnSelectDestination = select(223);
    btnSelectDestination->Load();

    chkCheck = new CheckBox(this, "Check");
    chkCheck->SetLocation(30, 252);
    chkCheck->SetSize(250, 25);
    chkCheck->SetChecked(1);
    chkCheck->SetCommand(&FormMain::OnExecCommand);
    chkCheck->Load();

    lblPassword = caption("Password:", 30, 282);
    lblPassword->Load();
    txtPassword = password(30);
    txtPassword->Load();
    btnShow = new ButtonCustom(this, "Show");
    btnShow->SetLocation(190, 308);
    btnShow->SetSize(100, 25);
    btnShow->SetCommand(&FormMain::OnExecCommand);
    btnShow->Load();
    lblConfirm = caption("Confirm password:", 300, 282);
    lblConfirm->Load();
    txtConfirm = password(300);
    txtConfirm->Load();

    lblStatus = caption("Status:", 30, 349);
    lblStatus->Load();
    prgStatus = new ProgressBar(this, 0, 100);
    prgStatus->SetLocation(30, 375);
    prgStatus->SetSize(560, 25);
    prgStatus->Load();

    timerBanner = new Timer(this, kBannerMs);
    timerBanner->SetOnTimer(&FormMain::OnTimer);
    timerBanner->Start();
    timerHandover = new Timer(this, kHandoverMs);
    timerHandover->SetOnTimer(&FormMain::OnHandover);

    // Files dropped on the window arrive at a port of their own, looked at a few times a second.
    // Starting a timer pauses its caller, so the poll starts at the banner's first tick, after
    // the window is up; files dropped before then wait in the port.
    dropPort = CreateMsgPort();
    if (dropPort != nullptr) {
        dropWindow = AddAppWindowA(0, 0, GetHandle(), dropPort, nullptr);
        timerDrop = new Timer(this, kDropMs);
        timerDrop->SetOnTimer(&FormMain::OnDrop);
    }
}

void FormMain::OnShow() {
    Form::OnShow();
}

void FormMain::OnPaint() {
    if (IsLoad()) {
        Drawing d(GetHandle() != nullptr ? GetHandle()->RPort : nullptr);
        d.DrawFillRectangle(0, 0, GetClientSize().cx, 120, 0, 0, 2);
    }
    if (GetHandle() != nullptr && gadgetList != nullptr) {
        RefreshGadgets(gadgetList, GetHandle(), nullptr);
    }
    Form::OnPaint();
}

// ---- The two views ----------------------------------------------------------------------------

void FormMain::VisualizzaTab() {
    if (encryptMode) {
        lblFiles->SetText("Files to Encrypt:");
        for (GUIElement* e : std::initializer_list<GUIElement*>{
                 txtDestination, btnSelectDestination, chkCheck, lblConfirm, txtConfirm}) {
            e->Show();
        }
        optDestination->Hide();
        lblDestination->Show();
        return;
    }
    lblFiles->SetText("Files to Decrypt:");
    lblDestination->Hide();
    optDestination->Show();
    for (GUIElement* e : std::initializer_list<GUIElement*>{txtDestination, btnSelectDestination,
                                                            chkCheck, lblConfirm, txtConfirm}) {
        e->Hide();
    }
    if (optDestination->SelectedIndex() == 1) {
        txtDestination->Show();
        btnSelectDestination->Show();
    }
}

void FormMain::evTabSelected(GUIElement* /*element*/, int index) {
    const bool encrypt = index == 0;
    if (encrypt == encryptMode) {
        return;
    }
    const int leaving = encryptMode ? 0 : 1;
    savedFiles[leaving] = txtFiles->GetText();
    savedDestination[leaving] = txtDestination->GetText();
    savedPassword[leaving] = txtPassword->GetText();
    encryptMode = encrypt;
    VisualizzaTab();
    const int entering = encryptMode ? 0 : 1;
    txtFiles->SetText(savedFiles[entering]);
    txtDestination->SetText(savedDestination[entering]);
    txtPassword->SetText(savedPassword[entering]);
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

void FormMain::ToggleShow() {
    if (!passwordVisible) {
        txtPassword->SetPassword(0);
        txtConfirm->SetText("");
        txtConfirm->SetEnabled(0);
        passwordVisible = true;
        btnShow->SetText("Hide");
    } else {
        txtPassword->SetPassword(1);
        txtConfirm->SetEnabled(1);
        passwordVisible = false;
        btnShow->SetText("Show");
    }
}

void FormMain::DestinationChoiceChanged() {
    if (optDestination->SelectedIndex() == 0) {
        btnSelectDestination->Hide();
        txtDestination->Hide();
        return;
    }
    btnSelectDestination->Show();
    txtDestination->SetText("");
    txtDestination->Show();
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

void FormMain::ShowInformation() {
    delete formAbout;
    formAbout = new FormAbout(this);
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
    delete worker;  // an earlier job's worker has returned: its hand-over was applied
    worker = new Tread();
    if (!worker->IsError()) {
        worker->SetParent(this);
        worker->SetFn(&FormMain::TreadFunctionForm);
        timerHandover->Start();
        if (worker->Start()) {
            return;
        }
        timerHandover->Stop();
    }
    // No worker: the job runs here, and the window waits for it.
    delete worker;
    worker = nullptr;
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

void FormMain::OnWindowTask(std::function<void()> f) {
    if (std::this_thread::get_id() == windowTask) {
        f();
        return;
    }
    const std::lock_guard<std::mutex> hold(handoverLock);
    handover.push_back(std::move(f));
}

void FormMain::RunHandover() {
    const bool ended = workerDone;
    std::vector<std::function<void()>> batch;
    {
        const std::lock_guard<std::mutex> hold(handoverLock);
        batch.swap(handover);
    }
    if (prgStatus != nullptr && prgStatus->GetValue() != progress) {
        prgStatus->SetValue(progress);
    }
    for (auto& f : batch) {
        f();
    }
    if (ended) {
        timerHandover->Stop();
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
    if (std::this_thread::get_id() == windowTask && prgStatus != nullptr) {
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
    OnWindowTask([this] { PaintBannerStrip(); });
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

void FormMain::PaintBannerStrip() {
    if (GetHandle() == nullptr) {
        return;
    }
    Drawing d(GetHandle()->RPort);
    d.DrawFillRectangle(5, 95, GetClientSize().cx - 10, 25, 0, 0, 2);
}

void FormMain::evTimer() {
    if (bannerBusy || !running || GetHandle() == nullptr) {
        return;
    }
    bannerBusy = true;
    const int w = GetClientSize().cx;
    PaintBannerStrip();
    if (bannerStep <= 2) {
        bannerText = "decrypt and encrypt files...";
        bannerStep += 1;
    } else {
        if (bannerStep == 3) {
            bannerText.clear();
            bannerStep += 1;
        }
        bannerText += BannerPair(generator->GetRandomNumber(1, 4));
    }
    if (bannerText.size() > 55) {
        bannerText.clear();
        bannerStep = 0;
    }
    Drawing d(GetHandle()->RPort);
    d.PrintText(26, 95, w - 52, 25, bannerText, 1, 2, nullptr, AlignLeft);
    bannerBusy = false;
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

bool FormMain::evKeyPress(GUIElement* element, int key) {
    if (CursorWait() || key != 9) {
        return true;
    }
    if (element == txtPassword && !passwordVisible) {
        txtConfirm->Focus();
        return false;
    }
    if (element == txtConfirm || element == txtDestination) {
        txtPassword->Focus();
        return false;
    }
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

bool FormMain::CursorWait() {
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

void FormMain::OnHandover(GUIElement* timer) {
    if (FormMain* f = GetForm(timer)) {
        f->RunHandover();
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
