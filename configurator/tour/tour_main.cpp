// qrvtune_tour: runs the real Qrvtune main window on Qt's offscreen platform
// against a simulated module network and photographs each page and dialog.
//
//   qrvtune_tour --out DIR [--port PATH --baud N] [--lang zh|en] [--screen WxH]
//
// Without --port a simulator runs in-process (the default network, answers
// paced at 9600 baud) and announces its port as qrvsim does. The exit status
// is 0 unless a step failed; skipped steps (pages that do not act yet) are
// listed but do not fail the tour. DIR/tour.txt lists every step, its
// outcome and its pictures.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <string>

#include "app/qrvtune_app.h"
#include "app/qrvtune_dlg.h"
#include "qrvlink/qrvlink.h"
#include "sim/port_link.h"
#include "sim/simulator.h"
#include "toolkit/toolkit.h"
#include "tour/firmware_file.h"
#include "tour/tour.h"
#include "tour/tour_toolkit.h"

namespace {

using qrvtune::tour::StepReport;

// 9600 baud leaves the SDK's end-of-answer silence (40 character times) far
// above what a busy machine's scheduling can stretch a gap to.
constexpr int kInProcessBaud = 9600;
constexpr int kDefaultPortBaud = 115200;
// A four-block image at module offset 0x0800: a few seconds of upgrade.
constexpr int kFirmwareStart = 0x0800;
constexpr int kFirmwareBlocks = 4;

// The offscreen platform's remarks about what it cannot do (window size
// hints, no runtime folder) say nothing about the program; they are dropped.
QtMessageHandler defaultHandler = nullptr;
void QuietOffscreenRemarks(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("propagateSizeHints")) || text.contains(QLatin1String("XDG_RUNTIME_DIR")))
        return;
    defaultHandler(type, context, text);
}

bool WriteManifest(const QString& path, const std::vector<StepReport>& reports) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) return false;
    QTextStream out(&file);
    // One line a step: name, outcome, pictures; then the note after '#'.
    for (const StepReport& report : reports) {
        out << report.name << ' ' << qrvtune::tour::StatusName(report.status);
        for (const QString& picture : report.pictures) out << ' ' << picture;
        if (!report.note.isEmpty()) out << " # " << report.note;
        out << '\n';
    }
    return true;
}

}  // namespace

// The offscreen platform, with one screen of the size --screen WxH asks for
// (written to a configuration file in `scratch`): the window then opens at
// the size the program picks for such a screen. Read before the
// application exists, as the platform is chosen when it starts.
QByteArray OffscreenPlatform(int argc, char** argv, const QTemporaryDir& scratch) {
    QByteArray size;
    for (int i = 1; i + 1 < argc; ++i)
        if (qstrcmp(argv[i], "--screen") == 0) size = argv[i + 1];
    const QList<QByteArray> sides = size.split('x');
    if (sides.size() != 2 || !scratch.isValid()) return "offscreen";
    const QString path = scratch.filePath(QStringLiteral("screen.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return "offscreen";
    file.write("{\"screens\": [{\"name\": \"tour\", \"x\": 0, \"y\": 0, \"width\": " + sides[0] +
               ", \"height\": " + sides[1] + ", \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}");
    return "offscreen:configfile=" + QFile::encodeName(path);
}

int main(int argc, char** argv) {
    // Always offscreen: the tour needs no display and must not open windows on one.
    const QTemporaryDir platformScratch;
    qputenv("QT_QPA_PLATFORM", OffscreenPlatform(argc, argv, platformScratch));
    // The window remembers the port it opened: a tour on a temporary
    // simulator must not become the user's remembered port.
    if (platformScratch.isValid()) qputenv("XDG_CONFIG_HOME", QFile::encodeName(platformScratch.filePath(QStringLiteral("config"))));
    defaultHandler = qInstallMessageHandler(&QuietOffscreenRemarks);
    QApplication application(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Scripted tour of Qrvtune against a simulated module network"));
    parser.addHelpOption();
    const QCommandLineOption outOption(QStringLiteral("out"), QStringLiteral("Folder for the screenshots."),
                                       QStringLiteral("DIR"));
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port of a running qrvsim (default: a simulator in-process)."),
                                        QStringLiteral("PATH"));
    const QCommandLineOption baudOption(QStringLiteral("baud"),
                                        QStringLiteral("Baud rate to open the port with (9600 in-process, else 115200)."),
                                        QStringLiteral("N"));
    const QCommandLineOption langOption(QStringLiteral("lang"),
                                        QStringLiteral("Interface language, zh or en (default: as Qrvtune chooses)."),
                                        QStringLiteral("zh|en"));
    const QCommandLineOption screenOption(QStringLiteral("screen"),
                                          QStringLiteral("Size of the screen the window opens on (default 800x800)."),
                                          QStringLiteral("WxH"));
    parser.addOptions({outOption, portOption, baudOption, langOption, screenOption});
    parser.process(application);
    if (!parser.isSet(outOption)) {
        std::fprintf(stderr, "qrvtune_tour: --out DIR is required\n");
        return 2;
    }

    qrvtune::tour::TourOptions options;
    options.outDir = QDir(parser.value(outOption)).absolutePath();
    if (!QDir().mkpath(options.outDir)) {
        std::fprintf(stderr, "qrvtune_tour: cannot create %s\n", options.outDir.toUtf8().constData());
        return 1;
    }

    std::unique_ptr<qrv::sim::Simulator> simulator;
    qrv::sim::PortLink announced;
    if (parser.isSet(portOption)) {
        options.portPath = parser.value(portOption);
        options.baud = kDefaultPortBaud;
    } else {
        qrv::sim::SimulatorOptions simOptions;
        simOptions.baud = kInProcessBaud;
        simulator = std::make_unique<qrv::sim::Simulator>(qrv::sim::Scenario::Default(), simOptions);
        std::string error;
        if (!simulator->Start(&error)) {
            std::fprintf(stderr, "qrvtune_tour: simulator: %s\n", error.c_str());
            return 1;
        }
        // Announced like qrvsim's own port, so the port list offers it; the
        // bare pty path is typed in when that is not possible.
        options.portPath = QString::fromStdString(simulator->SlavePath());
        if (announced.Announce(qrv::sim::AnnounceDirectory(), simulator->SlavePath(), error))
            options.portPath = QString::fromStdString(announced.Path());
        options.baud = kInProcessBaud;
    }
    if (parser.isSet(baudOption)) options.baud = parser.value(baudOption).toInt();

    QTemporaryDir scratch;
    options.firmwarePath = scratch.filePath(QStringLiteral("demo-firmware.bin"));
    if (!scratch.isValid() || !qrvtune::tour::WriteFirmwareImage(options.firmwarePath, kFirmwareStart, kFirmwareBlocks)) {
        std::fprintf(stderr, "qrvtune_tour: cannot write the firmware image\n");
        return 1;
    }

    std::printf("qrvtune_tour: %s at %d baud\n", options.portPath.toUtf8().constData(), options.baud);
    qrvtune::tour::TourToolkit toolkit;
    qrvtune::InstallToolkit(&toolkit);
    qrvtune::tour::Tour tour(options, toolkit);
    bool ran = false;
    // Runs inside the main window's modal loop, as the user's clicks would.
    QTimer::singleShot(0, [&] {
        if (CQrvtuneDlg* window = CQrvtuneDlg::MainWindow()) {
            ran = true;
            tour.Run(*window);
        }
    });
    CQrvtuneApp app(parser.value(langOption));
    app.InitInstance();
    Q_CloseCom();
    qrvtune::InstallToolkit(nullptr);

    const QString manifest = QDir(options.outDir).filePath(QStringLiteral("tour.txt"));
    if (!ran || !WriteManifest(manifest, tour.Reports())) {
        std::fprintf(stderr, "qrvtune_tour: the tour did not run\n");
        return 1;
    }
    std::printf("qrvtune_tour: screenshots in %s (list: %s)\n", options.outDir.toUtf8().constData(),
                manifest.toUtf8().constData());
    return tour.Failed() ? 1 : 0;
}
