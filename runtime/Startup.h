#pragma once

#include <string>

struct Library;

namespace tessella {

class OrvScreen;

// Brings the platform up for the program and takes it down again, in a fixed order: the log,
// the libraries, the program's screen with its palette; after the event loop, the screen slides
// away and everything is released in reverse.
class Startup {
public:
    static constexpr const char* kProgramName = "Tessella Cross Edition";
    static constexpr const char* kCopyright =
        "Copyright (C) 2026 Tessella Cross Edition developers";

    // The program's name, one blank, the copyright line: the screen's and the main window's title.
    static std::string WindowTitle();

    // The folder private to the user that holds the program's state (its log):
    // $XDG_STATE_HOME/tessella, or ~/.local/state/tessella. Created with access for the user
    // alone when missing; empty when it cannot be made.
    static std::string StateFolder();
    // Points the log at log.txt in the state folder and starts it empty, so that it holds this
    // run's lines only. Nothing outside that folder is ever removed.
    static void PrepareLog();

    static void OpenLibraries();
    static void CloseLibraries();

    // Loads the program's 256 colours into the screen and waits for them to be in place.
    static void LoadPalette(OrvScreen* screen);
    // The colour of a pen as 0xRRGGBB.
    static unsigned long PenColour(int pen);

    // Libraries, log, screen and palette; the screen belongs to the caller, who hands it back to
    // Down after the loop.
    static OrvScreen* Up(const std::string& title);
    // Slides the screen away, frees the shared gadget look, closes the screen and the libraries.
    // The main window must be gone before the screen closes.
    static void SlideAway(OrvScreen* screen);
    static void Down(OrvScreen* screen);

private:
    static Library* bases[7];
};

}  // namespace tessella
