// A record spread over the property form and the advanced page and gathered
// back: every field on screen, round trips, edits, values the lists cannot
// show, the name box's limit and the field hints from desc.ini.
#include "views/module_record.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <cstring>

#include "common/field_hint.h"
#include "gui_fixture.h"
#include "views/view_base_info.h"
#include "views/view_dev_adv_cfg.h"
#include "views/views.h"

namespace {

using qrvtune::MessageIcon;

ModuleBase SampleBase() {
    ModuleBase base{};
    base.NetAddr = 0x00A1;
    base.DevType = 0x12;
    base.RunState = 0xAA;
    base.FwVersion = 0x0105;
    return base;
}

ModuleProperty SampleProperty() {
    ModuleProperty property;
    std::memset(&property, 0x7E, sizeof property);  // bytes after the terminators stay visible
    std::memcpy(property.DevName,
                "\xC4\xA3\xBF\xE9"
                "A1",
                7);  // 模块A1
    std::memcpy(property.Password, "secret", 7);
    property.WorkMode = 2;
    property.Channel = 11;
    property.NetId = 0x00AB;
    property.LocalAddr = 0x1234;
    property.DestAddr = 0xFFFF;
    property.AirRate = 1;
    property.TxPower = 0x0B;
    property.RetryCount = 3;
    property.RetryInterval = 500;
    property.UartBaud = 7;
    property.UartDataBits = 8;
    property.UartStopBits = 1;
    property.UartParity = 2;
    property.FrameGap = 20;
    property.FrameLen = 100;
    property.Spare51 = 0x5A;
    property.RunState = 0x55;
    property.DevType = 0x10;
    property.FwVersion = 0x0123;
    return property;
}

// Chinese text arrives from an input method as committed strings, one
// character at a time here.
void TypeText(QWidget* box, const QString& text) {
    for (const QChar c : text) {
        QInputMethodEvent event;
        event.setCommitString(QString(c));
        QApplication::sendEvent(box, &event);
    }
}

bool SameBytes(const ModuleProperty& a, const ModuleProperty& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class ModuleRecordForm : public GuiTest {
protected:
    template <typename T>
    static T* Form(const char* name) {
        T* child = ViewBaseInfo().findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    template <typename T>
    static T* Advanced(const char* name) {
        T* child = ViewDevAdvCfg().findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    static QString Text(const char* name) { return Form<QLineEdit>(name)->text(); }
    static QString Entry(const char* name) { return Form<QComboBox>(name)->currentText(); }
    static QString AdvancedText(const char* name) { return Advanced<QLineEdit>(name)->text(); }

    // Gives a control the input focus the way a click would.
    static void Focus(QWidget* page, QWidget* control) {
        page->show();
        page->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(page));
        control->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(control->hasFocus());
    }
};

}  // namespace

TEST_F(ModuleRecordForm, PagesStartEmptyAndTheAdvancedBoxesAtZero) {
    EXPECT_EQ(Text("devNameEdit"), QString());
    EXPECT_EQ(Text("statusEdit"), QString());
    EXPECT_EQ(Form<QComboBox>("channelCombo")->currentIndex(), -1);
    EXPECT_EQ(Form<QComboBox>("workModeCombo")->currentIndex(), -1);
    for (const char* box : {"frameGapEdit", "frameLenEdit", "retryCountEdit", "retryIntervalEdit"})
        EXPECT_EQ(AdvancedText(box), QStringLiteral("0")) << box;
    EXPECT_EQ(ViewDevAdvCfg().Values(), AdvancedValues{});
}

TEST_F(ModuleRecordForm, ShowPutsEveryFieldOnTheTwoPages) {
    ShowModuleRecord(SampleBase(), SampleProperty(), FormModule::Local());
    EXPECT_EQ(Text("devNameEdit"), QStringLiteral("模块A1"));
    EXPECT_EQ(Text("statusEdit"), QStringLiteral("QVR-1 V1.23 USER"));  // run state of the base record
    EXPECT_EQ(Text("netIdEdit"), QStringLiteral("ab"));
    EXPECT_EQ(Text("localAddrEdit"), QStringLiteral("1234"));
    EXPECT_EQ(Text("destAddrEdit"), QStringLiteral("ffff"));
    EXPECT_EQ(Entry("workModeCombo"), QStringLiteral("主机+中继模式"));
    EXPECT_EQ(Entry("uartBaudCombo"), QStringLiteral("115200"));
    EXPECT_EQ(Entry("uartDataBitsCombo"), QStringLiteral("8"));
    EXPECT_EQ(Entry("uartParityCombo"), QStringLiteral("偶校验"));
    EXPECT_EQ(Entry("uartStopBitsCombo"), QStringLiteral("1"));
    EXPECT_EQ(Entry("airRateCombo"), QStringLiteral("500 K"));
    EXPECT_EQ(Entry("txPowerCombo"), QStringLiteral("0x0B: -5   dBm"));
    EXPECT_EQ(Entry("channelCombo"), QStringLiteral("Channel 11 (2405MHz)"));
    EXPECT_EQ(AdvancedText("frameGapEdit"), QStringLiteral("20"));
    EXPECT_EQ(AdvancedText("frameLenEdit"), QStringLiteral("100"));
    EXPECT_EQ(AdvancedText("retryCountEdit"), QStringLiteral("3"));
    EXPECT_EQ(AdvancedText("retryIntervalEdit"), QStringLiteral("500"));

    ModuleProperty edge = SampleProperty();
    edge.Channel = 30;
    edge.TxPower = 0x12;
    edge.UartStopBits = 2;
    edge.WorkMode = 6;
    edge.AirRate = 2;
    edge.UartParity = 4;
    ShowModuleRecord(SampleBase(), edge, FormModule::Local());
    EXPECT_EQ(Entry("channelCombo"), QStringLiteral("Channel 30 (2500MHz)"));
    EXPECT_EQ(Entry("txPowerCombo"), QStringLiteral("0x12: -50dBm"));
    EXPECT_EQ(Entry("uartStopBitsCombo"), QStringLiteral("2"));
    EXPECT_EQ(Entry("workModeCombo"), QStringLiteral("联动IO模式"));
    EXPECT_EQ(Entry("airRateCombo"), QStringLiteral("1  M"));
    EXPECT_EQ(Entry("uartParityCombo"), QStringLiteral("强制为1"));
}

TEST_F(ModuleRecordForm, UneditedRecordComesBackByteForByte) {
    const ModuleProperty shown = SampleProperty();
    ShowModuleRecord(SampleBase(), shown, FormModule::Local());
    ModuleProperty collected = shown;
    CollectModuleRecord(collected);
    EXPECT_TRUE(SameBytes(collected, shown));
}

TEST_F(ModuleRecordForm, ValuesTheListsCannotShowSurviveUnlessAnEntryIsPicked) {
    ModuleProperty odd = SampleProperty();
    odd.Channel = 40;
    odd.TxPower = 0x20;
    odd.UartDataBits = 9;
    odd.WorkMode = 0xFF;
    ShowModuleRecord(SampleBase(), odd, FormModule::Local());
    EXPECT_EQ(Form<QComboBox>("channelCombo")->currentIndex(), -1);
    EXPECT_EQ(Form<QComboBox>("txPowerCombo")->currentIndex(), -1);

    ModuleProperty collected = odd;
    CollectModuleRecord(collected);
    EXPECT_TRUE(SameBytes(collected, odd));

    Form<QComboBox>("channelCombo")->setCurrentIndex(0);
    CollectModuleRecord(collected);
    EXPECT_EQ(collected.Channel, 6);
    EXPECT_EQ(collected.TxPower, 0x20);
}

TEST_F(ModuleRecordForm, EditsGoIntoTheRecordAndNothingElseChanges) {
    const ModuleProperty shown = SampleProperty();
    ShowModuleRecord(SampleBase(), shown, FormModule::Local());
    auto* name = Form<QLineEdit>("devNameEdit");
    name->clear();
    TypeText(name, QStringLiteral("测试ABC"));
    Form<QLineEdit>("netIdEdit")->setText(QStringLiteral("0x1F"));
    Form<QLineEdit>("localAddrEdit")->setText(QStringLiteral("12345"));
    Form<QLineEdit>("destAddrEdit")->setText(QStringLiteral(" 0Xbeef"));
    Form<QComboBox>("workModeCombo")->setCurrentIndex(4);
    Form<QComboBox>("uartBaudCombo")->setCurrentIndex(0);
    Form<QComboBox>("uartDataBitsCombo")->setCurrentIndex(0);
    Form<QComboBox>("uartParityCombo")->setCurrentIndex(3);
    Form<QComboBox>("uartStopBitsCombo")->setCurrentIndex(1);
    Form<QComboBox>("airRateCombo")->setCurrentIndex(0);
    Form<QComboBox>("txPowerCombo")->setCurrentIndex(16);
    Form<QComboBox>("channelCombo")->setCurrentIndex(24);
    Advanced<QLineEdit>("frameGapEdit")->setText(QStringLiteral("300"));
    Advanced<QLineEdit>("frameLenEdit")->setText(QStringLiteral("256"));
    Advanced<QLineEdit>("retryCountEdit")->setText(QStringLiteral("7"));
    Advanced<QLineEdit>("retryIntervalEdit")->setText(QStringLiteral("70000"));

    ModuleProperty collected = shown;
    CollectModuleRecord(collected);
    EXPECT_EQ(std::string(collected.DevName), std::string("\xB2\xE2\xCA\xD4"
                                                          "ABC"));  // 测试ABC in GBK
    // Packed 16-bit fields are compared as values (+): gtest takes its arguments by reference.
    EXPECT_EQ(+collected.NetId, 0x001F);
    EXPECT_EQ(+collected.LocalAddr, 0x2345);
    EXPECT_EQ(+collected.DestAddr, 0xBEEF);
    EXPECT_EQ(collected.WorkMode, 4);
    EXPECT_EQ(collected.UartBaud, 0);
    EXPECT_EQ(collected.UartDataBits, 5);
    EXPECT_EQ(collected.UartParity, 3);
    EXPECT_EQ(collected.UartStopBits, 2);
    EXPECT_EQ(collected.AirRate, 0);
    EXPECT_EQ(collected.TxPower, 0x12);
    EXPECT_EQ(collected.Channel, 30);
    EXPECT_EQ(collected.FrameGap, 44);
    EXPECT_EQ(collected.FrameLen, 0);
    EXPECT_EQ(collected.RetryCount, 7);
    EXPECT_EQ(+collected.RetryInterval, 4464);
    // Never touched by the pages.
    EXPECT_EQ(std::memcmp(collected.Password, shown.Password, sizeof shown.Password), 0);
    EXPECT_EQ(collected.Spare51, shown.Spare51);
    EXPECT_EQ(collected.RunState, shown.RunState);
    EXPECT_EQ(+collected.DevType, +shown.DevType);
    EXPECT_EQ(+collected.FwVersion, +shown.FwVersion);
    // The new name's terminator is copied; the old bytes behind it stay.
    EXPECT_EQ(collected.DevName[7], '\0');
    EXPECT_EQ(collected.DevName[8], shown.DevName[8]);
}

TEST_F(ModuleRecordForm, AddressBoxWithoutAHexNumberKeepsTheRecordValue) {
    const ModuleProperty shown = SampleProperty();
    ShowModuleRecord(SampleBase(), shown, FormModule::Local());
    Form<QLineEdit>("netIdEdit")->setText(QStringLiteral("zz"));
    Form<QLineEdit>("localAddrEdit")->clear();
    Form<QLineEdit>("destAddrEdit")->setText(QStringLiteral("-5"));
    ModuleProperty collected = shown;
    CollectModuleRecord(collected);
    EXPECT_EQ(+collected.NetId, +shown.NetId);
    EXPECT_EQ(+collected.LocalAddr, +shown.LocalAddr);
    EXPECT_EQ(+collected.DestAddr, +shown.DestAddr);
}

TEST_F(ModuleRecordForm, NameBoxRefusesWhatWouldNotFitFifteenGbkBytes) {
    auto* name = Form<QLineEdit>("devNameEdit");
    TypeText(name, QStringLiteral("一二三四五六七八"));  // the eighth would make 16 bytes
    EXPECT_EQ(name->text(), QStringLiteral("一二三四五六七"));
    QTest::keyClicks(name, QStringLiteral("AB"));  // one more byte fits, the second not
    EXPECT_EQ(name->text(), QStringLiteral("一二三四五六七A"));

    ModuleProperty collected = SampleProperty();
    CollectModuleRecord(collected);
    EXPECT_EQ(std::string(collected.DevName), std::string("\xD2\xBB\xB6\xFE\xC8\xFD\xCB\xC4\xCE\xE5\xC1\xF9\xC6\xDF"
                                                          "A"));
}

// What a box cannot store is refused as it is typed, instead of being cut
// or replaced on its way into the record.
TEST_F(ModuleRecordForm, BoxesRefuseWhatTheirFieldCannotHoldAsItIsTyped) {
    const struct {
        QLineEdit* box;
        const char* typed;
        const char* kept;
    } cases[] = {
        {Form<QLineEdit>("localAddrEdit"), "12345", "1234"},    {Form<QLineEdit>("netIdEdit"), "0xbeef1", "0xbeef"},
        {Form<QLineEdit>("destAddrEdit"), " g-a", "a"},         {Advanced<QLineEdit>("frameGapEdit"), "300", "30"},
        {Advanced<QLineEdit>("frameLenEdit"), "255", "255"},    {Advanced<QLineEdit>("retryCountEdit"), "256", "25"},
        {Advanced<QLineEdit>("retryIntervalEdit"), "70000", "7000"},
        {Advanced<QLineEdit>("retryIntervalEdit"), "65535", "65535"},
    };
    for (const auto& entry : cases) {
        entry.box->clear();
        QTest::keyClicks(entry.box, QString::fromLatin1(entry.typed));
        EXPECT_EQ(entry.box->text(), QString::fromLatin1(entry.kept)) << entry.typed;
    }
    EXPECT_TRUE(toolkit_.Messages().empty());
}

TEST_F(ModuleRecordForm, NameBoxCountsTheBytesLeftAndRefusesCharactersGbkLacks) {
    auto* name = Form<QLineEdit>("devNameEdit");
    auto* left = Form<QLabel>("devNameBytesLabel");
    EXPECT_EQ(left->text(), QStringLiteral("剩余 15 字节"));
    TypeText(name, QStringLiteral("模块A"));
    EXPECT_EQ(left->text(), QStringLiteral("剩余 10 字节"));

    TypeText(name, QStringLiteral("한"));  // Hangul: no GBK form, would be stored as '?'
    EXPECT_EQ(name->text(), QStringLiteral("模块A"));
    const std::vector<CapturedMessage> expected{
        {QStringLiteral("设备名称不能含有模块不支持的字符，请从新输入"), MessageIcon::None}};
    EXPECT_EQ(toolkit_.Messages(), expected);

    // A full box says so beside it, without a message.
    toolkit_.ClearMessages();
    QTest::keyClicks(name, QStringLiteral("0123456789X"));
    EXPECT_EQ(name->text(), QStringLiteral("模块A0123456789"));
    EXPECT_EQ(left->text(), QStringLiteral("剩余 0 字节"));
    EXPECT_TRUE(toolkit_.Messages().empty());
}

TEST_F(ModuleRecordForm, UneditedNameKeepsBytesTheScreenCannotShow) {
    ModuleProperty odd = SampleProperty();
    std::memcpy(odd.DevName,
                "AB\xFF\xFF"
                "CDEFGHIJKLMN",
                16);  // undecodable and without terminator
    ShowModuleRecord(SampleBase(), odd, FormModule::Local());
    EXPECT_EQ(Text("devNameEdit"), QStringLiteral("AB\uFFFD\uFFFDCDEFGHIJKLMN"));
    ModuleProperty collected = odd;
    CollectModuleRecord(collected);
    EXPECT_TRUE(SameBytes(collected, odd));
}

TEST_F(ModuleRecordForm, AdvancedBoxWithoutANumberIsRefusedAndKeepsItsValue) {
    ShowModuleRecord(SampleBase(), SampleProperty(), FormModule::Local());
    auto* frameLen = Advanced<QLineEdit>("frameLenEdit");
    frameLen->clear();
    QTest::keyClicks(frameLen, QStringLiteral("-x9"));  // only digits get in
    EXPECT_EQ(frameLen->text(), QStringLiteral("9"));
    frameLen->clear();
    Advanced<QLineEdit>("retryCountEdit")->setText(QStringLiteral("4"));

    ModuleProperty collected = SampleProperty();
    CollectModuleRecord(collected);
    const std::vector<CapturedMessage> expected{{QStringLiteral("请输入一个整数。"), MessageIcon::Warning}};
    EXPECT_EQ(toolkit_.Messages(), expected);
    EXPECT_EQ(collected.FrameLen, 100);
    EXPECT_EQ(collected.RetryCount, 4);
    EXPECT_EQ(frameLen->text(), QStringLiteral("100"));
}

TEST_F(ModuleRecordForm, ReadFieldHintTurnsEscapedLineBreaksIntoRealOnes) {
    EXPECT_EQ(ReadFieldHint(1), QString());  // no desc.ini
    WriteModuleFile(QStringLiteral("desc.ini"),
                    "[desc]\r\n1=\xE8\xAE\xBE\xE5\xA4\x87\\r\\n\xE5\x90\x8D\xE7\xA7\xB0\r\n"  // 设备\r\n名称
                    "17=a\\r\\nb\\r\\nc\r\n13=just one line\r\n");
    EXPECT_EQ(ReadFieldHint(1), QStringLiteral("设备\r\n名称"));
    EXPECT_EQ(ReadFieldHint(17), QStringLiteral("a\r\nb\r\nc"));
    EXPECT_EQ(ReadFieldHint(13), QStringLiteral("just one line"));
    EXPECT_EQ(ReadFieldHint(2), QString());
}

TEST_F(ModuleRecordForm, FocusShowsTheFieldHintOnEitherPage) {
    WriteModuleFile(QStringLiteral("desc.ini"),
                    "[desc]\r\n1=name\\r\\nline two\r\n13=channel\r\n14=gap\r\n17=interval\r\n");
    CViewBaseInfo& form = ViewBaseInfo();
    Focus(&form, Form<QLineEdit>("devNameEdit"));
    EXPECT_EQ(form.HintText(), QStringLiteral("name\nline two"));
    EXPECT_EQ(Form<QPlainTextEdit>("hintEdit")->document()->blockCount(), 2);
    Focus(&form, Form<QComboBox>("channelCombo"));
    EXPECT_EQ(form.HintText(), QStringLiteral("channel"));
    Focus(&form, Form<QLineEdit>("netIdEdit"));  // no key 3: the box empties
    EXPECT_EQ(form.HintText(), QString());

    // Showing a record leaves the hint alone.
    Focus(&form, Form<QLineEdit>("devNameEdit"));
    ShowModuleRecord(SampleBase(), SampleProperty(), FormModule::Local());
    EXPECT_EQ(form.HintText(), QStringLiteral("name\nline two"));

    CViewDevAdvCfg& advanced = ViewDevAdvCfg();
    Focus(&advanced, Advanced<QLineEdit>("frameGapEdit"));
    EXPECT_EQ(advanced.HintText(), QStringLiteral("gap"));
    Focus(&advanced, Advanced<QLineEdit>("retryIntervalEdit"));
    EXPECT_EQ(advanced.HintText(), QStringLiteral("interval"));
}

TEST_F(ModuleRecordForm, FocusOnTheAdvancedPageCommitsWhatWasTyped) {
    CViewDevAdvCfg& advanced = ViewDevAdvCfg();
    Focus(&advanced, Advanced<QLineEdit>("frameGapEdit"));
    QTest::keyClicks(Advanced<QLineEdit>("frameGapEdit"), QStringLiteral("5"));
    Focus(&advanced, Advanced<QLineEdit>("frameLenEdit"));
    EXPECT_EQ(advanced.Values().FrameGap, 5);  // "0" and then "5" typed after it
    Advanced<QLineEdit>("frameLenEdit")->clear();
    Focus(&advanced, Advanced<QLineEdit>("retryCountEdit"));
    const std::vector<CapturedMessage> expected{{QStringLiteral("请输入一个整数。"), MessageIcon::Warning}};
    EXPECT_EQ(toolkit_.Messages(), expected);
    EXPECT_EQ(AdvancedText("frameLenEdit"), QStringLiteral("0"));
}
