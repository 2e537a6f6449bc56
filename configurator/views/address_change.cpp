#include "views/address_change.h"

#include <QCoreApplication>

#include "common/session_state.h"
#include "toolkit/toolkit.h"
#include "views/view_base_info.h"
#include "views/views.h"

namespace {

QString AddressText(std::uint16_t address) {
    return QStringLiteral("0x") + QStringLiteral("%1").arg(address, 4, 16, QLatin1Char('0')).toUpper();
}

std::vector<std::uint16_t> ListedAddresses() {
    std::vector<std::uint16_t> addresses;
    const int count = Q_QRV_GetSearchDevCount();
    for (int row = 0; row < count; ++row) {
        ModuleBase base{};
        if (Q_QRV_GetRemoteDevBase(&base, row) != 1) break;
        addresses.push_back(base.NetAddr);
    }
    return addresses;
}

}  // namespace

AddressUser FindAddressUser(std::uint16_t address, std::optional<std::uint16_t> localAddress,
                            const std::vector<std::uint16_t>& listed, const FormModule& self) {
    if (self.kind != FormModule::Kind::Local && localAddress == address) return {AddressUser::Kind::Local, -1};
    for (int row = 0; row < static_cast<int>(listed.size()); ++row) {
        const bool isSelf = self.kind == FormModule::Kind::Remote && row == self.index;
        if (!isSelf && listed[static_cast<std::size_t>(row)] == address) return {AddressUser::Kind::Listed, row};
    }
    return {};
}

QString AddressClashQuestion(std::uint16_t address, const AddressUser& user) {
    switch (user.kind) {
        case AddressUser::Kind::Local:
            return QCoreApplication::translate("AddressChange", "地址 %1 已被本地设备使用，仍要修改吗？")
                .arg(AddressText(address));
        case AddressUser::Kind::Listed:
            return QCoreApplication::translate("AddressChange", "地址 %1 已被网络设备 序号 %2 使用，仍要修改吗？")
                .arg(AddressText(address))
                .arg(user.row);
        case AddressUser::Kind::Nobody: break;
    }
    return QString();
}

AddressCheck ConfirmAddressChange(const Session& session, std::uint16_t currentAddress, const FormModule& self) {
    const std::optional<std::uint16_t> wanted = ViewBaseInfo().FormLocalAddress();
    if (!wanted || *wanted == currentAddress) return AddressCheck::Free;
    const std::optional<std::uint16_t> local =
        session.LocalInfoLoaded != 0 ? std::optional<std::uint16_t>(session.LocalBase.NetAddr) : std::nullopt;
    const AddressUser user = FindAddressUser(*wanted, local, ListedAddresses(), self);
    if (user.kind == AddressUser::Kind::Nobody) return AddressCheck::Free;
    const bool yes = qrvtune::Ask(
        AddressClashQuestion(*wanted, user),
        QCoreApplication::translate("AddressChange", "两个设备使用同一地址时，发往该地址的命令可能由另一个设备应答。"));
    return yes ? AddressCheck::Shared : AddressCheck::Cancelled;
}
