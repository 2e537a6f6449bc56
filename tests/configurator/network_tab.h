#pragma once
// A main window whose left tab set shows "网络设备", optionally with one far
// module found by a search and selected in the network list.
#include <cstdint>
#include <memory>
#include <optional>

#include "app/qrvtune_dlg.h"
#include "simulated_network.h"

// The far wireless-IO module on the home pair of the default scenario.
inline constexpr std::uint16_t kWorkshopAddress = 0x0203;

struct NetworkTab {
    std::unique_ptr<CQrvtuneDlg> window;
    int row = -1;  // the selected row, which is the module's search entry index
};

// The module at `address` is looked for on the home pair of the default
// scenario (channel 11, 250 K).
NetworkTab OpenNetworkTab(SimulatedNetwork& net, std::optional<std::uint16_t> address);
