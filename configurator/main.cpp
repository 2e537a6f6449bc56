#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

#include "app/qrvtune_app.h"
#include "app/versions.h"
#include "common/interface_language.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationVersion(ProgramVersion());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Qrvtune: configurator for 2.4 GHz radio modules on a serial port"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption language(
        QStringLiteral("lang"),
        QStringLiteral("Interface language: zh (Chinese) or en (English). Default: the choice saved in the "
                       "Settings menu, else the system's language."),
        QStringLiteral("zh|en"));
    parser.addOption(language);
    parser.process(application);
    const QString requested = parser.value(language);
    if (!requested.isEmpty() && !UiLanguageFromCode(requested)) {
        std::fprintf(stderr, "Qrvtune: --lang takes zh or en, not %s\n", requested.toLocal8Bit().constData());
        return 2;
    }

    CQrvtuneApp app(requested);
    app.InitInstance();
    return app.ExitInstance();
}
