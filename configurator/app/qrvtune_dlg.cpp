#include "app/qrvtune_dlg.h"

#include <QAbstractItemView>
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>

#include <algorithm>
#include <optional>
#include <string>

#include "app/about_dlg.h"
#include "app/auto_detect.h"
#include "app/port_list.h"
#include "app/serial_settings.h"
#include "app/skin.h"
#include "app/traffic_window.h"
#if !defined(_WIN32)
#include "dialogs/dlg_connection_doctor.h"
#endif
#include "common/failure_report.h"
#include "common/ini_file.h"
#include "common/module_dir.h"
#include "common/interface_language.h"
#include "common/personal_settings.h"
#include "common/record_fields.h"
#include "common/record_text.h"
#include "common/sdk_exchange_guard.h"
#include "common/session_state.h"
#include "qrvlink/qrvlink.h"
#include "toolkit/toolkit.h"
#include "ui_main_window.h"
#include "views/view_adio.h"
#include "views/view_base_info.h"
#include "views/view_dev_adv_cfg.h"
#include "views/view_local_dev_list.h"
#include "views/view_remote_dev_list.h"
#include "views/views.h"
#include "widgets/bounded_number_validator.h"
#include "widgets/wheel_guard.h"
#include "widgets/refusal_cue.h"

namespace {
CQrvtuneDlg* mainWindow = nullptr;

// What the window frame and title bar take around the client area, at most.
constexpr int kFrameAllowance = 16;

// The SDK takes Windows device paths; it strips this prefix itself.
const QString kDevicePathPrefix = QStringLiteral("\\\\.\\");

QIcon ApplicationIcon() {
    QIcon icon;
    for (const char* size : {"48", "128", "256"})
        icon.addFile(QStringLiteral(":/qrvtune/qrvtune-%1.png").arg(QLatin1String(size)));
    return icon;
}
}  // namespace

CQrvtuneDlg::CQrvtuneDlg(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::CQrvtuneDlg>()) {
    stylesDir_ = GetModuleDir() + QStringLiteral("/Styles/");
    LoadSkin(stylesDir_ + QLatin1String(kSkinFileName));

    ui_->setupUi(this);
    setWindowIcon(ApplicationIcon());
    ui_->imagePane->SetImagePath(BannerPath());
    mainWindow = this;

    BuildMenus();

    ui_->timeoutEdit->setValidator(new BoundedNumberValidator(kMinReadTimeoutMs, kMaxReadTimeoutMs, ui_->timeoutEdit));
    connect(ui_->timeoutEdit, &QLineEdit::inputRejected, this, [this] {
        MarkRefused(ui_->timeoutEdit, tr("%1：请输入 %2–%3 之间的整数。")
                                          .arg(ui_->timeoutLabel->text(), QString::number(kMinReadTimeoutMs),
                                               QString::number(kMaxReadTimeoutMs)));
    });
    connect(ui_->timeoutEdit, &QLineEdit::textChanged, this, [this] { ClearRefused(ui_->timeoutEdit); });
    connect(ui_->openButton, &QPushButton::clicked, this, &CQrvtuneDlg::OpenPort);
    connect(ui_->closeButton, &QPushButton::clicked, this, &CQrvtuneDlg::ClosePort);
    connect(ui_->rescanButton, &QPushButton::clicked, this, &CQrvtuneDlg::FillPortList);
    // A pulled adapter, noticed by any operation: the port is closed so that
    // re-plugging and "打开串口" work again.
    connect(&qrvtune::PortLoss::Instance(), &qrvtune::PortLoss::Lost, this, &CQrvtuneDlg::ClosePort);
    autoDetect_ = new AutoDetect(this, *ui_->serialLayout, 2, 6,
                                 {ui_->serialGroup, ui_->portCombo, ui_->baudCombo, ui_->dataBitsCombo,
                                  ui_->parityCombo, ui_->stopBitsCombo, [this] { OpenPort(); }});
    // A long entry shows from its start: the port's name, not the end of its description.
    // Queued: the field takes the entry's text (cursor at its end) after the signal.
    connect(
        ui_->portCombo, &QComboBox::currentIndexChanged, this,
        [this] { ui_->portCombo->lineEdit()->setCursorPosition(0); }, Qt::QueuedConnection);
    // The field may be narrower than its entry: the whole entry in its tooltip.
    connect(ui_->portCombo, &QComboBox::currentTextChanged, ui_->portCombo,
            [this](const QString& text) { ui_->portCombo->setToolTip(text); });

    // The panel does not scroll: a wheel over an unfocused list is dropped.
    WheelGuard::Install(*ui_->serialGroup, nullptr);
    BuildTabSets();
    FillPortList();
    ui_->stopBitsCombo->setCurrentIndex(kDefaultStopBitsPosition);
    ui_->parityCombo->setCurrentIndex(kDefaultParityPosition);
    ui_->dataBitsCombo->setCurrentIndex(kDefaultDataBitsPosition);
    ui_->baudCombo->setCurrentIndex(kDefaultBaudPosition);
    SelectRememberedLineSettings();
    BuildStatusBar();
    BuildShortcuts();
    SetPortControls(false);
    resize(FittingSize(sizeHint(), minimumSizeHint(), ScreenRoom()));
    setWindowTitle(QStringLiteral("Qrvtune V") +
                   ReadIniString(SettingsPath(), QStringLiteral("BaseInfo"), QStringLiteral("Ver")));
}

QSize FittingSize(QSize wanted, QSize minimum, QSize room) {
    return wanted.boundedTo(room).expandedTo(minimum);
}

QSize CQrvtuneDlg::ScreenRoom() const {
    const QScreen* shown = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (shown == nullptr) return sizeHint();
    // Leave the window manager room for the title bar and the frame.
    return shown->availableGeometry().size() - QSize(kFrameAllowance, 3 * kFrameAllowance);
}

QString BannerPath() {
    // The banner carries words: the English interface has its own beside it.
    const QString english = GetModuleDir() + QStringLiteral("/dadar_en.gxd");
    if (CurrentUiLanguage() == UiLanguage::English && QFileInfo::exists(english)) return english;
    return GetModuleDir() + QStringLiteral("/dadar.gxd");
}

CQrvtuneDlg::~CQrvtuneDlg() {
    // The pages outlive the window: take them back before the tab sets go,
    // and their answer to "which module?" with them.
    ViewDevAdvCfg().TargetSource().Set(nullptr);
    ViewADIO().TargetSource().Set(nullptr);
    QWidget* pages[] = {&ViewLocalDevList(), &ViewRemoteDevList(), &ViewBaseInfo(), &ViewDevAdvCfg(), &ViewADIO()};
    for (QWidget* page : pages) page->setParent(nullptr);
    if (mainWindow == this) mainWindow = nullptr;
}

CQrvtuneDlg* CQrvtuneDlg::MainWindow() { return mainWindow; }

int CQrvtuneDlg::ActiveLeftTab() const { return ui_->leftTabs->currentIndex(); }

int ActiveLeftTabIndex() {
    const CQrvtuneDlg* window = CQrvtuneDlg::MainWindow();
    return window != nullptr ? window->ActiveLeftTab() : kLeftTabLocal;
}

void CQrvtuneDlg::BuildMenus() {
    // The about item of the window's own menu (its context menu here), and
    // the same item where users look for it: the Help menu.
    auto* about = new QAction(tr("关于 Qrvtune(&A)..."), this);
    about->setObjectName(QStringLiteral("aboutAction"));
    connect(about, &QAction::triggered, this, &CQrvtuneDlg::ShowAbout);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("menuBar"));
    QMenu* settings = bar->addMenu(tr("设置(&S)"));
    settings->setObjectName(QStringLiteral("settingsMenu"));
    QMenu* language = settings->addMenu(tr("界面语言(&L)"));
    language->setObjectName(QStringLiteral("languageMenu"));
    auto* languages = new QActionGroup(language);
    const QString saved = ReadLanguageChoice();
    // Empty: the system's language.
    const std::pair<QString, QString> choices[] = {
        {QString(), tr("跟随系统(&Y)")}, {QStringLiteral("zh"), tr("中文(&C)")}, {QStringLiteral("en"), tr("English(&E)")}};
    for (const auto& [code, text] : choices) {
        QAction* choice = language->addAction(text);
        choice->setCheckable(true);
        choice->setChecked(code == saved || (code.isEmpty() && !UiLanguageFromCode(saved)));
        languages->addAction(choice);
        connect(choice, &QAction::triggered, this, [code] { ChooseLanguage(code); });
    }
    // Answers that a USB adapter delivers in pieces are read whole; kept
    // for this user from start to start.
    QAction* tolerant = settings->addAction(tr("容错读取(&T)"));
    tolerant->setObjectName(QStringLiteral("tolerantReadsAction"));
    tolerant->setCheckable(true);
    tolerant->setChecked(ReadTolerantReadsChoice() || Q_SetTolerantReads(0) == 1);
    Q_SetTolerantReads(tolerant->isChecked() ? 1 : 0);
    connect(tolerant, &QAction::toggled, this, [](bool on) {
        Q_SetTolerantReads(on ? 1 : 0);
        RememberTolerantReadsChoice(on);
    });
    // A far module on the local pair is reached without tuning: the SDK
    // tunes only where the radio is not already.
    Q_SetLazyTuning(1);
    auto* traffic = new CTrafficWindow(this);
    AddTrafficMenu(*bar, *traffic);
    QMenu* help = bar->addMenu(tr("帮助(&H)"));
    help->setObjectName(QStringLiteral("helpMenu"));
#if !defined(_WIN32)
    // Its checks read what Linux says about a port; Windows has no such item.
    QAction* doctor = help->addAction(tr("连接诊断(&D)..."));
    doctor->setObjectName(QStringLiteral("connectionDoctorAction"));
    connect(doctor, &QAction::triggered, this, [this, traffic] {
        CDlgConnectionDoctor dialog(ChosenPortName(), Q_ComCheckOpen() == 1,
                                    {&TrafficQueue::OnTrace, &traffic->Queue()}, this);
        dialog.exec();
    });
#endif
    help->addAction(about);
    layout()->setMenuBar(bar);
}

void CQrvtuneDlg::ChooseLanguage(const QString& code) {
    // The pages build their texts once, at start: the choice applies from
    // the next start on.
    if (!RememberLanguageChoice(code)) return;
    qrvtune::ShowMessage(tr("界面语言将在下次启动 Qrvtune 时更改。"), qrvtune::MessageIcon::Information);
}

void CQrvtuneDlg::BuildTabSets() {
    ui_->leftTabs->addTab(&ViewLocalDevList(), tr("本地设备"));
    ui_->leftTabs->addTab(&ViewRemoteDevList(), tr("网络设备"));
    ui_->rightTabs->addTab(&ViewBaseInfo(), tr("基本信息"));
    ui_->rightTabs->addTab(&ViewDevAdvCfg(), tr("高级"));
    ui_->rightTabs->addTab(&ViewADIO(), tr("无线IO"));
    ui_->leftTabs->setCurrentIndex(0);
    ui_->rightTabs->setCurrentIndex(0);
    // The advanced and wireless IO pages act on the module the left tab set
    // names: handed down here, asked when an action starts.
    const OperationTargetSource::Answer target = [this] {
        return OperationTargetFor(ui_->leftTabs->currentIndex() == kLeftTabNetwork, ViewRemoteDevList().SelectedRow());
    };
    ViewDevAdvCfg().TargetSource().Set(target);
    ViewADIO().TargetSource().Set(target);
}

QString CQrvtuneDlg::SettingsPath() const { return GetModuleDir() + QStringLiteral("/Meshcfg.ini"); }

void CQrvtuneDlg::FillPortList() {
    QComboBox& field = *ui_->portCombo;
    field.clear();
    int widest = 0;
    for (const PortEntry& port : AvailablePorts()) {
        field.addItem(port.label, port.name);
        field.setItemData(field.count() - 1, port.details, Qt::ToolTipRole);
        widest = std::max(widest, field.fontMetrics().horizontalAdvance(port.label));
    }
    // The open list is as wide as its longest entry, whatever the field's width.
    field.view()->setMinimumWidth(widest + 2 * field.style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    // A position beyond the list selects nothing and leaves the field empty.
    const int position = ReadIniInt(SettingsPath(), QStringLiteral("APP"), QStringLiteral("COM"), 0);
    field.setCurrentIndex(position < field.count() ? position : -1);
    // This user's last port wins over the shared position while it is there.
    if (const std::optional<PortChoice> last = ReadPortChoice()) {
        const int remembered = field.findData(last->port);
        if (remembered >= 0) field.setCurrentIndex(remembered);
    }
}

QString CQrvtuneDlg::ChosenPortName() const {
    // A listed port opens by its name; anything else as typed.
    const QString text = ui_->portCombo->currentText();
    const int listed = ui_->portCombo->findText(text);
    return listed >= 0 ? ui_->portCombo->itemData(listed).toString() : text;
}

void CQrvtuneDlg::SelectRememberedLineSettings() {
    const std::optional<PortChoice> last = ReadPortChoice();
    // The settings belong to that port: with the port gone (a pulled adapter,
    // a test's temporary port) they would only mislead the one shown.
    if (!last || ui_->portCombo->findData(last->port) < 0) return;
    const std::pair<QComboBox*, int> lists[] = {
        {ui_->baudCombo, PositionOfBaud(last->baud)},
        {ui_->dataBitsCombo, PositionOfDataBits(last->dataBits)},
        {ui_->parityCombo, PositionOfParity(last->parity)},
        {ui_->stopBitsCombo, PositionOfStopBits(last->stopBits)},
    };
    for (const auto& [list, position] : lists)
        if (position >= 0) list->setCurrentIndex(position);
    if (last->timeoutMs >= kMinReadTimeoutMs && last->timeoutMs <= kMaxReadTimeoutMs) {
        timeoutMs_ = last->timeoutMs;
        ui_->timeoutEdit->setText(QString::number(timeoutMs_));
    }
}

void CQrvtuneDlg::SetPortControls(bool open) {
    QWidget* settings[] = {ui_->portCombo,   ui_->baudCombo,   ui_->dataBitsCombo, ui_->parityCombo,
                           ui_->stopBitsCombo, ui_->timeoutEdit, ui_->openButton,    ui_->rescanButton,
                           autoDetect_->Button()};
    for (QWidget* control : settings) control->setEnabled(!open);
    ui_->closeButton->setEnabled(open);
    ui_->openButton->setVisible(!open);
    ui_->closeButton->setVisible(open);
    if (!open) openPort_.clear();
    localReadSinceOpen_ = false;
    ShowConnection();
}

void CQrvtuneDlg::BuildStatusBar() {
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("statusBar"));
    statusBar_->setSizeGripEnabled(false);
    layout()->addWidget(statusBar_);
    connect(&ViewLocalDevList(), &CViewLocalDevList::LocalModuleRead, this, [this] {
        localReadSinceOpen_ = !openPort_.isEmpty();
        ShowConnection();
    });
}

void CQrvtuneDlg::ShowConnection() {
    if (statusBar_ == nullptr) return;
    if (openPort_.isEmpty()) {
        statusBar_->showMessage(tr("未连接"));
        return;
    }
    QString text = tr("已连接：%1，%2 波特").arg(openPort_).arg(openBaud_);
    const Session& session = SessionState();
    if (localReadSinceOpen_ && session.LocalInfoLoaded != 0)
        text += QStringLiteral(" · ") + tr("本地设备 ID %1（%2，%3）")
                                           .arg(HexFieldText(session.LocalBase.NetAddr),
                                                GetDevTypeName(session.LocalBase.DevType),
                                                FormatFwVersion(session.LocalBase.FwVersion));
    else
        text += QStringLiteral(" · ") + tr("本地设备尚未读取");
    statusBar_->showMessage(text);
}

void CQrvtuneDlg::BuildShortcuts() {
    const std::pair<const char*, QKeySequence> keys[] = {{"readButton", QKeySequence(Qt::CTRL | Qt::Key_R)},
                                                         {"modifyButton", QKeySequence(Qt::CTRL | Qt::Key_S)}};
    for (const auto& [name, key] : keys) {
        // Both module pages have the button; the key presses the one shown.
        for (QWidget* page : {static_cast<QWidget*>(&ViewLocalDevList()), static_cast<QWidget*>(&ViewRemoteDevList())})
            if (auto* button = page->findChild<QPushButton*>(QLatin1String(name)))
                button->setToolTip(tr("%1（%2）").arg(button->text(), key.toString(QKeySequence::NativeText)));
        auto* shortcut = new QShortcut(key, this);
        shortcut->setObjectName(QLatin1String(name) + QStringLiteral("Shortcut"));
        connect(shortcut, &QShortcut::activated, this, [this, name = QLatin1String(name)] {
            QWidget* page = ui_->leftTabs->currentWidget();
            auto* button = page != nullptr ? page->findChild<QPushButton*>(name) : nullptr;
            if (button != nullptr && button->isEnabled()) button->click();
        });
    }
}

void CQrvtuneDlg::OpenPort() {
    CommitTimeout();

    const QString port = ChosenPortName();
    const std::wstring path = (kDevicePathPrefix + port).toStdWString();
    // A search sweep that outlived its dialog still talks through the port.
    auto lease = qrvtune::SdkExchangeGuard::Acquire();
    if (!lease) return;
    Q_CloseCom();
    const PortChoice choice{port,
                            BaudForPosition(ui_->baudCombo->currentIndex()),
                            DataBitsForPosition(ui_->dataBitsCombo->currentIndex()),
                            ParityForPosition(ui_->parityCombo->currentIndex()),
                            StopBitsForPosition(ui_->stopBitsCombo->currentIndex()),
                            timeoutMs_};
    const int opened = Q_OpenCom(path.c_str(), choice.baud, choice.dataBits, choice.parity, choice.stopBits,
                                 /*reserved=*/0, /*rtsControl=*/0, /*ctsOutFlow=*/0, /*dsrOutFlow=*/0, timeoutMs_);
    const qrvtune::SdkFailure failure = opened != 0 ? qrvtune::SdkFailure{} : qrvtune::LastSdkFailure();
    lease.Release();
    if (opened != 0) {
        openPort_ = port;
        openBaud_ = choice.baud;
        SetPortControls(true);
        // Offered again at the next start; a settings file that cannot be
        // written only loses that convenience.
        RememberPortChoice(choice);
        return;
    }
    qrvtune::ShowFailure(tr("打开串口失败"), qrvtune::MessageIcon::Warning, failure);
    SetPortControls(false);
}

void CQrvtuneDlg::CommitTimeout() {
    bool isNumber = false;
    const int timeout = ui_->timeoutEdit->text().trimmed().toInt(&isNumber);
    if (isNumber && timeout >= kMinReadTimeoutMs && timeout <= kMaxReadTimeoutMs) {
        timeoutMs_ = timeout;
        return;
    }
    // Refused like any whole-number box: the previous value comes back and
    // the port opens with it.
    ui_->timeoutEdit->setText(QString::number(timeoutMs_));
    // A number outside the range is told its range; "请输入一个整数。" stays
    // for what is no number at all.
    if (isNumber)
        qrvtune::ShowMessage(tr("%1：请输入 %2–%3 之间的整数。")
                                 .arg(ui_->timeoutLabel->text(), QString::number(kMinReadTimeoutMs),
                                      QString::number(kMaxReadTimeoutMs)),
                             qrvtune::MessageIcon::Warning);
    else
        qrvtune::ShowNotANumber();
}

void CQrvtuneDlg::ClosePort() {
    {
        const auto lease = qrvtune::SdkExchangeGuard::Acquire();
        if (!lease) return;
        // A far read leaves the radio away; the next program to open the
        // port expects the module on its own pair (nothing is sent when it is).
        Q_QRV_TuneHome();
        Q_CloseCom();
    }
    SetPortControls(false);
}

void CQrvtuneDlg::ShowAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CQrvtuneDlg::keyPressEvent(QKeyEvent* event) {
    // Enter does nothing here; Esc (and the close box) end the program.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
