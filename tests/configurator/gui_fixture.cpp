#include "gui_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/module_dir.h"
#include "common/session_state.h"
#include "views/views.h"

namespace {
void EnsureApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "configurator_tests";
    static char* argv[] = {name, nullptr};
    // Lives until the process ends, like the program's own.
    static auto* app = new QApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Qrvtune"));
    (void)app;
}
}  // namespace

void GuiTest::SetUp() {
    EnsureApplication();
    ASSERT_TRUE(moduleDir_.isValid());
    ASSERT_TRUE(runtimeDir_.isValid());
    qrvtune::InstallToolkit(&toolkit_);
    shippedFiles_.emplace(ShippedFiles{moduleDir_.path()});
    savedRuntimeDir_ = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtimeDir_.path().toLocal8Bit());
    ASSERT_TRUE(configDir_.isValid());
    savedConfigDir_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", configDir_.path().toLocal8Bit());
    // The English translation as the build makes it, beside the program.
    ASSERT_TRUE(ApplyUiLanguage(Language(), QStringLiteral(QRV_TRANSLATIONS_DIR)));
    views_ = std::make_unique<CViewSet>(session_);
}

void GuiTest::TearDown() {
    views_.reset();
    ApplyUiLanguage(UiLanguage::Chinese, QString());
    shippedFiles_.reset();
    qrvtune::InstallToolkit(nullptr);
    if (savedRuntimeDir_.isNull())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", savedRuntimeDir_);
    if (savedConfigDir_.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedConfigDir_);
    qApp->setStyleSheet(QString());
}

void GuiTest::WriteModuleFile(const QString& relativePath, const QByteArray& bytes) {
    const QString path = moduleDir_.filePath(relativePath);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Fontconfig keeps its caches for the life of the process; LeakSanitizer
// would report them at exit in every test that lays out text.
extern "C" const char* __lsan_default_suppressions();
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

// Qt is not built for ThreadSanitizer: its raster engine fills and converts
// large areas on Qt's own thread pool, handing the tasks over with futexes the
// tool cannot see. Memory accesses made inside Qt (its allocations, copies and
// frees) are left out; synchronisation and every access of our code are not.
extern "C" const char* __tsan_default_suppressions();
extern "C" __attribute__((visibility("default"))) const char* __tsan_default_suppressions() {
    return "called_from_lib:libQt6Core.so.6\n"
           "called_from_lib:libQt6Gui.so.6\n";
}
