#include "Dialog.h"

#include <asl.h>

#include "engine/FileUtils.h"
#include "runtime/Application.h"
#include "runtime/Font.h"
#include "runtime/Form.h"

namespace tessella {

namespace {

constexpr size_t kPatternMax = 24;
constexpr size_t kTitleMax = 124;
constexpr size_t kDrawerMax = 255;
constexpr size_t kFontNameMax = 254;
constexpr const char* kAllocFailed = "AllocAslRequestTags ha restituito NULL";

Window* WindowOf(Form* form) {
    return form != nullptr ? form->GetHandle() : nullptr;
}

std::string Pattern(const std::vector<std::string>& patterns) {
    // A cut pattern would filter by something nobody asked for: too long lists everything.
    if (patterns.size() < 2 || patterns[1].size() > kPatternMax) {
        return "#?";
    }
    return patterns[1];
}

// A cut drawer would name another folder: too long starts where the requester starts anyway.
std::string Drawer(const std::string& drawer) {
    return drawer.size() > kDrawerMax ? std::string() : drawer;
}

std::string Cut(const std::string& text, size_t max) {
    return text.substr(0, max);
}

}  // namespace

std::string Dialog::AskFile(Form* form, const std::vector<std::string>& patterns,
                            const std::string& title, const std::string& drawer,
                            const std::string& file, bool save) {
    auto* request = static_cast<FileRequester*>(AllocAslRequest(ASL_FileRequest, nullptr));
    if (request == nullptr) {
        Application::Log(kAllocFailed);
        return std::string();
    }
    const std::string pattern = Pattern(patterns);
    const std::string shortTitle = Cut(title, kTitleMax);
    const std::string startDrawer = Drawer(drawer);
    std::vector<TagItem> tags = {
        {ASLFR_Window, reinterpret_cast<IPTR>(WindowOf(form))},
        {ASLFR_TitleText, reinterpret_cast<IPTR>(shortTitle.c_str())},
        {ASLFR_InitialPattern, reinterpret_cast<IPTR>(pattern.c_str())},
        {ASLFR_SleepWindow, TRUE},
        {ASLFR_DoSaveMode, static_cast<IPTR>(save ? TRUE : FALSE)},
        {ASLFR_InitialDrawer, reinterpret_cast<IPTR>(startDrawer.c_str())},
        {ASLFR_DoPatterns, TRUE},
    };
    if (!file.empty()) {
        tags.push_back({ASLFR_InitialFile, reinterpret_cast<IPTR>(file.c_str())});
    }
    tags.push_back({TAG_DONE, 0});
    std::string result;
    if (AslRequest(request, tags.data())) {
        const std::string chosenDrawer = request->fr_Drawer != nullptr ? request->fr_Drawer : "";
        const std::string chosenFile = request->fr_File != nullptr ? request->fr_File : "";
        result = chosenDrawer.empty() ? chosenFile
                                      : FileUtils::AddDirSeparator(chosenDrawer) + chosenFile;
    }
    FreeAslRequest(request);
    return result;
}

std::string Dialog::ShowOpenFile(Form* form, std::vector<std::string> patterns, std::string title,
                                 std::string drawer) {
    return AskFile(form, patterns, title, drawer, std::string(), false);
}

std::string Dialog::ShowOpenFile(Form* form) {
    return ShowOpenFile(form, {"All files(#?)", "#?"}, std::string(), std::string());
}

std::string Dialog::ShowSaveFile(Form* form, std::vector<std::string> patterns, std::string title,
                                 std::string drawer, std::string file) {
    return AskFile(form, patterns, title, drawer, file, true);
}

std::string Dialog::ShowSaveFile(Form* form, std::vector<std::string> patterns, std::string title,
                                 std::string drawer) {
    return ShowSaveFile(form, std::move(patterns), std::move(title), std::move(drawer),
                        std::string());
}

std::string Dialog::ShowSaveFile(Form* form) {
    return ShowSaveFile(form, {"All files(#?)", "#?"}, std::string(), std::string());
}

std::string Dialog::ShowOpenDirectory(Form* form, std::string title) {
    auto* request = static_cast<FileRequester*>(AllocAslRequest(ASL_FileRequest, nullptr));
    if (request == nullptr) {
        Application::Log(kAllocFailed);
        return std::string();
    }
    const std::string shortTitle = Cut(title, kTitleMax);
    const TagItem tags[] = {
        {ASLFR_Window, reinterpret_cast<IPTR>(WindowOf(form))},
        {ASLFR_TitleText, reinterpret_cast<IPTR>(shortTitle.c_str())},
        {ASLFR_SleepWindow, TRUE},
        {ASLFR_DoSaveMode, TRUE},
        {ASLFR_DrawersOnly, TRUE},
        {TAG_DONE, 0},
    };
    std::string result;
    if (AslRequest(request, tags) && request->fr_Drawer != nullptr) {
        result = request->fr_Drawer;
    }
    FreeAslRequest(request);
    return result;
}

Font* Dialog::ShowFont(Form* form, std::string name, int /*size*/) {
    auto* request = static_cast<FontRequester*>(AllocAslRequest(ASL_FontRequest, nullptr));
    if (request == nullptr) {
        Application::Log(kAllocFailed);
        return nullptr;
    }
    const std::string initial = name.empty() ? "topaz.font" : Cut(name, kFontNameMax);
    const TagItem tags[] = {
        {ASLFO_Window, reinterpret_cast<IPTR>(WindowOf(form))},
        {ASLFO_InitialName, reinterpret_cast<IPTR>(initial.c_str())},
        {ASLFO_SleepWindow, TRUE},
        {TAG_DONE, 0},
    };
    Font* chosen = nullptr;
    if (AslRequest(request, tags)) {
        const TextAttr& attr = request->fo_Attr;
        chosen = new Font(attr.ta_Name != nullptr ? attr.ta_Name : "topaz.font", attr.ta_YSize);
        chosen->SetRomFont((attr.ta_Flags & FPF_ROMFONT) != 0 ? 1 : 0);
        chosen->SetItalic((attr.ta_Style & FSF_ITALIC) != 0 ? 1 : 0);
        chosen->SetBold((attr.ta_Style & FSF_BOLD) != 0 ? 1 : 0);
        chosen->SetUnderline((attr.ta_Style & FSF_UNDERLINED) != 0 ? 1 : 0);
    }
    FreeAslRequest(request);
    return chosen;
}

}  // namespace tessella
