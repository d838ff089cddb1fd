// asl.library: allocation of requesters and the call that shows them.
#include <map>
#include <memory>
#include <mutex>

#include "AslRequest.h"
#include "platform/intuition/SysRequest.h"

using namespace tessella::asl;

namespace tessella::asl {

void AslOptions::Apply(const TagItem* tags) {
    auto text = [&](Tag tag, std::string& field) {
        if (const TagItem* t = FindTagItem(tag, tags)) {
            field = t->ti_Data != 0 ? reinterpret_cast<const char*>(t->ti_Data) : "";
        }
    };
    auto flag = [&](Tag tag, bool& field) {
        if (const TagItem* t = FindTagItem(tag, tags)) {
            field = t->ti_Data != 0;
        }
    };
    window =
        reinterpret_cast<Window*>(GetTagData(ASLFR_Window, reinterpret_cast<IPTR>(window), tags));
    screen =
        reinterpret_cast<Screen*>(GetTagData(ASLFR_Screen, reinterpret_cast<IPTR>(screen), tags));
    text(ASLFR_TitleText, title);
    text(ASLFR_PositiveText, positiveText);
    text(ASLFR_NegativeText, negativeText);
    flag(ASLFR_SleepWindow, sleepWindow);
    text(ASLFR_InitialDrawer, drawer);
    text(ASLFR_InitialFile, file);
    flag(ASLFR_DoPatterns, doPatterns);
    flag(ASLFR_DoSaveMode, saveMode);
    flag(ASLFR_DrawersOnly, drawersOnly);
    fontSize = static_cast<UWORD>(GetTagData(ASLFO_InitialSize, fontSize, tags));
    fontStyle = static_cast<UBYTE>(GetTagData(ASLFO_InitialStyle, fontStyle, tags));
    // The font requester's initial name shares its tag with the file requester's pattern.
    if (const TagItem* t = FindTagItem(ASLFR_InitialPattern, tags)) {
        const char* value = t->ti_Data != 0 ? reinterpret_cast<const char*>(t->ti_Data) : "";
        pattern = value[0] != '\0' ? value : "#?";
        fontName = value[0] != '\0' ? value : "topaz.font";
    }
}

}  // namespace tessella::asl

namespace {

struct AslRequestData {
    virtual ~AslRequestData() = default;
    ULONG type = ASL_FileRequest;
    AslOptions options;
};

struct FileRequest : AslRequestData {
    FileRequester fr{};
    FileAnswer answer;
};

struct FontRequest : AslRequestData {
    FontRequester fo{};
    FontAnswer answer;
};

// The structure handed out is a member of its request; this finds the request again.
std::mutex registryLock;
std::map<APTR, std::unique_ptr<AslRequestData>>& Registry() {
    static auto* registry = new std::map<APTR, std::unique_ptr<AslRequestData>>;
    return *registry;
}

AslRequestData* Find(APTR requester) {
    std::lock_guard guard(registryLock);
    auto it = Registry().find(requester);
    return it != Registry().end() ? it->second.get() : nullptr;
}

void Publish(FileRequest& r) {
    r.fr.fr_Drawer = r.answer.drawer.data();
    r.fr.fr_File = r.answer.file.data();
    r.fr.fr_Pattern = r.answer.pattern.data();
}

void Publish(FontRequest& r) {
    r.fo.fo_Attr.ta_Name = r.answer.name.c_str();
    r.fo.fo_Attr.ta_YSize = r.answer.size;
    r.fo.fo_Attr.ta_Style = r.answer.style;
    // topaz lives in ROM on the machines this API comes from; every other face is on disk.
    r.fo.fo_Attr.ta_Flags = r.answer.name == "topaz.font" ? FPF_ROMFONT : FPF_DISKFONT;
}

}  // namespace

APTR AllocAslRequest(ULONG reqType, const TagItem* tagList) {
    std::unique_ptr<AslRequestData> request;
    APTR handle = nullptr;
    if (reqType == ASL_FileRequest) {
        auto r = std::make_unique<FileRequest>();
        r->options.Apply(tagList);
        r->answer = FileAnswer{r->options.drawer, r->options.file, r->options.pattern};
        Publish(*r);
        handle = &r->fr;
        request = std::move(r);
    } else if (reqType == ASL_FontRequest) {
        auto r = std::make_unique<FontRequest>();
        r->options.Apply(tagList);
        r->answer = FontAnswer{r->options.fontName, r->options.fontSize, r->options.fontStyle};
        Publish(*r);
        handle = &r->fo;
        request = std::move(r);
    } else {
        return nullptr;
    }
    request->type = reqType;
    std::lock_guard guard(registryLock);
    Registry()[handle] = std::move(request);
    return handle;
}

BOOL AslRequest(APTR requester, const TagItem* tagList) {
    AslRequestData* request = Find(requester);
    if (request == nullptr) {
        return FALSE;
    }
    AslOptions options = request->options;
    options.Apply(tagList);
    if (options.sleepWindow && options.window != nullptr) {
        tessella::intuition::SleepWindow(options.window, true);
    }
    bool chosen;
    if (request->type == ASL_FileRequest) {
        auto* r = static_cast<FileRequest*>(request);
        FileAnswer answer{options.drawer, options.file, options.pattern};
        chosen = AskFile(options, answer);
        if (chosen) {
            r->answer = answer;
            Publish(*r);
        }
    } else {
        auto* r = static_cast<FontRequest*>(request);
        FontAnswer answer{options.fontName, options.fontSize, options.fontStyle};
        chosen = AskFont(options, answer);
        if (chosen) {
            r->answer = answer;
            Publish(*r);
        }
    }
    if (options.sleepWindow && options.window != nullptr) {
        tessella::intuition::SleepWindow(options.window, false);
    }
    return chosen ? TRUE : FALSE;
}

void FreeAslRequest(APTR requester) {
    std::lock_guard guard(registryLock);
    Registry().erase(requester);
}
