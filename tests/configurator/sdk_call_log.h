#pragma once
// Records the configurator's SDK calls. The test binary is linked with
// --wrap for each of them, so the configurator's own code calls the
// recording wrappers, which forward to the real exports.
#include <QString>
#include <atomic>
#include <chrono>
#include <mutex>
#include <ostream>
#include <vector>

struct SdkCall {
    QString name;  // without the "Q_QRV_" prefix: "SearchDev", "LoadInfo", …
    std::vector<int> args;
    bool onWindowThread = false;
    std::chrono::steady_clock::time_point returned{};

    bool operator==(const SdkCall& other) const { return name == other.name && args == other.args; }
};
void PrintTo(const SdkCall& call, std::ostream* out);

// Shorthand for expectations: Call("SearchDev", {11, 0}).
SdkCall Call(const char* name, std::vector<int> args = {});

class SdkCallLog {
public:
    static void Clear();
    static std::vector<SdkCall> All();
    // Without the result-store reads (count and base copies) that the search
    // dialog's timer makes: the calls that talk to the module, plus clearing.
    static std::vector<SdkCall> Exchanges();
    static int CountOf(const QString& name);
    // SDK calls that have started and not yet returned.
    static int InFlight();

    // Used by the wrappers.
    static void Enter();
    static void Leave(SdkCall call);
};
