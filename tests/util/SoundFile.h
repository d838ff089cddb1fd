#pragma once
// 8SVX sound files written byte by byte, for the sound player's tests.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tessella {

namespace soundfile {

using Bytes = std::vector<uint8_t>;

inline void Put32(Bytes& b, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        b.push_back(static_cast<uint8_t>(v >> shift));
    }
}

inline void Put16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}

inline void PutId(Bytes& b, const char* id) {
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<uint8_t>(id[i]));
    }
}

struct Header {
    uint32_t oneShot = 0;
    uint32_t repeat = 0;
    uint16_t rate = 8000;
    uint8_t octaves = 1;
    uint8_t compression = 0;
    size_t size = 20;  // bytes of the header chunk actually written
};

inline Bytes Vhdr(const Header& h) {
    Bytes v;
    Put32(v, h.oneShot);
    Put32(v, h.repeat);
    Put32(v, 32);  // samples per high cycle
    Put16(v, h.rate);
    v.push_back(h.octaves);
    v.push_back(h.compression);
    Put32(v, 0x10000);  // full volume
    v.resize(h.size, 0);
    return v;
}

inline Bytes Samples(size_t n, int seed = 0) {
    Bytes s(n);
    for (size_t i = 0; i < n; ++i) {
        s[i] = static_cast<uint8_t>(i * 37 + 5 + seed);
    }
    return s;
}

// FORM 8SVX with VHDR and BODY. `bodyCut` bytes of the body are left out of the file while its
// chunk (and the FORM) still announce them, as in a file cut short.
inline Bytes Sound(const Header& h, const Bytes& body, size_t bodyCut = 0) {
    const Bytes vhdr = Vhdr(h);
    Bytes inner;
    PutId(inner, "8SVX");
    PutId(inner, "VHDR");
    Put32(inner, static_cast<uint32_t>(vhdr.size()));
    inner.insert(inner.end(), vhdr.begin(), vhdr.end());
    if (vhdr.size() & 1) {
        inner.push_back(0);
    }
    PutId(inner, "BODY");
    Put32(inner, static_cast<uint32_t>(body.size()));
    inner.insert(inner.end(), body.begin(), body.end() - static_cast<long>(bodyCut));
    Bytes form;
    PutId(form, "FORM");
    Put32(form, static_cast<uint32_t>(inner.size() + bodyCut));
    inner.insert(inner.begin(), form.begin(), form.end());
    return inner;
}

inline void Write(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline Bytes Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace soundfile

}  // namespace tessella
