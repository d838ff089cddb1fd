#pragma once
// The requesters asl.library hands out: the public structure the program reads, the options
// gathered from the tags of AllocAslRequest and AslRequest, and the window that asks.

#include <string>

#include "asl.h"

namespace tessella::asl {

// What the tags ask for; strings are copied, so the caller's buffers may go.
struct AslOptions {
    Window* window = nullptr;
    Screen* screen = nullptr;
    std::string title;
    std::string positiveText;
    std::string negativeText;
    bool sleepWindow = false;
    // File requester.
    std::string drawer;
    std::string file;
    std::string pattern = "#?";
    bool doPatterns = false;
    bool saveMode = false;
    bool drawersOnly = false;
    // Font requester.
    std::string fontName = "topaz.font";
    UWORD fontSize = 8;
    UBYTE fontStyle = FS_NORMAL;

    void Apply(const TagItem* tags);
};

struct FileAnswer {
    std::string drawer;
    std::string file;
    std::string pattern;
};

struct FontAnswer {
    std::string name;
    UWORD size = 8;
    UBYTE style = FS_NORMAL;
};

// Run the requester on the calling task; false on Cancel or when it cannot be shown.
bool AskFile(const AslOptions& options, FileAnswer& answer);
bool AskFont(const AslOptions& options, FontAnswer& answer);

}  // namespace tessella::asl
