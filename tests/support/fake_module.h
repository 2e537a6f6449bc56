// FakeModule: a scripted radio module on the master end of a PtyPair, run on
// a thread of its own.
//
// It cuts what the port under test writes into request frames and records
// each with the arrival time of its first byte. Every request consumes the
// next entry of a script, in order: an answer (sent after a pause, possibly
// in pieces with pauses between them, possibly preceded by garbage) or
// silence. Requests beyond the script are recorded and left unanswered.
// Output is paced at the given baud rate, ten bits per byte, so that reads
// ending at a gap between bytes can be exercised; baud rate 0 sends every
// piece in one write.
//
//   PtyPair pty;
//   FakeModule fake(pty.MasterFd(), 9600);      // returns once it listens
//   fake.Expect({0xAB, 0xD1, ...});              // answer the first request
//   fake.Expect(answer, Delivery().After(20ms).Split(4, 60ms));
//   fake.ExpectSilence();                        // third request: no answer
//   ... run the code under test on pty.SlavePathWide() ...
//   ASSERT_TRUE(fake.WaitForRequests(3, 2s));
//   auto requests = fake.Requests();             // bytes + steady_clock time
//   EXPECT_GE(requests[1].time - requests[0].time, 100ms - 5ms);  // see Request::time
//
// Frames: a request ends when the bytes seen so far form a complete frame of
// the command table (AB cmd ... BA, AA cmd ... 55; the firmware block's two
// lengths are told apart by what follows), or else after 5 ms without a
// byte. Two frames arriving together are recorded as two requests.
//
// Lifetime: the PtyPair must outlive the FakeModule. The destructor stops and
// joins the thread; answers not yet sent are dropped. All members may be
// called from any thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace qrv::test {

using Bytes = std::vector<std::uint8_t>;
using FakeClock = std::chrono::steady_clock;

// How an answer goes out. All pauses are silence on the line: from the end
// of the request (or of the last byte sent) to the start of the next byte.
// Built by chaining: Delivery().After(20ms).Split(4, 60ms).Garbage({0x00}).
struct Delivery {
    std::chrono::milliseconds after{0};  // pause before the first byte
    std::size_t splitAt = 0;             // 0: one piece; else bytes [0, splitAt), pause, the rest
    std::chrono::milliseconds gap{0};    // the pause at splitAt
    Bytes garbage;                       // sent straight before the answer

    Delivery& After(std::chrono::milliseconds pause) {
        after = pause;
        return *this;
    }
    Delivery& Split(std::size_t at, std::chrono::milliseconds pause) {
        splitAt = at;
        gap = pause;
        return *this;
    }
    Delivery& Garbage(Bytes bytes) {
        garbage = std::move(bytes);
        return *this;
    }
};

// One burst of output and the silence before it.
struct Piece {
    std::chrono::milliseconds after{0};
    Bytes bytes;
};

struct Request {
    Bytes bytes;
    // When the thread read the first byte: a scheduling delay after the port
    // wrote it, so the span between two requests may come out a few ms short
    // of the fixed pause between them on a loaded machine.
    FakeClock::time_point time;
    bool scripted = false;  // false: it came after the script ran out
};

class FakeModule {
public:
    // Starts the module's thread and returns once it is listening.
    explicit FakeModule(int masterFd, std::uint32_t baudRate = 0);
    ~FakeModule();
    FakeModule(const FakeModule&) = delete;
    FakeModule& operator=(const FakeModule&) = delete;

    // ---- Script: one entry per request, consumed in order ----
    void Expect(Bytes answer, Delivery delivery = {});
    void ExpectSilence();
    // Any sequence of bursts, e.g. several search answers with pauses between.
    void ExpectPieces(std::vector<Piece> pieces);
    // Script entries not yet consumed by a request.
    std::size_t PendingExpectations() const;

    // Unsolicited output, queued behind whatever is being sent.
    void Send(Bytes bytes, std::chrono::milliseconds after = std::chrono::milliseconds(0));

    // ---- What happened ----
    std::vector<Request> Requests() const;
    // True once `count` requests have been recorded; false on time-out.
    bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;
    // True once every byte scheduled so far has been written to the line.
    bool WaitOutputDone(std::chrono::milliseconds timeout) const;
    // True once `count` bytes in all have come from the port under test.
    bool WaitBytesReceived(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    struct OutByte {
        FakeClock::time_point due;  // when the byte is on the line
        std::uint8_t value;
    };

    void Run();
    void ScheduleLocked(const std::vector<Piece>& pieces, FakeClock::time_point origin);
    // Cuts complete frames (or, after the quiet time, whatever came) into requests.
    void TakeRequests(FakeClock::time_point now);
    void RecordRequest(Bytes bytes, FakeClock::time_point time);
    // Writes what is due; false when the line is full and POLLOUT must be awaited.
    bool WriteDue(FakeClock::time_point now);
    void Wake();

    const int master_;
    const FakeClock::duration byteTime_;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool listening_ = false;
    bool stopping_ = false;
    std::deque<std::vector<Piece>> script_;
    std::vector<Request> requests_;
    std::deque<OutByte> output_;
    std::size_t received_ = 0;

    // Owned by the thread: request bytes not yet cut into a frame.
    Bytes incoming_;
    FakeClock::time_point incomingStart_{};
    FakeClock::time_point lastIncoming_{};

    std::thread thread_;
};

}  // namespace qrv::test
