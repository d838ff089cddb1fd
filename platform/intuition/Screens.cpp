#include <algorithm>
#include <cstring>

#include "FrameLook.h"
#include "IntuitionState.h"
#include "platform/graphics/ColorMapImpl.h"
#include "platform/graphics/FontFace.h"

using namespace tessella::intuition;

namespace {

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;

}  // namespace

namespace tessella::intuition {

ScreenImpl::ScreenImpl() {
    std::memset(static_cast<Screen*>(this), 0, sizeof(Screen));
}

ScreenImpl::~ScreenImpl() {
    FreeBitMap(RastPort.BitMap);
    tessella::graphics::DeleteColorMap(ViewPort.ColorMap);
    CloseFont(font);
}

}  // namespace tessella::intuition

namespace {

ScreenImpl* NewScreenImpl(const TagItem* tags) {
    const int width = static_cast<int>(GetTagData(SA_Width, kDefaultWidth, tags));
    const int height = static_cast<int>(GetTagData(SA_Height, kDefaultHeight, tags));
    const int depth = static_cast<int>(GetTagData(SA_Depth, 8, tags));
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096 || depth < 1 || depth > 8) {
        return nullptr;
    }
    BitMap* bm = AllocBitMap(width, height, depth, BMF_CLEAR | BMF_DISPLAYABLE, nullptr);
    if (bm == nullptr) {
        return nullptr;
    }
    auto* s = new ScreenImpl;
    s->Width = static_cast<WORD>(width);
    s->Height = static_cast<WORD>(height);
    if (const char* title = reinterpret_cast<const char*>(GetTagData(SA_Title, 0, tags))) {
        s->title = title;
    }
    s->Title = reinterpret_cast<UBYTE*>(s->title.data());
    s->DefaultTitle = s->Title;
    s->showTitle = GetTagData(SA_ShowTitle, TRUE, tags) != 0;
    s->Flags = static_cast<UWORD>((GetTagData(SA_Type, CUSTOMSCREEN, tags) & SCREENTYPE) |
                                  (s->showTitle ? SHOWTITLE : 0));
    s->DetailPen = static_cast<UBYTE>(GetTagData(SA_DetailPen, 0, tags));
    s->BlockPen = static_cast<UBYTE>(GetTagData(SA_BlockPen, 1, tags));

    TextAttr fallbackFont{"helvetica.font", look::kScreenFontSize, FS_NORMAL, FPF_DISKFONT};
    auto* asked = reinterpret_cast<TextAttr*>(GetTagData(SA_Font, 0, tags));
    s->font = asked != nullptr ? OpenFont(asked) : nullptr;
    if (s->font == nullptr) {
        s->font = OpenFont(&fallbackFont);
    }
    if (s->font == nullptr) {
        s->font = tessella::graphics::DefaultFont();
    }
    const UWORD fontSize = s->font != nullptr ? s->font->tf_YSize : 8;
    if (s->font != nullptr) {
        s->fontName = s->font->tf_Message.mn_Node.ln_Name;
        s->fontAttr = TextAttr{s->fontName.c_str(), fontSize, s->font->tf_Style, s->font->tf_Flags};
        s->Font = &s->fontAttr;
    }
    s->BarHeight = static_cast<BYTE>(look::ScreenBarHeight(fontSize));
    s->WBorTop = look::kBorderTopPlain;
    s->WBorLeft = look::kBorderLeft;
    s->WBorRight = look::kBorderRight;
    s->WBorBottom = look::kBorderBottom;

    s->ViewPort.ColorMap = tessella::graphics::NewColorMap();
    s->ViewPort.DWidth = s->Width;
    s->ViewPort.DHeight = s->Height;
    InitRastPort(&s->RastPort);
    s->RastPort.BitMap = bm;
    s->RastPort.Layer = &s->layer;
    SetFont(&s->RastPort, s->font);
    return s;
}

void Relink(Intuition& in) {
    Screen* next = nullptr;
    for (const auto& s : in.screens) {
        s->NextScreen = next;
        next = s.get();
    }
    tessella::graphics::TouchDisplay();
}

auto Position(Intuition& in, Screen* screen) {
    return std::find_if(in.screens.begin(), in.screens.end(),
                        [&](const auto& s) { return s.get() == screen; });
}

}  // namespace

Screen* OpenScreenTagList(const NewScreen* /*newScreen*/, const TagItem* tagList) {
    ScreenImpl* s = NewScreenImpl(tagList);
    if (s == nullptr) {
        return nullptr;
    }
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    in.screens.emplace_back(std::shared_ptr<ScreenImpl>(s));
    Relink(in);
    in.StartInputTask();
    ChoosePresenter();
    return s;
}

BOOL CloseScreen(Screen* screen) {
    Intuition& in = Intuition::Get();
    {
        std::lock_guard guard(in.lock);
        auto it = Position(in, screen);
        if (it == in.screens.end() || !(*it)->windows.empty()) {
            return FALSE;
        }
        in.screens.erase(it);  // freed once no composition still reads it
        Relink(in);
        if (!in.screens.empty()) {
            return TRUE;
        }
    }
    // Nothing is left to show: the desktop window goes, and its thread ends before a program
    // that is about to exit gets control back.
    EndDesktopPresenter();
    return TRUE;
}

Screen* LockPubScreen(CONST_STRPTR name) {
    if (name != nullptr && std::strcmp(name, "Workbench") != 0) {
        return nullptr;
    }
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    // The program's own screen is the most recent one it opened; the plain fallback serves
    // only until then.
    ScreenImpl* chosen = nullptr;
    for (const auto& s : in.screens) {
        if (!s->fallback) {
            chosen = s.get();
        }
    }
    if (chosen == nullptr) {
        for (const auto& s : in.screens) {
            if (s->fallback) {
                chosen = s.get();
            }
        }
    }
    if (chosen == nullptr) {
        const TagItem tags[] = {{SA_Type, PUBLICSCREEN},
                                {SA_Title, reinterpret_cast<IPTR>("Workbench Screen")},
                                {TAG_DONE, 0}};
        chosen = NewScreenImpl(tags);
        if (chosen == nullptr) {
            return nullptr;
        }
        chosen->fallback = true;
        in.screens.emplace(in.screens.begin(), std::shared_ptr<ScreenImpl>(chosen));
        Relink(in);
        in.StartInputTask();
        ChoosePresenter();
    }
    chosen->publicLocks++;
    return chosen;
}

void UnlockPubScreen(CONST_STRPTR /*name*/, Screen* screen) {
    if (screen == nullptr) {
        return;
    }
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    auto it = Position(in, screen);
    if (it != in.screens.end() && (*it)->publicLocks > 0) {
        (*it)->publicLocks--;
    }
}

void MoveScreen(Screen* screen, LONG /*dx*/, LONG dy) {
    // Screens slide vertically only, as on a display whose screens share its width.
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    if (Position(in, screen) == in.screens.end()) {
        return;
    }
    screen->TopEdge = static_cast<WORD>(std::clamp<LONG>(screen->TopEdge + dy, 0, screen->Height));
    tessella::graphics::TouchDisplay();
}

namespace {

// Moves a screen to the front (the end of the list, shown) or to the back of the screen stack.
void Restack(Screen* screen, bool toFront) {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    auto it = Position(in, screen);
    if (it == in.screens.end()) {
        return;
    }
    std::shared_ptr<ScreenImpl> s = *it;
    in.screens.erase(it);
    in.screens.insert(toFront ? in.screens.end() : in.screens.begin(), std::move(s));
    Relink(in);
}

}  // namespace

void ScreenToFront(Screen* screen) {
    Restack(screen, true);
}

void ScreenToBack(Screen* screen) {
    Restack(screen, false);
}

BOOL ScreensOnDesktop() {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    ChoosePresenter();
    return in.presenter->ShowsWindow() ? TRUE : FALSE;
}

void DisplayBeep(Screen* screen) {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    in.beeps++;
    in.presenter->Beep(screen);
}
