#include "OpenBinaryFile.h"

namespace tessella {

OpenBinaryFile::OpenBinaryFile(std::string path) {
    Inizializza(std::move(path), 1, 0, 0);
}

OpenBinaryFile::OpenBinaryFile(std::string path, short readOnly, short create) {
    Inizializza(std::move(path), readOnly, create, 0);
}

OpenBinaryFile::OpenBinaryFile(std::string path, short readOnly, short create, short append) {
    Inizializza(std::move(path), readOnly, create, append);
}

OpenBinaryFile::~OpenBinaryFile() {
    CloseFile();
}

void OpenBinaryFile::Inizializza(std::string path, short readOnly, short create, short append) {
    CloseFile();
    errore = 0;
    noFound = 0;
    closed = 0;
    this->path = path;
    std::ios::openmode mode = std::ios::binary | std::ios::in;
    if (readOnly == 0) {
        if (create != 0) {
            mode |= std::ios::out | std::ios::trunc;
        } else if (append != 0) {
            // "a+": created when missing, never truncated, every write lands at the end.
            mode |= std::ios::app;
        } else {
            mode |= std::ios::out;
        }
    }
    stream = std::make_unique<std::fstream>(path, mode);
    if (!stream->is_open()) {
        stream.reset();
        errore = 1;
        noFound = 1;
        closed = 1;
    }
}

long OpenBinaryFile::GetContenuto(long position, char* buffer, long length) {
    if (errore != 0 || closed != 0 || length <= 0) {
        return 0;
    }
    stream->seekg(position, std::ios::beg);
    if (stream->fail()) {
        errore = 1;
        return 0;
    }
    errore = 0;
    stream->read(buffer, length);
    const long got = static_cast<long>(stream->gcount());
    if (!stream->eof() && stream->fail()) {
        errore = 1;
    }
    return got;
}

bool OpenBinaryFile::SaveContenuto(long position, char* buffer, long length) {
    if (closed != 0) {
        errore = 1;
        return false;
    }
    stream->seekp(position, std::ios::beg);
    if (stream->fail()) {
        errore = 1;
        return false;
    }
    errore = 0;
    return AppendContenuto(buffer, length);
}

bool OpenBinaryFile::AppendContenuto(char* buffer, long length) {
    if (errore != 0 || closed != 0) {
        return false;
    }
    stream->write(buffer, length);
    // Flushing here makes a full disk show up as this write's failure, not as a lost close.
    stream->flush();
    if (stream->fail()) {
        errore = 1;
        return false;
    }
    return true;
}

bool OpenBinaryFile::isEOF() const {
    if (errore != 0 || !stream) {
        return false;
    }
    return stream->eof();
}

void OpenBinaryFile::CloseFile() {
    if (closed != 0 || !stream) {
        return;
    }
    stream->close();
    if (stream->fail()) {
        errore = 1;
    }
    stream.reset();
    closed = 1;
}

}  // namespace tessella
