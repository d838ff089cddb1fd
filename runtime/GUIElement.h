#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "Font.h"
#include "tagPOINT.h"
#include "tagSIZE.h"
#include "util/MyDateTime.h"

struct Gadget;
struct Screen;
struct TextAttr;

namespace tessella {

// Every window, control, menu entry and timer. The base holds no platform code: platform work
// hides behind the _Specialized... hooks, which the classes bound to the platform override.
class GUIElement {
public:
    using CreateChildrenFn = void (*)(GUIElement*, unsigned long handle);
    using MouseFn = void (*)(GUIElement*, unsigned long handle, tagPOINT);
    using KeyFn = void (*)(GUIElement*, int key);
    using KeyPressFn = bool (*)(GUIElement*, int character);
    using NotifyFn = void (*)(GUIElement*);
    using ClosingFn = bool (*)(GUIElement*);
    using MouseMoveFn = void (*)(GUIElement*, int x, int y);

    explicit GUIElement(unsigned long instance = 0);
    virtual ~GUIElement() = default;

    GUIElement(const GUIElement&) = delete;
    GUIElement& operator=(const GUIElement&) = delete;

    virtual int Width() const;
    virtual int ClientWidth() const;
    virtual int Height() const;
    virtual int ClientHeight() const;
    virtual tagPOINT GetPosition() const;
    virtual tagSIZE GetSize() const;
    virtual tagSIZE GetClientSize() const;
    virtual void SetSize(int w, int h);
    virtual void SetLocation(int x, int y);
    virtual void SetPosition(int x, int y);
    virtual void SetPosition(tagPOINT p);
    virtual void SetBackgroundColor(unsigned long color);
    virtual unsigned long GetBackgroundColor() const;
    virtual void Show();
    virtual void ShowActivate();
    virtual void Hide();
    virtual bool IsVisible() const;
    virtual bool IsLoad() const;
    virtual void Flashing() {}
    virtual void SetEnabled(bool enable);
    virtual bool GetEnabled() const;
    virtual void SetZOrder(GUIElement* other);
    virtual void SetZOrder_Top();
    virtual void SetZOrder_TopMost();
    virtual void SetZOrder_Bottom();
    virtual void SetToolTip(std::string tip);
    virtual std::string GetToolTip() const;
    virtual void SetFonts(Font f);
    virtual Font* GetFonts();
    virtual short IsTabStop() const;
    // Whether Tab may hand this element the keyboard (text boxes, buttons, choices); it does so
    // only while the element is loaded, shown and enabled.
    virtual bool TakesFocus() const { return false; }
    virtual short IsRenderControl() const;
    virtual short IsChildren() const;
    virtual bool Hit(tagPOINT p);
    virtual void SetText(std::string s);
    virtual std::string GetText();
    virtual std::string GetTextW();
    virtual void OnLeftMouseUP(tagPOINT p);
    virtual void OnLeftMouseDOWN(tagPOINT p);
    virtual void OnLeftMouseDBLCLK(tagPOINT p);
    virtual void OnRightMouseUP(tagPOINT p);
    virtual void OnRightMouseDOWN(tagPOINT p);
    virtual void OnRightMouseDBLCLK(tagPOINT p);
    virtual void OnKeyUP(int key);
    virtual void OnKeyDOWN(int key);
    virtual bool OnKeyPress(int character);
    virtual void OnMouseMove(int x, int y);
    virtual void OnMouseHover();
    virtual void OnMouseLeave();
    virtual void Focus();
    virtual void OnMove();
    virtual void OnResize();
    virtual void OnPaint() {}
    virtual bool OnClosing();
    virtual void OnClose();
    virtual void OnFocus();
    virtual void OnLeave();
    virtual void OnActivate();
    virtual void OnDeactivate();
    virtual void OnCreateChildren(unsigned long h);
    virtual void Refresh();
    virtual bool CursorWait() const;
    virtual bool CursorHand() const;
    virtual void SetCursorWait(bool b);
    virtual void SetCursorHand(bool b);
    virtual void OnShow() {}
    virtual void* GetHWND();
    virtual void Load() = 0;
    virtual void _SpecializedMove() {}
    virtual void _SpecializedResize() {}
    virtual void _SpecializedRefresh() {}
    virtual void _SpecializedMoveFront() {}
    virtual void _SpecializedMoveBottom() {}
    virtual void _SpecializedMoveOver(GUIElement* /*other*/) {}
    virtual void _SpecializedSetFont() {}

    int32_t GetID() const { return id; }
    unsigned long GetInstance() const { return instance; }
    bool IsClosed() const { return closed; }
    std::string GetOrvClassName() const { return className; }
    void LoadElementBase();
    void RegisterWinProc() {}

    void SetOnCreateChildren(CreateChildrenFn fn) { onCreateChildren = fn; }
    void SetOnLeftMouseUP(MouseFn fn) { onLeftMouseUP = fn; }
    void SetOnLeftMouseDOWN(MouseFn fn) { onLeftMouseDOWN = fn; }
    void SetOnLeftMouseDBLCLK(MouseFn fn) { onLeftMouseDBLCLK = fn; }
    void SetOnRightMouseUP(MouseFn fn) { onRightMouseUP = fn; }
    void SetOnRightMouseDOWN(MouseFn fn) { onRightMouseDOWN = fn; }
    void SetOnRightMouseDBLCLK(MouseFn fn) { onRightMouseDBLCLK = fn; }
    void SetOnKeyUP(KeyFn fn) { onKeyUP = fn; }
    void SetOnKeyDOWN(KeyFn fn) { onKeyDOWN = fn; }
    void SetOnKeyPress(KeyPressFn fn) { onKeyPress = fn; }
    void SetOnMove(NotifyFn fn) { onMove = fn; }
    void SetOnResize(NotifyFn fn) { onResize = fn; }
    void SetOnClosing(ClosingFn fn) { onClosing = fn; }
    void SetOnClose(NotifyFn fn) { onClose = fn; }
    void SetOnFocus(NotifyFn fn) { onFocus = fn; }
    void SetOnLeave(NotifyFn fn) { onLeave = fn; }
    void SetOnActivate(NotifyFn fn) { onActivate = fn; }
    void SetOnDeactivate(NotifyFn fn) { onDeactivate = fn; }
    void SetOnTextChange(NotifyFn fn) { onTextChange = fn; }
    void SetOnMouseMove(MouseMoveFn fn) { onMouseMove = fn; }
    void SetOnMouseHover(NotifyFn fn) { onMouseHover = fn; }
    void SetOnMouseLeave(NotifyFn fn) { onMouseLeave = fn; }

    // Source of ids: the first one handed out is 1, and none is reused.
    static int32_t countForm;
    static Screen* GlobalScreen;
    static void* GlobalVisualInfo;
    static TextAttr Helvetica24;
    static TextAttr Times18;
    static TextAttr Topaz9;
    static TextAttr Topaz8;

protected:
    std::string className;
    int16_t isChildren = 0;
    int16_t isTabStop = 1;
    int16_t isRenderControl = 0;
    Gadget* gadget = nullptr;
    bool visible = false;
    bool closed = false;
    bool cursorWait = false;
    bool cursorHand = false;
    unsigned long handle = 0;
    unsigned long instance = 0;
    Font font;
    tagSIZE size{100, 50};
    tagPOINT position{100, 100};
    // Read by the job's worker (a box's owner) and by tests on other threads while the loop
    // opens and closes the element.
    std::atomic<bool> loaded{false};
    unsigned long backgroundColor = ~0UL;
    bool enabled = true;
    int32_t id = 0;
    std::string toolTip;
    std::string text;
    std::string focusText;

    CreateChildrenFn onCreateChildren = nullptr;
    MouseFn onLeftMouseUP = nullptr;
    MouseFn onLeftMouseDOWN = nullptr;
    MouseFn onLeftMouseDBLCLK = nullptr;
    MouseFn onRightMouseUP = nullptr;
    MouseFn onRightMouseDOWN = nullptr;
    MouseFn onRightMouseDBLCLK = nullptr;
    KeyFn onKeyUP = nullptr;
    KeyFn onKeyDOWN = nullptr;
    KeyPressFn onKeyPress = nullptr;
    NotifyFn onMove = nullptr;
    NotifyFn onResize = nullptr;
    ClosingFn onClosing = nullptr;
    NotifyFn onClose = nullptr;
    NotifyFn onFocus = nullptr;
    NotifyFn onLeave = nullptr;
    NotifyFn onActivate = nullptr;
    NotifyFn onDeactivate = nullptr;
    NotifyFn onTextChange = nullptr;
    MouseMoveFn onMouseMove = nullptr;
    NotifyFn onMouseHover = nullptr;
    NotifyFn onMouseLeave = nullptr;

    bool childrenCreated = false;
    int16_t focused = 0;
    MyDateTime lastLeftUp;
};

}  // namespace tessella
