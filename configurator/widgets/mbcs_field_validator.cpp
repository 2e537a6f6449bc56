#include "widgets/mbcs_field_validator.h"

#include <QLineEdit>

#include "common/text_codec.h"

namespace {
// Characters of `text` that GBK cannot carry.
qsizetype UnsupportedCount(const QString& text) {
    if (MbcsToText(TextToMbcs(text)) == text) return 0;
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString one = text.mid(i, length);
        if (MbcsToText(TextToMbcs(one)) != one) ++count;
        i += length;
    }
    return count;
}
}  // namespace

MbcsFieldValidator::MbcsFieldValidator(std::size_t fieldBytes, QLineEdit* box)
    : QValidator(box), fieldBytes_(fieldBytes) {
    box->setValidator(this);
    // Text set by the program (a record read from a module) counts as held
    // too; during an edit the box already shows the edited text.
    held_ = box->text();
    connect(box, &QLineEdit::textChanged, this, [this](const QString& text) { held_ = text; });
}

QValidator::State MbcsFieldValidator::validate(QString& input, int& /*position*/) const {
    if (UnsupportedCount(input) > UnsupportedCount(held_)) {
        lastRefusal_ = Refusal::Unsupported;
        return Invalid;
    }
    if (!FitsMbcsField(input, fieldBytes_)) {
        lastRefusal_ = Refusal::TooLong;
        return Invalid;
    }
    return Acceptable;
}

std::size_t MbcsFieldValidator::BytesLeft(const QString& text) const {
    const std::size_t used = TextToMbcs(text).size() + 1;  // with the terminator
    return used < fieldBytes_ ? fieldBytes_ - used : 0;
}
