#include "AppWindows.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include "platform/clock/Clock.h"
#include "platform/intuition/IntuitionState.h"
#include "util/StringUtils.h"
#include "workbench.h"

struct AppWindow {
    ULONG id = 0;
    IPTR userData = 0;
    Window* window = nullptr;
    MsgPort* port = nullptr;
};

namespace tessella::workbench {
namespace {

// A message and the names it carries, freed when the program replies it.
struct DropMessage {
    AppMessage message{};
    std::vector<std::string> names;
    std::vector<WBArg> args;
};

class Registry {
public:
    static Registry& Get() {
        static auto* registry = new Registry;  // replies may come back while the process ends
        return *registry;
    }

    std::mutex lock;
    std::vector<std::unique_ptr<AppWindow>> windows;
    MsgPort replyPort{};

private:
    Registry() {
        handler_.is_Data = this;
        handler_.is_Code = &Reclaim;
        replyPort.mp_Node.ln_Type = NT_MSGPORT;
        replyPort.mp_Flags = PA_SOFTINT;
        replyPort.mp_SigTask = &handler_;
        NewList(&replyPort.mp_MsgList);
    }

    static void Reclaim(APTR data) {
        auto* self = static_cast<Registry*>(data);
        while (Message* m = GetMsg(&self->replyPort)) {
            delete reinterpret_cast<DropMessage*>(m);
        }
    }

    Interrupt handler_{};
};

// The AppWindow under the pointer, or else the one of the program's earliest window on the
// screen shown. The caller holds both locks.
AppWindow* Target(intuition::Intuition& in, Registry& registry) {
    intuition::ScreenImpl* screen = in.FrontScreen();
    if (screen == nullptr) {
        return nullptr;
    }
    const auto registered = [&](const Window* w) -> AppWindow* {
        for (const auto& a : registry.windows) {
            if (a->window == w) {
                return a.get();
            }
        }
        return nullptr;
    };
    for (auto it = screen->windows.rbegin(); it != screen->windows.rend(); ++it) {
        const Window* w = it->get();
        if (in.pointerX >= w->LeftEdge && in.pointerY >= w->TopEdge &&
            in.pointerX < w->LeftEdge + w->Width && in.pointerY < w->TopEdge + w->Height) {
            if (AppWindow* a = registered(w)) {
                return a;
            }
            break;
        }
    }
    AppWindow* first = nullptr;
    unsigned long opened = 0;
    for (const auto& w : screen->windows) {
        AppWindow* a = registered(w.get());
        if (a != nullptr && (first == nullptr || w->opened < opened)) {
            first = a;
            opened = w->opened;
        }
    }
    return first;
}

}  // namespace

bool DeliverDrop(const std::vector<std::string>& paths) {
    auto drop = std::make_unique<DropMessage>();
    bool unspellable = false;
    for (const std::string& path : paths) {
        bool complete = true;
        std::string name = tessella::StringUtils::Utf8ToLatin1(path, complete);
        if (!complete || name.empty()) {
            unspellable = true;
            continue;
        }
        drop->names.push_back(std::move(name));
    }
    if (unspellable) {
        DisplayBeep(nullptr);
    }
    if (drop->names.empty()) {
        return false;
    }
    for (std::string& name : drop->names) {
        drop->args.push_back(WBArg{nullptr, name.data()});
    }
    intuition::Intuition& in = intuition::Intuition::Get();
    Registry& registry = Registry::Get();
    std::lock_guard inGuard(in.lock);
    std::lock_guard guard(registry.lock);
    AppWindow* target = Target(in, registry);
    if (target == nullptr) {
        return false;
    }
    AppMessage& m = drop->message;
    m.am_Message.mn_ReplyPort = &registry.replyPort;
    m.am_Message.mn_Length = sizeof(AppMessage);
    m.am_Type = AMTYPE_APPWINDOW;
    m.am_UserData = target->userData;
    m.am_ID = target->id;
    m.am_NumArgs = static_cast<LONG>(drop->args.size());
    m.am_ArgList = drop->args.data();
    m.am_Version = AM_VERSION;
    m.am_MouseX = static_cast<WORD>(in.pointerX - target->window->LeftEdge);
    m.am_MouseY = static_cast<WORD>(in.pointerY - target->window->TopEdge);
    const timeval now = tessella::clock::WallTime();
    m.am_Seconds = static_cast<ULONG>(now.tv_sec);
    m.am_Micros = static_cast<ULONG>(now.tv_usec);
    PutMsg(target->port, &drop.release()->message.am_Message);
    return true;
}

}  // namespace tessella::workbench

using tessella::workbench::Registry;

AppWindow* AddAppWindowA(ULONG id, IPTR userData, Window* window, MsgPort* port,
                         const TagItem* /*tags*/) {
    if (window == nullptr || port == nullptr) {
        return nullptr;
    }
    Registry& registry = Registry::Get();
    std::lock_guard guard(registry.lock);
    registry.windows.push_back(std::make_unique<AppWindow>(AppWindow{id, userData, window, port}));
    return registry.windows.back().get();
}

BOOL RemoveAppWindow(AppWindow* appWindow) {
    Registry& registry = Registry::Get();
    std::lock_guard guard(registry.lock);
    auto& list = registry.windows;
    const auto it =
        std::find_if(list.begin(), list.end(), [&](const auto& a) { return a.get() == appWindow; });
    if (it == list.end()) {
        return FALSE;
    }
    list.erase(it);
    return TRUE;
}
