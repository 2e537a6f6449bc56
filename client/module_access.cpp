#include "client/module_access.h"

#include "client/fields.h"
#include "client/sdk_link.h"

namespace qrv::client {

namespace {

AdMillivolts FromWire(const std::uint8_t (&bytes)[8]) {
    // Four values, each high byte first, channel 1 first.
    AdMillivolts values{};
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<std::uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
    return values;
}

// The SDK's progress handler for one upgrade; removed again (waiting for a
// call in progress) before the callback it points at goes away.
class ProgressScope {
public:
    explicit ProgressScope(const ModuleAccess::BlockProgress& progress) : progress_(progress) {
        if (progress_) Q_SetProgressHandler(&ProgressScope::OnBlock, this);
    }
    ~ProgressScope() {
        if (progress_) Q_SetProgressHandler(nullptr, nullptr);
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    static void OnBlock(void* user, std::int32_t done, std::int32_t total) {
        static_cast<ProgressScope*>(user)->progress_(done, total);
    }
    const ModuleAccess::BlockProgress& progress_;
};

class Local final : public ModuleAccess {
public:
    std::string Describe() const override { return "local module"; }
    std::optional<std::uint16_t> Address() const override { return address_; }

    Status Read(ModuleRecords& out) override {
        if (Q_QRV_GetPropertyAll(&out.base, &out.property) != 1) return SdkFailure("reading the local module");
        loaded_ = true;
        address_ = out.base.NetAddr;
        return {};
    }
    Status Write(const ModuleProperty& record) override {
        if (Status st = EnsureLoaded(); !st.Ok()) return st;
        ModuleBase ignored{};
        Q_QRV_SetLocalPropertyAll(&ignored, &record);
        if (Q_QRV_SubmitInfo() != 1) return SdkFailure("writing the local module");
        return {};
    }
    // Both address the module by the record read last: load first.
    Status Reset() override {
        if (Status st = EnsureLoaded(); !st.Ok()) return st;
        return Q_QRV_ResetDev() == 1 ? Status{} : SdkFailure("restarting the local module");
    }
    Status FactoryReset() override {
        if (Status st = EnsureLoaded(); !st.Ok()) return st;
        if (Q_QRV_ResetToDefault() != 1) return SdkFailure("restoring the local module's factory settings");
        loaded_ = false;
        return {};
    }
    Status SetDirections(std::uint8_t directions) override {
        if (Status st = EnsureLoaded(); !st.Ok()) return st;
        return Q_QRV_SetIODirAllLocal(directions) == 1 ? Status{} : SdkFailure("setting the IO directions");
    }
    Status WriteOutputs(std::uint8_t outputs) override {
        if (Status st = EnsureLoaded(); !st.Ok()) return st;
        return Q_QRV_SetIOValueLocal(outputs) == 1 ? Status{} : SdkFailure("writing the IO outputs");
    }
    Status ReadInputs(std::uint8_t& lines) override {
        if (Status st = EnsureLoaded(); !st.Ok()) return st;
        return Q_QRV_GetIOvalueLocal(&lines, 1) == 1 ? Status{} : SdkFailure("reading the IO lines");
    }
    Status ReadAd(AdMillivolts& millivolts) override {
        if (Status st = EnsureLoaded(); !st.Ok()) return st;
        std::uint8_t bytes[8]{};
        if (Q_QRV_GetADvalueLocal(bytes, sizeof bytes) != 1) return SdkFailure("reading the AD values");
        millivolts = FromWire(bytes);
        return {};
    }
private:
    Status EnsureLoaded() {
        if (loaded_) return {};
        ModuleRecords ignored;
        return Read(ignored);
    }
    bool loaded_ = false;
    std::optional<std::uint16_t> address_;
};

class Far final : public ModuleAccess {
public:
    Far(int index, std::uint16_t address) : index_(index), address_(address) {}
    // Reading a far module (or upgrading it) leaves the local radio on its
    // pair when that is not the local one; one tuning brings it home. The
    // SDK knows where it left the radio: on the home pair nothing is sent.
    ~Far() override { Q_QRV_TuneHome(); }

    std::string Describe() const override { return "module " + Hex(address_, 4); }
    std::optional<std::uint16_t> Address() const override { return address_; }

    Status Read(ModuleRecords& out) override {
        if (Q_QRV_GetRemoteDevPropertyAll(&out.property, index_) != 1) return SdkFailure("reading " + Describe());
        Q_QRV_GetRemoteDevBase(&out.base, index_);
        return {};
    }
    Status Write(const ModuleProperty& record) override {
        Q_QRV_SetRemotePropertyAll(&record, index_);
        if (Q_QRV_SubmitRemoteDevInfo(index_) != 1) return SdkFailure("writing " + Describe());
        // The module now lives at the record's address, channel and rate;
        // the SDK's entry has followed it there.
        address_ = record.LocalAddr;
        return {};
    }
    Status Reset() override {
        return Q_QRV_ResetRemoteDev(index_) == 1 ? Status{} : SdkFailure("restarting " + Describe());
    }
    Status FactoryReset() override {
        return Q_QRV_ResetRemoteToDefault(index_) == 1 ? Status{}
                                                        : SdkFailure("restoring the factory settings of " + Describe());
    }
    Status SetDirections(std::uint8_t directions) override {
        return Q_QRV_SetIODirAllRemote(index_, directions) == 1 ? Status{} : IoFailure("setting the IO directions");
    }
    Status WriteOutputs(std::uint8_t outputs) override {
        return Q_QRV_SetIOValueRemote(index_, outputs) == 1 ? Status{} : IoFailure("writing the IO outputs");
    }
    Status ReadInputs(std::uint8_t& lines) override {
        return Q_QRV_GetIOvalueRemote(index_, &lines, 1) == 1 ? Status{} : IoFailure("reading the IO lines");
    }
    Status ReadAd(AdMillivolts& millivolts) override {
        std::uint8_t bytes[8]{};
        if (Q_QRV_GetADvalueRemote(index_, bytes, sizeof bytes) != 1) return IoFailure("reading the AD values");
        millivolts = FromWire(bytes);
        return {};
    }
private:
    // The far module answered its search, so silence to an IO request more
    // likely means it has no IO lines than a power or wiring fault.
    Status IoFailure(const std::string& what) const {
        Status st = SdkFailure(what + " of " + Describe());
        if (st.outcome != Outcome::NoAnswer) return st;
        st.message = st.message.substr(0, st.message.find('\n')) +
                     "\n  a far module without IO lines does not answer IO requests; `qrvctl remote " +
                     Hex(address_, 4) + " info` shows its device type";
        return st;
    }

    int index_;
    std::uint16_t address_;
};

}  // namespace

// One export upgrades local and far modules alike, by the identity just
// read. It does not tune: reading a far module leaves the radio on its
// pair, where the blocks then go.
Status ModuleAccess::Upgrade(const std::string& imagePath, const ModuleRecords& records,
                             const BlockProgress& progress) {
    TakeSdkMessages();
    const std::wstring path = WidePath(imagePath);
    const ProgressScope reporting(progress);
    if (Q_QRV_UpdateWithFileNameLocal(path.c_str(), records.base.RunState, records.base.NetAddr, records.base.DevType) != 1)
        return SdkFailure("upgrading " + Describe());
    return {};
}

std::unique_ptr<ModuleAccess> LocalModule() { return std::make_unique<Local>(); }

Status FindFarModule(std::uint16_t address, std::span<const RadioPair> where, std::unique_ptr<ModuleAccess>& out) {
    LocalModuleInfo local;
    if (Status st = ReadLocalModule(local); !st.Ok()) return st;
    return FindFarModule(address, where, local, out);
}

Status FindFarModule(std::uint16_t address, std::span<const RadioPair> where, const LocalModuleInfo& /*local*/,
                     std::unique_ptr<ModuleAccess>& out) {
    // The local module has just been read: the SDK takes its radio to be on
    // its own pair and tunes only to reach a pair that is not.
    Q_SetLazyTuning(1);
    std::optional<FoundModule> hit;
    SweepCallbacks callbacks;
    callbacks.stopAtFirst = true;
    callbacks.found = [&hit](const FoundModule& found) {
        if (!hit) hit = found;
    };
    if (Status st = Sweep(where, address, callbacks); !st.Ok()) return st;
    if (!hit) {
        std::string pairs;
        for (const RadioPair& p : where)
            pairs += (pairs.empty() ? "" : ", ") + std::to_string(p.channel) + "/" + std::string(FieldSpecOf(FieldId::AirRate).choices[static_cast<std::size_t>(p.rate)].name);
        return Status::Fail(Outcome::NoAnswer, "module " + Hex(address, 4) + " did not answer on channel/rate " +
                                                   pairs +
                                                   "\n  it may work on another channel or rate: look on all of them "
                                                   "with --all, or name them with --channel and --rate");
    }
    out = std::make_unique<Far>(hit->index, hit->base.NetAddr);
    return {};
}

}  // namespace qrv::client
