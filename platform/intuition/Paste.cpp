// Pasting from the desktop's clipboard: the text is typed into the active window key by key,
// as the keyboard would, unless the window's menu takes the paste key as a command.
#include "GadgetClass.h"
#include "IntuitionState.h"
#include "MenuStrip.h"
#include "util/StringUtils.h"

namespace tessella::intuition {
namespace {

// Pasted characters travel on a letter key: one no text field treats as a command.
constexpr UWORD kPasteRawKey = 0x20;

}  // namespace

std::string PasteText(const std::string& utf8) {
    std::string text;
    for (const char ch : tessella::StringUtils::Utf8ToLatin1(utf8)) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
            continue;
        }
        if (text.size() == kPasteLimit) {
            break;
        }
        text.push_back(ch);
    }
    return text;
}

void PostPaste(const std::string& latin1) {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    in.StartInputTask();
    for (const char c : latin1) {
        QueuedInput press;
        press.event.ie_Class = IECLASS_RAWKEY;
        press.event.ie_Code = kPasteRawKey;
        press.key.known = 1;
        press.key.length = 1;
        press.key.chars[0] = static_cast<UBYTE>(c);
        press.key.pasted = 1;
        QueuedInput release = press;
        release.event.ie_Code = kPasteRawKey | IECODE_UP_PREFIX;
        release.key.length = 0;
        in.events.push_back(press);
        in.events.push_back(release);
    }
    in.changed.notify_all();
}

bool PasteWanted(bool amigaKey, UBYTE letter) {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    WindowImpl* a = in.active;
    if (amigaKey) {
        Gadget* g = in.activeGadget;
        return a != nullptr && in.activeGadgetWindow == a && IsCustom(g) &&
               static_cast<CustomGadget*>(g)->TakesKeyboard();
    }
    return letter == 0 || a == nullptr || a->MenuStrip == nullptr ||
           menus::CommandKey(a->MenuStrip, static_cast<char>(letter)) == MENUNULL;
}

}  // namespace tessella::intuition
