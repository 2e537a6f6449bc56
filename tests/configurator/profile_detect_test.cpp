// The profile buttons of the local page and the main window's 自动检测,
// against the simulated module: an exported profile imported again (edited
// or not) fills the form and lists what differs, writing nothing; detection
// finds a module at 19200 baud and opens its port, and names what it tried
// when nothing answers.
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QThread>
#include <chrono>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>

#include "app/qrvtune_dlg.h"
#include "common/session_state.h"
#include "gui_fixture.h"
#include "qrvlink/qrvlink.h"
#include "sim/simulator.h"
#include "support/pty_pair.h"
#include "views/module_record.h"
#include "views/profile_texts.h"
#include "views/view_local_dev_list.h"

namespace {

using qrvtune::MessageIcon;

class ProfileAndDetect : public GuiTest {
protected:
    void StartSim(unsigned baud) {
        qrv::sim::SimulatorOptions options;
        options.baud = baud;
        sim_ = std::make_unique<qrv::sim::Simulator>(qrv::sim::Scenario::Default(), options);
        std::string error;
        ASSERT_TRUE(sim_->Start(&error)) << error;
    }
    void TearDown() override {
        Q_CloseCom();
        sim_.reset();
        GuiTest::TearDown();
    }
    void Click(QWidget& owner, const char* button) {
        auto* control = owner.findChild<QPushButton*>(QLatin1String(button));
        ASSERT_NE(control, nullptr) << button;
        control->click();
    }
    // Serves the window's events until a message box was shown.
    std::vector<CapturedMessage> WaitForMessage() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (toolkit_.Messages().empty() && std::chrono::steady_clock::now() < end) {
            QCoreApplication::processEvents();
            QThread::msleep(10);
        }
        return toolkit_.Messages();
    }
    // The port as the simulator announces it, where the port list looks.
    QString Announce(const std::string& slave) {
        const QString dir = RuntimeDir() + QStringLiteral("/qrvsim");
        const QString link = dir + QStringLiteral("/qrvsim0");
        EXPECT_TRUE(QDir().mkpath(dir));
        EXPECT_TRUE(QFile::link(QString::fromStdString(slave), link));
        return link;
    }

    std::unique_ptr<qrv::sim::Simulator> sim_;
};

TEST_F(ProfileAndDetect, ExportedProfileImportedAgainShowsItsDifferencesAndWritesNothing) {
    StartSim(9600);
    const std::wstring path = QString::fromStdString(sim_->SlavePath()).toStdWString();
    ASSERT_EQ(Q_OpenCom(path.c_str(), 9600, 8, 0, 0, 0, 0, 0, 0, 500), 1);
    const QString file = ModuleDir() + QStringLiteral("/line.json");
    toolkit_.ScriptFileAnswer(file);
    Click(ViewLocalDevList(), "exportProfileButton");
    ASSERT_EQ(toolkit_.Messages().size(), 1u);
    EXPECT_EQ(toolkit_.Messages()[0].icon, MessageIcon::Information);
    EXPECT_TRUE(toolkit_.FileFilters().front().contains(QStringLiteral("*.json")));
    const nlohmann::json exported = nlohmann::json::parse(std::ifstream(file.toStdString()));
    EXPECT_EQ(exported["fields"]["channel"], 11);
    EXPECT_FALSE(exported["fields"].contains("password"));
    // A name typed without ".json" gets it: "导入配置…" lists only those.
    toolkit_.ScriptFileAnswer(ModuleDir() + QStringLiteral("/typed"));
    Click(ViewLocalDevList(), "exportProfileButton");
    EXPECT_TRUE(QFile::exists(ModuleDir() + QStringLiteral("/typed.json")));

    const struct {
        const char* name;
        int channel;  // written into the profile before the import
        const char* says;
    } rows[] = {
        {"as exported", 11, "相同"},
        {"edited", 20, "工作频率: 11 (2405 MHz) → 20 (2450 MHz)"},  // named as the form names it
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        nlohmann::json edited = exported;
        edited["fields"]["channel"] = row.channel;
        std::ofstream(file.toStdString()) << edited.dump(2);
        toolkit_.ClearMessages();
        sim_->ClearLog();
        toolkit_.ScriptFileAnswer(file);
        Click(ViewLocalDevList(), "importProfileButton");
        ASSERT_EQ(toolkit_.Messages().size(), 1u);
        EXPECT_TRUE(toolkit_.Messages()[0].text.contains(QString::fromUtf8(row.says)))
            << toolkit_.Messages()[0].text.toStdString();
        // The form holds the local module's record with the profile laid over.
        EXPECT_EQ(FormHolds(), FormModule::Local());
        ModuleProperty form = SessionState().LocalProperty;
        CollectModuleRecord(form);
        EXPECT_EQ(form.Channel, row.channel);
        EXPECT_STREQ(form.DevName, sim_->Module(0).config.record.DevName);
        for (const auto& entry : sim_->Log())
            EXPECT_FALSE(entry.kind == qrv::sim::LogKind::Request && entry.bytes.size() > 1 && entry.bytes[1] == 0xD3);
        EXPECT_EQ(sim_->Module(0).config.record.Channel, 11);
    }
}

// A refused profile is named by what is wrong with it, a field by the
// form's label and a value as the form shows it; nothing reaches the form.
TEST_F(ProfileAndDetect, RefusedProfilesSayWhyInTheFormsWords) {
    const std::string head = R"({"format": "qrvlink-profile", "version": )";
    const struct {
        std::string content;  // nothing: the file does not exist
        const char* says;
    } rows[] = {
        {"", "不存在"},
        {"{\n\"format\":", "不是有效的 JSON 文件（第 2 行有误）"},
        {R"({"format": "other"})", "不是配置文件"},
        {head + R"(9, "fields": {"channel": 11}})", "配置文件的版本 9 比本程序新（本程序读取版本 1）"},
        {head + R"(1, "fields": {}})", "配置文件中没有任何配置项"},
        {head + R"(1, "fields": {"colour": 1}})", "配置文件中的“colour”不是设备的配置项"},
        {head + R"(1, "fields": {"retry-count": 300}})", "发送重试次数：请输入 0–255 之间的整数。"},
        {head + R"(1, "fields": {"work-mode": "boss"}})", "工作类型：“boss”不是可选的值。"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.says);
        const QString file = ModuleDir() + QStringLiteral("/refused.json");
        QFile::remove(file);
        if (!row.content.empty()) std::ofstream(file.toStdString()) << row.content;
        toolkit_.ClearMessages();
        toolkit_.ScriptFileAnswer(file);
        Click(ViewLocalDevList(), "importProfileButton");
        const std::vector<CapturedMessage> messages = toolkit_.Messages();
        ASSERT_EQ(messages.size(), 1u);
        const CapturedMessage& message = messages[0];
        EXPECT_EQ(message.icon, MessageIcon::Warning);
        EXPECT_TRUE(message.text.startsWith(QStringLiteral("导入配置失败："))) << message.text.toStdString();
        EXPECT_TRUE(message.text.contains(QString::fromUtf8(row.says))) << message.text.toStdString();
    }
    EXPECT_EQ(FormValueOf(*qrv::client::FindField("work-mode"), std::string("terminal-relay")),
              QStringLiteral("终端+中继模式"));
}

TEST_F(ProfileAndDetect, AutoDetectFindsTheModuleAndOpensItsPort) {
    StartSim(19200);
    const QString link = Announce(sim_->SlavePath());
    CQrvtuneDlg window;
    Click(window, "autoDetectButton");
    const std::vector<CapturedMessage> messages = WaitForMessage();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, MessageIcon::Information);
    EXPECT_TRUE(messages[0].text.contains(link)) << messages[0].text.toStdString();
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("19200"))) << messages[0].text.toStdString();
    EXPECT_EQ(window.findChild<QComboBox*>(QStringLiteral("baudCombo"))->currentText(), QStringLiteral("19200"));
    EXPECT_TRUE(SessionState().PortOpen());
    EXPECT_EQ(Q_QRV_LoadInfo(), 1);  // open at the module's rate
}

TEST_F(ProfileAndDetect, AutoDetectOnASilentPortSaysWhatItTried) {
    qrv::test::PtyPair silent;
    const QString link = Announce(silent.SlavePath());
    CQrvtuneDlg window;
    Click(window, "autoDetectButton");
    auto* button = window.findChild<QPushButton*>(QStringLiteral("autoDetectButton"));
    EXPECT_FALSE(button->isEnabled());  // the scan runs on; the window serves events meanwhile
    const std::vector<CapturedMessage> messages = WaitForMessage();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(messages[0].text.startsWith(QStringLiteral("没有模块应答"))) << messages[0].text.toStdString();
    EXPECT_TRUE(messages[0].text.contains(link)) << messages[0].text.toStdString();
    EXPECT_TRUE(button->isEnabled());
    EXPECT_FALSE(SessionState().PortOpen());
}

}  // namespace
