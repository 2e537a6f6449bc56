#include "views/form_check.h"

#include <QLabel>
#include <QLineEdit>

#include "common/record_fields.h"
#include "toolkit/toolkit.h"
#include "widgets/refusal_cue.h"

bool CheckFormBox(QLineEdit* box, const QLabel* label, const char* field) {
    if (FormAccepts(field, box->text().trimmed())) return true;
    const QString message = RangeMessage(label->text(), FieldRuleOf(field));
    MarkRefused(box, message);
    qrvtune::ShowMessage(message, qrvtune::MessageIcon::Warning);
    // After the message box: its closing would hand the focus elsewhere.
    RevealAndFocus(box);
    return false;
}
