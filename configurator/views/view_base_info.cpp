#include "views/view_base_info.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>

#include "common/field_hint.h"
#include "common/record_fields.h"
#include "common/text_codec.h"
#include "toolkit/toolkit.h"
#include "views/form_check.h"
#include "ui_view_base_info.h"
#include "widgets/hex_word_validator.h"
#include "widgets/mbcs_field_validator.h"
#include "widgets/refusal_cue.h"


CViewBaseInfo::CViewBaseInfo(QWidget* parent) : CPageBase(parent), ui_(std::make_unique<Ui::CViewBaseInfo>()) {
    ui_->setupUi(Body());
    nameValidator_ = new MbcsFieldValidator(sizeof(ModuleProperty::DevName), ui_->devNameEdit);
    connect(ui_->devNameEdit, &QLineEdit::textChanged, this, &CViewBaseInfo::ShowNameBytesLeft);
    connect(ui_->devNameEdit, &QLineEdit::inputRejected, this, &CViewBaseInfo::ExplainRefusedName);
    ShowNameBytesLeft(QString());
    ui_->heldModuleLabel->setText(FormModuleText(held_, 0));
    for (const HexBox& b : HexBoxes()) {
        b.box->setValidator(NewHexWordValidator(b.box));
        QLineEdit* box = b.box;
        QLabel* label = b.label;
        const char* field = b.field;
        connect(box, &QLineEdit::inputRejected, this,
                [box, label, field] { MarkRefused(box, RangeMessage(label->text(), FieldRuleOf(field))); });
        connect(box, &QLineEdit::textChanged, this, [box, field](const QString& text) {
            if (FormAccepts(field, text.trimmed())) ClearRefused(box);
        });
    }

    const std::pair<QWidget*, int> hinted[] = {
        {ui_->devNameEdit, kHintDevName},
        {ui_->statusEdit, kHintStatus},
        {ui_->netIdEdit, kHintNetId},
        {ui_->localAddrEdit, kHintLocalAddr},
        {ui_->destAddrEdit, kHintDestAddr},
        {ui_->workModeCombo, kHintWorkMode},
        {ui_->uartBaudCombo, kHintUartBaud},
        {ui_->uartDataBitsCombo, kHintUartDataBits},
        {ui_->uartParityCombo, kHintUartParity},
        {ui_->uartStopBitsCombo, kHintUartStopBits},
        {ui_->airRateCombo, kHintAirRate},
        {ui_->txPowerCombo, kHintTxPower},
        {ui_->channelCombo, kHintChannel},
    };
    for (const auto& [control, number] : hinted) {
        control->setProperty(kFormHintProperty, number);
        control->installEventFilter(this);
    }
}

CViewBaseInfo::~CViewBaseInfo() = default;

std::vector<CViewBaseInfo::HexBox> CViewBaseInfo::HexBoxes() const {
    return {
        {ui_->netIdEdit, ui_->netIdLabel, "net-id"},
        {ui_->localAddrEdit, ui_->localAddrLabel, "local-address"},
        {ui_->destAddrEdit, ui_->destAddrLabel, "dest-address"},
    };
}

bool CViewBaseInfo::CheckValues() {
    for (const HexBox& b : HexBoxes())
        if (!CheckFormBox(b.box, b.label, b.field)) return false;
    return true;
}

void CViewBaseInfo::PropertyToForm(const ModuleBase& base, const ModuleProperty& property) {
    ui_->devNameEdit->setText(FieldText(property.DevName));
    ui_->destAddrEdit->setText(HexFieldText(property.DestAddr));
    ui_->localAddrEdit->setText(HexFieldText(property.LocalAddr));
    ui_->netIdEdit->setText(HexFieldText(property.NetId));
    ui_->statusEdit->setText(ModuleStatusLine(base, property));

    ui_->workModeCombo->setCurrentIndex(ListPositionOf(property.WorkMode, kWorkModeList));
    ui_->uartBaudCombo->setCurrentIndex(ListPositionOf(property.UartBaud, kUartBaudList));
    ui_->uartDataBitsCombo->setCurrentIndex(ListPositionOf(property.UartDataBits, kUartDataBitsList));
    ui_->uartParityCombo->setCurrentIndex(ListPositionOf(property.UartParity, kUartParityList));
    ui_->uartStopBitsCombo->setCurrentIndex(ListPositionOf(property.UartStopBits, kUartStopBitsList));
    ui_->airRateCombo->setCurrentIndex(ListPositionOf(property.AirRate, kAirRateList));
    ui_->txPowerCombo->setCurrentIndex(ListPositionOf(property.TxPower, kTxPowerList));
    ui_->channelCombo->setCurrentIndex(ListPositionOf(property.Channel, kChannelList));
}

void CViewBaseInfo::FormToProperty(ModuleProperty& property) const {
    // An untouched name keeps its bytes exactly, even bytes GBK cannot
    // decode or a full field without terminator, which a round trip through
    // the screen text would change.
    const QString name = ui_->devNameEdit->text();
    if (name != FieldText(property.DevName)) StoreMbcsField(name, property.DevName);

    if (const auto value = ScanHexWord(ui_->localAddrEdit->text())) property.LocalAddr = *value;
    if (const auto value = ScanHexWord(ui_->destAddrEdit->text())) property.DestAddr = *value;
    if (const auto value = ScanHexWord(ui_->netIdEdit->text())) property.NetId = *value;

    property.WorkMode = ListValueOf(ui_->workModeCombo->currentIndex(), kWorkModeList, property.WorkMode);
    property.UartBaud = ListValueOf(ui_->uartBaudCombo->currentIndex(), kUartBaudList, property.UartBaud);
    property.UartDataBits =
        ListValueOf(ui_->uartDataBitsCombo->currentIndex(), kUartDataBitsList, property.UartDataBits);
    property.UartParity = ListValueOf(ui_->uartParityCombo->currentIndex(), kUartParityList, property.UartParity);
    property.UartStopBits =
        ListValueOf(ui_->uartStopBitsCombo->currentIndex(), kUartStopBitsList, property.UartStopBits);
    property.AirRate = ListValueOf(ui_->airRateCombo->currentIndex(), kAirRateList, property.AirRate);
    property.TxPower = ListValueOf(ui_->txPowerCombo->currentIndex(), kTxPowerList, property.TxPower);
    property.Channel = ListValueOf(ui_->channelCombo->currentIndex(), kChannelList, property.Channel);
}

void CViewBaseInfo::SetHeldModule(const FormModule& module, const QString& text) {
    held_ = module;
    ui_->heldModuleLabel->setText(text);
}

std::optional<std::uint16_t> CViewBaseInfo::FormLocalAddress() const { return ScanHexWord(ui_->localAddrEdit->text()); }

QString CViewBaseInfo::HintText() const { return ui_->hintEdit->toPlainText(); }

bool CViewBaseInfo::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        const QVariant number = watched->property(kFormHintProperty);
        if (number.isValid()) ShowFieldHint(number.toInt());
    }
    return CPageBase::eventFilter(watched, event);
}

void CViewBaseInfo::ShowNameBytesLeft(const QString& name) {
    ui_->devNameBytesLabel->setText(tr("剩余 %1 字节").arg(nameValidator_->BytesLeft(name)));
}

void CViewBaseInfo::ExplainRefusedName() {
    // A full box says so beside it; a character the module cannot store
    // needs words, as the password dialog gives them.
    if (nameValidator_->LastRefusal() == MbcsFieldValidator::Refusal::Unsupported)
        qrvtune::ShowMessage(tr("设备名称不能含有模块不支持的字符，请从新输入"));
}

void CViewBaseInfo::ShowFieldHint(int number) { ui_->hintEdit->setPlainText(ReadFieldHint(number)); }
