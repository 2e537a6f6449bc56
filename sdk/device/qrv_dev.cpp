// The device's links to the line: send, receive, pause, and the judging of
// answers into outcomes that name the command and the facts.
#include "device/qrv_dev.h"

#include <chrono>

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

CQRVDev::Reply CQRVDev::Receive(CommandKey command) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point began = Clock::now();
    const Reply first = Receive();
    const CommandInfo* info = FindCommand(command);
    const std::size_t known = info != nullptr ? info->answerLength : 0;
    // Nothing came (the time-out has passed), the port failed, or the answer
    // is whole: nothing to wait for.
    if (!TolerantReads.load(std::memory_order_relaxed) || !first.read.Ok() || first.answer.size == 0 ||
        first.answer.size >= known)
        return first;
    // The read ended at a gap inside the answer: an adapter delivers its
    // packets with its latency timer between them. Read on for the rest,
    // until the read time-out since the first read began (none: as long as
    // it takes, as the first read would have waited).
    const std::uint32_t limitMs = port_.CurrentTimeouts().readTotalConstantMs;
    const Clock::time_point limit = began + std::chrono::milliseconds(limitMs);
    std::size_t have = first.answer.size;
    while (have < known && (limitMs == 0 || Clock::now() < limit)) {
        std::uint32_t more = 0;
        if (port_.Read(rx_.data() + have, static_cast<std::uint32_t>(known - have), more) == 0)
            return Reply{Answer{rx_.data(), 0}, port_.LastFault()};
        have += more;
    }
    return Reply{Answer{rx_.data(), have}, Success()};
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
