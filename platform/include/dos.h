#pragma once
// dos.library: processes, delays, command lines and plain file access.
// AROS locations map to Linux ones: "RAM:" and "T:" to the temporary directory, "SYS:" to "/".

#include "exec.h"

struct FileHandle;                // opaque
typedef struct FileHandle* BPTR;  // a file handle; null when none

#define DOSTRUE (-1L)
#define DOSFALSE 0L

#define TICKS_PER_SECOND 50

#define MODE_OLDFILE 1005L    // an existing file, for reading and writing
#define MODE_NEWFILE 1006L    // a new, empty file (an existing one is emptied)
#define MODE_READWRITE 1004L  // an existing file, or a new one

#define OFFSET_BEGINNING (-1L)
#define OFFSET_CURRENT 0L
#define OFFSET_END 1L

struct Process {
    Task pr_Task;
    MsgPort pr_MsgPort;
    LONG pr_Result2;
};

#define NP_Dummy (TAG_USER + 1000)
#define NP_Seglist (NP_Dummy + 1)
#define NP_FreeSeglist (NP_Dummy + 2)
#define NP_Entry (NP_Dummy + 3)  // void (*)(void), run on the new process
#define NP_Input (NP_Dummy + 4)
#define NP_Output (NP_Dummy + 5)
#define NP_CloseInput (NP_Dummy + 6)
#define NP_CloseOutput (NP_Dummy + 7)
#define NP_Error (NP_Dummy + 8)
#define NP_CloseError (NP_Dummy + 9)
#define NP_CurrentDir (NP_Dummy + 10)
#define NP_StackSize (NP_Dummy + 11)
#define NP_Name (NP_Dummy + 12)
#define NP_Priority (NP_Dummy + 13)

// Sleeps for the given number of 1/50 s ticks.
void Delay(ULONG ticks);

// Starts a named thread running NP_Entry; the process ends when the entry returns.
Process* CreateNewProc(const TagItem* tags);

template <typename... Args>
Process* CreateNewProcTags(Args... args) {
    IPTR raw[] = {tessella::utility::ToTagData(args)..., TAG_DONE, 0};
    TagItem tags[sizeof(raw) / sizeof(raw[0]) / 2];
    for (size_t i = 0; i < sizeof(tags) / sizeof(tags[0]); ++i) {
        tags[i].ti_Tag = static_cast<Tag>(raw[2 * i]);
        tags[i].ti_Data = raw[2 * i + 1];
    }
    return CreateNewProc(tags);
}

// Runs a command line with /bin/sh and waits for it; a bare web or mail address goes to the
// desktop's URL opener instead. Input and output default to the program's own. Returns
// DOSTRUE when the command could be started.
LONG Execute(CONST_STRPTR command, BPTR input, BPTR output);

BPTR Open(CONST_STRPTR name, LONG accessMode);
BOOL Close(BPTR file);
// Bytes read, 0 at the end of the file, -1 on error.
LONG Read(BPTR file, APTR buffer, LONG length);
LONG Write(BPTR file, const void* buffer, LONG length);
// Returns the position before the move, or -1 on error.
LONG Seek(BPTR file, LONG position, LONG mode);

// ---- Patterns ------------------------------------------------------------------------------

// AmigaDOS patterns: ? any character, #p any number of p, (a|b) either, [a-z] a class ([~..]
// its complement), ~p anything p does not match (to the end of its group), % nothing, 'c the
// character c. The parsed form is what the Match calls take; dest needs 2 * strlen + 2 bytes.
// Returns 1 when the pattern has wildcards, 0 when it is plain text, -1 when it is malformed or
// does not fit.
LONG ParsePattern(CONST_STRPTR source, STRPTR dest, LONG destLength);
LONG ParsePatternNoCase(CONST_STRPTR source, STRPTR dest, LONG destLength);
// Whether the whole string matches a parsed pattern.
BOOL MatchPattern(CONST_STRPTR pattern, CONST_STRPTR string);
BOOL MatchPatternNoCase(CONST_STRPTR pattern, CONST_STRPTR string);

// ---- Requests to stop the program ------------------------------------------------------------

// The process is asked from outside to stop: by SIGINT, SIGTERM or SIGHUP (a terminal's Ctrl-C,
// a logout, a polite kill), or by the loss of the desktop's display. Every task then receives
// the Ctrl-C break, SIGBREAKF_CTRL_C, as a shell's break would reach an AROS program, and
// StopRequested() tells from then on what asked. Requesters give up at once (the negative
// answer, or none) while a stop is requested.
#define STOP_DISPLAYLOST (-1)
// Blocks SIGINT, SIGTERM and SIGHUP in the calling thread, and so in every thread it starts
// from then on, and turns each one received into a stop request. Call it first thing in main,
// before any other thread exists. A second call does nothing.
void CatchStopSignals(void);
// 0 while no stop is requested; else the signal number, or STOP_DISPLAYLOST.
LONG StopRequested(void);
// Whether anything turns stop requests into breaks (CatchStopSignals was called).
BOOL StopSignalsCaught(void);
