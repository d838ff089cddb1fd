// Drops files on an X window the way a file manager does (the XDND protocol), which xdotool
// cannot do: enter, position, drop, then hand over the files as a URI list when asked.
//   drop-files WINDOW-ID PATH...
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "SelectionReply.h"

using namespace tessella;

namespace {

// file:// URIs with every byte outside the unreserved set escaped.
std::string UriList(int count, char** paths) {
    std::string list;
    for (int i = 0; i < count; ++i) {
        list += "file://";
        for (const char* p = paths[i]; *p != '\0'; ++p) {
            const auto c = static_cast<unsigned char>(*p);
            if (std::isalnum(c) || std::strchr("/-_.~", c) != nullptr) {
                list += static_cast<char>(c);
            } else {
                char escaped[4];
                std::snprintf(escaped, sizeof(escaped), "%%%02X", c);
                list += escaped;
            }
        }
        list += "\r\n";
    }
    return list;
}

void Send(Display* display, Window target, Atom type, long l0, long l1, long l2, long l3, long l4) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = target;
    e.xclient.message_type = type;
    e.xclient.format = 32;
    e.xclient.data.l[0] = l0;
    e.xclient.data.l[1] = l1;
    e.xclient.data.l[2] = l2;
    e.xclient.data.l[3] = l3;
    e.xclient.data.l[4] = l4;
    XSendEvent(display, target, False, NoEventMask, &e);
    XFlush(display);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: drop-files WINDOW-ID PATH...\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "drop-files: no display\n");
        return 1;
    }
    const Window target = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
    const Window source =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    const auto atom = [&](const char* name) { return XInternAtom(display, name, False); };
    const Atom uriList = atom("text/uri-list");
    const Atom selection = atom("XdndSelection");
    const std::string list = UriList(argc - 2, argv + 2);
    XSetSelectionOwner(display, selection, source, CurrentTime);

    // Over the middle of the window.
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, target, &attributes);
    int x = 0;
    int y = 0;
    Window child;
    XTranslateCoordinates(display, target, DefaultRootWindow(display), attributes.width / 2,
                          attributes.height / 2, &x, &y, &child);
    const long self = static_cast<long>(source);
    Send(display, target, atom("XdndEnter"), self, 5L << 24, static_cast<long>(uriList), 0, 0);
    Send(display, target, atom("XdndPosition"), self, 0, (x << 16) | y, CurrentTime,
         static_cast<long>(atom("XdndActionCopy")));
    bool dropped = false;
    int status = -1;
    while (status < 0) {
        XEvent e;
        XNextEvent(display, &e);
        if (e.type == ClientMessage && e.xclient.message_type == atom("XdndStatus") && !dropped) {
            if ((e.xclient.data.l[1] & 1) == 0) {
                std::fprintf(stderr, "drop-files: the window does not take the drop\n");
                status = 1;
                continue;
            }
            Send(display, target, atom("XdndDrop"), self, 0, CurrentTime, 0, 0);
            dropped = true;
        } else if (e.type == ClientMessage && e.xclient.message_type == atom("XdndFinished")) {
            status = 0;
        } else if (e.type == SelectionRequest) {
            ReplySelection(display, e.xselectionrequest, uriList, 8, list.data(),
                           static_cast<int>(list.size()));
        }
    }
    XDestroyWindow(display, source);
    XCloseDisplay(display);
    return status;
}
