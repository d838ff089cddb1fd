// Holds the X clipboard with a text, as a desktop program does after a copy, until it is
// killed: it answers every request for the text in UTF-8.
//   clipboard-owner TEXT
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>

#include "SelectionReply.h"

using namespace tessella;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: clipboard-owner TEXT\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "clipboard-owner: no display\n");
        return 1;
    }
    const Window owner =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const Atom targets = XInternAtom(display, "TARGETS", False);
    XSetSelectionOwner(display, clipboard, owner, CurrentTime);
    if (XGetSelectionOwner(display, clipboard) != owner) {
        std::fprintf(stderr, "clipboard-owner: could not take the clipboard\n");
        return 1;
    }
    std::printf("READY\n");
    std::fflush(stdout);
    for (;;) {
        XEvent e;
        XNextEvent(display, &e);
        if (e.type != SelectionRequest) {
            continue;
        }
        const XSelectionRequestEvent& request = e.xselectionrequest;
        if (request.target == targets) {
            const Atom offered[] = {targets, utf8, XA_STRING};
            ReplySelection(display, request, XA_ATOM, 32, offered, 3);
        } else if (request.target == utf8 || request.target == XA_STRING) {
            ReplySelection(display, request, request.target, 8, argv[1],
                           static_cast<int>(std::strlen(argv[1])));
        } else {
            ReplySelection(display, request, None, 8, nullptr, 0);
        }
    }
}
