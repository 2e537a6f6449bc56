#pragma once
// Keeps a text box's content within a fixed record field: an edit whose GBK
// form (plus its terminator) would not fit is refused as it is typed or
// pasted, so the text is never cut later on its way into the record.
#include <QValidator>
#include <cstddef>

class MbcsFieldValidator final : public QValidator {
public:
    MbcsFieldValidator(std::size_t fieldBytes, QObject* parent) : QValidator(parent), fieldBytes_(fieldBytes) {}

    State validate(QString& input, int& position) const override;

private:
    std::size_t fieldBytes_;
};
