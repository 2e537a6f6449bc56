/*
 * Qrvlink — SDK for 2.4 GHz radio modules on a serial port.
 *
 * A flat C interface over one process-wide state: one serial port, one
 * local module (the one on the port) and the list of far modules found by a
 * search. Every function is synchronous and blocks for the protocol's fixed
 * pauses and the port's read time-outs.
 *
 * Results: 1 for success and 0 for failure unless stated. Two ways say
 * why a call failed:
 * - Q_GetLastError(): the codes listed under "Error codes", one word for
 *   the whole process, recorded by the functions that say so. A missing or
 *   refused answer from a module records nothing, so after a function that
 *   clears the code it reads 0.
 * - Q_GetLastFailure() and Q_GetLastOsError(): the reason (QRV_FAIL_*) and
 *   the facts of the calling thread's last call that could fail, whatever
 *   the call and whatever its context; see "Failure reasons".
 *
 * Threads: any thread may call any function. Calls that talk to the module
 * or change the library's records take one lock for their whole run, so a
 * second thread waits for the first to finish instead of mixing its frames
 * into the first one's exchange. Q_QRV_GetSearchDevCount,
 * Q_QRV_GetRemoteDevBase and Q_QRV_ClearSearchArr take only the search
 * list's own short lock and stay usable while a search runs;
 * Q_ComCheckOpen, Q_GetLastError, Q_GetLastFailure, Q_GetLastOsError,
 * Q_GetVersion, Q_DescribeFrame and the Q_Set...Handler functions never
 * wait for an exchange. Waiting calls are served in the order they came.
 * Q_LockExchanges/Q_UnlockExchanges hold the lock across several calls
 * (read, change, write back) so that no other thread's call comes between.
 *
 * Several ports: the flat functions use one default context. A program
 * driving several adapters makes one context per adapter (Q_CtxNew) and
 * calls the Q_Ctx twins, which take the context first and otherwise behave
 * exactly as their flat namesakes; see "Contexts" at the end.
 *
 * Handlers (message, progress, trace) run on the thread of the call that
 * raised them while that call holds the lock: a handler must not wait for
 * another thread that is itself calling into the library, and a call into
 * the library from inside a handler that takes the exchange lock fails at
 * once (QRV_FAIL_ARGUMENT) instead of deadlocking: every call that takes
 * the lock (all but those named above as not waiting), also those that only
 * read or change the cached records (Q_QRV_GetProperty, Q_QRV_SetProperty,
 * Q_QRV_SetLocalPropertyAll, Q_QRV_GetRemoteDevProperty(All),
 * Q_QRV_SetRemoteDevProperty, Q_QRV_SetRemotePropertyAll), which the running
 * exchange may be changing. Replacing a handler waits
 * until no call of the old one runs (unless made from inside that handler),
 * so its user data may be freed once the Q_Set...Handler call returns.
 *
 * Buffers: the caller owns every buffer it passes; the library keeps no
 * pointer into one after the call returns.
 */
#ifndef QRVLINK_H
#define QRVLINK_H

#include <stddef.h>
#include <stdint.h>
#include <wchar.h>

#define QRVLINK_VERSION_MAJOR 1
#define QRVLINK_VERSION_MINOR 2
#define QRVLINK_VERSION_PATCH 0

#if defined(_WIN32)
#  if defined(QRVLINK_BUILDING)
#    define QRV_API __declspec(dllexport)
#  else
#    define QRV_API __declspec(dllimport)
#  endif
#else
#  define QRV_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Records ----------------------------------------------------------
 * Byte-packed, host byte order in memory. On the serial line the 16-bit
 * fields travel high byte first; the library converts. */
#pragma pack(push, 1)

/* A module's identity, 7 bytes. */
typedef struct ModuleBase {
    uint16_t NetAddr;   /* network address, the address of every frame to it */
    uint16_t DevType;   /* 0x0000 boot loader, 0x10 QRV, 0x11 KORVANET, 0x12 VLX IO */
    uint8_t RunState;   /* 0x55 boot loader, 0xAA user firmware, other: no boot loader */
    uint16_t FwVersion; /* four decimal digits in four nibbles: 0x0123 is V1.23 */
} ModuleBase;

/* A module's configuration, 57 bytes; bytes 0..51 are writable. */
typedef struct ModuleProperty {
    char DevName[16];       /*  0  property 1, NUL-terminated multibyte text */
    char Password[16];      /* 16  property 2 */
    uint8_t WorkMode;       /* 32  property 3, 0..6 */
    uint8_t Channel;        /* 33  property 4, 6..30: 2350 + 5 * channel MHz */
    uint16_t NetId;         /* 34  property 5 */
    uint16_t LocalAddr;     /* 36  property 6 */
    uint16_t DestAddr;      /* 38  property 7 */
    uint8_t AirRate;        /* 40  property 8: 0 250K, 1 500K, 2 1M */
    uint8_t TxPower;        /* 41  property 9: code 0x02..0x12 */
    uint8_t RetryCount;     /* 42  property 10 */
    uint16_t RetryInterval; /* 43  property 11, milliseconds */
    uint8_t UartBaud;       /* 45  property 12: index 0 (1200) .. 9 (460800) */
    uint8_t UartDataBits;   /* 46  property 13 */
    uint8_t UartStopBits;   /* 47  property 15 */
    uint8_t UartParity;     /* 48  property 14 */
    uint8_t FrameGap;       /* 49  property 16, milliseconds */
    uint8_t FrameLen;       /* 50  property 17 */
    uint8_t Spare51;        /* 51  property 18, carried unchanged */
    uint8_t RunState;       /* 52  read-only */
    uint16_t DevType;       /* 53  read-only */
    uint16_t FwVersion;     /* 55  read-only */
} ModuleProperty;

#pragma pack(pop)

#ifdef __cplusplus
#  define QRV_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#  define QRV_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif
QRV_STATIC_ASSERT(sizeof(ModuleBase) == 7, "ModuleBase is 7 bytes");
QRV_STATIC_ASSERT(offsetof(ModuleBase, RunState) == 4, "ModuleBase.RunState at 4");
QRV_STATIC_ASSERT(offsetof(ModuleBase, FwVersion) == 5, "ModuleBase.FwVersion at 5");
QRV_STATIC_ASSERT(sizeof(ModuleProperty) == 57, "ModuleProperty is 57 bytes");
QRV_STATIC_ASSERT(offsetof(ModuleProperty, WorkMode) == 32, "WorkMode at 32");
QRV_STATIC_ASSERT(offsetof(ModuleProperty, NetId) == 34, "NetId at 34");
QRV_STATIC_ASSERT(offsetof(ModuleProperty, LocalAddr) == 36, "LocalAddr at 36");
QRV_STATIC_ASSERT(offsetof(ModuleProperty, DestAddr) == 38, "DestAddr at 38");
QRV_STATIC_ASSERT(offsetof(ModuleProperty, AirRate) == 40, "AirRate at 40");
QRV_STATIC_ASSERT(offsetof(ModuleProperty, RetryInterval) == 43, "RetryInterval at 43");
QRV_STATIC_ASSERT(offsetof(ModuleProperty, UartBaud) == 45, "UartBaud at 45");
QRV_STATIC_ASSERT(offsetof(ModuleProperty, UartStopBits) == 47, "UartStopBits at 47");
QRV_STATIC_ASSERT(offsetof(ModuleProperty, UartParity) == 48, "UartParity at 48");
QRV_STATIC_ASSERT(offsetof(ModuleProperty, Spare51) == 51, "Spare51 at 51");
QRV_STATIC_ASSERT(offsetof(ModuleProperty, RunState) == 52, "RunState at 52");
QRV_STATIC_ASSERT(offsetof(ModuleProperty, DevType) == 53, "DevType at 53");
QRV_STATIC_ASSERT(offsetof(ModuleProperty, FwVersion) == 55, "FwVersion at 55");

/* ---- Error codes (Q_GetLastError) ------------------------------------- */
#define Q_ERR_NONE 0
#define Q_ERR_TEXT_TOO_LONG 16      /* text property does not fit the buffer */
#define Q_ERR_NO_SUCH_PROPERTY 17   /* property number outside 1..18 */
#define Q_ERR_PORT_NOT_OPEN 101
#define Q_ERR_NOT_LOADED 102        /* property record not read yet */
#define Q_ERR_BAD_INDEX 105         /* search-entry index out of range */

/* ---- Failure reasons (Q_GetLastFailure) --------------------------------
 * Why the calling thread's last failing call failed (thread-local, like
 * errno). Every function that returns a success/failure result sets it
 * when it fails and resets it to QRV_FAIL_NONE when it succeeds (a search
 * then still leaves a note of how it ended in the detail); Q_CloseCom
 * resets it. Functions that cannot fail (Q_ComCheckOpen,
 * Q_QRV_GetSearchDevCount, Q_QRV_ClearSearchArr, the getters, the handler
 * setters, Q_DescribeFrame) and the two reserved ones leave it alone. */
#define QRV_FAIL_NONE            0
#define QRV_FAIL_PORT_NOT_OPEN   1
#define QRV_FAIL_PORT_NOT_FOUND  2   /* no such device (adapter not plugged in, typo) */
#define QRV_FAIL_PORT_PERMISSION 3   /* EACCES/EPERM: not in the dialout group */
#define QRV_FAIL_PORT_BUSY       4   /* another process holds the port */
#define QRV_FAIL_PORT_NOT_SERIAL 5   /* the path is not a terminal device */
#define QRV_FAIL_PORT_SETTINGS   6   /* the device refused the baud rate / data bits / parity / stop bits */
#define QRV_FAIL_PORT_LOST       7   /* hang-up, EIO or ENXIO: the adapter went away */
#define QRV_FAIL_WRITE           8   /* the request could not be written in time */
#define QRV_FAIL_NO_ANSWER       9   /* silence for the whole read time-out */
#define QRV_FAIL_BAD_ANSWER     10   /* answer of the wrong length, framing, echo or address */
#define QRV_FAIL_REFUSED        11   /* the module answered with a failure status */
#define QRV_FAIL_ARGUMENT       12   /* null pointer, index out of range, unknown field number */
#define QRV_FAIL_NOT_LOADED     13   /* the operation needs a successful load first */
#define QRV_FAIL_IMAGE          14   /* firmware image unreadable or invalid */

/* ---- Port and error --------------------------------------------------- */

/* Opens the serial port (any open port is closed first, even if this open
 * fails). path: "ttyUSB0", "/dev/ttyUSB0" or "\\.\ttyUSB0"; on Windows
 * "COM3" or "\\.\COM3"; under 260 characters. dataBits 5..8; parity
 * 0 none, 1 odd, 2 even, 3 mark, 4 space; stopBits 0 one, 1 one and a half (5 data bits only), 2 two; rtsControl
 * 0..3; ctsOutFlow, dsrOutFlow 0/1. readTimeoutMs bounds every read from
 * its start; 0 means no total limit: a read then waits for ever for its
 * first byte (and ends only at the gap after the last one), so a silent
 * module blocks the call until the port is closed from elsewhere or the
 * adapter is pulled.
 * Clears the error code. Failure reasons: PORT_NOT_FOUND, PORT_PERMISSION
 * (the detail gives the device's mode and owner), PORT_BUSY (the detail
 * names the holding process when it can be found), PORT_NOT_SERIAL,
 * PORT_SETTINGS, ARGUMENT (null, empty or too long a path). */
QRV_API int Q_OpenCom(const wchar_t *path, int baudRate, int dataBits, int parity,
                      int stopBits, int reserved, int rtsControl, int ctsOutFlow,
                      int dsrOutFlow, int readTimeoutMs);
/* Closes the port; cached records and the search list stay. Always 1.
 * Clears the error code and the calling thread's failure reason. Waits for
 * a running exchange to end; a lost port (QRV_FAIL_PORT_LOST) is usable
 * again only after Q_CloseCom (or another Q_OpenCom). */
QRV_API int Q_CloseCom(void);
/* 1 when the port is open (also when it was lost and not closed yet).
 * Error code untouched. Never waits. */
QRV_API int Q_ComCheckOpen(void);
/* The code recorded by the last function that records one. Never waits. */
QRV_API int Q_GetLastError(void);

/* ---- Local module ----------------------------------------------------- */

/* Reads the local module's identity (0xD1) and configuration (0xD2).
 * Clears the error code; 101 when the port is closed. */
QRV_API int Q_QRV_LoadInfo(void);
/* Q_QRV_LoadInfo, then copies the cached records out whatever its result
 * (7 and 57 bytes). */
QRV_API int Q_QRV_GetPropertyAll(ModuleBase *base, ModuleProperty *property);
/* Takes 57 bytes as the record the next submit sends. The first pointer is
 * ignored. Always 1; error code untouched. */
QRV_API int Q_QRV_SetLocalPropertyAll(const ModuleBase *ignored, const ModuleProperty *property);
/* Copies property `number` (1..18) of the record last read or submitted.
 * Text (1, 2) needs size > its length; numbers 5, 6, 7, 11 write 2 bytes,
 * the others 1. Clears the code; 102 not loaded, 16 too small, 17 number. */
QRV_API int Q_QRV_GetProperty(int number, void *destination, int size);
/* Accepted when loaded (1) and changes nothing; 102 when not loaded. */
QRV_API int Q_QRV_SetProperty(int number, const void *value, int size);
/* Writes the pending record (0xD3) and restarts the module (0xD7); later
 * local frames use the record's LocalAddr. Clears the code; 102 not loaded. */
QRV_API int Q_QRV_SubmitInfo(void);
/* Restarts the local module (0xD7 to the cached LocalAddr). Code untouched.
 * No answer comes: 1 once the frame is written, also when the adapter is
 * lost during the 400 ms pause after it (the next call then fails with
 * QRV_FAIL_PORT_LOST). */
QRV_API int Q_QRV_ResetDev(void);
/* Restores factory settings (0xDB) and restarts; afterwards a load is
 * needed. Code untouched. */
QRV_API int Q_QRV_ResetToDefault(void);

/* ---- Search ----------------------------------------------------------- */

/* Tunes the local radio to channel/rate (0 250K, 1 500K, 2 1M), asks every
 * module there to answer, appends the new ones and tunes back. 1 when at
 * least one entry was added. Clears the code. Ends three reads after the
 * last new answer, and at the latest 30 s after the search frame (plus
 * three read time-outs); a module repeating its answer does not extend it.
 * The failure detail says how it ended, also on success; finding nothing
 * is QRV_FAIL_NO_ANSWER with the channel and rate. */
QRV_API int Q_QRV_SearchDev(int channel, int rate);
/* As Q_QRV_SearchDev for one address (low 16 bits). */
QRV_API int Q_QRV_SearchDevByAddr(int channel, int rate, int address);
/* Empties the search list. Clears the code. Safe against a concurrent
 * search, count or base copy. */
QRV_API void Q_QRV_ClearSearchArr(void);
/* Number of entries. Clears the code. Safe from another thread. */
QRV_API int Q_QRV_GetSearchDevCount(void);
/* Does nothing; always 0. */
QRV_API int Q_QRV_GetSerarchDevProperty(int index, int number, void *destination, int size);
/* Copies entry `index`'s identity (7 bytes); 0 and nothing written when the
 * index is out of range. Code untouched. Safe from another thread. */
QRV_API int Q_QRV_GetRemoteDevBase(ModuleBase *base, int index);

/* ---- Far modules (by search-entry index) -------------------------------
 * All clear the code and set 105 for a bad index, except
 * Q_QRV_SetRemotePropertyAll, which leaves it alone. */

/* Reads the entry's configuration over the air. The radio stays on the
 * entry's channel afterwards. */
QRV_API int Q_QRV_LoadRemoteDevInfo(int index);
/* Q_QRV_LoadRemoteDevInfo, then copies the entry's record (57 bytes). */
QRV_API int Q_QRV_GetRemoteDevPropertyAll(ModuleProperty *property, int index);
/* As Q_QRV_GetProperty on the entry's record; 102 when not read yet. */
QRV_API int Q_QRV_GetRemoteDevProperty(int index, int number, void *destination, int size);
/* As Q_QRV_SetProperty on the entry's pending record. */
QRV_API int Q_QRV_SetRemoteDevProperty(int index, int number, const void *value, int size);
/* Takes 57 bytes as the record the entry's next submit sends. */
QRV_API int Q_QRV_SetRemotePropertyAll(const ModuleProperty *property, int index);
/* Writes the pending record and restarts the module; the entry then follows
 * the module to its new address, channel and rate. */
QRV_API int Q_QRV_SubmitRemoteDevInfo(int index);
/* Restarts the far module. */
QRV_API int Q_QRV_ResetRemoteDev(int index);
/* Restores the far module's factory settings and restarts it. */
QRV_API int Q_QRV_ResetRemoteToDefault(int index);

/* ---- Wireless IO and AD ----------------------------------------------
 * Bits 0..3 are lines 1..4. None touches the error code. */

QRV_API int Q_QRV_SetIODirAllLocal(int directions);
QRV_API int Q_QRV_SetIODirAllRemote(int index, int directions);
QRV_API int Q_QRV_SetIOValueLocal(int outputs);
QRV_API int Q_QRV_SetIOValueRemote(int index, int outputs);
/* Reads the line byte into *value (length ignored). 1/0. */
QRV_API uint8_t Q_QRV_GetIOvalueLocal(uint8_t *value, int length);
QRV_API uint8_t Q_QRV_GetIOvalueRemote(int index, uint8_t *value, int length);
/* Reads four analogue values into 8 bytes, each big-endian, channel 1
 * first, in millivolts (length ignored). 1/0. */
QRV_API uint16_t Q_QRV_GetADvalueLocal(uint8_t *values, int length);
QRV_API uint16_t Q_QRV_GetADvalueRemote(int index, uint8_t *values, int length);

/* ---- Firmware --------------------------------------------------------- */

/* Upgrades the module at `address` on the radio's current channel from a
 * .bin image. runState 0x55 (boot loader running) skips the prepare step.
 * The whole image is checked before anything is sent; only a regular file
 * is read (a FIFO, device or directory is refused at once). A refused image
 * is reported through the message handler (failure reason QRV_FAIL_IMAGE).
 * The progress handler hears of each acknowledged block. Blocks for the
 * whole upgrade. Error code untouched. */
QRV_API int Q_QRV_UpdateWithFileNameLocal(const wchar_t *path, int runState, int address,
                                          int devType);
/* Does nothing; always 0. */
QRV_API int Q_QRV_UpdateWithFileNameRemote(int a, int b, int c, int d, int e);

/* Message kinds passed to the message handler: the icon a host shows. */
#define Q_MSG_PLAIN 0
#define Q_MSG_INFORMATION 1
#define Q_MSG_WARNING 2
#define Q_MSG_ERROR 3

/* Receives the library's user-facing messages (UTF-8), on the thread of the
 * call that raised them; the call waits until the handler returns. */
typedef void (*Q_MessageHandler)(int kind, const char *text, void *user);
/* Registers the handler (NULL: messages go to standard error). Safe while
 * an upgrade runs; see "Handlers" at the top. */
QRV_API void Q_SetMessageHandler(Q_MessageHandler handler, void *user);

/* ---- Why, traffic, progress, version ---------------------------------- */

/* The reason (QRV_FAIL_*) of the calling thread's last call that could fail.
 * detail: when not NULL, receives one English UTF-8 line naming the facts
 * (the port path and the system's message for port failures; the holding
 * process of a busy port; command and status byte of a refusal; command,
 * port and baud rate of a silence), NUL-terminated and cut at a character
 * boundary to fit detailSize bytes. The caller owns the buffer. Never
 * waits; touches nothing. */
QRV_API int32_t Q_GetLastFailure(char *detail, int32_t detailSize);
/* errno of the system call behind the calling thread's last failure
 * (GetLastError() on Windows); 0 when none was involved. */
QRV_API int32_t Q_GetLastOsError(void);

/* The facts of the calling thread's last failure as fields, for programs
 * that write their own sentences (in their own language) rather than show
 * Q_GetLastFailure's English line. A field the failing layer did not know
 * keeps its "unknown" value: "" for texts, 0 for holderPid, baudRate,
 * timeoutMs and mode, -1 for command, status, ownerUid and groupGid. Texts
 * are UTF-8, NUL-terminated, cut at a character boundary. Later versions
 * only append fields: set `size` to sizeof(QRV_FAILURE_INFO) before the
 * call. */
typedef struct QRV_FAILURE_INFO {
    uint32_t size;           /* in: the caller's sizeof; out: bytes filled */
    int32_t reason;          /* QRV_FAIL_*, as Q_GetLastFailure returns it */
    int32_t osError;         /* as Q_GetLastOsError */
    char path[260];          /* the port concerned */
    int32_t holderPid;       /* QRV_FAIL_PORT_BUSY: the process holding the port */
    char holderProgram[64];  /* its command name ("minicom") */
    uint32_t baudRate;       /* the line's rate (no answer, settings refused) */
    uint32_t timeoutMs;      /* the read time-out that ran out */
    int32_t command;         /* command byte of the request */
    int32_t status;          /* status byte of a refusal (QRV_FAIL_REFUSED) */
    int32_t ownerUid;        /* QRV_FAIL_PORT_PERMISSION: the device's owner, */
    int32_t groupGid;        /*   its group */
    uint32_t mode;           /*   and its permission bits (0660) */
    char ownerName[64];
    char groupName[64];
} QRV_FAILURE_INFO;

/* Fills *info with the facts of the calling thread's last failure, up to
 * info->size bytes (a caller built against an older, shorter structure gets
 * what it knows of), and returns the reason. -1 and nothing written when
 * info is NULL or info->size is smaller than the size, reason and osError
 * fields. Never waits; touches nothing else. */
QRV_API int32_t Q_GetLastFailureInfo(QRV_FAILURE_INFO *info);

/* Receives the line's traffic: every request as written (direction 0) and
 * the bytes of every read as they arrived (direction 1; one call per read,
 * none for a read that got nothing), with a monotonic timestamp in
 * microseconds. Called on the thread of the exchange, which waits for it:
 * a handler should only queue what it got. bytes is valid during the call. */
typedef void (*Q_TraceHandler)(void *user, int32_t direction /* 0 written, 1 read */,
                               const uint8_t *bytes, int32_t length, uint64_t microseconds /* monotonic */);
/* Registers the trace handler; NULL removes it. Setting QRVLINK_TRACE=stderr
 * (or =PATH, appended to) in the environment before the library loads writes
 * the same traffic as decoded lines, with no handler. */
QRV_API void Q_SetTraceHandler(Q_TraceHandler handler, void *user);

/* One English line for a frame (command name, address, fields), e.g.
 * "tune-radio channel=26 rate=1M", into text (NUL-terminated, cut to fit
 * textSize bytes; the caller owns it). 1 when bytes are exactly one complete
 * frame of the command table (a 0xD2 record answer, which has no end byte:
 * 63 bytes up to the 1024-byte answer buffer); 0 otherwise, the line then saying what was
 * recognised ("partial ...", "unrecognised 3 bytes"), or nothing at all when
 * text is NULL or textSize is not positive. A pure function: any thread,
 * also inside a trace handler; leaves the failure reason alone. */
QRV_API int32_t Q_DescribeFrame(const uint8_t *bytes, int32_t length, char *text, int32_t textSize);

/* "MAJOR.MINOR.PATCH" of the library (static storage). */
QRV_API const char *Q_GetVersion(void);

/* Receives a firmware upgrade's progress: called after each acknowledged
 * block with done of total blocks, on the upgrading thread. */
typedef void (*Q_ProgressHandler)(void *user, int32_t done, int32_t total);
/* Registers the progress handler; NULL removes it. Safe while an upgrade
 * runs; see "Handlers" at the top. */
QRV_API void Q_SetProgressHandler(Q_ProgressHandler handler, void *user);

/* ---- The fields of ModuleProperty ------------------------------------
 * One table, inside the library, says what every field of the record may
 * hold; the command line, the configurator, the Python package and the
 * simulator take their rules from it. Rows 0..Q_FieldCount()-1: first the
 * writable fields in the order tables list them (the password last), then
 * the reserved byte and the read-only tail. Pure functions over static
 * data: any thread, also inside a handler; they leave the failure reason
 * alone. The SDK's own exports do not check a record against the table. */
#define QRV_FIELD_TEXT   0  /* GBK text, at most Max bytes (15) */
#define QRV_FIELD_NUMBER 1  /* the record holds a number in Min..Max */
#define QRV_FIELD_NAMED  2  /* a code per name: "1M", "even", "host" */
#define QRV_FIELD_CODED  3  /* a code per number: 115200 baud is 7, -5 dBm is 0x0B */

#define QRV_FIELD_WRITABLE 0x1u /* a user sets it (bytes 0..51, not the reserved byte) */
#define QRV_FIELD_HEX      0x2u /* shown in hexadecimal */
#define QRV_FIELD_FAR      0x4u /* a far module's record carries it too */

/* One named or coded value (static storage). */
typedef struct QrvFieldChoice {
    const char *Name;  /* "1M", "even", "115200", "-5" */
    int64_t Number;    /* coded: the value it stands for (115200, -5); named: the code */
    uint32_t Code;     /* what the record holds */
} QrvFieldChoice;

/* One field. Size comes first and is set by the caller (sizeof); the
 * library fills no byte beyond it, so later versions may grow the struct.
 * Strings and Choices are static storage of the library. */
typedef struct QrvFieldInfo {
    uint32_t Size;
    const char *Name;              /* as qrvctl spells it: "retry-count" */
    int32_t Property;              /* number for Q_QRV_GetProperty; 0: read-only tail */
    uint32_t Offset;               /* in ModuleProperty */
    uint32_t Bytes;                /* 1, 2 or 16 */
    int32_t Kind;                  /* QRV_FIELD_TEXT .. QRV_FIELD_CODED */
    uint32_t Flags;                /* QRV_FIELD_WRITABLE | _HEX | _FAR */
    int64_t Min, Max;              /* number: the range; text: 0 and the most bytes */
    const QrvFieldChoice *Choices; /* named and coded; NULL otherwise */
    int32_t ChoiceCount;
    const char *Unit;              /* "ms", "dBm" or "" */
    const char *About;             /* one English line */
} QrvFieldInfo;

/* The number of rows. */
QRV_API int32_t Q_FieldCount(void);
/* Row index into *info (info->Size set by the caller, at least 4). 1 when
 * filled; 0 for an index out of range, a NULL info or a Size below 4. */
QRV_API int32_t Q_FieldInfo(int32_t index, QrvFieldInfo *info);
/* The row called name ("channel"), or -1. */
QRV_API int32_t Q_FieldFind(const char *name);
/* 1 when the record may hold value in the field of row index (for named and
 * coded fields the code, e.g. 7 for 115200 baud); 0 otherwise, for a text
 * field and for an index out of range. */
QRV_API int32_t Q_FieldCheck(int32_t index, int64_t value);
/* 1 when length bytes of module text (GBK) may be stored in the text field
 * of row index: at most 15 bytes, no NUL and no control character. */
QRV_API int32_t Q_FieldCheckText(int32_t index, const char *text, int32_t length);

/* ---- One lock across several calls ------------------------------------
 * Holds the default context's exchange lock until the matching unlock, so
 * a read -> change -> submit from this thread runs whole: other threads'
 * exchanges wait (in the order they came), while this thread's own calls go
 * straight through. Pairs nest. Q_LockExchanges returns 0 (QRV_FAIL_ARGUMENT)
 * when called from a handler inside this thread's exchange; Q_UnlockExchanges
 * returns 0 when this thread does not hold the lock. Quick queries (count,
 * base copy, error, handler setters) never wait for it. Error code
 * untouched. */
QRV_API int Q_LockExchanges(void);
QRV_API int Q_UnlockExchanges(void);

/* ---- Contexts ----------------------------------------------------------
 * A context is the whole state of one port: the serial link, the local
 * module's records, the search list, the error code, the handlers and the
 * exchange lock. Each Q_Ctx function takes the context first and otherwise
 * has the arguments, results, error codes, waits and frames of the flat
 * function of the same name without "Ctx"; the flat functions use one
 * default context that lives as long as the library. Contexts are
 * independent: calls on two contexts run at the same time on two threads.
 *
 * - Q_CtxGetLastError reads the context's own code. Q_GetLastFailure and
 *   Q_GetLastOsError stay per thread: the last call on this thread,
 *   whatever its context.
 * - A handler may call into another context; a call from a handler into
 *   the context whose exchange is running is refused (QRV_FAIL_ARGUMENT).
 * - A null context: functions return 0 (nothing for void ones) and set
 *   QRV_FAIL_ARGUMENT.
 * - QRVLINK_TRACE lines name the port after the timestamp, so the traffic
 *   of several contexts in one file can be told apart. */
typedef struct QRV_CTX QRV_CTX;

/* A new context with its port closed; NULL when out of memory. */
QRV_API QRV_CTX *Q_CtxNew(void);
/* Frees the context: waits for the calls running on it from other threads
 * (a call waiting for its lock is let through first), closes its port and
 * releases everything. A lock this thread holds (Q_CtxLock) is released.
 * Calls that start while it waits fail (QRV_FAIL_ARGUMENT); calls after it
 * returns are the caller's error. Ignored for NULL and when called from a
 * handler inside one of the context's own exchanges. */
QRV_API void Q_CtxFree(QRV_CTX *ctx);
/* Q_LockExchanges / Q_UnlockExchanges on one context. */
QRV_API int Q_CtxLock(QRV_CTX *ctx);
QRV_API int Q_CtxUnlock(QRV_CTX *ctx);

QRV_API int Q_CtxOpenCom(QRV_CTX *ctx, const wchar_t *path, int baudRate, int dataBits, int parity,
                         int stopBits, int reserved, int rtsControl, int ctsOutFlow,
                         int dsrOutFlow, int readTimeoutMs);
QRV_API int Q_CtxCloseCom(QRV_CTX *ctx);
QRV_API int Q_CtxComCheckOpen(QRV_CTX *ctx);
QRV_API int Q_CtxGetLastError(QRV_CTX *ctx);

QRV_API int Q_CtxQRV_LoadInfo(QRV_CTX *ctx);
QRV_API int Q_CtxQRV_GetPropertyAll(QRV_CTX *ctx, ModuleBase *base, ModuleProperty *property);
QRV_API int Q_CtxQRV_SetLocalPropertyAll(QRV_CTX *ctx, const ModuleBase *ignored,
                                         const ModuleProperty *property);
QRV_API int Q_CtxQRV_GetProperty(QRV_CTX *ctx, int number, void *destination, int size);
QRV_API int Q_CtxQRV_SetProperty(QRV_CTX *ctx, int number, const void *value, int size);
QRV_API int Q_CtxQRV_SubmitInfo(QRV_CTX *ctx);
QRV_API int Q_CtxQRV_ResetDev(QRV_CTX *ctx);
QRV_API int Q_CtxQRV_ResetToDefault(QRV_CTX *ctx);

QRV_API int Q_CtxQRV_SearchDev(QRV_CTX *ctx, int channel, int rate);
QRV_API int Q_CtxQRV_SearchDevByAddr(QRV_CTX *ctx, int channel, int rate, int address);
QRV_API void Q_CtxQRV_ClearSearchArr(QRV_CTX *ctx);
QRV_API int Q_CtxQRV_GetSearchDevCount(QRV_CTX *ctx);
QRV_API int Q_CtxQRV_GetRemoteDevBase(QRV_CTX *ctx, ModuleBase *base, int index);

QRV_API int Q_CtxQRV_LoadRemoteDevInfo(QRV_CTX *ctx, int index);
QRV_API int Q_CtxQRV_GetRemoteDevPropertyAll(QRV_CTX *ctx, ModuleProperty *property, int index);
QRV_API int Q_CtxQRV_GetRemoteDevProperty(QRV_CTX *ctx, int index, int number, void *destination,
                                          int size);
QRV_API int Q_CtxQRV_SetRemoteDevProperty(QRV_CTX *ctx, int index, int number, const void *value,
                                          int size);
QRV_API int Q_CtxQRV_SetRemotePropertyAll(QRV_CTX *ctx, const ModuleProperty *property, int index);
QRV_API int Q_CtxQRV_SubmitRemoteDevInfo(QRV_CTX *ctx, int index);
QRV_API int Q_CtxQRV_ResetRemoteDev(QRV_CTX *ctx, int index);
QRV_API int Q_CtxQRV_ResetRemoteToDefault(QRV_CTX *ctx, int index);

QRV_API int Q_CtxQRV_SetIODirAllLocal(QRV_CTX *ctx, int directions);
QRV_API int Q_CtxQRV_SetIODirAllRemote(QRV_CTX *ctx, int index, int directions);
QRV_API int Q_CtxQRV_SetIOValueLocal(QRV_CTX *ctx, int outputs);
QRV_API int Q_CtxQRV_SetIOValueRemote(QRV_CTX *ctx, int index, int outputs);
QRV_API uint8_t Q_CtxQRV_GetIOvalueLocal(QRV_CTX *ctx, uint8_t *value, int length);
QRV_API uint8_t Q_CtxQRV_GetIOvalueRemote(QRV_CTX *ctx, int index, uint8_t *value, int length);
QRV_API uint16_t Q_CtxQRV_GetADvalueLocal(QRV_CTX *ctx, uint8_t *values, int length);
QRV_API uint16_t Q_CtxQRV_GetADvalueRemote(QRV_CTX *ctx, int index, uint8_t *values, int length);

QRV_API int Q_CtxQRV_UpdateWithFileNameLocal(QRV_CTX *ctx, const wchar_t *path, int runState,
                                             int address, int devType);

QRV_API void Q_CtxSetMessageHandler(QRV_CTX *ctx, Q_MessageHandler handler, void *user);
QRV_API void Q_CtxSetTraceHandler(QRV_CTX *ctx, Q_TraceHandler handler, void *user);
QRV_API void Q_CtxSetProgressHandler(QRV_CTX *ctx, Q_ProgressHandler handler, void *user);

/* Tolerant reads, off by default. A read ends at the first gap longer than
 * the read interval (40 character times); a USB adapter that delivers an
 * answer in packets with its latency timer between them (FTDI: 16 ms) makes
 * such gaps inside one answer. With on != 0 a read that ended short of the
 * answer's known length reads on until that length has arrived or the read
 * time-out (since the read began) has passed; whole answers cost nothing
 * more. The searches' reads are unchanged. Setting QRVLINK_TOLERANT_READS=1
 * in the environment before the library loads turns it on. Returns the
 * setting before the call (0 or 1). Any thread; takes effect at the next
 * read. */
QRV_API int Q_SetTolerantReads(int on);
/* The same on one context. */
QRV_API int Q_CtxSetTolerantReads(QRV_CTX *ctx, int on);

/* ---- Far modules at the fewest exchanges -------------------------------
 * Lazy tuning, off by default. Every far operation tunes the local radio to
 * the module's channel and rate before its frame and (except a far read)
 * back to the local module's own pair after it: two tuning exchanges of
 * 100 ms each, even when the far module lives on the local pair. With
 * on != 0 the library remembers the pair it left the radio on and skips a
 * tuning to that very pair; the frames sent are otherwise the same. The
 * pair is known after an acknowledged tuning, and after a read of the local
 * record (Q_QRV_LoadInfo, Q_QRV_GetPropertyAll) while nothing better is
 * known: a module that nobody has tuned away listens on its own pair.
 * Opening or closing the port, and restarting or upgrading the local
 * module, forget it. A program that turns it on brings the radio home
 * (Q_QRV_TuneHome) before it lets go of the port, so that the next program
 * finds the module where its record says. Returns the setting before the
 * call (0 or 1). Any thread; takes effect at the next tuning. */
QRV_API int Q_SetLazyTuning(int on);
/* The same on one context. */
QRV_API int Q_CtxSetLazyTuning(QRV_CTX *ctx, int on);
/* Tunes the local radio back to the local module's own channel and rate
 * (0xD4, 100 ms), as every far operation but the read does at its end;
 * with lazy tuning nothing is sent when the radio is known to be there.
 * 1 acknowledged (or already home); 0 otherwise. Clears the code; 102 when
 * the local record has not been read (its pair is not known). */
QRV_API int Q_QRV_TuneHome(void);
QRV_API int Q_CtxQRV_TuneHome(QRV_CTX *ctx);

#ifdef __cplusplus
}
#endif

#endif /* QRVLINK_H */
