#pragma once
// The visible sign of a refused value: the box gets a red frame and the
// range in its tooltip, shown at once beside it, so that a keystroke the
// box refused ("300" in a 0–255 box stays "30") is never silent.
#include <QString>

class QLineEdit;
class QWidget;

void MarkRefused(QLineEdit* box, const QString& message);
void ClearRefused(QLineEdit* box);
bool IsMarkedRefused(const QWidget* box);

// Brings the page holding `box` to the front of its tab sets and focuses it.
void RevealAndFocus(QWidget* box);
