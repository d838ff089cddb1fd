#pragma once

#include <cstdint>
#include <string>

#include "runtime/Form.h"

struct Image;

namespace tessella {

class ButtonCustom;
class CellControl;
class MyImage;
class PanelChildren;

// The modal about box: the logo in a frame, the program's name and version, a legal line, the
// web and mail addresses as links, and a note. Its owner is disabled and busy while it is open.
class FormAbout : public Form {
public:
    explicit FormAbout(Form* owner);
    ~FormAbout() override;

    // The setters only store: they take effect when the box builds its children at Show.
    void SetImageLogo(Image* image, int width, int height);
    void SetProgramNameEx(std::string name) { programName = std::move(name); }
    void SetLegalInformation(std::string text) { legalInformation = std::move(text); }
    void SetNote(std::string text) { note = std::move(text); }
    void SetUrlSite(std::string url) { urlSite = std::move(url); }
    // The contact address made from the site: a fixed mailbox at the site's host.
    std::string MailAddress() const;

    virtual void evCreateChildren();
    virtual bool evClosing();
    virtual bool evKeyPress(int key);
    virtual void evCommand(GUIElement* element);
    virtual void evLeftMouseDOWN(GUIElement* element);

    static void CreateChildren(GUIElement* form, unsigned long handle);
    static bool Closing(GUIElement* form);
    static bool KeyPress(GUIElement* element, int key);
    static void KeyDown(GUIElement* element, int key);
    static void KeyUp(GUIElement* element, int key);
    static void OnExecCommand(GUIElement* element);
    static void LeftMouseDOWN(GUIElement* element, unsigned long handle, tagPOINT p);
    static FormAbout* GetForm(GUIElement* element);

    static constexpr const char* kMailbox = "info";

    Form* owner = nullptr;
    MyImage* logo = nullptr;
    CellControl* lblName = nullptr;
    CellControl* lblLegal = nullptr;
    PanelChildren* panel = nullptr;
    CellControl* lblNote = nullptr;
    ButtonCustom* btnOk = nullptr;
    CellControl* lblSite = nullptr;
    CellControl* lblMail = nullptr;
    Image* imageLogo = nullptr;
    int32_t logoWidth = 0;
    int32_t logoHeight = 0;
    std::string programName;
    std::string legalInformation;
    std::string note;
    std::string urlSite;
};

}  // namespace tessella
