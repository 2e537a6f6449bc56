#include "network_tab.h"

#include <QTabWidget>
#include <QTableWidget>

#include "protocol/protocol_constants.h"
#include "views/view_remote_dev_list.h"
#include "views/views.h"

NetworkTab OpenNetworkTab(SimulatedNetwork& net, std::optional<std::uint16_t> address) {
    constexpr std::uint8_t kHomeChannel = 11;
    NetworkTab tab;
    tab.window = std::make_unique<CQrvtuneDlg>();
    if (auto* tabs = tab.window->findChild<QTabWidget*>(QStringLiteral("leftTabs"))) tabs->setCurrentIndex(kLeftTabNetwork);
    auto* list = ViewRemoteDevList().findChild<QTableWidget*>(QStringLiteral("moduleList"));
    if (!address || list == nullptr) return tab;
    tab.row = net.FindFarModule(kHomeChannel, qrv::protocol::kAirRate250K, *address, list);
    if (tab.row >= 0) list->selectRow(tab.row);
    return tab;
}
