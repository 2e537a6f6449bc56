#include "views/view_dev_adv_cfg.h"

#include <QEvent>
#include <QPushButton>

#include "common/field_hint.h"
#include "toolkit/toolkit.h"
#include "ui_view_dev_adv_cfg.h"
#include "views/module_record.h"
#include "widgets/bounded_number_validator.h"

namespace {
constexpr const char* kHintProperty = "qrvFieldHint";
}  // namespace

CViewDevAdvCfg::CViewDevAdvCfg(QWidget* parent) : CPageBase(parent), ui_(std::make_unique<Ui::CViewDevAdvCfg>()) {
    ui_->setupUi(Body());
    // The largest value each record field holds: a byte, or 16 bits for
    // the retry interval.
    const struct {
        QLineEdit* box;
        int number;
        int maximum;
    } boxes[] = {
        {ui_->frameGapEdit, kHintFrameGap, 0xFF},
        {ui_->frameLenEdit, kHintFrameLen, 0xFF},
        {ui_->retryCountEdit, kHintRetryCount, 0xFF},
        {ui_->retryIntervalEdit, kHintRetryInterval, 0xFFFF},
    };
    for (const auto& [box, number, maximum] : boxes) {
        box->setValidator(new BoundedNumberValidator(0, maximum, box));
        box->setProperty(kHintProperty, number);
        box->installEventFilter(this);
    }
    PushValues();
    ui_->heldModuleLabel->setText(FormModuleText(FormModule{}, 0));
    connect(ui_->upgradeButton, &QPushButton::clicked, this, &CViewDevAdvCfg::UpgradeTarget);
}

CViewDevAdvCfg::~CViewDevAdvCfg() = default;

void CViewDevAdvCfg::SetAdvancedValues(const AdvancedValues& values) {
    values_ = values;
    PushValues();
}

const AdvancedValues& CViewDevAdvCfg::CommitAdvancedValues() {
    const std::pair<QLineEdit*, int*> boxes[] = {
        {ui_->frameGapEdit, &values_.FrameGap},
        {ui_->frameLenEdit, &values_.FrameLen},
        {ui_->retryCountEdit, &values_.RetryCount},
        {ui_->retryIntervalEdit, &values_.RetryInterval},
    };
    bool refused = false;
    for (const auto& [box, value] : boxes) {
        bool isNumber = false;
        const int number = box->text().trimmed().toInt(&isNumber, 10);
        if (isNumber) {
            *value = number;
        } else {
            // Shown again before the message box, whose closing hands the
            // focus back and would otherwise commit the same text again.
            box->setText(QString::number(*value));
            refused = true;
        }
    }
    if (refused) qrvtune::ShowNotANumber();
    return values_;
}

void CViewDevAdvCfg::SetHeldModuleText(const QString& text) { ui_->heldModuleLabel->setText(text); }

QString CViewDevAdvCfg::HintText() const { return ui_->hintEdit->toPlainText(); }

void CViewDevAdvCfg::PushValues() {
    ui_->frameGapEdit->setText(QString::number(values_.FrameGap));
    ui_->frameLenEdit->setText(QString::number(values_.FrameLen));
    ui_->retryCountEdit->setText(QString::number(values_.RetryCount));
    ui_->retryIntervalEdit->setText(QString::number(values_.RetryInterval));
}

bool CViewDevAdvCfg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && !showingHint_) {
        const QVariant number = watched->property(kHintProperty);
        if (number.isValid()) ShowFieldHint(number.toInt());
    }
    return CPageBase::eventFilter(watched, event);
}

void CViewDevAdvCfg::ShowFieldHint(int number) {
    showingHint_ = true;
    CommitAdvancedValues();
    ui_->hintEdit->setPlainText(ReadFieldHint(number));
    PushValues();
    showingHint_ = false;
}
