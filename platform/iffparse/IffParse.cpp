// Reads IFF groups and chunks from a DOS stream, one header at a time, without seeking, so that
// any readable stream serves.
#include <list>
#include <new>
#include <vector>

#include "iffparse.h"

namespace {

struct Declared {
    LONG type;
    LONG id;
};

struct Property {
    LONG type;
    LONG id;
    std::vector<UBYTE> data;
    StoredProperty stored{};
};

struct Context {
    ContextNode node{};
    bool group = false;  // FORM, LIST, CAT or PROP: holds chunks rather than data
};

struct IffHandleImpl : IFFHandle {
    bool dos = false;
    bool open = false;
    bool started = false;
    bool inChunk = false;  // stopped inside a data chunk, whose context is the top one
    std::vector<Declared> props;
    std::vector<Declared> stops;
    std::list<Property> stored;  // a list, so that the addresses handed out stay put
    std::vector<Context> stack;
};

IffHandleImpl* Impl(IFFHandle* iff) {
    return static_cast<IffHandleImpl*>(iff);
}

bool IsGroup(ULONG id) {
    return id == ID_FORM || id == ID_LIST || id == ID_CAT || id == ID_PROP;
}

bool Declares(const std::vector<Declared>& list, LONG type, LONG id) {
    for (const Declared& d : list) {
        if (d.type == type && d.id == id) {
            return true;
        }
    }
    return false;
}

ULONG BigEndian(const UBYTE* p) {
    return static_cast<ULONG>(p[0]) << 24 | static_cast<ULONG>(p[1]) << 16 |
           static_cast<ULONG>(p[2]) << 8 | p[3];
}

// Exactly n bytes, or fewer at the end of the stream; -1 on a read error.
LONG ReadStream(IffHandleImpl* h, void* buffer, LONG n) {
    return Read(reinterpret_cast<BPTR>(h->iff_Stream), buffer, n);
}

// Skips n bytes by reading them; false when the stream ends first.
bool Skip(IffHandleImpl* h, LONG n) {
    UBYTE scratch[4096];
    while (n > 0) {
        const LONG chunk = n < static_cast<LONG>(sizeof(scratch)) ? n : sizeof(scratch);
        if (ReadStream(h, scratch, chunk) != chunk) {
            return false;
        }
        n -= chunk;
    }
    return true;
}

void Push(IffHandleImpl* h, LONG id, LONG type, LONG size, LONG scan, bool group) {
    Context c;
    c.node.cn_ID = id;
    c.node.cn_Type = type;
    c.node.cn_Size = size;
    c.node.cn_Scan = scan;
    c.group = group;
    h->stack.push_back(c);
    h->iff_Depth = static_cast<LONG>(h->stack.size());
}

// Closes the top context: the parent has now read its header, its data and its pad byte.
void Pop(IffHandleImpl* h) {
    const ContextNode done = h->stack.back().node;
    h->stack.pop_back();
    h->iff_Depth = static_cast<LONG>(h->stack.size());
    if (!h->stack.empty()) {
        h->stack.back().node.cn_Scan += done.cn_Size + (done.cn_Size & 1);
    }
}

// Reads the rest of the top chunk and its pad byte, then closes it. A file whose very last
// chunk lacks its pad byte is still accepted: the data is all there.
LONG LeaveChunk(IffHandleImpl* h) {
    const ContextNode& c = h->stack.back().node;
    if (!Skip(h, c.cn_Size - c.cn_Scan)) {
        return IFFERR_MANGLED;
    }
    if (c.cn_Size & 1) {
        UBYTE pad;
        ReadStream(h, &pad, 1);
    }
    Pop(h);
    return 0;
}

LONG EnterOutermost(IffHandleImpl* h) {
    UBYTE header[12];
    const LONG got = ReadStream(h, header, sizeof(header));
    if (got < 0) {
        return IFFERR_READ;
    }
    if (got == 0) {
        return IFFERR_EOF;
    }
    const ULONG id = BigEndian(header);
    if (got < static_cast<LONG>(sizeof(header)) ||
        (id != ID_FORM && id != ID_LIST && id != ID_CAT)) {
        return IFFERR_NOTIFF;
    }
    const auto size = static_cast<LONG>(BigEndian(header + 4));
    if (size < 4) {
        return IFFERR_MANGLED;
    }
    Push(h, static_cast<LONG>(id), static_cast<LONG>(BigEndian(header + 8)), size, 4, true);
    return 0;
}

LONG StoreProperty(IffHandleImpl* h, LONG type, LONG id, LONG size) {
    // Read piece by piece: a size field may promise far more than the file holds, and memory is
    // taken only for the bytes that actually arrive.
    constexpr LONG kPiece = 65536;
    Property p{type, id, {}, {}};
    for (LONG done = 0; done < size;) {
        const LONG n = size - done < kPiece ? size - done : kPiece;
        p.data.resize(static_cast<size_t>(done) + static_cast<size_t>(n));
        if (ReadStream(h, p.data.data() + done, n) != n) {
            return IFFERR_MANGLED;
        }
        done += n;
    }
    h->stack.back().node.cn_Scan = size;
    // A later property of the same kind replaces the earlier one, as an inner scope would.
    h->stored.remove_if([&](const Property& old) { return old.type == type && old.id == id; });
    Property& kept = h->stored.emplace_back(std::move(p));
    kept.stored.sp_Size = size;
    kept.stored.sp_Data = kept.data.data();
    return LeaveChunk(h);
}

LONG Parse(IffHandleImpl* h, LONG control) {
    for (;;) {
        if (h->stack.empty()) {
            return IFFERR_EOF;
        }
        ContextNode& group = h->stack.back().node;
        if (group.cn_Scan >= group.cn_Size) {
            Pop(h);
            if (control != IFFPARSE_SCAN) {
                return IFFERR_EOC;
            }
            continue;
        }
        UBYTE header[8];
        const LONG got = ReadStream(h, header, sizeof(header));
        if (got < 0) {
            return IFFERR_READ;
        }
        if (got != static_cast<LONG>(sizeof(header))) {
            return IFFERR_MANGLED;
        }
        group.cn_Scan += 8;
        const auto id = static_cast<LONG>(BigEndian(header));
        const auto size = static_cast<LONG>(BigEndian(header + 4));
        if (size < 0 || size > group.cn_Size - group.cn_Scan) {
            return IFFERR_MANGLED;
        }
        const LONG type = group.cn_Type;
        if (IsGroup(static_cast<ULONG>(id))) {
            UBYTE inner[4];
            if (size < 4 || ReadStream(h, inner, 4) != 4) {
                return IFFERR_MANGLED;
            }
            Push(h, id, static_cast<LONG>(BigEndian(inner)), size, 4, true);
            if (control != IFFPARSE_SCAN) {
                return 0;
            }
            continue;
        }
        Push(h, id, type, size, 0, false);
        if (Declares(h->props, type, id)) {
            if (const LONG error = StoreProperty(h, type, id, size)) {
                return error;
            }
            continue;
        }
        if (Declares(h->stops, type, id) || control != IFFPARSE_SCAN) {
            h->inChunk = true;
            return 0;
        }
        if (const LONG error = LeaveChunk(h)) {
            return error;
        }
    }
}

LONG Declare(IFFHandle* iff, std::vector<Declared> IffHandleImpl::*list, LONG type, LONG id) {
    if (iff == nullptr) {
        return IFFERR_NOSCOPE;
    }
    (Impl(iff)->*list).push_back(Declared{type, id});
    return 0;
}

}  // namespace

IFFHandle* AllocIFF() {
    return new (std::nothrow) IffHandleImpl();
}

void FreeIFF(IFFHandle* iff) {
    delete Impl(iff);
}

void InitIFFasDOS(IFFHandle* iff) {
    if (iff != nullptr) {
        Impl(iff)->dos = true;
    }
}

LONG OpenIFF(IFFHandle* iff, LONG rwMode) {
    if (iff == nullptr) {
        return IFFERR_NOMEM;
    }
    IffHandleImpl* h = Impl(iff);
    if (!h->dos || h->iff_Stream == 0) {
        return IFFERR_NOHOOK;
    }
    if ((rwMode & IFFF_RWBITS) != IFFF_READ) {
        return IFFERR_WRITE;  // only reading is needed, and offered
    }
    h->iff_Flags = static_cast<ULONG>(rwMode);
    h->open = true;
    h->started = false;
    h->inChunk = false;
    h->stack.clear();
    h->iff_Depth = 0;
    return 0;
}

void CloseIFF(IFFHandle* iff) {
    if (iff == nullptr) {
        return;
    }
    IffHandleImpl* h = Impl(iff);
    h->open = false;
    h->started = false;
    h->inChunk = false;
    h->stack.clear();
    h->stored.clear();
    h->props.clear();
    h->stops.clear();
    h->iff_Depth = 0;
}

LONG PropChunk(IFFHandle* iff, LONG type, LONG id) {
    return Declare(iff, &IffHandleImpl::props, type, id);
}

LONG StopChunk(IFFHandle* iff, LONG type, LONG id) {
    return Declare(iff, &IffHandleImpl::stops, type, id);
}

LONG ParseIFF(IFFHandle* iff, LONG control) {
    if (iff == nullptr || !Impl(iff)->open) {
        return IFFERR_NOHOOK;
    }
    IffHandleImpl* h = Impl(iff);
    if (!h->started) {
        h->started = true;
        if (const LONG error = EnterOutermost(h)) {
            return error;
        }
        if (control != IFFPARSE_SCAN) {
            return 0;
        }
    } else if (h->inChunk) {
        h->inChunk = false;
        if (const LONG error = LeaveChunk(h)) {
            return error;
        }
    }
    return Parse(h, control);
}

StoredProperty* FindProp(IFFHandle* iff, LONG type, LONG id) {
    if (iff == nullptr) {
        return nullptr;
    }
    for (Property& p : Impl(iff)->stored) {
        if (p.type == type && p.id == id) {
            return &p.stored;
        }
    }
    return nullptr;
}

ContextNode* CurrentChunk(IFFHandle* iff) {
    if (iff == nullptr || Impl(iff)->stack.empty()) {
        return nullptr;
    }
    return &Impl(iff)->stack.back().node;
}

LONG ReadChunkBytes(IFFHandle* iff, APTR buffer, LONG numBytes) {
    if (iff == nullptr || !Impl(iff)->inChunk || buffer == nullptr || numBytes < 0) {
        return IFFERR_EOC;
    }
    IffHandleImpl* h = Impl(iff);
    ContextNode& c = h->stack.back().node;
    const LONG wanted = numBytes < c.cn_Size - c.cn_Scan ? numBytes : c.cn_Size - c.cn_Scan;
    if (wanted == 0) {
        return 0;
    }
    const LONG got = ReadStream(h, buffer, wanted);
    if (got < 0) {
        return IFFERR_READ;
    }
    c.cn_Scan += got;
    // A file cut short inside the chunk gives what it holds; the next read reports the damage.
    if (got == 0) {
        return IFFERR_MANGLED;
    }
    return got;
}
