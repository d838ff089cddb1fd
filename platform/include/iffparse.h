#pragma once
// iffparse.library: reading IFF files (EA IFF 85) chunk by chunk from a DOS stream. The client
// declares which chunks it wants stored (PropChunk) and where parsing should stop (StopChunk),
// parses, then reads the stop chunk's data. Chunk data comes back exactly as stored in the file
// (big-endian numbers stay big-endian).

#include "dos.h"

#define MAKE_ID(a, b, c, d) \
    ((ULONG)(UBYTE)(a) << 24 | (ULONG)(UBYTE)(b) << 16 | (ULONG)(UBYTE)(c) << 8 | (ULONG)(UBYTE)(d))

#define ID_FORM MAKE_ID('F', 'O', 'R', 'M')
#define ID_LIST MAKE_ID('L', 'I', 'S', 'T')
#define ID_CAT MAKE_ID('C', 'A', 'T', ' ')
#define ID_PROP MAKE_ID('P', 'R', 'O', 'P')
#define ID_NULL MAKE_ID(' ', ' ', ' ', ' ')

struct IFFHandle {
    IPTR iff_Stream;  // for InitIFFasDOS: the BPTR of a file opened for reading
    ULONG iff_Flags;
    LONG iff_Depth;  // how many contexts are open
};

#define IFFF_READ 0L
#define IFFF_WRITE 1L
#define IFFF_RWBITS (IFFF_READ | IFFF_WRITE)
#define IFFF_FSEEK (1L << 1)
#define IFFF_RSEEK (1L << 2)

struct ContextNode {
    MinNode cn_Node;
    LONG cn_ID;
    LONG cn_Type;
    LONG cn_Size;  // bytes of data, without the header and the pad byte
    LONG cn_Scan;  // bytes of data read so far
};

struct StoredProperty {
    LONG sp_Size;
    APTR sp_Data;
};

// ParseIFF control.
#define IFFPARSE_SCAN 0L     // until a stop chunk or the end of the file
#define IFFPARSE_STEP 1L     // one context at a time
#define IFFPARSE_RAWSTEP 2L  // the same here

// Results: 0 for success, or one of these.
#define IFFERR_EOF (-1L)      // the end of the file's outermost group
#define IFFERR_EOC (-2L)      // the end of a context (IFFPARSE_STEP)
#define IFFERR_NOSCOPE (-3L)  // no context to declare in
#define IFFERR_NOMEM (-4L)
#define IFFERR_READ (-5L)  // the stream could not be read
#define IFFERR_WRITE (-6L)
#define IFFERR_SEEK (-7L)
#define IFFERR_MANGLED (-8L)  // sizes that do not fit, or a file that ends inside a chunk
#define IFFERR_SYNTAX (-9L)   // a group whose type is not a valid IFF type
#define IFFERR_NOTIFF (-10L)  // not an IFF file: it does not start with FORM, LIST or CAT
#define IFFERR_NOHOOK (-11L)  // no stream attached
#define IFF_RETURN2CLIENT (-12L)

IFFHandle* AllocIFF();
void FreeIFF(IFFHandle* iff);
// The stream is a DOS file handle in iff_Stream, set before OpenIFF.
void InitIFFasDOS(IFFHandle* iff);
LONG OpenIFF(IFFHandle* iff, LONG rwMode);
// Ends parsing and frees the stored properties; the stream stays open (the caller closes it).
void CloseIFF(IFFHandle* iff);

LONG PropChunk(IFFHandle* iff, LONG type, LONG id);
LONG StopChunk(IFFHandle* iff, LONG type, LONG id);
LONG ParseIFF(IFFHandle* iff, LONG control);
// The stored copy of a property chunk met while parsing, or null.
StoredProperty* FindProp(IFFHandle* iff, LONG type, LONG id);
// The innermost open context (the stop chunk after a ParseIFF that stopped), or null.
ContextNode* CurrentChunk(IFFHandle* iff);
// Reads from the current chunk, never past its end: the number of bytes read (0 at its end),
// or an IFFERR_ result.
LONG ReadChunkBytes(IFFHandle* iff, APTR buffer, LONG numBytes);
