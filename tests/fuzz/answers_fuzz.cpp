// Every answer check and record conversion on arbitrary line bytes: a check
// never reads past what arrived, reports the length it saw, writes its
// outputs only when it accepts, accepts only the length the command table
// gives its answer, and what it accepts converts back to the bytes it came
// from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "protocol/commands.h"
#include "protocol/frames.h"
#include "records/module_records.h"

using namespace qrv;
using namespace qrv::protocol;

namespace {

void Require(bool holds) {
    if (!holds) std::abort();
}

// The verdict's own consistency, and the output left alone on a refusal.
template <typename Out>
void Judged(const Verdict& verdict, const Answer& rx, const Out& out, const Out& before) {
    Require(verdict.length == rx.size);
    Require(verdict.Ok() == (verdict.why == Refusal::None));
    if (!verdict.Ok()) Require(std::memcmp(&out, &before, sizeof out) == 0);
}

template <typename Parse, typename Out>
void Parsed(const Answer& rx, Parse parse, Out& out) {
    std::memset(&out, 0x5A, sizeof out);
    Out before;
    std::memcpy(&before, &out, sizeof out);
    Judged(parse(rx, out), rx, out, before);
}

void Checked(const Answer& rx, const Verdict& verdict) { Require(verdict.length == rx.size); }

// The answer's length as the protocol defines it, taken from the command
// table rather than from the checks: exactly its answer length, except the
// record answer (no end byte: at least its length) and the tune and block
// acknowledgements, whose length is not examined beyond their status byte.
void LengthRule(CommandKey key, const Answer& rx, const Verdict& verdict) {
    if (!verdict.Ok()) return;
    const CommandInfo* info = FindCommand(key);
    Require(info != nullptr && info->answerLength != 0);
    if (key == ConfigKey(kCmdReadProperty)) {
        Require(rx.size >= info->answerLength);
    } else if (key == ConfigKey(kCmdTuneRadio) || key == ConfigKey(kCmdFirmwareBlock)) {
        Require(info->statusAt && rx.size > *info->statusAt);
    } else {
        Require(rx.size == info->answerLength);
    }
}

// The record round trip and every numbered property into a buffer of just
// the size the caller claimed (numbers always write their 1 or 2 bytes).
void Records(const std::uint8_t* wire, std::size_t size) {
    if (size < kPropertySize) return;
    const ModuleProperty record = PropertyFromWire(wire);
    std::uint8_t back[kPropertySize];
    PropertyToWire(record, back);
    Require(std::memcmp(back, wire, kPropertySize) == 0);
    const int claimed = size > kPropertySize ? wire[kPropertySize] % 24 : 0;
    for (int number = -1; number <= kLastPropertyNumber + 1; ++number) {
        std::vector<std::uint8_t> destination(static_cast<std::size_t>(claimed < 2 ? 2 : claimed));
        const int result = GetPropertyByNumber(record, number, destination.data(), claimed);
        Require(result == kPropertyOk || result == kPropertyTextTooLong || result == kPropertyNoSuchNumber);
        // A numbered write is accepted and changes nothing.
        ModuleProperty written = record;
        Require(SetPropertyByNumber(number, destination.data(), claimed, written) == kPropertyOk);
        Require(std::memcmp(&written, &record, sizeof record) == 0);
        if (number == 1 || number == 2) {
            const char(&field)[kTextFieldSize] = number == 1 ? record.DevName : record.Password;
            Require((result == kPropertyOk) == (BoundedTextLength(field) < static_cast<std::size_t>(claimed)));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly `size` bytes, so that ASan sees any read past them.
    const std::vector<std::uint8_t> bytes(data, data + size);
    const Answer rx{bytes.data(), bytes.size()};
    // The block acknowledgement is judged against its own echo, so that a
    // sound one passes and mutations reach each of its checks.
    const std::uint16_t addr = size >= 4 ? static_cast<std::uint16_t>(data[2] << 8 | data[3]) : 0;
    const std::uint16_t offset = size >= 6 ? static_cast<std::uint16_t>(data[4] << 8 | data[5]) : 0;

    ModuleBase base;
    Parsed(rx, [](Answer a, ModuleBase& o) { return ParseBaseInfoAnswer(a, o); }, base);
    Parsed(rx, [](Answer a, ModuleBase& o) { return ParseSearchAnswer(a, kCmdSearchBroadcast, o); }, base);
    Parsed(rx, [](Answer a, ModuleBase& o) { return ParseSearchAnswer(a, kCmdSearchByAddr, o); }, base);
    ModuleProperty property;
    Parsed(rx, [](Answer a, ModuleProperty& o) { return ParsePropertyAnswer(a, o); }, property);
    std::uint8_t lines;
    Parsed(rx, [](Answer a, std::uint8_t& o) { return ParseIoInputsAnswer(a, o); }, lines);
    std::uint8_t block[kAdBlockSize];
    Parsed(rx, [](Answer a, std::uint8_t(&o)[kAdBlockSize]) { return ParseAdAnswer(a, o); }, block);

    if (ParsePropertyAnswer(rx, property).Ok()) {
        std::uint8_t wire[kPropertySize];
        PropertyToWire(property, wire);
        Require(std::memcmp(wire, bytes.data() + kAnswerPropertyOffset, kPropertySize) == 0);
    }
    if (ParseAdAnswer(rx, block).Ok()) Require(std::memcmp(block, bytes.data() + kAdBlockAt, kAdBlockSize) == 0);

    // Each check against its command's length rule.
    ModuleBase b;
    ModuleProperty p;
    std::uint8_t l;
    std::uint8_t a[kAdBlockSize];
    LengthRule(ConfigKey(kCmdReadBaseInfo), rx, ParseBaseInfoAnswer(rx, b));
    LengthRule(ConfigKey(kCmdSearchBroadcast), rx, ParseSearchAnswer(rx, kCmdSearchBroadcast, b));
    LengthRule(ConfigKey(kCmdSearchByAddr), rx, ParseSearchAnswer(rx, kCmdSearchByAddr, b));
    LengthRule(ConfigKey(kCmdReadProperty), rx, ParsePropertyAnswer(rx, p));
    LengthRule(ConfigKey(kCmdWriteProperty), rx, CheckWritePropertyAnswer(rx));
    LengthRule(ConfigKey(kCmdTuneRadio), rx, CheckTuneAnswer(rx));
    LengthRule(ConfigKey(kCmdEnterUpdate), rx, CheckUpdateStepAnswer(rx));
    LengthRule(ConfigKey(kCmdFirmwareBlock), rx, CheckFirmwareBlockAnswer(rx, addr, offset));
    LengthRule(ConfigKey(kCmdFactoryReset), rx, CheckFactoryResetAnswer(rx));
    LengthRule(IoKey(kIoCmdSetDirections), rx, CheckIoSetDirectionsAnswer(rx, true));
    LengthRule(IoKey(kIoCmdSetDirections), rx, CheckIoSetDirectionsAnswer(rx, false));
    LengthRule(IoKey(kIoCmdSetOutputs), rx, CheckIoSetOutputsAnswer(rx));
    LengthRule(IoKey(kIoCmdReadInputs), rx, ParseIoInputsAnswer(rx, l));
    LengthRule(IoKey(kIoCmdReadAd), rx, ParseAdAnswer(rx, a));

    Checked(rx, CheckWritePropertyAnswer(rx));
    Checked(rx, CheckTuneAnswer(rx));
    Checked(rx, CheckUpdateStepAnswer(rx));
    Checked(rx, CheckFirmwareBlockAnswer(rx, addr, offset));
    Checked(rx, CheckFactoryResetAnswer(rx));
    Checked(rx, CheckIoSetDirectionsAnswer(rx, true));
    Checked(rx, CheckIoSetDirectionsAnswer(rx, false));
    Checked(rx, CheckIoSetOutputsAnswer(rx));
    Records(bytes.data(), bytes.size());
    return 0;
}
