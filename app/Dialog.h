#pragma once

#include <string>
#include <vector>

namespace tessella {

class Font;
class Form;

// The standard requesters: a file to open or to save, a directory, a font. Each returns an empty
// string (or a null font) when the user cancels or the requester cannot be made.
class Dialog {
public:
    // patterns: a label at index 0 and the platform pattern at index 1 ("File VELX (#?.velx)",
    // "#?.velx"); with fewer than two entries every file is listed.
    static std::string ShowOpenFile(Form* form, std::vector<std::string> patterns,
                                    std::string title, std::string drawer);
    static std::string ShowOpenFile(Form* form);
    static std::string ShowSaveFile(Form* form, std::vector<std::string> patterns,
                                    std::string title, std::string drawer, std::string file);
    static std::string ShowSaveFile(Form* form, std::vector<std::string> patterns,
                                    std::string title, std::string drawer);
    static std::string ShowSaveFile(Form* form);
    static std::string ShowOpenDirectory(Form* form, std::string title);
    // A new font owned by the caller.
    static Font* ShowFont(Form* form, std::string name, int size);
    static unsigned long ShowColor(Form* /*form*/, unsigned long colour) { return colour; }

private:
    static std::string AskFile(Form* form, const std::vector<std::string>& patterns,
                               const std::string& title, const std::string& drawer,
                               const std::string& file, bool save);
};

}  // namespace tessella
