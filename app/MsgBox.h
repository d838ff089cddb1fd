#pragma once

#include <cstdint>
#include <string>

struct Window;

namespace tessella {

class Form;

// Message, error and question boxes and the full-screen alert, through the platform's system
// requesters. A box blocks the calling thread only; while it is up its owner shows the wait
// pointer, so that the owner's handlers leave commands alone.
class MsgBox {
public:
    static constexpr size_t kAlertSize = 301;

    static void ShowMessage(Form* form, std::string message, std::string title);
    static void ShowMessage(std::string message, std::string title);
    static void ShowError(Form* form, std::string message, std::string title);
    static void ShowError(std::string message, std::string title);
    static void ShowInformation(Form* form, std::string message, std::string title);
    static void ShowInformation(std::string message, std::string title);
    // 1 for YES, 0 for NO.
    static int16_t ShowQuestion(Form* form, std::string message, std::string title);
    static int16_t ShowQuestion(std::string message, std::string title);
    static void ShowAlert(Form* form, std::string message, std::string title);
    static void ShowAlert(std::string message, std::string title);
    // The alert's four positioned lines, kAlertSize bytes: the title, then the message cut or
    // padded into three lines that end with the prompt to click.
    static void CreaTesto(unsigned char* buffer, std::string message, std::string title);
    // The old two-button requester: true for the positive button.
    static int16_t MyRequest13(Window* window, char* line1, char* line2, char* positive,
                               char* negative);

private:
    static long Ask(Form* form, const std::string& message, const std::string& title,
                    const char* buttons);
};

}  // namespace tessella
