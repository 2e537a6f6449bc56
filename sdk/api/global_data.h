// CGlobalData: all of the SDK's state, one static instance that lives as long
// as the library is loaded.
#pragma once

#include <cstdint>

#include "device/qrv_dev.h"
#include "serial/serial_port.h"

namespace qrv {

class CGlobalData {
public:
    CGlobalData();
    // Closes the port before the device (and with it every search entry) goes.
    virtual ~CGlobalData();
    CGlobalData(const CGlobalData&) = delete;
    CGlobalData& operator=(const CGlobalData&) = delete;

    SerialPort Serial;
    std::int32_t LastError = 0;
    CQRVDev Device;
};

// The library's instance. Internal: tests that link the core use it to reach
// seams (wait scale) that the exported interface never offers.
CGlobalData& GlobalData();

}  // namespace qrv
