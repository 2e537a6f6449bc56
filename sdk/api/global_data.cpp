#include "api/global_data.h"

namespace qrv {

CGlobalData::CGlobalData() { Device.Port = &Serial; }

CGlobalData::~CGlobalData() { Serial.Close(); }

namespace {
// Constructed when the library is loaded, before any export can run, and
// destroyed when it is unloaded.
CGlobalData globalData;
}  // namespace

CGlobalData& GlobalData() { return globalData; }

}  // namespace qrv
