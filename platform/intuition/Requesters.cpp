// EasyRequestArgs and AutoRequest: requester windows run on the calling task, which alone waits
// for the answer.
#include <dos.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "IntuitionState.h"
#include "SysRequest.h"
#include "platform/graphics/GadgetLook.h"

using namespace tessella::intuition;
namespace look = tessella::graphics::look;

const char easyArgsEndMark = 0;

namespace {

constexpr int kMargin = 10;
constexpr int kGap = 8;
constexpr UWORD kKeyV = 0x34;
constexpr UWORD kKeyB = 0x35;

std::vector<std::string> Split(const std::string& text, char separator, bool trim) {
    std::vector<std::string> parts;
    size_t from = 0;
    for (;;) {
        const size_t at = text.find(separator, from);
        std::string part =
            text.substr(from, at == std::string::npos ? std::string::npos : at - from);
        if (trim) {
            const size_t first = part.find_first_not_of(' ');
            const size_t last = part.find_last_not_of(' ');
            part = first == std::string::npos ? "" : part.substr(first, last - first + 1);
        }
        parts.push_back(part);
        if (at == std::string::npos) {
            return parts;
        }
        from = at + 1;
    }
}

// The directives of an EasyStruct format, each taking the next IPTR of the argument list up to
// its end mark. Without a list, or once it is used up, a directive is shown as it is written; a
// null string shows as nothing.
std::string Format(const char* format, const IPTR* args) {
    std::string out;
    if (format == nullptr) {
        return out;
    }
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        if (p[1] == '%') {
            out += '%';
            ++p;
            continue;
        }
        const char* start = p;
        std::string directive = "%";
        ++p;
        while (*p != '\0' && std::strchr("-0123456789.", *p) != nullptr) {
            directive += *p++;
        }
        bool isLong = false;
        while (*p == 'l') {
            isLong = true;
            ++p;
        }
        const char conversion = *p;
        if (args == nullptr || *args == EASYARGS_END ||
            std::strchr("sdiuxXc", conversion) == nullptr || conversion == '\0') {
            out.append(start, static_cast<size_t>(p - start) + (conversion != '\0' ? 1 : 0));
            if (conversion == '\0') {
                break;
            }
            continue;
        }
        const IPTR value = *args++;
        char buffer[512];
        if (conversion == 's') {
            const char* s = reinterpret_cast<const char*>(value);
            std::snprintf(buffer, sizeof(buffer), (directive + "s").c_str(), s != nullptr ? s : "");
        } else if (conversion == 'c') {
            std::snprintf(buffer, sizeof(buffer), (directive + "c").c_str(),
                          static_cast<int>(value & 0xFF));
        } else if (conversion == 'd' || conversion == 'i') {
            const long v = isLong ? static_cast<long>(static_cast<LONG>(value))
                                  : static_cast<long>(static_cast<WORD>(value));
            std::snprintf(buffer, sizeof(buffer), (directive + "ld").c_str(), v);
        } else {
            const unsigned long v = isLong ? static_cast<unsigned long>(static_cast<ULONG>(value))
                                           : static_cast<unsigned long>(static_cast<UWORD>(value));
            std::snprintf(buffer, sizeof(buffer), (directive + "l" + conversion).c_str(), v);
        }
        out += buffer;
    }
    return out;
}

// An easy requester that is up: its window, what the test interface sees of it, and the
// answer once a button is chosen.
class EasyBox {
public:
    explicit EasyBox(Window* parent) : rw_(parent) {}
    ~EasyBox() {
        if (listed_) {
            HideRequest(&request_);
        }
    }
    EasyBox(const EasyBox&) = delete;
    EasyBox& operator=(const EasyBox&) = delete;

    bool Open(const std::string& title, const std::string& body,
              const std::vector<std::string>& labels, int minWidth, int minHeight);
    Window* Handle() const { return rw_.Handle(); }
    int Buttons() const { return buttons_; }
    // Deals with the messages that have arrived (waiting for one first when asked to) and
    // tells the index of the button chosen from the left, or -1 while there is none yet.
    int Poll(bool wait);

private:
    // Tab and Shift+Tab move the keyboard along the buttons, wrapping around; the one that has
    // it shows a dotted ring.
    void MoveFocus(bool backward);
    void Ring(int button, bool shown);

    RequesterWindow rw_;
    SysRequest request_;
    bool listed_ = false;
    int buttons_ = 0;
    int answer_ = -1;
    int focus_ = -1;  // the button that has the keyboard; none until Tab is pressed
};

void EasyBox::Ring(int button, bool shown) {
    Window* w = rw_.Handle();
    Gadget* g = request_.buttons[static_cast<size_t>(button)];
    if (w == nullptr || g == nullptr) {
        return;
    }
    if (!shown) {
        RefreshGList(g, w, nullptr, 1);
        return;
    }
    RastPort* rp = w->RPort;
    LockLayerRom(rp->Layer);
    SetAPen(rp, look::kTextPen);
    const int left = g->LeftEdge + 3;
    const int top = g->TopEdge + 2;
    const int right = g->LeftEdge + g->Width - 4;
    const int bottom = g->TopEdge + g->Height - 3;
    for (int x = left; x <= right; x += 2) {
        WritePixel(rp, x, top);
        WritePixel(rp, x, bottom);
    }
    for (int y = top + 2; y < bottom; y += 2) {
        WritePixel(rp, left, y);
        WritePixel(rp, right, y);
    }
    UnlockLayerRom(rp->Layer);
}

void EasyBox::MoveFocus(bool backward) {
    if (buttons_ < 2) {
        return;  // one button: Return already presses it
    }
    if (focus_ >= 0) {
        Ring(focus_, false);
    }
    if (focus_ < 0) {
        focus_ = backward ? buttons_ - 1 : 0;
    } else {
        focus_ = (focus_ + (backward ? buttons_ - 1 : 1)) % buttons_;
    }
    Ring(focus_, true);
}

bool EasyBox::Open(const std::string& title, const std::string& body,
                   const std::vector<std::string>& labels, int minWidth, int minHeight) {
    TextFont* font = rw_.Font();
    if (font == nullptr) {
        return false;
    }
    const std::vector<std::string> lines = Split(body, '\n', false);
    const int lineHeight = font->tf_YSize + 1;
    int textWidth = 0;
    for (const std::string& line : lines) {
        textWidth = std::max(textWidth, look::TextWidth(font, line));
    }
    std::vector<int> widths;
    int buttonsWidth = 0;
    for (const std::string& label : labels) {
        widths.push_back(std::max(look::TextWidth(font, label) + 16, 60));
        buttonsWidth += widths.back() + (widths.size() > 1 ? kGap : 0);
    }
    const int buttonHeight = lineHeight + 6;
    const int boxHeight = static_cast<int>(lines.size()) * lineHeight + 12;
    const int width =
        std::max({textWidth + 4 * kMargin, buttonsWidth + 2 * kMargin, 200, minWidth});
    const int height = std::max(kGap + boxHeight + kGap + buttonHeight + kGap, minHeight);
    if (!rw_.Open(title.c_str(), width, height)) {
        return false;
    }
    Window* w = rw_.Handle();
    {
        RastPort* rp = w->RPort;
        LockLayerRom(rp->Layer);
        look::Bevel(rp, w->BorderLeft + kMargin, w->BorderTop + kGap, width - 2 * kMargin,
                    boxHeight, true);
        UnlockLayerRom(rp->Layer);
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const int x = (width - look::TextWidth(font, lines[i])) / 2;
        RequesterText(w, font, x, kGap + 6 + static_cast<int>(i) * lineHeight, lines[i]);
    }
    request_.kind = SysRequest::Kind::Easy;
    request_.window = w;
    request_.title = title;
    request_.text = body;
    request_.labels = labels;
    // One button sits in the middle; more spread from the left edge to the right one.
    const int n = static_cast<int>(labels.size());
    const int spare = width - 2 * kMargin - (buttonsWidth - (n - 1) * kGap);
    const int top = height - kGap - buttonHeight;
    int x = n == 1 ? (width - widths[0]) / 2 : kMargin;
    for (int i = 0; i < n; ++i) {
        const NewGadget ng = rw_.At(x, top, widths[i], buttonHeight, static_cast<UWORD>(i + 1),
                                    labels[i].c_str(), PLACETEXT_IN);
        request_.buttons.push_back(rw_.Add(BUTTON_KIND, ng, nullptr));
        x += widths[i] + (n > 1 ? spare / (n - 1) : 0);
    }
    buttons_ = n;
    rw_.Track(&request_);
    ShowRequest(&request_);
    listed_ = true;
    return true;
}

int EasyBox::Poll(bool wait) {
    const auto handle = [&](const IntuiMessage& m) {
        // Return or Amiga-V take the left button (Return the one Tab moved to), Space the one
        // Tab moved to, Escape or Amiga-B the right one.
        const bool amiga = m.Qualifier & (IEQUALIFIER_LCOMMAND | IEQUALIFIER_RCOMMAND);
        const bool shift = m.Qualifier & (IEQUALIFIER_LSHIFT | IEQUALIFIER_RSHIFT);
        if (m.Class == IDCMP_GADGETUP) {
            answer_ = static_cast<const Gadget*>(m.IAddress)->GadgetID - 1;
        } else if (m.Class == IDCMP_RAWKEY && m.Code == RAWKEY_TAB) {
            MoveFocus(shift);
        } else if (m.Class == IDCMP_RAWKEY && m.Code == RAWKEY_SPACE && focus_ >= 0) {
            answer_ = focus_;
        } else if (m.Class == IDCMP_RAWKEY && m.Code == RAWKEY_RETURN) {
            answer_ = focus_ >= 0 ? focus_ : 0;
        } else if (m.Class == IDCMP_RAWKEY && amiga && m.Code == kKeyV) {
            answer_ = 0;
        } else if (m.Class == IDCMP_RAWKEY &&
                   (m.Code == RAWKEY_ESCAPE || (amiga && m.Code == kKeyB))) {
            answer_ = buttons_ - 1;
        }
        return answer_ < 0;
    };
    if (answer_ < 0 && wait) {
        rw_.WaitInput();
    }
    if (answer_ < 0 && StopRequested() != 0) {
        // The program is asked to stop: nobody waits for this answer; the negative one is safe.
        answer_ = buttons_ - 1;
    }
    if (answer_ < 0) {
        rw_.Drain(handle);
    }
    return answer_;
}

// The answer of a requester: the index of its button from the left.
int Ask(Window* parent, const std::string& title, const std::string& body,
        const std::vector<std::string>& labels, int minWidth, int minHeight) {
    EasyBox box(parent);
    if (!box.Open(title, body, labels, minWidth, minHeight)) {
        return -1;
    }
    int answer = -1;
    while ((answer = box.Poll(true)) < 0) {
    }
    return answer;
}

// EasyRequest's numbering: 1, 2, ... from the left; the rightmost (the negative answer) is 0.
LONG EasyAnswer(int index, size_t buttons) {
    if (index < 0) {
        return -1;
    }
    return index == static_cast<int>(buttons) - 1 ? 0 : index + 1;
}

std::string EasyBody(const EasyStruct* easyStruct, const IPTR* argList) {
    return Format(easyStruct->es_TextFormat, argList);
}

std::vector<std::string> EasyLabels(const EasyStruct* easyStruct) {
    return Split(easyStruct->es_GadgetFormat != nullptr ? easyStruct->es_GadgetFormat : "OK", '|',
                 true);
}

std::string EasyTitle(const EasyStruct* easyStruct) {
    return easyStruct->es_Title != nullptr ? easyStruct->es_Title : "System request";
}

// The requesters built to be run by their caller, by their window.
struct BuiltRequests {
    std::mutex lock;
    std::map<Window*, std::unique_ptr<EasyBox>> boxes;
};

BuiltRequests& Built() {
    static BuiltRequests* built = new BuiltRequests;  // used until the process ends
    return *built;
}

std::string ITextLines(const IntuiText* text) {
    std::string lines;
    for (const IntuiText* t = text; t != nullptr; t = t->NextText) {
        if (!lines.empty()) {
            lines += '\n';
        }
        lines += t->IText != nullptr ? t->IText : "";
    }
    return lines;
}

}  // namespace

LONG EasyRequestArgs(Window* window, const EasyStruct* easyStruct, ULONG* /*idcmpPtr*/,
                     const IPTR* argList) {
    if (easyStruct == nullptr) {
        return -1;
    }
    const std::vector<std::string> labels = EasyLabels(easyStruct);
    return EasyAnswer(
        Ask(window, EasyTitle(easyStruct), EasyBody(easyStruct, argList), labels, 0, 0),
        labels.size());
}

Window* BuildEasyRequestArgs(Window* window, const EasyStruct* easyStruct, ULONG /*idcmp*/,
                             const IPTR* argList) {
    if (easyStruct == nullptr) {
        return nullptr;
    }
    const std::vector<std::string> labels = EasyLabels(easyStruct);
    auto box = std::make_unique<EasyBox>(window);
    if (!box->Open(EasyTitle(easyStruct), EasyBody(easyStruct, argList), labels, 0, 0)) {
        return nullptr;
    }
    Window* handle = box->Handle();
    BuiltRequests& built = Built();
    const std::lock_guard guard(built.lock);
    built.boxes[handle] = std::move(box);
    return handle;
}

LONG SysReqHandler(Window* window, ULONG* /*idcmpPtr*/, BOOL waitInput) {
    EasyBox* box = nullptr;
    {
        BuiltRequests& built = Built();
        const std::lock_guard guard(built.lock);
        const auto it = built.boxes.find(window);
        if (it == built.boxes.end()) {
            return -1;
        }
        box = it->second.get();
    }
    const int index = box->Poll(waitInput != FALSE);
    return index < 0 ? -2 : EasyAnswer(index, static_cast<size_t>(box->Buttons()));
}

void FreeSysRequest(Window* window) {
    std::unique_ptr<EasyBox> box;
    {
        BuiltRequests& built = Built();
        const std::lock_guard guard(built.lock);
        const auto it = built.boxes.find(window);
        if (it == built.boxes.end()) {
            return;
        }
        box = std::move(it->second);
        built.boxes.erase(it);
    }
}

BOOL AutoRequest(Window* window, const IntuiText* body, const IntuiText* posText,
                 const IntuiText* negText, ULONG /*pFlag*/, ULONG /*nFlag*/, ULONG width,
                 ULONG height) {
    std::vector<std::string> labels;
    if (posText != nullptr) {
        labels.push_back(ITextLines(posText));
    }
    if (negText != nullptr) {
        labels.push_back(ITextLines(negText));
    }
    if (labels.empty()) {
        labels.push_back("OK");
    }
    const int index = Ask(window, "System request", ITextLines(body), labels,
                          static_cast<int>(width), static_cast<int>(height));
    return index == 0 && posText != nullptr ? TRUE : FALSE;
}

void InitRequester(Requester* req) {
    if (req != nullptr) {
        std::memset(req, 0, sizeof(Requester));
    }
}

BOOL Request(Requester* req, Window* window) {
    if (req == nullptr || window == nullptr || (req->Flags & REQACTIVE) != 0 ||
        req->ReqGadget != nullptr || req->ReqBorder != nullptr || req->ReqText != nullptr ||
        req->ReqImage != nullptr || (req->Flags & USEREQIMAGE) != 0) {
        return FALSE;
    }
    Intuition& in = Intuition::Get();
    {
        std::lock_guard guard(in.lock);
        auto w = in.Find(window);
        if (w == nullptr) {
            return FALSE;
        }
        req->RWindow = window;
        req->OlderRequest = w->FirstRequest;
        req->Flags |= REQACTIVE;
        w->FirstRequest = req;
        w->ReqCount++;
        // A text field of the window that has the keyboard gives it up at once.
        if (in.activeGadgetWindow == w.get()) {
            in.DeactivateGadget();
        }
        in.Send(w.get(), IDCMP_REQSET, 0);
        in.changed.notify_all();
    }
    FlushRedraws();
    return TRUE;
}

void EndRequest(Requester* req, Window* window) {
    if (req == nullptr || window == nullptr || (req->Flags & REQACTIVE) == 0) {
        return;
    }
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    req->Flags &= ~REQACTIVE;
    auto w = in.Find(window);
    if (w == nullptr) {
        return;
    }
    for (Requester** link = &w->FirstRequest; *link != nullptr; link = &(*link)->OlderRequest) {
        if (*link == req) {
            *link = req->OlderRequest;
            req->OlderRequest = nullptr;
            w->ReqCount = static_cast<WORD>(std::max(0, w->ReqCount - 1));
            in.Send(w.get(), IDCMP_REQCLEAR, 0);
            in.changed.notify_all();
            return;
        }
    }
}
