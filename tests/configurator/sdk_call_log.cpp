#include "sdk_call_log.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>

#include "qrvlink/qrvlink.h"

namespace {

std::mutex logMutex;
std::vector<SdkCall> calls;
std::atomic<int> inFlight{0};

bool IsStoreRead(const SdkCall& call) { return call.name == "GetSearchDevCount" || call.name == "GetRemoteDevBase"; }

// Records `name(args)` around the real call.
template <typename Real>
auto Recorded(const char* name, std::vector<int> args, Real real) {
    SdkCallLog::Enter();
    const auto result = real();
    SdkCallLog::Leave(SdkCall{QString::fromLatin1(name), std::move(args), false, {}});
    return result;
}

}  // namespace

void PrintTo(const SdkCall& call, std::ostream* out) {
    *out << call.name.toStdString() << '(';
    for (std::size_t i = 0; i < call.args.size(); ++i) *out << (i == 0 ? "" : ", ") << call.args[i];
    *out << ')' << (call.onWindowThread ? " [window]" : " [worker]");
}

SdkCall Call(const char* name, std::vector<int> args) { return SdkCall{QString::fromLatin1(name), std::move(args)}; }

void SdkCallLog::Clear() {
    std::lock_guard lock(logMutex);
    calls.clear();
}

std::vector<SdkCall> SdkCallLog::All() {
    std::lock_guard lock(logMutex);
    return calls;
}

std::vector<SdkCall> SdkCallLog::Exchanges() {
    std::vector<SdkCall> result = All();
    std::erase_if(result, IsStoreRead);
    return result;
}

int SdkCallLog::CountOf(const QString& name) {
    std::lock_guard lock(logMutex);
    return static_cast<int>(
        std::count_if(calls.begin(), calls.end(), [&](const SdkCall& c) { return c.name == name; }));
}

int SdkCallLog::InFlight() { return inFlight.load(); }

void SdkCallLog::Enter() { ++inFlight; }

void SdkCallLog::Leave(SdkCall call) {
    const QCoreApplication* app = QCoreApplication::instance();
    call.onWindowThread = app != nullptr && QThread::currentThread() == app->thread();
    call.returned = std::chrono::steady_clock::now();
    {
        std::lock_guard lock(logMutex);
        calls.push_back(std::move(call));
    }
    --inFlight;
}

// ---- The wrappers (see tests/configurator/CMakeLists.txt for --wrap) ----
extern "C" {
int __real_Q_QRV_LoadInfo(void);
int __real_Q_QRV_SearchDev(int channel, int rate);
int __real_Q_QRV_SearchDevByAddr(int channel, int rate, int address);
void __real_Q_QRV_ClearSearchArr(void);
int __real_Q_QRV_GetSearchDevCount(void);
int __real_Q_QRV_GetRemoteDevBase(ModuleBase* base, int index);
int __real_Q_QRV_LoadRemoteDevInfo(int index);
int __real_Q_QRV_GetRemoteDevPropertyAll(ModuleProperty* property, int index);
int __real_Q_QRV_SetRemotePropertyAll(const ModuleProperty* property, int index);
int __real_Q_QRV_SubmitRemoteDevInfo(int index);
int __real_Q_QRV_ResetRemoteDev(int index);
int __real_Q_QRV_ResetRemoteToDefault(int index);

int __wrap_Q_QRV_LoadInfo(void) {
    return Recorded("LoadInfo", {}, [] { return __real_Q_QRV_LoadInfo(); });
}
int __wrap_Q_QRV_SearchDev(int channel, int rate) {
    return Recorded("SearchDev", {channel, rate}, [=] { return __real_Q_QRV_SearchDev(channel, rate); });
}
int __wrap_Q_QRV_SearchDevByAddr(int channel, int rate, int address) {
    return Recorded("SearchDevByAddr", {channel, rate, address},
                    [=] { return __real_Q_QRV_SearchDevByAddr(channel, rate, address); });
}
void __wrap_Q_QRV_ClearSearchArr(void) {
    Recorded("ClearSearchArr", {}, [] {
        __real_Q_QRV_ClearSearchArr();
        return 0;
    });
}
int __wrap_Q_QRV_GetSearchDevCount(void) {
    return Recorded("GetSearchDevCount", {}, [] { return __real_Q_QRV_GetSearchDevCount(); });
}
int __wrap_Q_QRV_GetRemoteDevBase(ModuleBase* base, int index) {
    return Recorded("GetRemoteDevBase", {index}, [=] { return __real_Q_QRV_GetRemoteDevBase(base, index); });
}
int __wrap_Q_QRV_LoadRemoteDevInfo(int index) {
    return Recorded("LoadRemoteDevInfo", {index}, [=] { return __real_Q_QRV_LoadRemoteDevInfo(index); });
}
int __wrap_Q_QRV_GetRemoteDevPropertyAll(ModuleProperty* property, int index) {
    return Recorded("GetRemoteDevPropertyAll", {index},
                    [=] { return __real_Q_QRV_GetRemoteDevPropertyAll(property, index); });
}
int __wrap_Q_QRV_SetRemotePropertyAll(const ModuleProperty* property, int index) {
    return Recorded("SetRemotePropertyAll", {index},
                    [=] { return __real_Q_QRV_SetRemotePropertyAll(property, index); });
}
int __wrap_Q_QRV_SubmitRemoteDevInfo(int index) {
    return Recorded("SubmitRemoteDevInfo", {index}, [=] { return __real_Q_QRV_SubmitRemoteDevInfo(index); });
}
int __wrap_Q_QRV_ResetRemoteDev(int index) {
    return Recorded("ResetRemoteDev", {index}, [=] { return __real_Q_QRV_ResetRemoteDev(index); });
}
int __wrap_Q_QRV_ResetRemoteToDefault(int index) {
    return Recorded("ResetRemoteToDefault", {index}, [=] { return __real_Q_QRV_ResetRemoteToDefault(index); });
}
}
