/*
 * Qrvlink — SDK for 2.4 GHz radio modules on a serial port.
 *
 * A flat C interface over one process-wide state: one serial port, one
 * local module (the one on the port) and the list of far modules found by a
 * search. Every function is synchronous and blocks for the protocol's fixed
 * pauses and the port's read time-outs.
 *
 * Results: 1 for success and 0 for failure unless stated. The cause of the
 * last failure is read with Q_GetLastError(); only the causes listed under
 * "Error codes" are recorded. A missing or refused answer from a module
 * records nothing, so after a function that clears the code it reads 0.
 *
 * Threads: calls that talk to a module must never overlap; the caller
 * serialises them. Q_QRV_GetSearchDevCount, Q_QRV_GetRemoteDevBase and
 * Q_QRV_ClearSearchArr may run on another thread while a search appends.
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
#define QRVLINK_VERSION_MINOR 0
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

/* ---- Port and error --------------------------------------------------- */

/* Opens the serial port (any open port is closed first, even if this open
 * fails). path: "ttyUSB0", "/dev/ttyUSB0" or "\\.\ttyUSB0"; on Windows
 * "COM3" or "\\.\COM3"; under 260 characters. dataBits 5..8; parity
 * 0 none, 1 odd, 2 even, 3 mark, 4 space; stopBits 0 one, 1 one and a
 * half (5 data bits only), 2 two; rtsControl 0..3; ctsOutFlow, dsrOutFlow
 * 0/1; readTimeoutMs bounds every read.
 * Clears the error code. */
QRV_API int Q_OpenCom(const wchar_t *path, int baudRate, int dataBits, int parity,
                      int stopBits, int reserved, int rtsControl, int ctsOutFlow,
                      int dsrOutFlow, int readTimeoutMs);
/* Closes the port; cached records and the search list stay. Always 1.
 * Clears the error code. */
QRV_API int Q_CloseCom(void);
/* 1 when the port is open. Error code untouched. */
QRV_API int Q_ComCheckOpen(void);
/* The code recorded by the last function that records one. */
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
/* Restarts the local module (0xD7 to the cached LocalAddr). Code untouched. */
QRV_API int Q_QRV_ResetDev(void);
/* Restores factory settings (0xDB) and restarts; afterwards a load is
 * needed. Code untouched. */
QRV_API int Q_QRV_ResetToDefault(void);

/* ---- Search ----------------------------------------------------------- */

/* Tunes the local radio to channel/rate (0 250K, 1 500K, 2 1M), asks every
 * module there to answer, appends the new ones and tunes back. 1 when at
 * least one entry was added. Clears the code. */
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
 * The whole image is checked before anything is sent; a refused image is
 * reported through the message handler. Blocks for the whole upgrade.
 * Error code untouched. */
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
/* Registers the handler (NULL: messages go to standard error). */
QRV_API void Q_SetMessageHandler(Q_MessageHandler handler, void *user);

#ifdef __cplusplus
}
#endif

#endif /* QRVLINK_H */
