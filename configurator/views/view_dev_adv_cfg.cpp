#include "views/view_dev_adv_cfg.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/field_hint.h"
#include "toolkit/toolkit.h"
#include "views/form_check.h"
#include "ui_view_dev_adv_cfg.h"
#include "views/module_record.h"
#include "widgets/bounded_number_validator.h"
#include "widgets/refusal_cue.h"


CViewDevAdvCfg::CViewDevAdvCfg(Session& session, QWidget* parent)
    : CPageBase(parent), session_(session), ui_(std::make_unique<Ui::CViewDevAdvCfg>()) {
    ui_->setupUi(Body());
    // Each box takes what the field table allows; a keystroke that would
    // leave that range is refused and the box says why.
    for (const Box& b : Boxes()) {
        const FieldRule rule = FieldRuleOf(b.field);
        b.box->setValidator(new BoundedNumberValidator(static_cast<int>(rule.min), static_cast<int>(rule.max), b.box));
        b.box->setProperty(kFormHintProperty, b.hint);
        b.box->installEventFilter(this);
        QLineEdit* box = b.box;
        QLabel* label = b.label;
        const char* field = b.field;
        connect(box, &QLineEdit::inputRejected, this,
                [box, label, rule] { MarkRefused(box, RangeMessage(label->text(), rule)); });
        connect(box, &QLineEdit::textChanged, this, [box, field](const QString& text) {
            if (FormAccepts(field, text.trimmed())) ClearRefused(box);
        });
    }
    PushValues();
    ui_->heldModuleLabel->setText(FormModuleText(FormModule{}, 0));
    connect(ui_->upgradeButton, &QPushButton::clicked, this, &CViewDevAdvCfg::UpgradeTarget);
}

CViewDevAdvCfg::~CViewDevAdvCfg() = default;

std::vector<CViewDevAdvCfg::Box> CViewDevAdvCfg::Boxes() const {
    return {
        {ui_->frameGapEdit, ui_->frameGapLabel, "frame-gap", kHintFrameGap},
        {ui_->frameLenEdit, ui_->frameLenLabel, "frame-length", kHintFrameLen},
        {ui_->retryCountEdit, ui_->retryCountLabel, "retry-count", kHintRetryCount},
        {ui_->retryIntervalEdit, ui_->retryIntervalLabel, "retry-interval", kHintRetryInterval},
    };
}

bool CViewDevAdvCfg::CheckValues() {
    for (const Box& b : Boxes())
        if (!CheckFormBox(b.box, b.label, b.field)) return false;
    return true;
}

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
        const QVariant number = watched->property(kFormHintProperty);
        // A box marked as refused keeps what the user typed, to be mended.
        if (number.isValid() && IsMarkedRefused(static_cast<QWidget*>(watched)))
            ui_->hintEdit->setPlainText(ReadFieldHint(number.toInt()));
        else if (number.isValid())
            ShowFieldHint(number.toInt());
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
