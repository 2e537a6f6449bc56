#include "client/detect.h"

#include "client/sdk_link.h"
#include "qrvlink/qrvlink.h"

namespace qrv::client {

namespace {

constexpr int kRates[] = {460800, 230400, 115200, 57600, 38400, 19200, 9600, 4800, 2400, 1200};
// The pause between the base-information request and its answer.
constexpr std::chrono::milliseconds kLoadPause{100};
constexpr int kBitsPerByte = 10;
constexpr int kLoadWireBytes = 7 + 63;
constexpr int kDetectMarginMs = 50;
constexpr int kCommandMarginMs = 200;

int WireMs(int bytes, int baud) { return (bytes * kBitsPerByte * 1000 + baud - 1) / baud; }

}  // namespace

std::span<const int> DetectRates() { return kRates; }

int DetectReadTimeoutMs(int baud) { return kDetectMarginMs + WireMs(kLoadWireBytes, baud); }

int CommandReadTimeoutMs(int baud) { return kCommandMarginMs + WireMs(kLoadWireBytes, baud); }

std::chrono::milliseconds SilentPortScanFloor() {
    std::chrono::milliseconds floor{0};
    for (int baud : kRates) floor += kLoadPause + std::chrono::milliseconds(DetectReadTimeoutMs(baud));
    return floor;
}

std::vector<PortScan> Detect(std::span<const std::string> ports) {
    std::vector<PortScan> scans;
    for (const std::string& port : ports) {
        PortScan scan;
        scan.port = port;
        for (int baud : kRates) {
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
