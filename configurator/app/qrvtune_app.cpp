#include "app/qrvtune_app.h"

#include <QApplication>

#include <cstdio>
#include <utility>

#include "app/qrvtune_dlg.h"
#include "app/sdk_messages.h"
#include "common/interface_language.h"
#include "common/module_dir.h"
#include "common/personal_settings.h"
#include "common/sdk_exchange_guard.h"
#include "views/views.h"

CQrvtuneApp::CQrvtuneApp(QString language) : requestedLanguage_(std::move(language)) {}
CQrvtuneApp::~CQrvtuneApp() = default;

bool CQrvtuneApp::InitInstance() {
    QApplication::setApplicationName(QStringLiteral("Qrvtune"));
    // The desktop entry qrvtune.desktop: the window and its icon belong to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("qrvtune"));
    // Names the per-user settings location only; nothing is stored there.
    QApplication::setOrganizationName(QStringLiteral("应用程序向导生成的本地应用程序"));

    // Every text is built in the chosen language: before the first page.
    const UiLanguage language = ChooseUiLanguage(requestedLanguage_, ReadLanguageChoice(), QLocale::system());
    if (!ApplyUiLanguage(language, GetModuleDir()))
        std::fprintf(stderr, "Qrvtune: no English translation (qrvtune_en.qm) beside the program; using Chinese\n");

    // The five pages exist before the main window builds its tab sets.
    views_ = std::make_unique<CViewSet>(session_);

    InstallSdkMessageHandler();
    {
        CQrvtuneDlg window;  // loads the skin
        window.exec();
    }
    // A search sweep that outlived its dialog must end before the SDK goes
    // away with the process.
    qrvtune::SdkExchangeGuard::Acquire();
    return false;
}

int CQrvtuneApp::ExitInstance() { return 0; }
