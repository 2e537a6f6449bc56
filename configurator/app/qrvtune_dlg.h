#pragma once
// The main window (template 102): the serial panel, the image pane and the
// two tab sets that host the five pages.
#include <QCoreApplication>
#include <QDialog>
#include <QSize>
#include <QString>

#include <memory>

namespace Ui {
class CQrvtuneDlg;
}
class AutoDetect;
class QStatusBar;

// The left tab set's tabs: which module an operation of the advanced and
// wireless IO pages is meant for.
inline constexpr int kLeftTabLocal = 0;    // "本地设备": the module on the port
inline constexpr int kLeftTabNetwork = 1;  // "网络设备": the row selected in the network list

class CQrvtuneDlg : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(CQrvtuneDlg)

public:
    explicit CQrvtuneDlg(QWidget* parent = nullptr);
    ~CQrvtuneDlg() override;

    // The program's main window while one exists, else nullptr.
    static CQrvtuneDlg* MainWindow();

    int ActiveLeftTab() const;
    const QString& StylesDir() const { return stylesDir_; }

    // Refills the port field and selects the position the settings file names.
    void FillPortList();
    // Closed: settings editable, open and rescan offered. Open: only close.
    void SetPortControls(bool open);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The menu bar: "设置" with the interface language, "帮助" with the
    // about item (and room for more windows).
    void BuildMenus();
    // A language picked in the Settings menu: "zh", "en", or empty for the system's.
    static void ChooseLanguage(const QString& code);
    void BuildTabSets();
    void OpenPort();
    void ClosePort();
    // The time-out box into timeoutMs_: 1 to 60000 ms, else the box is
    // refused and shows the previous value again.
    void CommitTimeout();
    // The port to open: a listed entry's name, or the field's text as typed.
    QString ChosenPortName() const;
    // This user's line settings of the last successful open, when there are any.
    void SelectRememberedLineSettings();
    void ShowAbout();
    // The status bar at the window's foot: port, baud rate and the local
    // module's identity while open, "未连接" while closed.
    void BuildStatusBar();
    void ShowConnection();
    // Ctrl+R and Ctrl+S press "读取" and "修改配置" of the left tab shown.
    void BuildShortcuts();
    QString SettingsPath() const;
    // The room the screen the window is on leaves for its client area.
    QSize ScreenRoom() const;

    std::unique_ptr<Ui::CQrvtuneDlg> ui_;
    AutoDetect* autoDetect_ = nullptr;  // "自动检测", owned by the window
    QString stylesDir_;
    int timeoutMs_ = 1000;
    QStatusBar* statusBar_ = nullptr;
    QString openPort_;              // as opened; empty while closed
    int openBaud_ = 0;
    bool localReadSinceOpen_ = false;  // the identity read belongs to this port
};

// The image pane's picture beside the program: dadar.gxd, or dadar_en.gxd
// for the English interface when it is there.
QString BannerPath();

// The size a window opens at: the size it asks for, cut to the room the
// screen leaves, but never below its minimum (pages scroll below that).
QSize FittingSize(QSize wanted, QSize minimum, QSize room);

// The active tab of the main window's left tab set; kLeftTabLocal when no
// main window exists.
int ActiveLeftTabIndex();
