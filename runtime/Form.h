#pragma once

#include <intuition.h>

#include <string>

#include "GUIElement.h"

namespace tessella {

class OrvScreen;

// A top-level window: opens and closes the platform window, owns its gadget list, builds its
// children when it opens and repaints its custom-drawn children.
class Form : public GUIElement {
public:
    explicit Form(unsigned long instance, bool isDialog = false);
    ~Form() override;

    tagPOINT GetPosition() const override;
    void SetBackgroundColor(unsigned long color) override;
    void Focus() override;
    void OnPaint() override;
    void SetCursorWait(bool b) override;
    // A disabled window also holds an empty requester, so that the platform keeps the user's
    // input away from its gadgets and menus (text fields edit themselves there, unseen by the
    // loop, which only rejects the messages a disabled window gets).
    void SetEnabled(bool enable) override;
    void* GetHWND() override;
    void Load() override;
    void _SpecializedMove() override;
    void _SpecializedResize() override;
    void _SpecializedRefresh() override;
    void _SpecializedMoveFront() override;
    void _SpecializedMoveBottom() override;
    void _SpecializedMoveOver(GUIElement* other) override;
    void _SpecializedSetFont() override;

    virtual void RegisterHotKeyForm() {}
    virtual void UnregisterHotKeyForm() {}
    virtual std::string Title() { return GetTextW(); }
    virtual void SetTitle(std::string s);
    virtual std::string TitleW() { return GetTextW(); }
    virtual void SetTitleW(std::string s) { SetTitle(std::move(s)); }
    virtual void OnLoad() {}
    virtual void DirectXRender() {}
    virtual void SetBoxMinimize(bool b) { boxMinimize = b; }
    virtual void SetBoxMaximize(bool b) { boxMaximize = b; }
    virtual void SetViewTitle(bool b) { viewTitle = b; }
    virtual void CloseForm();
    virtual bool IsDialog() { return isDialog; }
    virtual void SetIcona(int icon) { icona = icon; }
    virtual void SetClientArea(int w, int h) { SetClientArea(w, h, true); }
    virtual void SetClientArea(int w, int h, bool move);
    virtual void SetModalDialog(bool b) { modalDialog = b; }
    virtual void SetDialogTopMost(bool b) { dialogTopMost = b; }
    virtual void SetScreen(OrvScreen* s) { screen = s; }
    virtual OrvScreen* GetScreen() { return screen; }
    virtual void CenterForm();
    virtual void Maximizes();
    virtual void Minimize();
    virtual Window* GetHandle() { return window; }
    virtual void SetCursorCustom(unsigned short* data, int a, int b);
    virtual void ClearCursorCustom();
    virtual void RemoveDaGList(Gadget* g);
    virtual void AddAGList(Gadget* g);
    // The head of the window's gadget chain (its context gadget), where controls link theirs.
    Gadget* GetGadgetList() const { return gadgetList; }

    // Progress texts of closing; a hook that does nothing.
    static void Log(const char* /*text*/) {}

    int16_t postClose = 0;

protected:
    Gadget* gadgetList = nullptr;
    OrvScreen* screen = nullptr;
    Window* window = nullptr;
    bool dialogTopMost = true;
    bool boxMinimize = true;
    bool boxMaximize = true;
    bool viewTitle = true;
    bool isDialog = false;
    bool modalDialog = false;
    int32_t icona = 0;

private:
    Window* OpenPlatformWindow();
    // Puts the blocking requester up or takes it down, as the window's enabled state says.
    void ApplyBlock();

    Requester blocker{};
    bool blocking = false;
};

}  // namespace tessella
