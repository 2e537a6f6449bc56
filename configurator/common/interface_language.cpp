#include "common/interface_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {

UiLanguage current = UiLanguage::Chinese;

// The installed translation; none while the program speaks Chinese.
std::unique_ptr<QTranslator>& Installed() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

// Qt's own texts (file dialogs, standard buttons, context menus) in the
// program's language: Qt speaks English unless given its Chinese catalogue.
std::unique_ptr<QTranslator>& QtInstalled() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

void ApplyQtLanguage(UiLanguage language) {
    std::unique_ptr<QTranslator>& installed = QtInstalled();
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    if (language != UiLanguage::Chinese) return;
    auto translator = std::make_unique<QTranslator>();
    // Without the catalogue (not installed) Qt's texts stay English.
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) return;
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
}

}  // namespace

std::optional<UiLanguage> UiLanguageFromCode(const QString& code) {
    if (code == QLatin1String("zh")) return UiLanguage::Chinese;
    if (code == QLatin1String("en")) return UiLanguage::English;
    return std::nullopt;
}

QString UiLanguageCode(UiLanguage language) {
    return language == UiLanguage::English ? QStringLiteral("en") : QStringLiteral("zh");
}

UiLanguage ChooseUiLanguage(const QString& requested, const QString& saved, const QLocale& system) {
    if (const auto language = UiLanguageFromCode(requested)) return *language;
    if (const auto language = UiLanguageFromCode(saved)) return *language;
    return system.language() == QLocale::Chinese ? UiLanguage::Chinese : UiLanguage::English;
}

bool ApplyUiLanguage(UiLanguage language, const QString& folder) {
    std::unique_ptr<QTranslator>& installed = Installed();
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    current = UiLanguage::Chinese;
    ApplyQtLanguage(language);
    if (language == UiLanguage::Chinese) return true;

    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qrvtune_en"), folder)) return false;
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
    current = language;
    return true;
}

UiLanguage CurrentUiLanguage() { return current; }
