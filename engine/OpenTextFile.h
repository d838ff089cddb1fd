#pragma once

#include <string>
#include <vector>

#include "OpenFile.h"

namespace tessella {

// A whole text file as a list of lines. No stream stays open between calls: each operation
// opens, works and closes, so the log can be appended to from any thread one entry at a time.
class OpenTextFile : public OpenFile {
public:
    explicit OpenTextFile(const char* path) : path(path) {}
    explicit OpenTextFile(std::string path) : path(std::move(path)) {}

    bool SetContenuto(std::vector<std::string> lines);
    bool AppendContenuto(std::vector<std::string> lines);
    std::vector<std::string> GetContenuto();
    std::string GetContenutoString();

private:
    bool WriteLines(const std::vector<std::string>& lines, const char* mode);

    std::string path;
};

}  // namespace tessella
