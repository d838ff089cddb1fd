#pragma once

#include <cstdint>

#include "tagPOINT.h"

struct Screen;

namespace tessella {

// The program's own 800 x 600 screen, 256 colours, on which the main window is a backdrop.
class OrvScreen {
public:
    explicit OrvScreen(const char* title);
    ~OrvScreen();

    OrvScreen(const OrvScreen&) = delete;
    OrvScreen& operator=(const OrvScreen&) = delete;

    void createHardwareScreen(int w, int h);
    Screen* GetHandle() const { return handle; }
    int32_t GetWidth() const { return width; }
    int32_t GetHeight() const { return height; }
    uint16_t GetMaxDepth() const { return depth; }
    int32_t IsError() const { return error; }
    // False when the platform refused (windows still open on the screen).
    bool Close();
    // Slides the screen down out of sight, one pixel a step: the goodbye at shutdown.
    void Scrolling();

    static int Width();
    static int Height();
    static tagPOINT GetMouseXY();
    static int ScrollWidth() { return 0; }
    static int ScrollHeight() { return 0; }

private:
    Screen* handle = nullptr;
    const char* title = nullptr;
    int32_t error = 0;
    int32_t width = 800;
    int32_t height = 600;
    uint16_t depth = 8;
};

}  // namespace tessella
