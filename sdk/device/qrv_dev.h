// CQRVDev: a module's records and the exchanges with it. The global object
// stands for the local module and owns the search list; every entry of the
// list is a CQRVDev of its own that only holds records (all traffic goes
// through the global object's port, addressed to the entry).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "protocol/frames.h"
#include "qrvlink/qrvlink.h"
#include "serial/serial_port.h"

namespace qrv {

namespace firmware {
struct Image;
struct Region;
}  // namespace firmware

// Scales the protocol's fixed pauses; 1.0 outside tests. Tests shorten the
// long waits through it; it is never reachable from the exported interface.
struct WaitPolicy {
    double scale = 1.0;
};

// Message handler for the firmware upgrade's user-facing texts.
struct MessageSink {
    Q_MessageHandler handler = nullptr;
    void* user = nullptr;
    void Show(int kind, const char* utf8Text) const;
};

class CQRVDev {
public:
    CQRVDev() = default;
    virtual ~CQRVDev();
    CQRVDev(const CQRVDev&) = delete;
    CQRVDev& operator=(const CQRVDev&) = delete;

    // ---- Records (public: the exports copy them in and out) ----
    SerialPort* Port = nullptr;
    ::ModuleBase ModuleBase{};
    ModuleProperty CurProperty{};
    ModuleProperty PendingProperty{};
    std::int32_t Loaded = 0;
    std::int32_t FoundChannel = 0;
    std::int32_t FoundRate = 0;

    WaitPolicy Waits;
    MessageSink Messages;

    // ---- Exchange primitives (1 success, 0 failure; no error codes) ----
    int ReadBaseInfo();
    int ReadProperty(std::uint16_t addr, std::uint8_t offset, std::uint8_t length, ModuleProperty& out);
    int WriteProperty(ModuleProperty record);
    // index -1: the local module; otherwise the search entry, with the radio
    // tuned to it before the frame and back home afterwards.
    int ResetModule(std::uint16_t addr, std::uint16_t type, int index);
    int FactoryReset();

    // ---- Local module commands (the Q_QRV_ local exports) ----
    // Each takes the global error code to write into.
    int LoadInfo(std::int32_t& lastError);
    int GetPropertyAll(::ModuleBase* base, ModuleProperty* property, std::int32_t& lastError);
    int SetLocalPropertyAll(const ModuleProperty* property);
    int GetProperty(int number, void* destination, int size, std::int32_t& lastError);
    int SetProperty(int number, const void* value, int size, std::int32_t& lastError);
    int SubmitInfo(std::int32_t& lastError);
    int ResetDev();
    int ResetToDefault();

    // ---- Radio tuning ----
    int TuneChannel(int channel, int rate);
    int TuneToEntry(int index);
    int TuneHome();

    // ---- Search list (guarded; the guard is never held across an exchange) ----
    int SearchDev(int channel, int rate);
    int SearchDevByAddr(int channel, int rate, int address);
    void ClearSearchArr();
    int GetSearchDevCount() const;
    int GetRemoteDevBase(::ModuleBase* out, int index) const;
    bool IsValidIndex(int index) const;

    // ---- Far modules ----
    int LoadRemoteDevInfo(int index, std::int32_t& lastError);
    int GetRemoteDevPropertyAll(ModuleProperty* out, int index, std::int32_t& lastError);
    int GetRemoteDevProperty(int index, int number, void* destination, int size, std::int32_t& lastError);
    int SetRemoteDevProperty(int index, int number, const void* value, int size, std::int32_t& lastError);
    int SetRemotePropertyAll(const ModuleProperty* property, int index);
    int SubmitRemoteDevInfo(int index, std::int32_t& lastError);
    int ResetRemoteDev(int index, std::int32_t& lastError);
    int ResetRemoteToDefault(int index, std::int32_t& lastError);

    // ---- Wireless IO and AD (index -1: the local module) ----
    int SetIODirAll(int index, std::uint8_t directions);
    int SetIOValue(int index, std::uint8_t outputs);
    int GetIOValue(int index, std::uint8_t* value);
    int GetADValue(int index, std::uint8_t* values);

    // ---- Firmware ----
    int UpdateWithFile(const wchar_t* path, std::uint8_t runState, std::uint16_t address, std::uint16_t devType);
    int EnterUpdate(std::uint16_t addr, std::uint16_t type);
    int FinishUpdate(std::uint16_t addr, std::uint16_t type);

protected:
    bool PortOpen() const { return Port != nullptr && Port->IsOpen(); }
    // Writes a frame (the port purges first); true when the write succeeded.
    bool Send(const protocol::Frame& frame);
    // One read into the answer buffer; the view is empty when the read failed.
    protocol::Answer Receive(std::size_t capacity = protocol::kAnswerBufferSize);
    void Pause(unsigned milliseconds) const;

    // Appends unless the duplicate rule absorbs the answer; true when added.
    bool AppendIfNew(const ::ModuleBase& base, int channel, int rate);

    // What an exchange with an entry needs, copied under the list guard.
    struct EntryView {
        std::uint16_t netAddr = 0;
        std::uint16_t devType = 0;
        std::int32_t channel = 0;
        std::int32_t rate = 0;
        std::int32_t loaded = 0;
        ModuleProperty current{};
        ModuleProperty pending{};
    };
    std::optional<EntryView> ViewEntry(int index) const;
    // Runs `change` on the entry under the list guard, so a window thread
    // copying its ModuleBase never sees half an update; false for a bad index.
    template <typename Change>
    bool UpdateEntry(int index, Change&& change) {
        std::lock_guard lock(searchGuard_);
        if (index < 0 || static_cast<std::size_t>(index) >= SearchList.size()) return false;
        change(*SearchList[static_cast<std::size_t>(index)]);
        return true;
    }

private:
    // One IO request to the local module (index -1) or, tuned there and back,
    // to a search entry; `judge` accepts the answer and copies its output.
    template <typename Build, typename Judge>
    int IoExchange(int index, Build&& build, Judge&& judge);

    // One firmware block with up to three attempts; true when acknowledged.
    bool SendFirmwareBlock(std::uint16_t addr, std::uint16_t offset, const std::uint8_t* data,
                           protocol::FirmwareRegion region);
    bool SendFirmwareRegion(const firmware::Image& image, const firmware::Region& region, std::uint16_t addr);

    std::array<std::uint8_t, protocol::kAnswerBufferSize> rx_{};
    mutable std::mutex searchGuard_;
    std::vector<std::unique_ptr<CQRVDev>> SearchList;
};

}  // namespace qrv
