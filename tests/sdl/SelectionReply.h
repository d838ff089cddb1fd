#pragma once
// The answer to a request for a selection the helper owns: the data stored in the property the
// requester named, and the notice that it is there (or, with no data, that there is none).

#include <X11/Xlib.h>

namespace tessella {

inline void ReplySelection(Display* display, const XSelectionRequestEvent& request, Atom type,
                           int format, const void* data, int count) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = request.display;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = None;
    if (data != nullptr) {
        const Atom property = request.property != None ? request.property : request.target;
        XChangeProperty(display, request.requestor, property, type, format, PropModeReplace,
                        static_cast<const unsigned char*>(data), count);
        reply.property = property;
    }
    XSendEvent(display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XFlush(display);
}

}  // namespace tessella
