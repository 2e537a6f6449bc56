#pragma once
// One box of a form checked against the library's field table before
// anything is written.
class QLabel;
class QLineEdit;

// True when `box` holds a value the field `field` accepts. Otherwise the box
// is marked, the message names the label and the range, and the box is
// brought forward with the focus; false.
bool CheckFormBox(QLineEdit* box, const QLabel* label, const char* field);

// The property on a form box that holds the hint (field rule) shown while
// the box has the focus; both pages with a form set and read it.
inline constexpr const char* kFormHintProperty = "qrvFieldHint";
