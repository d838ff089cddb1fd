// The font requester: the faces the platform installs, a size, the three styles, OK and
// Cancel.
#include <cstdlib>
#include <vector>

#include "AslRequest.h"
#include "platform/intuition/SysRequest.h"

namespace tessella::asl {
namespace {

using intuition::RequesterWindow;
using intuition::SysRequest;

enum Id : UWORD { kList = 1, kSize, kBold, kItalic, kUnderlined, kOk, kCancel };

constexpr int kWidth = 300;
constexpr int kMargin = 10;
constexpr int kListHeight = 80;

const char* const kFaces[] = {"topaz.font", "courier.font", "helvetica.font", "times.font"};

class FontRequesterWindow {
public:
    FontRequesterWindow(const AslOptions& options, FontAnswer& answer)
        : options_(options), answer_(answer), window_(options.window) {}

    bool Ask() {
        TextFont* font = window_.Font();
        if (font == nullptr) {
            return false;
        }
        const int line = font->tf_YSize + 6;
        const int height = kMargin + kListHeight + 4 + 2 * (line + 4) + kMargin + line + kMargin;
        if (!window_.Open(!options_.title.empty() ? options_.title.c_str() : "Select font", kWidth,
                          height)) {
            return false;
        }
        Build(line);
        intuition::ShowRequest(&request_);
        bool chosen = false;
        window_.Run([&](const IntuiMessage& m) {
            if (m.Class == IDCMP_RAWKEY && m.Code == RAWKEY_ESCAPE) {
                return false;
            }
            if (m.Class != IDCMP_GADGETUP) {
                return true;
            }
            const UWORD id = static_cast<const Gadget*>(m.IAddress)->GadgetID;
            if (id == kOk) {
                chosen = Read();
                return !chosen;
            }
            return id != kCancel;
        });
        intuition::HideRequest(&request_);
        return chosen;
    }

private:
    void Build(int line) {
        NewList(&nodes_);
        LONG selected = 0;
        for (size_t i = 0; i < std::size(kFaces); ++i) {
            faceNodes_[i].ln_Name = const_cast<char*>(kFaces[i]);
            AddTail(&nodes_, &faceNodes_[i]);
            if (answer_.name == kFaces[i]) {
                selected = static_cast<LONG>(i);
            }
        }
        const TagItem listTags[] = {{GTLV_Labels, reinterpret_cast<IPTR>(&nodes_)},
                                    {GTLV_ShowSelected, 0},
                                    {GTLV_Selected, static_cast<IPTR>(selected)},
                                    {TAG_DONE, 0}};
        list_ = window_.Add(LISTVIEW_KIND,
                            window_.At(kMargin, kMargin, kWidth - 2 * kMargin, kListHeight, kList),
                            listTags);
        int y = kMargin + kListHeight + 4;
        const TagItem sizeTags[] = {
            {GTIN_Number, static_cast<IPTR>(answer_.size)}, {GTIN_MaxChars, 3}, {TAG_DONE, 0}};
        size_ = window_.Add(INTEGER_KIND,
                            window_.At(kMargin + 40, y, 60, line, kSize, "Size", PLACETEXT_LEFT),
                            sizeTags);
        y += line + 4;
        const struct {
            UWORD id;
            const char* label;
            UBYTE bit;
            int x;
        } styles[] = {{kBold, "Bold", FSF_BOLD, kMargin},
                      {kItalic, "Italic", FSF_ITALIC, kMargin + 90},
                      {kUnderlined, "Underlined", FSF_UNDERLINED, kMargin + 180}};
        for (const auto& s : styles) {
            const TagItem tags[] = {{GTCB_Checked, static_cast<IPTR>((answer_.style & s.bit) != 0)},
                                    {TAG_DONE, 0}};
            styleBoxes_.push_back(window_.Add(
                CHECKBOX_KIND,
                window_.At(s.x, y, CHECKBOXWIDTH, CHECKBOXHEIGHT, s.id, s.label, PLACETEXT_RIGHT),
                tags));
            styleBits_.push_back(s.bit);
        }
        y += line + kMargin;
        const std::string ok = !options_.positiveText.empty() ? options_.positiveText : "OK";
        const std::string cancel =
            !options_.negativeText.empty() ? options_.negativeText : "Cancel";
        request_.buttons.push_back(window_.Add(
            BUTTON_KIND, window_.At(kMargin, y, 80, line, kOk, ok.c_str(), PLACETEXT_IN), nullptr));
        request_.buttons.push_back(window_.Add(
            BUTTON_KIND,
            window_.At(kWidth - kMargin - 80, y, 80, line, kCancel, cancel.c_str(), PLACETEXT_IN),
            nullptr));
        request_.labels = {ok, cancel};
        request_.kind = SysRequest::Kind::Font;
        request_.window = window_.Handle();
        request_.list = list_;
        window_.Track(&request_);
        request_.title = options_.title;
        request_.entries.assign(std::begin(kFaces), std::end(kFaces));
    }

    bool Read() {
        Window* w = window_.Handle();
        IPTR selected = 0;
        IPTR size = 0;
        GT_GetGadgetAttrs(list_, w, nullptr, GTLV_Selected, &selected);
        GT_GetGadgetAttrs(size_, w, nullptr, GTIN_Number, &size);
        const auto index = static_cast<LONG>(selected);
        if (index >= 0 && static_cast<size_t>(index) < std::size(kFaces)) {
            answer_.name = kFaces[index];
        }
        const LONG height = static_cast<LONG>(size);
        answer_.size = static_cast<UWORD>(height > 0 && height < 256 ? height : answer_.size);
        answer_.style = FS_NORMAL;
        for (size_t i = 0; i < styleBoxes_.size(); ++i) {
            IPTR checked = 0;
            GT_GetGadgetAttrs(styleBoxes_[i], w, nullptr, GTCB_Checked, &checked);
            if (checked) {
                answer_.style |= styleBits_[i];
            }
        }
        return true;
    }

    const AslOptions& options_;
    FontAnswer& answer_;
    RequesterWindow window_;
    SysRequest request_;
    List nodes_{};
    Node faceNodes_[std::size(kFaces)] = {};
    Gadget* list_ = nullptr;
    Gadget* size_ = nullptr;
    std::vector<Gadget*> styleBoxes_;
    std::vector<UBYTE> styleBits_;
};

}  // namespace

bool AskFont(const AslOptions& options, FontAnswer& answer) {
    FontRequesterWindow requester(options, answer);
    return requester.Ask();
}

}  // namespace tessella::asl
