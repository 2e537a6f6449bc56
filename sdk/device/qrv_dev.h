// CQRVDev: the local module's records, the search list, and every exchange
// with a module (the local one, or a far one through it). Each operation
// returns what happened as an Outcome; the exported interface turns that
// into its results, error codes and failure reasons. The caller runs one
// operation at a time (the library holds its exchange lock); only the
// search list may be read and cleared from another thread meanwhile.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "common/outcome.h"
#include "device/search_list.h"
#include "device/waits.h"
#include "protocol/commands.h"
#include "protocol/frames.h"
#include "qrvlink/qrvlink.h"
#include "serial/serial_port.h"

namespace qrv {

namespace firmware {
struct Image;
struct Region;
}  // namespace firmware

// Where a firmware upgrade reports to, on the upgrading thread.
class UpgradeListener {
public:
    virtual ~UpgradeListener() = default;
    // A user-facing message (UTF-8) and its kind (Q_MSG_*).
    virtual void Message(int kind, const std::string& text) = 0;
    // After each acknowledged block: `done` of `total`.
    virtual void Progress(int done, int total) = 0;
};

class CQRVDev {
public:
    CQRVDev(SerialPort& port, Waits& waits);
    CQRVDev(const CQRVDev&) = delete;
    CQRVDev& operator=(const CQRVDev&) = delete;

    // ---- The local module's records ----
    ::ModuleBase ModuleBase{};
    ModuleProperty CurProperty{};
    ModuleProperty PendingProperty{};
    std::int32_t Loaded = 0;
    // Tolerant reads: an answer that arrives in pieces (a USB adapter's
    // packets, its latency timer) is read on until its known length is in
    // or the read time-out passes. Off: one read per answer, ended by the
    // first gap longer than the read interval.
    std::atomic<bool> TolerantReads{false};
    // Lazy tuning: a tuning exchange to the pair the local radio is known to
    // be on already is skipped. Off: every operation tunes as it always has.
    std::atomic<bool> LazyTuning{false};

    SearchList Found;

    // ---- Exchange primitives ----
    Outcome ReadBaseInfo();
    Outcome ReadProperty(std::uint16_t addr, std::uint8_t offset, std::uint8_t length, ModuleProperty& out);
    Outcome WriteProperty(ModuleProperty record);
    // index -1: the local module; otherwise the search entry, with the radio
    // tuned to it before the frame and back home afterwards.
    Outcome ResetModule(std::uint16_t addr, std::uint16_t type, int index);
    Outcome FactoryReset();

    // ---- Local module commands ----
    Outcome LoadInfo();
    // LoadInfo, then the cached records into the caller's buffers whatever it gave.
    Outcome GetPropertyAll(::ModuleBase* base, ModuleProperty* property);
    Outcome SetLocalPropertyAll(const ModuleProperty* property);
    Outcome GetProperty(int number, void* destination, int size);
    Outcome SetProperty(int number, const void* value, int size);
    Outcome SubmitInfo();
    Outcome ResetDev();
    Outcome ResetToDefault();

    // ---- Radio tuning ----
    Outcome TuneChannel(int channel, int rate);
    Outcome TuneToEntry(int index);
    Outcome TuneHome();
    // TuneHome for a caller: refused until the local record has been read,
    // since before that there is no home to go to.
    Outcome ReturnHome();
    // The radio's pair is no longer known (another port, a restarted module).
    void ForgetRadio() { radio_.reset(); }

    // ---- Search ----
    // Success when this call added an entry; the detail says how it ended.
    Outcome SearchDev(int channel, int rate);
    Outcome SearchDevByAddr(int channel, int rate, int address);
    Outcome GetRemoteDevBase(::ModuleBase* out, int index) const;

    // ---- Far modules ----
    Outcome LoadRemoteDevInfo(int index);
    Outcome GetRemoteDevPropertyAll(ModuleProperty* out, int index);
    Outcome GetRemoteDevProperty(int index, int number, void* destination, int size);
    Outcome SetRemoteDevProperty(int index, int number, const void* value, int size);
    Outcome SetRemotePropertyAll(const ModuleProperty* property, int index);
    Outcome SubmitRemoteDevInfo(int index);
    Outcome ResetRemoteDev(int index);
    Outcome ResetRemoteToDefault(int index);

    // ---- Wireless IO and AD (index -1: the local module) ----
    Outcome SetIODirAll(int index, std::uint8_t directions);
    Outcome SetIOValue(int index, std::uint8_t outputs);
    Outcome GetIOValue(int index, std::uint8_t* value);
    Outcome GetADValue(int index, std::uint8_t* values);

    // ---- Firmware ----
    Outcome UpdateWithFile(const wchar_t* path, std::uint8_t runState, std::uint16_t address, std::uint16_t devType,
                           UpgradeListener& listener);
    Outcome EnterUpdate(std::uint16_t addr, std::uint16_t type);
    Outcome FinishUpdate(std::uint16_t addr, std::uint16_t type);

    // A search ends at the latest this long after its search frame, however
    // many answers keep coming.
    static constexpr std::chrono::seconds kSearchLimit{30};

private:
    using CommandKey = protocol::CommandKey;

    // What came back from one read: the bytes, and why the read itself
    // failed if it did (a lost port).
    struct Reply {
        protocol::Answer answer;
        Outcome read;
    };

    Outcome PortClosed() const;
    // Writes a frame (the port purges first). A platform failure fails it;
    // a write cut short by its time-out does not, but is noted for the
    // answer check's detail.
    Outcome Send(const protocol::Frame& frame);
    Reply Receive(std::size_t capacity = protocol::kAnswerBufferSize);
    // The answer to `command`: one read, or with TolerantReads as many as it
    // takes for the command's answer length within the read time-out.
    Reply Receive(CommandKey command);
    // A protocol pause; fails only when the port was lost meanwhile.
    Outcome Pause(std::uint32_t milliseconds);
    // The verdict on an answer to `command`, as an Outcome with the facts.
    // The line's facts for a failed exchange of `command` (-1: none).
    FailureFacts LineFacts(std::int32_t command) const;
    Outcome Judge(CommandKey command, const Reply& reply, const protocol::Verdict& verdict) const;

    // One IO request to the local module (index -1) or, tuned there and back,
    // to a search entry; `check` judges the answer and copies its output.
    template <typename Build, typename Check>
    Outcome IoExchange(int index, std::uint8_t command, Build&& build, Check&& check);

    Outcome SendFirmwareBlock(std::uint16_t addr, std::uint16_t offset, const std::uint8_t* data,
                              protocol::FirmwareRegion region);
    Outcome SendFirmwareRegion(const firmware::Image& image, const firmware::Region& region, std::uint16_t addr,
                               UpgradeListener& listener, int& done, int total);
    // Prepare (unless in the boot loader), both regions, finish; `done` counts acknowledged blocks.
    Outcome SendImage(const firmware::Image& image, std::uint8_t runState, std::uint16_t address,
                      std::uint16_t devType, UpgradeListener& listener, int& done, int total);

    // A channel and air rate as the tuning frame carries them.
    struct Pair {
        std::uint8_t channel = 0, rate = 0;
        friend bool operator==(const Pair&, const Pair&) = default;
    };

    SerialPort& port_;
    Waits& waits_;
    // Where the local radio is known to be: set by an acknowledged tuning,
    // and by a read of the local record while nothing better is known (a
    // module nobody has tuned away listens on its own pair). Exchange lock only.
    std::optional<Pair> radio_;
    Outcome sendFault_;  // why the last Send did not get its whole frame out, if it did not
    std::array<std::uint8_t, protocol::kAnswerBufferSize> rx_{};
};

// Entry index checks of the far-module operations, shared with the exports.
Outcome BadIndex(int index, int count);
// The numbered property read and write of a record, as outcomes.
Outcome ReadNumbered(const ModuleProperty& record, int number, void* destination, int size);
Outcome WriteNumbered(int number, const void* value, int size, ModuleProperty& record);

}  // namespace qrv
