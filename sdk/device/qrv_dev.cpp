// The device's links to the line: send, receive, pause, and the judging of
// answers into outcomes that name the command and the facts.
#include "device/qrv_dev.h"

namespace qrv {

using namespace protocol;

bool PortWaits::Pause(std::uint32_t milliseconds) { return port_.Sleep(milliseconds); }

CQRVDev::CQRVDev(SerialPort& port, Waits& waits) : port_(port), waits_(waits) {}

Outcome BadIndex(int index, int count) {
    return Failure(Reason::BadIndex, Printf("no search entry %d; the list holds %d", index, count));
}

Outcome CQRVDev::PortClosed() const { return Failure(Reason::PortNotOpen, "the port is not open"); }

Outcome CQRVDev::Send(const Frame& frame) {
    sendFault_ = {};
    std::uint32_t written = 0;
    const int ok = port_.Write(frame.data(), static_cast<std::uint32_t>(frame.size), written);
    if (ok == 0 || written < frame.size) sendFault_ = port_.LastFault();
    return ok != 0 ? Success() : sendFault_;
}

CQRVDev::Reply CQRVDev::Receive(std::size_t capacity) {
    if (capacity > rx_.size()) capacity = rx_.size();
    std::uint32_t received = 0;
    // A failed read may still have brought bytes; the answer is judged on
    // what arrived only when the read itself succeeded.
    if (port_.Read(rx_.data(), static_cast<std::uint32_t>(capacity), received) == 0)
        return Reply{Answer{rx_.data(), 0}, port_.LastFault()};
    return Reply{Answer{rx_.data(), received}, Success()};
}

Outcome CQRVDev::Pause(std::uint32_t milliseconds) {
    if (waits_.Pause(milliseconds)) return Success();
    return port_.LastFault();
}

FailureFacts CQRVDev::LineFacts(std::int32_t command) const {
    FailureFacts facts;
    facts.path = port_.DevicePath();
    facts.baudRate = port_.Settings().baudRate;
    facts.timeoutMs = port_.CurrentTimeouts().readTotalConstantMs;
    facts.command = command;
    return facts;
}

Outcome CQRVDev::Judge(CommandKey command, const Reply& reply, const Verdict& verdict) const {
    if (!reply.read.Ok()) return reply.read;
    if (verdict.Ok()) return Success();
    const std::string name = CommandName(command);
    FailureFacts facts = LineFacts(command.code);
    switch (verdict.why) {
        case Refusal::None:
            break;
        case Refusal::NoAnswer:
            // A request that never (fully) left explains the silence better.
            if (!sendFault_.Ok()) return sendFault_;
            return Failure(
                Reason::NoAnswer,
                Printf("%s: no answer on %s at %u baud within %u ms", name.c_str(), port_.DevicePath().c_str(),
                       port_.Settings().baudRate, port_.CurrentTimeouts().readTotalConstantMs),
                0, std::move(facts));
        case Refusal::Status:
            facts.status = static_cast<std::int32_t>(verdict.found & 0xFF);
            return Failure(Reason::Refused,
                           Printf("%s refused by the module: status 0x%02X", name.c_str(), verdict.found), 0,
                           std::move(facts));
        case Refusal::WrongLength:
            return Failure(Reason::BadAnswer,
                           Printf("%s answer of %zu bytes, expected %s%u", name.c_str(), verdict.length,
                                  verdict.atLeast ? "at least " : "", verdict.expected),
                           0, std::move(facts));
        case Refusal::WrongFraming:
            return Failure(
                Reason::BadAnswer,
                Printf("%s answer framed 0x%02X...0x%02X, expected 0x%02X...0x%02X", name.c_str(), verdict.found >> 8,
                       verdict.found & 0xFF, verdict.expected >> 8, verdict.expected & 0xFF),
                0, std::move(facts));
        case Refusal::WrongEcho:
            return Failure(Reason::BadAnswer,
                           Printf("%s answer echoes command 0x%02X, expected 0x%02X", name.c_str(), verdict.found,
                                  verdict.expected),
                           0, std::move(facts));
        case Refusal::WrongAddress:
            return Failure(
                Reason::BadAnswer,
                Printf("%s answer from address 0x%04X, expected 0x%04X", name.c_str(), verdict.found, verdict.expected),
                0, std::move(facts));
        case Refusal::WrongOffset:
            return Failure(
                Reason::BadAnswer,
                Printf("%s answer for offset 0x%04X, expected 0x%04X", name.c_str(), verdict.found, verdict.expected),
                0, std::move(facts));
    }
    return Failure(Reason::BadAnswer, name + " answer refused", 0, std::move(facts));
}

}  // namespace qrv
