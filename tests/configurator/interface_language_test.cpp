// The interface in both languages: which language a start chooses, every
// window and dialog in English without a Chinese text left, the SDK's own
// messages translated, and the main window on a small screen in either
// language with nothing cut.
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>

#include "app/about_dlg.h"
#include "app/qrvtune_dlg.h"
#include "app/sdk_messages.h"
#include "app/traffic_window.h"
#include "common/field_hint.h"
#include "dialogs/dlg_connection_doctor.h"
#include "dialogs/dlg_input_pwd.h"
#include "dialogs/dlg_search_dev.h"
#include "dialogs/dlg_upgrade_frame.h"
#include "gui_fixture.h"
#include "qrvlink/qrvlink.h"
#include "toolkit/qt_toolkit.h"
#include "views/view_adio.h"
#include "views/view_base_info.h"
#include "views/view_dev_adv_cfg.h"
#include "views/view_local_dev_list.h"
#include "views/view_remote_dev_list.h"

namespace {

using qrvtune::MessageIcon;

// Han characters and the full-width punctuation that goes with them.
bool HasChinese(const QString& text) {
    static const QRegularExpression chinese(QStringLiteral("[\\x{3000}-\\x{303F}\\x{3400}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
    return text.contains(chinese);
}

// Every text a user can read in `root` as it is shown: labels, buttons,
// titles, boxes, list entries, column heads, tab and menu texts, tooltips.
QStringList ShownTexts(QWidget& root) {
    QStringList texts{root.windowTitle()};
    QList<QWidget*> widgets = root.findChildren<QWidget*>();
    widgets.prepend(&root);
    for (QWidget* widget : widgets) {
        if (widget != &root && !widget->isVisibleTo(&root)) continue;
        texts << widget->toolTip();
        if (auto* label = qobject_cast<QLabel*>(widget)) texts << label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) texts << button->text();
        if (auto* group = qobject_cast<QGroupBox*>(widget)) texts << group->title();
        if (auto* box = qobject_cast<QLineEdit*>(widget)) texts << box->text() << box->placeholderText();
        if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) texts << box->toPlainText();
        if (auto* list = qobject_cast<QComboBox*>(widget))
            for (int i = 0; i < list->count(); ++i) texts << list->itemText(i);
        if (auto* tabs = qobject_cast<QTabWidget*>(widget))
            for (int i = 0; i < tabs->count(); ++i) texts << tabs->tabText(i);
        if (auto* table = qobject_cast<QTableWidget*>(widget))
            for (int i = 0; i < table->columnCount(); ++i) texts << table->horizontalHeaderItem(i)->text();
        if (auto* bar = qobject_cast<QMenuBar*>(widget))
            for (QAction* menu : bar->actions()) {
                texts << menu->text();
                if (menu->menu() == nullptr) continue;
                for (QAction* item : menu->menu()->actions()) {
                    texts << item->text();
                    if (item->menu() != nullptr)
                        for (QAction* sub : item->menu()->actions()) texts << sub->text();
                }
            }
    }
    return texts;
}

void ExpectNoChinese(QWidget& root, const char* where) {
    for (const QString& text : ShownTexts(root)) EXPECT_FALSE(HasChinese(text)) << where << ": " << text.toStdString();
}

// Latin words a Chinese text may hold: product, device and state names,
// units, keys, file types and the name "English" in the language menu
// (and "Channel", the channel list's own word
// since the first version). Paths and hexadecimal numbers are left out
// before the words are taken.
QStringList EnglishWords(QString text) {
    static const QStringList allowed = {
        QStringLiteral("Qrvtune"), QStringLiteral("Qrvlink"), QStringLiteral("qrvsim"), QStringLiteral("QRV"),
        QStringLiteral("KORVANET"), QStringLiteral("VLX"), QStringLiteral("IO"), QStringLiteral("ID"),
        QStringLiteral("BOOT"), QStringLiteral("USER"), QStringLiteral("NOBOOT"), QStringLiteral("Ctrl"),
        QStringLiteral("ms"), QStringLiteral("mV"), QStringLiteral("MHz"), QStringLiteral("dBm"), QStringLiteral("bps"), QStringLiteral("K"),
        QStringLiteral("M"), QStringLiteral("AD"), QStringLiteral("USB"), QStringLiteral("bin"), QStringLiteral("json"),
        QStringLiteral("txt"), QStringLiteral("ZigBee"), QStringLiteral("Channel"), QStringLiteral("English"), QStringLiteral("Qt"), QStringLiteral("SDK"),
        QStringLiteral("GBK"), QStringLiteral("V"), QStringLiteral("ttyUSB"), QStringLiteral("COM")};
    static const QRegularExpression paths(
        QStringLiteral("(\\S*/\\S*)|(0x[0-9A-Fa-f]+)|\\b[0-9A-Fa-f]*[0-9][0-9A-Fa-f]*\\b|\\b[A-Fa-f]{4}\\b|"
                       // A port entry's description is the system's (its driver or USB product text).
                       "\\btty\\w+\\s+\u2014\\s+.*$|\\btty\\w+"));
    static const QRegularExpression words(QStringLiteral("[A-Za-z]{2,}"));
    text.remove(paths);
    QStringList found;
    for (const QRegularExpressionMatch& word : words.globalMatch(text))
        if (!allowed.contains(word.captured(), Qt::CaseInsensitive)) found << word.captured();
    return found;
}

void ExpectNoEnglish(QWidget& root, const char* where) {
    for (const QString& text : ShownTexts(root))
        EXPECT_TRUE(EnglishWords(text).isEmpty()) << where << ": " << text.toStdString();
}

// Runs `check` with every pair of tabs shown, one of each tab set.
void OnEveryTabPair(CQrvtuneDlg& window, const std::function<void()>& check) {
    auto* left = window.findChild<QTabWidget*>(QStringLiteral("leftTabs"));
    auto* right = window.findChild<QTabWidget*>(QStringLiteral("rightTabs"));
    for (int l = 0; l < left->count(); ++l)
        for (int r = 0; r < right->count(); ++r) {
            left->setCurrentIndex(l);
            right->setCurrentIndex(r);
            QApplication::processEvents();
            check();
        }
}

class EnglishInterface : public GuiTest {
protected:
    UiLanguage Language() const override { return UiLanguage::English; }
};

template <typename Dialog>
void ExpectDialogInEnglish(const char* name) {
    Dialog dialog;
    dialog.show();
    ExpectNoChinese(dialog, name);
}

template <typename Dialog>
void ExpectDialogInChinese(const char* name) {
    Dialog dialog;
    dialog.show();
    ExpectNoEnglish(dialog, name);
}

// A profile whose retry count is out of range: "导入配置…" refuses it by the
// form's label.
QString BadProfile(const QString& dir) {
    const QString path = dir + QStringLiteral("/bad.json");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"format": "qrvlink-profile", "version": 1, "fields": {"retry-count": 300}})");
    return path;
}

// The connection doctor on a port that does not exist, the port "open" so
// that no line check runs.
std::unique_ptr<CDlgConnectionDoctor> ShownDoctor() {
    auto doctor = std::make_unique<CDlgConnectionDoctor>(QStringLiteral("/dev/ttyQRVNOSUCHPORT"), true,
                                                         qrv::client::TraceChain{});
    doctor->show();
    return doctor;
}

bool AnyMessage(const CapturingToolkit& toolkit, const QString& text) {
    const std::vector<CapturedMessage> messages = toolkit.Messages();
    return std::any_of(messages.begin(), messages.end(), [&](const CapturedMessage& m) { return m.text == text; });
}

// Presses every button that answers without a module (the port is not
// open), on every page; the messages are left in the toolkit. The first
// file asked for is a refused profile.
void PressEveryButtonWithoutAModule(CQrvtuneDlg& window, CapturingToolkit& toolkit, const QString& dir) {
    toolkit.ScriptFileAnswer(BadProfile(dir));
    window.findChild<QLineEdit*>(QStringLiteral("timeoutEdit"))->setText(QStringLiteral("x"));
    window.findChild<QComboBox*>(QStringLiteral("portCombo"))->setEditText(QStringLiteral("ttyQRVNOSUCHPORT"));
    window.findChild<QPushButton*>(QStringLiteral("openButton"))->click();
    for (QWidget* page : {static_cast<QWidget*>(&ViewLocalDevList()), static_cast<QWidget*>(&ViewDevAdvCfg()),
                          static_cast<QWidget*>(&ViewADIO())})
        for (QPushButton* button : page->findChildren<QPushButton*>()) button->click();
    window.findChild<QTabWidget*>(QStringLiteral("leftTabs"))->setCurrentIndex(kLeftTabNetwork);
    for (QPushButton* button : ViewRemoteDevList().findChildren<QPushButton*>())
        if (button->objectName() != QLatin1String("searchButton")) button->click();
}

}  // namespace

TEST(InterfaceLanguage, CommandLineThenSavedChoiceThenTheSystemsLanguage) {
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    const QLocale german(QLocale::German, QLocale::Germany);
    const struct {
        const char* requested;
        const char* saved;
        QLocale system;
        UiLanguage chosen;
    } cases[] = {
        {"en", "zh", chinese, UiLanguage::English}, {"zh", "en", german, UiLanguage::Chinese},
        {"", "en", chinese, UiLanguage::English},   {"", "zh", german, UiLanguage::Chinese},
        {"", "", chinese, UiLanguage::Chinese},     {"", "", german, UiLanguage::English},
        {"fr", "xx", german, UiLanguage::English},
    };
    for (const auto& entry : cases)
        EXPECT_EQ(ChooseUiLanguage(QString::fromLatin1(entry.requested), QString::fromLatin1(entry.saved), entry.system),
                  entry.chosen)
            << entry.requested << '/' << entry.saved;
}

TEST_F(EnglishInterface, EveryWindowAndDialogShowsNoChinese) {
    EXPECT_EQ(CurrentUiLanguage(), UiLanguage::English);
    CQrvtuneDlg window;
    window.show();
    OnEveryTabPair(window, [&] { ExpectNoChinese(window, "main window"); });
    auto* left = window.findChild<QTabWidget*>(QStringLiteral("leftTabs"));
    EXPECT_EQ(left->tabText(0), QStringLiteral("Local device"));

    ExpectDialogInEnglish<CAboutDlg>("about box");
    ExpectDialogInEnglish<CDlgInputPwd>("password dialog");
    ExpectDialogInEnglish<CDlgSearchDev>("search dialog");
    ExpectDialogInEnglish<CDlgUpgradeFrame>("upgrade dialog");
    ExpectDialogInEnglish<CTrafficWindow>("traffic window");
    auto box = qrvtune::MakeMessageBox(QStringLiteral("text"), MessageIcon::Warning, nullptr);
    box->show();
    ExpectNoChinese(*box, "message box");
    ExpectNoChinese(*ShownDoctor(), "connection doctor");
    auto* language = window.findChild<QMenu*>(QStringLiteral("languageMenu"));
    EXPECT_EQ(language->actions().at(2)->text(), QStringLiteral("&English"));

    // The messages of every button that answers without a module.
    PressEveryButtonWithoutAModule(window, toolkit_, ModuleDir());
    EXPECT_GE(toolkit_.Messages().size(), 10u);
    EXPECT_TRUE(AnyMessage(toolkit_, QStringLiteral("The profile could not be imported: Send retries: enter a whole "
                                                    "number from 0 to 255.")));
    for (const CapturedMessage& message : toolkit_.Messages()) {
        EXPECT_FALSE(HasChinese(message.text)) << message.text.toStdString();
        EXPECT_FALSE(HasChinese(message.informative)) << message.informative.toStdString();
    }
    EXPECT_EQ(toolkit_.Messages().front().text, QStringLiteral("Please enter an integer."));
}

// The same sweep in Chinese: no English word outside names, units and
// paths, Qt's own dialogs included.
using ChineseInterface = GuiTest;

TEST_F(ChineseInterface, EveryWindowDialogAndMessageShowsNoEnglishWords) {
    EXPECT_EQ(EnglishWords(QStringLiteral("串口 /dev/ttyUSB0，115200 波特，ID 0x1A2B，250K")), QStringList());
    EXPECT_EQ(EnglishWords(QStringLiteral("the device hung up")), QStringLiteral("the device hung up").split(QLatin1Char(' ')));
    CQrvtuneDlg window;
    window.show();
    OnEveryTabPair(window, [&] { ExpectNoEnglish(window, "main window"); });
    ExpectDialogInChinese<CAboutDlg>("about box");
    ExpectDialogInChinese<CDlgInputPwd>("password dialog");
    ExpectDialogInChinese<CDlgSearchDev>("search dialog");
    ExpectDialogInChinese<CDlgUpgradeFrame>("upgrade dialog");
    ExpectDialogInChinese<CTrafficWindow>("traffic window");
    auto box = qrvtune::MakeMessageBox(QStringLiteral("文字"), MessageIcon::Warning, nullptr);
    box->show();
    ExpectNoEnglish(*box, "message box");
    // Qt's own file dialog speaks the interface's language too.
    QFileDialog files(nullptr, QString(), QDir::tempPath(),
                      qrvtune::QtFileFilter(QStringLiteral("固件文件 (*.bin)|*.bin||")));
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.show();
    ExpectNoEnglish(files, "file dialog");
    // The doctor's report keeps check names and commands as they are typed;
    // none of its sentences is the checks' English.
    const auto doctor = ShownDoctor();
    EXPECT_TRUE(EnglishWords(doctor->windowTitle()).isEmpty());
    const QString report = doctor->ReportText();
    for (const qrv::client::CheckResult& check : doctor->Checks())
        EXPECT_TRUE(check.found.empty() || !report.contains(QString::fromStdString(check.found)))
            << report.toStdString();

    PressEveryButtonWithoutAModule(window, toolkit_, ModuleDir());
    EXPECT_GE(toolkit_.Messages().size(), 10u);
    EXPECT_TRUE(AnyMessage(toolkit_, QStringLiteral("导入配置失败：发送重试次数：请输入 0–255 之间的整数。")));
    for (const CapturedMessage& message : toolkit_.Messages()) {
        EXPECT_TRUE(EnglishWords(message.text).isEmpty()) << message.text.toStdString();
        // The SDK's own line of facts ("详细信息：…") is put into words where
        // the failure reasons are read; the advice above it is checked here.
        const QString advice = message.informative.section(QStringLiteral("详细信息："), 0, 0);
        EXPECT_TRUE(EnglishWords(advice).isEmpty()) << message.informative.toStdString();
    }
}

TEST_F(EnglishInterface, SdkMessagesAndFieldHintsComeInEnglish) {
    EXPECT_EQ(SdkMessageText(QStringLiteral("固件文件“/tmp/a%2.bin”不完整：文件头需要 9 个数据块，文件中只有 4 个")),
              QStringLiteral("The firmware file “/tmp/a%2.bin” is incomplete: its header names 9 blocks, the file holds only 4"));
    EXPECT_EQ(SdkMessageText(QStringLiteral("固件版本不对")), QStringLiteral("Wrong firmware version"));
    EXPECT_EQ(SdkMessageText(QStringLiteral("unknown")), QStringLiteral("unknown"));

    WriteModuleFile(QStringLiteral("desc.ini"), "[desc]\n1=名称\n2=状态\n[desc_en]\n1=name\n");
    EXPECT_EQ(ReadFieldHint(1), QStringLiteral("name"));
    EXPECT_EQ(ReadFieldHint(2), QStringLiteral("状态"));  // no English wording: the Chinese one

    // The traffic list's meanings keep the decoder's own names in English.
    TrafficModel traffic;
    traffic.Append({TrafficFrame{0, 0, QByteArray::fromHex("abd1ba"), QTime()}});
    EXPECT_EQ(traffic.index(0, TrafficModel::kMeaning).data().toString(), QStringLiteral("read-base-info"));
}

// On a 1024×600 screen nothing is cut off: the window fits, every control
// keeps at least the room it needs, and the pages scroll instead of
// squeezing. The same holds at any scale (QT_SCALE_FACTOR only changes the
// screen's size in these units).
class SmallScreen : public GuiTest, public ::testing::WithParamInterface<UiLanguage> {
protected:
    UiLanguage Language() const override { return GetParam(); }
};

TEST_P(SmallScreen, WindowShrinksTo1024By600WithNothingCut) {
    CQrvtuneDlg window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QSize minimum = window.minimumSizeHint();
    EXPECT_LE(minimum.width(), 1024);
    EXPECT_LE(minimum.height(), 600);
    window.resize(1024, 600);
    QApplication::processEvents();
    EXPECT_EQ(window.size(), QSize(1024, 600));

    OnEveryTabPair(window, [&] {
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            if (!widget->isVisibleTo(&window) || qobject_cast<QAbstractScrollArea*>(widget->parentWidget())) continue;
            const QSize needed = widget->minimumSizeHint();
            const QString name = widget->objectName();
            if (needed.isValid() && !name.isEmpty() && !name.startsWith(QLatin1String("qt_"))) {
                EXPECT_GE(widget->width(), needed.width()) << name.toStdString();
                EXPECT_GE(widget->height(), needed.height()) << name.toStdString();
            }
        }
    });
    // The pages scroll where they must: the form needs more height than 600.
    window.findChild<QTabWidget*>(QStringLiteral("rightTabs"))->setCurrentIndex(0);
    QApplication::processEvents();
    EXPECT_TRUE(ViewBaseInfo().findChild<QScrollArea*>()->verticalScrollBar()->isVisible());

    // Column heads are never cut: the network list's and the traffic window's.
    auto* traffic = window.findChild<CTrafficWindow*>(QStringLiteral("trafficWindow"));
    for (QTableView* table : {static_cast<QTableView*>(ViewRemoteDevList().findChild<QTableWidget*>()),
                              traffic->findChild<QTableView*>(QStringLiteral("frameView"))}) {
        const QHeaderView& heads = *table->horizontalHeader();
        for (int column = 0; column + 1 < heads.count(); ++column)  // the last one stretches
            EXPECT_GE(table->columnWidth(column), heads.sectionSizeHint(column))
                << table->objectName().toStdString() << " column " << column;
    }
}

// Run by ctest on a 1366×768 screen and on a 1920×1080 one at 150 %; the
// default offscreen screen (800×800) is below what the window is made for.
TEST_P(SmallScreen, WindowOpensAtASizeThatFitsItsScreen) {
    CQrvtuneDlg window;
    const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size();
    if (room.width() < 1024 || room.height() < 600) GTEST_SKIP() << "a screen below 1024x600";
    window.show();
    EXPECT_LE(window.frameGeometry().width(), room.width());
    EXPECT_LE(window.frameGeometry().height(), room.height());
    // As large as it asks for where there is room.
    EXPECT_EQ(window.width(), std::min(window.sizeHint().width(), room.width() - 16));
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, SmallScreen, ::testing::Values(UiLanguage::Chinese, UiLanguage::English),
                         [](const ::testing::TestParamInfo<UiLanguage>& language) {
                             return language.param == UiLanguage::English ? std::string("English") : std::string("Chinese");
                         });
