// The two module records: byte order between host and wire, and the
// numbered property access behind Q_QRV_GetProperty and friends.
#pragma once

#include <cstddef>
#include <cstdint>

#include "qrvlink/qrvlink.h"

namespace qrv {

constexpr std::size_t kModuleBaseSize = sizeof(ModuleBase);
constexpr std::size_t kPropertySize = sizeof(ModuleProperty);
// Bytes 0..51 are what a module accepts in a write; 52..56 only come from it.
constexpr std::size_t kWritablePropertySize = 52;
constexpr std::size_t kTextFieldSize = 16;

// Numbered property results (shared with the SDK error codes 16 and 17).
constexpr int kPropertyOk = 0;
constexpr int kPropertyTextTooLong = Q_ERR_TEXT_TOO_LONG;
constexpr int kPropertyNoSuchNumber = Q_ERR_NO_SUCH_PROPERTY;
constexpr int kFirstPropertyNumber = 1;
constexpr int kLastPropertyNumber = 18;

// Run states and device types carried in the records.
constexpr std::uint8_t kRunStateBoot = 0x55;
constexpr std::uint8_t kRunStateUser = 0xAA;
constexpr std::uint16_t kDevTypeBoot = 0x0000;
constexpr std::uint16_t kDevTypeQrv = 0x0010;
constexpr std::uint16_t kDevTypeKorvanet = 0x0011;
constexpr std::uint16_t kDevTypeVlxIo = 0x0012;

std::uint16_t ReadBigEndian16(const std::uint8_t* bytes);
void WriteBigEndian16(std::uint8_t* bytes, std::uint16_t value);

// The 57-byte wire image of a record (16-bit fields high byte first) and back.
// Every 16-bit field converts, including the read-only DevType and FwVersion.
void PropertyToWire(const ModuleProperty& record, std::uint8_t* wire57);
ModuleProperty PropertyFromWire(const std::uint8_t* wire57);

// Length of a text field up to its NUL, never past the 16 bytes of the field.
std::size_t BoundedTextLength(const char (&field)[kTextFieldSize]);

// Copies property `number` of `record` to `destination`. Text needs more room
// than its length (the NUL goes along); numeric fields write their 1 or 2
// bytes whatever `size` says. Returns kPropertyOk, kPropertyTextTooLong or
// kPropertyNoSuchNumber; nothing is written on failure.
int GetPropertyByNumber(ModuleProperty record, int number, void* destination, int size);

// Accepts any property number and changes nothing: modules take their
// configuration only as a whole record (Q_QRV_SetLocalPropertyAll).
int SetPropertyByNumber(int number, const void* value, int size, ModuleProperty& record);

}  // namespace qrv
