#include "client/detect.h"

#include <algorithm>
#include <vector>

#include "client/fields.h"
#include "client/sdk_link.h"
#include "qrvlink/qrvlink.h"

namespace qrv::client {

namespace {

// The pause between the base-information request and its answer.
constexpr std::chrono::milliseconds kLoadPause{100};
constexpr int kBitsPerByte = 10;
constexpr int kLoadWireBytes = 7 + 63;
constexpr int kDetectMarginMs = 50;
constexpr int kCommandMarginMs = 200;

int WireMs(int bytes, int baud) { return (bytes * kBitsPerByte * 1000 + baud - 1) / baud; }

}  // namespace

std::span<const int> DetectRates() {
    // Every rate a module's line may be set to (the field table's uart-baud),
    // fastest first.
    static const std::vector<int> rates = [] {
        std::vector<int> all;
        for (const Choice& c : FieldSpecOf(FieldId::UartBaud).choices) all.push_back(static_cast<int>(c.number));
        std::sort(all.rbegin(), all.rend());
        return all;
    }();
    return rates;
}

int DetectReadTimeoutMs(int baud) { return kDetectMarginMs + WireMs(kLoadWireBytes, baud); }

int CommandReadTimeoutMs(int baud) { return kCommandMarginMs + WireMs(kLoadWireBytes, baud); }

std::chrono::milliseconds SilentPortScanFloor() {
    std::chrono::milliseconds floor{0};
    for (int baud : DetectRates()) floor += kLoadPause + std::chrono::milliseconds(DetectReadTimeoutMs(baud));
    return floor;
}

std::vector<PortScan> Detect(std::span<const std::string> ports) {
    std::vector<PortScan> scans;
    for (const std::string& port : ports) {
        PortScan scan;
        scan.port = port;
        for (int baud : DetectRates()) {
            // A port that refuses one rate may take the next.
            if (Status st = OpenPort({port, baud, DetectReadTimeoutMs(baud)}); !st.Ok()) {
                scan.portFailure = st;
                // Missing, busy or forbidden at one rate is so at every rate.
                if (LastSdkReason().code != QRV_FAIL_PORT_SETTINGS) break;
                continue;
            }
            scan.opened = true;
            scan.portFailure = {};
            scan.ratesTried.push_back(baud);
            Detection detection{port, baud, {}};
            const Status read = LocalModule()->Read(detection.module);
            if (read.Ok()) {
                scan.found = detection;
                break;
            }
            if (read.outcome == Outcome::Port) {
                scan.portFailure = read;  // the adapter went away
                break;
            }
        }
        ClosePort();
        scans.push_back(std::move(scan));
    }
    return scans;
}

}  // namespace qrv::client
