#pragma once

#include <string>

namespace tessella {

// The program's log, low in the stack so that every layer can write to it: each line goes to
// standard output and, once a file is named, is appended to that file. Lines from several
// threads never interleave.
class Log {
public:
    static void Write(const std::string& line);
    // "" writes to standard output only.
    static void SetFile(std::string path);
    static std::string File();
};

}  // namespace tessella
