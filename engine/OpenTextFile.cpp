#include "OpenTextFile.h"

#include <cstdio>
#include <cstring>

namespace tessella {

namespace {

// A line of more than 255 bytes ends the list.
constexpr size_t kMaxLine = 255;

}  // namespace

bool OpenTextFile::WriteLines(const std::vector<std::string>& lines, const char* mode) {
    errore = 0;
    noFound = 0;
    std::FILE* f = std::fopen(path.c_str(), mode);
    if (f == nullptr) {
        errore = 1;
        noFound = 1;
        return false;
    }
    for (const std::string& line : lines) {
        if (std::fwrite(line.data(), 1, line.size(), f) != line.size() ||
            std::fputc('\n', f) == EOF || std::fflush(f) != 0) {
            errore = 1;
            break;
        }
    }
    if (std::fclose(f) != 0) {
        errore = 1;
    }
    return errore == 0;
}

bool OpenTextFile::SetContenuto(std::vector<std::string> lines) {
    return WriteLines(lines, "wb");
}

bool OpenTextFile::AppendContenuto(std::vector<std::string> lines) {
    return WriteLines(lines, "ab");
}

std::vector<std::string> OpenTextFile::GetContenuto() {
    errore = 0;
    noFound = 0;
    std::vector<std::string> lines;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        errore = 1;
        noFound = 1;
        return lines;
    }
    char buffer[kMaxLine + 2];  // the line, its line feed and the terminating 0
    while (std::fgets(buffer, sizeof buffer, f) != nullptr) {
        size_t n = std::strlen(buffer);
        const bool complete = n > 0 && buffer[n - 1] == '\n';
        if (!complete && !std::feof(f)) {
            break;  // the line does not fit: the list ends before it
        }
        if (complete) {
            --n;
        }
        lines.emplace_back(buffer, n);
    }
    std::fclose(f);
    return lines;
}

std::string OpenTextFile::GetContenutoString() {
    const std::vector<std::string> lines = GetContenuto();
    std::string text;
    if (errore != 0) {
        return text;
    }
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

}  // namespace tessella
