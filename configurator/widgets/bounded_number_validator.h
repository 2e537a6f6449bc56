#pragma once
// A whole-number box that refuses, as it is typed or pasted, anything but
// decimal digits and any number above the largest value its field can
// hold, so a value is never cut on its way into a record. An empty box, or a
// number below the smallest value, is left to the commit to refuse.
#include <QValidator>

class BoundedNumberValidator final : public QValidator {
public:
    BoundedNumberValidator(int minimum, int maximum, QObject* parent)
        : QValidator(parent), minimum_(minimum), maximum_(maximum) {}

    State validate(QString& input, int& position) const override;

    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }

private:
    int minimum_;
    int maximum_;
};
