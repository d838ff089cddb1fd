#include <algorithm>
#include <cstring>

#include "FrameLook.h"
#include "IntuitionState.h"

using namespace tessella::intuition;

namespace {

const CONST_STRPTR kUnchanged = reinterpret_cast<CONST_STRPTR>(~IPTR{0});

ScreenImpl* ScreenFor(Intuition& in, const TagItem* tags) {
    Screen* asked = reinterpret_cast<Screen*>(GetTagData(WA_CustomScreen, 0, tags));
    if (asked == nullptr) {
        asked = reinterpret_cast<Screen*>(GetTagData(WA_PubScreen, 0, tags));
    }
    if (asked == nullptr) {
        const char* name = reinterpret_cast<const char*>(GetTagData(WA_PubScreenName, 0, tags));
        asked = LockPubScreen(name);
        if (asked == nullptr && name != nullptr && GetTagData(WA_PubScreenFallBack, FALSE, tags)) {
            asked = LockPubScreen(nullptr);
        }
        UnlockPubScreen(nullptr, asked);
    }
    for (const auto& s : in.screens) {
        if (s.get() == asked) {
            return s.get();
        }
    }
    return nullptr;
}

ULONG FlagsFrom(const TagItem* tags) {
    ULONG flags = static_cast<ULONG>(GetTagData(WA_Flags, 0, tags));
    const struct {
        Tag tag;
        ULONG flag;
    } booleans[] = {
        {WA_SizeGadget, WFLG_SIZEGADGET},     {WA_DragBar, WFLG_DRAGBAR},
        {WA_DepthGadget, WFLG_DEPTHGADGET},   {WA_CloseGadget, WFLG_CLOSEGADGET},
        {WA_Backdrop, WFLG_BACKDROP},         {WA_ReportMouse, WFLG_REPORTMOUSE},
        {WA_Borderless, WFLG_BORDERLESS},     {WA_Activate, WFLG_ACTIVATE},
        {WA_RMBTrap, WFLG_RMBTRAP},           {WA_NoCareRefresh, WFLG_NOCAREREFRESH},
        {WA_SizeBRight, WFLG_SIZEBRIGHT},     {WA_SizeBBottom, WFLG_SIZEBBOTTOM},
        {WA_NewLookMenus, WFLG_NEWLOOKMENUS},
    };
    for (const auto& b : booleans) {
        if (const TagItem* item = FindTagItem(b.tag, tags)) {
            flags = item->ti_Data ? (flags | b.flag) : (flags & ~b.flag);
        }
    }
    return flags & ~(WFLG_WINDOWACTIVE | WFLG_ZOOMED);
}

void SetBorders(WindowImpl* w, const ScreenImpl* s) {
    if (w->Flags & WFLG_BORDERLESS) {
        return;
    }
    const UWORD fontSize = s->font != nullptr ? s->font->tf_YSize : 8;
    w->BorderLeft = look::kBorderLeft;
    w->BorderRight = look::kBorderRight;
    w->BorderTop = look::HasTitleBar(w->Flags, !w->title.empty())
                       ? static_cast<BYTE>(look::TitleBarHeight(fontSize))
                       : look::kBorderTopPlain;
    w->BorderBottom = look::kBorderBottom;
    if (w->Flags & WFLG_SIZEGADGET) {
        w->BorderBottom = look::kSizeBorderBottom;
        if (w->Flags & WFLG_SIZEBRIGHT) {
            w->BorderRight = look::kSizeBorderRight;
        }
    }
}

void DropMessages(Intuition& in, WindowImpl* w) {
    if (w->UserPort == nullptr) {
        return;
    }
    while (Message* m = GetMsg(w->UserPort)) {
        in.Reclaim(reinterpret_cast<IntuiMessageImpl*>(m));
    }
    in.changed.notify_all();
}

// Runs a geometry change and, when the size changed, the bitmap and the messages after it.
template <typename Change>
void Reshape(Window* window, Change change) {
    Intuition& in = Intuition::Get();
    std::shared_ptr<WindowImpl> w;
    int oldWidth;
    int oldHeight;
    bool resized;
    {
        std::lock_guard guard(in.lock);
        w = in.Find(window);
        if (w == nullptr) {
            return;
        }
        oldWidth = w->Width;
        oldHeight = w->Height;
        resized = change(*w);
    }
    if (resized) {
        FinishResize(w, oldWidth, oldHeight);
    }
}

size_t IndexOf(const ScreenImpl* s, const Window* w) {
    for (size_t i = 0; i < s->windows.size(); ++i) {
        if (s->windows[i].get() == w) {
            return i;
        }
    }
    return s->windows.size();
}

// The window's own copies of its title and the screen title it shows while active.
void SetTitles(WindowImpl* w, const TagItem* tags) {
    if (const char* title = reinterpret_cast<const char*>(GetTagData(WA_Title, 0, tags))) {
        w->title = title;
        w->Title = reinterpret_cast<UBYTE*>(w->title.data());
    }
    if (const char* title = reinterpret_cast<const char*>(GetTagData(WA_ScreenTitle, 0, tags))) {
        w->screenTitle = title;
        w->hasScreenTitle = true;
        w->ScreenTitle = reinterpret_cast<UBYTE*>(w->screenTitle.data());
    }
}

// The window's size, its limits and zoom box, and its place on the screen.
void SetGeometry(WindowImpl* w, ScreenImpl* s, const TagItem* tags) {
    const int horizontal = w->BorderLeft + w->BorderRight;
    const int vertical = w->BorderTop + w->BorderBottom;
    int width = static_cast<int>(GetTagData(WA_Width, s->Width, tags));
    int height = static_cast<int>(GetTagData(WA_Height, s->Height, tags));
    if (const TagItem* inner = FindTagItem(WA_InnerWidth, tags)) {
        width = static_cast<int>(inner->ti_Data) + horizontal;
    }
    if (const TagItem* inner = FindTagItem(WA_InnerHeight, tags)) {
        height = static_cast<int>(inner->ti_Data) + vertical;
    }
    w->MinWidth = static_cast<WORD>(GetTagData(WA_MinWidth, horizontal + 1, tags));
    w->MinHeight = static_cast<WORD>(GetTagData(WA_MinHeight, vertical + 1, tags));
    w->MaxWidth = static_cast<UWORD>(GetTagData(WA_MaxWidth, s->Width, tags));
    w->MaxHeight = static_cast<UWORD>(GetTagData(WA_MaxHeight, s->Height, tags));
    if (const auto* zoom = reinterpret_cast<const WORD*>(GetTagData(WA_Zoom, 0, tags))) {
        std::copy(zoom, zoom + 4, w->otherBox);
        w->hasZoomBox = true;
        w->Flags |= WFLG_HASZOOM;
    }
    // Windows always fit their screen: moved in first, made smaller only if they must.
    SetBox(w, static_cast<int>(static_cast<SIPTR>(GetTagData(WA_Left, 0, tags))),
           static_cast<int>(static_cast<SIPTR>(GetTagData(WA_Top, 0, tags))), width, height);
}

// The window draws through its own layer into a bitmap of its size, in the screen's font.
void AttachRastPort(WindowImpl* w, ScreenImpl* s, BitMap* bm) {
    InitRastPort(&w->rastPort);
    w->rastPort.BitMap = bm;
    w->rastPort.Layer = &w->layer;
    if (s->font != nullptr) {
        w->rastPort.Font = s->font;
        w->rastPort.TxHeight = s->font->tf_YSize;
        w->rastPort.TxWidth = s->font->tf_XSize;
        w->rastPort.TxBaseline = s->font->tf_Baseline;
    }
    w->layer.window = w;
    w->RPort = &w->rastPort;
    w->WLayer = &w->layer;
    w->IFont = s->font;
}

}  // namespace

Window* OpenWindowTagList(const NewWindow* /*newWindow*/, const TagItem* tags) {
    Intuition& in = Intuition::Get();
    std::unique_lock guard(in.lock);
    ScreenImpl* s = ScreenFor(in, tags);
    if (s == nullptr) {
        return nullptr;
    }
    auto w = std::make_shared<WindowImpl>();
    std::memset(static_cast<Window*>(w.get()), 0, sizeof(Window));
    w->screen = s;
    w->WScreen = s;
    w->Flags = FlagsFrom(tags);
    SetTitles(w.get(), tags);
    SetBorders(w.get(), s);
    SetGeometry(w.get(), s, tags);

    BitMap* bm = AllocBitMap(w->Width, w->Height, s->RastPort.BitMap->Depth, BMF_CLEAR, nullptr);
    if (bm == nullptr) {
        return nullptr;
    }
    const ULONG idcmp = static_cast<ULONG>(GetTagData(WA_IDCMP, 0, tags));
    if (idcmp != 0) {
        w->UserPort = CreateMsgPort();
        if (w->UserPort == nullptr) {
            FreeBitMap(bm);
            return nullptr;
        }
    }
    w->IDCMPFlags = idcmp;
    w->mouseQueue = std::max(1, static_cast<int>(GetTagData(WA_MouseQueue, 5, tags)));
    AttachRastPort(w.get(), s, bm);
    w->FirstGadget = reinterpret_cast<Gadget*>(GetTagData(WA_Gadgets, 0, tags));
    w->DetailPen = static_cast<UBYTE>(GetTagData(WA_DetailPen, 0, tags));
    w->BlockPen = static_cast<UBYTE>(GetTagData(WA_BlockPen, 1, tags));
    w->MouseX = static_cast<WORD>(in.pointerX - w->LeftEdge);
    w->MouseY = static_cast<WORD>(in.pointerY - w->TopEdge);

    w->opened = ++in.windowsOpened;
    s->windows.push_back(w);
    Restack(s, w, s->windows.size());
    if (w->Flags & WFLG_ACTIVATE) {
        in.Activate(w.get());
    }
    in.StartInputTask();
    return w.get();
}

void CloseWindow(Window* window) {
    Intuition& in = Intuition::Get();
    std::shared_ptr<WindowImpl> w;
    {
        std::lock_guard guard(in.lock);
        w = in.Find(window);
        if (w == nullptr) {
            return;
        }
        if (in.active == w.get()) {
            in.active = nullptr;
            in.presenter->PointerChanged();
        }
        if (in.gestureWindow == w.get()) {
            in.gesture = Gesture::None;
            in.gestureWindow = nullptr;
        }
        if (in.activeGadgetWindow == w.get()) {
            in.activeGadget = nullptr;
            in.activeGadgetWindow = nullptr;
        }
        if (in.alert == w.get()) {
            in.alert = nullptr;
        }
        if (std::erase(in.closingRequests, window) > 0) {
            in.changed.notify_all();
        }
        if (in.menus.window == w.get()) {
            in.menus = MenuSession{};
        }
        std::erase_if(in.redraws, [&](const auto& r) { return r.first == w; });
        DropMessages(in, w.get());
        DeleteMsgPort(w->UserPort);
        w->UserPort = nullptr;
        auto& list = w->screen->windows;
        list.erase(std::find(list.begin(), list.end(), w));
        RelinkWindows(w->screen);
    }
    // The bitmap goes only once no task is inside a paint of this window.
    LockLayerRom(&w->layer);
    FreeBitMap(w->rastPort.BitMap);
    w->rastPort.BitMap = nullptr;
    UnlockLayerRom(&w->layer);
}

void ChangeWindowBox(Window* window, LONG left, LONG top, LONG width, LONG height) {
    Reshape(window, [&](WindowImpl& w) { return SetBox(&w, left, top, width, height); });
}

void MoveWindow(Window* window, LONG dx, LONG dy) {
    Reshape(window, [&](WindowImpl& w) {
        return SetBox(&w, w.LeftEdge + dx, w.TopEdge + dy, w.Width, w.Height);
    });
}

void SizeWindow(Window* window, LONG dx, LONG dy) {
    Reshape(window, [&](WindowImpl& w) {
        return SetBox(&w, w.LeftEdge, w.TopEdge, w.Width + dx, w.Height + dy);
    });
}

void ZipWindow(Window* window) {
    Reshape(window, [&](WindowImpl& w) {
        const WORD current[4] = {w.LeftEdge, w.TopEdge, w.Width, w.Height};
        if (!w.hasZoomBox) {
            // Without a zoom box the other box is the whole screen.
            w.otherBox[0] = 0;
            w.otherBox[1] = 0;
            w.otherBox[2] = w.screen->Width;
            w.otherBox[3] = w.screen->Height;
            w.hasZoomBox = true;
        }
        const bool resized = SetBox(&w, w.otherBox[0], w.otherBox[1], w.otherBox[2], w.otherBox[3]);
        std::copy(current, current + 4, w.otherBox);
        w.Flags ^= WFLG_ZOOMED;
        return resized;
    });
}

void WindowToFront(Window* window) {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    if (auto w = in.Find(window)) {
        Restack(w->screen, w, w->screen->windows.size());
    }
}

void WindowToBack(Window* window) {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    if (auto w = in.Find(window)) {
        Restack(w->screen, w, 0);
    }
}

void MoveWindowInFrontOf(Window* window, Window* behindWindow) {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    auto w = in.Find(window);
    auto behind = in.Find(behindWindow);
    if (w == nullptr || behind == nullptr || w == behind || w->screen != behind->screen) {
        return;
    }
    const size_t from = IndexOf(w->screen, w.get());
    size_t to = IndexOf(w->screen, behind.get()) + 1;
    if (from < to) {
        --to;  // the window leaves its place before it is inserted
    }
    Restack(w->screen, w, to);
}

void ActivateWindow(Window* window) {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    if (auto w = in.Find(window)) {
        in.Activate(w.get());
    }
}

void SetWindowTitles(Window* window, CONST_STRPTR windowTitle, CONST_STRPTR screenTitle) {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    auto w = in.Find(window);
    if (w == nullptr) {
        return;
    }
    if (windowTitle != kUnchanged) {
        w->title = windowTitle != nullptr ? windowTitle : "";
        w->Title = windowTitle != nullptr ? reinterpret_cast<UBYTE*>(w->title.data()) : nullptr;
    }
    if (screenTitle != kUnchanged) {
        w->screenTitle = screenTitle != nullptr ? screenTitle : "";
        w->hasScreenTitle = true;
        w->ScreenTitle = reinterpret_cast<UBYTE*>(w->screenTitle.data());
    }
    tessella::graphics::TouchDisplay();
}

void RefreshWindowFrame(Window* /*window*/) {
    // Frames are drawn over the windows each time the screen is composed.
    tessella::graphics::TouchDisplay();
}

BOOL ModifyIDCMP(Window* window, ULONG flags) {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    auto w = in.Find(window);
    if (w == nullptr) {
        return FALSE;
    }
    if (flags == 0) {
        DropMessages(in, w.get());
        DeleteMsgPort(w->UserPort);
        w->UserPort = nullptr;
    } else if (w->UserPort == nullptr) {
        w->UserPort = CreateMsgPort();
        if (w->UserPort == nullptr) {
            return FALSE;
        }
    }
    w->IDCMPFlags = flags;
    return TRUE;
}

void SetPointer(Window* window, UWORD* pointer, LONG height, LONG width, LONG xOffset,
                LONG yOffset) {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    auto w = in.Find(window);
    if (w == nullptr) {
        return;
    }
    w->Pointer = pointer;
    w->PtrHeight = static_cast<BYTE>(height);
    w->PtrWidth = static_cast<BYTE>(width);
    w->XOffset = static_cast<BYTE>(xOffset);
    w->YOffset = static_cast<BYTE>(yOffset);
    in.presenter->PointerChanged();
}

void ClearPointer(Window* window) {
    SetPointer(window, nullptr, 0, 0, 0, 0);
}

namespace tessella::intuition {

PointerImage ActivePointer() {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    PointerImage image;
    const WindowImpl* w = in.active;
    if (w == nullptr || w->Pointer == nullptr || w->PtrHeight <= 0 || w->PtrWidth <= 0) {
        return image;
    }
    image.custom = true;
    image.width = std::min<int>(w->PtrWidth, 16);
    image.height = w->PtrHeight;
    image.xOffset = w->XOffset;
    image.yOffset = w->YOffset;
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    // Sprite data: two control words, then two planes' words per row.
    const UWORD* rows = w->Pointer + 2;
    for (int y = 0; y < image.height; ++y) {
        const UWORD plane0 = rows[2 * y];
        const UWORD plane1 = rows[2 * y + 1];
        for (int x = 0; x < image.width; ++x) {
            const UWORD bit = static_cast<UWORD>(0x8000 >> x);
            image.pixels[static_cast<size_t>(y) * image.width + x] =
                static_cast<UBYTE>(((plane0 & bit) ? 1 : 0) | ((plane1 & bit) ? 2 : 0));
        }
    }
    return image;
}

}  // namespace tessella::intuition
