#include "PngWriter.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace tessella::intuition {

bool WritePng(const Frame& frame, const char* path) {
    if (path == nullptr || frame.width <= 0 || frame.height <= 0) {
        return false;
    }
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    std::vector<png_byte> row(static_cast<size_t>(frame.width) * 3);
    bool ok = png != nullptr && info != nullptr;
    if (ok && setjmp(png_jmpbuf(png)) != 0) {
        ok = false;
    } else if (ok) {
        png_init_io(png, file);
        png_set_IHDR(png, info, frame.width, frame.height, 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < frame.height; ++y) {
            for (int x = 0; x < frame.width; ++x) {
                const ULONG rgb =
                    frame.palette[frame.pens[static_cast<size_t>(y) * frame.width + x]];
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

}  // namespace tessella::intuition
