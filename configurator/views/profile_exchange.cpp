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
#include "views/profile_texts.h"

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

void ShowImportRefusal(const QString& why) {
    ShowMessage(QCoreApplication::translate("ProfileExchange", "导入配置失败：%1").arg(why), MessageIcon::Warning);
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

std::optional<PageModule> ReadLocalModuleForProfile(Session& session) {
    if (!session.PortOpen()) {
        ShowMessage(QCoreApplication::translate("CViewLocalDevList", "串口未打开，请先打开串口再进行此操作!"));
        return std::nullopt;
    }
    PageModule module{FormModule::Local()};
    qrvtune::SdkFailure failure;
    // Said with its reason, as "读取" says it.
    if (qrvtune::WithSdkLinkNoting(failure, [&] { return Q_QRV_GetPropertyAll(&module.base, &module.property); }) !=
        1) {
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
        qrvtune::ShowFailure(QCoreApplication::translate("CViewRemoteDevList", "获取失败！"), MessageIcon::None,
                             failure);
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
    if (!qrv::client::SaveProfile(LocalPath(*path), profile).Ok()) {
        ShowMessage(QCoreApplication::translate("ProfileExchange", "导出配置失败：%1").arg(UnwritableText(*path)),
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
    qrv::client::ProfileFault fault;
    if (!qrv::client::LoadProfile(LocalPath(*path), loaded, &fault).Ok()) {
        ShowImportRefusal(ProfileFaultText(fault, *path));
        return;
    }
    // Laid over the module's record as it reads now, so the differences
    // shown are the ones a write would make.
    const std::optional<PageModule> module = read();
    if (!module) return;
    const qrv::client::Profile profile = WithoutPassword(loaded);
    // Field by field, so that a refusal names the field; nothing is shown
    // unless every field fits this module.
    ModuleProperty filled = module->property;
    for (const qrv::client::ProfileField& f : profile.fields)
        if (!qrv::client::WriteField(filled, *f.field, f.value).Ok()) {
            ShowImportRefusal(QCoreApplication::translate("ProfileExchange", "%1：配置文件中的值“%2”不能用于此设备。")
                                  .arg(FormLabelOf(*f.field), FormValueOf(*f.field, f.value)));
            return;
        }
    ShowModuleRecord(module->base, filled, module->form);
    ShowMessage(ImportedDifferencesText(qrv::client::CompareProfile(profile, module->property)),
                MessageIcon::Information);
}
