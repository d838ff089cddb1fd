// The file requester: a list of the drawer's entries (drawers first, marked with a slash,
// then the files that match the pattern), the pattern, drawer and file fields, and OK, Parent
// and Cancel. A drawer in the list opens on a click; a file fills the file field.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "AslRequest.h"
#include "dos.h"
#include "platform/intuition/SysRequest.h"
#include "util/StringUtils.h"

namespace tessella::asl {
namespace {

namespace fs = std::filesystem;
using intuition::RequesterWindow;
using intuition::SysRequest;

enum Id : UWORD { kList = 1, kPattern, kDrawer, kFile, kOk, kParent, kCancel };

constexpr int kWidth = 380;
constexpr int kMargin = 10;
constexpr int kLabelWidth = 60;
constexpr int kListHeight = 150;

struct Entry {
    std::string name;
    bool drawer = false;
};

bool Before(const Entry& a, const Entry& b) {
    if (a.drawer != b.drawer) {
        return a.drawer;
    }
    return strcasecmp(a.name.c_str(), b.name.c_str()) < 0;
}

// The entries of a drawer that the requester lists; an unreadable drawer lists nothing. The
// drawer and the names are the program's Latin-1 text and the disk's names are UTF-8: a name
// Latin-1 cannot spell (or that is not UTF-8 at all) could not be opened again through the
// program, so it is not offered.
std::vector<Entry> Read(const std::string& drawer, const std::string& pattern, bool drawersOnly) {
    std::vector<char> parsed(2 * pattern.size() + 2);
    const bool patternOk =
        ParsePatternNoCase(pattern.c_str(), parsed.data(), static_cast<LONG>(parsed.size())) >= 0;
    std::vector<Entry> entries;
    std::error_code error;
    const fs::path where =
        drawer.empty() ? fs::path(".") : fs::path(tessella::StringUtils::Latin1ToUtf8(drawer));
    for (fs::directory_iterator it(where, error), end; !error && it != end; it.increment(error)) {
        std::error_code kindError;
        const bool isDrawer = it->is_directory(kindError);
        bool spelled = true;
        const std::string name =
            tessella::StringUtils::Utf8ToLatin1(it->path().filename().string(), spelled);
        if (!spelled || (!isDrawer && (drawersOnly || !patternOk ||
                                       !MatchPatternNoCase(parsed.data(), name.c_str())))) {
            continue;
        }
        entries.push_back(Entry{name, isDrawer});
    }
    std::sort(entries.begin(), entries.end(), Before);
    return entries;
}

// The current directory in the program's text.
std::string CurrentDrawer() {
    std::error_code error;
    return tessella::StringUtils::Utf8ToLatin1(fs::current_path(error).string());
}

std::string Join(const std::string& drawer, const std::string& name) {
    if (drawer.empty()) {
        return name;
    }
    return drawer.back() == '/' ? drawer + name : drawer + "/" + name;
}

// The drawer as an absolute path, as the requester shows and answers it: the empty drawer is
// the current directory and a relative one lies inside it. Where the current directory cannot
// be had, or the program's text cannot spell it, the drawer stays as it was.
std::string Absolute(const std::string& drawer) {
    if (!drawer.empty() && drawer.front() == '/') {
        return drawer;
    }
    std::error_code error;
    const fs::path here = fs::current_path(error);
    bool spelled = true;
    const std::string text = tessella::StringUtils::Utf8ToLatin1(here.string(), spelled);
    if (error || !spelled || text.empty()) {
        return drawer;
    }
    if (drawer.empty() || drawer == ".") {
        return text;
    }
    return fs::path(Join(text, drawer)).lexically_normal().string();
}

// The drawer above; above the root is the root, and above a relative drawer with no parent
// part is the current directory.
std::string Parent(const std::string& drawer) {
    std::string text = drawer.empty() ? CurrentDrawer() : drawer;
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();  // "dir/" names the same drawer as "dir"
    }
    const fs::path path(text);
    if (path == path.root_path()) {
        return text;
    }
    if (!path.has_parent_path()) {
        return CurrentDrawer();
    }
    return path.parent_path().string();
}

std::string FieldText(Gadget* field, Window* window) {
    IPTR value = 0;
    if (field == nullptr || GT_GetGadgetAttrs(field, window, nullptr, GTST_String, &value) != 1 ||
        value == 0) {
        return {};
    }
    return reinterpret_cast<const char*>(value);
}

class FileRequesterWindow {
public:
    FileRequesterWindow(const AslOptions& options, FileAnswer& answer)
        : options_(options), answer_(answer), window_(options.window) {}

    ~FileRequesterWindow() { FreeNodes(); }

    bool Ask() {
        TextFont* font = window_.Font();
        if (font == nullptr) {
            return false;
        }
        const int line = font->tf_YSize + 6;
        const int fields = (options_.doPatterns ? 1 : 0) + 1 + (options_.drawersOnly ? 0 : 1);
        const int height = kMargin + kListHeight + fields * (line + 4) + kMargin + line + kMargin;
        const char* title = !options_.title.empty()
                                ? options_.title.c_str()
                                : (options_.saveMode ? "Save file" : "Select file");
        if (!window_.Open(title, kWidth, height)) {
            return false;
        }
        answer_.drawer = Absolute(answer_.drawer);
        Build(line);
        Reload();
        intuition::ShowRequest(&request_);
        bool chosen = false;
        window_.Run([&](const IntuiMessage& m) { return Handle(m, chosen); });
        intuition::HideRequest(&request_);
        return chosen;
    }

private:
    void Build(int line) {
        Window* w = window_.Handle();
        const int fieldLeft = kMargin + kLabelWidth;
        const int fieldWidth = kWidth - fieldLeft - kMargin;
        list_ = Add(LISTVIEW_KIND,
                    window_.At(kMargin, kMargin, kWidth - 2 * kMargin, kListHeight, kList),
                    {{GTLV_ShowSelected, 0}, {TAG_DONE, 0}});
        int y = kMargin + kListHeight + 4;
        auto field = [&](UWORD id, const char* label, const std::string& text) {
            const std::vector<TagItem> tags = {{GTST_String, reinterpret_cast<IPTR>(text.c_str())},
                                               {GTST_MaxChars, 1024},
                                               {TAG_DONE, 0}};
            Gadget* g =
                Add(STRING_KIND,
                    window_.At(fieldLeft, y, fieldWidth, line, id, label, PLACETEXT_LEFT), tags);
            y += line + 4;
            return g;
        };
        if (options_.doPatterns) {
            pattern_ = field(kPattern, "Pattern", answer_.pattern);
        }
        drawer_ = field(kDrawer, "Drawer", answer_.drawer);
        if (!options_.drawersOnly) {
            file_ = field(kFile, "File", answer_.file);
        }
        y += kMargin - 4;
        const int buttonWidth = 80;
        const std::string ok = !options_.positiveText.empty() ? options_.positiveText
                                                              : (options_.saveMode ? "Save" : "OK");
        const std::string cancel =
            !options_.negativeText.empty() ? options_.negativeText : "Cancel";
        const struct {
            UWORD id;
            int x;
            std::string label;
        } buttons[] = {{kOk, kMargin, ok},
                       {kParent, (kWidth - buttonWidth) / 2, "Parent"},
                       {kCancel, kWidth - kMargin - buttonWidth, cancel}};
        for (const auto& b : buttons) {
            Gadget* g =
                Add(BUTTON_KIND,
                    window_.At(b.x, y, buttonWidth, line, b.id, b.label.c_str(), PLACETEXT_IN),
                    {{TAG_DONE, 0}});
            request_.buttons.push_back(g);
            request_.labels.push_back(b.label);
        }
        request_.kind = SysRequest::Kind::File;
        request_.window = w;
        request_.title = w->Title != nullptr ? reinterpret_cast<const char*>(w->Title) : "";
        request_.drawerField = drawer_;
        request_.fileField = file_;
        request_.patternField = pattern_;
        request_.list = list_;
        window_.Track(&request_);
    }

    Gadget* Add(ULONG kind, const NewGadget& ng, const std::vector<TagItem>& tags) {
        return window_.Add(kind, ng, tags.data());
    }

    bool Handle(const IntuiMessage& m, bool& chosen) {
        if (m.Class == IDCMP_RAWKEY && m.Code == RAWKEY_ESCAPE) {
            return false;
        }
        if (m.Class != IDCMP_GADGETUP) {
            return true;
        }
        Window* w = window_.Handle();
        switch (static_cast<const Gadget*>(m.IAddress)->GadgetID) {
            case kList:
                Picked(m.Code);
                return true;
            case kPattern:
                answer_.pattern = FieldText(pattern_, w);
                Reload();
                return true;
            case kDrawer:
                answer_.drawer = DrawerField();
                Reload();
                return true;
            case kFile:
                if (m.Code == 9) {
                    return true;  // Tab only moves on
                }
                [[fallthrough]];
            case kOk:
                answer_.drawer = DrawerField();
                answer_.file = options_.drawersOnly ? "" : FieldText(file_, w);
                if (pattern_ != nullptr) {
                    answer_.pattern = FieldText(pattern_, w);
                }
                chosen = true;
                return false;
            case kParent:
                answer_.drawer = Parent(DrawerField());
                SetField(drawer_, answer_.drawer);
                Reload();
                return true;
            case kCancel:
                return false;
            default:
                return true;
        }
    }

    void Picked(UWORD index) {
        if (index >= entries_.size()) {
            return;
        }
        const Entry& e = entries_[index];
        if (e.drawer) {
            answer_.drawer = Join(DrawerField(), e.name);
            SetField(drawer_, answer_.drawer);
            Reload();
        } else if (file_ != nullptr) {
            answer_.file = e.name;
            SetField(file_, e.name);
            Publish();
        }
    }

    // The drawer typed in its field, made absolute; the field shows what it became.
    std::string DrawerField() {
        const std::string typed = FieldText(drawer_, window_.Handle());
        const std::string drawer = Absolute(typed);
        if (drawer != typed) {
            SetField(drawer_, drawer);
        }
        return drawer;
    }

    void SetField(Gadget* field, const std::string& text) {
        const TagItem tags[] = {{GTST_String, reinterpret_cast<IPTR>(text.c_str())}, {TAG_DONE, 0}};
        GT_SetGadgetAttrsA(field, window_.Handle(), nullptr, tags);
    }

    void Reload() {
        entries_ = Read(answer_.drawer, answer_.pattern, options_.drawersOnly);
        const TagItem detach[] = {{GTLV_Labels, ~IPTR{0}}, {TAG_DONE, 0}};
        GT_SetGadgetAttrsA(list_, window_.Handle(), nullptr, detach);
        FreeNodes();
        NewList(&nodes_);
        for (const Entry& e : entries_) {
            names_.push_back(e.drawer ? e.name + "/" : e.name);
        }
        for (std::string& name : names_) {
            auto* node = new Node{};
            node->ln_Name = name.data();
            AddTail(&nodes_, node);
        }
        const TagItem attach[] = {{GTLV_Labels, reinterpret_cast<IPTR>(&nodes_)},
                                  {GTLV_Selected, ~IPTR{0}},
                                  {GTLV_Top, 0},
                                  {TAG_DONE, 0}};
        GT_SetGadgetAttrsA(list_, window_.Handle(), nullptr, attach);
        Publish();
    }

    void Publish() {
        std::vector<std::string> shown(names_.begin(), names_.end());
        intuition::UpdateRequest(&request_, answer_.drawer, answer_.file, shown);
    }

    void FreeNodes() {
        if (nodes_.lh_Head != nullptr) {
            while (Node* n = RemHead(&nodes_)) {
                delete n;
            }
        }
        names_.clear();
    }

    const AslOptions& options_;
    FileAnswer& answer_;
    RequesterWindow window_;
    SysRequest request_;
    Gadget* list_ = nullptr;
    Gadget* pattern_ = nullptr;
    Gadget* drawer_ = nullptr;
    Gadget* file_ = nullptr;
    std::vector<Entry> entries_;
    std::vector<std::string> names_;  // the names the list shows; they outlive their nodes
    List nodes_{};
};

}  // namespace

bool AskFile(const AslOptions& options, FileAnswer& answer) {
    FileRequesterWindow requester(options, answer);
    return requester.Ask();
}

}  // namespace tessella::asl
