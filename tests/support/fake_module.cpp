#include "support/fake_module.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>

#include "protocol/protocol_constants.h"

namespace qrv::test {

namespace {

using namespace std::chrono_literals;
namespace proto = qrv::protocol;

// Without a recognisable frame, a request ends after this much silence.
constexpr auto kRequestQuiet = 5ms;
constexpr unsigned kBitsPerByte = 10;
constexpr std::size_t kWriteChunk = 256;

std::size_t ConfigRequestLength(std::uint8_t command) {
    switch (command) {
        case proto::kCmdReadBaseInfo:
            return proto::kLenReadBaseInfo;
        case proto::kCmdReadProperty:
            return proto::kLenReadProperty;
        case proto::kCmdWriteProperty:
            return proto::kLenWriteProperty;
        case proto::kCmdTuneRadio:
            return proto::kLenTuneRadio;
        case proto::kCmdSearchBroadcast:
            return proto::kLenSearchBroadcast;
        case proto::kCmdSearchByAddr:
            return proto::kLenSearchByAddr;
        case proto::kCmdResetModule:
        case proto::kCmdEnterUpdate:
        case proto::kCmdFinishUpdate:
        case proto::kCmdFactoryReset:
            return proto::kLenAddrTypeCommand;
        default:
            return 0;
    }
}

std::size_t IoRequestLength(std::uint8_t command) {
    switch (command) {
        case proto::kIoCmdSetDirections:
        case proto::kIoCmdSetOutputs:
            return proto::kLenIoWrite;
        case proto::kIoCmdReadInputs:
        case proto::kIoCmdReadAd:
            return proto::kLenIoRead;
        default:
            return 0;
    }
}

// Length of the complete request frame at the front of `bytes`; 0 while none
// is recognisable (yet).
std::size_t CompleteFrameLength(const Bytes& bytes) {
    if (bytes.size() < 2) return 0;
    const std::uint8_t start = bytes[0];
    const std::uint8_t command = bytes[1];
    if (start == proto::kConfigStart && command == proto::kCmdFirmwareBlock) {
        // Blocks of the first region end in A5, those of the second in A5 BA:
        // a first-region block is known only by the byte after it.
        const bool markerInPlace = bytes.size() >= proto::kLenBlockFirstRegion &&
                                   bytes[proto::kLenBlockFirstRegion - 1] == proto::kBlockMarker;
        if (!markerInPlace || bytes.size() == proto::kLenBlockFirstRegion) return 0;
        return bytes[proto::kLenBlockFirstRegion] == proto::kConfigEnd ? proto::kLenBlockSecondRegion
                                                                       : proto::kLenBlockFirstRegion;
    }
    std::size_t length = 0;
    std::uint8_t end = 0;
    if (start == proto::kConfigStart) {
        length = ConfigRequestLength(command);
        end = proto::kConfigEnd;
    } else if (start == proto::kIoStart) {
        length = IoRequestLength(command);
        end = proto::kIoEnd;
    }
    if (length == 0 || bytes.size() < length || bytes[length - 1] != end) return 0;
    return length;
}

timespec ToTimespec(FakeClock::duration duration) {
    const auto ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::max(duration, FakeClock::duration::zero()));
    return timespec{static_cast<time_t>(ns.count() / 1'000'000'000), static_cast<long>(ns.count() % 1'000'000'000)};
}

}  // namespace

FakeModule::FakeModule(int masterFd, std::uint32_t baudRate)
    : master_(masterFd),
      byteTime_(baudRate == 0 ? FakeClock::duration::zero()
                              : std::chrono::duration_cast<FakeClock::duration>(
                                    std::chrono::nanoseconds(1'000'000'000ull * kBitsPerByte / baudRate))) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::runtime_error(std::string("FakeModule: pipe2: ") + std::strerror(errno));
    }
    wakeRead_ = pipeEnds[0];
    wakeWrite_ = pipeEnds[1];
    thread_ = std::thread(&FakeModule::Run, this);
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return listening_; });
}

FakeModule::~FakeModule() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    Wake();
    thread_.join();
    close(wakeRead_);
    close(wakeWrite_);
}

void FakeModule::Expect(Bytes answer, Delivery delivery) {
    const std::size_t split =
        delivery.splitAt > 0 && delivery.splitAt < answer.size() ? delivery.splitAt : answer.size();
    std::vector<Piece> pieces(1);
    pieces[0].after = delivery.after;
    pieces[0].bytes = std::move(delivery.garbage);
    pieces[0].bytes.insert(pieces[0].bytes.end(), answer.begin(), answer.begin() + static_cast<std::ptrdiff_t>(split));
    if (split < answer.size()) {
        pieces.push_back(Piece{delivery.gap, Bytes(answer.begin() + static_cast<std::ptrdiff_t>(split), answer.end())});
    }
    ExpectPieces(std::move(pieces));
}

void FakeModule::ExpectSilence() { ExpectPieces({}); }

void FakeModule::ExpectPieces(std::vector<Piece> pieces) {
    std::lock_guard lock(mutex_);
    script_.push_back(std::move(pieces));
}

std::size_t FakeModule::PendingExpectations() const {
    std::lock_guard lock(mutex_);
    return script_.size();
}

void FakeModule::Send(Bytes bytes, std::chrono::milliseconds after) {
    {
        std::lock_guard lock(mutex_);
        ScheduleLocked({Piece{after, std::move(bytes)}}, FakeClock::now());
    }
    Wake();
}

std::vector<Request> FakeModule::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

bool FakeModule::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
}

bool FakeModule::WaitBytesReceived(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return received_ >= count; });
}

bool FakeModule::WaitOutputDone(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return output_.empty(); });
}

void FakeModule::ScheduleLocked(const std::vector<Piece>& pieces, FakeClock::time_point origin) {
    // A byte's due time is the end of its ten bit times; new output queues
    // behind what is still being sent.
    auto due = output_.empty() ? origin : std::max(origin, output_.back().due);
    for (const Piece& piece : pieces) {
        due += piece.after;
        for (const std::uint8_t value : piece.bytes) {
            due += byteTime_;
            output_.push_back(OutByte{due, value});
        }
    }
}

void FakeModule::RecordRequest(Bytes bytes, FakeClock::time_point time) {
    {
        std::lock_guard lock(mutex_);
        const bool scripted = !script_.empty();
        if (scripted) {
            ScheduleLocked(script_.front(), FakeClock::now());
            script_.pop_front();
        }
        requests_.push_back(Request{std::move(bytes), time, scripted});
    }
    changed_.notify_all();
}

void FakeModule::TakeRequests(FakeClock::time_point now) {
    while (const std::size_t length = CompleteFrameLength(incoming_)) {
        RecordRequest(Bytes(incoming_.begin(), incoming_.begin() + static_cast<std::ptrdiff_t>(length)),
                      incomingStart_);
        incoming_.erase(incoming_.begin(), incoming_.begin() + static_cast<std::ptrdiff_t>(length));
        // What followed came in the same read or later; the read's time is
        // the best estimate left.
        incomingStart_ = lastIncoming_;
    }
    if (!incoming_.empty() && now - lastIncoming_ >= kRequestQuiet) {
        RecordRequest(std::move(incoming_), incomingStart_);
        incoming_.clear();
    }
}

bool FakeModule::WriteDue(FakeClock::time_point now) {
    for (;;) {
        std::uint8_t chunk[kWriteChunk];
        std::size_t count = 0;
        {
            std::lock_guard lock(mutex_);
            while (count < kWriteChunk && count < output_.size() && output_[count].due <= now) {
                chunk[count] = output_[count].value;
                ++count;
            }
        }
        if (count == 0) return true;
        ssize_t written = 0;
        do {
            written = write(master_, chunk, count);
        } while (written < 0 && errno == EINTR);
        if (written < 0 && errno == EAGAIN) return false;
        // Any other failure: the line is gone; drop the bytes rather than spin.
        const std::size_t sent = written < 0 ? count : static_cast<std::size_t>(written);
        {
            std::lock_guard lock(mutex_);
            output_.erase(output_.begin(), output_.begin() + static_cast<std::ptrdiff_t>(sent));
        }
        changed_.notify_all();
        if (sent < count) return false;
    }
}

void FakeModule::Wake() {
    const std::uint8_t token = 1;
    // A full pipe already holds a wake-up; nothing is lost.
    [[maybe_unused]] const ssize_t ignored = write(wakeWrite_, &token, 1);
}

void FakeModule::Run() {
    {
        std::lock_guard lock(mutex_);
        listening_ = true;
    }
    changed_.notify_all();

    bool masterOpen = true;
    bool awaitWritable = false;
    for (;;) {
        std::optional<FakeClock::time_point> wakeAt;
        {
            std::lock_guard lock(mutex_);
            if (stopping_) return;
            if (!output_.empty() && !awaitWritable) wakeAt = output_.front().due;
        }
        if (!incoming_.empty()) {
            const auto quietEnd = lastIncoming_ + kRequestQuiet;
            wakeAt = wakeAt ? std::min(*wakeAt, quietEnd) : quietEnd;
        }

        pollfd fds[2] = {{wakeRead_, POLLIN, 0},
                         {master_, static_cast<short>(POLLIN | (awaitWritable ? POLLOUT : 0)), 0}};
        timespec timeout{};
        if (wakeAt) timeout = ToTimespec(*wakeAt - FakeClock::now());
        if (ppoll(fds, masterOpen ? 2 : 1, wakeAt ? &timeout : nullptr, nullptr) < 0 && errno != EINTR) return;

        if (fds[0].revents & POLLIN) {
            std::uint8_t drain[64];
            while (read(wakeRead_, drain, sizeof drain) > 0) {
            }
        }
        if (masterOpen && (fds[1].revents & POLLIN)) {
            std::uint8_t buffer[512];
            ssize_t count = 0;
            while ((count = read(master_, buffer, sizeof buffer)) > 0) {
                const auto arrived = FakeClock::now();
                if (incoming_.empty()) incomingStart_ = arrived;
                lastIncoming_ = arrived;
                incoming_.insert(incoming_.end(), buffer, buffer + count);
                {
                    std::lock_guard lock(mutex_);
                    received_ += static_cast<std::size_t>(count);
                }
                changed_.notify_all();
            }
        } else if (masterOpen && (fds[1].revents & (POLLERR | POLLHUP | POLLNVAL))) {
            masterOpen = false;
        }

        const auto now = FakeClock::now();
        TakeRequests(now);
        if (masterOpen) awaitWritable = !WriteDue(now);
    }
}

}  // namespace qrv::test
