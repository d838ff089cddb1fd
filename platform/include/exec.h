#pragma once
// exec.library: lists, tasks and signals, message ports, device I/O, memory and libraries.
// Tasks are threads; every task owns 32 signal bits, of which 0..15 are reserved for the system.

#include <cstddef>
#include <cstdint>

#include "utility/tagitem.h"

typedef int8_t BYTE;
typedef uint8_t UBYTE;
typedef int16_t WORD;
typedef uint16_t UWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int64_t QUAD;
typedef uint64_t UQUAD;
typedef intptr_t SIPTR;
typedef void* APTR;
typedef char* STRPTR;
typedef const char* CONST_STRPTR;
typedef int16_t BOOL;
typedef void VOID;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// ---- Lists ---------------------------------------------------------------------------------

struct Node {
    Node* ln_Succ;
    Node* ln_Pred;
    UBYTE ln_Type;
    BYTE ln_Pri;
    char* ln_Name;
};

struct MinNode {
    MinNode* mln_Succ;
    MinNode* mln_Pred;
};

// The header doubles as the list's head and tail sentinels: walk with
// `for (n = l->lh_Head; n->ln_Succ; n = n->ln_Succ)`.
struct List {
    Node* lh_Head;
    Node* lh_Tail;
    Node* lh_TailPred;
    UBYTE lh_Type;
    UBYTE l_pad;
};

struct MinList {
    MinNode* mlh_Head;
    MinNode* mlh_Tail;
    MinNode* mlh_TailPred;
};

#define NT_UNKNOWN 0
#define NT_TASK 1
#define NT_INTERRUPT 2
#define NT_DEVICE 3
#define NT_MSGPORT 4
#define NT_MESSAGE 5
#define NT_FREEMSG 6
#define NT_REPLYMSG 7
#define NT_RESOURCE 8
#define NT_LIBRARY 9
#define NT_MEMORY 10
#define NT_SOFTINT 11
#define NT_FONT 12
#define NT_PROCESS 13

#define IsListEmpty(l) ((l)->lh_TailPred == (Node*)(l))

void NewList(List* list);
void AddHead(List* list, Node* node);
void AddTail(List* list, Node* node);
void Remove(Node* node);
Node* RemHead(List* list);
Node* RemTail(List* list);
Node* FindName(List* list, CONST_STRPTR name);

// ---- Tasks and signals ---------------------------------------------------------------------

struct ETask;  // the platform's private part of a task

struct Task {
    Node tc_Node;
    UBYTE tc_Flags;
    UBYTE tc_State;
    BYTE tc_IDNestCnt;
    BYTE tc_TDNestCnt;
    ULONG tc_SigAlloc;
    ULONG tc_SigWait;
    ULONG tc_SigRecvd;
    ULONG tc_SigExcept;
    APTR tc_UserData;
    ETask* tc_ETask;
};

#define TS_INVALID 0
#define TS_RUN 2
#define TS_READY 3
#define TS_WAIT 4
#define TS_REMOVED 6

#define SIGB_ABORT 0
#define SIGB_CHILD 1
#define SIGB_BLIT 4
#define SIGB_SINGLE 4
#define SIGB_INTUITION 5
#define SIGB_DOS 8
#define SIGBREAKB_CTRL_C 12
#define SIGBREAKB_CTRL_D 13
#define SIGBREAKB_CTRL_E 14
#define SIGBREAKB_CTRL_F 15
#define SIGF_ABORT (1UL << SIGB_ABORT)
#define SIGF_CHILD (1UL << SIGB_CHILD)
#define SIGF_SINGLE (1UL << SIGB_SINGLE)
#define SIGF_INTUITION (1UL << SIGB_INTUITION)
#define SIGF_DOS (1UL << SIGB_DOS)
#define SIGBREAKF_CTRL_C (1UL << SIGBREAKB_CTRL_C)
#define SIGBREAKF_CTRL_D (1UL << SIGBREAKB_CTRL_D)
#define SIGBREAKF_CTRL_E (1UL << SIGBREAKB_CTRL_E)
#define SIGBREAKF_CTRL_F (1UL << SIGBREAKB_CTRL_F)

// FindTask(NULL) is the calling task; a thread the platform did not start becomes a task the
// first time it asks.
Task* FindTask(CONST_STRPTR name);
// -1 takes the lowest free bit from 16..31; returns the bit, or -1 when it is taken or none is
// free.
BYTE AllocSignal(LONG signalNum);
void FreeSignal(LONG signalNum);
void Signal(Task* task, ULONG signalSet);
// Blocks until one of the signals arrives; returns and clears the ones of the set that arrived.
ULONG Wait(ULONG signalSet);
// Sets the signals of signalSet to newSignals without waiting; returns the previous signals.
ULONG SetSignal(ULONG newSignals, ULONG signalSet);

// ---- Messages and ports --------------------------------------------------------------------

struct MsgPort;

struct Message {
    Node mn_Node;
    MsgPort* mn_ReplyPort;
    UWORD mn_Length;
};

struct MsgPort {
    Node mp_Node;
    UBYTE mp_Flags;
    UBYTE mp_SigBit;
    APTR mp_SigTask;  // the task to signal, or the Interrupt to call for PA_SOFTINT
    List mp_MsgList;
};

#define PA_SIGNAL 0
#define PA_SOFTINT 1
#define PA_IGNORE 2

// A soft interrupt runs on the task that puts the message, with is_Data as its argument.
struct Interrupt {
    Node is_Node;
    APTR is_Data;
    void (*is_Code)(APTR data);
};

MsgPort* CreateMsgPort();
void DeleteMsgPort(MsgPort* port);
void PutMsg(MsgPort* port, Message* message);
Message* GetMsg(MsgPort* port);
void ReplyMsg(Message* message);
Message* WaitPort(MsgPort* port);

// ---- Libraries and devices -----------------------------------------------------------------

struct Library {
    Node lib_Node;
    UBYTE lib_Flags;
    UBYTE lib_pad;
    UWORD lib_NegSize;
    UWORD lib_PosSize;
    UWORD lib_Version;
    UWORD lib_Revision;
    APTR lib_IdString;
    ULONG lib_Sum;
    UWORD lib_OpenCnt;
};

struct Device {
    Library dd_Library;
};

struct Unit {
    MsgPort unit_MsgPort;
    UBYTE unit_flags;
    UBYTE unit_pad;
    UWORD unit_OpenCnt;
};

struct IORequest {
    Message io_Message;
    Device* io_Device;
    Unit* io_Unit;
    UWORD io_Command;
    UBYTE io_Flags;
    BYTE io_Error;
};

struct IOStdReq {
    Message io_Message;
    Device* io_Device;
    Unit* io_Unit;
    UWORD io_Command;
    UBYTE io_Flags;
    BYTE io_Error;
    ULONG io_Actual;
    ULONG io_Length;
    APTR io_Data;
    ULONG io_Offset;
};

#define CMD_INVALID 0
#define CMD_RESET 1
#define CMD_READ 2
#define CMD_WRITE 3
#define CMD_UPDATE 4
#define CMD_CLEAR 5
#define CMD_STOP 6
#define CMD_START 7
#define CMD_FLUSH 8
#define CMD_NONSTD 9

#define IOB_QUICK 0
#define IOF_QUICK (1 << IOB_QUICK)

#define IOERR_OPENFAIL (-1)
#define IOERR_ABORTED (-2)
#define IOERR_NOCMD (-3)
#define IOERR_BADLENGTH (-4)
#define IOERR_BADADDRESS (-5)
#define IOERR_UNITBUSY (-6)
#define IOERR_SELFTEST (-7)

// Known names: exec, dos, intuition, graphics, gadtools, diskfont, keymap, locale, asl, iffparse,
// utility, workbench (".library"). Null for any other name or a newer version than ours.
Library* OpenLibrary(CONST_STRPTR libName, ULONG version);
void CloseLibrary(Library* library);

// A zero-filled request of ioSize bytes that replies to port; null when port is null.
IORequest* CreateExtIO(MsgPort* port, LONG ioSize);
void DeleteExtIO(IORequest* ioReq);
IORequest* CreateIORequest(MsgPort* port, ULONG ioSize);
void DeleteIORequest(IORequest* ioReq);
// Returns 0 on success, IOERR_OPENFAIL for an unknown device or unit.
BYTE OpenDevice(CONST_STRPTR devName, ULONG unitNumber, IORequest* ioReq, ULONG flags);
void CloseDevice(IORequest* ioReq);
void SendIO(IORequest* ioReq);
// Starts a request as SendIO does, but keeps the caller's io_Flags (audio.device reads
// ADIOF_PERVOL there); a device clears IOF_QUICK when it cannot complete the request at once.
void BeginIO(IORequest* ioReq);
BYTE DoIO(IORequest* ioReq);
// The request when it has completed (or was never sent), null while it is in flight.
IORequest* CheckIO(IORequest* ioReq);
LONG AbortIO(IORequest* ioReq);
// Waits for completion, takes the request off its reply port and returns io_Error.
BYTE WaitIO(IORequest* ioReq);

// ---- Memory --------------------------------------------------------------------------------

#define MEMF_ANY 0UL
#define MEMF_PUBLIC (1UL << 0)
#define MEMF_CHIP (1UL << 1)
#define MEMF_FAST (1UL << 2)
#define MEMF_CLEAR (1UL << 16)
#define MEMF_LARGEST (1UL << 17)
#define MEMF_REVERSE (1UL << 18)
#define MEMF_TOTAL (1UL << 19)

// Chip memory is ordinary memory here. Null for a size of 0 or when memory runs out.
APTR AllocMem(ULONG byteSize, ULONG requirements);
void FreeMem(APTR memoryBlock, ULONG byteSize);
// Free memory in bytes; with MEMF_TOTAL the size of all memory.
IPTR AvailMem(ULONG attributes);
