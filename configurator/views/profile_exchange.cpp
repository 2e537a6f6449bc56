#include "views/profile_exchange.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>

#include "client/profile.h"
#include "common/failure_report.h"
#include "common/sdk_exchange_guard.h"
#include "common/session_state.h"
#include "toolkit/toolkit.h"
#include "views/flow_messages.h"

namespace {

using qrvtune::MessageIcon;
using qrvtune::ShowMessage;

QString ProfileFilter() {
    return QCoreApplication::translate("ProfileExchange", "配置文件 (*.json)|*.json|所有文件 (*.*)|*.*||");
}

std::string LocalPath(const QString& path) { return QDir::toNativeSeparators(path).toStdString(); }

// The form has no password box: a profile's password would never reach
// the module through it, so it is left out of the import and its list.
qrv::client::Profile WithoutPassword(const qrv::client::Profile& profile) {
    qrv::client::Profile kept;
    kept.source = profile.source;
    for (const qrv::client::ProfileField& f : profile.fields)
        if (f.field->id != qrv::client::FieldId::Password) kept.fields.push_back(f);
    return kept;
}

}  // namespace

void AddProfileButtons(QWidget* page, QBoxLayout& pageLayout, QLayout* after, ReadPageModule read) {
    auto* row = new QHBoxLayout();
    row->setObjectName(QStringLiteral("profileRow"));
    const std::pair<const char*, const char*> buttons[] = {
        {"exportProfileButton", QT_TRANSLATE_NOOP("ProfileExchange", "导出配置…")},
        {"importProfileButton", QT_TRANSLATE_NOOP("ProfileExchange", "导入配置…")}};
    for (const auto& [name, text] : buttons) {
        auto* button = new QPushButton(QCoreApplication::translate("ProfileExchange", text), page);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        row->addWidget(button);
        const bool exporting = QLatin1String(name) == QLatin1String("exportProfileButton");
        QObject::connect(button, &QPushButton::clicked, page, [page, read, exporting] {
            if (exporting)
                ExportProfile(page, read);
            else
                ImportProfile(page, read);
        });
    }
    row->addStretch(1);
    pageLayout.insertLayout(pageLayout.indexOf(after) + 1, row);
}

std::optional<PageModule> ReadLocalModuleForProfile() {
    SessionStateRecord& session = SessionState();
    if (session.PortOpen == 0) {
        ShowMessage(QCoreApplication::translate("CViewLocalDevList", "串口未打开，请先打开串口再进行此操作!"));
        return std::nullopt;
    }
    PageModule module{FormModule::Local()};
    qrvtune::SdkFailure failure;
    // Said with its reason, as "读取" says it.
    if (qrvtune::WithSdkLinkNoting(failure, [&] { return Q_QRV_GetPropertyAll(&module.base, &module.property); }) != 1) {
        qrvtune::ShowFailure(QCoreApplication::translate("CViewLocalDevList", "获取本地信息失败"), MessageIcon::None,
                             failure);
        return std::nullopt;
    }
    session.LocalBase = module.base;
    session.LocalProperty = module.property;
    session.LocalInfoLoaded = 1;
    return module;
}

std::optional<PageModule> ReadFarModuleForProfile(int row) {
    if (row < 0) {
        ShowMessage(SelectDeviceText());
        return std::nullopt;
    }
    PageModule module;
    qrvtune::SdkFailure failure;
    const bool read =
        Q_QRV_GetRemoteDevBase(&module.base, row) == 1 &&
        qrvtune::WithSdkLinkNoting(failure, [&] { return Q_QRV_GetRemoteDevPropertyAll(&module.property, row); }) == 1;
    if (!read) {
        qrvtune::ShowFailure(QCoreApplication::translate("CViewRemoteDevList", "获取失败！"), MessageIcon::None, failure);
        return std::nullopt;
    }
    module.form = FormModule::Remote(row, module.base.NetAddr);
    return module;
}

void ExportProfile(QWidget* parent, const ReadPageModule& read) {
    const std::optional<PageModule> module = read();
    if (!module) return;
    const QString suggested = QStringLiteral("module-%1.json").arg(module->base.NetAddr, 4, 16, QLatin1Char('0'));
    std::optional<QString> path = qrvtune::CurrentToolkit().SaveFileName(parent, ProfileFilter(), suggested);
    if (!path) return;
    // "导入配置…" lists *.json: a name typed without it would not be found again.
    if (!path->endsWith(QStringLiteral(".json"), Qt::CaseInsensitive)) *path += QStringLiteral(".json");
    const qrv::client::Profile profile = qrv::client::ProfileFromRecord(module->base, module->property, false);
    if (const qrv::client::Status st = qrv::client::SaveProfile(LocalPath(*path), profile); !st.Ok()) {
        ShowMessage(
            QCoreApplication::translate("ProfileExchange", "导出配置失败：%1").arg(QString::fromStdString(st.message)),
            MessageIcon::Warning);
        return;
    }
    ShowMessage(QCoreApplication::translate("ProfileExchange", "配置已导出到 %1").arg(QDir::toNativeSeparators(*path)),
                MessageIcon::Information);
}

void ImportProfile(QWidget* parent, const ReadPageModule& read) {
    const std::optional<QString> path = qrvtune::CurrentToolkit().OpenFileName(parent, ProfileFilter());
    if (!path) return;
    qrv::client::Profile loaded;
    if (const qrv::client::Status st = qrv::client::LoadProfile(LocalPath(*path), loaded); !st.Ok()) {
        ShowMessage(
            QCoreApplication::translate("ProfileExchange", "导入配置失败：%1").arg(QString::fromStdString(st.message)),
            MessageIcon::Warning);
        return;
    }
    // Laid over the module's record as it reads now, so the differences
    // shown are the ones a write would make.
    const std::optional<PageModule> module = read();
    if (!module) return;
    const qrv::client::Profile profile = WithoutPassword(loaded);
    ModuleProperty filled = module->property;
    if (const qrv::client::Status st = qrv::client::ApplyProfile(profile, filled); !st.Ok()) {
        ShowMessage(
            QCoreApplication::translate("ProfileExchange", "导入配置失败：%1").arg(QString::fromStdString(st.message)),
            MessageIcon::Warning);
        return;
    }
    ShowModuleRecord(module->base, filled, module->form);
    ShowMessage(ImportedDifferencesText(qrv::client::CompareProfile(profile, module->property)),
                MessageIcon::Information);
}

QString FormLabelOf(const qrv::client::FieldSpec& field) {
    using qrv::client::FieldId;
    const char* label = nullptr;
    switch (field.id) {
        case FieldId::Name: label = QT_TRANSLATE_NOOP("ProfileExchange", "设备名称"); break;
        case FieldId::WorkMode: label = QT_TRANSLATE_NOOP("ProfileExchange", "工作类型"); break;
        case FieldId::Channel: label = QT_TRANSLATE_NOOP("ProfileExchange", "工作频率"); break;
        case FieldId::NetId: label = QT_TRANSLATE_NOOP("ProfileExchange", "网络号"); break;
        case FieldId::LocalAddress: label = QT_TRANSLATE_NOOP("ProfileExchange", "本机地址"); break;
        case FieldId::DestAddress: label = QT_TRANSLATE_NOOP("ProfileExchange", "目标地址"); break;
        case FieldId::AirRate: label = QT_TRANSLATE_NOOP("ProfileExchange", "速率"); break;
        case FieldId::TxPower: label = QT_TRANSLATE_NOOP("ProfileExchange", "发送功率"); break;
        case FieldId::RetryCount: label = QT_TRANSLATE_NOOP("ProfileExchange", "发送重试次数"); break;
        case FieldId::RetryInterval: label = QT_TRANSLATE_NOOP("ProfileExchange", "重试间隔时间"); break;
        case FieldId::UartBaud: label = QT_TRANSLATE_NOOP("ProfileExchange", "波特率"); break;
        case FieldId::UartDataBits: label = QT_TRANSLATE_NOOP("ProfileExchange", "数据位"); break;
        case FieldId::UartStopBits: label = QT_TRANSLATE_NOOP("ProfileExchange", "停止位"); break;
        case FieldId::UartParity: label = QT_TRANSLATE_NOOP("ProfileExchange", "校验位"); break;
        case FieldId::FrameGap: label = QT_TRANSLATE_NOOP("ProfileExchange", "分帧间隔"); break;
        case FieldId::FrameLength: label = QT_TRANSLATE_NOOP("ProfileExchange", "分帧长度"); break;
        case FieldId::Password: label = QT_TRANSLATE_NOOP("ProfileExchange", "密码"); break;
    }
    if (label == nullptr) return QString::fromUtf8(field.name.data(), static_cast<qsizetype>(field.name.size()));
    return QCoreApplication::translate("ProfileExchange", label);
}

QString ImportedDifferencesText(const std::vector<qrv::client::FieldDifference>& differences) {
    if (differences.empty()) return QCoreApplication::translate("ProfileExchange", "导入的配置与设备当前的配置相同。");
    QString text = QCoreApplication::translate("ProfileExchange", "导入的配置与设备有 %1 项不同（设备 → 配置文件）：")
                       .arg(differences.size());
    for (const qrv::client::FieldDifference& d : differences)
        text += QStringLiteral("\n%1: %2 → %3")
                    .arg(FormLabelOf(*d.field),
                         QString::fromStdString(qrv::client::FormatField(*d.field, d.found)),
                         QString::fromStdString(qrv::client::FormatField(*d.field, d.wanted)));
    return text + QLatin1Char('\n') +
           QCoreApplication::translate("ProfileExchange", "按“修改配置”并输入密码，才会写入设备。");
}
