#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Banner.h"
#include "engine/CryptEngine.h"
#include "engine/MyCustomRandom.h"
#include "runtime/Form.h"
#include "runtime/Handover.h"
#include "runtime/Timer.h"
#include "runtime/Tread.h"
#include "util/Sound.h"

struct AppWindow;
struct MsgPort;

namespace tessella {

class ButtonCustom;
class CellControl;
class CheckBox;
class FormAbout;
class ImageFrame;
class MenuBar;
class MyImage;
class OptionBox;
class OrvMenu;
class OrvScreen;
class ProgressBar;
class SubMenu;
class TextBox;
class TextBoxCustom;

// The utility's window: it gathers what one job needs (operation, source, destination,
// password, check), starts and stops the job on a worker, shows its progress and a banner while
// it runs, and offers the about box and the home page.
//
// The job runs on a worker process and touches no control: it reads the inputs the window took
// when START was pressed, and hands every change it wants to see (progress, caption, enabling,
// focus, banner) to the window's own task, which applies them on its next handover tick.
class FormMain : public Form, public CryptEngine {
public:
    FormMain(OrvScreen* screen, std::string title);
    ~FormMain() override;

    void CreaMenu();
    void VisualizzaTab();
    void evTabSelected(GUIElement* element, int index);
    void ShowInformation();
    void ClearBanner() override;
    void OnPaint() override;
    void OnShow() override;
    void SetCursorWait(bool b) override;
    bool CursorWait() const override;

    virtual void evCreateChildren();
    virtual bool evClosing();
    virtual void evResize() {}
    virtual void evTimer();
    virtual bool evKeyPress(GUIElement* element, int key);
    virtual bool evTextKeyPress(GUIElement* element, int key);
    virtual void evKeyDown(int /*key*/) {}
    virtual void evKeyUp(int /*key*/) {}
    virtual void evMenuClick(SubMenu* item);
    virtual void evHotKey(unsigned /*a*/, unsigned /*b*/) {}
    virtual void evLeftMouseUP(tagPOINT /*p*/) {}
    virtual void evLeftMouseDOWN(ImageFrame* /*frame*/) {}
    virtual void evLeftMouseDOWN(tagPOINT /*p*/) {}
    virtual void evLeave(GUIElement* /*element*/) {}
    virtual void evOnFocus(GUIElement* /*element*/) {}
    virtual void evCommand(GUIElement* element);
    virtual void evChangeValue(GUIElement* /*element*/, int /*value*/) {}

    void AbilitaDisabilita(bool enable) override;
    static void TreadFunctionForm(Tread* t);

    // A file handed to the program (its command line, or dropped on the window): it becomes the
    // source; an encrypted file (known by its signature) switches to the Decrypt view, any other
    // file proposes its encrypted name as destination when none is given. Paths are the
    // desktop's (UTF-8).
    void OpenPath(const std::string& path);
    // The same for a path in the window's own Latin-1 text.
    void OpenShownPath(const std::string& path);

    // From START until the worker has returned from evTread and the window has applied all it
    // handed over.
    bool IsJobActive() const { return jobActive; }

    // Static callbacks from the controls to the window's handlers.
    static void CreateChildren(GUIElement* form, unsigned long handle);
    static bool Closing(GUIElement* form);
    static void Resizing(GUIElement* form);
    static bool KeyPress(GUIElement* element, int key);
    static void KeyDown(GUIElement* element, int key);
    static void KeyUp(GUIElement* element, int key);
    static void OnTimer(GUIElement* timer);
    static void OnDrop(GUIElement* timer);
    static void OnExecCommand(GUIElement* element);
    static void MenuClick(GUIElement* item);
    static void LeftMouseUP(GUIElement* element, unsigned long handle, tagPOINT p);
    static void LeftMouseDOWN(GUIElement* element, unsigned long handle, tagPOINT p);
    static FormMain* GetForm(GUIElement* element);

    static FormMain* firstForm;

    static constexpr int kPathMax = 256;
    static constexpr uint32_t kHandoverMs = 20;
    // How often files dropped on the window are looked for.
    static constexpr uint32_t kDropMs = 250;

    std::unique_ptr<FormAbout> formAbout;
    // The menu and the controls: the window owns them (in `owned`); these name them.
    MenuBar* menuBar = nullptr;
    OrvMenu* menuFile = nullptr;
    OrvMenu* menuHelp = nullptr;
    SubMenu* itemExit = nullptr;
    SubMenu* itemHome = nullptr;
    SubMenu* itemInfo = nullptr;
    OptionBox* optOperation = nullptr;
    CheckBox* chkCheck = nullptr;
    CellControl* lblFiles = nullptr;
    TextBox* txtFiles = nullptr;
    CellControl* lblDestination = nullptr;
    TextBox* txtDestination = nullptr;
    ButtonCustom* btnSelectDestination = nullptr;
    ButtonCustom* btnSelectFiles = nullptr;
    CellControl* lblStatus = nullptr;
    ProgressBar* prgStatus = nullptr;
    CellControl* lblPassword = nullptr;
    TextBoxCustom* txtPassword = nullptr;
    CellControl* lblConfirm = nullptr;
    TextBoxCustom* txtConfirm = nullptr;
    ButtonCustom* btnShow = nullptr;
    OptionBox* optDestination = nullptr;
    ButtonCustom* btnClose = nullptr;
    ButtonCustom* btnInfo = nullptr;
    ButtonCustom* btnStart = nullptr;
    MyImage* imgLogo = nullptr;
    std::unique_ptr<Timer> timerBanner;
    std::unique_ptr<Tread> worker;
    // Draws the banner's pairs, and nothing else.
    std::unique_ptr<MyCustomRandom> generator;
    std::string savedFiles[2];
    std::string savedDestination[2];
    std::string savedPassword[2];
    std::unique_ptr<Sound> sound;

protected:
    int GetProgress() override { return progress; }
    void SetProgress(int value) override;
    void ShowError(const std::string& message, FieldFocus focus) override;
    void ShowMessage(const std::string& message) override;
    // Asked on the job's worker before its output takes the place of an existing file.
    bool ConfirmReplace(const std::string& destination) override;
    void SetStartCaption(const std::string& caption) override;

private:
    // The window's controls are made from a table (FormMainLayout.cpp): a row gives a control's
    // kind, its member, caption, place and size.
    enum class ControlKind;
    struct ControlRow;
    static const ControlRow kControls[];
    void CreateControls();
    GUIElement* MakeControl(const ControlRow& row, int x);
    // Takes ownership of a new menu entry or control; they go with the window.
    template <class T>
    T* Own(T* element) {
        owned.emplace_back(element);
        return element;
    }
    void CreateDropTarget();
    void DeleteDropTarget();
    void StopWorker();
    void StartOrStop();
    void StartJob();
    // The job's inputs, taken from the controls when START is pressed. Paths are handed to the
    // engine as the desktop names files (UTF-8); the boxes hold the program's Latin-1 text.
    void TakeInputs();
    // Runs f on the window's task: at once there, else at the next hand-over tick.
    void OnWindowTask(std::function<void()> f) { handover.Post(std::move(f)); }
    void RunHandover();
    void FinishJob();
    void MoveFocus(FieldFocus focus);
    void SelectFiles();
    void SelectDestination();
    void ToggleShow();
    void DestinationChoiceChanged();
    // Puts a path into a box only when the box can hold all of it: a path cut short would name
    // another file. Latin-1 text; false, with an error box, when refused.
    bool SetPath(TextBox* box, const std::string& path);
    void TakeDroppedFiles();
    // The encrypted name of a new source goes into the destination box, unless the user named
    // a destination there.
    void ProposeDestination(const std::string& source);
    static bool IsEncryptedFile(const std::string& shown);
    static bool IsEncryptedName(const std::string& path);

    std::atomic<bool> jobActive{false};
    // Set by the worker as the last thing it does with the window.
    std::atomic<bool> workerDone{false};
    // Set by the worker when it shows the box that ends its job (its outcome, or its failure):
    // all that is left is for it to return.
    std::atomic<bool> jobEnding{false};
    std::atomic<int> progress{0};
    std::atomic<int> waitCount{0};
    // The destination the window last proposed; any other text in the box is the user's.
    std::string proposedDestination;
    FieldFocus pendingFocus = FieldFocus::None;
    // When the caption last turned back to START: a press made before then was meant as STOP.
    uint64_t startShownAt = 0;
    // Yes to the exit question came while a finished job's worker was returning: the window
    // closes once it has, without asking again.
    bool closeWhenJobEnds = false;
    // What the worker hands to the window: posted on the worker, applied by the window's task
    // every kHandoverMs while a job is active.
    Handover handover;
    Banner banner{this};
    std::unique_ptr<Timer> timerDrop;
    MsgPort* dropPort = nullptr;
    AppWindow* dropWindow = nullptr;
    // In the order they were made: the menu bar first, which the strip is released with.
    std::vector<std::unique_ptr<GUIElement>> owned;
};

}  // namespace tessella
