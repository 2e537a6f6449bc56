// The form's checks: the shared table of field values through the boxes'
// rules, the lists' lengths from the field table, and the cues of a value
// refused while typed or on "修改配置".
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "common/record_fields.h"
#include "dialogs/search_worker.h"
#include "gui_fixture.h"
#include "support/field_cases.h"
#include "views/view_base_info.h"
#include "views/view_dev_adv_cfg.h"
#include "views/views.h"
#include "widgets/refusal_cue.h"

namespace {

using qrvtune::MessageIcon;

// What a user types for a table value: the 16-bit boxes take hexadecimal.
QString AsTyped(const qrv::test::FieldCase& c) {
    const QString text = QString::fromStdString(c.value);
    bool isNumber = false;
    const qlonglong n = text.toLongLong(&isNumber, 10);
    if (FieldRuleOf(c.field.c_str()).hex && isNumber && n >= 0) return QString::number(n, 16);
    return text;
}

TEST(FormChecks, BoxesAgreeWithTheSharedTable) {
    const auto cases = qrv::test::ReadFieldCases(QRV_FIELD_CASES);
    ASSERT_GT(cases.size(), 50u);
    for (const auto& c : cases)
        EXPECT_EQ(FormAccepts(c.field.c_str(), AsTyped(c)), c.accepted) << c.field << "=" << c.value;
}

// The search dialog has a check box per channel and per rate, laid out in
// its form; they must cover what the field table allows.
TEST(FormChecks, SearchBoxesCoverEveryChannelAndRate) {
    EXPECT_EQ(kFirstChannel, kChannelList.offset);
    EXPECT_EQ(kChannelCount, kChannelList.count);
    EXPECT_EQ(kRateCount, kAirRateList.count);
}

using FormCues = GuiTest;

TEST_F(FormCues, EachListHasAnEntryPerValueOfItsField) {
    const struct {
        const char* combo;
        RecordList list;
    } lists[] = {
        {"workModeCombo", kWorkModeList},     {"uartBaudCombo", kUartBaudList}, {"uartDataBitsCombo", kUartDataBitsList},
        {"uartParityCombo", kUartParityList}, {"uartStopBitsCombo", kUartStopBitsList},
        {"airRateCombo", kAirRateList},       {"txPowerCombo", kTxPowerList},   {"channelCombo", kChannelList},
    };
    for (const auto& [name, list] : lists)
        EXPECT_EQ(ViewBaseInfo().findChild<QComboBox*>(QLatin1String(name))->count(), list.count) << name;
}

TEST_F(FormCues, TypingPastTheRangeIsRefusedWithTheRangeShown) {
    auto* box = ViewDevAdvCfg().findChild<QLineEdit*>(QStringLiteral("retryCountEdit"));
    box->clear();
    QTest::keyClicks(box, QStringLiteral("300"));
    EXPECT_EQ(box->text(), QStringLiteral("30"));
    EXPECT_TRUE(IsMarkedRefused(box));
    EXPECT_EQ(box->toolTip(), QStringLiteral("发送重试次数：请输入 0–255 之间的整数。"));
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_FALSE(IsMarkedRefused(box));
}

TEST_F(FormCues, CheckNamesTheFirstBadBoxWithItsRange) {
    const struct {
        QWidget* page;
        const char* box;
        const char* text;
        const char* message;
    } rows[] = {
        {&ViewDevAdvCfg(), "retryCountEdit", "", "发送重试次数：请输入 0–255 之间的整数。"},
        {&ViewDevAdvCfg(), "retryIntervalEdit", "", "重试间隔时间：请输入 0–65535 之间的整数。"},
        {&ViewBaseInfo(), "localAddrEdit", "", "本机地址：请输入 0–FFFF 之间的十六进制数。"},
        {&ViewBaseInfo(), "netIdEdit", "0x", "网络号：请输入 0–FFFF 之间的十六进制数。"},
    };
    // A fresh form has empty address boxes: every box valid first.
    for (const char* name : {"netIdEdit", "localAddrEdit", "destAddrEdit"})
        ViewBaseInfo().findChild<QLineEdit*>(QLatin1String(name))->setText(QStringLiteral("1"));
    ASSERT_TRUE(CheckModuleForm());
    for (const auto& row : rows) {
        auto* box = row.page->findChild<QLineEdit*>(QLatin1String(row.box));
        const QString before = box->text();
        box->setText(QString::fromUtf8(row.text));
        toolkit_.ClearMessages();
        EXPECT_FALSE(CheckModuleForm()) << row.box;
        const CapturedMessage expected{QString::fromUtf8(row.message), MessageIcon::Warning};
        EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{expected});
        EXPECT_TRUE(IsMarkedRefused(box));
        box->setText(before);
        EXPECT_FALSE(IsMarkedRefused(box));
    }
}

}  // namespace
