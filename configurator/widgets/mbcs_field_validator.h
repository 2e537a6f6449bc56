#pragma once
// Keeps a text box's content within a fixed record field: an edit whose GBK
// form (plus its terminator) would not fit, or that brings in a character
// GBK lacks, is refused as it is typed or pasted, so the text is never cut
// or turned into '?' later on its way into the record. Characters the box
// already held (undecodable bytes read from a module show as U+FFFD) do not
// block other edits.
#include <QString>
#include <QValidator>
#include <cstddef>

class QLineEdit;

class MbcsFieldValidator final : public QValidator {
public:
    enum class Refusal { None, TooLong, Unsupported };

    // Installs itself on `box`.
    MbcsFieldValidator(std::size_t fieldBytes, QLineEdit* box);

    State validate(QString& input, int& position) const override;

    // Why the last refused edit was refused (for the box's inputRejected).
    Refusal LastRefusal() const { return lastRefusal_; }

    // Bytes the field still has room for after `text` (0 when full or over).
    std::size_t BytesLeft(const QString& text) const;

private:
    std::size_t fieldBytes_;
    QString held_;  // the box's text before the edit being validated
    mutable Refusal lastRefusal_ = Refusal::None;
};
