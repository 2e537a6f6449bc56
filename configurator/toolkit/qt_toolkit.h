#pragma once
// The toolkit on Qt Widgets: QMessageBox and QFileDialog.
#include <QStringList>

#include <memory>

#include "toolkit/toolkit.h"

class QMessageBox;

namespace qrvtune {

class QtToolkit final : public Toolkit {
public:
    void ShowMessage(const QString& text, MessageIcon icon, const QString& informative) override;
    std::optional<QString> OpenFileName(QWidget* parent, const QString& filter) override;
    std::optional<QString> SaveFileName(QWidget* parent, const QString& filter, const QString& suggested) override;
    bool Ask(const QString& text, const QString& informative) override;
};

// The box ShowMessage runs, built but not shown: the tour photographs it.
std::unique_ptr<QMessageBox> MakeMessageBox(const QString& text, MessageIcon icon, QWidget* parent,
                                            const QString& informative = QString());

// "bin Files (*.bin)|*.bin||" -> "bin Files (*.bin)": each text|pattern pair
// becomes one Qt filter line; the pattern is added when the text lacks it.
QString QtFileFilter(const QString& pipeFilter);

}  // namespace qrvtune
