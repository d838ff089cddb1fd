#include "PngWriter.h"

#include <png.h>

#include <cstdio>
#include <vector>

#include "DevicePicture.h"

namespace tessella::intuition {
namespace {

// Writes colours 0xRRGGBB, row by row, as an 8-bit RGB PNG.
bool WriteRgb(const std::vector<ULONG>& colours, int width, int height, const char* path) {
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    std::vector<png_byte> row(static_cast<size_t>(width) * 3);
    bool ok = png != nullptr && info != nullptr;
    if (ok && setjmp(png_jmpbuf(png)) != 0) {
        ok = false;
    } else if (ok) {
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const ULONG rgb = colours[static_cast<size_t>(y) * width + x];
                row[3 * x] = static_cast<png_byte>(rgb >> 16);
                row[3 * x + 1] = static_cast<png_byte>(rgb >> 8);
                row[3 * x + 2] = static_cast<png_byte>(rgb);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(png != nullptr ? &png : nullptr, info != nullptr ? &info : nullptr);
    return std::fclose(file) == 0 && ok;
}

}  // namespace

bool WritePng(const Frame& frame, const char* path, double factor) {
    if (path == nullptr || frame.width <= 0 || frame.height <= 0 || !(factor >= 1.0) ||
        factor > 8.0) {
        return false;
    }
    std::vector<ULONG> colours;
    int width = frame.width;
    int height = frame.height;
    if (factor == 1.0) {
        colours.resize(frame.pens.size());
        for (size_t i = 0; i < colours.size(); ++i) {
            colours[i] = frame.palette[frame.pens[i]];
        }
    } else {
        DeviceSizeFor(frame, factor, width, height);
        colours.resize(static_cast<size_t>(width) * height);
        // A snapshot shows the screen itself, not where it has slid to.
        Frame still = frame;
        still.topEdge = 0;
        PaintDevice(still, width, height, 0, 0, 0, width, height, colours.data(), width);
    }
    return WriteRgb(colours, width, height, path);
}

}  // namespace tessella::intuition
