#include "GUIElement.h"

#include <graphics.h>

#include "Application.h"

namespace tessella {

int32_t GUIElement::countForm = 0;
Screen* GUIElement::GlobalScreen = nullptr;
void* GUIElement::GlobalVisualInfo = nullptr;
TextAttr GUIElement::Helvetica24 = {const_cast<STRPTR>("helvetica.font"), 24, 0, FPF_DISKFONT};
TextAttr GUIElement::Times18 = {const_cast<STRPTR>("times.font"), 18, 0, FPF_DISKFONT};
TextAttr GUIElement::Topaz9 = {const_cast<STRPTR>("topaz.font"), 9, 0, FPF_ROMFONT};
TextAttr GUIElement::Topaz8 = {const_cast<STRPTR>("topaz.font"), 8, 0, FPF_ROMFONT};

GUIElement::GUIElement(unsigned long inst) : instance(inst) {
    Application::AddWinForm(this);
}

int GUIElement::Width() const {
    return size.cx;
}
int GUIElement::ClientWidth() const {
    return size.cx;
}
int GUIElement::Height() const {
    return size.cy;
}
int GUIElement::ClientHeight() const {
    return size.cy;
}
tagPOINT GUIElement::GetPosition() const {
    return position;
}
tagSIZE GUIElement::GetSize() const {
    return size;
}
tagSIZE GUIElement::GetClientSize() const {
    return size;
}

void GUIElement::SetSize(int w, int h) {
    size = {w, h};
    if (loaded) {
        _SpecializedResize();
    }
}

void GUIElement::SetLocation(int x, int y) {
    position = {x, y};
    if (loaded) {
        _SpecializedMove();
    }
}

void GUIElement::SetPosition(int x, int y) {
    SetLocation(x, y);
}
void GUIElement::SetPosition(tagPOINT p) {
    SetPosition(p.x, p.y);
}

void GUIElement::SetBackgroundColor(unsigned long color) {
    backgroundColor = color;
    if (loaded) {
        OnPaint();
    }
}

unsigned long GUIElement::GetBackgroundColor() const {
    return backgroundColor;
}

void GUIElement::Show() {
    if (!loaded) {
        Load();
    }
    visible = true;
}

void GUIElement::ShowActivate() {
    GUIElement::Show();
}

void GUIElement::Hide() {
    if (loaded) {
        visible = false;
    }
}

bool GUIElement::IsVisible() const {
    return visible;
}
bool GUIElement::IsLoad() const {
    return loaded;
}
void GUIElement::SetEnabled(bool enable) {
    enabled = enable;
}
bool GUIElement::GetEnabled() const {
    return enabled;
}

void GUIElement::SetZOrder(GUIElement* other) {
    if (loaded && other != nullptr && other->GetHWND() != nullptr) {
        _SpecializedMoveOver(other);
    }
}

void GUIElement::SetZOrder_Top() {
    if (loaded) {
        _SpecializedMoveFront();
    }
}

void GUIElement::SetZOrder_TopMost() {
    SetZOrder_Top();
}

void GUIElement::SetZOrder_Bottom() {
    if (loaded) {
        _SpecializedMoveBottom();
    }
}

void GUIElement::SetToolTip(std::string tip) {
    toolTip = std::move(tip);
}
std::string GUIElement::GetToolTip() const {
    return toolTip;
}

void GUIElement::SetFonts(Font f) {
    font = f;
    if (loaded) {
        _SpecializedSetFont();
    }
}

Font* GUIElement::GetFonts() {
    return &font;
}
short GUIElement::IsTabStop() const {
    return isTabStop;
}
short GUIElement::IsRenderControl() const {
    return isRenderControl;
}
short GUIElement::IsChildren() const {
    return isChildren;
}

bool GUIElement::Hit(tagPOINT p) {
    // Both edges count: the right-most column and the bottom row are inside.
    return loaded && visible && p.x >= position.x && p.x <= position.x + size.cx &&
           p.y >= position.y && p.y <= position.y + size.cy;
}

void GUIElement::SetText(std::string s) {
    text = std::move(s);
}
std::string GUIElement::GetText() {
    return text;
}
std::string GUIElement::GetTextW() {
    return GetText();
}

void GUIElement::OnLeftMouseUP(tagPOINT p) {
    if (onLeftMouseUP != nullptr) {
        onLeftMouseUP(this, handle, p);
    }
    const MyDateTime now;
    // A wall clock set back is not a quick second click.
    const int64_t elapsed = lastLeftUp.MillsecDiff(now);
    if (elapsed >= 0 && elapsed <= 999) {
        OnLeftMouseDBLCLK(p);
    }
    lastLeftUp = now;
}

void GUIElement::OnLeftMouseDOWN(tagPOINT p) {
    if (onLeftMouseDOWN != nullptr) {
        onLeftMouseDOWN(this, handle, p);
    }
}

void GUIElement::OnLeftMouseDBLCLK(tagPOINT p) {
    if (onLeftMouseDBLCLK != nullptr) {
        onLeftMouseDBLCLK(this, handle, p);
    }
}

void GUIElement::OnRightMouseUP(tagPOINT p) {
    if (onRightMouseUP != nullptr) {
        onRightMouseUP(this, handle, p);
    }
}

void GUIElement::OnRightMouseDOWN(tagPOINT p) {
    if (onRightMouseDOWN != nullptr) {
        onRightMouseDOWN(this, handle, p);
    }
}

void GUIElement::OnRightMouseDBLCLK(tagPOINT p) {
    if (onRightMouseDBLCLK != nullptr) {
        onRightMouseDBLCLK(this, handle, p);
    }
}

void GUIElement::OnKeyUP(int key) {
    if (onKeyUP != nullptr) {
        onKeyUP(this, key);
    }
}

void GUIElement::OnKeyDOWN(int key) {
    if (onKeyDOWN != nullptr) {
        onKeyDOWN(this, key);
    }
}

bool GUIElement::OnKeyPress(int character) {
    return onKeyPress == nullptr || onKeyPress(this, character);
}

void GUIElement::OnMouseMove(int x, int y) {
    if (onMouseMove != nullptr) {
        onMouseMove(this, x, y);
    }
}

void GUIElement::OnMouseHover() {
    if (onMouseHover != nullptr) {
        onMouseHover(this);
    }
}

void GUIElement::OnMouseLeave() {
    if (onMouseLeave != nullptr) {
        onMouseLeave(this);
    }
}

void GUIElement::Focus() {
    focused = 1;
}

void GUIElement::OnMove() {
    GetPosition();  // a window re-reads its position from the platform
    if (onMove != nullptr) {
        onMove(this);
    }
}

void GUIElement::OnResize() {
    SetBackgroundColor(backgroundColor);
    if (onResize != nullptr) {
        onResize(this);
    }
}

bool GUIElement::OnClosing() {
    return onClosing == nullptr || onClosing(this);
}

void GUIElement::OnClose() {
    if (onClose != nullptr) {
        onClose(this);
    }
    closed = true;
}

void GUIElement::OnFocus() {
    focused = 1;
    focusText = GetTextW();
    if (onFocus != nullptr) {
        onFocus(this);
    }
}

void GUIElement::OnLeave() {
    focused = 0;
    if (onLeave != nullptr) {
        onLeave(this);
    }
    if (GetTextW() != focusText && onTextChange != nullptr) {
        onTextChange(this);
    }
}

void GUIElement::OnActivate() {
    if (onActivate != nullptr) {
        onActivate(this);
    }
}

void GUIElement::OnDeactivate() {
    if (onDeactivate != nullptr) {
        onDeactivate(this);
    }
}

void GUIElement::OnCreateChildren(unsigned long h) {
    if (handle == 0) {
        handle = h;
    }
    if (!childrenCreated && onCreateChildren != nullptr) {
        onCreateChildren(this, handle);
    }
    childrenCreated = true;
}

void GUIElement::Refresh() {
    if (loaded) {
        _SpecializedRefresh();
    }
}

bool GUIElement::CursorWait() const {
    return cursorWait;
}
bool GUIElement::CursorHand() const {
    return cursorHand;
}

void GUIElement::SetCursorWait(bool b) {
    cursorWait = b;
    if (b) {
        cursorHand = false;
    }
}

void GUIElement::SetCursorHand(bool b) {
    cursorHand = b;
    if (b) {
        cursorWait = false;
    }
}

void* GUIElement::GetHWND() {
    return &handle;
}

void GUIElement::LoadElementBase() {
    if (id == 0) {
        ++countForm;
        id = countForm;
        handle = static_cast<unsigned long>(id);
    }
    if (loaded) {
        _SpecializedSetFont();
    }
}

}  // namespace tessella
