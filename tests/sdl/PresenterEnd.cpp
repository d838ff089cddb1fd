// Opens and closes a screen on the desktop several times while the presenter is busy drawing,
// and checks that closing the last screen ends the desktop window and its thread before
// CloseScreen returns: a presenter left drawing while the program exits runs inside display
// libraries that are being torn down.
//   presenter-end   (needs DISPLAY)
#include <SDL.h>

#include <cstdio>

#include "dos.h"
#include "graphics.h"
#include "intuition.h"

int main() {
    for (int round = 0; round < 4; ++round) {
        Screen* screen = OpenScreenTags(nullptr, SA_Width, 320, SA_Height, 200, SA_Depth, 8,
                                        SA_Title, "presenter end", SA_Type, CUSTOMSCREEN);
        if (screen == nullptr) {
            std::fprintf(stderr, "round %d: no screen\n", round);
            return 1;
        }
        if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
            std::fprintf(stderr, "round %d: no desktop window\n", round);
            return 1;
        }
        Window* window =
            OpenWindowTags(nullptr, WA_CustomScreen, screen, WA_Left, 10, WA_Top, 20, WA_Width, 200,
                           WA_Height, 120, WA_Title, "busy", WA_IDCMP, 0);
        if (window == nullptr) {
            std::fprintf(stderr, "round %d: no window\n", round);
            return 1;
        }
        // Keep the presenter composing and showing frames right up to the close (a program of
        // its own on a real display: real time).
        for (int frame = 0; frame < 30; ++frame) {
            SetAPen(window->RPort, static_cast<ULONG>(frame % 8));
            RectFill(window->RPort, 10, 15, 150, 100);
            Delay(frame % 3);
        }
        CloseWindow(window);
        CloseScreen(screen);
        if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
            std::fprintf(stderr, "round %d: the desktop window outlived the last screen\n", round);
            return 1;
        }
    }
    std::printf("presenter ended with each last screen\n");
    return 0;
}
