#pragma once

#include <fstream>
#include <memory>
#include <string>

#include "OpenFile.h"

namespace tessella {

// Byte ranges of one file at explicit offsets: the engine's only way to touch file content.
// A failed open leaves an inert object: reads return 0, writes return false.
class OpenBinaryFile : public OpenFile {
public:
    explicit OpenBinaryFile(std::string path);
    OpenBinaryFile(std::string path, short readOnly, short create);
    OpenBinaryFile(std::string path, short readOnly, short create, short append);
    ~OpenBinaryFile();

    OpenBinaryFile(const OpenBinaryFile&) = delete;
    OpenBinaryFile& operator=(const OpenBinaryFile&) = delete;

    void Inizializza(std::string path, short readOnly, short create, short append);
    long GetContenuto(long position, char* buffer, long length);
    bool SaveContenuto(long position, char* buffer, long length);
    bool AppendContenuto(char* buffer, long length);
    bool isEOF() const;
    void CloseFile();
    // The path the file was opened by, so that other threads can open it too.
    const std::string& Path() const { return path; }

private:
    std::unique_ptr<std::fstream> stream;
    std::string path;
    int16_t closed = 0;
};

}  // namespace tessella
