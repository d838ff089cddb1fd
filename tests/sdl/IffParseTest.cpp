// 8SVX sound files written here byte by byte, read back through iffparse and a DOS stream.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "iffparse.h"

namespace {

#define ID_8SVX MAKE_ID('8', 'S', 'V', 'X')
#define ID_VHDR MAKE_ID('V', 'H', 'D', 'R')
#define ID_BODY MAKE_ID('B', 'O', 'D', 'Y')
#define ID_NAME MAKE_ID('N', 'A', 'M', 'E')

using Bytes = std::vector<UBYTE>;

void Put32(Bytes& b, ULONG v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        b.push_back(static_cast<UBYTE>(v >> shift));
    }
}

void Put16(Bytes& b, UWORD v) {
    b.push_back(static_cast<UBYTE>(v >> 8));
    b.push_back(static_cast<UBYTE>(v));
}

void Chunk(Bytes& b, ULONG id, const Bytes& data) {
    Put32(b, id);
    Put32(b, static_cast<ULONG>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    if (data.size() & 1) {
        b.push_back(0);
    }
}

Bytes Vhdr(ULONG oneShot, ULONG repeat, UWORD rate, UBYTE octaves, UBYTE compression) {
    Bytes v;
    Put32(v, oneShot);
    Put32(v, repeat);
    Put32(v, 32);  // samples per high cycle
    Put16(v, rate);
    v.push_back(octaves);
    v.push_back(compression);
    Put32(v, 0x10000);  // full volume, 16.16 fixed point
    return v;
}

// FORM 8SVX with an odd-sized NAME chunk before VHDR (its pad byte must be skipped), then BODY.
Bytes Sound(const Bytes& vhdr, const Bytes& body) {
    Bytes inner;
    Put32(inner, ID_8SVX);
    Chunk(inner, ID_NAME, Bytes{'b', 'e', 'l'});
    Chunk(inner, ID_VHDR, vhdr);
    Chunk(inner, ID_BODY, body);
    Bytes file;
    Chunk(file, ID_FORM, inner);
    return file;
}

Bytes Samples(size_t n) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) {
        b[i] = static_cast<UBYTE>(i * 37 + 5);
    }
    return b;
}

class Iff : public ::testing::Test {
protected:
    void TearDown() override {
        if (iff != nullptr) {
            CloseIFF(iff);
            FreeIFF(iff);
        }
        if (file != nullptr) {
            Close(file);
        }
        std::remove(path.c_str());
    }

    // Writes the bytes, opens them as the sound player does, declares VHDR and BODY and parses.
    LONG Parse(const Bytes& bytes) {
        FILE* f = std::fopen(path.c_str(), "wb");
        EXPECT_NE(f, nullptr);
        if (!bytes.empty()) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
        }
        std::fclose(f);
        iff = AllocIFF();
        EXPECT_NE(iff, nullptr);
        file = Open(path.c_str(), MODE_OLDFILE);
        EXPECT_NE(file, nullptr);
        iff->iff_Stream = reinterpret_cast<IPTR>(file);
        InitIFFasDOS(iff);
        EXPECT_EQ(OpenIFF(iff, IFFF_READ), 0);
        EXPECT_EQ(PropChunk(iff, ID_8SVX, ID_VHDR), 0);
        EXPECT_EQ(StopChunk(iff, ID_8SVX, ID_BODY), 0);
        return ParseIFF(iff, IFFPARSE_SCAN);
    }

    std::string path = "iff-test-" + std::to_string(getpid()) + ".8svx";
    IFFHandle* iff = nullptr;
    BPTR file = nullptr;
};

TEST_F(Iff, VoiceHeaderAndBodyComeBackAsWritten) {
    const Bytes body = Samples(301);
    ASSERT_EQ(Parse(Sound(Vhdr(301, 0, 8363, 1, 0), body)), 0);

    StoredProperty* sp = FindProp(iff, ID_8SVX, ID_VHDR);
    ASSERT_NE(sp, nullptr);
    ASSERT_EQ(sp->sp_Size, 20);
    const auto* v = static_cast<const UBYTE*>(sp->sp_Data);
    EXPECT_EQ(v[3], 301 & 0xFF);  // one-shot samples, big-endian as stored
    EXPECT_EQ(v[2], 301 >> 8);
    EXPECT_EQ((v[12] << 8) | v[13], 8363);  // samples per second
    EXPECT_EQ(v[14], 1);                    // octaves
    EXPECT_EQ(v[15], 0);                    // compression

    ContextNode* cn = CurrentChunk(iff);
    ASSERT_NE(cn, nullptr);
    EXPECT_EQ(static_cast<ULONG>(cn->cn_ID), ID_BODY);
    EXPECT_EQ(static_cast<ULONG>(cn->cn_Type), ID_8SVX);
    EXPECT_EQ(cn->cn_Size, 301);

    // Reading never passes the chunk's end, even when asked for more.
    Bytes read(400, 0xEE);
    EXPECT_EQ(ReadChunkBytes(iff, read.data(), 100), 100);
    EXPECT_EQ(ReadChunkBytes(iff, read.data() + 100, 300), 201);
    EXPECT_EQ(ReadChunkBytes(iff, read.data() + 301, 10), 0);
    read.resize(301);
    EXPECT_EQ(read, body);
    EXPECT_EQ(cn->cn_Scan, 301);

    // Parsing on runs off the end of the FORM.
    EXPECT_EQ(ParseIFF(iff, IFFPARSE_SCAN), IFFERR_EOF);
    EXPECT_EQ(CurrentChunk(iff), nullptr);
}

TEST_F(Iff, CompressedSoundIsParsedSoThePlayerCanRefuseIt) {
    // Fibonacci-delta compression and several octaves are told by the header alone.
    ASSERT_EQ(Parse(Sound(Vhdr(64, 0, 8000, 3, 1), Samples(64))), 0);
    StoredProperty* sp = FindProp(iff, ID_8SVX, ID_VHDR);
    ASSERT_NE(sp, nullptr);
    EXPECT_EQ(static_cast<const UBYTE*>(sp->sp_Data)[14], 3);
    EXPECT_EQ(static_cast<const UBYTE*>(sp->sp_Data)[15], 1);
}

TEST_F(Iff, FileCutInsideTheHeaderChunksIsMangled) {
    const Bytes whole = Sound(Vhdr(64, 0, 8000, 1, 0), Samples(64));
    // Cut in the middle of VHDR's data: its header promised 20 bytes.
    const Bytes cut(whole.begin(), whole.begin() + 12 + 12 + 8 + 10);
    EXPECT_EQ(Parse(cut), IFFERR_MANGLED);
    EXPECT_EQ(FindProp(iff, ID_8SVX, ID_VHDR), nullptr);
}

TEST_F(Iff, FileCutInsideTheBodyGivesWhatItHolds) {
    const Bytes whole = Sound(Vhdr(64, 0, 8000, 1, 0), Samples(64));
    const Bytes cut(whole.begin(), whole.end() - 24);
    ASSERT_EQ(Parse(cut), 0);
    Bytes read(64);
    EXPECT_EQ(ReadChunkBytes(iff, read.data(), 64), 40);
    EXPECT_EQ(ReadChunkBytes(iff, read.data(), 64), IFFERR_MANGLED);
}

TEST_F(Iff, ChunkLargerThanItsFormIsMangled) {
    Bytes inner;
    Put32(inner, ID_8SVX);
    Put32(inner, ID_VHDR);
    Put32(inner, 5000);  // more than the FORM holds
    Bytes vhdr = Vhdr(1, 0, 8000, 1, 0);
    inner.insert(inner.end(), vhdr.begin(), vhdr.end());
    Bytes file;
    Chunk(file, ID_FORM, inner);
    EXPECT_EQ(Parse(file), IFFERR_MANGLED);
}

TEST_F(Iff, ForeignAndEmptyFilesAreNotIff) {
    const std::string text = "RIFF....WAVEfmt this is not an IFF file";
    EXPECT_EQ(Parse(Bytes(text.begin(), text.end())), IFFERR_NOTIFF);
    TearDown();
    iff = nullptr;
    file = nullptr;
    EXPECT_EQ(Parse(Bytes{'F', 'O', 'R'}), IFFERR_NOTIFF);
    TearDown();
    iff = nullptr;
    file = nullptr;
    EXPECT_EQ(Parse(Bytes{}), IFFERR_EOF);
}

TEST_F(Iff, FormWithoutTheStopChunkEndsWithEof) {
    Bytes inner;
    Put32(inner, ID_8SVX);
    Chunk(inner, ID_VHDR, Vhdr(8, 0, 8000, 1, 0));
    Bytes file;
    Chunk(file, ID_FORM, inner);
    EXPECT_EQ(Parse(file), IFFERR_EOF);
    EXPECT_NE(FindProp(iff, ID_8SVX, ID_VHDR), nullptr);  // what was met is still there
    EXPECT_EQ(ReadChunkBytes(iff, inner.data(), 4), IFFERR_EOC);
}

}  // namespace
