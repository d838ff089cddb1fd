#include "MsgBox.h"

#include <exec.h>
#include <intuition.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "runtime/Application.h"
#include "runtime/Form.h"
#include "util/StringUtils.h"

namespace tessella {

namespace {

constexpr size_t kTitleWidth = 50;
constexpr size_t kLineWidth = 77;
constexpr size_t kBodyText = 201;
constexpr const char* kClickPrompt = ".. PREMI IL PULSANTE DEL MOUSE";

// One alert line: 16-bit big-endian x, 8-bit y, the text, 0, and whether another line follows.
size_t PutLine(unsigned char* at, int x, int y, const std::string& text, bool more) {
    at[0] = static_cast<unsigned char>((x >> 8) & 0xFF);
    at[1] = static_cast<unsigned char>(x & 0xFF);
    at[2] = static_cast<unsigned char>(y);
    std::memcpy(at + 3, text.data(), text.size());
    at[3 + text.size()] = 0;
    at[4 + text.size()] = more ? 1 : 0;
    return text.size() + 5;
}

// Runs a box to its answer. On the loop's own task the timers go on while it waits (a job's
// progress, its hand-over to the window, the banner), so that what happens meanwhile is seen
// and is done when the box is answered. The owner is set free (`released`) before the box's
// window goes: whoever sees the box gone also sees its owner free.
long RunBox(Window* window, const EasyStruct& es, const IPTR* args,
            const std::function<void()>& released) {
    Window* box = BuildEasyRequestArgs(window, &es, 0, args);
    if (box == nullptr) {
        released();
        return -1;
    }
    const bool servesTimers = Application::ReadsMessagesOf(window);
    LONG answer = -2;
    for (;;) {
        answer = SysReqHandler(box, nullptr, servesTimers ? FALSE : TRUE);
        if (answer != -2) {
            break;
        }
        if (servesTimers) {
            // A request to stop the program wakes the wait too; the box then gives up.
            const uint32_t timers = Application::ElaboraMessaggiTimer();
            Wait((1UL << box->UserPort->mp_SigBit) | timers | SIGBREAKF_CTRL_C);
        }
    }
    released();
    FreeSysRequest(box);
    return answer;
}

}  // namespace

long MsgBox::Ask(Form* form, const std::string& message, const std::string& title,
                 const char* buttons) {
    Window* window = nullptr;
    if (form != nullptr) {
        form->SetCursorWait(true);
        window = form->GetHandle();
    }
    // The message goes in as the argument of "%s": a "%" in a file name shows as itself.
    const EasyStruct es{sizeof(EasyStruct), 0, title.c_str(), "%s", buttons};
    const IPTR args[] = {reinterpret_cast<IPTR>(message.c_str()), EASYARGS_END};
    // While the box waits, the window behind it takes no typing: an empty requester keeps the
    // keys and clicks away from its text boxes (the wait pointer only stops its commands).
    Requester block;
    InitRequester(&block);
    const bool blocked = window != nullptr && Request(&block, window) != FALSE;
    const long answer = RunBox(window, es, args, [&] {
        if (blocked) {
            EndRequest(&block, window);
        }
        if (form != nullptr) {
            form->SetCursorWait(false);
        }
    });
    if (window != nullptr) {
        // Clicks made while the box was up were meant for the box, not the window.
        Application::CancellaBuffer(window);
    }
    return answer;
}

void MsgBox::ShowMessage(Form* form, std::string message, std::string title) {
    Ask(form, message, title, "OK");
}

void MsgBox::ShowMessage(std::string message, std::string title) {
    ShowMessage(nullptr, std::move(message), std::move(title));
}

void MsgBox::ShowError(Form* form, std::string message, std::string title) {
    ShowMessage(form, std::move(message), std::move(title));
}

void MsgBox::ShowError(std::string message, std::string title) {
    ShowError(nullptr, std::move(message), std::move(title));
}

void MsgBox::ShowInformation(Form* form, std::string message, std::string title) {
    ShowError(form, std::move(message), std::move(title));
}

void MsgBox::ShowInformation(std::string message, std::string title) {
    ShowMessage(nullptr, std::move(message), std::move(title));
}

int16_t MsgBox::ShowQuestion(Form* form, std::string message, std::string title) {
    return Ask(form, message, title, "YES | NO") == 1 ? 1 : 0;
}

int16_t MsgBox::ShowQuestion(std::string message, std::string title) {
    return ShowQuestion(nullptr, std::move(message), std::move(title));
}

void MsgBox::ShowAlert(Form* /*form*/, std::string message, std::string title) {
    unsigned char text[kAlertSize + 1] = {};
    CreaTesto(text, std::move(message), std::move(title));
    DisplayAlert(RECOVERY_ALERT, reinterpret_cast<CONST_STRPTR>(text), 80);
}

void MsgBox::ShowAlert(std::string message, std::string title) {
    ShowAlert(nullptr, std::move(message), std::move(title));
}

void MsgBox::CreaTesto(unsigned char* buffer, std::string message, std::string title) {
    const std::string head = StringUtils::PaddingString(title.substr(0, kTitleWidth), ' ',
                                                        static_cast<int>(kTitleWidth));
    const std::string body =
        StringUtils::PaddingString(message.substr(0, kBodyText), ' ', static_cast<int>(kBodyText)) +
        kClickPrompt;
    size_t at = PutLine(buffer, 10, 20, head, true);
    const int rows[3] = {42, 53, 64};
    for (size_t line = 0; line < 3; ++line) {
        at += PutLine(buffer + at, 10, rows[line], body.substr(line * kLineWidth, kLineWidth),
                      line < 2);
    }
}

int16_t MsgBox::MyRequest13(Window* window, char* line1, char* line2, char* positive,
                            char* negative) {
    IntuiText second{255, 255, 0, 6, 20, nullptr, line2, nullptr};
    IntuiText body{255, 255, 0, 6, 4, nullptr, line1, nullptr};
    LONG w = IntuiTextLength(&body);
    LONG h = 80;
    if (line2 != nullptr) {
        body.NextText = &second;
        w = std::max(w, IntuiTextLength(&second));
        h = 100;
    }
    w += 36;
    IntuiText yes{255, 255, 0, 6, 4, nullptr, positive, nullptr};
    IntuiText no{255, 255, 0, 6, 4, nullptr, negative, nullptr};
    return AutoRequest(window, &body, &yes, negative != nullptr ? &no : nullptr, 0, 0,
                       static_cast<ULONG>(w), static_cast<ULONG>(h))
               ? 1
               : 0;
}

}  // namespace tessella
